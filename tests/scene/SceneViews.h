#pragma once

#include "gfx/GFX_HalvaneCamera.h"
#include "gfx/OGL_Texture2D.h"
#include "gfx/OGL_Wrapper.h"
#include "scene/GFX_Globe.h"

#include "support/GLTestFixture.h"
#include "support/ImageFiles.h"
#include "support/TempDir.h"
#include "support/TestSceneOwner.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <memory>
#include <string>

// Views and resources for the scene-object GL tests: the main scene's perspective camera, a flat
// view straight down −z for measuring in pixels, the billboard axes as the main scene takes them
// from the screen, and textures made from picture bytes on the fly.
namespace SceneViews
{
constexpr int Width = GLTest::Width;
constexpr int Height = GLTest::Height;

inline void ClearFrame()
{
    glViewport(0, 0, Width, Height);
    glClearColor(0, 0, 0, 1);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// The main scene's projection and camera (see GFX_GlobeView) at the given heading and pitch
// (degrees).
inline void GlobeCamera(float heading, float pitch)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(GFX_GlobeView::FieldOfView, double(Width) / Height, GFX_GlobeView::NearPlane,
                   GFX_GlobeView::FarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    GFX_HalvaneCamera camera;
    GFX_GlobeView::SetUpCamera(camera);
    camera.SetHeading(heading);
    camera.SetPitch(pitch);
    camera.Update();
    camera.Apply();
}

// A flat view down −z: `centre` lands in the middle of the window, and one scene unit spans
// `pixelsPerUnit` pixels.
inline void FlatView(const GFX_Vector3& centre, float pixelsPerUnit)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, Width, 0, Height, -20000, 20000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(Width / 2.0f, Height / 2.0f, 0);
    glScalef(pixelsPerUnit, pixelsPerUnit, pixelsPerUnit);
    glTranslatef(-centre.x, -centre.y, -centre.z);
}

// The world-space directions of the screen's up and right, as the main scene derives them for
// its billboards every frame.
inline void ScreenAxes(GFX_Vector3& up, GFX_Vector3& right)
{
    OGL_Wrapper wrapper;
    GFX_Vector3 middle, top, side;
    wrapper.Unproject({Width / 2.0f, Height / 2.0f, 0}, middle);
    wrapper.Unproject({Width / 2.0f, float(Height), 0}, top);
    wrapper.Unproject({float(Width), Height / 2.0f, 0}, side);
    up = top.Minus(middle).Normalize();
    right = side.Minus(middle).Normalize();
}

inline GFX_Vector3 ToWindow(const GFX_Vector3& point)
{
    GFX_Vector3 window;
    OGL_Wrapper().Project(point, window);
    return window;
}

// A texture as the main scene makes its interface textures, from picture bytes.
inline std::unique_ptr<OGL_Texture2D> MakeTexture(const TempDir& dir, const std::string& name,
                                                  const std::string& tga)
{
    auto texture = std::make_unique<OGL_Texture2D>();
    texture->LoadImage(dir.Write(name, tga));
    texture->SetWrap(GL_CLAMP_TO_EDGE);
    texture->Create();
    return texture;
}

// A dot picture: an opaque white disc of `radius` texels in the middle of a transparent 32 × 32
// square.
inline std::string DiscDot(float radius)
{
    return MakeTgaRgba(32, 32,
                       [radius](int x, int y)
                       {
                           const float dx = x + 0.5f - 16, dy = y + 0.5f - 16;
                           const unsigned char a = dx * dx + dy * dy < radius * radius ? 255 : 0;
                           return std::array<unsigned char, 4>{255, 255, 255, a};
                       });
}

// A GL test of locators: a white label texture in the tests' scene owner.
class LabelGLTest : public GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        labelTexture = MakeTexture(dir, "locator.tga", MakeTga(8, 8, 255, 255, 255));
        owner.locatorTexture = labelTexture.get();
    }

    TempDir dir;
    std::unique_ptr<OGL_Texture2D> labelTexture;
    TestSceneOwner owner;
};
} // namespace SceneViews
