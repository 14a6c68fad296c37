#pragma once

#include "gfx/GFX_GroupedModel.h"
#include "gfx/GFX_Mesh.h"

// The faces of a cube pushed out onto a sphere, in the order the models build them.
enum class GFX_CubeFace
{
    PositiveX,
    NegativeX,
    PositiveY,
    NegativeY,
    PositiveZ,
    NegativeZ,
};

// A mesh group filled with one face of a cube-sphere: an (n + 1) × (n + 1) grid of vertices on
// the sphere of the given radius (texture coordinates u = row / n, v = column / n) and 2n²
// triangles, counter-clockwise seen from outside. Faces share no vertices.
class GFX_CubeSphereMeshGroup : public GFX_MeshGroup
{
public:
    void BuildCubeSphereFace(GFX_CubeFace face, int n, float radius);
    void AddGridTriangles(int n);
};

// The six faces of a cube-sphere with n subdivisions, appended to `model` as groups of type
// Group.
template <class Group> void GFX_BuildCubeSphere(GFX_GroupedModel& model, int n, float radius)
{
    for (GFX_CubeFace face :
         {GFX_CubeFace::PositiveX, GFX_CubeFace::NegativeX, GFX_CubeFace::PositiveY,
          GFX_CubeFace::NegativeY, GFX_CubeFace::PositiveZ, GFX_CubeFace::NegativeZ})
    {
        auto group = std::make_unique<Group>();
        group->BuildCubeSphereFace(face, n, radius);
        model.AddGroup(std::move(group));
    }
}
