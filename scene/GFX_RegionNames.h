#pragma once

#include "gfx/GFX_Vector3.h"
#include "scene/GFX_RegionName.h"

#include <vector>

class GFX_Text;

// Draws the names of a circle's regions over the globe, after its locators and lines: each in
// shaped type (GFX_Text's shaped lines) made at about the size it shows on screen, centred on
// its anchor in the plane of the screen's axes, over a halo of the background's colour so that
// it reads across the dots beneath. No GL names of its own: the lines live in the font's atlas.
// GL thread only.
class GFX_RegionNames
{
public:
    // Draws every name whose alpha is above zero and records its corners (a name that cannot be
    // made this frame is not drawn, and says so). Assumes the frame's matrices; turns the depth
    // test off while drawing, so that no label cuts a name, and back on; leaves lighting and
    // face culling on, blending off, as GFX_Text's lines do.
    static void Draw(std::vector<GFX_RegionName>& names, GFX_Text& font, const GFX_Vector3& up,
                     const GFX_Vector3& right, const GFX_Vector3& halo);

    // The widest a name is written, in ems; a longer one is cut with an ellipsis.
    static constexpr float MaxWidthEms = 24.0f;
    // How far the halo reaches around the letters, in ems.
    static constexpr float HaloEms = 0.07f;
};
