#pragma once

#include <cstddef>
#include <string>

// Splits a NUL-terminated text into lines. LF, CR LF and lone CR line ends are all accepted and
// blank lines are never returned; a line of blanks only is returned as it is. The text is not
// owned and must outlive the extractor. Its length is taken with strlen, so an embedded NUL
// byte ends the text.
class UTL_StringExtractor
{
public:
    explicit UTL_StringExtractor(const char* text);
    virtual ~UTL_StringExtractor() = default;

    // The next non-empty line without its line end; empty once the text is exhausted.
    std::string NextLine();

private:
    const char* text;
    size_t length;
    size_t position = 0;
    bool lineEnd[256] = {};
};
