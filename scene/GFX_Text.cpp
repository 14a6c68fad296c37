#include "scene/GFX_Text.h"

#include "gfx/OGL_Texture2D.h"

#include <GL/gl.h>
#include <cstdint>

namespace
{
constexpr float CellSize = 1.0f / 16.0f;
// The share of a cell a glyph samples: its left half, and all but the top 5 %.
constexpr float SampledWidth = 0.5f;
constexpr float SampledHeight = 0.95f;
} // namespace

GFX_Text::GFX_Text() = default;
GFX_Text::~GFX_Text() = default;

void GFX_Text::LoadFont(const std::string& path)
{
    // The old font's GL object goes with it; this runs on the GL thread anyway, since Create
    // below needs it.
    if (texture)
        texture->Delete();
    texture = std::make_unique<OGL_Texture2D>();
    texture->LoadImage(path);
    texture->SetWrap(GL_CLAMP);
    texture->Create();
}

void GFX_Text::Bind()
{
    if (texture)
        texture->Bind();
}

GFX_Text::Cell GFX_Text::CellOf(char character)
{
    // Explicitly signed: char is unsigned on some targets, and the font layout depends on it.
    const int code = static_cast<int8_t>(character);
    const int row = code / 16;
    return {code - 16 * row, row};
}

GFX_Text::GlyphCoords GFX_Text::GlyphCoordsOf(char character)
{
    const Cell cell = CellOf(character);
    const float column = static_cast<float>(cell.column);
    const float fromBottom = static_cast<float>(15 - cell.row);
    return {column * CellSize, (column + SampledWidth) * CellSize, fromBottom * CellSize,
            (fromBottom + SampledHeight) * CellSize};
}

void GFX_Text::DrawText3D(const GFX_Vector3& origin, const GFX_Vector3& right,
                          const GFX_Vector3& up, float glyphWidth, float glyphHeight,
                          const char* text, const GFX_Vector3& color) const
{
    glColor3fv(color.Data());
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);

    const GFX_Vector3 advance = right.Times(glyphWidth);
    const GFX_Vector3 rise = up.Times(glyphHeight);
    glBegin(GL_QUADS);
    for (int i = 0; text && text[i] != '\0'; ++i)
    {
        const GlyphCoords glyph = GlyphCoordsOf(text[i]);
        const GFX_Vector3 bottomLeft = origin.Plus(right.Times(static_cast<float>(i) * glyphWidth));
        const GFX_Vector3 bottomRight = bottomLeft.Plus(advance);
        const GFX_Vector3 topRight = bottomRight.Plus(rise);
        const GFX_Vector3 topLeft = bottomLeft.Plus(rise);
        glTexCoord2f(glyph.s1, glyph.t1);
        glVertex3fv(topRight.Data());
        glTexCoord2f(glyph.s0, glyph.t1);
        glVertex3fv(topLeft.Data());
        glTexCoord2f(glyph.s0, glyph.t0);
        glVertex3fv(bottomLeft.Data());
        glTexCoord2f(glyph.s1, glyph.t0);
        glVertex3fv(bottomRight.Data());
    }
    glEnd();

    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
}

void GFX_Text::ReleaseGL()
{
    if (texture)
        texture->Delete();
}
