#include "gfx/GFX_CubeSphere.h"

namespace
{
// The point of row d and column e (both 0…1) on the face of the unit cube.
GFX_Vector3 FacePoint(GFX_CubeFace face, float d, float e)
{
    switch (face)
    {
    case GFX_CubeFace::PositiveX:
        return {0.5f, e - 0.5f, 0.5f - d};
    case GFX_CubeFace::NegativeX:
        return {-0.5f, e - 0.5f, d - 0.5f};
    case GFX_CubeFace::PositiveY:
        return {0.5f - e, 0.5f, 0.5f - d};
    case GFX_CubeFace::NegativeY:
        return {e - 0.5f, -0.5f, 0.5f - d};
    case GFX_CubeFace::PositiveZ:
        return {d - 0.5f, e - 0.5f, 0.5f};
    case GFX_CubeFace::NegativeZ:
        break;
    }
    return {0.5f - d, e - 0.5f, -0.5f};
}
} // namespace

void GFX_CubeSphereMeshGroup::BuildCubeSphereFace(GFX_CubeFace face, int n, float radius)
{
    const float step = 1.0f / static_cast<float>(n);
    for (int i = 0; i <= n; ++i)
    {
        for (int j = 0; j <= n; ++j)
        {
            const float d = static_cast<float>(i) * step;
            const float e = static_cast<float>(j) * step;
            GFX_Vertex vertex;
            vertex.normal = FacePoint(face, d, e).Normalize();
            vertex.position = vertex.normal.Times(radius);
            vertex.u = d;
            vertex.v = e;
            AddVertex(vertex);
        }
    }
    AddGridTriangles(n);
}

void GFX_CubeSphereMeshGroup::AddGridTriangles(int n)
{
    const uint32_t w = static_cast<uint32_t>(n) + 1;
    for (uint32_t i = 0; i < static_cast<uint32_t>(n); ++i)
    {
        for (uint32_t j = 0; j < static_cast<uint32_t>(n); ++j)
        {
            AddTriangle({{w * i + j, w * (i + 1) + j, w * i + j + 1}});
            AddTriangle({{w * (i + 1) + j + 1, w * i + j + 1, w * (i + 1) + j}});
        }
    }
}
