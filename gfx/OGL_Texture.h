#pragma once

#include <GL/gl.h>

class GFX_Image;

// An OpenGL texture object made lazily from a picture: a texture is configured first (image,
// wrap mode, filters) and the GL object is created at its first Bind. Textures that are never
// drawn therefore cost no video memory, and a picture decoded on another thread is uploaded by
// the GL thread when it is first drawn.
//
// Threading: every operation that issues GL calls (Bind, Create, Delete and the subclasses'
// drawing) runs on the GL thread with a context current. The setters only store values.
// The destructor does not release the GL object (it may run without a context); call Delete
// on the GL thread first.
class OGL_Texture
{
public:
    OGL_Texture() = default;
    virtual ~OGL_Texture();

    OGL_Texture(const OGL_Texture&) = delete;
    OGL_Texture& operator=(const OGL_Texture&) = delete;

    // Binds the GL object to the target, creating it first if it does not exist yet.
    virtual void Bind();
    // (Re)builds the GL object from the image, deleting an old one first.
    virtual void Create() = 0;
    // Releases the GL object, if any, and returns to name 0. Returns glGetError afterwards.
    virtual GLenum Delete();

    // Wrap mode for both S and T: GL_CLAMP, GL_REPEAT or GL_CLAMP_TO_EDGE. Takes effect at the
    // next Create.
    void SetWrap(GLenum mode) { wrap = mode; }
    // Filters, taking effect at the next Create. The minifying filter is used only with mipmaps.
    void SetMinFilter(GLenum filter) { minFilter = filter; }
    void SetMagFilter(GLenum filter) { magFilter = filter; }
    void SetMipmaps(bool on) { mipmaps = on; }

    GLenum GetTarget() const { return target; }
    GLenum GetPixelType() const { return pixelType; }
    // The GL object's name; 0 until the first Bind (or Create) that had an image.
    GLuint GetName() const { return name; }
    GLenum GetWrap() const { return wrap; }
    GLenum GetMinFilter() const { return minFilter; }
    GLenum GetMagFilter() const { return magFilter; }
    bool HasMipmaps() const { return mipmaps; }

protected:
    // The common Create: deletes an old object, makes a new one from `image` with the
    // configured wrap mode and filters, and leaves it bound. Nothing without pixels.
    void CreateFrom(const GFX_Image* image, GLint internalFormat, GLenum pixelFormat);

    GLenum target = GL_TEXTURE_2D;
    GLenum pixelType = GL_UNSIGNED_BYTE;
    GLuint name = 0;
    GLenum wrap = GL_CLAMP;
    GLenum minFilter = GL_LINEAR;
    GLenum magFilter = GL_LINEAR;
    bool mipmaps = false;
};
