#include "gfx/GFX_TextShaper.h"

#include "gfx/GFX_FontFallback.h"

#include <fribidi.h>
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace
{
constexpr char32_t Replacement = 0xFFFD;
constexpr char32_t Ellipsis = 0x2026;
constexpr size_t MaxCachedAdvances = 16384;

// Code points of `utf8`: malformed, overlong and surrogate sequences become one U+FFFD per bad
// byte, control characters are dropped; at most `limit` code points.
std::u32string DecodeUtf8(const std::string& utf8, size_t limit)
{
    std::u32string text;
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    const size_t size = utf8.size();
    for (size_t at = 0; at < size && text.size() < limit;)
    {
        const unsigned char lead = bytes[at];
        // The sequence's length, the bits of the lead byte it keeps and the least code point
        // it may encode (anything below is an overlong form).
        int length = 0;
        unsigned char leadBits = 0;
        char32_t least = 0;
        if (lead < 0x80)
            length = 1, leadBits = 0x7F;
        else if (lead >= 0xC2 && lead < 0xE0)
            length = 2, leadBits = 0x1F, least = 0x80;
        else if (lead >= 0xE0 && lead < 0xF0)
            length = 3, leadBits = 0x0F, least = 0x800;
        else if (lead >= 0xF0 && lead < 0xF5)
            length = 4, leadBits = 0x07, least = 0x10000;
        char32_t code = lead & leadBits;
        bool valid = length > 0 && at + size_t(length) <= size;
        for (int i = 1; valid && i < length; ++i)
        {
            const unsigned char next = bytes[at + size_t(i)];
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        valid = valid && code >= least && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (!valid)
        {
            text += Replacement;
            ++at;
            continue;
        }
        at += size_t(length);
        const bool control = code < 0x20 || (code >= 0x7F && code < 0xA0);
        if (!control)
            text += code;
    }
    return text;
}

bool IsMark(hb_unicode_general_category_t category)
{
    return category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
           category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
           category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK;
}

// Characters that belong to no script of their own (spaces, punctuation, digits, marks, joiners):
// they stay with the font and script of the text around them where they can.
bool FollowsNeighbours(hb_script_t script)
{
    return script == HB_SCRIPT_COMMON || script == HB_SCRIPT_INHERITED ||
           script == HB_SCRIPT_UNKNOWN;
}

int Ceil26Dot6(hb_position_t value)
{
    return static_cast<int>(std::ceil(static_cast<double>(value) / 64.0));
}
} // namespace

// A line shaped and laid out in visual order, left to right, in 26.6 pixels.
struct GFX_TextShaper::Shaped
{
    struct Glyph
    {
        int font;
        hb_codepoint_t glyph;
        hb_position_t x; // pen position plus offset
        hb_position_t y;
        uint32_t cluster; // the first character it stands for
    };
    std::vector<Glyph> glyphs;
    hb_position_t advance = 0;
    int missing = 0;
    std::vector<int> fonts; // in the order first used
    // Advance of the glyphs of each character, all counted on the first of a cluster.
    std::vector<hb_position_t> advanceOf;
    // Whether a cut may fall before character i (it starts a cluster).
    std::vector<bool> startsCluster;
};

GFX_TextShaper::GFX_TextShaper(std::string family) : family(std::move(family)) {}

GFX_TextShaper::~GFX_TextShaper() = default;

GFX_FontFallback& GFX_TextShaper::GetFonts()
{
    if (!fonts)
        fonts = std::make_unique<GFX_FontFallback>(family);
    return *fonts;
}

bool GFX_TextShaper::HasFonts()
{
    return GetFonts().FirstFont() >= 0;
}

GFX_TextShaper::Shaped GFX_TextShaper::Layout(const std::u32string& text, int pixelSize)
{
    Shaped shaped;
    const size_t count = text.size();
    shaped.advanceOf.assign(count, 0);
    shaped.startsCluster.assign(count, false);
    GFX_FontFallback& found = GetFonts();
    // What no font has is drawn as the missing glyph of the first font that opens.
    const int fallback = found.FirstFont();
    if (count == 0 || fallback < 0)
        return shaped;

    // Embedding levels by the bidirectional algorithm; the paragraph takes the direction of
    // its first strong character.
    std::vector<FriBidiCharType> types(count);
    std::vector<FriBidiBracketType> brackets(count);
    std::vector<FriBidiLevel> levels(count, 0);
    const auto* characters = reinterpret_cast<const FriBidiChar*>(text.data());
    const auto length = static_cast<FriBidiStrIndex>(count);
    fribidi_get_bidi_types(characters, length, types.data());
    fribidi_get_bracket_types(characters, length, types.data(), brackets.data());
    FriBidiParType direction = FRIBIDI_PAR_ON;
    if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), length, &direction,
                                            levels.data()) == 0)
        std::fill(levels.begin(), levels.end(), FriBidiLevel(0));

    // Script and font of each character; neutral ones take their neighbours'.
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    std::vector<hb_script_t> scripts(count);
    std::vector<bool> neutral(count);
    for (size_t i = 0; i < count; ++i)
    {
        scripts[i] = hb_unicode_script(unicode, text[i]);
        neutral[i] =
            FollowsNeighbours(scripts[i]) || IsMark(hb_unicode_general_category(unicode, text[i]));
    }
    hb_script_t last = HB_SCRIPT_COMMON;
    for (size_t i = 0; i < count; ++i)
        if (FollowsNeighbours(scripts[i]))
            scripts[i] = last;
        else
            last = scripts[i];
    last = HB_SCRIPT_COMMON;
    for (size_t i = count; i-- > 0;)
        if (scripts[i] == HB_SCRIPT_COMMON)
            scripts[i] = last;
        else
            last = scripts[i];
    std::vector<int> fontOf(count);
    int previous = -1;
    for (size_t i = 0; i < count; ++i)
    {
        fontOf[i] = found.FontFor(text[i], neutral[i], previous);
        if (fontOf[i] >= 0)
            previous = fontOf[i];
    }

    struct Run
    {
        size_t start;
        size_t end;
        FriBidiLevel level;
        hb_script_t script;
        int font;
    };
    std::vector<Run> runs;
    for (size_t i = 0; i < count; ++i)
    {
        const int font = fontOf[i] >= 0 ? fontOf[i] : fallback;
        if (!runs.empty() && runs.back().level == levels[i] && runs.back().script == scripts[i] &&
            runs.back().font == font)
            runs.back().end = i + 1;
        else
            runs.push_back({i, i + 1, levels[i], scripts[i], font});
    }
    // Runs in visual order: from the highest level down to the lowest odd one, every stretch
    // of runs at that level or above turns round.
    int highest = 0;
    int lowestOdd = FRIBIDI_BIDI_MAX_EXPLICIT_LEVEL + 2;
    for (const Run& run : runs)
    {
        highest = std::max(highest, int(run.level));
        if (run.level % 2 == 1)
            lowestOdd = std::min(lowestOdd, int(run.level));
    }
    for (int level = highest; level >= lowestOdd && level > 0; --level)
        for (size_t i = 0; i < runs.size();)
        {
            if (runs[i].level < level)
            {
                ++i;
                continue;
            }
            size_t end = i;
            while (end < runs.size() && runs[end].level >= level)
                ++end;
            std::reverse(runs.begin() + static_cast<std::ptrdiff_t>(i),
                         runs.begin() + static_cast<std::ptrdiff_t>(end));
            i = end;
        }

    hb_buffer_t* buffer = hb_buffer_create();
    const int scale = pixelSize * 64;
    hb_position_t pen = 0;
    for (const Run& run : runs)
    {
        hb_font_t* font = found.GetShapingFont(run.font);
        hb_font_set_scale(font, scale, scale);
        hb_buffer_clear_contents(buffer);
        // The whole text goes in as context, so that joining scripts join across runs.
        hb_buffer_add_utf32(buffer, reinterpret_cast<const uint32_t*>(text.data()),
                            static_cast<int>(count), static_cast<unsigned>(run.start),
                            static_cast<int>(run.end - run.start));
        hb_buffer_set_direction(buffer, run.level % 2 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
        hb_buffer_set_script(buffer, run.script);
        hb_buffer_set_language(buffer, hb_language_get_default());
        hb_buffer_set_flags(buffer, HB_BUFFER_FLAG_REMOVE_DEFAULT_IGNORABLES);
        hb_shape(font, buffer, nullptr, 0);

        unsigned glyphCount = 0;
        const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &glyphCount);
        const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, nullptr);
        for (unsigned g = 0; g < glyphCount; ++g)
        {
            const uint32_t cluster = std::min<uint32_t>(infos[g].cluster, uint32_t(count - 1));
            shaped.glyphs.push_back({run.font, infos[g].codepoint, pen + positions[g].x_offset,
                                     positions[g].y_offset, cluster});
            shaped.advanceOf[cluster] += positions[g].x_advance;
            shaped.startsCluster[cluster] = true;
            pen += positions[g].x_advance;
            if (infos[g].codepoint == 0)
                ++shaped.missing;
        }
        if (std::find(shaped.fonts.begin(), shaped.fonts.end(), run.font) == shaped.fonts.end())
            shaped.fonts.push_back(run.font);
    }
    hb_buffer_destroy(buffer);
    shaped.advance = pen;
    return shaped;
}

std::shared_ptr<GFX_TextShaper::Line> GFX_TextShaper::Draw(const Shaped& shaped, int pixelSize,
                                                           int maxWidth)
{
    auto line = std::make_shared<Line>();
    if (shaped.glyphs.empty())
        return line;
    GFX_FontFallback& found = GetFonts();
    // Room made between lines only: the glyphs of this one are held by reference below.
    found.MakeRoom(shaped.glyphs.size());

    // The box: the base font's ascent and descent, grown to whatever the glyphs reach.
    hb_font_extents_t extents{};
    hb_font_get_h_extents(found.GetShapingFont(shaped.fonts.front()), &extents);
    int top = Ceil26Dot6(extents.ascender);
    int bottom = -Ceil26Dot6(-extents.descender);
    std::vector<const GFX_FontFallback::Glyph*> drawn;
    drawn.reserve(shaped.glyphs.size());
    for (const Shaped::Glyph& glyph : shaped.glyphs)
    {
        const GFX_FontFallback::Glyph& made = found.Render(glyph.font, glyph.glyph, pixelSize);
        drawn.push_back(&made);
        if (made.rows.empty())
            continue;
        const int y = static_cast<int>(std::lround(glyph.y / 64.0));
        top = std::max(top, made.top + y);
        bottom = std::min(bottom, made.top + y - made.height);
    }
    const int advance = Ceil26Dot6(shaped.advance);
    line->width = std::min(advance + 2 * Padding, maxWidth);
    line->height = std::min(top - bottom + 2 * Padding, 2 * MaxPixelSize + 2 * Padding);
    line->baseline = std::min(Padding - bottom, line->height);
    line->coverage.assign(size_t(line->width) * size_t(line->height), 0);

    for (size_t i = 0; i < shaped.glyphs.size(); ++i)
    {
        const GFX_FontFallback::Glyph& made = *drawn[i];
        if (made.rows.empty())
            continue;
        const int x =
            Padding + static_cast<int>(std::lround(shaped.glyphs[i].x / 64.0)) + made.left;
        const int glyphTop =
            line->baseline + static_cast<int>(std::lround(shaped.glyphs[i].y / 64.0)) + made.top;
        for (int row = 0; row < made.height; ++row)
        {
            const int y = glyphTop - 1 - row; // rows of the line count from the bottom
            if (y < 0 || y >= line->height)
                continue;
            uint8_t* target = line->coverage.data() + size_t(y) * size_t(line->width);
            const uint8_t* source = made.rows.data() + size_t(row) * size_t(made.width);
            for (int column = 0; column < made.width; ++column)
            {
                const int at = x + column;
                if (at >= 0 && at < line->width)
                    target[at] = std::max(target[at], source[column]);
            }
        }
    }
    line->glyphs = static_cast<int>(shaped.glyphs.size());
    line->missing = shaped.missing;
    for (int font : shaped.fonts)
        line->families.push_back(found.GetFamily(font));
    return line;
}

std::shared_ptr<GFX_TextShaper::Line> GFX_TextShaper::MakeLine(const std::u32string& text,
                                                               int pixelSize, int maxWidth)
{
    const Shaped whole = Layout(text, pixelSize);
    const hb_position_t room = hb_position_t(maxWidth - 2 * Padding) * 64;
    if (whole.advance <= room)
        return Draw(whole, pixelSize, maxWidth);

    // Too wide: the longest start of the text that leaves room for the ellipsis, cut between
    // clusters (never between a letter and its marks) and without the spaces before the cut.
    const std::u32string ellipsis =
        GetFonts().FontFor(Ellipsis, false, -1) >= 0 ? std::u32string(1, Ellipsis) : U"...";
    const hb_position_t ellipsisAdvance = Layout(ellipsis, pixelSize).advance;
    std::vector<hb_position_t> before(text.size() + 1, 0); // advance of characters 0…i−1
    for (size_t i = 0; i < text.size(); ++i)
        before[i + 1] = before[i] + whole.advanceOf[i];
    // A cut before character i keeps characters 0…i−1; it may fall where a cluster starts.
    auto canCut = [&](size_t at)
    { return at == 0 || at >= text.size() || whole.startsCluster[at]; };
    size_t keep = text.size();
    while (keep > 0 && (!canCut(keep) || before[keep] + ellipsisAdvance > room))
        --keep;
    // Joining and kerning at the cut may widen what was measured in the whole line: shorten
    // until the shaped result fits.
    for (;;)
    {
        size_t end = keep;
        while (end > 0 && (text[end - 1] == U' ' || text[end - 1] == 0x3000))
            --end;
        const Shaped cut = Layout(text.substr(0, end) + ellipsis, pixelSize);
        if (cut.advance <= room || keep == 0)
        {
            auto line = Draw(cut, pixelSize, maxWidth);
            line->cut = true;
            return line;
        }
        do
            --keep;
        while (!canCut(keep));
    }
}

std::shared_ptr<const GFX_TextShaper::Line> GFX_TextShaper::Shape(const std::string& utf8,
                                                                  int pixelSize, int maxWidth)
{
    pixelSize = std::clamp(pixelSize, MinPixelSize, MaxPixelSize);
    maxWidth = maxWidth <= 0 ? MaxLineWidth : std::clamp(maxWidth, 1, MaxLineWidth);
    std::string key = std::to_string(pixelSize) + ' ' + std::to_string(maxWidth) + '\n' + utf8;
    const auto known = lineOf.find(key);
    if (known != lineOf.end())
    {
        lines.splice(lines.begin(), lines, known->second);
        return known->second->line;
    }
    std::shared_ptr<const Line> line =
        MakeLine(DecodeUtf8(utf8, MaxCharacters), pixelSize, maxWidth);
    Keep(key, line);
    return line;
}

void GFX_TextShaper::Keep(const std::string& key, const std::shared_ptr<const Line>& line)
{
    lines.push_front({key, line});
    lineOf[key] = lines.begin();
    cachedBytes += line->coverage.size();
    while (lines.size() > 1 && (cachedBytes > MaxCachedBytes || lines.size() > MaxCachedLines))
    {
        cachedBytes -= lines.back().line->coverage.size();
        lineOf.erase(lines.back().key);
        lines.pop_back();
    }
}

float GFX_TextShaper::Measure(const std::string& utf8, int pixelSize)
{
    pixelSize = std::clamp(pixelSize, MinPixelSize, MaxPixelSize);
    std::string key = std::to_string(pixelSize) + '\n' + utf8;
    const auto known = advances.find(key);
    if (known != advances.end())
        return known->second;
    if (advances.size() >= MaxCachedAdvances)
        advances.clear();
    const float advance =
        static_cast<float>(Layout(DecodeUtf8(utf8, MaxCharacters), pixelSize).advance) / 64.0f;
    advances.emplace(std::move(key), advance);
    return advance;
}
