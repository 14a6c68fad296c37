#include "util/UTL_File.h"

#include <cstring>
#include <vector>

UTL_File::~UTL_File()
{
    Close();
}

FILE* UTL_File::Open(const std::string& path, int mode)
{
    static const char* const modes[] = {"rb", "wb", "r+b"};
    Close();
    if (mode < ReadMode || mode > ReadWriteMode)
        return nullptr;
    stream = std::fopen(path.c_str(), modes[mode]);
    return stream;
}

void UTL_File::Close()
{
    if (stream)
        std::fclose(stream);
    stream = nullptr;
}

size_t UTL_File::Read(void* buffer, size_t count)
{
    return stream ? std::fread(buffer, 1, count, stream) : 0;
}

void UTL_File::Write(const void* data, size_t count)
{
    if (stream)
        std::fwrite(data, 1, count, stream);
}

void UTL_File::Seek(long offset)
{
    if (stream)
        std::fseek(stream, offset, SEEK_SET);
}

char* UTL_File::ReadAllText(size_t& outSize)
{
    // Read block by block into a growing buffer; the first short block ends the file. This
    // works for streams whose size cannot be asked in advance, and for any file size.
    std::vector<char> bytes(ReadBlockSize);
    size_t used = 0;
    if (stream)
    {
        for (;;)
        {
            size_t got = std::fread(bytes.data() + used, 1, ReadBlockSize, stream);
            used += got;
            if (got < ReadBlockSize)
                break;
            bytes.resize(bytes.size() + ReadBlockSize);
        }
    }
    char* text = new char[used + 1];
    std::memcpy(text, bytes.data(), used);
    text[used] = '\0';
    outSize = used + 1;
    return text;
}
