#pragma once

#include "gfx/GFX_Vector3.h"

// Where points of the scene show in the window: the arithmetic of gluLookAt and gluPerspective
// (or of any modelview and projection matrices) and the viewport, without GL, so that what
// needs to know how large and where things look on screen (labels making room, a glide that
// frames a label) can be worked out, and tested, away from the GL thread.
//
// Units: scene units in, window pixels out, origin at the bottom-left as GL's viewport has it.
// Matrices are column-major, as GL keeps them.
class GFX_ScreenProjection
{
public:
    GFX_ScreenProjection();

    // The view of a camera at `eye` looking at `target` with `up` as gluLookAt builds it, through
    // a perspective of `fieldOfView` degrees (vertical) from `nearPlane` to `farPlane` as
    // gluPerspective builds it, onto a viewport of width × height pixels.
    static GFX_ScreenProjection LookAt(const GFX_Vector3& eye, const GFX_Vector3& target,
                                       const GFX_Vector3& up, float fieldOfView, float nearPlane,
                                       float farPlane, int width, int height);
    // Any view, from GL's matrices and viewport (x, y, width, height).
    static GFX_ScreenProjection FromMatrices(const float modelview[16], const float projection[16],
                                             const float viewport[4]);

    // The window position of `point`; false (and x, y left alone) where it lies at or behind
    // the eye.
    bool Project(const GFX_Vector3& point, float& x, float& y) const;
    // The distance of `point` in front of the eye along the view axis (negative behind it).
    float Depth(const GFX_Vector3& point) const;

    // The screen's right and up directions in the scene (the modelview's first two rows).
    GFX_Vector3 ScreenRight() const { return {modelview[0], modelview[4], modelview[8]}; }
    GFX_Vector3 ScreenUp() const { return {modelview[1], modelview[5], modelview[9]}; }

    float GetWidth() const { return viewport[2]; }
    float GetHeight() const { return viewport[3]; }

private:
    float modelview[16];
    float projection[16];
    float viewport[4];
};
