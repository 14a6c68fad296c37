#include "server/SRV_PictureMaker.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace
{
constexpr int GlyphWidth = 5;
constexpr int GlyphHeight = 7;

// A 5 × 7 capital alphabet and '?', one row of five cells a string, '#' lit.
constexpr const char* Glyphs[27][GlyphHeight] = {
    {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}, // A
    {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}, // B
    {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}, // C
    {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}, // D
    {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}, // E
    {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}, // F
    {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}, // G
    {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}, // H
    {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}, // I
    {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}, // J
    {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}, // K
    {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}, // L
    {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}, // M
    {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}, // N
    {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}, // O
    {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}, // P
    {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}, // Q
    {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}, // R
    {".####", "#....", "#....", ".###.", "....#", "....#", "####."}, // S
    {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}, // T
    {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}, // U
    {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}, // V
    {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}, // W
    {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}, // X
    {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}, // Y
    {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}, // Z
    {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}, // ?
};

const char* const* GlyphOf(char letter)
{
    if (letter >= 'A' && letter <= 'Z')
        return Glyphs[letter - 'A'];
    return Glyphs[26];
}

char InitialOf(const std::string& word)
{
    for (unsigned char c : word)
    {
        if (std::isspace(c))
            continue;
        return std::isalpha(c) && c < 0x80 ? char(std::toupper(c)) : '?';
    }
    return 0;
}

uint64_t Mix(uint64_t x)
{
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

// HSV (hue in degrees, saturation and value 0…1) to 8-bit RGB.
void HsvToRgb(double hue, double saturation, double value, uint8_t rgb[3])
{
    const double c = value * saturation;
    const double h = std::fmod(hue, 360.0) / 60.0;
    const double x = c * (1.0 - std::fabs(std::fmod(h, 2.0) - 1.0));
    double r = 0, g = 0, b = 0;
    switch (int(h))
    {
    case 0:
        r = c, g = x;
        break;
    case 1:
        r = x, g = c;
        break;
    case 2:
        g = c, b = x;
        break;
    case 3:
        g = x, b = c;
        break;
    case 4:
        r = x, b = c;
        break;
    default:
        r = c, b = x;
        break;
    }
    const double m = value - c;
    rgb[0] = uint8_t(std::lround((r + m) * 255.0));
    rgb[1] = uint8_t(std::lround((g + m) * 255.0));
    rgb[2] = uint8_t(std::lround((b + m) * 255.0));
}

// libjpeg reports fatal errors through error_exit, which by default ends the process; this one
// jumps back to the encoder instead.
struct JpegError
{
    jpeg_error_mgr manager;
    jmp_buf jump;
};

void OnJpegError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

// Encodes into a buffer that libjpeg allocates (the caller frees it, also after a failure). The
// output variables belong to the caller, so they stay valid across the error jump.
bool Compress(const uint8_t* rgb, int width, int height, int quality, unsigned char** buffer,
              unsigned long* size)
{
    jpeg_compress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnJpegError;
    if (setjmp(error.jump))
    {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height)
    {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + size_t(info.next_scanline) * size_t(width) * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}
} // namespace

SRV_PictureMaker::Dimensions SRV_PictureMaker::SizeOf(SRV_PictureSize size)
{
    switch (size)
    {
    case SRV_PictureSize::Square:
        return {50, 50};
    case SRV_PictureSize::Small:
        return {50, 67};
    case SRV_PictureSize::Normal:
        return {100, 133};
    case SRV_PictureSize::Big:
        return {200, 267};
    }
    return {50, 50};
}

const char* SRV_PictureMaker::NameOf(SRV_PictureSize size)
{
    switch (size)
    {
    case SRV_PictureSize::Square:
        return "square";
    case SRV_PictureSize::Small:
        return "small";
    case SRV_PictureSize::Normal:
        return "normal";
    case SRV_PictureSize::Big:
        return "big";
    }
    return "square";
}

bool SRV_PictureMaker::FromName(const std::string& name, SRV_PictureSize& size)
{
    for (SRV_PictureSize candidate : {SRV_PictureSize::Square, SRV_PictureSize::Small,
                                      SRV_PictureSize::Normal, SRV_PictureSize::Big})
        if (name == NameOf(candidate))
        {
            size = candidate;
            return true;
        }
    return false;
}

std::string SRV_PictureMaker::Initials(const std::string& firstName, const std::string& lastName,
                                       const std::string& name)
{
    char first = InitialOf(firstName), last = InitialOf(lastName);
    if (!first && !last)
    {
        first = InitialOf(name);
        const size_t space = name.find_last_of(' ');
        if (space != std::string::npos)
            last = InitialOf(name.substr(space + 1));
    }
    std::string initials;
    if (first)
        initials += first;
    if (last)
        initials += last;
    return initials.empty() ? std::string("?") : initials;
}

void SRV_PictureMaker::ColourOf(int64_t uid, uint8_t rgb[3])
{
    // Hue anywhere; saturation and value kept in a band where white letters read well.
    const uint64_t bits = Mix(uint64_t(uid));
    const double hue = double(bits % 360);
    const double saturation = 0.45 + 0.35 * double((bits >> 16) % 1000) / 999.0;
    const double value = 0.50 + 0.30 * double((bits >> 32) % 1000) / 999.0;
    HsvToRgb(hue, saturation, value, rgb);
}

std::vector<uint8_t> SRV_PictureMaker::Render(int64_t uid, const std::string& initials, int width,
                                              int height)
{
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    uint8_t colour[3];
    ColourOf(uid, colour);

    // Background: the colour, brightening by a sixth towards the top and darkening by a sixth
    // towards the bottom.
    for (int y = 0; y < height; ++y)
    {
        const double shade = 1.0 + (0.5 - (y + 0.5) / height) / 3.0;
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                rgb[(size_t(y) * width + x) * 3 + c] =
                    uint8_t(std::clamp(colour[c] * shade, 0.0, 255.0));
    }

    // The letters fill about 60 % of the width (or 40 % of the height, whichever is smaller),
    // one cell of space between them, centred; a soft shadow a tenth of a cell down and right.
    const int count = int(std::min<size_t>(initials.size(), 2));
    if (count == 0 || width <= 0 || height <= 0)
        return rgb;
    const int cellsWide = count * GlyphWidth + (count - 1);
    const double cell = std::min(0.6 * width / cellsWide, 0.4 * height / GlyphHeight);
    const double left = (width - cellsWide * cell) / 2.0;
    const double top = (height - GlyphHeight * cell) / 2.0;
    auto lit = [&](double px, double py) -> bool
    {
        const double u = (px - left) / cell, v = (py - top) / cell;
        if (u < 0 || v < 0 || v >= GlyphHeight)
            return false;
        const int column = int(u), row = int(v);
        const int letter = column / (GlyphWidth + 1), inLetter = column % (GlyphWidth + 1);
        if (letter >= count || inLetter >= GlyphWidth)
            return false;
        return GlyphOf(initials[size_t(letter)])[row][inLetter] == '#';
    };

    // Coverage by 4 × 4 samples a pixel gives smooth edges at every scale. A cell is wider than
    // a pixel, so a pixel whose four corners agree lies wholly inside or outside the letters
    // and needs no samples: most of the picture.
    constexpr int Samples = 4;
    const double shadow = cell * 0.12;
    const bool cornersDecide = cell >= 1.0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            int inked = 0, shaded = 0;
            const double x0 = x, y0 = y, x1 = x + 0.999, y1 = y + 0.999;
            const int inkCorners = lit(x0, y0) + lit(x1, y0) + lit(x0, y1) + lit(x1, y1);
            const int shadowCorners = lit(x0 - shadow, y0 - shadow) +
                                      lit(x1 - shadow, y0 - shadow) +
                                      lit(x0 - shadow, y1 - shadow) + lit(x1 - shadow, y1 - shadow);
            if (cornersDecide && inkCorners % 4 == 0 && shadowCorners % 4 == 0)
            {
                if (inkCorners == 0 && shadowCorners == 0)
                    continue; // background, already drawn
                inked = inkCorners / 4 * Samples * Samples;
                shaded = shadowCorners / 4 * Samples * Samples;
            }
            else
            {
                for (int sy = 0; sy < Samples; ++sy)
                    for (int sx = 0; sx < Samples; ++sx)
                    {
                        const double px = x + (sx + 0.5) / Samples, py = y + (sy + 0.5) / Samples;
                        inked += lit(px, py);
                        shaded += lit(px - shadow, py - shadow);
                    }
            }
            const double ink = double(inked) / (Samples * Samples);
            const double dark = double(shaded) / (Samples * Samples) * (1.0 - ink) * 0.35;
            uint8_t* pixel = &rgb[(size_t(y) * width + x) * 3];
            for (int c = 0; c < 3; ++c)
            {
                const double shadowed = pixel[c] * (1.0 - dark);
                pixel[c] = uint8_t(std::lround(shadowed * (1.0 - ink) + 255.0 * ink));
            }
        }
    return rgb;
}

std::string SRV_PictureMaker::EncodeJpeg(const std::vector<uint8_t>& rgb, int width, int height,
                                         int quality)
{
    if (width <= 0 || height <= 0 || rgb.size() != size_t(width) * size_t(height) * 3)
        return std::string();
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = Compress(rgb.data(), width, height, quality, &buffer, &size);
    std::string jpeg =
        ok && buffer ? std::string(reinterpret_cast<const char*>(buffer), size) : std::string();
    std::free(buffer);
    return jpeg;
}

std::string SRV_PictureMaker::MakeJpeg(int64_t uid, const std::string& initials,
                                       SRV_PictureSize size)
{
    const Dimensions d = SizeOf(size);
    return EncodeJpeg(Render(uid, initials, d.width, d.height), d.width, d.height, 88);
}
