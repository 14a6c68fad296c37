#include "support/ImageFiles.h"

#include "support/ImageMagick.h"

namespace
{
// The 18-byte header of an uncompressed true-colour TGA.
std::string TgaHeader(int width, int height, int bitsPerPixel, int descriptor)
{
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = static_cast<char>(width & 0xff);
    bytes[13] = static_cast<char>(width >> 8);
    bytes[14] = static_cast<char>(height & 0xff);
    bytes[15] = static_cast<char>(height >> 8);
    bytes[16] = static_cast<char>(bitsPerPixel);
    bytes[17] = static_cast<char>(descriptor);
    return bytes;
}
} // namespace

std::string MakeJpeg(int width, int height, const std::string& colour)
{
    return ImageMagick::ConvertOutput("-size " + std::to_string(width) + "x" +
                                      std::to_string(height) + " " +
                                      ImageMagick::Quote("xc:" + colour) + " jpg:-");
}

std::string MakeTga(int width, int height, unsigned char r, unsigned char g, unsigned char b)
{
    std::string bytes = TgaHeader(width, height, 24, 0);
    for (int i = 0; i < width * height; ++i)
    {
        bytes += static_cast<char>(b); // TGA stores blue, green, red
        bytes += static_cast<char>(g);
        bytes += static_cast<char>(r);
    }
    return bytes;
}

std::string MakeTgaRgba(int width, int height,
                        const std::function<std::array<unsigned char, 4>(int x, int y)>& pixel)
{
    std::string bytes = TgaHeader(width, height, 32, 8); // eight alpha bits, bottom row first
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const std::array<unsigned char, 4> rgba = pixel(x, y);
            bytes += static_cast<char>(rgba[2]);
            bytes += static_cast<char>(rgba[1]);
            bytes += static_cast<char>(rgba[0]);
            bytes += static_cast<char>(rgba[3]);
        }
    return bytes;
}
