#include "gfx/GFX_QuadArray.h"

#include <GL/gl.h>

void GFX_QuadArray::Add(const GFX_Vector3 corners[4], const TexCoord corner[4],
                        const GFX_Vector3& color, float alpha)
{
    for (int i = 0; i < 4; ++i)
    {
        vertices.insert(vertices.end(), {corners[i].x, corners[i].y, corners[i].z});
        texCoords.insert(texCoords.end(), {corner[i].s, corner[i].t});
        colors.insert(colors.end(), {color.x, color.y, color.z, alpha});
    }
}

void GFX_QuadArray::Add(const GFX_Vector3 corners[4], float s0, float t0, float s1, float t1,
                        const GFX_Vector3& color, float alpha)
{
    const TexCoord corner[4] = {{s0, t0}, {s1, t0}, {s1, t1}, {s0, t1}};
    Add(corners, corner, color, alpha);
}

void GFX_QuadArray::Draw() const
{
    if (vertices.empty())
        return;
    // The scene keeps a normal array enabled for its meshes; these quads have no normals, and
    // a stale pointer must not be read for them.
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, vertices.data());
    glTexCoordPointer(2, GL_FLOAT, 0, texCoords.data());
    glColorPointer(4, GL_FLOAT, 0, colors.data());
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size() / 3));
    glPopClientAttrib();
}

void GFX_QuadArray::Clear()
{
    vertices.clear();
    texCoords.clear();
    colors.clear();
}
