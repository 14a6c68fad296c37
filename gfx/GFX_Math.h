#pragma once

#include "gfx/GFX_Vector3.h"

// Degrees per radian, as the scene layer converts its angles.
constexpr float GFX_DegreesPerRadian = 57.29578f;

// The largest value of GFX_Rand. The scene's random choices divide by it, so the generator must
// have exactly this range (the C library's rand() on Linux goes to 2^31 - 1).
constexpr int GFX_RandMax = 32767;

// A 15-bit linear congruential generator, 0…32767, the classic desktop runtime's sequence.
// Process-wide and not thread-safe: only the main thread draws random numbers.
int GFX_Rand();
void GFX_SeedRand(unsigned int seed);

// a + (b − a)·r / 32767 with r = GFX_Rand(); both ends can occur.
float RandomRange(float a, float b);
// The same with a given r in 0…32767, for callers (and tests) that draw r themselves.
float RandomRangeOf(float a, float b, int r);

// Möller–Trumbore ray–triangle test, both faces, ε = 0.00001. On a hit (0 < t ≤ maxDist) the
// hit point is origin + dir·t. `outT` is written whenever the ray meets the triangle's plane
// inside the triangle, also when t falls outside (0, maxDist].
bool IntersectRayTriangle(const GFX_Vector3& origin, const GFX_Vector3& dir, float maxDist,
                          const GFX_Vector3& v0, const GFX_Vector3& v1, const GFX_Vector3& v2,
                          float& outT);
