#include "scene/GFX_Globe.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
constexpr float R = GFX_Globe::Radius;

void ExpectNear(const GFX_Vector3& actual, const GFX_Vector3& expected, float tolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}
} // namespace

TEST(GFX_GlobeTest, PlacesPolesAndMeridiansOnTheRightAxes)
{
    struct Row
    {
        float longitude, latitude;
        GFX_Vector3 expected;
    };
    // North on +y; longitude 0 on +x and 90 on +z, so east turns from +x towards +z.
    for (const Row& row : {Row{0, 90, {0, R, 0}}, Row{0, -90, {0, -R, 0}}, Row{0, 0, {R, 0, 0}},
                           Row{90, 0, {0, 0, R}}, Row{180, 0, {-R, 0, 0}}, Row{-90, 0, {0, 0, -R}},
                           Row{45, 45, {R * 0.5f, R * 0.70710678f, R * 0.5f}}})
    {
        SCOPED_TRACE(testing::Message() << row.longitude << ", " << row.latitude);
        const GFX_Vector3 p = GFX_Globe::Position(row.longitude, row.latitude);
        ExpectNear(p, row.expected, 0.01f);
        EXPECT_NEAR(p.Length(), R, 0.01f) << "every place lies on the sphere";
    }
}

TEST(GFX_GlobeTest, ColoursShadeWithThePositionAndSaturateBeyondTwoThirds)
{
    struct Row
    {
        GFX_Vector3 position, expected;
    };
    for (const Row& row :
         {Row{{R, 0, 0}, {1, 0.5f, 0.5f}}, Row{{0, 0, 0}, {0.5f, 0.5f, 0.5f}},
          Row{{-R, 0, 0}, {0, 0.5f, 0.5f}}, Row{{0, R / 3, -R / 3}, {0.5f, 0.75f, 0.25f}},
          // Two thirds out already saturate; further out (dots off the sphere,
          // holders of the future) stays clamped.
          Row{{R * 2 / 3, -R * 2 / 3, 3 * R}, {1, 0, 1}}})
    {
        SCOPED_TRACE(testing::Message()
                     << row.position.x << " " << row.position.y << " " << row.position.z);
        ExpectNear(GFX_Globe::PositionColor(row.position), row.expected, 1e-5f);
    }
}

TEST(GFX_GlobeTest, SpiralOfThreeFriendsAndTheUser)
{
    std::vector<GFX_GlobePoint> points;
    GFX_Globe::SpiralPoints(4, points);
    ASSERT_EQ(points.size(), 4u);

    // Heights 0.75, 0.25, −0.25, −0.75; each place one golden angle (137.5°) east of the last,
    // reduced into −180…180.
    const float heights[4] = {0.75f, 0.25f, -0.25f, -0.75f};
    const float longitudes[4] = {0.0f, 137.50776f, -84.98447f, 52.52329f};
    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_NEAR(points[i].latitude, 90.0f - std::acos(heights[i]) * 180.0f / GFX_Globe::Pi,
                    1e-4f);
        EXPECT_NEAR(points[i].longitude, longitudes[i], 1e-3f);
    }
    EXPECT_NEAR(points[0].latitude, 48.59f, 0.01f) << "the user's place";
    EXPECT_EQ(points[0].longitude, 0.0f);
}

TEST(GFX_GlobeTest, SpiralOfALargeCircleCoversTheGlobeEvenly)
{
    std::vector<GFX_GlobePoint> points;
    for (int count : {1, 2, 5001})
    {
        SCOPED_TRACE(count);
        GFX_Globe::SpiralPoints(count, points);
        ASSERT_EQ(points.size(), size_t(count));
        float south = 90.0f;
        float north = -90.0f;
        for (const GFX_GlobePoint& p : points)
        {
            // Thousands of accumulated steps must not walk off a pole into NaN.
            ASSERT_TRUE(std::isfinite(p.latitude) && std::isfinite(p.longitude));
            ASSERT_GE(p.latitude, -90.0f);
            ASSERT_LE(p.latitude, 90.0f);
            ASSERT_GT(p.longitude, -180.0f);
            ASSERT_LE(p.longitude, 180.0f);
            south = std::min(south, p.latitude);
            north = std::max(north, p.latitude);
        }
        // Symmetric about the equator, but for the rounding of thousands of float steps.
        EXPECT_NEAR(north, -south, 0.3f);
    }

    // Evenly: 5001 places of equal area each leave about 2·R·sqrt(π/5001) ≈ 280 units between
    // neighbours; no two of them come close to each other.
    GFX_Globe::SpiralPoints(5001, points);
    float closest = 2 * R;
    for (size_t i = 0; i < points.size(); ++i)
    {
        const GFX_Vector3 a = GFX_Globe::Position(points[i].longitude, points[i].latitude);
        for (size_t j = i + 1; j < points.size() && j < i + 100; ++j)
        {
            const GFX_Vector3 b = GFX_Globe::Position(points[j].longitude, points[j].latitude);
            closest = std::min(closest, a.Minus(b).Length());
        }
    }
    EXPECT_GT(closest, 150.0f);

    GFX_Globe::SpiralPoints(0, points);
    EXPECT_TRUE(points.empty());
}
