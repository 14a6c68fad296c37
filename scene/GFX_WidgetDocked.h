#pragma once

#include "scene/GFX_Rect.h"

class GFX_SceneOwner;

// One item of a dock: a square the dock places (SetRect) and magnifies (SetTargetSize). Its
// size eases towards the target by a third of the way each frame, so items grow and shrink
// smoothly under the mouse, and takes the target once within SettleDistance of it. It gets no mouse
// moves; the dock hit-tests it. Sizes and the rectangle are view pixels, origin bottom-left.
// Colours and the backing texture come from the owner when it draws. GL thread only.
class GFX_WidgetDocked
{
public:
    static constexpr float DefaultSize = 32.0f;

    explicit GFX_WidgetDocked(GFX_SceneOwner* owner);
    virtual ~GFX_WidgetDocked();

    GFX_WidgetDocked(const GFX_WidgetDocked&) = delete;
    GFX_WidgetDocked& operator=(const GFX_WidgetDocked&) = delete;

    // The backing square over the rectangle, with the owner's widget texture, in the theme's
    // button colour (selected colour when selected). See GFX_OverlayQuads for the GL state.
    virtual void Draw();
    // One frame of easing towards the target size.
    virtual void Update();
    // Consumed when over the item, which is then pressed.
    virtual bool MouseDown(float x, float y);
    // True for a click: pressed and released over the item. Always ends the press.
    virtual bool MouseUp(float x, float y);

    void SetSelected(bool value) { selected = value; }
    bool IsSelected() const { return selected; }
    bool IsPressed() const { return pressed; }

    void SetRect(float left, float right, float top, float bottom);
    const GFX_Rect& GetRect() const { return rect; }
    // The rectangle grown by one pixel on every side, so that the one-pixel gaps between
    // items do not fall through to the scene behind.
    bool Contains(float x, float y) const;

    // Current and target size alike: no easing.
    void SetSize(float size);
    void SetTargetSize(float size);
    float GetWidth() const { return width; }
    float GetHeight() const { return height; }
    float GetTargetWidth() const { return targetWidth; }
    float GetTargetHeight() const { return targetHeight; }
    // Whether the size has reached its target.
    bool IsSettled() const { return width == targetWidth && height == targetHeight; }

    // An easing this close to its end shows nothing more: pixels.
    static constexpr float SettleDistance = 0.01f;

protected:
    GFX_SceneOwner* owner;
    GFX_Rect rect;
    float width = DefaultSize;
    float height = DefaultSize;
    float targetWidth = DefaultSize;
    float targetHeight = DefaultSize;
    bool selected = false;
    bool pressed = false;
};
