#include "scene/GFX_Billboard.h"

#include "gfx/GFX_Math.h"

#include <GL/gl.h>

void GFX_Billboard::SetTexCoords(const float s[4], const float t[4])
{
    for (int i = 0; i < 4; ++i)
    {
        texS[i] = s[i];
        texT[i] = t[i];
    }
}

void GFX_Billboard::OffsetCorners()
{
    const GFX_Vector3 offset = GetNormal().Scale(OffsetTowardsViewer);
    for (GFX_Vector3& corner : corners)
        corner.Add(offset);
}

void GFX_Billboard::EmitQuad() const
{
    glColor4f(color.x, color.y, color.z, alpha);
    for (int i = 0; i < 4; ++i)
    {
        glTexCoord2f(texS[i], texT[i]);
        glVertex3fv(corners[i].Data());
    }
}

bool GFX_Billboard::Intersect(const GFX_Vector3& origin, const GFX_Vector3& direction,
                              float maxDistance, float& distance) const
{
    float t = 0.0f;
    if (IntersectRayTriangle(origin, direction, maxDistance, corners[0], corners[1], corners[2],
                             t) ||
        IntersectRayTriangle(origin, direction, maxDistance, corners[0], corners[2], corners[3], t))
    {
        distance = t;
        return true;
    }
    return false;
}
