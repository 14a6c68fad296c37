#include "util/UTL_PngFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <png.h>

bool UTL_WritePng(const std::string& path, int width, int height, const uint8_t* rgba,
                  bool bottomUp, std::string& error)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
    {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        error = "PNG encoding failed for " + path;
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t stride = static_cast<size_t>(width) * 4;
    for (int i = 0; i < height; ++i)
    {
        const int row = bottomUp ? height - 1 - i : i;
        png_write_row(png, rgba + static_cast<size_t>(row) * stride);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    const bool closed = std::fclose(file) == 0;
    if (!closed)
        error = "cannot finish writing " + path;
    return closed;
}
