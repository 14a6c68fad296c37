#pragma once

#include "gfx/GFX_CubeSphere.h"

class GFX_ColorBallMeshGroup : public GFX_CubeSphereMeshGroup
{
};

// The locator ball shared by every friend: a cube-sphere of 5 subdivisions per face (6 × 36
// vertices, 6 × 50 triangles), drawn in immediate mode scaled to each locator's size.
class GFX_ColorBall : public GFX_GroupedModel
{
public:
    static constexpr int Subdivisions = 5;
    explicit GFX_ColorBall(float radius);
};
