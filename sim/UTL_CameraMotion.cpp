#include "sim/UTL_CameraMotion.h"

#include "gfx/GFX_HalvaneCamera.h"
#include "gfx/GFX_Math.h"

#include <algorithm>
#include <cmath>

int UTL_CameraMotion::Advance(float dt, GFX_HalvaneCamera& camera, int stops)
{
    switch (autoMode)
    {
    case AutoIdle:
        if (!idleClockRunning)
            break;
        autoTimer += dt;
        if (autoTimer > AutoStartSeconds)
        {
            autoTimer = 0.0f;
            const int k = static_cast<int>(RandomRange(0.0f, 2.5f));
            autoMode = std::min(k, 2) + 1;
        }
        break;
    case AutoTurnWest:
        Turn(camera, -AutoTurnRate * dt, 0.0f);
        break;
    case AutoTurnEast:
        Turn(camera, AutoTurnRate * dt, 0.0f);
        break;
    case AutoTour:
        if (flying)
            break;
        autoTimer += dt;
        if (autoTimer > TourPause)
        {
            autoTimer = 0.0f;
            const int k = static_cast<int>(RandomRange(0.0f, static_cast<float>(stops)));
            const int stop = std::min(k, stops - 1);
            if (stop >= 0)
                return stop;
        }
        break;
    default:
        break;
    }
    return -1;
}

void UTL_CameraMotion::Glide(GFX_HalvaneCamera& camera)
{
    if (!flying)
        return;
    // Both angles are measured the way the camera can go: the heading the short way round, so
    // that a target at longitude ±180 approached across the date line is reached rather than
    // closed in on for ever from the other side; the pitch against the target as the camera's
    // limits let it be, so that a locator near a pole (the user's own, in a large circle) ends
    // the glide instead of leaving it running, and the tour waiting on it, for good.
    float dh = flightHeading - camera.GetHeading();
    if (dh > 180.0f)
        dh -= 360.0f;
    else if (dh < -180.0f)
        dh += 360.0f;
    const float reachablePitch =
        std::clamp(flightPitch, camera.GetMinPitch(), camera.GetMaxPitch());
    const float dp = reachablePitch - camera.GetPitch();
    // A zoom of the user's since the last frame ends the glide's own.
    if (glidedDistance >= 0.0f && camera.GetDistance() != glidedDistance)
        flightDistance = -1.0f;
    glidedDistance = -1.0f;
    const float dd = flightDistance < 0.0f ? 0.0f : flightDistance - camera.GetDistance();
    const bool distanceReached =
        flightDistance < 0.0f || std::fabs(dd) <= DistanceSlack * flightDistance;
    if (std::fabs(dh) <= 1.0f && std::fabs(dp) <= 1.0f && distanceReached)
    {
        flying = false;
        return;
    }
    if (!distanceReached)
    {
        camera.SetDistance(camera.GetDistance() + GlideShare * dd);
        glidedDistance = camera.GetDistance();
    }
    if (std::fabs(dh) > 1.0f)
    {
        dh = std::clamp(dh, -MaxGlideDelta, MaxGlideDelta);
        camera.SetHeading(camera.GetHeading() + GlideShare * dh);
    }
    if (std::fabs(dp) > 1.0f)
        camera.SetPitch((1.0f - GlideShare) * camera.GetPitch() + GlideShare * flightPitch);
}

void UTL_CameraMotion::FlyTo(float longitude, float latitude)
{
    FlyTo(longitude, latitude, -1.0f);
}

void UTL_CameraMotion::FlyTo(float longitude, float latitude, float distance)
{
    flightHeading = longitude;
    flightPitch = latitude;
    flightDistance = distance;
    glidedDistance = -1.0f;
    flying = true;
}

void UTL_CameraMotion::Start(int mode)
{
    flying = false;
    autoMode = mode;
    if (mode == AutoTour)
        autoTimer = TourFirstWait;
}

void UTL_CameraMotion::Stop()
{
    autoMode = AutoIdle;
    autoTimer = 0.0f;
}

void UTL_CameraMotion::TakeOver()
{
    Stop();
    flying = false;
}

void UTL_CameraMotion::Grab(float x, float y)
{
    dragging = true;
    dragMoved = false;
    dragHeadingDelta = 0.0f;
    dragLastX = x;
    dragLastY = y;
}

void UTL_CameraMotion::Drag(float x, float y, GFX_HalvaneCamera& camera)
{
    if (!dragging)
        return;
    const float dx = x - dragLastX;
    const float dy = y - dragLastY;
    if (std::fabs(dx) >= DragThreshold || std::fabs(dy) >= DragThreshold)
        dragMoved = true;
    dragLastX = x;
    dragLastY = y;
    dragHeadingDelta = 0.4f * dx;
    Turn(camera, dragHeadingDelta, -0.25f * dy);
}

UTL_CameraMotion::DragEnd UTL_CameraMotion::LetGo()
{
    DragEnd end = DragEnd::None;
    if (dragging && dragMoved)
    {
        // A drag whose last sample still moved fast keeps the globe turning: a flick.
        end = DragEnd::Flick;
        if (dragHeadingDelta > FlickDegrees)
            Start(AutoTurnEast);
        else if (dragHeadingDelta < -FlickDegrees)
            Start(AutoTurnWest);
        else
            end = DragEnd::Moved;
        dragHeadingDelta = 0.0f;
    }
    else if (dragging)
        end = DragEnd::Click;
    dragging = false;
    dragMoved = false;
    return end;
}

void UTL_CameraMotion::Turn(GFX_HalvaneCamera& camera, float headingDelta, float pitchDelta)
{
    camera.SetHeading(camera.GetHeading() + headingDelta);
    camera.SetPitch(camera.GetPitch() + pitchDelta);
}

void UTL_CameraMotion::Rest(float seconds)
{
    if (!(seconds > 0.0f))
        return;
    if ((autoMode == AutoIdle && idleClockRunning) || (autoMode == AutoTour && !flying))
        autoTimer += seconds;
}

bool UTL_CameraMotion::IsMoving() const
{
    return flying || autoMode == AutoTurnWest || autoMode == AutoTurnEast;
}

float UTL_CameraMotion::SecondsToNextStart() const
{
    // The counts start a motion once they pass their bound, so a rest of exactly the remaining
    // time leaves the next frame to do it.
    if (autoMode == AutoIdle && idleClockRunning)
        return std::max(AutoStartSeconds - autoTimer, 0.0f);
    if (autoMode == AutoTour && !flying)
        return std::max(TourPause - autoTimer, 0.0f);
    return -1.0f;
}
