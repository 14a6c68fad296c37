#define GL_GLEXT_PROTOTYPES 1
#include "gfx/OGL_Framebuffer.h"

#include "gfx/OGL_Capabilities.h"
#include "gfx/OGL_Names.h"

#include <algorithm>

OGL_Framebuffer::OGL_Framebuffer(int width, int height) : width(width), height(height)
{
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousDraw);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previousRead);
    framebuffer = OGL_Names::GenFramebuffer();
    colour = OGL_Names::GenRenderbuffer();
    depthStencil = OGL_Names::GenRenderbuffer();
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, depthStencil);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              depthStencil);
    complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glReadBuffer(GL_COLOR_ATTACHMENT0);
}

OGL_Framebuffer::~OGL_Framebuffer()
{
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(previousDraw));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previousRead));
    OGL_Names::DeleteFramebuffer(framebuffer);
    OGL_Names::DeleteRenderbuffer(colour);
    OGL_Names::DeleteRenderbuffer(depthStencil);
}

void OGL_Framebuffer::ReadPixels(std::vector<uint8_t>& rgba) const
{
    rgba.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}

int OGL_Framebuffer::MaxSide(int wanted)
{
    const OGL_Capabilities gl = OGL_Capabilities::Query();
    if (!gl.framebufferObjects)
        return 0;
    return std::max(
        0, std::min({wanted, gl.maxRenderbufferSize, gl.maxViewportWidth, gl.maxViewportHeight}));
}
