#pragma once

#include "gfx/GFX_Vector3.h"

// The arithmetic of a row of friendship dots, shared by the lines that draw them dot by dot and
// the ribbons that draw them as long quads: one dot every Spacing units or a little more (the
// segment is split into whole intervals), none on either end. Plain arithmetic, no GL.
struct GFX_DotRow
{
    static constexpr float Spacing = 90.0f;

    // The number of whole intervals of at least Spacing in a row of `length`; a row of n
    // intervals has n − 1 dots, so anything shorter than two intervals has none.
    static int Intervals(float length) { return static_cast<int>(length / Spacing); }
    // The centre of dot i of a row from `start` along the unit `direction`, `spacing` apart.
    static GFX_Vector3 Centre(const GFX_Vector3& start, const GFX_Vector3& direction, float spacing,
                              int i)
    {
        return start.Plus(direction.Times(static_cast<float>(i) * spacing));
    }
};
