#pragma once

#include "gfx/GFX_QuadArray.h"
#include "gfx/GFX_Vector3.h"

#include <GL/gl.h>

#include <array>

class GFX_ColorBall;
class OGL_Texture2D;

// Locator balls that are small on screen, drawn as camera-facing sprites of one pre-lit ball.
//
// The ball picture is made by drawing the shared ball model, textured and lit by the frame's
// light and material, once into a texture of its own (an orthographic view along the viewing
// axis, where the scene's light comes from), and made again whenever the light, the material,
// the ball texture or the ball's size changes. The lit colour of a ball is its colour times a
// shading that is the same for every ball, so one picture, drawn at a fraction of full
// brightness and scaled back by the texture stage, serves every colour.
//
// Each sprite is a square facing the eye in the plane that touches the ball at its nearest
// point, so that it shows where the ball shows and its depth lies in front of every point of the
// ball: whatever the ball would hide, its sprite hides too. Its opaque disc alone writes depth
// (alpha test). A ball larger on screen than MaxSpriteRadius pixels, or too close to the eye, is
// left to the mesh.
//
// GL thread only, except ProjectedRadius. Its GL names are released by Delete, by the rule of
// WGL_Context.h.
class GFX_BallSprites
{
public:
    // The ball picture: ImageSize texels square, the ball ImageBallRadius texels in radius.
    static constexpr int ImageSize = 64;
    static constexpr float ImageBallRadius = 30.0f;
    // Above this radius in pixels a ball takes the mesh: there its 20-sided outline and its
    // shading, interpolated between vertices a few pixels apart, start to differ visibly from
    // the picture's round disc, and the picture would be magnified.
    static constexpr float MaxSpriteRadius = 16.0f;

    GFX_BallSprites();
    ~GFX_BallSprites();

    GFX_BallSprites(const GFX_BallSprites&) = delete;
    GFX_BallSprites& operator=(const GFX_BallSprites&) = delete;

    // Starts a frame with the camera's matrices in force: reads them and the viewport, takes
    // the view's up axis (the sprites turn from it to face the eye), and makes the picture of
    // `ball` (its model radius modelRadius drawn as a ball of ballRadius) when it is missing or out
    // of date. Returns false when this frame has no sprites (no model, no framebuffer objects, a
    // size the texture stage cannot scale back); every ball then takes the mesh. The picture is
    // drawn off screen, in a framebuffer object of its own, so the frame's pixels stay as they are.
    bool Begin(GFX_ColorBall* ball, OGL_Texture2D* ballTexture, float modelRadius, float ballRadius,
               const GFX_Vector3& up);
    // Queues the sprite of a ball of `radius` at `centre` in `color`; false when the ball takes
    // the mesh (sprites off this frame, another size, large on screen, near the eye).
    bool Add(const GFX_Vector3& centre, float radius, const GFX_Vector3& color);
    // Draws every queued sprite in one call and empties the queue. Leaves the GL state it found.
    void Draw();
    size_t CountQueued() const { return quads.CountQuads(); }

    void Delete();

    // The radius in pixels of a ball of `radius` whose centre is `distance` from the eye, with
    // `focal` pixels per unit of the tangent of the viewing angle: its outline's half angle is
    // asin(radius / distance). Infinite where the eye is inside or on the ball.
    static float ProjectedRadius(float distance, float radius, float focal);

private:
    bool MakeImage(GFX_ColorBall& ball, OGL_Texture2D* ballTexture, float modelRadius,
                   float ballRadius);
    // What the picture was made from: the light and the material.
    std::array<float, 32> LightingKey() const;

    GLuint texture = 0;
    GLuint framebuffer = 0;
    GLuint depthbuffer = 0;
    bool unsupported = false;
    bool active = false;
    bool made = false;
    std::array<float, 32> madeKey{};
    const GFX_ColorBall* madeBall = nullptr;
    GLuint madeTexture = 0;
    float madeRadius = 0.0f;
    // 1, 2 or 4: the picture is drawn at 1 / rgbScale of full brightness.
    float rgbScale = 1.0f;

    float modelview[16] = {};
    float focal = 1.0f;
    GFX_Vector3 up;
    GFX_Vector3 eye;
    GFX_QuadArray quads;
};
