#include "sim/UTL_Selection.h"

#include "scene/GFX_Billboard.h"
#include "scene/GFX_Friend.h"

#include "CircleScene.h"

#include <gtest/gtest.h>

namespace
{
class UTL_SelectionTest : public ::testing::Test
{
protected:
    UTL_SelectionTest()
    {
        scene.AddPeople(3);
        scene.circle.ConnectFriends("1", "2", GFX_ConnectionFriends::FriendsDimAlpha, false);
        scene.ResolveLines();
    }

    // Whether the locator is the selected one, by its flag and its label size.
    bool ShownSelected(size_t index)
    {
        GFX_LocationHolderFriend& holder = scene.Holder(index);
        const float size = holder.GetBillboard()->GetWidth();
        EXPECT_FLOAT_EQ(size, holder.IsSelected() ? GFX_LocationHolder::SelectedLabelSize
                                                  : GFX_LocationHolder::LabelSize)
            << "locator " << index;
        return holder.IsSelected();
    }
    std::vector<bool> Highlighted()
    {
        std::vector<bool> lines;
        for (const auto& line : scene.circle.GetConnections())
            lines.push_back(line->IsHighlighted());
        return lines;
    }

    CircleScene scene;
    UTL_Selection selection{scene.circle};
};
} // namespace

TEST_F(UTL_SelectionTest, ALocatorAndItsPersonAreShownSelectedAndEveryoneElseNot)
{
    // Laid out, the user's locator is the selected one and the user's lines are bright.
    EXPECT_TRUE(scene.Holder(0).IsSelected());
    EXPECT_EQ(Highlighted(), (std::vector<bool>{true, true, true, false}));

    GFX_Friend* bob = scene.circle.GetFriends()[1].get();
    selection.Select(&scene.Holder(2), bob);
    EXPECT_EQ(selection.GetHolder(), &scene.Holder(2));
    EXPECT_EQ(selection.GetPerson(), bob);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(ShownSelected(i), i == 2) << "locator " << i;
    // Bob's lines: to the user, and to friend 1.
    EXPECT_EQ(Highlighted(), (std::vector<bool>{false, true, false, true}));
    EXPECT_FALSE(scene.selfDock.GetItems()[0]->IsSelected());
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(scene.friendsDock.GetItems()[i]->IsSelected(), i == 1) << "item " << i;

    // The user, from their own dock.
    selection.Select(&scene.Holder(0), scene.circle.GetSelf());
    EXPECT_TRUE(scene.selfDock.GetItems()[0]->IsSelected());
    EXPECT_FALSE(scene.friendsDock.GetItems()[1]->IsSelected());
    EXPECT_EQ(Highlighted(), (std::vector<bool>{true, true, true, false}));
}

// A friendship that arrives between two frames has not found its locators yet; selecting one
// of its people right away lights it up all the same.
TEST_F(UTL_SelectionTest, ALineNotYetDrawnLightsUpWithItsPerson)
{
    scene.circle.ConnectFriends("2", "3", GFX_ConnectionFriends::FriendsDimAlpha, false);
    ASSERT_FALSE(scene.circle.GetConnections().back()->IsResolved());
    selection.Select(&scene.Holder(3), scene.circle.GetFriends()[2].get());
    EXPECT_EQ(Highlighted(), (std::vector<bool>{false, false, true, false, true}));
    selection.Select(&scene.Holder(2), scene.circle.GetFriends()[1].get());
    EXPECT_EQ(Highlighted(), (std::vector<bool>{false, true, false, true, true}));
}

TEST_F(UTL_SelectionTest, SelectingNobodyResetsEverythingAndAGonePersonIsForgotten)
{
    GFX_Friend* ann = scene.circle.GetFriends()[0].get();
    selection.Select(&scene.Holder(1), ann);
    selection.Select(nullptr, nullptr);
    EXPECT_EQ(selection.GetHolder(), nullptr);
    EXPECT_EQ(selection.GetPerson(), nullptr);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_FALSE(ShownSelected(i));
    EXPECT_EQ(Highlighted(), (std::vector<bool>(4, false)));
    for (const auto& item : scene.friendsDock.GetItems())
        EXPECT_FALSE(item->IsSelected());

    selection.Select(&scene.Holder(1), ann);
    selection.Forget(scene.circle.GetSelf());
    EXPECT_EQ(selection.GetPerson(), ann) << "someone else went";
    selection.Forget(ann);
    EXPECT_EQ(selection.GetPerson(), nullptr);
    EXPECT_EQ(selection.GetHolder(), &scene.Holder(1)) << "the locator stays";
}
