#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class GFX_FontFallback;

// One line of text in any script, made into a coverage picture: UTF-8 in, shaped with HarfBuzz,
// rasterised with FreeType. Each character goes to the first font of the fallback list that has
// it (fontconfig's fonts for the base family, best match first), so that a name in Cyrillic,
// Arabic, Devanagari or Chinese is written by a font that knows it. A line mixing right-to-left
// and left-to-right text is laid out in the order the Unicode bidirectional algorithm gives
// (fribidi), and a line wider than asked for is cut where the text stops fitting and ends in an
// ellipsis.
//
// Sizes are pixels. The size asked for is the em; a line's picture is as high as its glyphs and
// the base font's ascent and descent reach, one byte of coverage per pixel, the bottom row first
// (as GL uploads it). Lines are kept for the next time they are asked for, up to a bound in
// bytes with the least recently used going first, so a name is shaped once per size.
//
// No GL. Not for two threads at once: fonts and caches are not locked. The fonts are looked up
// on the first line asked for, not when the shaper is made.
class GFX_TextShaper
{
public:
    // The family whose fonts come first: the one the interface's letters are drawn from.
    static constexpr const char* DefaultFamily = "DejaVu Sans";
    static constexpr int MinPixelSize = 4;
    static constexpr int MaxPixelSize = 256;
    // The widest line made, whatever is asked for.
    static constexpr int MaxLineWidth = 4096;
    // Longer texts are cut to this many characters before shaping; no label shows more.
    static constexpr size_t MaxCharacters = 256;
    // Transparent columns and rows around the glyphs, so that linear filtering of the picture
    // does not cut the outermost texels.
    static constexpr int Padding = 1;
    static constexpr size_t MaxCachedBytes = size_t(4) << 20;
    static constexpr size_t MaxCachedLines = 4096;

    struct Line
    {
        int width = 0;
        int height = 0;
        // Rows from the bottom of the picture to the baseline.
        int baseline = 0;
        // width × height bytes, the bottom row first.
        std::vector<uint8_t> coverage;
        // Glyphs drawn, an ellipsis included.
        int glyphs = 0;
        // Characters no font has, drawn as the base font's missing-glyph box.
        int missing = 0;
        // Whether the text was cut to fit and ends in an ellipsis.
        bool cut = false;
        // The families of the fonts the line was written with, in the order first used.
        std::vector<std::string> families;
    };

    explicit GFX_TextShaper(std::string family = DefaultFamily);
    ~GFX_TextShaper();

    GFX_TextShaper(const GFX_TextShaper&) = delete;
    GFX_TextShaper& operator=(const GFX_TextShaper&) = delete;

    // The line of `utf8` at `pixelSize` pixels per em (clamped to MinPixelSize…MaxPixelSize),
    // cut to at most `maxWidth` pixels wide with an ellipsis when it does not fit (0: as wide
    // as it is, up to MaxLineWidth). Bytes that are not UTF-8 become U+FFFD, control
    // characters are dropped. An empty line (width 0) for a text with nothing to draw or when
    // no font is installed. Kept until the cache needs the room; the pointer stays valid while
    // held.
    std::shared_ptr<const Line> Shape(const std::string& utf8, int pixelSize, int maxWidth = 0);
    // The advance of the whole line in pixels, uncut and without padding; shaped, not drawn.
    float Measure(const std::string& utf8, int pixelSize);

    // Whether fontconfig offered any font that can be used.
    bool HasFonts();
    size_t CountCachedLines() const { return lines.size(); }
    size_t CountCachedBytes() const { return cachedBytes; }

private:
    struct Shaped;
    GFX_FontFallback& GetFonts();
    Shaped Layout(const std::u32string& text, int pixelSize);
    std::shared_ptr<Line> Draw(const Shaped& shaped, int pixelSize, int maxWidth);
    std::shared_ptr<Line> MakeLine(const std::u32string& text, int pixelSize, int maxWidth);
    void Keep(const std::string& key, const std::shared_ptr<const Line>& line);

    std::string family;
    std::unique_ptr<GFX_FontFallback> fonts;

    struct Cached
    {
        std::string key;
        std::shared_ptr<const Line> line;
    };
    std::list<Cached> lines; // most recently used first
    std::unordered_map<std::string, std::list<Cached>::iterator> lineOf;
    size_t cachedBytes = 0;
    std::unordered_map<std::string, float> advances;
};
