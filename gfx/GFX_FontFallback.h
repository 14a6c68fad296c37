#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

typedef struct hb_font_t hb_font_t;

// The fonts text is written with: every outline font fontconfig offers, in its order of
// preference for a base family, so that a character goes to the first font that has it. A font
// is opened (FreeType to draw it, HarfBuzz to shape with it) when a character first needs it,
// and the glyphs drawn from it are kept per size for the next line.
//
// Fonts are numbered by their place in the list. Sizes are pixels per em. No GL. Not for two
// threads at once. The list is asked of fontconfig on construction.
class GFX_FontFallback
{
public:
    // Rendered glyphs kept; all go when there would be more (see MakeRoom).
    static constexpr size_t MaxCachedGlyphs = 8192;

    explicit GFX_FontFallback(const std::string& family);
    ~GFX_FontFallback();

    GFX_FontFallback(const GFX_FontFallback&) = delete;
    GFX_FontFallback& operator=(const GFX_FontFallback&) = delete;

    // The font that writes `code`: where the character goes with its neighbours (spaces,
    // punctuation, marks) the previous character's font if it has it, else the first font of
    // the list that has it and opens; −1 when none does.
    int FontFor(char32_t code, bool followsNeighbours, int previous);
    // The first font of the list that opens; −1 when none does.
    int FirstFont();
    // The font to shape with, scaled as the caller sets it; valid once the font has opened.
    hb_font_t* GetShapingFont(int font) const;
    const std::string& GetFamily(int font) const;

    // A glyph's coverage at one size, rows top first, placed relative to the pen on the
    // baseline (y up). Empty for a glyph without ink or one that cannot be drawn.
    struct Glyph
    {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        std::vector<uint8_t> rows;
    };
    // The glyph with the given index in the font, drawn at `pixelSize`. The reference stays
    // valid until MakeRoom lets the kept glyphs go.
    const Glyph& Render(int font, uint32_t glyph, int pixelSize);
    // Lets every kept glyph go when `count` more would pass MaxCachedGlyphs; call it between
    // lines, never while references from Render are held.
    void MakeRoom(size_t count);

private:
    struct Fonts;
    std::unique_ptr<Fonts> fonts;
};
