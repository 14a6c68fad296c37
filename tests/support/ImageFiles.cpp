#include "support/ImageFiles.h"

#include <cstdio>

std::string RunCommand(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r"))
    {
        char buffer[4096];
        for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, got);
        pclose(pipe);
    }
    return output;
}

std::string MakeJpeg(int width, int height, const std::string& colour)
{
    return RunCommand("convert -size " + std::to_string(width) + "x" + std::to_string(height) +
                      " 'xc:" + colour + "' jpg:- 2>/dev/null");
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

std::string MakeTgaRgba(int width, int height,
                        const std::function<std::array<unsigned char, 4>(int x, int y)>& pixel)
{
    std::string bytes(18, '\0');
    bytes[2] = 2; // uncompressed true colour
    bytes[12] = static_cast<char>(width & 0xff);
    bytes[13] = static_cast<char>(width >> 8);
    bytes[14] = static_cast<char>(height & 0xff);
    bytes[15] = static_cast<char>(height >> 8);
    bytes[16] = 32;
    bytes[17] = 8; // eight alpha bits, bottom row first
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
