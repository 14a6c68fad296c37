#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Thin owner of one open stdio stream, shared by the parameter-file reader, the image readers
// and the picture download. No operation reports errors: reads from a closed file return no
// bytes, writes to it are dropped, so a missing file simply reads as empty.
class UTL_File
{
public:
    enum Mode
    {
        ReadMode = 0,      // "rb"
        WriteMode = 1,     // "wb"
        ReadWriteMode = 2, // "r+b"
    };

    UTL_File() = default;
    virtual ~UTL_File();

    UTL_File(const UTL_File&) = delete;
    UTL_File& operator=(const UTL_File&) = delete;

    // Opens `path` in one of the modes above; any other mode opens nothing. Replaces (and
    // closes) a stream that is still open. Returns the stream, null on failure.
    FILE* Open(const std::string& path, int mode);
    bool IsOpen() const { return stream != nullptr; }
    void Close();

    size_t Read(void* buffer, size_t count);
    void Write(const void* data, size_t count);
    // Seeks from the start of the file.
    void Seek(long offset);

    // Reads the rest of the file into a new NUL-terminated buffer that the caller frees with
    // delete[]. `outSize` receives the byte count plus one (for the NUL). With no open stream
    // the result is an empty string of size 1.
    char* ReadAllText(size_t& outSize);

    // Block size of ReadAllText: the buffer grows by this much whenever a block read is full.
    static constexpr size_t ReadBlockSize = 65535;

private:
    FILE* stream = nullptr;
};
