#include "sim/UTL_LayoutGlide.h"

#include "graph/UTL_LayoutMeasures.h"

#include <gtest/gtest.h>

TEST(UTL_LayoutGlideTest, PlacesMoveAlongTheGreatCircleAndArriveExactly)
{
    const struct
    {
        const char* why;
        UTL_SpherePlace from, to;
    } rows[] = {
        {"a quarter turn along the equator", {0.0f, 0.0f}, {90.0f, 0.0f}},
        {"across the date line, the short way", {170.0f, 10.0f}, {-170.0f, -10.0f}},
        {"over the pole", {0.0f, 60.0f}, {180.0f, 60.0f}},
        {"to the opposite place", {30.0f, 20.0f}, {-150.0f, -20.0f}},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.why);
        const double whole = UTL_LayoutMeasures::Angle(row.from, row.to);
        for (double share : {0.25, 0.5, 0.75})
        {
            const UTL_SpherePlace at = UTL_LayoutGlide::Along(row.from, row.to, share);
            EXPECT_NEAR(UTL_LayoutMeasures::Angle(row.from, at), share * whole, 1e-5);
            EXPECT_NEAR(UTL_LayoutMeasures::Angle(at, row.to), (1.0 - share) * whole, 1e-5);
        }
    }

    UTL_LayoutGlide glide;
    glide.Start({{0.0f, 0.0f}}, {{90.0f, 45.0f}});
    EXPECT_TRUE(glide.Advance(0.5f * UTL_LayoutGlide::Seconds));
    EXPECT_DOUBLE_EQ(glide.GetShare(), 0.5) << "eased, but halfway at half time";
    EXPECT_FALSE(glide.Advance(0.5f * UTL_LayoutGlide::Seconds));
    EXPECT_EQ(glide.PlaceOf(0).longitude, 90.0f);
    EXPECT_EQ(glide.PlaceOf(0).latitude, 45.0f);
}
