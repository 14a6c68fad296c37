#pragma once

#include "gfx/GFX_Theme.h"
#include "gfx/GFX_Vector3.h"
#include "scene/GFX_Rect.h"

#include <memory>
#include <string>

class OGL_Texture2D;

// One batch of flat, textured quads of the in-scene interface, in view pixels at z = 0. Every
// widget, docked item and dock strip draws through it, so they all leave the GL state alike.
//
// Assumes the interface pass's state: the pixel projection, texturing and blending (source
// alpha, one minus source alpha) set up. The constructor binds the texture, or disables
// texturing where there is no texture or it holds no picture (a file that could not be read),
// so that nothing draws with whatever texture was bound before; then turns blending on and
// lighting off and opens the quad batch. The destructor closes the batch and leaves lighting
// on, blending off and texturing on again. GL thread only.
class GFX_OverlayQuads
{
public:
    explicit GFX_OverlayQuads(OGL_Texture2D* texture);
    ~GFX_OverlayQuads();

    GFX_OverlayQuads(const GFX_OverlayQuads&) = delete;
    GFX_OverlayQuads& operator=(const GFX_OverlayQuads&) = delete;

    // Colour of the quads that follow.
    void SetColor(const GFX_ColorRGBA& color);
    // A quad over the rectangle, texture coordinates (0, 0) to (1, 1).
    void Add(const GFX_Rect& rect);
    // A quad on four corners given bottom-left, bottom-right, top-right, top-left, which get the
    // texture coordinates (0, 0), (1, 0), (1, 1), (0, 1).
    void Add(const GFX_Vector3 corners[4]);
};

// Replaces `texture` with one made from the picture at `path` that repeats at its edges, and
// creates its GL object; the old one's GL object is released first. An unreadable file leaves a
// texture without a picture, which the overlay batch draws untextured. Returns whether the
// picture could be read. GL thread only.
bool GFX_LoadOverlayTexture(std::unique_ptr<OGL_Texture2D>& texture, const std::string& path);
