#include "gfx/GFX_Math.h"

namespace
{
unsigned int randState = 1;
} // namespace

int GFX_Rand()
{
    randState = randState * 214013u + 2531011u;
    return static_cast<int>((randState >> 16) & 0x7fffu);
}

void GFX_SeedRand(unsigned int seed)
{
    randState = seed;
}

float RandomRangeOf(float a, float b, int r)
{
    const float span = b - a;
    return a + span * static_cast<float>(r) / static_cast<float>(GFX_RandMax);
}

float RandomRange(float a, float b)
{
    return RandomRangeOf(a, b, GFX_Rand());
}

bool IntersectRayTriangle(const GFX_Vector3& origin, const GFX_Vector3& dir, float maxDist,
                          const GFX_Vector3& v0, const GFX_Vector3& v1, const GFX_Vector3& v2,
                          float& outT)
{
    constexpr float epsilon = 0.00001f;
    const GFX_Vector3 e1 = v1.Minus(v0);
    const GFX_Vector3 e2 = v2.Minus(v0);
    const GFX_Vector3 p = dir.Cross(e2);
    const float det = e1.Dot(p);
    const GFX_Vector3 s = origin.Minus(v0);
    const GFX_Vector3 q = s.Cross(e1);
    const float u = s.Dot(p);
    const float v = dir.Dot(q);

    if (det > epsilon)
    {
        if (u < 0.0f || u > det || v < 0.0f || u + v > det)
            return false;
    }
    else if (det < -epsilon)
    {
        if (u > 0.0f || u < det || v > 0.0f || u + v < det)
            return false;
    }
    else
        return false; // parallel to the plane

    const float t = e2.Dot(q) / det;
    outT = t;
    return t > 0.0f && t <= maxDist;
}
