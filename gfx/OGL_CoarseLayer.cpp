#define GL_GLEXT_PROTOTYPES 1
#include "gfx/OGL_CoarseLayer.h"

#include "gfx/OGL_Capabilities.h"
#include "gfx/OGL_Check.h"
#include "gfx/OGL_Names.h"

#include <GL/glext.h>
#include <cmath>

bool OGL_CoarseLayer::Allocate(int newWidth, int newHeight)
{
    if (framebuffer && newWidth == layerWidth && newHeight == layerHeight)
        return true;
    Delete();
    OGL_DrainErrors();
    GLint previousTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousTexture);
    colour = OGL_Names::GenTexture();
    glBindTexture(GL_TEXTURE_2D, colour);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, newWidth, newHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousTexture));
    depthStencil = OGL_Names::GenRenderbuffer();
    glBindRenderbuffer(GL_RENDERBUFFER, depthStencil);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, newWidth, newHeight);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    framebuffer = OGL_Names::GenFramebuffer();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              depthStencil);
    const bool complete =
        glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE &&
        OGL_DrainErrors() == 0;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(previousDraw));
    if (!complete)
    {
        Delete();
        return false;
    }
    layerWidth = newWidth;
    layerHeight = newHeight;
    return true;
}

bool OGL_CoarseLayer::Begin(int newDivisor)
{
    glGetIntegerv(GL_VIEWPORT, viewport);
    width = viewport[2];
    height = viewport[3];
    divisor = newDivisor;
    if (refused || divisor < 2 || width < divisor || height < divisor ||
        !OGL_Capabilities::Query().framebufferObjects)
        return false;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousDraw);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previousRead);
    if (!Allocate((width + divisor - 1) / divisor, (height + divisor - 1) / divisor))
    {
        refused = true;
        return false;
    }

    // The window's depth, scaled down, so that what the layer draws hides behind what the
    // window holds as it would there. A window whose depth format differs from the layer's
    // cannot be copied; then the caller draws at full resolution from now on.
    OGL_DrainErrors();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previousDraw));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    glBlitFramebuffer(viewport[0], viewport[1], viewport[0] + width, viewport[1] + height, 0, 0,
                      layerWidth, layerHeight, GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    if (OGL_DrainErrors() > 0)
    {
        refused = true;
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(previousDraw));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previousRead));
        return false;
    }
    glViewport(0, 0, layerWidth, layerHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // Colour as the window would blend it; coverage accumulated so that the layer stays
    // premultiplied: alpha = a + alpha × (1 − a).
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    // Textures read at the level of detail the window's resolution would read: a level
    // coarser, and their colours would shift where a level averages in its transparent texels.
    glTexEnvf(GL_TEXTURE_FILTER_CONTROL, GL_TEXTURE_LOD_BIAS, -std::log2(float(divisor)));
    return true;
}

void OGL_CoarseLayer::End()
{
    glTexEnvf(GL_TEXTURE_FILTER_CONTROL, GL_TEXTURE_LOD_BIAS, 0.0f);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(previousDraw));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previousRead));
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);

    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(viewport[0], viewport[0] + width, viewport[1], viewport[1] + height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, colour);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    // The layer's last row and column may reach past the window when its size is odd.
    const float x0 = static_cast<float>(viewport[0]);
    const float y0 = static_cast<float>(viewport[1]);
    const float x1 = x0 + static_cast<float>(width);
    const float y1 = y0 + static_cast<float>(height);
    const float s = static_cast<float>(width) / static_cast<float>(layerWidth * divisor);
    const float t = static_cast<float>(height) / static_cast<float>(layerHeight * divisor);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(x0, y0);
    glTexCoord2f(s, 0.0f);
    glVertex2f(x1, y0);
    glTexCoord2f(s, t);
    glVertex2f(x1, y1);
    glTexCoord2f(0.0f, t);
    glVertex2f(x0, y1);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
    GL_CHECK(glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA));
}

void OGL_CoarseLayer::Delete()
{
    OGL_Names::DeleteFramebuffer(framebuffer);
    OGL_Names::DeleteRenderbuffer(depthStencil);
    OGL_Names::DeleteTexture(colour);
    layerWidth = 0;
    layerHeight = 0;
}
