#include "scene/GFX_NamePlate.h"

#include "scene/GFX_OverlayQuads.h"
#include "scene/GFX_SceneOwner.h"
#include "scene/GFX_Text.h"

#include <GL/gl.h>
#include <algorithm>

void GFX_NamePlate::Show(const std::string& value, float x, float y)
{
    text = value.size() > MaxColumns ? value.substr(0, MaxColumns - 3) + "..." : value;
    pointerX = x;
    pointerY = y;
}

GFX_Rect GFX_NamePlate::Place(float x, float y, size_t columns, float viewWidth, float viewHeight)
{
    const float width = static_cast<float>(columns) * GlyphWidth + 2.0f * Padding;
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
    return Place(pointerX, pointerY, text.size(), viewWidth, viewHeight);
}

void GFX_NamePlate::Draw()
{
    if (text.empty() || !owner)
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
    font->Bind();
    font->DrawText3D(GFX_Vector3(rect.left + Padding, rect.bottom + Padding, 0.0f),
                     GFX_Vector3(1.0f, 0.0f, 0.0f), GFX_Vector3(0.0f, 1.0f, 0.0f), GlyphWidth,
                     GlyphHeight, text.c_str(), GFX_Vector3(1.0f, 1.0f, 1.0f));
    glEnable(GL_TEXTURE_2D);
}
