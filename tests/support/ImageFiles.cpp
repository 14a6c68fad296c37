#include "support/ImageFiles.h"

#include "support/ImageMagick.h"

std::string MakeJpeg(int width, int height, const std::string& colour)
{
    return ImageMagick::ConvertOutput("-size " + std::to_string(width) + "x" +
                                      std::to_string(height) + " " +
                                      ImageMagick::Quote("xc:" + colour) + " jpg:-");
}

std::string MakeTga(int width, int height, unsigned char r, unsigned char g, unsigned char b)
{
    std::string bytes(18, '\0');
    bytes[2] = 2; // uncompressed true colour
    bytes[12] = static_cast<char>(width & 0xff);
    bytes[13] = static_cast<char>(width >> 8);
    bytes[14] = static_cast<char>(height & 0xff);
    bytes[15] = static_cast<char>(height >> 8);
    bytes[16] = 24;
    for (int i = 0; i < width * height; ++i)
    {
        bytes += static_cast<char>(b); // TGA stores blue, green, red
        bytes += static_cast<char>(g);
        bytes += static_cast<char>(r);
    }
    return bytes;
}
