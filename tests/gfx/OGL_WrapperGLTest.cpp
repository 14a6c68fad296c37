#include "gfx/OGL_Wrapper.h"

#include "support/GLTestFixture.h"

#include <GL/gl.h>
#include <GL/glu.h>

using OGL_WrapperGLTest = GLTest;

TEST_F(OGL_WrapperGLTest, ProjectAndUnprojectAreInverse)
{
    glViewport(0, 0, Width, Height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, double(Width) / Height, 1000, 25000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, 8000, 0, 0, 0, 0, 1, 0);

    OGL_Wrapper gl;
    GFX_Vector3 window;
    gl.Project({0, 0, 0}, window);
    EXPECT_NEAR(window.x, Width / 2.0f, 0.01f);
    EXPECT_NEAR(window.y, Height / 2.0f, 0.01f);
    EXPECT_GT(window.z, 0.0f);
    EXPECT_LT(window.z, 1.0f);

    // A point up and to the right appears up and to the right: y counts from the bottom.
    GFX_Vector3 upRight;
    gl.Project({500, 300, 0}, upRight);
    EXPECT_GT(upRight.x, window.x);
    EXPECT_GT(upRight.y, window.y);

    GFX_Vector3 back;
    gl.Unproject(upRight, back);
    EXPECT_NEAR(back.x, 500, 0.5f);
    EXPECT_NEAR(back.y, 300, 0.5f);
    EXPECT_NEAR(back.z, 0, 0.5f);

    // Depth 0 lies on the near plane, 1000 in front of the eye.
    GFX_Vector3 nearPoint;
    gl.Unproject({Width / 2.0f, Height / 2.0f, 0}, nearPoint);
    EXPECT_NEAR(nearPoint.z, 7000, 0.5f);
}

TEST_F(OGL_WrapperGLTest, ExtensionTestFindsAdvertisedNamesWithoutThePrefix)
{
    OGL_Wrapper gl;
    EXPECT_TRUE(gl.IsExtensionSupported("ARB_texture_non_power_of_two"));
    EXPECT_TRUE(gl.IsExtensionSupported("ARB_texture_rect")) << "a prefix counts as present";
    EXPECT_FALSE(gl.IsExtensionSupported("HALVANE_no_such_extension"));

    EXPECT_FALSE(OGL_Wrapper::ExtensionListContains(nullptr, "NV_fog_distance"));
    EXPECT_TRUE(OGL_Wrapper::ExtensionListContains("GL_A GL_NV_fog_distance", "NV_fog_distance"));

    context->ReleaseCurrent();
    EXPECT_FALSE(gl.IsExtensionSupported("NV_fog_distance")) << "no current context";
}

TEST_F(OGL_WrapperGLTest, HeadlessContextReportsWhatItObtained)
{
    EXPECT_GE(context->GetColourBits(), 32);
    EXPECT_GE(context->GetDepthBits(), 24);
    EXPECT_GE(context->GetStencilBits(), 8);
    GLint major = 0;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    ASSERT_NE(version, nullptr);
    major = version[0] - '0';
    EXPECT_GE(major, 2) << version;
}
