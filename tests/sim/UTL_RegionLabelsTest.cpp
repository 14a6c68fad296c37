#include "sim/UTL_RegionLabels.h"

#include "scene/GFX_Globe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

// Where the names of a circle's regions stand and how strongly they show, without GL: the eye
// looks down the z axis at longitude 90, latitude 0, the screen's right along x.

namespace
{
const GFX_Vector3 Up{0.0f, 1.0f, 0.0f};
const GFX_Vector3 Right{1.0f, 0.0f, 0.0f};

UTL_FriendCircle::Region RegionAt(const char* name, float longitude, float latitude, size_t size)
{
    UTL_FriendCircle::Region region;
    region.name = name;
    region.centre = {longitude, latitude};
    region.size = size;
    region.color = {0.2f, 0.7f, 0.2f};
    return region;
}

// Two seconds of frames at sixty a second, long enough for any name to ease in or out.
void Settle(UTL_RegionLabels& labels, const std::vector<UTL_FriendCircle::Region>& regions,
            float eyeDistance, bool hidden = false)
{
    for (int frame = 0; frame < 120; ++frame)
        labels.Update(1.0f / 60.0f, regions, {0.0f, 0.0f, eyeDistance}, Up, Right, hidden);
}
} // namespace

TEST(UTL_RegionLabelsTest, ANameShowsOverItsRegionFacingTheEyeAndFadesAtTheRimAndUpClose)
{
    const struct
    {
        const char* why;
        float longitude;
        float eyeDistance;
        bool hidden;
        float alpha;
    } rows[] = {
        {"facing the eye from the usual distance", 90.0f, 18500.0f, false, 1.0f},
        {"at the rim", 15.0f, 18500.0f, false, 0.0f},
        {"on the far side", -90.0f, 18500.0f, false, 0.0f},
        {"the camera close: the labels speak", 90.0f, 7500.0f, false, 0.0f},
        {"the locators gliding", 90.0f, 18500.0f, true, 0.0f},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.why);
        UTL_RegionLabels labels;
        const std::vector<UTL_FriendCircle::Region> regions = {
            RegionAt("Anna Berg \u00B7 212", row.longitude, 0.0f, 212)};
        Settle(labels, regions, row.eyeDistance, row.hidden);
        ASSERT_EQ(labels.GetNames().size(), 1u);
        const GFX_RegionName& name = labels.GetNames()[0];
        EXPECT_NEAR(name.alpha, row.alpha, 1e-4f);
        EXPECT_EQ(name.text, "Anna Berg \u00B7 212");
        // Over the centre, lifted off the globe above the balls and labels.
        const GFX_Vector3 centre = GFX_Globe::Position(row.longitude, 0.0f);
        EXPECT_NEAR(name.anchor.Length(), GFX_Globe::Radius + UTL_RegionLabels::Lift, 1.0f);
        EXPECT_NEAR(name.anchor.Dot(centre) / (name.anchor.Length() * centre.Length()), 1.0f,
                    1e-5f);
    }
    // A name eases in over several frames rather than blinking on.
    UTL_RegionLabels labels;
    labels.Update(1.0f / 60.0f, {RegionAt("A", 90.0f, 0.0f, 50)}, {0.0f, 0.0f, 18500.0f}, Up, Right,
                  false);
    EXPECT_NEAR(labels.GetNames()[0].alpha, UTL_RegionLabels::FadePerSecond / 60.0f, 1e-5f);
}

TEST(UTL_RegionLabelsTest, LargerRegionsAreNamedLargerAndASmallerNameGivesWayWhereTheyMeet)
{
    const std::vector<UTL_FriendCircle::Region> regions = {
        RegionAt("Large \u00B7 300", 90.0f, 0.0f, 300),
        RegionAt("Small \u00B7 60", 92.0f, 2.0f, 60), // right under the large one's name
        RegionAt("Apart \u00B7 120", 90.0f, 35.0f, 120),
        RegionAt("Pair \u00B7 2", 60.0f, -30.0f, 2), // too few people to name
    };
    UTL_RegionLabels labels;
    Settle(labels, regions, 18500.0f);
    const auto& names = labels.GetNames();
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0].text, "Large \u00B7 300");
    EXPECT_NEAR(names[0].alpha, 1.0f, 1e-4f);
    EXPECT_EQ(names[1].alpha, 0.0f) << "covered the larger region's name";
    EXPECT_GT(names[2].alpha, 0.5f);
    EXPECT_GT(names[0].em, names[2].em);
    EXPECT_GT(names[2].em, names[1].em);
    // The size grows with the root of the share and stays within its bounds.
    EXPECT_EQ(UTL_RegionLabels::EmOf(0.0f), UTL_RegionLabels::MinEm);
    EXPECT_EQ(UTL_RegionLabels::EmOf(1.0f), UTL_RegionLabels::MaxEm);
}

TEST(UTL_RegionLabelsTest, AClickOnANameShownFindsItsRegionAndAFadedOneDoesNot)
{
    UTL_RegionLabels labels;
    Settle(labels, {RegionAt("Anna Berg \u00B7 212", 90.0f, 10.0f, 212)}, 18500.0f);
    GFX_RegionName& name = labels.GetNames()[0];
    // As the drawing leaves it: a line 2000 × 400 around the anchor, facing the eye.
    const GFX_Vector3 a = name.anchor;
    name.corners[0] = a.Plus({-1000.0f, -200.0f, 0.0f});
    name.corners[1] = a.Plus({1000.0f, -200.0f, 0.0f});
    name.corners[2] = a.Plus({1000.0f, 200.0f, 0.0f});
    name.corners[3] = a.Plus({-1000.0f, 200.0f, 0.0f});
    name.drawn = true;

    const GFX_Vector3 eye{0.0f, 0.0f, 18500.0f};
    const auto towards = [&eye](const GFX_Vector3& point) { return point.Minus(eye).Normalize(); };
    UTL_SpherePlace centre;
    ASSERT_TRUE(labels.Pick(eye, towards(a.Plus({900.0f, 150.0f, 0.0f})), centre));
    EXPECT_EQ(centre.longitude, 90.0f);
    EXPECT_EQ(centre.latitude, 10.0f);
    EXPECT_FALSE(labels.Pick(eye, towards(a.Plus({1200.0f, 0.0f, 0.0f})), centre));
    name.alpha = 0.1f;
    EXPECT_FALSE(labels.Pick(eye, towards(a), centre)) << "hardly showing";
}
