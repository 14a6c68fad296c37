#include "tools/snapshot/SnapshotPng.h"

#include <GL/gl.h>
#include <cstdio>
#include <png.h>
#include <vector>

bool WriteFramebufferPng(const std::string& path, int width, int height, std::string& error)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // The scene clears alpha to 0; a snapshot is meant to be seen, so it is made opaque.
    for (size_t i = 3; i < pixels.size(); i += 4)
        pixels[i] = 255;

    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
    {
        error = "cannot write " + path;
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
    for (int row = height - 1; row >= 0; --row) // GL's rows run bottom-up
        png_write_row(png, pixels.data() + static_cast<size_t>(row) * width * 4);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    const bool closed = std::fclose(file) == 0;
    if (!closed)
        error = "cannot finish writing " + path;
    return closed;
}
