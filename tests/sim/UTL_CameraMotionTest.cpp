#include "sim/UTL_CameraMotion.h"

#include "gfx/GFX_HalvaneCamera.h"
#include "scene/GFX_Globe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

// The camera's motions on the main scene's camera, frame by frame as the controller runs them:
// the automatic mode, then the glide, then the camera's own update.

namespace
{
class UTL_CameraMotionTest : public ::testing::Test
{
protected:
    UTL_CameraMotionTest() { GFX_GlobeView::SetUpCamera(camera); }

    // One frame's motion; returns the tour's next stop, or -1.
    int Frame(float seconds = 1.0f / 60.0f, int stops = 0)
    {
        const int stop = motion.Advance(seconds, camera, stops);
        motion.Glide(camera);
        camera.Update();
        return stop;
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Frame();
    }
    void Aim(float heading, float pitch)
    {
        camera.SetHeading(heading);
        camera.SetPitch(pitch);
    }
    // A glide from one view towards a place, one frame long.
    void Glide(float fromHeading, float fromPitch, float toLongitude, float toLatitude)
    {
        Aim(fromHeading, fromPitch);
        motion.FlyTo(toLongitude, toLatitude);
        Frame();
    }
    // A drag from (400, 300) through each step, one frame per sample.
    void Drag(std::initializer_list<float> steps)
    {
        float x = 400.0f;
        motion.Grab(x, 300.0f);
        for (float step : steps)
            motion.Drag(x += step, 300.0f, camera);
    }

    GFX_HalvaneCamera camera;
    UTL_CameraMotion motion;
};
} // namespace

TEST_F(UTL_CameraMotionTest, TheGlideTakesTheShortWayAtMostSixDegreesAFrame)
{
    Glide(170.0f, 20.0f, -170.0f, 20.0f);
    EXPECT_NEAR(camera.GetHeading(), 172.0f, 1e-4f) << "-340 degrees is +20 the short way";
    EXPECT_FLOAT_EQ(camera.GetPitch(), 20.0f);
    EXPECT_TRUE(motion.IsFlying());

    Glide(0.0f, 20.0f, 100.0f, 20.0f);
    EXPECT_NEAR(camera.GetHeading(), 6.0f, 1e-4f);

    Glide(10.0f, 10.0f, 10.0f, 40.0f);
    EXPECT_NEAR(camera.GetPitch(), 13.0f, 1e-4f) << "a tenth of the way";
    EXPECT_FLOAT_EQ(camera.GetHeading(), 10.0f);

    // Within a degree on both angles the glide ends, and that frame moves nothing.
    Glide(10.0f, 20.0f, 10.9f, 20.9f);
    EXPECT_FALSE(motion.IsFlying());
    EXPECT_FLOAT_EQ(camera.GetHeading(), 10.0f);
    EXPECT_FLOAT_EQ(camera.GetPitch(), 20.0f);
}

TEST_F(UTL_CameraMotionTest, GlidesEndNearThePolesAndAtTheDateLine)
{
    // In a circle of thousands the user sits at latitude 88.9, beyond the camera's 85.
    Aim(20.0f, 0.0f);
    motion.FlyTo(20.0f, 88.9f);
    Frames(200);
    EXPECT_FALSE(motion.IsFlying()) << "pitch " << camera.GetPitch();
    EXPECT_NEAR(camera.GetPitch(), 85.0f, 1.0f);

    // Longitude 180 approached from the west: the heading closes in on -180 from above.
    Aim(-170.0f, 20.0f);
    motion.FlyTo(180.0f, 20.0f);
    Frames(200);
    EXPECT_FALSE(motion.IsFlying()) << "heading " << camera.GetHeading();
    EXPECT_NEAR(std::fabs(camera.GetHeading()), 180.0f, 1.0f);
}

// A glide that also moves the camera back ends there; a zoom of the user's on the way leaves
// the distance where the user put it.
TEST_F(UTL_CameraMotionTest, AGlideMovesBackUnlessTheUserZooms)
{
    const float nearest = camera.GetMinDistance(), back = 1.3f * nearest;
    Aim(0.0f, 0.0f);
    camera.SetDistance(nearest);
    motion.FlyTo(30.0f, 10.0f, back);
    Frames(300);
    EXPECT_FALSE(motion.IsFlying());
    EXPECT_NEAR(camera.GetDistance(), back, back * UTL_CameraMotion::DistanceSlack);

    camera.SetDistance(nearest);
    motion.FlyTo(0.0f, 0.0f, back);
    Frames(3);
    camera.SetDistance(1.1f * nearest);
    Frames(300);
    EXPECT_FALSE(motion.IsFlying());
    EXPECT_FLOAT_EQ(camera.GetDistance(), 1.1f * nearest);
}

TEST_F(UTL_CameraMotionTest, FiftyIdleSecondsStartARandomModeAndAPressStartsTheCountAgain)
{
    std::set<int> modes;
    for (int run = 0; run < 40; ++run)
    {
        motion.Stop();
        for (int i = 0; i < 100; ++i)
            EXPECT_EQ(Frame(0.5f), -1);
        ASSERT_EQ(motion.GetAutoMode(), UTL_CameraMotion::AutoIdle);
        EXPECT_FLOAT_EQ(motion.GetAutoTimer(), 50.0f) << "not yet: the count must pass 50";
        Frame(0.5f);
        modes.insert(motion.GetAutoMode());
        EXPECT_FLOAT_EQ(motion.GetAutoTimer(), 0.0f);
    }
    EXPECT_EQ(modes.count(UTL_CameraMotion::AutoIdle), 0u);
    EXPECT_GE(modes.size(), 2u) << "the mode is drawn at random";
    for (int mode : modes)
        EXPECT_TRUE(mode >= UTL_CameraMotion::AutoTurnWest && mode <= UTL_CameraMotion::AutoTour);

    motion.Stop();
    EXPECT_EQ(motion.GetAutoMode(), UTL_CameraMotion::AutoIdle);
    EXPECT_FLOAT_EQ(motion.GetAutoTimer(), 0.0f);
}

TEST_F(UTL_CameraMotionTest, TurningModesTurnAtTheirRateAndStartingOneEndsTheGlide)
{
    motion.FlyTo(90.0f, 0.0f);
    motion.Start(UTL_CameraMotion::AutoTurnEast);
    EXPECT_FALSE(motion.IsFlying());
    float heading = camera.GetHeading();
    Frame(0.5f);
    EXPECT_NEAR(camera.GetHeading() - heading, 8.75f, 1e-4f) << "17.5 degrees a second";

    motion.Start(UTL_CameraMotion::AutoTurnWest);
    heading = camera.GetHeading();
    Frame(0.5f);
    EXPECT_NEAR(camera.GetHeading() - heading, -8.75f, 1e-4f);
}

TEST_F(UTL_CameraMotionTest, TheTourWaitsBetweenStopsAndNotWhileGliding)
{
    // Started from its button, the tour flies at the next frame.
    motion.Start(UTL_CameraMotion::AutoTour);
    const int first = Frame(1.0f / 60.0f, 5);
    EXPECT_GE(first, 0);
    EXPECT_LT(first, 5);
    EXPECT_FLOAT_EQ(motion.GetAutoTimer(), 0.0f);

    // While a glide runs the clock stands still.
    motion.FlyTo(camera.GetHeading() + 90.0f, 0.0f);
    EXPECT_EQ(motion.Advance(10.0f, camera, 5), -1);
    EXPECT_FLOAT_EQ(motion.GetAutoTimer(), 0.0f);

    // Once there, the next stop comes after 1.5 seconds, never at 1.5 itself.
    for (int i = 0; i < 200 && motion.IsFlying(); ++i)
        motion.Glide(camera);
    ASSERT_FALSE(motion.IsFlying());
    EXPECT_EQ(motion.Advance(1.0f, camera, 5), -1);
    EXPECT_EQ(motion.Advance(0.5f, camera, 5), -1);
    const int next = motion.Advance(0.001f, camera, 5);
    EXPECT_GE(next, 0);
    EXPECT_LT(next, 5);

    // Over an empty globe the tour goes on without a stop.
    motion.Start(UTL_CameraMotion::AutoTour);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(motion.Advance(0.5f, camera, 0), -1);
    EXPECT_EQ(motion.GetAutoMode(), UTL_CameraMotion::AutoTour);
}

TEST_F(UTL_CameraMotionTest, ADragTurnsPerSampleAndItsEndIsAFlickAMoveOrAClick)
{
    const float heading = camera.GetHeading();
    const float pitch = camera.GetPitch();
    motion.Grab(400.0f, 300.0f);
    EXPECT_TRUE(motion.IsDragging());
    motion.Drag(410.0f, 296.0f, camera);
    EXPECT_NEAR(camera.GetHeading() - heading, 4.0f, 1e-4f) << "0.4 degree per pixel right";
    EXPECT_NEAR(camera.GetPitch() - pitch, 1.0f, 1e-4f) << "0.25 degree per pixel down";

    // The last sample decides: 10 pixels is 4 degrees, past the flick's 1.5.
    Drag({5.0f, 10.0f});
    EXPECT_EQ(motion.LetGo(), UTL_CameraMotion::DragEnd::Flick);
    EXPECT_EQ(motion.GetAutoMode(), UTL_CameraMotion::AutoTurnEast);
    EXPECT_FALSE(motion.IsDragging());
    Drag({5.0f, -10.0f});
    EXPECT_EQ(motion.LetGo(), UTL_CameraMotion::DragEnd::Flick);
    EXPECT_EQ(motion.GetAutoMode(), UTL_CameraMotion::AutoTurnWest);

    // A drag that ends slowly, or holding still, keeps the mode as it is.
    motion.Stop();
    Drag({5.0f, 2.0f});
    EXPECT_EQ(motion.LetGo(), UTL_CameraMotion::DragEnd::Moved);
    Drag({10.0f, 0.0f});
    EXPECT_EQ(motion.LetGo(), UTL_CameraMotion::DragEnd::Moved);
    EXPECT_EQ(motion.GetAutoMode(), UTL_CameraMotion::AutoIdle);

    // Samples of less than 3 pixels each never make it a drag, however far they add up.
    Drag({2.0f, 2.0f, 2.0f, -2.5f});
    EXPECT_EQ(motion.LetGo(), UTL_CameraMotion::DragEnd::Click);

    // Without a grab there is nothing to end, and the pointer turns nothing.
    const float still = camera.GetHeading();
    motion.Drag(900.0f, 300.0f, camera);
    EXPECT_FLOAT_EQ(camera.GetHeading(), still);
    EXPECT_EQ(motion.LetGo(), UTL_CameraMotion::DragEnd::None);
}

TEST_F(UTL_CameraMotionTest, RestCountsTowardsTheNextStartOnlyWhileTheIdleClockRuns)
{
    // A window that drew nothing for 30 seconds: the clock counts them, nothing turned.
    const float heading = camera.GetHeading();
    EXPECT_FLOAT_EQ(motion.SecondsToNextStart(), 50.0f);
    motion.Rest(30.0f);
    EXPECT_FLOAT_EQ(motion.SecondsToNextStart(), 20.0f);
    EXPECT_FALSE(motion.IsMoving());
    EXPECT_FLOAT_EQ(camera.GetHeading(), heading);

    // Behind a dialog the clock stands: neither rest nor frames count, and nothing is due.
    motion.SetIdleClockRunning(false);
    motion.Rest(60.0f);
    for (int i = 0; i < 200; ++i)
        Frame(0.5f);
    EXPECT_EQ(motion.GetAutoMode(), UTL_CameraMotion::AutoIdle);
    EXPECT_LT(motion.SecondsToNextStart(), 0.0f);

    // Running again, a rest of exactly what is left brings the count to 50, and the next frame
    // passes it.
    motion.SetIdleClockRunning(true);
    motion.Rest(motion.SecondsToNextStart());
    EXPECT_FLOAT_EQ(motion.SecondsToNextStart(), 0.0f);
    Frame(0.001f);
    EXPECT_NE(motion.GetAutoMode(), UTL_CameraMotion::AutoIdle);
}

TEST_F(UTL_CameraMotionTest, TheTourWaitsOutItsPauseAtRestAndTurningModesNeverRest)
{
    motion.Start(UTL_CameraMotion::AutoTour);
    ASSERT_GE(Frame(1.0f / 60.0f, 5), 0);
    EXPECT_FLOAT_EQ(motion.SecondsToNextStart(), UTL_CameraMotion::TourPause);
    motion.Rest(1.0f);
    EXPECT_FLOAT_EQ(motion.SecondsToNextStart(), 0.5f);
    motion.Rest(0.5f);
    EXPECT_GE(Frame(0.001f, 5), 0) << "the next stop once the pause has passed";

    // A glide and a turning mode move every frame: nothing to wait for, and rest counts nothing.
    motion.FlyTo(camera.GetHeading() + 90.0f, 0.0f);
    EXPECT_TRUE(motion.IsMoving());
    EXPECT_LT(motion.SecondsToNextStart(), 0.0f);
    motion.Start(UTL_CameraMotion::AutoTurnEast);
    EXPECT_TRUE(motion.IsMoving());
    EXPECT_LT(motion.SecondsToNextStart(), 0.0f);
}
