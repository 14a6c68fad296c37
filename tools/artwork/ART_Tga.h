#pragma once

#include "tools/artwork/ART_Canvas.h"

#include <cstdint>
#include <string>
#include <vector>

// Plain uncompressed 32-bit true-colour TGA: an 18-byte header (no image ID, no colour map,
// origin at the bottom-left corner, 8 alpha bits), then blue-green-red-alpha pixels, bottom row
// first. It is the one layout every TGA reader handles.
std::vector<uint8_t> ART_EncodeTga(const ART_Canvas& canvas);

// A decoded TGA of that layout: straight RGBA bytes, top row first.
struct ART_TgaImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    const uint8_t* Pixel(int x, int y) const
    {
        return &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
    }
};

// Reads an uncompressed 24- or 32-bit true-colour TGA of either vertical origin; false with
// `error` set for anything else, a short file included.
bool ART_DecodeTga(const std::vector<uint8_t>& bytes, ART_TgaImage& image, std::string& error);

bool ART_ReadFile(const std::string& path, std::vector<uint8_t>& bytes);
bool ART_WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
