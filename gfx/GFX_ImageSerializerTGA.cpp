#include "gfx/GFX_ImageSerializer.h"

#include <utility>

namespace
{
// Header fields of a TGA file.
constexpr size_t IdLengthAt = 0;
constexpr size_t ColourMapTypeAt = 1;
constexpr size_t ImageTypeAt = 2;
constexpr size_t WidthAt = 12;
constexpr size_t HeightAt = 14;
constexpr size_t BitsPerPixelAt = 16;

constexpr uint8_t UncompressedTrueColour = 2;

int LittleEndian16(const uint8_t* bytes)
{
    return bytes[0] | (bytes[1] << 8);
}
} // namespace

GFX_ImageSerializerTGA::~GFX_ImageSerializerTGA() = default;

bool GFX_ImageSerializerTGA::LoadStream(FILE* stream, std::unique_ptr<uint8_t[]>& outPixels,
                                        uint8_t& outBitsPerPixel, int32_t& outWidth,
                                        int32_t& outHeight)
{
    Clear();
    uint8_t header[HeaderSize];
    if (!ReadExactly(stream, header, HeaderSize))
        return HandOut(outPixels, outBitsPerPixel, outWidth, outHeight);

    // Only uncompressed true-colour pictures without a colour map are read. Anything else
    // (run-length, colour-mapped, grey, 16-bit) would be misread as raw BGR bytes.
    const int bits = header[BitsPerPixelAt];
    const int32_t w = LittleEndian16(header + WidthAt);
    const int32_t h = LittleEndian16(header + HeightAt);
    if (header[ColourMapTypeAt] != 0 || header[ImageTypeAt] != UncompressedTrueColour ||
        (bits != 24 && bits != 32) || !IsSensibleSize(w, h))
        return HandOut(outPixels, outBitsPerPixel, outWidth, outHeight);

    // An image ID, when present, sits between the header and the pixels.
    if (header[IdLengthAt] != 0 && std::fseek(stream, header[IdLengthAt], SEEK_CUR) != 0)
        return HandOut(outPixels, outBitsPerPixel, outWidth, outHeight);

    // A header that promises more pixels than the file holds is refused before allocating.
    const size_t bytesPerPixel = size_t(bits) / 8;
    const size_t byteCount = size_t(w) * size_t(h) * bytesPerPixel;
    const long available = RemainingBytes(stream);
    if (available < 0 || size_t(available) < byteCount)
        return HandOut(outPixels, outBitsPerPixel, outWidth, outHeight);

    std::unique_ptr<uint8_t[]> block = Allocate(byteCount, false);
    if (!block || !ReadExactly(stream, block.get(), byteCount))
        return HandOut(outPixels, outBitsPerPixel, outWidth, outHeight);

    // The file's B, G, R(, A) becomes R, G, B(, A); rows stay in file order, bottom row first.
    for (size_t i = 0; i < byteCount; i += bytesPerPixel)
        std::swap(block[i], block[i + 2]);

    pixels = std::move(block);
    bitsPerPixel = uint8_t(bits);
    width = w;
    height = h;
    return HandOut(outPixels, outBitsPerPixel, outWidth, outHeight);
}

bool GFX_ImageSerializerTGA::Save(const std::string&, const uint8_t*, uint8_t, int32_t, int32_t)
{
    return false;
}
