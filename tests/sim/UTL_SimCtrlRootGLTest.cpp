#include "sim/UTL_SimCtrlRoot.h"

#include "support/GLTestFixture.h"

#include <GL/gl.h>

using UTL_SimCtrlRootGLTest = GLTest;

TEST_F(UTL_SimCtrlRootGLTest, InitializeSetsTheSharedGlStateAndCamera)
{
    UTL_SimCtrlRoot root;
    root.Initialize(Width, Height);

    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.0f);
    EXPECT_FLOAT_EQ(clear[1], 0.2f);
    EXPECT_FLOAT_EQ(clear[2], 0.6f);
    EXPECT_FLOAT_EQ(clear[3], 0.0f);

    // The light is directional from +y. GL keeps light positions in eye space, transformed by
    // the modelview matrix of the moment, which is the identity here.
    GLfloat light[4] = {};
    glGetLightfv(GL_LIGHT0, GL_POSITION, light);
    EXPECT_FLOAT_EQ(light[0], 0.0f);
    EXPECT_FLOAT_EQ(light[1], 1.0f);
    EXPECT_FLOAT_EQ(light[2], 0.0f);
    EXPECT_FLOAT_EQ(light[3], 0.0f);

    GLint depthFunc = 0, cullMode = 0, shadeModel = 0, viewport[4] = {};
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glGetIntegerv(GL_CULL_FACE_MODE, &cullMode);
    glGetIntegerv(GL_SHADE_MODEL, &shadeModel);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(depthFunc, GL_LEQUAL);
    EXPECT_EQ(cullMode, GL_BACK);
    EXPECT_EQ(shadeModel, GL_SMOOTH);
    EXPECT_EQ(viewport[2], Width);
    EXPECT_EQ(viewport[3], Height);
    for (GLenum cap :
         {GL_LIGHTING, GL_LIGHT0, GL_CULL_FACE, GL_DEPTH_TEST, GL_COLOR_MATERIAL, GL_TEXTURE_2D})
        EXPECT_TRUE(glIsEnabled(cap)) << "capability 0x" << std::hex << cap;

    GLfloat shininess = 0;
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_FLOAT_EQ(shininess, 100.0f);

    ASSERT_NE(root.GetCamera(), nullptr);
    ASSERT_NE(root.GetGlWrapper(), nullptr);
    EXPECT_FLOAT_EQ(root.GetCamera()->GetDistance(), 40.0f);
    EXPECT_FLOAT_EQ(root.GetCamera()->GetPitch(), 0.0f);
    EXPECT_FLOAT_EQ(root.GetCamera()->GetMinDistance(), 0.0f);
    EXPECT_FLOAT_EQ(root.GetCamera()->GetMaxDistance(), 100.0f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(UTL_SimCtrlRootGLTest, SteppedFrameClearsEveryPixelToTheClearColour)
{
    UTL_SimCtrlRoot root;
    root.Initialize(Width, Height);
    root.Step(Width, Height, 0.016f);
    EXPECT_EQ(root.GetFrameCount(), 1);

    const Pixel expected{0, 51, 153, 0};
    for (auto [x, y] : {std::pair{0, 0}, {Width - 1, Height - 1}, {Width / 2, Height / 2}})
        EXPECT_PRED3(Near, ReadPixel(x, y), expected, 1) << "at " << x << ", " << y;

    // After the first frame the camera has been updated: pitch 0 became 0.01 and the eye sits
    // 40 units out along the heading.
    EXPECT_FLOAT_EQ(root.GetCamera()->GetPitch(), 0.01f);
    EXPECT_NEAR(root.GetEyePosition().Length(), 40.0f, 1e-3f);
}

TEST_F(UTL_SimCtrlRootGLTest, AWindowOfNoHeightStillSteps)
{
    UTL_SimCtrlRoot root;
    root.Initialize(Width, 0);
    root.Step(Width, 0, 0.016f);
    root.Step(Width, Height, 0.016f);
    EXPECT_EQ(root.GetFrameCount(), 2);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
