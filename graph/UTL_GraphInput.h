#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

// A graph file opened for reading with a bound on its size and a progress report in bytes. The
// readers take it as a C stream (igraph's parsers), as a whole text (the XML parser) or line by
// line (the text formats); each read reports how far it got. Not copyable; one thread.
class UTL_GraphInput
{
public:
    using Progress = std::function<void(uint64_t done, uint64_t total)>;

    UTL_GraphInput() = default;
    ~UTL_GraphInput();
    UTL_GraphInput(const UTL_GraphInput&) = delete;
    UTL_GraphInput& operator=(const UTL_GraphInput&) = delete;

    // Opens `path`; false with `error` set when it cannot be opened, is not a regular file or is
    // larger than `maxBytes`.
    bool Open(const std::string& path, uint64_t maxBytes, Progress progress, std::string& error);

    uint64_t Size() const { return size; }

    // A C stream over the file that counts what is read. With `blankComments`, lines whose first
    // non-blank character is '#' or '%' read as spaces, so that line numbers stay right for a
    // parser that knows no comments. A line longer than `maxLine` ends the stream there (the
    // scanners behind it slow down badly on endless tokens), and LongLine() says which it was;
    // so does a read error, and Failed() says so. Owned here; valid until the input goes away.
    FILE* Stream(bool blankComments, size_t maxLine);
    // The number of the line that was too long for the stream, or 0.
    int64_t LongLine() const { return longLine; }

    // The whole file; false on a read error.
    bool ReadAll(std::string& text);

    // The next line without its end ("\n" or "\r\n"), at most `maxLine` + 1 bytes of it (enough
    // to tell that it was too long; the rest is skipped). False at the end of the file.
    bool ReadLine(std::string& line, size_t maxLine);
    bool Failed() const { return failed; }

private:
    static ssize_t CookieRead(void* cookie, char* buffer, size_t size);
    size_t Read(char* buffer, size_t size);
    void Report();

    FILE* file = nullptr;
    FILE* cookieStream = nullptr;
    Progress progress;
    uint64_t size = 0;
    uint64_t done = 0;
    uint64_t reported = 0;
    bool blankComments = false;
    bool lineStart = true;
    size_t maxLine = 0;
    size_t lineLength = 0;
    int64_t lineNumber = 1;
    int64_t longLine = 0;
    bool inComment = false;
    bool failed = false;
    // Line reading works through a buffer of its own.
    std::string buffer;
    size_t bufferPos = 0;
    bool atEnd = false;
};
