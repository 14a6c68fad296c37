#include "scene/GFX_Widget.h"
#include "scene/GFX_WidgetNavigationDial.h"
#include "scene/GFX_WidgetRoundButton.h"

#include "OverlayPass.h"
#include "support/GLTestFixture.h"
#include "support/ImageFiles.h"
#include "support/TempDir.h"
#include "support/TestSceneOwner.h"

#include <GL/gl.h>

namespace
{
const GLTest::Pixel Black{0, 0, 0, 255};
const GLTest::Pixel White{255, 255, 255, 255};
// (0.7, 0.9, 1): the default theme's selected colours.
const GLTest::Pixel LightBlue{178, 229, 255, 255};

// Records what the dial hands over when it asks for its globe.
class GlobeRecordingOwner : public TestSceneOwner
{
public:
    void DrawNavigationGlobe() override
    {
        TestSceneOwner::DrawNavigationGlobe();
        glGetFloatv(GL_CURRENT_COLOR, color);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    }
    // Where the globe's point p lands in the view.
    void Transform(const float p[3], float out[3]) const
    {
        for (int row = 0; row < 3; ++row)
            out[row] = modelView[row] * p[0] + modelView[4 + row] * p[1] +
                       modelView[8 + row] * p[2] + modelView[12 + row];
    }

    float color[4] = {};
    float modelView[16] = {};
};
} // namespace

using GFX_WidgetGLTest = GLTest;

TEST_F(GFX_WidgetGLTest, DrawsItsColourOverItsRectangleAndLeavesTheStateItPromises)
{
    BeginOverlayPass(Width, Height);
    const float view[2] = {float(Width), float(Height)};
    GFX_Widget widget(view, -110, -60, 100, 50, GFX_Anchor::TopRight, {0, 1, 0, 1});
    widget.Draw();
    EXPECT_PRED3(Near, ReadPixel(700, 550), (Pixel{0, 255, 0, 255}), 2);
    EXPECT_PRED3(Near, ReadPixel(789, 589), (Pixel{0, 255, 0, 255}), 2);
    EXPECT_PRED3(Near, ReadPixel(689, 550), Black, 0);
    EXPECT_PRED3(Near, ReadPixel(791, 591), Black, 0);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GFX_WidgetGLTest, ATextureTintedByTheColourAndAMissingOneDrawsUntextured)
{
    TempDir dir;
    const std::string red = dir.Write("red.tga", MakeTga(4, 4, 255, 0, 0));
    BeginOverlayPass(Width, Height);

    GFX_Widget textured(nullptr, 100, 100, 50, 50, GFX_Anchor::BottomLeft, {1, 1, 1, 1});
    EXPECT_TRUE(textured.LoadTexture(red));
    textured.Draw();
    EXPECT_PRED3(Near, ReadPixel(125, 125), (Pixel{255, 0, 0, 255}), 2);

    // The red texture is still bound: a widget whose picture could not be read must not take it.
    GFX_Widget missing(nullptr, 300, 100, 50, 50, GFX_Anchor::BottomLeft, {1, 1, 1, 1});
    EXPECT_FALSE(missing.LoadTexture(dir.Path() + "/no such file.tga"));
    ASSERT_NE(missing.GetTexture(), nullptr);
    missing.Draw();
    EXPECT_PRED3(Near, ReadPixel(325, 125), White, 2);
}

TEST_F(GFX_WidgetGLTest, RotationButtonsShowTheThemeAndLightUpWhenOn)
{
    TestSceneOwner owner;
    const GFX_ColorRGBA white{1, 1, 1, 1};
    GFX_WidgetRoundButton west(&owner, owner.viewportSize, 1, 1, 28, 28, GFX_Anchor::BottomLeft,
                               white);
    GFX_WidgetRoundButton east(&owner, owner.viewportSize, 93, 1, 28, 28, GFX_Anchor::BottomLeft,
                               white);
    // The theme decides at the moment of drawing, whatever colour the button was made with.
    owner.theme.NavWidgetDialColor = {0.5f, 0.5f, 0.5f, 1};
    east.SetOn(true);

    BeginOverlayPass(Width, Height);
    west.Draw();
    east.Draw();
    EXPECT_PRED3(Near, ReadPixel(15, 15), (Pixel{128, 128, 128, 255}), 2);
    EXPECT_PRED3(Near, ReadPixel(107, 15), LightBlue, 2);

    // Pressed and dragged off: halfway between the two.
    east.SetOn(false);
    ASSERT_TRUE(east.MouseDown(107, 15));
    east.MouseMove(300, 300);
    east.Draw();
    EXPECT_PRED3(Near, ReadPixel(107, 15), (Pixel{153, 178, 191, 255}), 2);
}

TEST_F(GFX_WidgetGLTest, TheDialQuadTurnsWithTheLongitudeAndTheGlobeSitsOnItsCentre)
{
    GlobeRecordingOwner owner;
    owner.theme.NavWidgetDialColor = {0, 1, 0, 1};
    owner.theme.NavWidgetGlobeColor = {0.25f, 0.5f, 0.75f, 1};
    GFX_WidgetNavigationDial dial(&owner, owner.viewportSize, 5, 5, 112, 112,
                                  GFX_Anchor::BottomLeft, {1, 1, 1, 1});

    const Pixel green{0, 255, 0, 255};
    BeginOverlayPass(Width, Height);
    dial.Draw();
    EXPECT_PRED3(Near, ReadPixel(10, 10), green, 2) << "unturned: the corners are covered";
    EXPECT_PRED3(Near, ReadPixel(61, 125), Black, 0);

    // Turned by 45 degrees the square stands on a corner: the old corners are empty and the
    // tips reach 79 pixels out from the centre (61, 61).
    dial.SetLongitude(45);
    dial.SetLatitude(30);
    BeginOverlayPass(Width, Height);
    dial.Draw();
    EXPECT_PRED3(Near, ReadPixel(10, 10), Black, 0);
    EXPECT_PRED3(Near, ReadPixel(112, 112), Black, 0);
    EXPECT_PRED3(Near, ReadPixel(61, 135), green, 2);
    EXPECT_PRED3(Near, ReadPixel(135, 61), green, 2);

    EXPECT_EQ(owner.globeDraws, 2);
    EXPECT_FLOAT_EQ(owner.color[0], 0.25f);
    EXPECT_FLOAT_EQ(owner.color[2], 0.75f);
    // The globe's centre lands on the dial's centre; latitude 30 tips its north pole towards
    // the viewer, and longitude 45 turns it about its axis, which leaves the pole in place.
    const float centre[3] = {0, 0, 0}, pole[3] = {0, 40, 0};
    float at[3];
    owner.Transform(centre, at);
    EXPECT_NEAR(at[0], 61, 1e-3f);
    EXPECT_NEAR(at[1], 61, 1e-3f);
    owner.Transform(pole, at);
    EXPECT_NEAR(at[0], 61, 1e-3f);
    EXPECT_NEAR(at[1], 61 + 40 * 0.8660254f, 1e-3f);
    EXPECT_NEAR(at[2], 20, 1e-3f);

    // The matrix is restored, and dragging the globe shows its selected colour.
    float after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_FLOAT_EQ(after[12], 0);
    ASSERT_TRUE(dial.MouseDown(61, 61));
    dial.Draw();
    EXPECT_FLOAT_EQ(owner.color[0], 0.7f);
}
