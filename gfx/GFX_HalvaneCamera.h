#pragma once

#include "gfx/GFX_Vector3.h"

// The globe camera: an orbit camera looking at `target` from `distance`, lifted by `pitch` and
// turned by `heading` (both degrees). The eye hangs over the point of latitude pitch and
// longitude heading of a sphere around the target:
//     eye = target + distance·(cos p·cos h, sin p, cos p·sin h)
// Setters store without checks, except SetPitch, which clamps to the pitch limits; Update
// clamps the distance, keeps the pitch off zero and wraps the heading into −180…180.
// Apply loads the view with gluLookAt and needs the GL thread; everything else is arithmetic.
class GFX_HalvaneCamera
{
public:
    GFX_HalvaneCamera() = default;
    virtual ~GFX_HalvaneCamera() = default;

    virtual void Update();
    virtual void Apply();

    void SetPitch(float value);
    void SetHeading(float value) { heading = value; }
    void SetDistance(float value) { distance = value; }
    void SetTarget(const GFX_Vector3& value) { target = value; }
    void SetMinPitch(float value) { minPitch = value; }
    void SetMaxPitch(float value) { maxPitch = value; }
    void SetMaxDistance(float value) { maxDistance = value; }
    void SetMinDistance(float value) { minDistance = value; }

    const GFX_Vector3& GetEye() const { return eye; }
    const GFX_Vector3& GetTarget() const { return target; }
    const GFX_Vector3& GetUp() const { return up; }
    float GetPitch() const { return pitch; }
    float GetHeading() const { return heading; }
    float GetDistance() const { return distance; }
    float GetMinPitch() const { return minPitch; }
    float GetMaxPitch() const { return maxPitch; }
    float GetMinDistance() const { return minDistance; }
    float GetMaxDistance() const { return maxDistance; }

    // The smallest pitch magnitude Update lets stand: straight-level views would put the eye
    // in the target's horizontal plane, where "up" degenerates for some targets.
    static constexpr float MinPitchMagnitude = 0.01f;

private:
    GFX_Vector3 eye;
    GFX_Vector3 target;
    GFX_Vector3 up{0.0f, 1.0f, 0.0f};
    float pitch = 35.0f;
    float heading = 0.0f;
    float distance = 5.0f;
    float maxPitch = 90.0f;
    float minPitch = -90.0f;
    float maxDistance = 5000.0f;
    float minDistance = 1000.0f;
};
