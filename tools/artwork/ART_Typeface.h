#pragma once

#include "tools/artwork/ART_Canvas.h"

#include <memory>
#include <string>
#include <vector>

// One outline font file, rasterised with FreeType into coverage masks. Glyphs are placed with
// sub-pixel precision and drawn unhinted, so that text scaled by the GPU later keeps its design.
// Sizes are pixels per em; positions are canvas pixels (origin top-left, y down). Not for use by
// two threads at once.
class ART_Typeface
{
public:
    // Opens a font file; null with `error` set when FreeType cannot read it.
    static std::unique_ptr<ART_Typeface> Open(const std::string& path, std::string& error);
    ~ART_Typeface();

    ART_Typeface(const ART_Typeface&) = delete;
    ART_Typeface& operator=(const ART_Typeface&) = delete;

    // Vertical extent of one character at one pixel per em: top above the baseline (positive) and
    // bottom below it (negative), as its outline reaches.
    struct Extent
    {
        double top = 0.0, bottom = 0.0, left = 0.0, right = 0.0;
        bool present = false;
    };
    Extent Measure(char32_t code) const;
    // Horizontal advance of one character at one pixel per em.
    double Advance(char32_t code) const;
    // Width of a line: the sum of advances and kerning, plus `tracking` between characters.
    double LineWidth(const std::u32string& text, double size, double tracking = 0.0) const;

    struct Style
    {
        double size = 16.0;    // pixels per em
        double tracking = 0.0; // extra pixels between characters
        double angle = 0.0;    // radians, counter-clockwise as seen, about the pen's start
        double embolden = 0.0; // pixels added to every stroke's width
    };
    // Adds the coverage of a line of text to `mask`, the baseline starting at (x, y).
    void Draw(ART_Mask& mask, const std::u32string& text, double x, double y,
              const Style& style) const;

private:
    struct Library;
    explicit ART_Typeface(std::unique_ptr<Library> library);

    std::unique_ptr<Library> library;
};

// Code points of a UTF-8 string literal.
std::u32string ART_Utf32(const std::string& utf8);
