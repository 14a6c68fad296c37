#include "sim/UTL_FriendCircle.h"

#include "gfx/GFX_HalvaneCamera.h"
#include "scene/GFX_Connection.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_Globe.h"

#include "sim/UTL_Selection.h"

#include "CircleScene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

TEST(UTL_FriendCircleTest, EveryoneGetsADockedItemAndASecondUserRecordLetsGoOfTheFirst)
{
    CircleScene scene;
    std::vector<const GFX_Friend*> removed;
    scene.circle.SetOnRemoving([&](const GFX_Friend* person) { removed.push_back(person); });
    scene.AddPeople(2);
    GFX_Friend* first = scene.circle.GetSelf();
    ASSERT_EQ(scene.selfDock.GetItems().size(), 1u);
    EXPECT_EQ(CircleScene::DockedFriend(scene.selfDock, 0), first);
    EXPECT_TRUE(scene.selfDock.GetItems()[0]->IsSelected());
    ASSERT_EQ(scene.friendsDock.GetItems().size(), 2u);
    for (size_t i = 0; i < 2; ++i)
    {
        EXPECT_EQ(CircleScene::DockedFriend(scene.friendsDock, i),
                  scene.circle.GetFriends()[i].get());
        EXPECT_FALSE(scene.friendsDock.GetItems()[i]->IsSelected());
    }
    ASSERT_EQ(scene.Holder(0).GetFriend(), first);

    scene.circle.SetSelf("9", "Someone else", "", "");
    EXPECT_EQ(removed, std::vector<const GFX_Friend*>{first});
    ASSERT_EQ(scene.selfDock.GetItems().size(), 1u);
    EXPECT_EQ(CircleScene::DockedFriend(scene.selfDock, 0), scene.circle.GetSelf());
    EXPECT_EQ(scene.Holder(0).GetFriend(), nullptr) << "shown again after the next layout";
    GFX_LocationHolder* holder1 = nullptr;
    GFX_LocationHolder* holder2 = nullptr;
    scene.circle.FindFriendHolders("0", "1", holder1, holder2);
    EXPECT_EQ(holder1, nullptr) << "the index forgot the old user";
    EXPECT_EQ(holder2, &scene.Holder(1));

    scene.circle.LayoutFriends();
    EXPECT_EQ(scene.Holder(0).GetFriend(), scene.circle.GetSelf());
    EXPECT_EQ(scene.circle.HolderOf(scene.circle.GetSelf()), &scene.Holder(0));
    EXPECT_EQ(scene.circle.HolderOf(first), nullptr);
}

TEST(UTL_FriendCircleTest, TheLayoutRunsOnceWhenLookedAtAndFacesTheCameraToTheUser)
{
    CircleScene scene;
    GFX_HalvaneCamera camera;
    GFX_GlobeView::SetUpCamera(camera);
    scene.circle.Attach(&scene.selfDock, &scene.friendsDock, &camera);
    scene.circle.SetSelf("0", "User", "", "");
    for (int i = 1; i <= 3; ++i)
    {
        scene.circle.AddFriend(std::to_string(i), "Friend", "", "");
        scene.circle.LayoutFriends();
    }
    EXPECT_FLOAT_EQ(camera.GetHeading(), 0.0f) << "nothing is laid out before a look";

    const auto& holders = scene.circle.GetHolders();
    ASSERT_EQ(holders.size(), 4u);
    // Four places at heights 0.75, 0.25, −0.25 and −0.75, the user first.
    const float userLatitude = 90.0f - std::acos(0.75f) * 180.0f / GFX_Globe::Pi;
    EXPECT_NEAR(holders[0]->GetLatitude(), userLatitude, 1e-4f);
    EXPECT_NEAR(camera.GetHeading(), holders[0]->GetLongitude() + 0.5f, 1e-4f);
    EXPECT_NEAR(camera.GetPitch(), userLatitude, 1e-4f);

    // Turned away, the camera stays so until the next layout is asked for.
    camera.SetHeading(100.0f);
    scene.circle.GetHolders();
    EXPECT_FLOAT_EQ(camera.GetHeading(), 100.0f);
    scene.circle.LayoutFriends();
    scene.circle.Place();
    EXPECT_NEAR(camera.GetHeading(), 0.5f, 1e-4f);
}

TEST(UTL_FriendCircleTest, DotsAreCountedOverResolvedLinesOnlyAndNoneOnTheEnds)
{
    CircleScene scene;
    scene.AddPeople(2);
    scene.circle.ConnectFriends("1", "1", GFX_ConnectionFriends::FriendsDimAlpha, false);
    scene.circle.ConnectFriends("1", "stranger", GFX_ConnectionFriends::FriendsDimAlpha, false);
    EXPECT_EQ(scene.circle.CountDots(), 0) << "no line has found its ends yet";

    scene.ResolveLines();
    const auto& lines = scene.circle.GetConnections();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(lines[0]->IsResolved());
    EXPECT_TRUE(lines[1]->IsResolved());
    EXPECT_FALSE(lines[2]->IsResolved()) << "a line from a person to themselves";
    EXPECT_FALSE(lines[3]->IsResolved());
    // Each end found knows its lines, so that selecting a person can brighten them.
    EXPECT_EQ(
        scene.Holder(1).GetConnections(),
        (std::vector<GFX_ConnectionFriends*>{lines[0].get(), lines[2].get(), lines[3].get()}));
    EXPECT_EQ(scene.Holder(2).GetConnections(),
              std::vector<GFX_ConnectionFriends*>{lines[1].get()});

    long long expected = 0;
    for (int i = 1; i <= 2; ++i)
    {
        const float length =
            scene.Holder(i).GetPosition().Minus(scene.Holder(0).GetPosition()).Length();
        EXPECT_GT(length, 2 * GFX_Connection::DotSpacing);
        expected += static_cast<long long>(length / GFX_Connection::DotSpacing) - 1;
    }
    EXPECT_EQ(scene.circle.CountDots(), expected);
}

TEST(UTL_FriendCircleTest, ClearLetsGoOfEveryoneAndTheCircleFillsAgain)
{
    CircleScene scene;
    UTL_Selection selection(scene.circle);
    std::vector<const GFX_Friend*> removed;
    scene.circle.SetOnRemoving(
        [&](const GFX_Friend* person)
        {
            removed.push_back(person);
            selection.Forget(person);
        });
    scene.AddPeople(3);
    scene.circle.ConnectFriends("1", "2", 0.4f, false);
    selection.Select(&scene.Holder(2), scene.circle.GetFriends()[1].get());
    const GFX_Friend* second = scene.circle.GetFriends()[1].get();

    selection.Reset();
    scene.circle.Clear();
    EXPECT_EQ(removed.size(), 4u);
    EXPECT_NE(std::find(removed.begin(), removed.end(), second), removed.end());
    EXPECT_EQ(scene.circle.GetSelf(), nullptr);
    EXPECT_EQ(scene.circle.GetFriendCount(), 0);
    EXPECT_TRUE(scene.circle.GetHolders().empty());
    EXPECT_TRUE(scene.circle.GetConnections().empty());
    EXPECT_TRUE(scene.selfDock.GetItems().empty());
    EXPECT_TRUE(scene.friendsDock.GetItems().empty());
    EXPECT_EQ(selection.GetPerson(), nullptr);
    EXPECT_EQ(scene.circle.CountDots(), 0);

    // A second circle, with ids the first one also had, finds only its own people.
    scene.circle.AddFriend("2", "Another", "", "");
    scene.circle.AddFriend("5", "Five", "", "");
    scene.circle.LayoutFriends();
    scene.circle.ConnectFriends("2", "5", 0.4f, false);
    scene.ResolveLines();
    EXPECT_EQ(scene.circle.GetHolders().size(), 2u);
    EXPECT_EQ(scene.friendsDock.GetItems().size(), 2u);
    EXPECT_EQ(CircleScene::DockedFriend(scene.friendsDock, 0)->GetName(), "Another");
    EXPECT_GT(scene.circle.CountDots(), 0);
}
