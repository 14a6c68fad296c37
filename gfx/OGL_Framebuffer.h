#pragma once

#include <GL/gl.h>
#include <cstdint>
#include <vector>

// An offscreen framebuffer of colour (RGBA8), depth and stencil, bound from construction until
// it goes; the framebuffers bound before are bound again then and its names released. It lives
// for one drawing within one scope, with the context current throughout (the rule of
// WGL_Context.h), which is why its destructor may release them.
//
// Sizes are pixels. GL thread only.
class OGL_Framebuffer
{
public:
    OGL_Framebuffer(int width, int height);
    ~OGL_Framebuffer();
    OGL_Framebuffer(const OGL_Framebuffer&) = delete;
    OGL_Framebuffer& operator=(const OGL_Framebuffer&) = delete;

    // Whether the GL made it whole: it can be drawn into and read.
    bool IsComplete() const { return complete; }
    // The pixels drawn, RGBA rows bottom-up as GL keeps them, into `rgba` (width × height × 4).
    void ReadPixels(std::vector<uint8_t>& rgba) const;

    // The largest side an offscreen picture can have here: `wanted`, or less where the GL's
    // renderbuffers or viewport are smaller; 0 without framebuffer objects. Context current.
    static int MaxSide(int wanted);

private:
    int width;
    int height;
    GLint previousDraw = 0;
    GLint previousRead = 0;
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depthStencil = 0;
    bool complete = false;
};
