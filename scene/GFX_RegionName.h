#pragma once

#include "gfx/GFX_Vector3.h"

#include <string>

// One region's name as the globe shows it, a country's name on a map: the text, the point of
// the scene its middle stands on, how large it is written (scene units per em), its colour and
// how opaque it is (0: not drawn). Drawing it fills in where the line ended up, which is what a
// click is tested against. No GL.
struct GFX_RegionName
{
    std::string text;
    GFX_Vector3 anchor;
    float em = 0.0f;
    GFX_Vector3 color;
    float alpha = 0.0f;
    // The line's corners as last drawn (bottom-left, bottom-right, top-right, top-left); only
    // while `drawn`.
    GFX_Vector3 corners[4];
    bool drawn = false;
};
