#define GL_GLEXT_PROTOTYPES 1
#include "gfx/GFX_BallSprites.h"

#include "gfx/GFX_ColorBall.h"
#include "gfx/OGL_Capabilities.h"
#include "gfx/OGL_Names.h"
#include "gfx/OGL_Texture2D.h"

#include <GL/glext.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace
{
// The half width of the picture in ball radii.
constexpr float ImageExtent = GFX_BallSprites::ImageSize * 0.5f / GFX_BallSprites::ImageBallRadius;
// The sprite's disc is where the picture is more than half opaque.
constexpr float OpaqueAlpha = 0.5f;
// A ball whose centre is nearer the eye than this many radii takes the mesh.
constexpr float NearestSprite = 2.0f;

} // namespace

GFX_BallSprites::GFX_BallSprites() = default;
GFX_BallSprites::~GFX_BallSprites() = default;

float GFX_BallSprites::ProjectedRadius(float distance, float radius, float focal)
{
    const float tangentSquared = distance * distance - radius * radius;
    if (tangentSquared <= 0.0f)
        return std::numeric_limits<float>::infinity();
    return focal * radius / std::sqrt(tangentSquared);
}

std::array<float, 32> GFX_BallSprites::LightingKey() const
{
    std::array<float, 32> key{};
    glGetLightfv(GL_LIGHT0, GL_POSITION, &key[0]);
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, &key[4]);
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, &key[8]);
    glGetLightfv(GL_LIGHT0, GL_SPECULAR, &key[12]);
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, &key[16]);
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, &key[20]);
    glGetMaterialfv(GL_FRONT, GL_EMISSION, &key[24]);
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, &key[28]);
    // Only the light's direction counts (it is set from the eye's place every frame); the
    // direction is kept to a few decimals so that rounding does not make the picture again.
    const float length = std::sqrt(key[0] * key[0] + key[1] * key[1] + key[2] * key[2]);
    for (int i = 0; i < 3 && length > 0.0f; ++i)
        key[i] = std::round(key[i] / length * 10000.0f);
    return key;
}

bool GFX_BallSprites::Begin(GFX_ColorBall* ball, OGL_Texture2D* ballTexture, float modelRadius,
                            float ballRadius, const GFX_Vector3& newUp)
{
    quads.Clear();
    active = false;
    if (!ball || unsupported || modelRadius <= 0.0f || ballRadius <= 0.0f)
        return false;

    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    float projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    focal = projection[5] * 0.5f * float(viewport[3]);
    up = newUp;
    // The eye in the world: the modelview's translation taken back through its rotation.
    const float* m = modelview;
    eye = GFX_Vector3(-(m[0] * m[12] + m[1] * m[13] + m[2] * m[14]),
                      -(m[4] * m[12] + m[5] * m[13] + m[6] * m[14]),
                      -(m[8] * m[12] + m[9] * m[13] + m[10] * m[14]));

    if (ballTexture)
        ballTexture->Bind();
    const std::array<float, 32> key = LightingKey();
    const GLuint textureName = ballTexture ? ballTexture->GetName() : 0;
    if (!made || key != madeKey || madeBall != ball || madeRadius != ballRadius ||
        madeTexture != textureName)
    {
        madeTexture = textureName;
        made = MakeImage(*ball, ballTexture, modelRadius, ballRadius);
        madeKey = key;
        madeBall = ball;
        madeRadius = ballRadius;
    }
    active = made;
    return active;
}

bool GFX_BallSprites::MakeImage(GFX_ColorBall& ball, OGL_Texture2D* ballTexture, float modelRadius,
                                float ballRadius)
{
    // The model is scaled as each locator scales it, normals included: the lit colour then
    // comes out as bright as on the mesh, and it may exceed the colour itself. The picture is
    // drawn darker by a power of two that the texture stage multiplies back.
    const float scale = std::max(ballRadius / modelRadius, 0.01f);
    const float brightening = 1.0f / scale;
    rgbScale = brightening <= 1.0f ? 1.0f : brightening <= 2.0f ? 2.0f : 4.0f;
    if (brightening > 4.0f)
        return false;

    if (framebuffer == 0)
    {
        if (!OGL_Capabilities::Query().framebufferObjects)
        {
            unsupported = true;
            return false;
        }
        texture = OGL_Names::GenTexture();
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, ImageSize, ImageSize, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     nullptr);
        depthbuffer = OGL_Names::GenRenderbuffer();
        glBindRenderbuffer(GL_RENDERBUFFER, depthbuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, ImageSize, ImageSize);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
    }

    GLint drawnFramebuffer = 0;
    GLint readFramebuffer = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawnFramebuffer);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    if (framebuffer == 0)
        framebuffer = OGL_Names::GenFramebuffer();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthbuffer);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;

    if (complete)
    {
        glPushAttrib(GL_ENABLE_BIT | GL_VIEWPORT_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT |
                     GL_CURRENT_BIT | GL_TEXTURE_BIT | GL_SCISSOR_BIT);
        glViewport(0, 0, ImageSize, ImageSize);
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClearDepth(1.0);
        glDepthMask(GL_TRUE);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_FOG);
        glDisable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glEnable(GL_LIGHTING);
        glEnable(GL_TEXTURE_2D);
        if (ballTexture)
            ballTexture->Bind();

        // The light stays where the frame put it, in eye space: the ball is seen along the
        // viewing axis, as the balls near the middle of the view are.
        const float extent = ballRadius * ImageExtent;
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(-extent, extent, -extent, extent, -4.0f * extent, 4.0f * extent);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glScalef(scale, scale, scale);
        const float brightness = 1.0f / rgbScale;
        glColor4f(brightness, brightness, brightness, 1.0f);
        ball.DrawImmediate();
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopAttrib();
    }
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(drawnFramebuffer));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(readFramebuffer));
    if (!complete)
    {
        unsupported = true;
        return false;
    }

    GLint boundTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, GLuint(boundTexture));
    return true;
}

bool GFX_BallSprites::Add(const GFX_Vector3& centre, float radius, const GFX_Vector3& color)
{
    if (!active || radius != madeRadius)
        return false;
    const float* m = modelview;
    const float eyeX = m[0] * centre.x + m[4] * centre.y + m[8] * centre.z + m[12];
    const float eyeY = m[1] * centre.x + m[5] * centre.y + m[9] * centre.z + m[13];
    const float eyeZ = m[2] * centre.x + m[6] * centre.y + m[10] * centre.z + m[14];
    const float depth = -eyeZ;
    if (depth < NearestSprite * radius)
        return false;
    const float distance = std::sqrt(eyeX * eyeX + eyeY * eyeY + eyeZ * eyeZ);
    if (ProjectedRadius(distance, radius, focal) > MaxSpriteRadius)
        return false;

    // The square in the plane that touches the ball where it is nearest the eye, facing the
    // eye: the ball's outline is a cone from the eye that the square's disc fills, so the sprite
    // covers what the ball covers, off the middle of the view too, and the ball lies wholly
    // behind it.
    const GFX_Vector3 towardsEye = eye.Minus(centre).Scale(1.0f / distance);
    const float half = (distance - radius) * radius /
                       std::sqrt(distance * distance - radius * radius) * ImageExtent;
    const GFX_Vector3 front = centre.Plus(towardsEye.Times(radius));
    GFX_Vector3 across = up.Cross(towardsEye);
    across.Normalize();
    const GFX_Vector3 along = towardsEye.Cross(across).Scale(half);
    across.Scale(half);
    const GFX_Vector3 corners[4] = {front.Minus(across).Sub(along), front.Plus(across).Sub(along),
                                    front.Plus(across).Add(along), front.Minus(across).Add(along)};
    quads.Add(corners, 0.0f, 0.0f, 1.0f, 1.0f, color);
    return true;
}

void GFX_BallSprites::Draw()
{
    if (!active || quads.IsEmpty())
    {
        quads.Clear();
        return;
    }
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    // The ball's colour times the picture, brought back to full brightness.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_PRIMARY_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB, GL_SRC_COLOR);
    glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE, rgbScale);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA, GL_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, OpaqueAlpha);
    quads.Draw();
    glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE, 1.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPopAttrib();
    quads.Clear();
}

void GFX_BallSprites::Delete()
{
    OGL_Names::DeleteFramebuffer(framebuffer);
    OGL_Names::DeleteRenderbuffer(depthbuffer);
    OGL_Names::DeleteTexture(texture);
    made = false;
}
