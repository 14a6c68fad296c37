#include "gfx/GFX_Mesh.h"

#include <GL/gl.h>

void GFX_Mesh::Render(int /*mode*/)
{
    Draw();
}

void GFX_Mesh::Draw()
{
    if (!visible || vertices.empty() || triangles.empty())
        return;
    const GLsizei stride = sizeof(GFX_Vertex);
    glVertexPointer(3, GL_FLOAT, stride, &vertices[0].position);
    glNormalPointer(GL_FLOAT, stride, &vertices[0].normal);
    glTexCoordPointer(2, GL_FLOAT, stride, &vertices[0].u);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * triangles.size()), GL_UNSIGNED_INT,
                   triangles.data());
}

void GFX_Mesh::DrawImmediate()
{
    if (!visible)
        return;
    glBegin(GL_TRIANGLES);
    for (const GFX_Triangle& triangle : triangles)
    {
        for (uint32_t index : triangle.index)
        {
            const GFX_Vertex& vertex = vertices[index];
            glNormal3fv(vertex.normal.Data());
            glTexCoord2f(vertex.u, vertex.v);
            glVertex3fv(vertex.position.Data());
        }
    }
    glEnd();
}
