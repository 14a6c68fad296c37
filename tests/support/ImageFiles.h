#pragma once

#include <string>

// Picture files for tests. JPEGs come from ImageMagick's `convert`, an independent encoder; a
// TGA is written by hand, so a test can know every byte of it.

// A w × h JPEG of one colour ("red", "#336699", ...); empty when ImageMagick is missing.
std::string MakeJpeg(int width, int height, const std::string& colour);

// An uncompressed 24-bit TGA of w × h pixels, all of the colour (r, g, b), bottom row first.
std::string MakeTga(int width, int height, unsigned char r, unsigned char g, unsigned char b);
