#include "scene/GFX_Widget.h"

#include "gfx/OGL_Texture2D.h"
#include "scene/GFX_OverlayQuads.h"

namespace
{
// See GetRect.
constexpr float EdgeNudge = 0.0001f;
} // namespace

void GFX_AnchorPoint(GFX_Anchor anchor, const float* screenSize, float& ax, float& ay)
{
    ax = 0.0f;
    ay = 0.0f;
    if (!screenSize)
        return;
    const float w = screenSize[0];
    const float h = screenSize[1];
    switch (anchor)
    {
    case GFX_Anchor::TopLeft:
        ay = h;
        break;
    case GFX_Anchor::TopRight:
        ax = w;
        ay = h;
        break;
    case GFX_Anchor::BottomLeft:
        break;
    case GFX_Anchor::BottomRight:
        ax = w;
        break;
    case GFX_Anchor::MiddleLeft:
        ay = 0.5f * h;
        break;
    case GFX_Anchor::MiddleRight:
        ax = w;
        ay = 0.5f * h;
        break;
    case GFX_Anchor::TopCentre:
        ax = 0.5f * w;
        ay = h;
        break;
    case GFX_Anchor::BottomCentre:
        ax = 0.5f * w;
        break;
    case GFX_Anchor::Centre:
        ax = 0.5f * w;
        ay = 0.5f * h;
        break;
    }
}

GFX_Widget::GFX_Widget(const float* screenSize, float x, float y, float width, float height,
                       GFX_Anchor anchor, const GFX_ColorRGBA& color)
    : screenSize(screenSize), color(color), anchor(anchor), x(x), y(y), width(width), height(height)
{
}

GFX_Widget::~GFX_Widget() = default;

void GFX_Widget::Update(float) {}

void GFX_Widget::Draw()
{
    GFX_OverlayQuads quads(texture.get());
    quads.SetColor(color);
    quads.Add(GetRect());
}

bool GFX_Widget::MouseMove(float, float)
{
    return false;
}

bool GFX_Widget::MouseDown(float, float)
{
    return false;
}

bool GFX_Widget::MouseUp(float, float)
{
    return false;
}

bool GFX_Widget::LoadTexture(const std::string& path)
{
    return GFX_LoadOverlayTexture(texture, path);
}

void GFX_Widget::AnchorPoint(float& ax, float& ay) const
{
    GFX_AnchorPoint(anchor, screenSize, ax, ay);
}

GFX_Rect GFX_Widget::GetRect() const
{
    float ax, ay;
    AnchorPoint(ax, ay);
    GFX_Rect rect;
    rect.left = ax + x + EdgeNudge;
    rect.right = ax + x + width;
    rect.bottom = ay + y + EdgeNudge;
    rect.top = ay + y + height;
    return rect;
}

bool GFX_Widget::Contains(float px, float py) const
{
    return GetRect().Contains(px, py);
}

void GFX_Widget::ReleaseGL()
{
    if (texture)
        texture->Delete();
}
