#pragma once

#include <cstddef>
#include <string>

// Splits one line into words separated by blanks: space, tab, LF and CR, nothing else. Quotes
// and brackets are ordinary characters, and so are bytes 128-255.
class UTL_StringTokenizer
{
public:
    explicit UTL_StringTokenizer(const std::string& line);
    virtual ~UTL_StringTokenizer() = default;

    // The next word; empty when the line is exhausted. The position is left on the separator
    // after the word.
    std::string NextToken();
    // Everything from the position to the end of the line, separators included; the position
    // does not move.
    std::string Rest() const;

private:
    bool IsSeparator(char c) const { return separator[static_cast<unsigned char>(c)]; }

    std::string line;
    size_t length;
    size_t position = 0;
    bool separator[256] = {};
};
