#include "scene/GFX_NamePlate.h"

#include "gfx/GFX_TextShaper.h"
#include "scene/GFX_DrawPaths.h"
#include "scene/GFX_OverlayQuads.h"
#include "scene/GFX_SceneOwner.h"
#include "scene/GFX_Text.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>

void GFX_NamePlate::Show(const std::string& value, const std::string& plain, float x, float y)
{
    name = value;
    text = plain.size() > MaxColumns ? plain.substr(0, MaxColumns - 3) + "..." : plain;
    textWidth = static_cast<float>(text.size()) * GlyphWidth;
    pointerX = x;
    pointerY = y;
    GFX_Text* font = owner ? owner->GetFont() : nullptr;
    shaped = font && !name.empty() && owner->GetDrawPaths().ShapesName(GFX_Text::DrawsWhole(name));
    if (shaped)
    {
        // Measured as Draw makes it: at the plate's em, no wider than the bitmap text may be.
        const auto line = font->GetShaper().Shape(name, ShapedEm, MaxShapedWidth);
        shaped = line->width > 0;
        if (shaped)
            textWidth = static_cast<float>(line->width);
    }
}

GFX_Rect GFX_NamePlate::Place(float x, float y, size_t columns, float viewWidth, float viewHeight)
{
    return PlaceWidth(x, y, static_cast<float>(columns) * GlyphWidth, viewWidth, viewHeight);
}

GFX_Rect GFX_NamePlate::PlaceWidth(float x, float y, float textWidth, float viewWidth,
                                   float viewHeight)
{
    const float width = textWidth + 2.0f * Padding;
    const float height = GlyphHeight + 2.0f * Padding;
    GFX_Rect rect;
    // Below and to the right of the pointer, as tooltips go; on the other side of it where the
    // view ends.
    rect.left = x + OffsetX;
    if (rect.left + width > viewWidth)
        rect.left = x - OffsetX - width;
    rect.top = y - OffsetY;
    if (rect.top - height < 0.0f)
        rect.top = y + OffsetY + height;
    // A view too small for either side still shows as much of the plate as it can, from its
    // start.
    rect.left = std::max(0.0f, std::min(rect.left, viewWidth - width));
    rect.top = std::min(viewHeight, std::max(rect.top, height));
    rect.right = rect.left + width;
    rect.bottom = rect.top - height;
    return rect;
}

GFX_Rect GFX_NamePlate::GetRect(float viewWidth, float viewHeight) const
{
    return PlaceWidth(pointerX, pointerY, textWidth, viewWidth, viewHeight);
}

void GFX_NamePlate::Draw()
{
    if (!IsShown() || !owner)
        return;
    const float* size = owner->GetViewportSize();
    if (!size)
        return;
    const GFX_Rect rect = GetRect(size[0], size[1]);
    {
        GFX_OverlayQuads plate(nullptr);
        plate.SetColor({0.0f, 0.0f, 0.0f, 0.78f});
        plate.Add(rect);
    }
    GFX_Text* font = owner->GetFont();
    if (!font)
        return;
    GFX_Text::ShapedLine line;
    const float em = static_cast<float>(ShapedEm);
    if (shaped && font->PrepareLine(name, em, static_cast<float>(MaxShapedWidth) / em, 1.0f, line))
    {
        // On whole pixels, the line's texels one to one on the view's.
        const float bottom = std::round(rect.bottom + 0.5f * (rect.Height() - line.height * em));
        GFX_Vector3 corners[4];
        GFX_Text::LineCorners(line, GFX_Vector3(rect.left + Padding, bottom, 0.0f),
                              GFX_Vector3(1.0f, 0.0f, 0.0f), GFX_Vector3(0.0f, 1.0f, 0.0f), em,
                              corners);
        font->DrawLine3D(line, corners, GFX_Vector3(1.0f, 1.0f, 1.0f));
        glEnable(GL_TEXTURE_2D);
        return;
    }
    font->Bind();
    font->DrawText3D(GFX_Vector3(rect.left + Padding, rect.bottom + Padding, 0.0f),
                     GFX_Vector3(1.0f, 0.0f, 0.0f), GFX_Vector3(0.0f, 1.0f, 0.0f), GlyphWidth,
                     GlyphHeight, text.c_str(), GFX_Vector3(1.0f, 1.0f, 1.0f));
    glEnable(GL_TEXTURE_2D);
}
