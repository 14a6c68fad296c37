#pragma once

#include <GL/gl.h>

// A copy of the colour buffer in a texture, shown again later pixel for pixel: the globe pass of
// a still frame kept, so that frames that would draw the same pass show the copy instead.
//
// Sizes are window pixels. GL thread only; the texture is released by Delete, with the context
// current (the rule of WGL_Context.h).
class OGL_FrameCopy
{
public:
    OGL_FrameCopy() = default;
    OGL_FrameCopy(const OGL_FrameCopy&) = delete;
    OGL_FrameCopy& operator=(const OGL_FrameCopy&) = delete;

    // Copies the lower-left width × height pixels of the colour buffer. False when the GL could
    // not (out of memory); the copy is then not to be shown.
    bool Keep(int width, int height);
    // Draws the copy over the lower-left width × height pixels of the window, the size it was
    // kept at. Assumes nothing; leaves lighting and texturing on, blending off, depth writes on,
    // the colour white and the matrices as it found them, as the globe pass does.
    void Show(int width, int height) const;
    void Delete();

private:
    GLuint texture = 0;
    int textureWidth = 0;
    int textureHeight = 0;
};
