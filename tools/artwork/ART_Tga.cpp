#include "tools/artwork/ART_Tga.h"

#include <fstream>
#include <iterator>

namespace
{
const size_t HeaderSize = 18;
const uint8_t TrueColour = 2;
const uint8_t TopLeftOrigin = 0x20;
const uint8_t AlphaBits = 0x08;
} // namespace

std::vector<uint8_t> ART_EncodeTga(const ART_Canvas& canvas)
{
    const int width = canvas.Width(), height = canvas.Height();
    const std::vector<uint8_t> rgba = canvas.ToRgba8();
    std::vector<uint8_t> bytes(HeaderSize, 0);
    bytes[2] = TrueColour;
    bytes[12] = uint8_t(width & 0xFF);
    bytes[13] = uint8_t(width >> 8);
    bytes[14] = uint8_t(height & 0xFF);
    bytes[15] = uint8_t(height >> 8);
    bytes[16] = 32;
    bytes[17] = AlphaBits;
    bytes.reserve(HeaderSize + rgba.size());
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x)
        {
            const uint8_t* p = &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
            bytes.insert(bytes.end(), {p[2], p[1], p[0], p[3]});
        }
    return bytes;
}

bool ART_DecodeTga(const std::vector<uint8_t>& bytes, ART_TgaImage& image, std::string& error)
{
    if (bytes.size() < HeaderSize)
    {
        error = "shorter than a TGA header";
        return false;
    }
    const size_t idLength = bytes[0];
    const int width = bytes[12] | (bytes[13] << 8);
    const int height = bytes[14] | (bytes[15] << 8);
    const int bits = bytes[16];
    if (bytes[1] != 0 || bytes[2] != TrueColour || (bits != 24 && bits != 32))
    {
        error = "not an uncompressed 24- or 32-bit true-colour TGA";
        return false;
    }
    const size_t stride = size_t(bits / 8);
    const size_t need = HeaderSize + idLength + size_t(width) * size_t(height) * stride;
    if (bytes.size() < need)
    {
        error = "the pixels are cut short";
        return false;
    }
    const bool topFirst = (bytes[17] & TopLeftOrigin) != 0;
    image.width = width;
    image.height = height;
    image.rgba.assign(size_t(width) * size_t(height) * 4, 0);
    const uint8_t* source = bytes.data() + HeaderSize + idLength;
    for (int row = 0; row < height; ++row)
    {
        const int y = topFirst ? row : height - 1 - row;
        for (int x = 0; x < width; ++x)
        {
            const uint8_t* p = source + (size_t(row) * size_t(width) + size_t(x)) * stride;
            uint8_t* q = &image.rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
            q[0] = p[2];
            q[1] = p[1];
            q[2] = p[0];
            q[3] = stride == 4 ? p[3] : 255;
        }
    }
    return true;
}

bool ART_ReadFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool ART_WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}
