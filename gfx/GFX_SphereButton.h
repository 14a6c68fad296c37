#pragma once

#include "gfx/GFX_CubeSphere.h"

class GFX_SphereButtonMeshGroup : public GFX_CubeSphereMeshGroup
{
};

// The small textured globe inside the navigation dial: a cube-sphere of 10 subdivisions per
// face (6 × 121 vertices, 6 × 200 triangles), drawn with one glDrawElements per face.
class GFX_SphereButton : public GFX_GroupedModel
{
public:
    static constexpr int Subdivisions = 10;
    explicit GFX_SphereButton(float radius);
};
