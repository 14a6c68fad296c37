#pragma once

#include <array>
#include <functional>
#include <string>

// Picture files for tests. JPEGs come from ImageMagick's `convert`, an independent encoder; a
// TGA is written by hand, so a test can know every byte of it.

// A w × h JPEG of one colour ("red", "#336699", ...); empty when ImageMagick is missing.
std::string MakeJpeg(int width, int height, const std::string& colour);

// An uncompressed 24-bit TGA of w × h pixels, all of the colour (r, g, b), bottom row first.
std::string MakeTga(int width, int height, unsigned char r, unsigned char g, unsigned char b);

// An uncompressed 32-bit TGA of w × h pixels whose pixel (x, y), y counted from the bottom row,
// is pixel(x, y) = {r, g, b, a}.
std::string MakeTgaRgba(int width, int height,
                        const std::function<std::array<unsigned char, 4>(int x, int y)>& pixel);
