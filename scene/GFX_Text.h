#pragma once

#include "gfx/GFX_Vector3.h"

#include <memory>
#include <string>

class OGL_Texture2D;

// Single lines of text in a bitmap font: one texture holding a 16 × 16 grid of character cells,
// one per 8-bit character code, row 0 at the top of the picture. Each character is a quad of a
// fixed glyph width; there is no kerning, wrapping or measuring. A line can lie in any plane of
// the scene (the names on the locator labels).
//
// Only the left half of each cell and the lower 95 % of its height are sampled, so a glyph
// width of half the glyph height reproduces a cell's proportions.
//
// Codes are taken as signed bytes, whatever the platform's char: codes 128…255 land outside the
// grid, where the clamped wrap mode shows the picture's edge texels.
//
// GL thread only, except the cell arithmetic.
class GFX_Text
{
public:
    GFX_Text();
    virtual ~GFX_Text();

    GFX_Text(const GFX_Text&) = delete;
    GFX_Text& operator=(const GFX_Text&) = delete;

    // Replaces the font with the picture at `path` (wrap GL_CLAMP). A file that cannot be read
    // leaves a texture without a picture, which binds nothing.
    void LoadFont(const std::string& path);
    // Binds the font texture, if any. The draw does not bind it, so call this first.
    void Bind();
    // Releases the font texture; context current.
    void ReleaseGL();

    // Writes `text` (NUL-terminated) in the plane of `right` and `up`: character i covers
    // origin + right·(i·glyphWidth) … + right·glyphWidth, + up·glyphHeight.
    //
    // Assumes the font is bound. Sets glColor3fv(color), blending (source alpha, one minus
    // source alpha), texturing on, lighting and face culling off; leaves face culling and
    // lighting on and blending off. One glBegin/glEnd for the whole line.
    void DrawText3D(const GFX_Vector3& origin, const GFX_Vector3& right, const GFX_Vector3& up,
                    float glyphWidth, float glyphHeight, const char* text,
                    const GFX_Vector3& color) const;

    // The grid cell of a character: code k as a signed byte, row k / 16 and column k − 16·row,
    // both truncated towards zero (so negative for codes 128…255).
    struct Cell
    {
        int column;
        int row;
    };
    static Cell CellOf(char character);

    // Texture coordinates of the sampled part of a cell (t = 0 at the bottom of the picture).
    struct GlyphCoords
    {
        float s0, s1; // left, right
        float t0, t1; // bottom, top
    };
    static GlyphCoords GlyphCoordsOf(char character);

    const OGL_Texture2D* GetTexture() const { return texture.get(); }

private:
    std::unique_ptr<OGL_Texture2D> texture;
};
