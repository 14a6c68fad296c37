#pragma once

#include "gfx/GFX_Image.h"
#include "gfx/GFX_Vector3.h"
#include "gfx/OGL_Texture.h"

#include <memory>
#include <string>

class OGL_Capabilities;

// A downloaded picture of any size as a texture, able to draw itself on a quad either whole
// (DrawQuad, DrawFitted: the contain fit) or covering the quad with the overflow cut off
// equally on both sides (DrawQuadCropped, DrawFilled: the cover fit). Pictures whose sides are
// not powers of two are uploaded at their own size: as a mipmapped GL_TEXTURE_2D where the
// driver offers non-power-of-two textures, else as a rectangle texture, whose coordinates run
// in texels instead of 0…1.
//
// Rectangles are in the caller's units (interface pixels, origin bottom-left); corners are
// given bottom-left, bottom-right, top-right, top-left, and the picture's bottom row is at the
// bottom edge.
//
// Threading: the constructor that chooses the mode asks the GL what it offers and so runs
// on the GL thread (without a current context it falls back to Plain). LoadImage does file
// I/O and decoding only and may run on the picture worker, provided no other thread touches
// the texture until the worker hands it over. Everything else issues GL calls and runs on the
// GL thread.
class OGL_TextureFoto : public OGL_Texture
{
public:
    enum Mode : int
    {
        NonPowerOfTwo = 0, // GL_TEXTURE_2D at any size, mipmapped
        Rectangle = 1,     // GL_TEXTURE_RECTANGLE, no mipmaps, texel coordinates
        Plain = 2,         // neither extension advertised: treated like NonPowerOfTwo
    };

    // Chooses the mode by the extensions of the current context.
    OGL_TextureFoto();
    // Uses `mode` whatever the driver offers (tests, and drivers known to need it).
    explicit OGL_TextureFoto(Mode mode);
    ~OGL_TextureFoto() override;

    // The mode for an extension string (null: none advertised). First match wins:
    // "ARB_texture_non_power_of_two", then "ARB_texture_rectangle" or "NV_texture_rectangle".
    static Mode ModeForExtensions(const char* extensions);
    static Mode ModeFor(const OGL_Capabilities& gl);

    // Binds the GL object, creating it first if it does not exist yet.
    void Bind() override;
    // Builds the GL object from the image; does nothing without an image with pixels.
    void Create() override;
    // glEnable / glDisable of this texture's target.
    virtual void Enable();
    virtual void Disable();

    // Replaces the image with the picture at `path`, stores the path and sets the formats from
    // the image's bits per pixel. No GL calls. Returns whether the picture could be read.
    bool LoadImage(const std::string& path);
    // Lets the pixels go: the image becomes empty, as for a picture that could not be read, and
    // the path stays. No GL calls (an object already made from the image keeps its texels).
    void ClearImage();
    // Shrinks the image to at most maxSide texels a side (GFX_Image::ScaleDown). No GL calls;
    // meant for before the first bind, which uploads what is left.
    void ScaleImageDown(int32_t maxSide);

    // The drawing operations. Each assumes the matrices, colour and blending the caller wants;
    // it disables GL_LIGHTING, enables and binds this texture, draws one GL_QUADS quad, then
    // disables this texture's target and enables GL_LIGHTING again.
    //
    // The whole picture on the quad.
    void DrawQuad(const GFX_Vector3& bottomLeft, const GFX_Vector3& bottomRight,
                  const GFX_Vector3& topRight, const GFX_Vector3& topLeft);
    // The picture scaled to cover a quad of quadWidth × quadHeight units, cut equally on both
    // sides of the direction that overflows.
    void DrawQuadCropped(const GFX_Vector3& bottomLeft, const GFX_Vector3& bottomRight,
                         const GFX_Vector3& topRight, const GFX_Vector3& topLeft, float quadWidth,
                         float quadHeight);
    // The whole picture scaled to fit inside the rectangle, centred in it, in the plane z = 0.
    void DrawFitted(float left, float right, float top, float bottom);
    // The rectangle covered by the picture (DrawQuadCropped) in the plane z = 0.
    void DrawFilled(float left, float right, float top, float bottom);

    // Texture coordinates of the cover fit, as fractions of the picture (0…1): the picture of
    // imageWidth × imageHeight texels scaled to cover quadWidth × quadHeight.
    struct TexRect
    {
        float s0, t0, s1, t1;
    };
    static TexRect CoverFit(float imageWidth, float imageHeight, float quadWidth, float quadHeight);
    // The quad of the contain fit: the picture scaled to fit inside the rectangle, centred.
    struct Rect
    {
        float left, right, top, bottom;
    };
    static Rect ContainFit(float imageWidth, float imageHeight, float left, float right, float top,
                           float bottom);

    // The picture's size in texels, 0 × 0 without one; kept when the pixels move into an atlas
    // page.
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    // Whether there is a picture to draw: decoded pixels, or a cell of an atlas page.
    bool HasPicture() const { return atlasPage != 0 || (image && image->HasPixels()); }

    // Moves the picture into a cell of a shared page: `cell` are the page's texture coordinates
    // of the picture's edges. The decoded pixels and this texture's own GL object go (a GL call:
    // GL thread); every draw then takes the page. A later LoadImage leaves the cell again.
    void MoveToAtlas(GLuint page, const TexRect& cell);
    bool IsInAtlas() const { return atlasPage != 0; }

    // For callers that draw many pictures in one batch: the target the picture is drawn from,
    // the name of the GL object (the atlas page, or this texture's own, 0 before its first
    // bind), the bind of that object (creating this texture's own first), and the texture
    // coordinates of a part of the picture given in fractions of it.
    GLenum GetPictureTarget() const { return atlasPage != 0 ? GLenum(GL_TEXTURE_2D) : target; }
    GLuint GetPictureName() const { return atlasPage != 0 ? atlasPage : name; }
    void BindPicture();
    TexRect PictureCoords(const TexRect& fractions) const;

    Mode GetMode() const { return mode; }
    const std::string& GetPath() const { return path; }
    // Null until LoadImage.
    const GFX_Image* GetImage() const { return image.get(); }
    GLint GetInternalFormat() const { return internalFormat; }
    GLenum GetPixelFormat() const { return pixelFormat; }

private:
    void SetMode(Mode newMode);
    void DrawTexturedQuad(const GFX_Vector3& bottomLeft, const GFX_Vector3& bottomRight,
                          const GFX_Vector3& topRight, const GFX_Vector3& topLeft,
                          const TexRect& fractions);

    std::unique_ptr<GFX_Image> image;
    int width = 0;
    int height = 0;
    GLuint atlasPage = 0;
    TexRect atlasCell{0, 0, 1, 1};
    GLint internalFormat = GL_RGB8;
    GLenum pixelFormat = GL_RGB;
    Mode mode = Plain;
    std::string path;
};
