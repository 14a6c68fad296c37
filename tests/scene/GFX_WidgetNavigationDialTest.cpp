#include "scene/GFX_WidgetNavigationDial.h"

#include "support/TestSceneOwner.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// The dial as the main scene places it: 112 × 112 at (5, 5) from the bottom-left corner, so its
// centre is (61, 61) and its radius 56.
class GFX_WidgetNavigationDialTest : public ::testing::Test
{
protected:
    TestSceneOwner owner;
    GFX_WidgetNavigationDial dial{&owner, owner.viewportSize,     5,           5, 112,
                                  112,    GFX_Anchor::BottomLeft, {1, 1, 1, 1}};
};
} // namespace

TEST_F(GFX_WidgetNavigationDialTest, PressesGrabTheGlobeTheRingOrNothingByDistance)
{
    struct Row
    {
        float x, y;
        bool taken, globe, ring;
    };
    const Row rows[] = {
        {61, 61, true, true, false},     // the centre
        {101, 61, true, true, false},    // 40 pixels: still the globe
        {61, 21, true, true, false},     // 40 pixels below
        {102, 61, true, false, true},    // 41 pixels: the ring
        {61, 117, true, false, true},    // 56 pixels: the ring's outer edge
        {118, 61, false, false, false},  // 57 pixels: outside the dial
        {110, 110, false, false, false}, // inside the box, outside the circle
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(testing::Message() << "press at " << row.x << ", " << row.y);
        EXPECT_EQ(dial.MouseDown(row.x, row.y), row.taken);
        EXPECT_EQ(dial.IsDraggingGlobe(), row.globe);
        EXPECT_EQ(dial.IsDraggingRing(), row.ring);
        EXPECT_FALSE(dial.MouseUp(row.x, row.y)) << "releases are never taken";
        EXPECT_FALSE(dial.IsDraggingGlobe() || dial.IsDraggingRing());
    }
}

TEST_F(GFX_WidgetNavigationDialTest, DraggingTheGlobeTurnsTheCameraLikeDraggingTheScene)
{
    ASSERT_TRUE(dial.MouseDown(61, 61));
    EXPECT_FALSE(dial.MouseMove(71, 65)) << "moves always pass on";
    EXPECT_FLOAT_EQ(owner.turnedHeading, 4.0f);
    EXPECT_FLOAT_EQ(owner.turnedPitch, -1.0f);
    // Each move turns by the movement since the previous one, wherever the mouse goes.
    dial.MouseMove(400, 65);
    EXPECT_FLOAT_EQ(owner.turnedHeading, 4.0f + 329 * 0.4f);
    dial.MouseUp(400, 65);
    dial.MouseMove(500, 500);
    EXPECT_FLOAT_EQ(owner.turnedHeading, 4.0f + 329 * 0.4f) << "released: no more turning";
}

TEST_F(GFX_WidgetNavigationDialTest, DraggingTheRingTurnsTheLongitudeByTheSweptAngle)
{
    // Pressed east of the centre, moved to the south: a quarter turn clockwise, which the
    // dial shows as a growing longitude.
    ASSERT_TRUE(dial.MouseDown(111, 61));
    dial.MouseMove(61, 11);
    EXPECT_NEAR(owner.turnedHeading, 90.0f, 1e-3f);
    EXPECT_FLOAT_EQ(owner.turnedPitch, 0.0f);
    // Back east and on to the north: half a turn anticlockwise.
    dial.MouseMove(111, 61);
    dial.MouseMove(61, 111);
    EXPECT_NEAR(owner.turnedHeading, -90.0f, 1e-3f);
    // Far outside the dial still counts; only the angle matters.
    dial.MouseMove(-500, 61);
    EXPECT_NEAR(owner.turnedHeading, -180.0f, 1e-3f);
}

TEST_F(GFX_WidgetNavigationDialTest, RingDragsNearTheCentreAreIgnored)
{
    ASSERT_TRUE(dial.MouseDown(111, 61));
    dial.MouseMove(61, 70); // 9 pixels from the centre: ignored, but remembered
    EXPECT_FLOAT_EQ(owner.turnedHeading, 0.0f);
    dial.MouseMove(61, 111); // measured from the remembered position: no change of direction
    EXPECT_NEAR(owner.turnedHeading, 0.0f, 1e-3f);

    // A previous position right on the centre has no direction: no turn out of nowhere.
    dial.MouseMove(61, 61);
    dial.MouseMove(61, 11);
    EXPECT_NEAR(owner.turnedHeading, 0.0f, 1e-3f);
}

TEST_F(GFX_WidgetNavigationDialTest, TheQuadTurnsClockwiseAboutTheCentreAsTheLongitudeGrows)
{
    struct Row
    {
        float longitude;
        float x, y; // where the bottom-left corner goes
    };
    const float half = 56, diagonal = 56 * std::sqrt(2.0f);
    const Row rows[] = {
        {0, 61 - half, 61 - half},   {90, 61 - half, 61 + half}, // bottom-left → top-left
        {180, 61 + half, 61 + half}, {45, 61 - diagonal, 61},    {-90, 61 + half, 61 - half},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(testing::Message() << "longitude " << row.longitude);
        dial.SetLongitude(row.longitude);
        GFX_Vector3 corners[4];
        dial.Corners(corners);
        EXPECT_NEAR(corners[0].x, row.x, 1e-3f);
        EXPECT_NEAR(corners[0].y, row.y, 1e-3f);
        // The corners stay a square about the centre, in order.
        for (int i = 0; i < 4; ++i)
        {
            EXPECT_NEAR(std::hypot(corners[i].x - 61, corners[i].y - 61), diagonal, 1e-3f);
            const GFX_Vector3& next = corners[(i + 1) % 4];
            EXPECT_NEAR(std::hypot(next.x - corners[i].x, next.y - corners[i].y), 112, 1e-3f);
        }
    }
}
