#pragma once

#include "gfx/GFX_Vector3.h"

#include <GL/gl.h>

#include <memory>
#include <string>
#include <unordered_map>

class GFX_TextShaper;
class OGL_TextAtlas;
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
// Lines the bitmap font cannot write whole (letters outside ASCII, any other script) go the
// other way: shaped and drawn from outline fonts into a picture about as large as the line shows
// on screen, kept in a texture atlas of bounded size, and drawn as one quad coloured like the
// bitmap's glyphs.
//
// GL thread only, except the cell and line-size arithmetic. The atlas's textures go with the
// text renderer, so it is destroyed with the context current, as its owner, the scene
// controller, is.
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
    // Assumes the font is bound. Sets the colour (color, alpha), blending (source alpha, one
    // minus source alpha), texturing on, lighting and face culling off; leaves face culling and
    // lighting on and blending off. One glBegin/glEnd for the whole line.
    void DrawText3D(const GFX_Vector3& origin, const GFX_Vector3& right, const GFX_Vector3& up,
                    float glyphWidth, float glyphHeight, const char* text, const GFX_Vector3& color,
                    float alpha = 1.0f) const;

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

    // Whether the bitmap font writes `text` whole: nothing but printable ASCII.
    static bool DrawsWhole(const std::string& text);

    // The size, in pixels per em, a line `emPixels` high on screen is made at: the nearest of
    // steps a quarter octave apart between MinLineSize and MaxLineSize, so that zooming makes a
    // line again only once per step and it never shows more than a tenth larger or smaller
    // than it was made.
    static int LineSize(float emPixels);
    static constexpr int MinLineSize = 8;
    static constexpr int MaxLineSize = 128;
    static constexpr int MaxLinesPerFrame = 256;

    // A line ready to draw: its picture's page and texture rectangle, and its box in ems of the
    // size it was asked for, the baseline measured from the box's bottom.
    struct ShapedLine
    {
        GLuint page = 0;
        float s0 = 0.0f, t0 = 0.0f, s1 = 0.0f, t1 = 0.0f;
        float width = 0.0f;
        float height = 0.0f;
        float baseline = 0.0f;
    };
    // Makes `text` ready to draw `emPixels` per em on screen and at most `maxWidth` ems wide:
    // a line too wide first shrinks, down to `minScale` of its size, and is then cut with an
    // ellipsis. At most MaxLinesPerFrame lines are made in a frame, so that a zoom across a
    // size step does not stall on a large circle; past that, a line made at another size
    // stands in until its turn comes. False when no installed font writes it, it has nothing
    // to draw, or it cannot be made or stood in for this frame; the caller then writes it with
    // the bitmap font.
    bool PrepareLine(const std::string& text, float emPixels, float maxWidth, float minScale,
                     ShapedLine& line);
    // The corners of a prepared line's box (bottom-left, bottom-right, top-right, top-left) with
    // its bottom-left at `origin`, along `right` and `up`, `em` scene units per em.
    static void LineCorners(const ShapedLine& line, const GFX_Vector3& origin,
                            const GFX_Vector3& right, const GFX_Vector3& up, float em,
                            GFX_Vector3 corners[4]);
    // Draws a prepared line on its corners in `color`, `alpha` opaque, binding its page. Sets
    // and leaves the state DrawText3D does.
    void DrawLine3D(const ShapedLine& line, const GFX_Vector3 corners[4], const GFX_Vector3& color,
                    float alpha = 1.0f) const;
    // Starts a frame: lines only earlier frames drew may give up their room in the atlas.
    void NextFrame();
    // Releases the atlas's textures; the lines are made again when next drawn.
    void DeleteLines();
    GFX_TextShaper& GetShaper();

    // The view text is drawn in, to size lines by how large they show: the modelview and
    // projection matrices (column-major, as GL keeps them) and the viewport.
    struct ScreenView
    {
        float modelview[16];
        float projection[16];
        float viewport[4];

        // The view in force in GL.
        static ScreenView Current();
        // The length in pixels of the segment from `at` along `along` on screen; 0 where either
        // end lies behind the eye.
        float Pixels(const GFX_Vector3& at, const GFX_Vector3& along) const;
    };

private:
    std::unique_ptr<OGL_Texture2D> texture;
    std::unique_ptr<GFX_TextShaper> shaper;
    std::unique_ptr<OGL_TextAtlas> lines;
    int linesMade = 0; // this frame
    // The line each text was last drawn as, and its key in the atlas, to stand in while a line
    // of a new size waits; bounded by clearing.
    struct Made
    {
        std::string key;
        // What it was asked for.
        int natural;
        float maxWidth;
        float minScale;
        ShapedLine line;
    };
    std::unordered_map<std::string, Made> lastMade;
};
