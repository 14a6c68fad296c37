#include "tools/artwork/ART_Typeface.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

struct ART_Typeface::Library
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;

    ~Library()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

namespace
{
// Outlines are measured at this size (pixels per em) and scaled, to keep 26.6 precision.
const double MeasureSize = 1024.0;

void SetSize(FT_Face face, double size)
{
    FT_Set_Char_Size(face, FT_F26Dot6(std::lround(size * 64.0)), 0, 72, 72);
}
} // namespace

std::unique_ptr<ART_Typeface> ART_Typeface::Open(const std::string& path, std::string& error)
{
    auto library = std::make_unique<Library>();
    if (FT_Init_FreeType(&library->library) != 0)
    {
        error = "cannot start FreeType";
        return nullptr;
    }
    if (FT_New_Face(library->library, path.c_str(), 0, &library->face) != 0)
    {
        error = "cannot read the font " + path;
        return nullptr;
    }
    FT_Select_Charmap(library->face, FT_ENCODING_UNICODE);
    return std::unique_ptr<ART_Typeface>(new ART_Typeface(std::move(library)));
}

ART_Typeface::ART_Typeface(std::unique_ptr<Library> library) : library(std::move(library)) {}

ART_Typeface::~ART_Typeface() = default;

ART_Typeface::Extent ART_Typeface::Measure(char32_t code) const
{
    Extent extent;
    FT_Face face = library->face;
    const FT_UInt index = FT_Get_Char_Index(face, FT_ULong(code));
    if (index == 0)
        return extent;
    SetSize(face, MeasureSize);
    FT_Set_Transform(face, nullptr, nullptr);
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
        return extent;
    extent.present = true;
    if (face->glyph->outline.n_points == 0)
        return extent;
    FT_BBox box;
    FT_Outline_Get_CBox(&face->glyph->outline, &box);
    extent.top = box.yMax / 64.0 / MeasureSize;
    extent.bottom = box.yMin / 64.0 / MeasureSize;
    extent.left = box.xMin / 64.0 / MeasureSize;
    extent.right = box.xMax / 64.0 / MeasureSize;
    return extent;
}

double ART_Typeface::Advance(char32_t code) const
{
    FT_Face face = library->face;
    SetSize(face, MeasureSize);
    FT_Set_Transform(face, nullptr, nullptr);
    if (FT_Load_Char(face, FT_ULong(code), FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0)
        return 0.0;
    return face->glyph->linearHoriAdvance / 65536.0 / MeasureSize;
}

double ART_Typeface::LineWidth(const std::u32string& text, double size, double tracking) const
{
    FT_Face face = library->face;
    double width = 0.0;
    FT_UInt previous = 0;
    for (size_t i = 0; i < text.size(); ++i)
    {
        const FT_UInt index = FT_Get_Char_Index(face, FT_ULong(text[i]));
        if (previous != 0 && FT_HAS_KERNING(face))
        {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, index, FT_KERNING_UNSCALED, &kern);
            width += kern.x * size / face->units_per_EM;
        }
        width += Advance(text[i]) * size;
        if (i + 1 < text.size())
            width += tracking;
        previous = index;
    }
    return width;
}

void ART_Typeface::Draw(ART_Mask& mask, const std::u32string& text, double x, double y,
                        const Style& style) const
{
    FT_Face face = library->face;
    const double c = std::cos(style.angle), s = std::sin(style.angle);
    double pen = 0.0; // along the baseline
    FT_UInt previous = 0;
    for (char32_t code : text)
    {
        const FT_UInt index = FT_Get_Char_Index(face, FT_ULong(code));
        if (previous != 0 && FT_HAS_KERNING(face))
        {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, index, FT_KERNING_UNSCALED, &kern);
            pen += kern.x * style.size / face->units_per_EM;
        }
        const double advance = Advance(code) * style.size;

        // The glyph's origin on the canvas, split into a whole pixel and the fraction FreeType
        // shifts the outline by (its y axis points up).
        const double gx = x + pen * c, gy = y - pen * s;
        const double ix = std::floor(gx), iy = std::floor(gy);
        FT_Matrix matrix;
        matrix.xx = FT_Fixed(std::lround(c * 65536.0));
        matrix.xy = FT_Fixed(std::lround(-s * 65536.0));
        matrix.yx = FT_Fixed(std::lround(s * 65536.0));
        matrix.yy = FT_Fixed(std::lround(c * 65536.0));
        FT_Vector delta;
        delta.x = FT_Pos(std::lround((gx - ix) * 64.0));
        delta.y = FT_Pos(std::lround(-(gy - iy) * 64.0));
        SetSize(face, style.size);
        FT_Set_Transform(face, &matrix, &delta);
        if (index != 0 && FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0)
        {
            FT_GlyphSlot slot = face->glyph;
            if (style.embolden > 0.0 && slot->format == FT_GLYPH_FORMAT_OUTLINE)
                FT_Outline_Embolden(&slot->outline, FT_Pos(std::lround(style.embolden * 64.0)));
            if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0)
            {
                const FT_Bitmap& bitmap = slot->bitmap;
                const int left = int(ix) + slot->bitmap_left;
                const int top = int(iy) - slot->bitmap_top;
                for (unsigned row = 0; row < bitmap.rows; ++row)
                    for (unsigned col = 0; col < bitmap.width; ++col)
                    {
                        const int px = left + int(col), py = top + int(row);
                        if (px < 0 || py < 0 || px >= mask.Width() || py >= mask.Height())
                            continue;
                        const double v = bitmap.buffer[int(row) * bitmap.pitch + int(col)] / 255.0;
                        mask.At(px, py) = std::min(1.0, mask.At(px, py) + v);
                    }
            }
        }
        FT_Set_Transform(face, nullptr, nullptr);
        pen += advance + style.tracking;
        previous = index;
    }
}

std::u32string ART_Utf32(const std::string& utf8)
{
    std::u32string out;
    for (size_t i = 0; i < utf8.size();)
    {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        ++i;
        for (; extra > 0 && i < utf8.size(); --extra, ++i)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        out.push_back(code);
    }
    return out;
}
