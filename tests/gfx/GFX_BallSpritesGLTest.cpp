#include "gfx/GFX_BallSprites.h"
#include "gfx/GFX_ColorBall.h"

#include "support/GLTestFixture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

// One ball of radius 100 lit from the eye as the scene lights it, drawn as the mesh and as its
// sprite, compared pixel by pixel.
class GFX_BallSpritesGLTest : public GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        const GLfloat black[] = {0, 0, 0, 1};
        const GLfloat white[] = {1, 1, 1, 1};
        glMaterialfv(GL_FRONT, GL_AMBIENT, black);
        glMaterialfv(GL_FRONT, GL_SPECULAR, black);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, white);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glEnable(GL_LIGHT0);
        glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
        glEnable(GL_CULL_FACE);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glViewport(0, 0, Width, Height);
    }
    void TearDown() override
    {
        if (context)
            sprites.Delete();
        GLTest::TearDown();
    }

    // The camera `distance` away on +z, the light from the eye; clears the frame.
    void Look(float distance)
    {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, double(Width) / Height, 100.0, 100000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0, 0, distance, 0, 0, 0, 0, 1, 0);
        const GLfloat light[] = {0, 0, distance, 0};
        glLightfv(GL_LIGHT0, GL_POSITION, light);
    }
    void DrawMesh(const GFX_Vector3& centre, const GFX_Vector3& color)
    {
        glEnable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glColor3fv(color.Data());
        glPushMatrix();
        glTranslatef(centre.x, centre.y, centre.z);
        glScalef(0.8f, 0.8f, 0.8f);
        ball.DrawImmediate();
        glPopMatrix();
    }
    // The largest difference of a colour channel over the window.
    static int LargestDifference(const std::vector<unsigned char>& a,
                                 const std::vector<unsigned char>& b, int& differing)
    {
        int largest = 0;
        differing = 0;
        for (size_t i = 0; i < a.size(); ++i)
        {
            const int d = std::abs(int(a[i]) - int(b[i]));
            largest = std::max(largest, d);
            differing += d > 40 ? 1 : 0;
        }
        return largest;
    }
    std::vector<unsigned char> Frame()
    {
        std::vector<unsigned char> pixels(size_t(Width) * Height * 4);
        glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    GFX_ColorBall ball{125.0f};
    GFX_BallSprites sprites;
};

TEST_F(GFX_BallSpritesGLTest, ASmallBallLooksLikeItsMeshInEveryColourAndHidesWhatItHides)
{
    // About 4 px in radius, as a locator ball of a large circle: a sprite.
    const float distance = 17000.0f;
    const GFX_Vector3 centre(900.0f, -600.0f, 0.0f);
    for (const GFX_Vector3& color :
         {GFX_Vector3(1.0f, 0.5f, 0.0f), GFX_Vector3(0.2f, 0.9f, 1.0f), GFX_Vector3(1, 1, 1)})
    {
        Look(distance);
        DrawMesh(centre, color);
        const std::vector<unsigned char> mesh = Frame();

        Look(distance);
        ASSERT_TRUE(sprites.Begin(&ball, nullptr, 125.0f, 100.0f, GFX_Vector3(0, 1, 0)));
        ASSERT_TRUE(sprites.Add(centre, 100.0f, color));
        sprites.Draw();
        const std::vector<unsigned char> sprite = Frame();
        int differing = 0;
        const int largest = LargestDifference(mesh, sprite, differing);
        // Only a few outline pixels may differ much.
        EXPECT_LE(differing, 24) << largest;
    }

    // A quad through the ball's centre, behind its front: where the ball covers it, the
    // sprite's depth hides it as the mesh's does.
    Look(distance);
    ASSERT_TRUE(sprites.Begin(&ball, nullptr, 125.0f, 100.0f, GFX_Vector3(0, 1, 0)));
    ASSERT_TRUE(sprites.Add(centre, 100.0f, GFX_Vector3(1, 0, 0)));
    sprites.Draw();
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glColor3f(0, 0, 1);
    glBegin(GL_QUADS);
    glVertex3f(centre.x - 300, centre.y - 300, 0);
    glVertex3f(centre.x + 300, centre.y - 300, 0);
    glVertex3f(centre.x + 300, centre.y + 300, 0);
    glVertex3f(centre.x - 300, centre.y + 300, 0);
    glEnd();
    GLdouble modelview[16], projection[16], x, y, z;
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluProject(centre.x, centre.y, centre.z, modelview, projection, viewport, &x, &y, &z);
    const Pixel middle = ReadPixel(int(x), int(y));
    EXPECT_GT(middle[0], 150) << int(middle[0]) << "," << int(middle[2]);
    EXPECT_LT(middle[2], 20) << int(middle[0]) << "," << int(middle[2]);
    // Beyond the disc the quad shows: the square's corners wrote no depth.
    const Pixel outside = ReadPixel(int(x) + 8, int(y) + 8);
    EXPECT_GT(outside[2], 200) << int(outside[2]);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GFX_BallSpritesGLTest, ABallLargeOnScreenOrNearTheEyeKeepsTheMesh)
{
    Look(2500.0f); // about 70 px in radius
    ASSERT_TRUE(sprites.Begin(&ball, nullptr, 125.0f, 100.0f, GFX_Vector3(0, 1, 0)));
    EXPECT_FALSE(sprites.Add(GFX_Vector3(0, 0, 0), 100.0f, GFX_Vector3(1, 1, 1)));
    EXPECT_FALSE(sprites.Add(GFX_Vector3(0, 0, 2400.0f), 100.0f, GFX_Vector3(1, 1, 1)));
    // Far enough, but another size than the picture was made for.
    EXPECT_FALSE(sprites.Add(GFX_Vector3(0, 0, -20000.0f), 50.0f, GFX_Vector3(1, 1, 1)));
    EXPECT_TRUE(sprites.Add(GFX_Vector3(0, 0, -20000.0f), 100.0f, GFX_Vector3(1, 1, 1)));
    EXPECT_EQ(sprites.CountQueued(), 1u);
}
