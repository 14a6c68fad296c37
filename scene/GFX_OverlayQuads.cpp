#include "scene/GFX_OverlayQuads.h"

#include "gfx/OGL_Texture2D.h"

#include <GL/gl.h>

GFX_OverlayQuads::GFX_OverlayQuads(OGL_Texture2D* texture)
{
    // Bind creates the GL object at first use; a texture without a picture keeps name 0 and
    // binds nothing, which would leave the previous element's texture on this one.
    if (texture)
        texture->Bind();
    if (texture && texture->GetName() != 0)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glBegin(GL_QUADS);
}

GFX_OverlayQuads::~GFX_OverlayQuads()
{
    glEnd();
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
}

void GFX_OverlayQuads::SetColor(const GFX_ColorRGBA& color)
{
    glColor4f(color.r, color.g, color.b, color.a);
}

void GFX_OverlayQuads::Add(const GFX_Rect& rect)
{
    const GFX_Vector3 corners[4] = {{rect.left, rect.bottom, 0.0f},
                                    {rect.right, rect.bottom, 0.0f},
                                    {rect.right, rect.top, 0.0f},
                                    {rect.left, rect.top, 0.0f}};
    Add(corners);
}

void GFX_OverlayQuads::Add(const GFX_Vector3 corners[4])
{
    static const float texCoords[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    for (int i = 0; i < 4; ++i)
    {
        glTexCoord2fv(texCoords[i]);
        glVertex3fv(corners[i].Data());
    }
}

bool GFX_LoadOverlayTexture(std::unique_ptr<OGL_Texture2D>& texture, const std::string& path)
{
    if (texture)
        texture->Delete();
    texture = std::make_unique<OGL_Texture2D>();
    const bool loaded = texture->LoadImage(path);
    texture->SetWrap(GL_REPEAT);
    texture->Create();
    return loaded;
}
