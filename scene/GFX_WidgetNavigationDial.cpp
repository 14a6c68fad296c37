#include "scene/GFX_WidgetNavigationDial.h"

#include "gfx/GFX_Math.h"
#include "scene/GFX_OverlayQuads.h"
#include "scene/GFX_SceneOwner.h"

#include <GL/gl.h>
#include <algorithm>
#include <cmath>

GFX_WidgetNavigationDial::GFX_WidgetNavigationDial(GFX_SceneOwner* owner, const float* screenSize,
                                                   float x, float y, float width, float height,
                                                   GFX_Anchor anchor, const GFX_ColorRGBA& color)
    : GFX_Widget(screenSize, x, y, width, height, anchor, color), owner(owner)
{
}

void GFX_WidgetNavigationDial::Centre(float& mx, float& my) const
{
    float ax, ay;
    AnchorPoint(ax, ay);
    mx = ax + x + 0.5f * width;
    my = ay + y + 0.5f * height;
}

void GFX_WidgetNavigationDial::Corners(GFX_Vector3 corners[4]) const
{
    float mx, my;
    Centre(mx, my);
    const GFX_Rect rect = GetRect();
    const float box[4][2] = {{rect.left, rect.bottom},
                             {rect.right, rect.bottom},
                             {rect.right, rect.top},
                             {rect.left, rect.top}};
    const float a = longitude / GFX_DegreesPerRadian;
    const float c = std::cos(a);
    const float s = std::sin(a);
    for (int i = 0; i < 4; ++i)
    {
        const float dx = box[i][0] - mx;
        const float dy = box[i][1] - my;
        corners[i].Set(mx + c * dx + s * dy, my - s * dx + c * dy, 0.0f);
    }
}

GFX_ColorRGBA GFX_WidgetNavigationDial::RingColor() const
{
    if (!owner)
        return color;
    const GFX_Theme& theme = owner->GetTheme();
    return draggingRing ? theme.NavWidgetDialColorSel : theme.NavWidgetDialColor;
}

GFX_ColorRGBA GFX_WidgetNavigationDial::GlobeColor() const
{
    if (!owner)
        return color;
    const GFX_Theme& theme = owner->GetTheme();
    return draggingGlobe ? theme.NavWidgetGlobeColorSel : theme.NavWidgetGlobeColor;
}

void GFX_WidgetNavigationDial::Draw()
{
    {
        GFX_Vector3 corners[4];
        Corners(corners);
        GFX_OverlayQuads quads(texture.get());
        quads.SetColor(RingColor());
        quads.Add(corners);
    }
    if (!owner)
        return;

    const GFX_ColorRGBA globe = GlobeColor();
    glColor4f(globe.r, globe.g, globe.b, globe.a);
    float mx, my;
    Centre(mx, my);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(mx, my, 0.0f);
    glRotatef(latitude, 1.0f, 0.0f, 0.0f);
    glRotatef(longitude - 90.0f, 0.0f, 1.0f, 0.0f);
    owner->DrawNavigationGlobe();
    glPopMatrix();
}

bool GFX_WidgetNavigationDial::MouseMove(float px, float py)
{
    float mx, my;
    Centre(mx, my);
    if (draggingGlobe && owner)
    {
        owner->TurnCamera((px - lastX) * LongitudePerPixel, (py - lastY) * LatitudePerPixel);
    }
    else if (draggingRing && owner && std::hypot(px - mx, py - my) >= RingDeadRadius)
    {
        const GFX_Vector3 u = GFX_Vector3(px - mx, py - my, 0.0f).Normalize();
        const GFX_Vector3 v = GFX_Vector3(lastX - mx, lastY - my, 0.0f).Normalize();
        // A previous position right on the centre has no direction to measure from.
        if (v.LengthSquared() > 0.0f)
        {
            float angle = std::acos(std::clamp(u.Dot(v), -1.0f, 1.0f)) * GFX_DegreesPerRadian;
            if (u.Cross(v).z < 0.0f)
                angle = -angle;
            if (angle != 0.0f)
                owner->TurnCamera(angle, 0.0f);
        }
    }
    lastX = px;
    lastY = py;
    return false;
}

bool GFX_WidgetNavigationDial::MouseDown(float px, float py)
{
    lastX = px;
    lastY = py;
    float mx, my;
    Centre(mx, my);
    const float r = std::hypot(px - mx, py - my);
    if (r <= GlobeRadius)
    {
        draggingGlobe = true;
        return true;
    }
    if (r <= 0.5f * width)
    {
        draggingRing = true;
        return true;
    }
    return false;
}

bool GFX_WidgetNavigationDial::MouseUp(float, float)
{
    draggingGlobe = false;
    draggingRing = false;
    return false;
}
