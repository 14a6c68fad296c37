#include "gfx/GFX_ScreenProjection.h"

#include <cmath>
#include <cstring>

namespace
{
constexpr double DegreesToRadians = 3.14159265358979323846 / 180.0;

// out = m · v for a column-major 4 × 4 matrix.
void Transform(const float m[16], const float v[4], float out[4])
{
    for (int row = 0; row < 4; ++row)
        out[row] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2] + m[12 + row] * v[3];
}

void Identity(float m[16])
{
    std::memset(m, 0, 16 * sizeof(float));
    m[0] = m[5] = m[10] = m[15] = 1.0f;
}
} // namespace

GFX_ScreenProjection::GFX_ScreenProjection()
{
    Identity(modelview);
    Identity(projection);
    viewport[0] = viewport[1] = 0.0f;
    viewport[2] = viewport[3] = 1.0f;
}

GFX_ScreenProjection GFX_ScreenProjection::LookAt(const GFX_Vector3& eye, const GFX_Vector3& target,
                                                  const GFX_Vector3& up, float fieldOfView,
                                                  float nearPlane, float farPlane, int width,
                                                  int height)
{
    GFX_ScreenProjection view;
    // gluLookAt: the eye's axes side, up and back as the rows of the rotation, then the eye
    // moved to the origin.
    GFX_Vector3 forward = target.Minus(eye);
    forward.Normalize();
    GFX_Vector3 side = forward.Cross(up);
    side.Normalize();
    const GFX_Vector3 trueUp = side.Cross(forward);
    float* m = view.modelview;
    m[0] = side.x, m[4] = side.y, m[8] = side.z;
    m[1] = trueUp.x, m[5] = trueUp.y, m[9] = trueUp.z;
    m[2] = -forward.x, m[6] = -forward.y, m[10] = -forward.z;
    m[3] = m[7] = m[11] = 0.0f;
    m[12] = -side.Dot(eye);
    m[13] = -trueUp.Dot(eye);
    m[14] = forward.Dot(eye);
    m[15] = 1.0f;

    // gluPerspective, with the aspect a window of no width or height gets from the frame too.
    const double aspect = width > 0 && height > 0 ? double(width) / height : 1.0;
    const double f = 1.0 / std::tan(fieldOfView * 0.5 * DegreesToRadians);
    float* p = view.projection;
    std::memset(p, 0, 16 * sizeof(float));
    p[0] = float(f / aspect);
    p[5] = float(f);
    p[10] = float((farPlane + nearPlane) / double(nearPlane - farPlane));
    p[11] = -1.0f;
    p[14] = float(2.0 * farPlane * nearPlane / double(nearPlane - farPlane));

    view.viewport[2] = float(width);
    view.viewport[3] = float(height);
    return view;
}

GFX_ScreenProjection GFX_ScreenProjection::FromMatrices(const float modelview[16],
                                                        const float projection[16],
                                                        const float viewport[4])
{
    GFX_ScreenProjection view;
    std::memcpy(view.modelview, modelview, sizeof view.modelview);
    std::memcpy(view.projection, projection, sizeof view.projection);
    std::memcpy(view.viewport, viewport, sizeof view.viewport);
    return view;
}

bool GFX_ScreenProjection::Project(const GFX_Vector3& point, float& x, float& y) const
{
    const float world[4] = {point.x, point.y, point.z, 1.0f};
    float eye[4];
    float clip[4];
    Transform(modelview, world, eye);
    Transform(projection, eye, clip);
    if (!(clip[3] > 0.0f))
        return false;
    x = viewport[0] + (clip[0] / clip[3] * 0.5f + 0.5f) * viewport[2];
    y = viewport[1] + (clip[1] / clip[3] * 0.5f + 0.5f) * viewport[3];
    return true;
}

float GFX_ScreenProjection::Depth(const GFX_Vector3& point) const
{
    // The eye looks down its −z axis.
    return -(modelview[2] * point.x + modelview[6] * point.y + modelview[10] * point.z +
             modelview[14]);
}
