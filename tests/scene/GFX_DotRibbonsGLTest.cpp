#include "scene/GFX_DotRibbons.h"

#include "scene/GFX_Connection.h"

#include "SceneViews.h"

#include <algorithm>
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
    static std::vector<uint8_t> ReadColours()
    {
        std::vector<uint8_t> frame(size_t(Width) * Height * 4);
        glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
        for (size_t i = 3; i < frame.size(); i += 4)
            frame[i] = 255;
        return frame;
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
    ribbons.ReleaseGL();
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
    ribbons.ReleaseGL();
}

// A row running nearly towards the eye of the globe's camera, which ribbons cannot show: its dots
// go one by one, drawn as the line itself draws them, to the same pixels. An opaque square in
// front of part of the row hides some of them: those are left out, and the picture stays the
// same.
TEST_F(GFX_DotRibbonsGLTest, ARowRunningTowardsTheEyeGoesDotByDotAsTheLineDrawsIt)
{
    const auto dot = MakeTexture(dir, "billboard.tga", DiscDot(12));
    GlobeCamera(0, 0);
    GFX_Vector3 up, right, nearCentre, farCentre;
    ScreenAxes(up, right);
    OGL_Wrapper wrapper;
    wrapper.Unproject({Width / 2.0f, Height / 2.0f, 0}, nearCentre);
    wrapper.Unproject({Width / 2.0f, Height / 2.0f, 1}, farCentre);
    // From 9000 units ahead of the eye to 1500, a little aside.
    const GFX_Vector3 forward = farCentre.Minus(nearCentre).Normalize();
    const GFX_Vector3 eye = nearCentre.Minus(forward.Times(GFX_GlobeView::NearPlane));
    const GFX_Vector3 start = eye.Plus(forward.Times(9000)).Add(right.Times(-500));
    const GFX_Vector3 end =
        eye.Plus(forward.Times(1500)).Add(right.Times(-150)).Add(up.Times(-100));

    GFX_Connection line(nullptr);
    line.SetStart(start);
    line.SetEnd(end);
    line.SetBillboardAxes(up, right);
    const int dots = GFX_Connection::DotIntervals(end.Minus(start).Length()) - 1;

    // The square: square to the view, 4000 units ahead of the eye, over the row's middle.
    const GFX_Vector3 centre = eye.Plus(forward.Times(4000)).Add(right.Times(-280));
    const GFX_Vector3 square[4] = {centre.Minus(right.Times(150)).Sub(up.Times(150)),
                                   centre.Plus(right.Times(150)).Sub(up.Times(150)),
                                   centre.Plus(right.Times(150)).Add(up.Times(150)),
                                   centre.Minus(right.Times(150)).Add(up.Times(150))};
    for (const bool occluded : {false, true})
    {
        SCOPED_TRACE(occluded ? "behind a square" : "in the open");
        std::vector<uint8_t> frames[2];
        for (int way = 0; way < 2; ++way)
        {
            ClearFrame();
            glEnable(GL_DEPTH_TEST);
            if (occluded)
            {
                glColor3f(0.3f, 0.3f, 0.3f);
                glBegin(GL_QUADS);
                for (const GFX_Vector3& corner : square)
                    glVertex3fv(corner.Data());
                glEnd();
            }
            glColor3f(1, 1, 1);
            glEnable(GL_TEXTURE_2D);
            glDepthMask(GL_FALSE);
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            if (way == 0)
            {
                dot->Bind();
                glBegin(GL_QUADS);
                line.Draw();
                glEnd();
            }
            else
            {
                GFX_DotRibbons ribbons;
                ribbons.Begin(up, right);
                if (occluded)
                    ribbons.AddOccluder(square);
                EXPECT_FALSE(
                    ribbons.AddRow(start, end, GFX_Connection::DotSize, 1.0f, std::nullopt));
                EXPECT_EQ(ribbons.GetQuadCount(), 0);
                EXPECT_EQ(ribbons.GetSingleDotCount() + ribbons.GetHiddenDotCount(), dots);
                if (occluded)
                {
                    EXPECT_GT(ribbons.GetHiddenDotCount(), 0) << "the square hides some dots";
                }
                else
                {
                    EXPECT_EQ(ribbons.GetHiddenDotCount(), 0);
                }
                ribbons.Draw(*dot, 0);
                ribbons.ReleaseGL();
            }
            EndFrame();
            glDisable(GL_DEPTH_TEST);
            frames[way] = ReadColours();
        }
        EXPECT_TRUE(frames[0] == frames[1]);
        size_t lit = 0;
        for (size_t i = 0; i < frames[1].size(); i += 4)
            lit += std::max({frames[1][i], frames[1][i + 1], frames[1][i + 2]}) > 40;
        EXPECT_GT(lit, 1000u) << "the dots were drawn";
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Within a layer, a row that goes dot by dot is drawn under the ribbons when it came before
// every ribbon row of the layer, over them when it came after one.
TEST_F(GFX_DotRibbonsGLTest, RowsDotByDotKeepTheirPlaceAmongTheRibbons)
{
    const auto dot = MakeTexture(dir, "billboard.tga", DiscDot(8));
    const GFX_Vector3 red(1, 0, 0), blue(0, 0, 1);
    GFX_DotRibbons ribbons;
    for (const bool dotsFirst : {true, false})
    {
        SCOPED_TRACE(dotsFirst ? "the dots first" : "the ribbon first");
        BeginFrame();
        ribbons.Begin({0, 1, 0}, {1, 0, 0});
        // Seen from straight above, a row along the view goes dot by dot: its dots all fall
        // on the middle of the window, where the ribbon row across passes.
        auto addDots = [&] {
            EXPECT_FALSE(ribbons.AddRow({0, 0, -450}, {0, 0, 450}, 90, 1.0f, red));
        };
        if (dotsFirst)
            addDots();
        EXPECT_TRUE(ribbons.AddRow({-450, 0, 0}, {450, 0, 0}, 90, 1.0f, blue));
        if (!dotsFirst)
            addDots();
        ribbons.Draw(*dot, 0);
        EndFrame();
        EXPECT_PRED3(Near, ColourAt(Width / 2, Height / 2),
                     (dotsFirst ? Pixel{0, 0, 255, 255} : Pixel{255, 0, 0, 255}), 8);
        EXPECT_PRED3(Near, ColourAt(Width / 2 + 36, Height / 2), (Pixel{0, 0, 255, 255}), 8);
    }
    ribbons.ReleaseGL();
}
