#include "gfx/GFX_FontFallback.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb.h>

#include <algorithm>
#include <unordered_map>
#include <utility>

// The list and the opened fonts; a Face is one font file of the list.
struct GFX_FontFallback::Fonts
{
    struct Face
    {
        std::string file;
        int index = 0;
        std::string family;
        FcCharSet* charset = nullptr;
        bool tried = false; // opening was attempted
        FT_Face ftFace = nullptr;
        hb_font_t* hbFont = nullptr;
        int ftPixelSize = 0; // the size FreeType's face is set to

        bool Covers(char32_t code) const
        {
            return charset && FcCharSetHasChar(charset, FcChar32(code));
        }
    };

    FT_Library library = nullptr;
    std::vector<Face> faces;
    std::unordered_map<char32_t, int> faceOf;
    std::unordered_map<uint64_t, GFX_FontFallback::Glyph> glyphs;

    ~Fonts()
    {
        for (Face& face : faces)
        {
            if (face.hbFont)
                hb_font_destroy(face.hbFont);
            if (face.ftFace)
                FT_Done_Face(face.ftFace);
            if (face.charset)
                FcCharSetDestroy(face.charset);
        }
        if (library)
            FT_Done_FreeType(library);
    }

    void Find(const std::string& family)
    {
        if (FT_Init_FreeType(&library) != 0)
        {
            library = nullptr;
            return;
        }
        if (!FcInit())
            return;
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()));
        if (!pattern)
            return;
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        // Every font, not just those fontconfig thinks add coverage: a character goes to the
        // first font that has it, and the untrimmed order is the order of preference.
        FcFontSet* set = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result);
        FcPatternDestroy(pattern);
        if (!set)
            return;
        for (int i = 0; i < set->nfont; ++i)
        {
            FcPattern* font = set->fonts[i];
            FcChar8* file = nullptr;
            FcCharSet* charset = nullptr;
            FcBool scalable = FcFalse;
            FcBool color = FcFalse;
            if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch ||
                FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) != FcResultMatch ||
                FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) != FcResultMatch || !scalable)
                continue;
            // Colour fonts (emoji) have bitmaps where the coverage masks need outlines.
            if (FcPatternGetBool(font, FC_COLOR, 0, &color) == FcResultMatch && color)
                continue;
            Face face;
            face.file = reinterpret_cast<const char*>(file);
            FcPatternGetInteger(font, FC_INDEX, 0, &face.index);
            FcChar8* name = nullptr;
            if (FcPatternGetString(font, FC_FAMILY, 0, &name) == FcResultMatch)
                face.family = reinterpret_cast<const char*>(name);
            const bool seen =
                std::any_of(faces.begin(), faces.end(),
                            [&](const Face& other)
                            { return other.file == face.file && other.index == face.index; });
            if (seen)
                continue;
            face.charset = FcCharSetCopy(charset);
            faces.push_back(std::move(face));
        }
        FcFontSetDestroy(set);
    }

    // Opens the face for shaping (HarfBuzz, from the file mapped) and drawing (FreeType).
    bool Open(Face& face)
    {
        if (face.tried)
            return face.hbFont != nullptr;
        face.tried = true;
        if (!library || FT_New_Face(library, face.file.c_str(), face.index, &face.ftFace) != 0)
        {
            face.ftFace = nullptr;
            return false;
        }
        hb_blob_t* blob = hb_blob_create_from_file(face.file.c_str());
        // The low 16 bits of a fontconfig index pick the face of a collection, the high ones
        // a named instance of a variable font.
        hb_face_t* hbFace = hb_face_create(blob, static_cast<unsigned>(face.index) & 0xFFFFu);
        hb_blob_destroy(blob);
        if (hb_face_get_glyph_count(hbFace) == 0)
        {
            hb_face_destroy(hbFace);
            FT_Done_Face(face.ftFace);
            face.ftFace = nullptr;
            return false;
        }
        face.hbFont = hb_font_create(hbFace);
        hb_face_destroy(hbFace);
        const unsigned instance = static_cast<unsigned>(face.index) >> 16;
        if (instance > 0)
            hb_font_set_var_named_instance(face.hbFont, instance - 1);
        return true;
    }

    // The face that writes `code`: the previous character's where it has it and `code` goes
    // with its neighbours, else the first face that has it; -1 when none does.
    int FaceFor(char32_t code, bool followsNeighbours, int previous)
    {
        if (followsNeighbours && previous >= 0 && faces[size_t(previous)].Covers(code))
            return previous;
        const auto known = faceOf.find(code);
        if (known != faceOf.end())
            return known->second;
        int found = -1;
        for (size_t i = 0; i < faces.size() && found < 0; ++i)
            if (faces[i].Covers(code) && Open(faces[i]))
                found = static_cast<int>(i);
        faceOf.emplace(code, found);
        return found;
    }

    const GFX_FontFallback::Glyph& Render(int faceIndex, hb_codepoint_t glyph, int pixelSize)
    {
        const uint64_t key = (uint64_t(uint32_t(faceIndex)) << 40) |
                             (uint64_t(uint32_t(pixelSize)) << 32) | uint64_t(glyph);
        const auto known = glyphs.find(key);
        if (known != glyphs.end())
            return known->second;
        GFX_FontFallback::Glyph& made = glyphs[key];
        Face& face = faces[size_t(faceIndex)];
        if (face.ftPixelSize != pixelSize)
        {
            if (FT_Set_Pixel_Sizes(face.ftFace, 0, FT_UInt(pixelSize)) != 0)
                return made;
            face.ftPixelSize = pixelSize;
        }
        // Light hinting sharpens the horizontal stems of small text without moving advances,
        // which come from HarfBuzz unhinted.
        if (FT_Load_Glyph(face.ftFace, glyph, FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP) != 0 ||
            FT_Render_Glyph(face.ftFace->glyph, FT_RENDER_MODE_NORMAL) != 0)
            return made;
        const FT_GlyphSlot slot = face.ftFace->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.width == 0 || bitmap.rows == 0)
            return made;
        made.left = slot->bitmap_left;
        made.top = slot->bitmap_top;
        made.width = static_cast<int>(bitmap.width);
        made.height = static_cast<int>(bitmap.rows);
        made.rows.resize(size_t(made.width) * size_t(made.height));
        const int pitch = bitmap.pitch;
        for (int row = 0; row < made.height; ++row)
        {
            // A negative pitch stores the rows bottom first.
            const unsigned char* source = pitch >= 0
                                              ? bitmap.buffer + row * pitch
                                              : bitmap.buffer + (made.height - 1 - row) * -pitch;
            std::copy(source, source + made.width, made.rows.begin() + row * made.width);
        }
        return made;
    }
};

GFX_FontFallback::GFX_FontFallback(const std::string& family) : fonts(std::make_unique<Fonts>())
{
    fonts->Find(family);
}

GFX_FontFallback::~GFX_FontFallback() = default;

int GFX_FontFallback::FontFor(char32_t code, bool followsNeighbours, int previous)
{
    return fonts->FaceFor(code, followsNeighbours, previous);
}

int GFX_FontFallback::FirstFont()
{
    for (size_t i = 0; i < fonts->faces.size(); ++i)
        if (fonts->Open(fonts->faces[i]))
            return static_cast<int>(i);
    return -1;
}

hb_font_t* GFX_FontFallback::GetShapingFont(int font) const
{
    return fonts->faces[size_t(font)].hbFont;
}

const std::string& GFX_FontFallback::GetFamily(int font) const
{
    return fonts->faces[size_t(font)].family;
}

const GFX_FontFallback::Glyph& GFX_FontFallback::Render(int font, uint32_t glyph, int pixelSize)
{
    return fonts->Render(font, glyph, pixelSize);
}

void GFX_FontFallback::MakeRoom(size_t count)
{
    if (fonts->glyphs.size() + count > MaxCachedGlyphs)
        fonts->glyphs.clear();
}
