#include "scene/GFX_LocationHolder.h"

#include "gfx/GFX_ColorBall.h"
#include "scene/GFX_Billboard.h"

#include "SceneViews.h"
#include "support/ImageFiles.h"
#include "support/TestSceneOwner.h"

#include <cmath>
#include <vector>

using namespace SceneViews;

namespace
{
class GFX_LocationHolderGLTest : public LabelGLTest
{
protected:
    void SetUp() override
    {
        LabelGLTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        owner.theme.LocatorBillboardColor = {0, 1, 0};
        owner.theme.LocatorBillboardColorSel = {1, 0, 0};
    }

    // The label's corners on screen.
    void LabelOnScreen(const GFX_LocationHolder& holder, GFX_Vector3 corners[4])
    {
        for (int i = 0; i < 4; ++i)
            corners[i] = ToWindow(holder.GetBillboard()->GetCorner(i));
    }
};

const GLTest::Pixel Black{0, 0, 0, 255};
const GLTest::Pixel Green{0, 255, 0, 255};
const GLTest::Pixel Red{255, 0, 0, 255};
} // namespace

TEST_F(GFX_LocationHolderGLTest, TheLabelFacesTheCameraFromEveryViewpoint)
{
    struct Viewpoint
    {
        float heading, pitch;
    };
    for (const Viewpoint& view : {Viewpoint{0, 20}, Viewpoint{60, -35}, Viewpoint{135, 50},
                                  Viewpoint{-100, 10}, Viewpoint{-170, -70}, Viewpoint{90, 80}})
    {
        SCOPED_TRACE(testing::Message() << "heading " << view.heading << ", pitch " << view.pitch);
        ClearFrame();
        GlobeCamera(view.heading, view.pitch);
        GFX_Vector3 up, right;
        ScreenAxes(up, right);

        // A locator a little off the middle of the view.
        GFX_LocationHolder holder(&owner);
        holder.SetLongitude(view.heading + 8);
        holder.SetLatitude(view.pitch - 4);
        holder.SetBallSize(100);
        holder.SetBillboardSize(750, 750);
        holder.SetBillboardAxes(up, right);
        holder.Draw();

        // Square on screen, upright, not mirrored: its plane is the screen's.
        GFX_Vector3 c[4];
        LabelOnScreen(holder, c);
        EXPECT_NEAR(c[0].y, c[1].y, 0.5f);
        EXPECT_NEAR(c[2].y, c[3].y, 0.5f);
        EXPECT_NEAR(c[0].x, c[3].x, 0.5f);
        EXPECT_NEAR(c[1].x, c[2].x, 0.5f);
        const float side = c[1].x - c[0].x;
        EXPECT_GT(side, 20.0f);
        EXPECT_NEAR(c[3].y - c[0].y, side, 1.0f);

        // Drawn where it projects, in the unpicked colour, and nothing beside it.
        const int midX = int(std::lround((c[0].x + c[2].x) / 2));
        const int midY = int(std::lround((c[0].y + c[2].y) / 2));
        EXPECT_PRED3(Near, ReadPixel(midX, midY), Green, 2);
        EXPECT_PRED3(Near, ReadPixel(int(c[0].x) + 2, int(c[0].y) + 2), Green, 2);
        EXPECT_PRED3(Near, ReadPixel(int(c[2].x) - 2, int(c[2].y) - 2), Green, 2);
        EXPECT_PRED3(Near, ReadPixel(int(c[1].x) + 3, midY), Black, 0);
        EXPECT_PRED3(Near, ReadPixel(midX, int(c[3].y) + 3), Black, 0);

        // On the side of the ball facing away from the globe's centre, on screen.
        const GFX_Vector3 ball = ToWindow(holder.GetPosition());
        const GFX_Vector3 centre = ToWindow({0, 0, 0});
        EXPECT_EQ(midX > ball.x, ball.x > centre.x);
        EXPECT_EQ(midY > ball.y, ball.y > centre.y);
    }
}

TEST_F(GFX_LocationHolderGLTest, TheBallIsColouredByItsPlaceAndSizedByItsBallSize)
{
    GFX_ColorBall ball(GFX_LocationHolder::BallModelRadius);
    owner.colorBall = &ball;
    GFX_LocationHolder holder(&owner);
    holder.SetLongitude(90); // facing +z
    holder.SetBallSize(100);
    holder.Update();

    ClearFrame();
    FlatView(holder.GetPosition(), 1.0f);
    GLfloat before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    holder.DrawBall();
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(before[i], after[i]) << "the matrix comes back exactly, element " << i;

    const GFX_Vector3 color = GFX_Globe::PositionColor(holder.GetPosition());
    const Pixel expected{uint8_t(std::lround(color.x * 255)), uint8_t(std::lround(color.y * 255)),
                         uint8_t(std::lround(color.z * 255)), 255};
    // Radius 100 (the model's 125 scaled), less the facets' sag of a pixel or so.
    for (const auto& offset : {std::pair{0, 0}, {92, 0}, {0, -92}, {-64, 64}})
        EXPECT_PRED3(Near, ReadPixel(400 + offset.first, 300 + offset.second), expected, 2)
            << offset.first << ", " << offset.second;
    for (const auto& offset : {std::pair{103, 0}, {0, 103}, {-74, -74}})
        EXPECT_PRED3(Near, ReadPixel(400 + offset.first, 300 + offset.second), Black, 0)
            << offset.first << ", " << offset.second;
}

TEST_F(GFX_LocationHolderGLTest, PickingReturnsTheNearestOfTwoOverlappingLabels)
{
    ClearFrame();
    GlobeCamera(90, 20); // looking at the globe from +z, a little from above
    GFX_Vector3 up, right;
    ScreenAxes(up, right);
    glEnable(GL_DEPTH_TEST);

    // Two neighbours with their labels down and to the right, overlapping on screen; the
    // picked one (red) faces the camera more squarely and sits nearer.
    GFX_LocationHolder nearer(&owner), deeper(&owner);
    nearer.SetLongitude(88);
    nearer.SetSelected(true);
    deeper.SetLongitude(84);
    deeper.SetLatitude(-3);
    for (GFX_LocationHolder* holder : {&deeper, &nearer})
    {
        holder->SetBillboardSize(750, 750);
        holder->SetBillboardAxes(up, right);
        holder->Draw();
    }

    GFX_Vector3 a[4], b[4];
    LabelOnScreen(nearer, a);
    LabelOnScreen(deeper, b);
    const float left = std::max(a[0].x, b[0].x), rightEdge = std::min(a[1].x, b[1].x);
    const float bottom = std::max(a[0].y, b[0].y), top = std::min(a[3].y, b[3].y);
    ASSERT_LT(left + 4, rightEdge) << "the labels overlap on screen";
    ASSERT_LT(bottom + 4, top);

    auto pickAt = [&](float x, float y)
    {
        OGL_Wrapper wrapper;
        GFX_Vector3 origin, far;
        wrapper.Unproject({x, y, 0}, origin);
        wrapper.Unproject({x, y, 1}, far);
        const GFX_Vector3 direction = far.Minus(origin).Normalize();
        // The order of the list must not matter.
        std::vector<GFX_LocationHolder*> holders{&deeper, &nearer};
        GFX_LocationHolder* first = GFX_LocationHolder::PickNearest(holders, origin, direction);
        std::swap(holders[0], holders[1]);
        EXPECT_EQ(GFX_LocationHolder::PickNearest(holders, origin, direction), first);
        return first;
    };

    // In the overlap the pick agrees with what the depth test shows: the nearer label.
    const float x = (left + rightEdge) / 2, y = (bottom + top) / 2;
    EXPECT_EQ(pickAt(x, y), &nearer);
    EXPECT_PRED3(Near, ReadPixel(int(x), int(y)), Red, 2);

    // Where only the deeper label is, it is picked and seen.
    const float onlyDeeperX = (std::max(a[1].x, b[0].x) + b[1].x) / 2;
    const float onlyDeeperY = (b[0].y + b[3].y) / 2;
    EXPECT_EQ(pickAt(onlyDeeperX, onlyDeeperY), &deeper);
    EXPECT_PRED3(Near, ReadPixel(int(onlyDeeperX), int(onlyDeeperY)), Green, 2);

    EXPECT_EQ(pickAt(5, 5), nullptr) << "empty sky";
}
