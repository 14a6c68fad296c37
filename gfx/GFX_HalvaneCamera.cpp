#include "gfx/GFX_HalvaneCamera.h"

#include "gfx/GFX_Math.h"
#include "gfx/GFX_Matrix3.h"

#include <GL/glu.h>
#include <cmath>

void GFX_HalvaneCamera::SetPitch(float value)
{
    if (value > maxPitch)
        pitch = maxPitch;
    else if (value < minPitch)
        pitch = minPitch;
    else
        pitch = value;
}

void GFX_HalvaneCamera::Update()
{
    if (distance > maxDistance)
        distance = maxDistance;
    else if (distance < minDistance)
        distance = minDistance;

    if (std::fabs(pitch) < MinPitchMagnitude)
        pitch = MinPitchMagnitude;

    if (heading > 180.0f)
        heading -= 360.0f;
    else if (heading < -180.0f)
        heading += 360.0f;

    const GFX_Matrix3 rx = GFX_Matrix3::RotationX(pitch / GFX_DegreesPerRadian);
    const GFX_Matrix3 ry = GFX_Matrix3::RotationY(-(heading + 90.0f) / GFX_DegreesPerRadian);

    up.Set(0.0f, 1.0f, 0.0f).TransformByRows(rx).TransformByRows(ry);
    eye.Set(0.0f, 0.0f, -distance).TransformByRows(rx).TransformByRows(ry).Add(target);
}

void GFX_HalvaneCamera::Apply()
{
    gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, up.x, up.y, up.z);
}
