#include "scene/GFX_Text.h"

#include "gfx/GFX_TextShaper.h"
#include "gfx/OGL_TextAtlas.h"
#include "gfx/OGL_Texture2D.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{
constexpr float CellSize = 1.0f / 16.0f;
// The share of a cell a glyph samples: its left half, and all but the top 5 %.
constexpr float SampledWidth = 0.5f;
constexpr float SampledHeight = 0.95f;
// Line sizes per octave.
constexpr float LineSizeSteps = 4.0f;
// Texts whose last line is remembered to stand in for the next.
constexpr size_t MaxRememberedLines = 16384;

// The point `p` through the column-major matrix `m`, with w = 1.
void Transform(const float m[16], const float p[4], float out[4])
{
    for (int row = 0; row < 4; ++row)
        out[row] = m[row] * p[0] + m[4 + row] * p[1] + m[8 + row] * p[2] + m[12 + row] * p[3];
}
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
                          const char* text, const GFX_Vector3& color, float alpha) const
{
    glColor4f(color.x, color.y, color.z, alpha);
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
    DeleteLines();
}

bool GFX_Text::DrawsWhole(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

int GFX_Text::LineSize(float emPixels)
{
    if (!(emPixels > float(MinLineSize)))
        return MinLineSize;
    const float step = std::round(std::log2(emPixels) * LineSizeSteps) / LineSizeSteps;
    return std::clamp(static_cast<int>(std::lround(std::exp2(step))), MinLineSize, MaxLineSize);
}

GFX_TextShaper& GFX_Text::GetShaper()
{
    if (!shaper)
        shaper = std::make_unique<GFX_TextShaper>();
    return *shaper;
}

bool GFX_Text::PrepareLine(const std::string& text, float emPixels, float maxWidth, float minScale,
                           ShapedLine& line)
{
    if (!(maxWidth > 0.0f))
        return false;
    if (!lines)
        lines = std::make_unique<OGL_TextAtlas>();
    const int natural = LineSize(emPixels);
    // Most frames draw a text as the last one did: straight from the atlas.
    const auto last = lastMade.find(text);
    const bool lastStands = last != lastMade.end() && lines->Find(last->second.key);
    if (lastStands && last->second.natural == natural && last->second.maxWidth == maxWidth &&
        last->second.minScale == minScale)
    {
        line = last->second.line;
        return true;
    }
    if (linesMade >= MaxLinesPerFrame)
    {
        if (lastStands)
            line = last->second.line;
        return lastStands;
    }
    ++linesMade;

    // Shrunk to fit where the whole line is a little too wide: the size that fits, from the
    // advance at the size it would be made at.
    GFX_TextShaper& shaping = GetShaper();
    float scale = 1.0f;
    const float padding = 2.0f * GFX_TextShaper::Padding / static_cast<float>(natural);
    const float wholeWidth = shaping.Measure(text, natural) / static_cast<float>(natural) + padding;
    if (wholeWidth > maxWidth)
        scale = std::max(std::min(minScale, 1.0f), maxWidth / wholeWidth);
    const int size = LineSize(emPixels * scale);
    // Pixels of the line made per em asked for.
    const float pixelsPerEm = static_cast<float>(size) / scale;
    const int maxPixels = static_cast<int>(std::floor(maxWidth * pixelsPerEm));
    const std::string key = std::to_string(size) + ' ' + std::to_string(maxPixels) + '\n' + text;
    const std::shared_ptr<const GFX_TextShaper::Line> shaped = shaping.Shape(text, size, maxPixels);
    if (shaped->width <= 0 || shaped->height <= 0)
        return false;
    const OGL_TextAtlas::Cell* cell = lines->Find(key);
    if (!cell)
        cell = lines->Add(key, shaped->width, shaped->height, shaped->coverage.data());
    if (!cell)
        return false;
    line.page = cell->name;
    line.s0 = cell->s0;
    line.t0 = cell->t0;
    line.s1 = cell->s1;
    line.t1 = cell->t1;
    line.width = static_cast<float>(shaped->width) / pixelsPerEm;
    line.height = static_cast<float>(shaped->height) / pixelsPerEm;
    line.baseline = static_cast<float>(shaped->baseline) / pixelsPerEm;
    if (lastMade.size() >= MaxRememberedLines)
        lastMade.clear();
    lastMade[text] = {key, natural, maxWidth, minScale, line};
    return true;
}

void GFX_Text::LineCorners(const ShapedLine& line, const GFX_Vector3& origin,
                           const GFX_Vector3& right, const GFX_Vector3& up, float em,
                           GFX_Vector3 corners[4])
{
    const GFX_Vector3 across = right.Times(line.width * em);
    const GFX_Vector3 rise = up.Times(line.height * em);
    corners[0] = origin;
    corners[1] = origin.Plus(across);
    corners[2] = corners[1].Plus(rise);
    corners[3] = origin.Plus(rise);
}

void GFX_Text::DrawLine3D(const ShapedLine& line, const GFX_Vector3 corners[4],
                          const GFX_Vector3& color, float alpha) const
{
    glColor4f(color.x, color.y, color.z, alpha);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, line.page);
    glBegin(GL_QUADS);
    glTexCoord2f(line.s0, line.t0);
    glVertex3fv(corners[0].Data());
    glTexCoord2f(line.s1, line.t0);
    glVertex3fv(corners[1].Data());
    glTexCoord2f(line.s1, line.t1);
    glVertex3fv(corners[2].Data());
    glTexCoord2f(line.s0, line.t1);
    glVertex3fv(corners[3].Data());
    glEnd();
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
}

void GFX_Text::NextFrame()
{
    linesMade = 0;
    if (lines)
        lines->NextFrame();
}

void GFX_Text::DeleteLines()
{
    if (lines)
        lines->Delete();
}

GFX_Text::ScreenView GFX_Text::ScreenView::Current()
{
    ScreenView view{};
    glGetFloatv(GL_MODELVIEW_MATRIX, view.modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, view.projection);
    glGetFloatv(GL_VIEWPORT, view.viewport);
    return view;
}

float GFX_Text::ScreenView::Pixels(const GFX_Vector3& at, const GFX_Vector3& along) const
{
    float window[2][2];
    for (int end = 0; end < 2; ++end)
    {
        const GFX_Vector3 point = end == 0 ? at : at.Plus(along);
        const float world[4] = {point.Data()[0], point.Data()[1], point.Data()[2], 1.0f};
        float eye[4];
        float clip[4];
        Transform(modelview, world, eye);
        Transform(projection, eye, clip);
        if (!(clip[3] > 0.0f))
            return 0.0f;
        window[end][0] = (clip[0] / clip[3] * 0.5f + 0.5f) * viewport[2];
        window[end][1] = (clip[1] / clip[3] * 0.5f + 0.5f) * viewport[3];
    }
    return std::hypot(window[1][0] - window[0][0], window[1][1] - window[0][1]);
}
