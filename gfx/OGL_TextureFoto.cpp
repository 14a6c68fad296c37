#include "gfx/OGL_TextureFoto.h"

#include "gfx/OGL_Capabilities.h"
#include "gfx/OGL_Texture2D.h"

#include <GL/glext.h>

namespace
{
// Slack for comparing a scaled picture with its quad, so that rounding never crops a picture
// that fits exactly.
constexpr float FitTolerance = 0.1f;
} // namespace

OGL_TextureFoto::OGL_TextureFoto()
{
    SetMode(ModeFor(OGL_Capabilities::Query()));
}

OGL_TextureFoto::OGL_TextureFoto(Mode mode)
{
    SetMode(mode);
}

OGL_TextureFoto::~OGL_TextureFoto() = default;

OGL_TextureFoto::Mode OGL_TextureFoto::ModeFor(const OGL_Capabilities& gl)
{
    if (gl.nonPowerOfTwo)
        return NonPowerOfTwo;
    return gl.textureRectangle ? Rectangle : Plain;
}

OGL_TextureFoto::Mode OGL_TextureFoto::ModeForExtensions(const char* extensions)
{
    return ModeFor(OGL_Capabilities::FromStrings(nullptr, nullptr, extensions));
}

void OGL_TextureFoto::SetMode(Mode newMode)
{
    mode = newMode;
    if (mode == Rectangle)
    {
        // Rectangle textures have no mipmaps.
        target = GL_TEXTURE_RECTANGLE;
        mipmaps = false;
        minFilter = GL_LINEAR;
        magFilter = GL_LINEAR;
    }
    else
    {
        target = GL_TEXTURE_2D;
        mipmaps = true;
        minFilter = GL_LINEAR_MIPMAP_LINEAR;
    }
}

void OGL_TextureFoto::Bind()
{
    OGL_Texture::Bind();
}

void OGL_TextureFoto::Create()
{
    CreateFrom(image.get(), internalFormat, pixelFormat);
}

void OGL_TextureFoto::Enable()
{
    glEnable(target);
}

void OGL_TextureFoto::Disable()
{
    glDisable(target);
}

bool OGL_TextureFoto::LoadImage(const std::string& picturePath)
{
    image = std::make_unique<GFX_Image>(picturePath);
    path = picturePath;
    width = image->GetWidth();
    height = image->GetHeight();
    atlasPage = 0;
    OGL_FormatsForBitsPerPixel(image->GetBitsPerPixel(), internalFormat, pixelFormat);
    return image->HasPixels();
}

void OGL_TextureFoto::ClearImage()
{
    image = std::make_unique<GFX_Image>();
    width = 0;
    height = 0;
    atlasPage = 0;
}

void OGL_TextureFoto::MoveToAtlas(GLuint page, const TexRect& cell)
{
    Delete();
    image = std::make_unique<GFX_Image>();
    atlasPage = page;
    atlasCell = cell;
}

void OGL_TextureFoto::BindPicture()
{
    if (atlasPage != 0)
        glBindTexture(GL_TEXTURE_2D, atlasPage);
    else
        Bind();
}

void OGL_TextureFoto::ScaleImageDown(int32_t maxSide)
{
    if (image)
        image->ScaleDown(maxSide);
}

OGL_TextureFoto::TexRect OGL_TextureFoto::CoverFit(float imageWidth, float imageHeight,
                                                   float quadWidth, float quadHeight)
{
    if (imageWidth <= 0 || imageHeight <= 0)
        return {0, 0, 1, 1};
    // Scale to the quad's width; if the picture then falls short of the quad's height, scale to
    // the height instead, so the picture covers the quad in both directions.
    float k = quadWidth / imageWidth;
    float scaledWidth = imageWidth * k;
    float scaledHeight = imageHeight * k;
    if (quadWidth + FitTolerance > scaledWidth && quadHeight + FitTolerance > scaledHeight)
    {
        k = quadHeight / imageHeight;
        scaledWidth = imageWidth * k;
        scaledHeight = imageHeight * k;
    }
    // The share of the picture that shows in each direction, centred.
    float fs = 1;
    float ft = 1;
    if (quadWidth + FitTolerance >= scaledWidth)
        ft = quadHeight + FitTolerance >= scaledHeight ? 1 : quadHeight / scaledHeight;
    else
        fs = quadWidth / scaledWidth;
    const float s0 = (1 - fs) / 2;
    const float t0 = (1 - ft) / 2;
    return {s0, t0, s0 + fs, t0 + ft};
}

OGL_TextureFoto::Rect OGL_TextureFoto::ContainFit(float imageWidth, float imageHeight, float left,
                                                  float right, float top, float bottom)
{
    if (imageWidth <= 0 || imageHeight <= 0)
        return {left, right, top, bottom};
    const float w = right - left;
    const float h = top - bottom;
    float k = w / imageWidth;
    if (imageHeight * k > h + FitTolerance || imageWidth * k > w + FitTolerance)
        k = h / imageHeight;
    const float halfWidth = imageWidth * k / 2;
    const float halfHeight = imageHeight * k / 2;
    const float centreX = (left + right) / 2;
    const float centreY = (top + bottom) / 2;
    return {centreX - halfWidth, centreX + halfWidth, centreY + halfHeight, centreY - halfHeight};
}

OGL_TextureFoto::TexRect OGL_TextureFoto::PictureCoords(const TexRect& fractions) const
{
    if (atlasPage != 0)
    {
        const float w = atlasCell.s1 - atlasCell.s0;
        const float h = atlasCell.t1 - atlasCell.t0;
        return {atlasCell.s0 + fractions.s0 * w, atlasCell.t0 + fractions.t0 * h,
                atlasCell.s0 + fractions.s1 * w, atlasCell.t0 + fractions.t1 * h};
    }
    if (mode != Rectangle)
        return fractions;
    // Rectangle textures are addressed in texels.
    const float w = float(width);
    const float h = float(height);
    return {fractions.s0 * w, fractions.t0 * h, fractions.s1 * w, fractions.t1 * h};
}

void OGL_TextureFoto::DrawTexturedQuad(const GFX_Vector3& bottomLeft,
                                       const GFX_Vector3& bottomRight, const GFX_Vector3& topRight,
                                       const GFX_Vector3& topLeft, const TexRect& fractions)
{
    // A picture that failed to load draws nothing rather than a quad in whatever texture
    // happens to be bound.
    if (!HasPicture())
        return;
    const TexRect tc = PictureCoords(fractions);
    const GLenum drawTarget = GetPictureTarget();
    glDisable(GL_LIGHTING);
    glEnable(drawTarget);
    BindPicture();
    glBegin(GL_QUADS);
    glTexCoord2f(tc.s0, tc.t0);
    glVertex3fv(bottomLeft.Data());
    glTexCoord2f(tc.s1, tc.t0);
    glVertex3fv(bottomRight.Data());
    glTexCoord2f(tc.s1, tc.t1);
    glVertex3fv(topRight.Data());
    glTexCoord2f(tc.s0, tc.t1);
    glVertex3fv(topLeft.Data());
    glEnd();
    glDisable(drawTarget);
    glEnable(GL_LIGHTING);
}

void OGL_TextureFoto::DrawQuad(const GFX_Vector3& bottomLeft, const GFX_Vector3& bottomRight,
                               const GFX_Vector3& topRight, const GFX_Vector3& topLeft)
{
    DrawTexturedQuad(bottomLeft, bottomRight, topRight, topLeft, {0, 0, 1, 1});
}

void OGL_TextureFoto::DrawQuadCropped(const GFX_Vector3& bottomLeft, const GFX_Vector3& bottomRight,
                                      const GFX_Vector3& topRight, const GFX_Vector3& topLeft,
                                      float quadWidth, float quadHeight)
{
    if (!image)
        return;
    const TexRect fractions = CoverFit(float(width), float(height), quadWidth, quadHeight);
    DrawTexturedQuad(bottomLeft, bottomRight, topRight, topLeft, fractions);
}

void OGL_TextureFoto::DrawFitted(float left, float right, float top, float bottom)
{
    if (!image)
        return;
    const Rect quad = ContainFit(float(width), float(height), left, right, top, bottom);
    DrawQuad({quad.left, quad.bottom, 0}, {quad.right, quad.bottom, 0}, {quad.right, quad.top, 0},
             {quad.left, quad.top, 0});
}

void OGL_TextureFoto::DrawFilled(float left, float right, float top, float bottom)
{
    DrawQuadCropped({left, bottom, 0}, {right, bottom, 0}, {right, top, 0}, {left, top, 0},
                    right - left, top - bottom);
}
