#pragma once

#include <GL/gl.h>

// A layer drawn at a fraction of the window's resolution and blended over it: what a frame draws
// between Begin and End goes into an offscreen texture `divisor` times smaller each way, with
// the window's depth (scaled down) to test against, and End lays it over the window. Blending
// into the layer keeps its colour premultiplied by its coverage, so that laying it over the
// window gives what drawing the same fragments straight into it would, at the coarser
// resolution: a quarter or a ninth of the fragments for a picture a little softer. Textures are
// read at the level of detail the window's resolution would read.
//
// Begin assumes the frame's matrices, viewport and blending (source alpha, one minus source
// alpha) are in force and the window's depth buffer is drawn; it leaves the layer bound with its
// viewport, and blending on. End leaves the window's framebuffer bound with its viewport,
// blending on with (source alpha, one minus source alpha), the depth test, fog and lighting as
// Begin found them and texturing on. Sizes are window pixels. GL thread only; Delete releases the
// names, with the context current (the rule of WGL_Context.h).
class OGL_CoarseLayer
{
public:
    OGL_CoarseLayer() = default;
    OGL_CoarseLayer(const OGL_CoarseLayer&) = delete;
    OGL_CoarseLayer& operator=(const OGL_CoarseLayer&) = delete;

    // Starts the layer over the viewport in force, `divisor` (2 or more) times coarser each way.
    // False where the GL cannot (no framebuffer objects, out of memory, a depth buffer it cannot
    // copy): nothing is bound then, and the caller draws into the window as usual.
    bool Begin(int divisor);
    // Lays the layer over the window.
    void End();
    void Delete();

private:
    // Makes or remakes the texture and buffers for a layer of this size.
    bool Allocate(int layerWidth, int layerHeight);

    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depthStencil = 0;
    int layerWidth = 0;
    int layerHeight = 0;
    int divisor = 2;
    int width = 0;
    int height = 0;
    GLint previousDraw = 0;
    GLint previousRead = 0;
    GLint viewport[4] = {0, 0, 0, 0};
    // Set once the GL refused to copy the window's depth: it will not do so later either.
    bool refused = false;
};
