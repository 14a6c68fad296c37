#include "gfx/GFX_ColorBall.h"

GFX_ColorBall::GFX_ColorBall(float radius)
{
    GFX_BuildCubeSphere<GFX_ColorBallMeshGroup>(*this, Subdivisions, radius);
}
