#include "gfx/GFX_SphereButton.h"

GFX_SphereButton::GFX_SphereButton(float radius)
{
    GFX_BuildCubeSphere<GFX_SphereButtonMeshGroup>(*this, Subdivisions, radius);
}
