#include "gfx/OGL_Texture2D.h"

bool OGL_FormatsForBitsPerPixel(int bitsPerPixel, GLint& internalFormat, GLenum& pixelFormat)
{
    switch (bitsPerPixel)
    {
    case 8:
        internalFormat = GL_LUMINANCE;
        pixelFormat = GL_LUMINANCE;
        return true;
    case 16:
        internalFormat = GL_LUMINANCE_ALPHA;
        pixelFormat = GL_LUMINANCE_ALPHA;
        return true;
    case 24:
        internalFormat = GL_RGB8;
        pixelFormat = GL_RGB;
        return true;
    case 32:
        internalFormat = GL_RGBA8;
        pixelFormat = GL_RGBA;
        return true;
    default:
        return false;
    }
}

OGL_Texture2D::OGL_Texture2D()
{
    mipmaps = true;
    minFilter = GL_LINEAR_MIPMAP_LINEAR;
}

OGL_Texture2D::~OGL_Texture2D() = default;

bool OGL_Texture2D::LoadImage(const std::string& path)
{
    image = std::make_unique<GFX_Image>(path);
    OGL_FormatsForBitsPerPixel(image->GetBitsPerPixel(), internalFormat, pixelFormat);
    return image->HasPixels();
}

void OGL_Texture2D::Create()
{
    CreateFrom(image.get(), internalFormat, pixelFormat);
}
