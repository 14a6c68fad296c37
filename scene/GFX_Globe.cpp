#include "scene/GFX_Globe.h"

#include "gfx/GFX_HalvaneCamera.h"

#include <cmath>

GFX_Vector3 GFX_Globe::Position(float longitude, float latitude)
{
    const float lambda = longitude * Pi / 180.0f;
    const float theta = (90.0f - latitude) * Pi / 180.0f;
    const float sinTheta = std::sin(theta);
    return {Radius * sinTheta * std::cos(lambda), Radius * std::cos(theta),
            Radius * sinTheta * std::sin(lambda)};
}

void GFX_Globe::SpiralPoints(int count, std::vector<GFX_GlobePoint>& points)
{
    points.clear();
    if (count <= 0)
        return;
    points.reserve(static_cast<size_t>(count));

    // The golden angle, (3 − √5)·π radians: successive places never line up, so any number of
    // them covers the sphere evenly.
    const float goldenAngle = (3.0f - std::sqrt(5.0f)) * Pi;
    const float step = 2.0f / static_cast<float>(count);
    float y = 1.0f - step / 2.0f;
    float angle = 0.0f;
    for (int i = 0; i < count; ++i)
    {
        GFX_GlobePoint point;
        // Rounding over thousands of steps must not push y past a pole, where acos has no value.
        const float height = y > 1.0f ? 1.0f : (y < -1.0f ? -1.0f : y);
        point.latitude = 90.0f - std::acos(height) * 180.0f / Pi;
        // The angle only grows, so the remainder is the reduction to [0, 360), exactly.
        float longitude = std::fmod(angle * 180.0f / Pi, 360.0f);
        if (longitude > 180.0f)
            longitude -= 360.0f;
        point.longitude = longitude;
        points.push_back(point);
        y -= step;
        angle += goldenAngle;
    }
}

void GFX_GlobeView::SetUpCamera(GFX_HalvaneCamera& camera)
{
    camera.SetMaxPitch(85.0f);
    camera.SetMinPitch(-85.0f);
    camera.SetHeading(0.0f);
    camera.SetPitch(0.0f);
    camera.SetTarget(GFX_Vector3(0.0f, 500.0f, 0.0f));
    camera.SetMaxDistance(20000.0f);
    camera.SetMinDistance(7500.0f);
    camera.SetDistance(18500.0f);
}
