#pragma once

#include "gfx/GFX_Vector3.h"

#include <vector>

class GFX_HalvaneCamera;

// A place on the globe, in degrees: longitude −180…180 (0 on +x, 90 on +z), latitude −90…90.
struct GFX_GlobePoint
{
    float longitude = 0.0f;
    float latitude = 0.0f;
};

// The globe every locator and friendship line sits on: a sphere of radius 5555.5 scene units
// around the origin, north pole on +y. Its arithmetic is single precision throughout, with π
// taken as the float 3.1415925, so that a place always maps onto exactly the same point for the
// locators, the lines between them and the camera turning towards them.
//
// Plain arithmetic, no GL: callable from any thread.
class GFX_Globe
{
public:
    static constexpr float Radius = 5555.5f;
    static constexpr float Pi = 3.1415925f;

    // The point of the globe at a longitude and latitude (degrees).
    static GFX_Vector3 Position(float longitude, float latitude);

    // The colour of a point: each component ((p / Radius)·1.5 + 1)·0.5, clamped to 0…1, so the
    // colours change smoothly around the globe and saturate over the outer third of each axis.
    static GFX_Vector3 PositionColor(const GFX_Vector3& position)
    {
        return {ColorComponent(position.x), ColorComponent(position.y), ColorComponent(position.z)};
    }

    // `count` places spread evenly over the globe on a golden-angle spiral, from near the north
    // pole downwards: place i lies at height y = 1 − (i + ½)·2/count and i golden angles of
    // longitude further east. `points` is overwritten (its storage is reused).
    static void SpiralPoints(int count, std::vector<GFX_GlobePoint>& points);

private:
    static float ColorComponent(float coordinate)
    {
        const float c = ((coordinate / Radius) * 1.5f + 1.0f) * 0.5f;
        return c < 0.0f ? 0.0f : (c > 1.0f ? 1.0f : c);
    }
};

// The main scene's view of the globe: a perspective of 45 degrees from 1000 to 25000 units, and
// the camera looking at (0, 500, 0) from 18500 units, held between 7500 and 20000 and to pitches
// within ±85 degrees.
struct GFX_GlobeView
{
    static constexpr float FieldOfView = 45.0f;
    static constexpr float NearPlane = 1000.0f;
    static constexpr float FarPlane = 25000.0f;

    // Sets the camera's limits, target and distance, and turns it to heading and pitch 0.
    static void SetUpCamera(GFX_HalvaneCamera& camera);
};
