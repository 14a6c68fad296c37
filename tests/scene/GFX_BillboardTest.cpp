#include "scene/GFX_Billboard.h"

#include <gtest/gtest.h>

namespace
{
void ExpectNear(const GFX_Vector3& actual, const GFX_Vector3& expected, float tolerance = 1e-4f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// The 2 × 4 billboard at the origin, pushed towards the viewer.
GFX_Billboard OffsetBillboard()
{
    GFX_Billboard billboard;
    billboard.SetSize(2, 4);
    billboard.UpdateCorners();
    billboard.OffsetCorners();
    return billboard;
}
} // namespace

TEST(GFX_BillboardTest, CornersFollowSizeAxesAndOffset)
{
    GFX_Billboard billboard;
    billboard.SetSize(2, 4);
    billboard.UpdateCorners();
    const GFX_Vector3 expected[4] = {{-1, -2, 0}, {1, -2, 0}, {1, 2, 0}, {-1, 2, 0}};
    for (int i = 0; i < 4; ++i)
        ExpectNear(billboard.GetCorner(i), expected[i]);

    billboard.OffsetCorners();
    for (int i = 0; i < 4; ++i)
        ExpectNear(billboard.GetCorner(i), expected[i].Plus({0, 0, 100}));

    // Corners change only when asked: a moved billboard keeps its old ones until UpdateCorners.
    billboard.SetPosition({10, 0, 0});
    ExpectNear(billboard.GetCorner(0), {-1, -2, 100});
    billboard.UpdateCorners();
    ExpectNear(billboard.GetCorner(0), {9, -2, 0});
}

TEST(GFX_BillboardTest, AxesAreNormalisedAndTheQuadStaysSquareToThem)
{
    GFX_Billboard billboard;
    billboard.SetBillboardAxes({0, 2, 0}, {3, 0, 0});
    ExpectNear(billboard.GetUp(), {0, 1, 0});
    ExpectNear(billboard.GetRight(), {1, 0, 0});

    // A camera looking along (−1, 0, −1): the quad and its offset follow its axes.
    billboard.SetBillboardAxes({0, 5, 0}, {1, 0, -1});
    billboard.SetPosition({10, 20, 30});
    billboard.SetSize(2, 4);
    billboard.UpdateCorners();
    billboard.OffsetCorners();
    const GFX_Vector3 normal = billboard.GetNormal();
    ExpectNear(normal, {0.70710678f, 0, 0.70710678f});
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(billboard.GetCorner(i).Minus({10, 20, 30}).Dot(normal), 100.0f, 1e-3f)
            << "corner " << i << " lies in the plane facing the viewer, 100 units out";
    EXPECT_NEAR(billboard.GetCorner(1).Minus(billboard.GetCorner(0)).Length(), 2.0f, 1e-4f);
    EXPECT_NEAR(billboard.GetCorner(3).Minus(billboard.GetCorner(0)).Length(), 4.0f, 1e-4f);
}

TEST(GFX_BillboardTest, RayHitsWithinTheMaximumDistanceOnly)
{
    const GFX_Billboard billboard = OffsetBillboard();
    float distance = -1.0f;
    EXPECT_TRUE(billboard.Intersect({0, 0, 500}, {0, 0, -1}, 40000, distance));
    EXPECT_FLOAT_EQ(distance, 400.0f);

    distance = -1.0f;
    EXPECT_FALSE(billboard.Intersect({0, 0, 500}, {0, 0, -1}, 399, distance));
    EXPECT_EQ(distance, -1.0f) << "a miss leaves the caller's best distance alone";

    EXPECT_TRUE(billboard.Intersect({0, 0, 500}, {0, 0, -1}, 400, distance)) << "bound included";
    EXPECT_TRUE(billboard.Intersect({0, 0, -300}, {0, 0, 1}, 40000, distance)) << "back face";
    EXPECT_FALSE(billboard.Intersect({0, 0, 150}, {0, 0, 1}, 40000, distance)) << "behind";
    EXPECT_FALSE(billboard.Intersect({1.5f, 0, 500}, {0, 0, -1}, 40000, distance)) << "beside";
}

TEST(GFX_BillboardTest, RayThroughTheDiagonalHitsAndEveryQuarterCounts)
{
    const GFX_Billboard billboard = OffsetBillboard();
    // The diagonal from corner 0 to corner 2 is the edge both triangles share.
    for (float f : {0.1f, 0.5f, 0.9f})
    {
        const GFX_Vector3 onDiagonal = billboard.GetCorner(0).Plus(
            billboard.GetCorner(2).Minus(billboard.GetCorner(0)).Times(f));
        float distance = 0.0f;
        EXPECT_TRUE(billboard.Intersect(onDiagonal.Plus({0, 0, 300}), {0, 0, -1}, 40000, distance))
            << f;
        EXPECT_FLOAT_EQ(distance, 300.0f);
    }
    // One point in each triangle: lower right (first) and upper left (second).
    float distance = 0.0f;
    EXPECT_TRUE(billboard.Intersect({0.9f, -1.9f, 200}, {0, 0, -1}, 40000, distance));
    EXPECT_TRUE(billboard.Intersect({-0.9f, 1.9f, 200}, {0, 0, -1}, 40000, distance));
}
