#include "scene/GFX_WidgetDocked.h"

#include "scene/GFX_OverlayQuads.h"
#include "scene/GFX_SceneOwner.h"

#include <cmath>

namespace
{
// Share of the remaining way to the target size covered per frame.
constexpr float EaseRate = 0.33f;
} // namespace

GFX_WidgetDocked::GFX_WidgetDocked(GFX_SceneOwner* owner) : owner(owner) {}

GFX_WidgetDocked::~GFX_WidgetDocked() = default;

void GFX_WidgetDocked::Draw()
{
    GFX_OverlayQuads quads(owner ? owner->GetWidgetTexture() : nullptr);
    if (owner)
    {
        const GFX_Theme& theme = owner->GetTheme();
        quads.SetColor(selected ? theme.ButtonColorSel : theme.ButtonColor);
    }
    quads.Add(rect);
}

void GFX_WidgetDocked::Update()
{
    // Without the snap the last steps would go on, by a float's last bit, for as long as the
    // window is open, and keep it drawing.
    const auto ease = [](float& size, float target)
    {
        size = (1.0f - EaseRate) * size + EaseRate * target;
        if (std::fabs(target - size) < SettleDistance)
            size = target;
    };
    ease(width, targetWidth);
    ease(height, targetHeight);
}

bool GFX_WidgetDocked::MouseDown(float x, float y)
{
    if (!Contains(x, y))
        return false;
    pressed = true;
    return true;
}

bool GFX_WidgetDocked::MouseUp(float x, float y)
{
    const bool click = pressed && Contains(x, y);
    pressed = false;
    return click;
}

void GFX_WidgetDocked::SetRect(float left, float right, float top, float bottom)
{
    rect.left = left;
    rect.right = right;
    rect.top = top;
    rect.bottom = bottom;
}

bool GFX_WidgetDocked::Contains(float x, float y) const
{
    return rect.Contains(x, y, 1.0f);
}

void GFX_WidgetDocked::SetSize(float size)
{
    width = height = targetWidth = targetHeight = size;
}

void GFX_WidgetDocked::SetTargetSize(float size)
{
    targetWidth = targetHeight = size;
}
