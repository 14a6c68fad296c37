#pragma once

#include "gfx/GFX_Image.h"
#include "gfx/OGL_Texture.h"

#include <memory>
#include <string>

// A mipmapped GL_TEXTURE_2D made from one picture file: the interface textures and the font.
// The driver builds the mipmap levels during the upload. The picture is kept for the life of
// the texture, so the GL object can be rebuilt at any time.
//
// Threading: LoadImage does file I/O and decoding only, no GL calls, and may run on any thread
// as long as no other thread uses the texture meanwhile. Bind, Create and Delete run on the GL
// thread.
class OGL_Texture2D : public OGL_Texture
{
public:
    OGL_Texture2D();
    ~OGL_Texture2D() override;

    // Builds the GL object from the image; does nothing without an image with pixels.
    void Create() override;

    // Replaces the image with the picture at `path` and sets the formats from its bits per
    // pixel. The GL object is not touched: the next Create uploads the new picture. Returns
    // whether the picture could be read.
    bool LoadImage(const std::string& path);

    // Null until LoadImage.
    const GFX_Image* GetImage() const { return image.get(); }
    // Whether LoadImage read a picture, so that the texture has something to show.
    bool HasPixels() const { return image && image->HasPixels(); }
    GLint GetInternalFormat() const { return internalFormat; }
    GLenum GetPixelFormat() const { return pixelFormat; }

protected:
    std::unique_ptr<GFX_Image> image;
    GLint internalFormat = GL_RGB8;
    GLenum pixelFormat = GL_RGB;
};

// The upload formats for an image of `bitsPerPixel`: 8 luminance, 16 luminance-alpha, 24 RGB,
// 32 RGBA. Returns false (and leaves the formats alone) for any other depth.
bool OGL_FormatsForBitsPerPixel(int bitsPerPixel, GLint& internalFormat, GLenum& pixelFormat);
