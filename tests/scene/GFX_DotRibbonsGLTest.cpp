#include "scene/GFX_DotRibbons.h"

#include "SceneViews.h"

#include <vector>

using namespace SceneViews;

class GFX_DotRibbonsGLTest : public GLTest
{
protected:
    // The colour at a pixel; what blending leaves in the alpha channel does not show.
    static Pixel ColourAt(int x, int y)
    {
        Pixel pixel = ReadPixel(x, y);
        pixel[3] = 255;
        return pixel;
    }

    // A flat view of a fifth of a pixel to a unit (dots 18 pixels wide, as far apart), cleared,
    // with the state the globe pass draws its rows in.
    static void BeginFrame()
    {
        ClearFrame();
        FlatView({0, 0, 0}, 0.2f);
        glDisable(GL_LIGHTING);
        glEnable(GL_TEXTURE_2D);
        glDepthMask(GL_FALSE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    static void EndFrame()
    {
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
    }

    TempDir dir;
};

// Where two rows cross, the row drawn last shows, as with dots drawn one by one: a row gathered
// into a later layer goes over one of an earlier layer whatever their tiles, and within a layer
// the later row goes over the earlier.
TEST_F(GFX_DotRibbonsGLTest, WhereRowsCrossTheLaterOneShows)
{
    const auto dot = MakeTexture(dir, "billboard.tga", DiscDot(8));
    const GFX_Vector3 red(1, 0, 0), blue(0, 0, 1);
    const struct
    {
        int across, upwards; // the layers of the two rows, gathered in this order
        GFX_Vector3 shown;
    } rows[] = {{0, 1, blue}, {1, 0, red}, {0, 0, blue}, {3, 3, blue}};
    GFX_DotRibbons ribbons;
    for (const auto& row : rows)
    {
        SCOPED_TRACE(testing::Message() << "layers " << row.across << " and " << row.upwards);
        BeginFrame();
        ribbons.Begin({0, 1, 0}, {1, 0, 0});
        // Ten intervals each way, the middle dot of both rows on the origin.
        ribbons.SetLayer(row.across);
        ASSERT_TRUE(ribbons.AddRow({-450, 0, 0}, {450, 0, 0}, 90, 1.0f, red));
        ribbons.SetLayer(row.upwards);
        ASSERT_TRUE(ribbons.AddRow({0, -450, 0}, {0, 450, 0}, 90, 1.0f, blue));
        EXPECT_GE(ribbons.GetQuadCount(), 2);
        for (int layer = 0; layer <= 3; ++layer)
            ribbons.Draw(*dot, layer);
        EndFrame();

        const Pixel middle = ColourAt(Width / 2, Height / 2);
        EXPECT_PRED3(Near, middle,
                     (Pixel{uint8_t(row.shown.x * 255), 0, uint8_t(row.shown.z * 255), 255}), 8);
        // Along each row away from the crossing, its own colour.
        EXPECT_PRED3(Near, ColourAt(Width / 2 + 36, Height / 2), (Pixel{255, 0, 0, 255}), 8);
        EXPECT_PRED3(Near, ColourAt(Width / 2, Height / 2 + 36), (Pixel{0, 0, 255, 255}), 8);
    }
    ribbons.DeleteTextures();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Waiting for the GL every few quads draws them all, each once: the same pixels as drawing them
// in one go, however the quads fall into slices.
TEST_F(GFX_DotRibbonsGLTest, WaitingEverySoManyQuadsDrawsTheSamePicture)
{
    const auto dot = MakeTexture(dir, "billboard.tga", DiscDot(8));
    GFX_DotRibbons ribbons;
    std::vector<uint8_t> frames[4];
    const long long waits[4] = {0, 1, 2, 1000};
    for (int k = 0; k < 4; ++k)
    {
        SCOPED_TRACE(testing::Message() << "waiting every " << waits[k] << " quads");
        BeginFrame();
        ribbons.Begin({0, 1, 0}, {1, 0, 0});
        ribbons.SetWaitEvery(waits[k]);
        // Rows of half-transparent dots over each other, so that a quad drawn twice shows.
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(ribbons.AddRow({-900, float(i * 40 - 80), 0}, {900, float(i * 40 - 80), 0},
                                       90, 0.4f, GFX_Vector3(0.2f * i, 1, 0.5f)));
        ASSERT_GE(ribbons.GetQuadCount(), 5);
        ribbons.Draw(*dot, 0);
        EndFrame();
        frames[k].resize(size_t(Width) * Height * 4);
        glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, frames[k].data());
        if (k > 0)
        {
            EXPECT_TRUE(frames[k] == frames[0]);
        }
    }
    EXPECT_NE(frames[0], std::vector<uint8_t>(frames[0].size(), 0)) << "the rows were drawn";
    ribbons.DeleteTextures();
}
