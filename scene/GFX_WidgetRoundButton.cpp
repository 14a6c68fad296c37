#include "scene/GFX_WidgetRoundButton.h"

#include "scene/GFX_OverlayQuads.h"
#include "scene/GFX_SceneOwner.h"

GFX_WidgetRoundButton::GFX_WidgetRoundButton(GFX_SceneOwner* owner, const float* screenSize,
                                             float x, float y, float width, float height,
                                             GFX_Anchor anchor, const GFX_ColorRGBA& color)
    : GFX_Widget(screenSize, x, y, width, height, anchor, color), owner(owner)
{
}

GFX_ColorRGBA GFX_WidgetRoundButton::FaceColor() const
{
    if (on || (pressed && hover))
        return highlightColor;
    if (pressed)
        return {0.5f * (color.r + highlightColor.r), 0.5f * (color.g + highlightColor.g),
                0.5f * (color.b + highlightColor.b), 0.5f * (color.a + highlightColor.a)};
    return color;
}

void GFX_WidgetRoundButton::Draw()
{
    if (owner)
    {
        const GFX_Theme& theme = owner->GetTheme();
        color = theme.NavWidgetDialColor;
        highlightColor = theme.NavWidgetDialColorSel;
    }
    GFX_OverlayQuads quads(texture.get());
    quads.SetColor(FaceColor());
    quads.Add(GetRect());
}

bool GFX_WidgetRoundButton::MouseMove(float px, float py)
{
    hover = pressed && Contains(px, py);
    return hover;
}

bool GFX_WidgetRoundButton::MouseDown(float px, float py)
{
    if (!Contains(px, py))
        return false;
    pressed = true;
    hover = true;
    return true;
}

bool GFX_WidgetRoundButton::MouseUp(float px, float py)
{
    const bool click = pressed && Contains(px, py);
    pressed = false;
    hover = false;
    return click;
}
