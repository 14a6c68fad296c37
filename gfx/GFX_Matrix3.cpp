#include "gfx/GFX_Matrix3.h"

#include <cmath>

GFX_Matrix3& GFX_Matrix3::Identity()
{
    *this = GFX_Matrix3();
    return *this;
}

GFX_Matrix3 GFX_Matrix3::RotationX(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle); // rounded to float before it is negated
    GFX_Matrix3 r;
    r.m[4] = c;
    r.m[5] = s;
    r.m[7] = -s;
    r.m[8] = c;
    return r;
}

GFX_Matrix3 GFX_Matrix3::RotationY(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    GFX_Matrix3 r;
    r.m[0] = c;
    r.m[2] = -s;
    r.m[6] = s;
    r.m[8] = c;
    return r;
}
