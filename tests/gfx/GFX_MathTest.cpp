#include "gfx/GFX_Math.h"
#include "gfx/GFX_Matrix3.h"
#include "gfx/GFX_Vector3.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
constexpr float Pi = 3.14159265f;

void ExpectNear(const GFX_Vector3& actual, const GFX_Vector3& expected, float tolerance = 1e-6f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}
} // namespace

TEST(GFX_Vector3Test, ArithmeticInPlaceAndByValue)
{
    GFX_Vector3 a(1, 2, 3);
    const GFX_Vector3 b(4, -5, 6);
    ExpectNear(a.Plus(b), {5, -3, 9});
    ExpectNear(a.Minus(b), {-3, 7, -3});
    ExpectNear(a, {1, 2, 3}); // Plus and Minus leave the vector alone
    ExpectNear(a.Times(2), {2, 4, 6});
    ExpectNear(a.Negated(), {-1, -2, -3});
    EXPECT_FLOAT_EQ(a.Dot(b), 4 - 10 + 18);
    ExpectNear(GFX_Vector3(1, 0, 0).Cross({0, 1, 0}), {0, 0, 1});
    ExpectNear(GFX_Vector3(0, 1, 0).Cross({1, 0, 0}), {0, 0, -1});
    EXPECT_FLOAT_EQ(GFX_Vector3(3, 4, 12).Length(), 13.0f);

    a.Add(b).Scale(2).Sub({1, 1, 1}).Divide(2);
    ExpectNear(a, {4.5f, -3.5f, 8.5f});
    EXPECT_FLOAT_EQ(a[0], 4.5f);
    EXPECT_FLOAT_EQ(a[2], 8.5f);
    a.Clear();
    ExpectNear(a, {0, 0, 0});
}

TEST(GFX_Vector3Test, NormalizeGivesUnitLengthAndLeavesZeroAlone)
{
    GFX_Vector3 v(0, 3, 4);
    v.Normalize();
    ExpectNear(v, {0, 0.6f, 0.8f});
    GFX_Vector3 zero;
    zero.Normalize();
    ExpectNear(zero, {0, 0, 0}); // no NaNs
}

TEST(GFX_Matrix3Test, RotationsTurnTheWayTheCameraExpects)
{
    GFX_Vector3 up(0, 1, 0);
    up.TransformByRows(GFX_Matrix3::RotationX(Pi / 2));
    ExpectNear(up, {0, 0, 1});

    GFX_Vector3 back(0, 0, -1);
    back.TransformByRows(GFX_Matrix3::RotationY(Pi / 2));
    ExpectNear(back, {-1, 0, 0});

    GFX_Vector3 v(1, 2, 3);
    v.TransformByRows(GFX_Matrix3().Identity());
    ExpectNear(v, {1, 2, 3});
}

TEST(GFX_RandomTest, FifteenBitGeneratorCoversBothEndsOfARange)
{
    EXPECT_FLOAT_EQ(RandomRangeOf(2, 5, 0), 2.0f);
    EXPECT_FLOAT_EQ(RandomRangeOf(2, 5, GFX_RandMax), 5.0f);

    // Every draw lies in 0…32767, and over many draws both halves of the range are reached:
    // a generator of the wrong width would put nearly every choice at one end.
    GFX_SeedRand(12345);
    int low = 0, high = 0;
    for (int i = 0; i < 10000; ++i)
    {
        int r = GFX_Rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, GFX_RandMax);
        (r < 16384 ? low : high)++;
        float x = RandomRange(0.0f, 2.5f);
        ASSERT_GE(x, 0.0f);
        ASSERT_LE(x, 2.5f);
    }
    EXPECT_GT(low, 4000);
    EXPECT_GT(high, 4000);

    GFX_SeedRand(7);
    int first = GFX_Rand();
    GFX_SeedRand(7);
    EXPECT_EQ(GFX_Rand(), first) << "a seed repeats its sequence";
}

TEST(GFX_IntersectRayTriangleTest, HitsMissesAndTheDistanceLimit)
{
    const GFX_Vector3 v0(-1, -1, 0), v1(1, -1, 0), v2(0, 1, 0);
    struct Row
    {
        const char* why;
        GFX_Vector3 origin, dir;
        float maxDist;
        bool hit;
        float t; // checked on hits
    };
    const Row rows[] = {
        {"straight on the front face", {0, 0, 5}, {0, 0, -1}, 100, true, 5},
        {"from behind: both faces count", {0, 0, -5}, {0, 0, 1}, 100, true, 5},
        {"t exactly maxDist is a hit", {0, 0, 5}, {0, 0, -1}, 5, true, 5},
        {"just beyond maxDist", {0, 0, 5}, {0, 0, -1}, 4.999f, false, 0},
        {"triangle behind the origin", {0, 0, 5}, {0, 0, 1}, 100, false, 0},
        {"ray in the triangle's plane", {-5, 0, 0}, {1, 0, 0}, 100, false, 0},
        {"passes beside the triangle", {3, 0, 5}, {0, 0, -1}, 100, false, 0},
        {"scaled direction scales t", {0, 0, 6}, {0, 0, -2}, 100, true, 3},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.why);
        float t = -1;
        EXPECT_EQ(IntersectRayTriangle(row.origin, row.dir, row.maxDist, v0, v1, v2, t), row.hit);
        if (row.hit)
        {
            EXPECT_NEAR(t, row.t, 1e-5f);
        }
    }
}
