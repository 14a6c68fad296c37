#include "gfx/GFX_HalvaneCamera.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(GFX_HalvaneCameraTest, FirstUpdateClampsTheDefaultDistanceAndPlacesTheEye)
{
    GFX_HalvaneCamera camera;
    camera.Update();
    EXPECT_FLOAT_EQ(camera.GetDistance(), 1000.0f) << "5 is below the minimum of 1,000";
    EXPECT_FLOAT_EQ(camera.GetPitch(), 35.0f);
    EXPECT_FLOAT_EQ(camera.GetHeading(), 0.0f);
    EXPECT_NEAR(camera.GetEye().x, 819.15f, 0.01f);
    EXPECT_NEAR(camera.GetEye().y, 573.58f, 0.01f);
    EXPECT_NEAR(camera.GetEye().z, 0.0f, 0.01f);
}

TEST(GFX_HalvaneCameraTest, EyeAndUpFollowLatitudeAndLongitude)
{
    // eye = target + d·(cos p·cos h, sin p, cos p·sin h); up = (−sin p·cos h, cos p, −sin p·sin h)
    const float rad = 3.14159265f / 180.0f;
    for (float heading : {-150.0f, -90.0f, 0.0f, 45.0f, 120.0f})
    {
        for (float pitch : {-60.0f, 10.0f, 80.0f})
        {
            SCOPED_TRACE(testing::Message() << "heading " << heading << " pitch " << pitch);
            GFX_HalvaneCamera camera;
            camera.SetTarget({10, 20, 30});
            camera.SetDistance(2000);
            camera.SetHeading(heading);
            camera.SetPitch(pitch);
            camera.Update();
            const float p = pitch * rad, h = heading * rad;
            const GFX_Vector3& eye = camera.GetEye();
            EXPECT_NEAR(eye.x, 10 + 2000 * std::cos(p) * std::cos(h), 0.05f);
            EXPECT_NEAR(eye.y, 20 + 2000 * std::sin(p), 0.05f);
            EXPECT_NEAR(eye.z, 30 + 2000 * std::cos(p) * std::sin(h), 0.05f);
            const GFX_Vector3& up = camera.GetUp();
            EXPECT_NEAR(up.x, -std::sin(p) * std::cos(h), 1e-5f);
            EXPECT_NEAR(up.y, std::cos(p), 1e-5f);
            EXPECT_NEAR(up.z, -std::sin(p) * std::sin(h), 1e-5f);
        }
    }
}

TEST(GFX_HalvaneCameraTest, UpdateWrapsHeadingKeepsPitchOffZeroAndClampsDistance)
{
    struct Row
    {
        float heading, pitch, distance;
        float wantHeading, wantPitch, wantDistance;
    };
    const Row rows[] = {
        {190, 35, 2000, -170, 35, 2000},    {-190, 35, 2000, 170, 35, 2000},
        {180, 35, 2000, 180, 35, 2000},     {-180, 35, 2000, -180, 35, 2000},
        {0, 0.004f, 2000, 0, 0.01f, 2000},  {0, -0.004f, 2000, 0, 0.01f, 2000},
        {0, -0.01f, 2000, 0, -0.01f, 2000}, {0, 35, 9000, 0, 35, 5000},
        {0, 35, 999, 0, 35, 1000},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(testing::Message() << row.heading << " " << row.pitch << " " << row.distance);
        GFX_HalvaneCamera camera;
        camera.SetHeading(row.heading);
        camera.SetPitch(row.pitch);
        camera.SetDistance(row.distance);
        camera.Update();
        EXPECT_FLOAT_EQ(camera.GetHeading(), row.wantHeading);
        EXPECT_FLOAT_EQ(camera.GetPitch(), row.wantPitch);
        EXPECT_FLOAT_EQ(camera.GetDistance(), row.wantDistance);
    }
}

TEST(GFX_HalvaneCameraTest, SetPitchClampsToTheLimitsButOtherSettersDoNot)
{
    GFX_HalvaneCamera camera;
    camera.SetPitch(120);
    EXPECT_FLOAT_EQ(camera.GetPitch(), 90.0f);
    camera.SetPitch(-120);
    EXPECT_FLOAT_EQ(camera.GetPitch(), -90.0f);
    camera.SetMaxPitch(85);
    camera.SetMinPitch(-85);
    camera.SetPitch(86);
    EXPECT_FLOAT_EQ(camera.GetPitch(), 85.0f);
    camera.SetHeading(400);
    EXPECT_FLOAT_EQ(camera.GetHeading(), 400.0f) << "only Update wraps";
}
