#include "gfx/OGL_Texture.h"

#include "gfx/GFX_Image.h"
#include "gfx/OGL_Names.h"

#include <GL/glext.h>

OGL_Texture::~OGL_Texture() = default;

void OGL_Texture::Bind()
{
    if (name != 0 && glIsTexture(name))
        glBindTexture(target, name);
    else
        Create();
}

GLenum OGL_Texture::Delete()
{
    if (name != 0 && glIsTexture(name))
    {
        glDeleteTextures(1, &name);
        OGL_Names::Released(OGL_Names::Texture);
        glGetError(); // clear the flag: only the state after the deletion is reported
        name = 0;
    }
    return glGetError();
}

void OGL_Texture::CreateFrom(const GFX_Image* image, GLint internalFormat, GLenum pixelFormat)
{
    if (!image || !image->HasPixels())
        return;
    if (name != 0 && glIsTexture(name))
    {
        glDeleteTextures(1, &name);
        OGL_Names::Released(OGL_Names::Texture);
    }
    glGenTextures(1, &name);
    OGL_Names::Created(OGL_Names::Texture);

    glBindTexture(target, name);
    // Rows are tightly packed whatever their width.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(target, GL_TEXTURE_WRAP_S, GLint(wrap));
    glTexParameteri(target, GL_TEXTURE_WRAP_T, GLint(wrap));
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GLint(magFilter));
    if (mipmaps)
    {
        // The driver builds the mipmap levels from level 0 during the upload.
        glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GLint(minFilter));
        glTexParameteri(target, GL_GENERATE_MIPMAP, GL_TRUE);
    }
    else
    {
        glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
    glTexImage2D(target, 0, internalFormat, image->GetWidth(), image->GetHeight(), 0, pixelFormat,
                 pixelType, image->GetPixels());
}
