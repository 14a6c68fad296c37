#include "gfx/OGL_FrameCopy.h"

#include "gfx/OGL_Capabilities.h"
#include "gfx/OGL_Check.h"
#include "gfx/OGL_Names.h"

namespace
{
int PowerOfTwoAtLeast(int value)
{
    int power = 1;
    while (power < value)
        power *= 2;
    return power;
}
} // namespace

bool OGL_FrameCopy::Keep(int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    if (!texture)
        texture = OGL_Names::GenTexture();
    glBindTexture(GL_TEXTURE_2D, texture);
    if (width > textureWidth || height > textureHeight)
    {
        // Pixels are copied and shown one for one, so the texture needs no filtering or
        // mipmaps; sides of the window's own size where the driver takes them.
        const bool anySize = OGL_Capabilities::Query().nonPowerOfTwo;
        textureWidth = anySize ? width : PowerOfTwoAtLeast(width);
        textureHeight = anySize ? height : PowerOfTwoAtLeast(height);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, textureWidth, textureHeight, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
    }
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    return glGetError() == GL_NO_ERROR;
}

void OGL_FrameCopy::Show(int width, int height) const
{
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    // The texels as they are, alpha included: the window gets back what the pass left in it.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const float s = textureWidth > 0 ? w / static_cast<float>(textureWidth) : 0.0f;
    const float t = textureHeight > 0 ? h / static_cast<float>(textureHeight) : 0.0f;
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(s, 0.0f);
    glVertex2f(w, 0.0f);
    glTexCoord2f(s, t);
    glVertex2f(w, h);
    glTexCoord2f(0.0f, t);
    glVertex2f(0.0f, h);
    glEnd();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    // What the globe pass leaves behind.
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    GL_CHECK(glColor3f(1.0f, 1.0f, 1.0f));
}

void OGL_FrameCopy::Delete()
{
    OGL_Names::DeleteTexture(texture);
    textureWidth = textureHeight = 0;
}
