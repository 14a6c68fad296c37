#include "gfx/GFX_ImageSerializer.h"

#include "util/UTL_File.h"

#include <cstring>
#include <new>

GFX_ImageSerializer::~GFX_ImageSerializer() = default;

bool GFX_ImageSerializer::Load(const std::string& path, std::unique_ptr<uint8_t[]>& outPixels,
                               uint8_t& outBitsPerPixel, int32_t& outWidth, int32_t& outHeight)
{
    UTL_File file;
    FILE* stream = file.Open(path, UTL_File::ReadMode);
    if (!stream)
    {
        Clear();
        return HandOut(outPixels, outBitsPerPixel, outWidth, outHeight);
    }
    return LoadStream(stream, outPixels, outBitsPerPixel, outWidth, outHeight);
}

bool GFX_ImageSerializer::HandOut(std::unique_ptr<uint8_t[]>& outPixels, uint8_t& outBitsPerPixel,
                                  int32_t& outWidth, int32_t& outHeight)
{
    // An image is either whole or empty: a decode that failed half-way hands out nothing.
    if (!pixels)
        Clear();
    outPixels = std::move(pixels);
    outBitsPerPixel = bitsPerPixel;
    outWidth = width;
    outHeight = height;
    Clear();
    return outPixels != nullptr;
}

void GFX_ImageSerializer::Clear()
{
    pixels.reset();
    bitsPerPixel = 0;
    width = 0;
    height = 0;
}

long GFX_ImageSerializer::RemainingBytes(FILE* stream)
{
    const long here = std::ftell(stream);
    if (here < 0 || std::fseek(stream, 0, SEEK_END) != 0)
        return -1;
    const long end = std::ftell(stream);
    if (std::fseek(stream, here, SEEK_SET) != 0 || end < here)
        return -1;
    return end - here;
}

bool GFX_ImageSerializer::ReadExactly(FILE* stream, void* buffer, size_t count)
{
    return std::fread(buffer, 1, count, stream) == count;
}

std::unique_ptr<uint8_t[]> GFX_ImageSerializer::Allocate(size_t count, bool zeroed)
{
    uint8_t* block =
        zeroed ? new (std::nothrow) uint8_t[count]() : new (std::nothrow) uint8_t[count];
    return std::unique_ptr<uint8_t[]>(block);
}

bool GFX_ImageSerializer::IsWithinSideLimit(int64_t width, int64_t height)
{
    return width > 0 && height > 0 && width <= MaxSide && height <= MaxSide;
}

bool GFX_ImageSerializer::IsSensibleSize(int64_t width, int64_t height)
{
    return IsWithinSideLimit(width, height) && width * height <= MaxPixels;
}
