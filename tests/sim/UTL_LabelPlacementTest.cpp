#include "sim/UTL_LabelPlacement.h"

#include "gfx/GFX_HalvaneCamera.h"
#include "gfx/GFX_ScreenProjection.h"
#include "scene/GFX_Globe.h"
#include "scene/GFX_RegionName.h"

#include "CircleScene.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
constexpr int Width = 1280;
constexpr int Height = 800;

// The main scene's circle and camera without GL, stepped as its frames step them: 400 friends,
// every fourth of them knowing forty others, spread over the globe.
class LabelScene : public CircleScene
{
public:
    LabelScene()
    {
        AddPeople(400);
        for (int i = 4; i <= 400; i += 4)
            for (int k = 1; k <= 40; ++k)
                circle.ConnectFriends(std::to_string(i), std::to_string((i + 7 * k) % 400 + 1),
                                      0.4f, false);
        GFX_GlobeView::SetUpCamera(camera);
        circle.Attach(&selfDock, &friendsDock, &camera);
        circle.Place();
        ResolveLines();
        owner.drawPaths.labels = GFX_DrawPaths::Labels::Room;
    }

    GFX_ScreenProjection View() const
    {
        return GFX_ScreenProjection::LookAt(camera.GetEye(), camera.GetTarget(), camera.GetUp(),
                                            GFX_GlobeView::FieldOfView, GFX_GlobeView::NearPlane,
                                            GFX_GlobeView::FarPlane, Width, Height);
    }
    void Frame()
    {
        camera.Update();
        placement.Prepare(circle.GetHolders(), GFX_DrawPaths::Labels::Room, camera.GetDistance());
        const GFX_ScreenProjection view = View();
        circle.SetBillboardAxes(view.ScreenUp(), view.ScreenRight());
        for (const auto& holder : circle.GetHolders())
            holder->Update();
        placement.Place(circle, firsts, camera.GetEye(), view, 1.0f / 60.0f);
    }
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            Frame();
    }
    // The share of the friends in the view, on the near side, whose label shows.
    float ShareShown()
    {
        const GFX_ScreenProjection view = View();
        int inView = 0, shown = 0;
        for (size_t i = 1; i < circle.GetHolders().size(); ++i)
        {
            const GFX_Vector3& position = Holder(i).GetPosition();
            float x, y;
            if (camera.GetEye().Minus(position).Dot(position) <= 0 ||
                !view.Project(position, x, y) || x < 0 || x > Width || y < 0 || y > Height)
                continue;
            ++inView;
            shown += Holder(i).IsLabelShown() ? 1 : 0;
        }
        return inView ? float(shown) / inView : 0.0f;
    }

    GFX_HalvaneCamera camera;
    UTL_LabelPlacement placement;
    UTL_LabelPlacement::Firsts firsts;
};
} // namespace

TEST(UTL_LabelPlacementTest, TheSelectedTheUserAndTheBestConnectedGetRoomFirst)
{
    LabelScene scene;
    scene.Holder(0).SetBillboardSize(2250, 2250); // the user, selected, as laid out
    scene.firsts.selected = scene.firsts.user = &scene.Holder(0);
    // Zoomed in, where the user's large label meets many of its neighbours'.
    scene.camera.SetDistance(9000);
    scene.Frames(60);
    const GFX_ScreenProjection view = scene.View();
    ASSERT_GT(scene.placement.CountPlaced(), 5u);
    ASSERT_LT(scene.placement.CountPlaced(), 150u) << "a map's names, not a wall of them";
    EXPECT_EQ(scene.Holder(0).GetLabelShown(), 1.0f);
    EXPECT_LE(UTL_LabelPlacement::LargestOverlap(scene.circle.GetHolders(), view),
              100.0f * GFX_LabelRoom::KeptOverlap);

    GFX_Rect user, other;
    ASSERT_TRUE(UTL_LabelPlacement::ScreenRect(scene.Holder(0), view, user));
    // Of the friends on the near side, the best connected quarter gets room more often than the
    // least connected quarter, which gets what the others left.
    std::vector<std::pair<int, bool>> nearSide; // friends in the circle, label shown
    for (size_t i = 1; i <= 400; ++i)
    {
        GFX_LocationHolder& holder = scene.Holder(i);
        const bool facing =
            scene.camera.GetEye().Minus(holder.GetPosition()).Dot(holder.GetPosition()) > 0;
        if (facing)
            nearSide.emplace_back(scene.circle.CountFriendsOf(scene.Holder(i).GetFriend()),
                                  holder.IsLabelShown());
        if (!holder.IsLabelShown())
            continue;
        EXPECT_TRUE(facing) << "friend " << i << " shows a label from the far side of the globe";
        ASSERT_TRUE(UTL_LabelPlacement::ScreenRect(holder, view, other));
        EXPECT_LE(GFX_LabelRoom::OverlapArea(user, other), 0.0f)
            << "friend " << i << " covers the user's label";
    }
    std::sort(nearSide.begin(), nearSide.end());
    const size_t quarter = nearSide.size() / 4;
    const auto shownAmong = [&](size_t from)
    {
        return std::count_if(nearSide.begin() + from, nearSide.begin() + from + quarter,
                             [](const auto& entry) { return entry.second; });
    };
    EXPECT_GT(shownAmong(nearSide.size() - quarter), 2 * shownAmong(0));
}

TEST(UTL_LabelPlacementTest, ZoomingInLetsMoreLabelsIn)
{
    LabelScene scene;
    float shown[2];
    int i = 0;
    for (float distance : {18500.0f, 9000.0f})
    {
        scene.camera.SetDistance(distance);
        scene.Frames(40);
        shown[i++] = scene.ShareShown();
    }
    EXPECT_GT(UTL_LabelPlacement::ScaleFor(18500.0f), UTL_LabelPlacement::ScaleFor(9000.0f));
    EXPECT_FLOAT_EQ(UTL_LabelPlacement::ScaleFor(UTL_LabelPlacement::StartDistance), 1.0f);
    EXPECT_GT(shown[1], 1.5f * shown[0]) << shown[0] << " of the friends in view at the start";
}

TEST(UTL_LabelPlacementTest, LabelsFadeAndKeepTheirPlaceThroughASlowTurn)
{
    LabelScene scene;
    scene.Frames(60);
    ASSERT_FALSE(scene.placement.IsFading()) << "settled";

    // A slow turn, a fifth of a degree a frame: labels come and go as the globe turns, but
    // none turns back within a fade.
    const size_t count = scene.circle.GetHolders().size();
    std::vector<int> changed(count, -1000);
    std::vector<bool> was(count);
    for (size_t i = 0; i < count; ++i)
        was[i] = scene.Holder(i).IsLabelShown();
    int changes = 0;
    for (int frame = 0; frame < 120; ++frame)
    {
        scene.camera.SetHeading(scene.camera.GetHeading() + 0.2f);
        scene.Frame();
        for (size_t i = 0; i < count; ++i)
        {
            if (scene.Holder(i).IsLabelShown() == was[i])
                continue;
            EXPECT_GE(frame - changed[i], 15) << "label " << i << " flickered";
            was[i] = !was[i];
            changed[i] = frame;
            ++changes;
        }
    }
    EXPECT_GT(changes, 0) << "the turn changed nothing";

    // A label that loses its room fades out over a quarter of a second.
    GFX_LocationHolder* leaving = nullptr;
    for (size_t i = 1; i < count && !leaving; ++i)
        if (scene.Holder(i).GetLabelShown() == 1.0f)
            leaving = &scene.Holder(i);
    ASSERT_NE(leaving, nullptr);
    scene.firsts.hovered = nullptr;
    leaving->SetBillboardSize(20000, 20000); // now it covers everyone before it
    scene.Frame();
    EXPECT_TRUE(scene.placement.IsFading());
    EXPECT_NEAR(leaving->GetLabelShown(), 1.0f - 1.0f / 15.0f, 1e-4f);
    scene.Frames(14);
    EXPECT_FALSE(leaving->IsLabelShown());
}

TEST(UTL_LabelPlacementTest, ARegionsNameKeepsLabelsFromItsPlaceButNotTheSelectedOne)
{
    LabelScene scene;
    scene.Frames(60);
    std::vector<GFX_LocationHolder*> shown;
    for (size_t i = 1; i < scene.circle.GetHolders().size() && shown.size() < 2; ++i)
        if (scene.Holder(i).GetLabelShown() == 1.0f)
            shown.push_back(&scene.Holder(i));
    ASSERT_EQ(shown.size(), 2u);
    // A name drawn over each label, and one of the two selected.
    std::vector<GFX_RegionName> names(2);
    for (size_t n = 0; n < 2; ++n)
    {
        shown[n]->SettledLabelCorners(names[n].corners);
        names[n].drawn = true;
        names[n].alpha = 1.0f;
    }
    scene.firsts.regionNames = &names;
    scene.firsts.selected = shown[1];
    scene.Frames(30);
    EXPECT_FALSE(shown[0]->IsLabelShown()) << "a label under a region's name";
    EXPECT_EQ(shown[1]->GetLabelShown(), 1.0f) << "the selected label gave way to a region";

    // A name fading out as the camera comes close leaves the place to the label again.
    names[0].alpha = 0.1f;
    scene.Frames(30);
    EXPECT_EQ(shown[0]->GetLabelShown(), 1.0f);
}
