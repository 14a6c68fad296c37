#pragma once

// A rectangle of the in-scene interface in view pixels, origin at the bottom-left corner, y
// growing upwards: `left` ≤ `right`, `bottom` ≤ `top` for anything laid out.
struct GFX_Rect
{
    float left = 0.0f;
    float right = 0.0f;
    float top = 0.0f;
    float bottom = 0.0f;

    float Width() const { return right - left; }
    float Height() const { return top - bottom; }
    float CentreX() const { return 0.5f * (left + right); }
    float CentreY() const { return 0.5f * (bottom + top); }

    // Whether (x, y) lies inside the rectangle grown by `margin` on every side, edges included.
    bool Contains(float x, float y, float margin = 0.0f) const
    {
        return left - margin <= x && x <= right + margin && bottom - margin <= y &&
               y <= top + margin;
    }
};
