#include "graph/UTL_GraphInput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace
{
// Progress is reported at most every this many bytes, and at the end.
constexpr uint64_t ReportStep = 1 << 20;
constexpr size_t Chunk = 1 << 16;
} // namespace

UTL_GraphInput::~UTL_GraphInput()
{
    if (cookieStream)
        fclose(cookieStream);
    if (file)
        fclose(file);
}

bool UTL_GraphInput::Open(const std::string& path, uint64_t maxBytes, Progress report,
                          std::string& error)
{
    // Opened without blocking, so that a FIFO or a device named by mistake is refused below
    // instead of waiting for a writer.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
    {
        error = path + ": cannot open: " + std::strerror(errno);
        return false;
    }
    struct stat info;
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode))
    {
        close(descriptor);
        error = path + ": not a regular file";
        return false;
    }
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    file = fdopen(descriptor, "rb");
    if (!file)
    {
        close(descriptor);
        error = path + ": cannot open: " + std::strerror(errno);
        return false;
    }
    size = uint64_t(info.st_size);
    if (size > maxBytes)
    {
        error = path + ": larger than " + std::to_string(maxBytes >> 20) + " MiB";
        return false;
    }
    progress = std::move(report);
    return true;
}

void UTL_GraphInput::Report()
{
    if (progress && (done - reported >= ReportStep || done >= size))
    {
        reported = done;
        progress(done, size);
    }
}

size_t UTL_GraphInput::Read(char* out, size_t wanted)
{
    // The file may grow while it is read; never past the size it was opened with.
    if (done >= size)
        return 0;
    if (uint64_t(wanted) > size - done)
        wanted = size_t(size - done);
    const size_t got = fread(out, 1, wanted, file);
    if (got < wanted && ferror(file))
        failed = true;
    done += got;
    Report();
    return got;
}

ssize_t UTL_GraphInput::CookieRead(void* cookie, char* out, size_t wanted)
{
    // Errors read as the end of the file: the scanners behind the stream abort the process on a
    // failed read. The reader checks Failed() and LongLine() afterwards.
    auto* input = static_cast<UTL_GraphInput*>(cookie);
    if (input->failed || input->longLine)
        return 0;
    const size_t got = input->Read(out, wanted);
    if (input->failed)
        return 0;
    for (size_t i = 0; i < got; ++i)
    {
        const char c = out[i];
        if (c == '\n')
        {
            input->lineStart = true;
            input->inComment = false;
            input->lineLength = 0;
            ++input->lineNumber;
            continue;
        }
        if (++input->lineLength > input->maxLine)
        {
            input->longLine = input->lineNumber;
            return ssize_t(i);
        }
        if (!input->blankComments)
            continue;
        if (input->lineStart && (c == '#' || c == '%'))
            input->inComment = true;
        else if (c != ' ' && c != '\t')
            input->lineStart = false;
        if (input->inComment && c != '\r')
            out[i] = ' ';
    }
    return ssize_t(got);
}

FILE* UTL_GraphInput::Stream(bool blank, size_t longest)
{
    if (!cookieStream)
    {
        blankComments = blank;
        maxLine = longest;
        cookie_io_functions_t functions{};
        functions.read = &UTL_GraphInput::CookieRead;
        cookieStream = fopencookie(this, "r", functions);
    }
    return cookieStream;
}

bool UTL_GraphInput::ReadAll(std::string& text)
{
    text.resize(size_t(size));
    size_t at = 0;
    while (at < text.size())
    {
        const size_t got = Read(&text[at], std::min(Chunk, text.size() - at));
        if (got == 0)
            break;
        at += got;
    }
    text.resize(at);
    return !failed;
}

bool UTL_GraphInput::ReadLine(std::string& line, size_t maxLine)
{
    line.clear();
    bool any = false;
    for (;;)
    {
        if (bufferPos >= buffer.size())
        {
            if (atEnd)
                break;
            buffer.resize(Chunk);
            buffer.resize(Read(&buffer[0], Chunk));
            bufferPos = 0;
            if (buffer.empty())
            {
                atEnd = true;
                break;
            }
        }
        any = true;
        const char c = buffer[bufferPos++];
        if (c == '\n')
            break;
        if (line.size() <= maxLine)
            line += c;
    }
    if (!line.empty() && line.back() == '\r' && line.size() <= maxLine)
        line.pop_back();
    return any;
}
