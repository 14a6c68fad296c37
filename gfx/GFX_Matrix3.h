#pragma once

#include "gfx/GFX_Vector3.h"

// A 3×3 matrix of floats, element 3·row + column. Angles are radians.
class GFX_Matrix3
{
public:
    float m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

    GFX_Matrix3() = default;

    GFX_Matrix3& Identity();
    // [1, 0, 0,  0, cos, sin,  0, -sin, cos]
    static GFX_Matrix3 RotationX(float angle);
    // [cos, 0, -sin,  0, 1, 0,  sin, 0, cos]
    static GFX_Matrix3 RotationY(float angle);

    float operator[](int i) const { return m[i]; }
};

inline GFX_Vector3& GFX_Vector3::TransformByRows(const GFX_Matrix3& mat)
{
    const float* m = mat.m;
    return Set(x * m[0] + y * m[3] + z * m[6], x * m[1] + y * m[4] + z * m[7],
               x * m[2] + y * m[5] + z * m[8]);
}
