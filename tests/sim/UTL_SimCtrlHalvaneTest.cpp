#include "sim/UTL_SimCtrlHalvane.h"

#include "scene/GFX_Billboard.h"
#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_LocationHolderFriend.h"

#include "support/HolderWalk.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

// The controller's bookkeeping of people, holders and lines, which needs no GL: friends and
// holders exist before Initialize (there are no docks then).

namespace
{
// Every ordered pair of `ids` looked up by the controller and by the walk, with outputs that
// start out holding a marker the look-up must leave alone where it finds nothing.
void ExpectLookUpsMatchTheWalk(UTL_SimCtrlHalvane& controller, const std::vector<std::string>& ids)
{
    GFX_LocationHolder marker(nullptr);
    const auto& holders = controller.GetCircle().GetHolders();
    for (const std::string& id1 : ids)
        for (const std::string& id2 : ids)
        {
            GFX_LocationHolder* found1 = &marker;
            GFX_LocationHolder* found2 = &marker;
            controller.FindFriendHolders(id1, id2, found1, found2);
            GFX_LocationHolder* walked1 = &marker;
            GFX_LocationHolder* walked2 = &marker;
            WalkForFriendHolders(holders, id1, id2, walked1, walked2);
            EXPECT_EQ(found1, walked1) << "holder1 of (" << id1 << ", " << id2 << ")";
            EXPECT_EQ(found2, walked2) << "holder2 of (" << id1 << ", " << id2 << ")";
        }
}

GFX_Friend* ShownFriend(const std::unique_ptr<GFX_LocationHolder>& holder)
{
    GFX_LocationHolderFriend* friendHolder = holder->AsFriendHolder();
    return friendHolder ? friendHolder->GetFriend() : nullptr;
}
} // namespace

TEST(UTL_SimCtrlHalvaneTest, ConstructionTouchesNothingAndAnUninitialisedControllerGoesQuietly)
{
    UTL_SimCtrlHalvane controller;
    EXPECT_EQ(controller.GetMotion().GetAutoMode(), UTL_CameraMotion::AutoIdle);
    EXPECT_FALSE(controller.GetMotion().IsFlying());
    EXPECT_EQ(controller.GetCircle().GetSelf(), nullptr);
    EXPECT_EQ(controller.GetInterface().GetSelfDock(), nullptr);
    EXPECT_EQ(controller.GetInterface().GetNavigationDial(), nullptr);
    EXPECT_EQ(controller.GetInterface().GetRotationButton(0), nullptr);
    EXPECT_EQ(controller.GetPictureWorker(), nullptr);
    EXPECT_EQ(controller.GetCircle().GetFriendCount(), 0);
    EXPECT_EQ(controller.GetCircle().GetFriendId(0), "");

    // People may arrive before any GL exists; they simply have no docked items yet.
    controller.GetCircle().SetSelf("1", "Me", "", "");
    controller.GetCircle().AddFriend("2", "You", "", "");
    controller.GetCircle().LayoutFriends();
    controller.GetCircle().ConnectSelf();
    EXPECT_EQ(controller.GetCircle().GetHolders().size(), 2u);
}

TEST(UTL_SimCtrlHalvaneTest, FriendsWithoutPicturesShowThePlaceholder)
{
    UTL_SimCtrlHalvane controller;
    controller.GetCircle().AddFriend("10", "Ann", "", "");
    controller.GetCircle().AddFriend("11", "Bob", "http://pictures.test/bob.jpg", "");
    ASSERT_EQ(controller.GetCircle().GetFriendCount(), 2);
    EXPECT_EQ(controller.GetCircle().GetFriendId(0), "10");
    EXPECT_EQ(controller.GetCircle().GetFriendId(1), "11");
    EXPECT_EQ(controller.GetCircle().GetFriendId(2), "");
    EXPECT_EQ(controller.GetCircle().GetFriendId(-1), "");

    const GFX_Friend& ann = *controller.GetCircle().GetFriends()[0];
    EXPECT_EQ(ann.GetName(), "Ann");
    EXPECT_EQ(ann.GetPicture()->GetPath(), "./data/config/question.tga");
    EXPECT_EQ(ann.GetSquarePicture()->GetPath(), "./data/config/question.tga");
    EXPECT_FALSE(ann.HasPicture());
    EXPECT_FALSE(ann.HasSquarePicture());

    const GFX_Friend& bob = *controller.GetCircle().GetFriends()[1];
    EXPECT_EQ(bob.GetPicture()->GetPath(), "http://pictures.test/bob.jpg");
    EXPECT_TRUE(bob.HasPicture());
    EXPECT_EQ(bob.GetSquarePicture()->GetPath(), "./data/config/question.tga");
    EXPECT_FALSE(bob.HasSquarePicture());
}

TEST(UTL_SimCtrlHalvaneTest, LayoutPutsTheUserFirstOnTheSpiralAndReusesHolders)
{
    UTL_SimCtrlHalvane controller;
    controller.GetCircle().SetSelf("1", "Me", "", "");
    for (const char* id : {"2", "3", "4"})
    {
        controller.GetCircle().AddFriend(id, std::string("Friend ") + id, "", "");
        controller.GetCircle().LayoutFriends();
    }

    const auto& holders = controller.GetCircle().GetHolders();
    ASSERT_EQ(holders.size(), 4u);
    // Four places: heights 0.75, 0.25, −0.25, −0.75, each a golden angle further east.
    const float userLatitude = 90.0f - std::acos(0.75f) * 180.0f / 3.1415925f;
    EXPECT_NEAR(userLatitude, 48.59f, 0.01f);
    EXPECT_EQ(ShownFriend(holders[0]), controller.GetCircle().GetSelf());
    EXPECT_NEAR(holders[0]->GetLatitude(), userLatitude, 1e-4f);
    EXPECT_NEAR(holders[0]->GetLongitude(), 0.0f, 1e-4f);
    EXPECT_TRUE(holders[0]->IsSelected());
    EXPECT_FLOAT_EQ(holders[0]->GetBillboard()->GetWidth(), 2250.0f);
    for (size_t i = 1; i < holders.size(); ++i)
    {
        EXPECT_EQ(ShownFriend(holders[i]), controller.GetCircle().GetFriends()[i - 1].get()) << i;
        EXPECT_FALSE(holders[i]->IsSelected()) << i;
        EXPECT_FLOAT_EQ(holders[i]->GetBillboard()->GetWidth(), 750.0f) << i;
        EXPECT_FLOAT_EQ(holders[i]->GetBallSize(), 100.0f) << i;
    }
    EXPECT_NEAR(holders[1]->GetLatitude(), 90.0f - std::acos(0.25f) * 180.0f / 3.1415925f, 1e-3f);
    EXPECT_NEAR(holders[1]->GetLongitude(), 137.5078f, 1e-3f);
    // Placed means positioned: the ball sits on the globe at its place.
    EXPECT_NEAR(holders[2]->GetPosition().Length(), 5555.5f, 0.05f);

    // A fifth person spreads everyone again, on the same holders plus one.
    const GFX_LocationHolder* first = holders[0].get();
    controller.GetCircle().AddFriend("5", "Friend 5", "", "");
    controller.GetCircle().LayoutFriends();
    const auto& grown = controller.GetCircle().GetHolders();
    ASSERT_EQ(grown.size(), 5u);
    EXPECT_EQ(grown[0].get(), first);
    EXPECT_NEAR(grown[0]->GetLatitude(), 90.0f - std::acos(0.8f) * 180.0f / 3.1415925f, 1e-3f);
    EXPECT_EQ(ShownFriend(grown[4]), controller.GetCircle().GetFriends()[3].get());
}

TEST(UTL_SimCtrlHalvaneTest, WithoutTheUserFriendsStartAtTheFirstHolder)
{
    UTL_SimCtrlHalvane controller;
    controller.GetCircle().AddFriend("2", "Ann", "", "");
    controller.GetCircle().AddFriend("3", "Bob", "", "");
    controller.GetCircle().LayoutFriends();
    const auto& holders = controller.GetCircle().GetHolders();
    ASSERT_EQ(holders.size(), 2u);
    EXPECT_EQ(ShownFriend(holders[0]), controller.GetCircle().GetFriends()[0].get());
    EXPECT_FALSE(holders[0]->IsSelected());
    EXPECT_FLOAT_EQ(holders[0]->GetBillboard()->GetWidth(), 750.0f);
    EXPECT_NEAR(holders[0]->GetLatitude(), 30.0f, 1e-3f); // height 0.5
}

TEST(UTL_SimCtrlHalvaneTest, HolderLookUpMatchesAWalkOverTheHolders)
{
    UTL_SimCtrlHalvane controller;
    controller.GetCircle().SetSelf("s", "Me", "", "");
    // A broken answer may list a person twice, or the user among the friends: the first of two
    // equal holders is not always the one a walk in order settles on.
    for (const char* id : {"a", "b", "a", "c", "s", "b", "d"})
        controller.GetCircle().AddFriend(id, id, "", "");
    controller.GetCircle().LayoutFriends();
    ExpectLookUpsMatchTheWalk(controller, {"s", "a", "b", "c", "d", "unknown", ""});

    // A second user record takes the first one's holder away from it.
    controller.GetCircle().SetSelf("t", "Me again", "", "");
    ExpectLookUpsMatchTheWalk(controller, {"s", "t", "a", "b", "d", "unknown"});
    controller.GetCircle().LayoutFriends();
    ExpectLookUpsMatchTheWalk(controller, {"s", "t", "a", "b", "d", "unknown"});
}

TEST(UTL_SimCtrlHalvaneTest, ALineFromAPersonToThemselvesHasNoSecondEnd)
{
    UTL_SimCtrlHalvane controller;
    controller.GetCircle().AddFriend("a", "Ann", "", "");
    controller.GetCircle().AddFriend("b", "Bob", "", "");
    controller.GetCircle().LayoutFriends();

    GFX_LocationHolder* holder1 = nullptr;
    GFX_LocationHolder* holder2 = nullptr;
    controller.FindFriendHolders("a", "a", holder1, holder2);
    EXPECT_EQ(holder1, controller.GetCircle().GetHolders()[0].get());
    EXPECT_EQ(holder2, nullptr);

    holder1 = holder2 = nullptr;
    controller.FindFriendHolders("b", "a", holder1, holder2);
    EXPECT_EQ(holder1, controller.GetCircle().GetHolders()[1].get());
    EXPECT_EQ(holder2, controller.GetCircle().GetHolders()[0].get());
}

TEST(UTL_SimCtrlHalvaneTest, TheUsersLinesAreHighlightedAndFaint)
{
    UTL_SimCtrlHalvane controller;
    controller.GetCircle().AddFriend("2", "Ann", "", "");
    controller.GetCircle().ConnectSelf();
    EXPECT_TRUE(controller.GetCircle().GetConnections().empty()) << "no user, no lines of the user";

    controller.GetCircle().SetSelf("1", "Me", "", "");
    controller.GetCircle().AddFriend("3", "Bob", "", "");
    controller.GetCircle().ConnectSelf();
    controller.GetCircle().ConnectFriends("2", "3", GFX_ConnectionFriends::FriendsDimAlpha, false);
    const auto& lines = controller.GetCircle().GetConnections();
    ASSERT_EQ(lines.size(), 3u);
    for (int i = 0; i < 2; ++i)
    {
        EXPECT_EQ(lines[i]->GetId1(), "1");
        EXPECT_EQ(lines[i]->GetId2(), controller.GetCircle().GetFriendId(i));
        EXPECT_FLOAT_EQ(lines[i]->GetDimAlpha(), 0.15f);
        EXPECT_TRUE(lines[i]->IsHighlighted());
    }
    EXPECT_EQ(lines[2]->GetId1(), "2");
    EXPECT_FLOAT_EQ(lines[2]->GetDimAlpha(), 0.4f);
    EXPECT_FALSE(lines[2]->IsHighlighted());
}
