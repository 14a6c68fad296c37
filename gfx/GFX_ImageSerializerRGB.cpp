#include "gfx/GFX_ImageSerializer.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{
// Header fields of an SGI image file, big-endian.
constexpr size_t StorageAt = 2;
constexpr size_t BytesPerChannelAt = 3;
constexpr size_t DimensionAt = 4;
constexpr size_t XSizeAt = 6;
constexpr size_t YSizeAt = 8;
constexpr size_t ZSizeAt = 10;

// A run-length count byte: the low seven bits count values, the high bit marks literals.
constexpr uint8_t RunCountMask = 0x7f;
constexpr uint8_t LiteralRunFlag = 0x80;

// Decodes one run-length row of `length` bytes into every `step`-th byte of `out`, which holds
// `count` values. Runs that would pass the end of the row or of the input make the row (and
// the picture) corrupt. A row that ends early leaves the rest of its values as they were.
bool DecodeRow(const uint8_t* in, size_t length, uint8_t* out, size_t count, size_t step)
{
    size_t read = 0;
    size_t written = 0;
    while (read < length)
    {
        const uint8_t control = in[read++];
        const size_t n = control & RunCountMask;
        if (n == 0)
            return true;
        if (n > count - written)
            return false;
        if (control & LiteralRunFlag)
        {
            if (n > length - read)
                return false;
            for (size_t i = 0; i < n; ++i)
                out[(written + i) * step] = in[read + i];
            read += n;
        }
        else
        {
            if (read >= length)
                return false;
            const uint8_t value = in[read++];
            for (size_t i = 0; i < n; ++i)
                out[(written + i) * step] = value;
        }
        written += n;
    }
    return true;
}
} // namespace

GFX_ImageSerializerRGB::~GFX_ImageSerializerRGB() = default;

uint32_t GFX_ImageSerializerRGB::Field16(const uint8_t* bytes) const
{
    return littleEndian ? bytes[0] | (bytes[1] << 8) : (bytes[0] << 8) | bytes[1];
}

uint32_t GFX_ImageSerializerRGB::Field32(const uint8_t* bytes) const
{
    if (littleEndian)
        return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
               uint32_t(bytes[3]) << 24;
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 |
           uint32_t(bytes[3]);
}

bool GFX_ImageSerializerRGB::LoadStream(FILE* stream, std::unique_ptr<uint8_t[]>& outPixels,
                                        uint8_t& outBitsPerPixel, int32_t& outWidth,
                                        int32_t& outHeight)
{
    Clear();
    // Offsets in the file count from its first byte, the stream's position now.
    const long start = std::ftell(stream);
    const long fileSize = RemainingBytes(stream);
    uint8_t header[HeaderSize];
    if (start < 0 || fileSize < 0 || !ReadExactly(stream, header, HeaderSize))
        return HandOut(outPixels, outBitsPerPixel, outWidth, outHeight);

    const bool runLength = header[StorageAt] != 0;
    const uint32_t dimension = Field16(header + DimensionAt);
    const uint32_t xsize = Field16(header + XSizeAt);
    const uint32_t ysize = Field16(header + YSizeAt);
    const uint32_t zsize = Field16(header + ZSizeAt);

    // One row of grey values, a grey picture, or planes of grey, RGB or RGBA.
    uint32_t rows = 0;
    uint32_t channels = 0;
    switch (dimension)
    {
    case 1:
        rows = 1;
        channels = 1;
        break;
    case 2:
        rows = ysize;
        channels = 1;
        break;
    case 3:
        rows = ysize;
        channels = zsize;
        break;
    default:
        break;
    }
    if (header[BytesPerChannelAt] != 1 || (channels != 1 && channels != 3 && channels != 4) ||
        !IsSensibleSize(xsize, rows))
        return HandOut(outPixels, outBitsPerPixel, outWidth, outHeight);

    Picture picture{xsize, rows, channels, nullptr};
    const bool decoded = runLength
                             ? ReadRunLength(stream, start, size_t(fileSize), ysize, zsize, picture)
                             : ReadPlain(stream, size_t(fileSize) - HeaderSize, picture);
    if (decoded)
    {
        pixels = std::move(picture.pixels);
        bitsPerPixel = uint8_t(channels * 8);
        width = int32_t(xsize);
        height = int32_t(rows);
    }
    return HandOut(outPixels, outBitsPerPixel, outWidth, outHeight);
}

bool GFX_ImageSerializerRGB::ReadPlain(FILE* stream, size_t available, Picture& picture)
{
    // Channel planes follow each other, each `rows` rows of `width` bytes, bottom row first.
    const size_t planeSize = size_t(picture.width) * picture.rows;
    if (available < planeSize * picture.channels)
        return false;
    picture.pixels = Allocate(planeSize * picture.channels, false);
    if (!picture.pixels)
        return false;
    std::vector<uint8_t> row(picture.width);
    for (uint32_t c = 0; c < picture.channels; ++c)
        for (uint32_t y = 0; y < picture.rows; ++y)
        {
            if (!ReadExactly(stream, row.data(), row.size()))
                return false;
            uint8_t* out = picture.pixels.get() + size_t(y) * picture.width * picture.channels + c;
            for (uint32_t x = 0; x < picture.width; ++x)
                out[size_t(x) * picture.channels] = row[x];
        }
    return true;
}

bool GFX_ImageSerializerRGB::ReadRunLength(FILE* stream, long start, size_t fileSize,
                                           uint32_t ysize, uint32_t zsize, Picture& picture)
{
    // The offset table and then the length table, ysize × zsize entries each; the entry of
    // row y of channel c is at y + c × ysize.
    if (zsize < picture.channels || ysize < picture.rows)
        return false;
    const size_t entries = size_t(ysize) * zsize;
    const size_t tableBytes = entries * 4;
    if (fileSize < HeaderSize + 2 * tableBytes)
        return false;
    std::vector<uint8_t> tables(2 * tableBytes);
    if (!ReadExactly(stream, tables.data(), tables.size()))
        return false;
    auto offsetOf = [&](size_t entry) { return Field32(tables.data() + 4 * entry); };
    auto lengthOf = [&](size_t entry) { return Field32(tables.data() + tableBytes + 4 * entry); };

    // Every row this picture uses must lie inside the file; the longest one sizes the scratch
    // buffer, so a lying length can never ask for more memory than the file has.
    size_t longest = 0;
    for (uint32_t c = 0; c < picture.channels; ++c)
        for (uint32_t y = 0; y < picture.rows; ++y)
        {
            const size_t entry = y + size_t(c) * ysize;
            const uint64_t offset = offsetOf(entry);
            const uint64_t length = lengthOf(entry);
            if (offset > fileSize || length > fileSize - offset)
                return false;
            longest = std::max(longest, size_t(length));
        }

    const size_t rowBytes = size_t(picture.width) * picture.channels;
    picture.pixels = Allocate(rowBytes * picture.rows, true);
    if (!picture.pixels)
        return false;
    std::vector<uint8_t> scratch(longest);
    for (uint32_t y = 0; y < picture.rows; ++y)
        for (uint32_t c = 0; c < picture.channels; ++c)
        {
            const size_t entry = y + size_t(c) * ysize;
            const size_t length = lengthOf(entry);
            if (std::fseek(stream, start + long(offsetOf(entry)), SEEK_SET) != 0 ||
                !ReadExactly(stream, scratch.data(), length))
                return false;
            uint8_t* out = picture.pixels.get() + size_t(y) * rowBytes + c;
            if (!DecodeRow(scratch.data(), length, out, picture.width, picture.channels))
                return false;
        }
    return true;
}

bool GFX_ImageSerializerRGB::Save(const std::string&, const uint8_t*, uint8_t, int32_t, int32_t)
{
    return false;
}
