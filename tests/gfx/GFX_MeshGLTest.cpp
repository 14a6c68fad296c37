#include "gfx/GFX_GroupedModel.h"
#include "gfx/GFX_SphereButton.h"

#include "support/GLTestFixture.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace
{
// Sets up a plain white-on-black view of the origin from +z, with no lighting or texturing,
// so that a drawn pixel is white and an empty one black.
void PrepareFlatView()
{
    glViewport(0, 0, GLTest::Width, GLTest::Height);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, double(GLTest::Width) / GLTest::Height, 1, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, 200, 0, 0, 0, 0, 1, 0);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glColor3f(1, 1, 1);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

const GLTest::Pixel White{255, 255, 255, 255};
const GLTest::Pixel Black{0, 0, 0, 255};
} // namespace

using GFX_MeshGLTest = GLTest;

TEST_F(GFX_MeshGLTest, BothDrawPathsShowTheOutsideOfTheGlobe)
{
    // With back faces culled, a globe seen from outside still covers the centre of the view:
    // proof that the front faces are the outside ones.
    GFX_SphereButton globe(40);
    for (bool immediate : {false, true})
    {
        SCOPED_TRACE(immediate ? "DrawImmediate" : "Draw");
        PrepareFlatView();
        immediate ? globe.DrawImmediate() : globe.Draw();
        EXPECT_PRED3(Near, ReadPixel(Width / 2, Height / 2), White, 2);
        EXPECT_PRED3(Near, ReadPixel(5, 5), Black, 2);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GFX_MeshGLTest, InvisibleGroupsDrawNothingButTheModelFlagHidesNothing)
{
    GFX_SphereButton globe(40);

    globe.SetVisible(0);
    PrepareFlatView();
    globe.Draw();
    EXPECT_PRED3(Near, ReadPixel(Width / 2, Height / 2), White, 2)
        << "the model's own flag is not consulted";

    for (size_t g = 0; g < globe.GroupCount(); ++g)
        globe.Group(g).SetVisible(0);
    for (bool immediate : {false, true})
    {
        PrepareFlatView();
        immediate ? globe.DrawImmediate() : globe.Render(0);
        EXPECT_PRED3(Near, ReadPixel(Width / 2, Height / 2), Black, 2);
    }

    globe.Group(4).SetVisible(7); // any non-zero value draws; +Z faces the camera
    PrepareFlatView();
    globe.Draw();
    EXPECT_PRED3(Near, ReadPixel(Width / 2, Height / 2), White, 2);
}

TEST_F(GFX_MeshGLTest, EmptyModelDrawsNothing)
{
    GFX_GroupedModel empty;
    PrepareFlatView();
    empty.Draw();
    empty.DrawImmediate();
    empty.Render(0);
    EXPECT_PRED3(Near, ReadPixel(Width / 2, Height / 2), Black, 2);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
