#include "scene/GFX_WidgetDockedFriend.h"
#include "scene/GFX_Foto.h"
#include "scene/GFX_Friend.h"

#include "support/TestSceneOwner.h"

#include <gtest/gtest.h>

TEST(GFX_WidgetDockedTest, HitsReachOnePixelPastTheEdgesAndClickOnlyAfterAPress)
{
    GFX_WidgetDocked item(nullptr);
    item.SetRect(100, 148, 300, 252);
    EXPECT_TRUE(item.Contains(99, 251)) << "the gap between items belongs to an item";
    EXPECT_TRUE(item.Contains(149, 301));
    EXPECT_FALSE(item.Contains(98.9f, 280));
    EXPECT_FALSE(item.Contains(120, 301.1f));

    EXPECT_FALSE(item.MouseUp(120, 280)) << "a release without a press";
    EXPECT_FALSE(item.MouseDown(50, 50));
    EXPECT_TRUE(item.MouseDown(120, 280));
    EXPECT_FALSE(item.MouseUp(200, 280)) << "released elsewhere";
    EXPECT_FALSE(item.IsPressed());
    EXPECT_TRUE(item.MouseDown(120, 280));
    EXPECT_TRUE(item.MouseUp(121, 281));
}

TEST(GFX_WidgetDockedFriendTest, ShowsTheSquarePictureOrFallsBackToTheOrdinaryOne)
{
    TestSceneOwner owner;
    GFX_WidgetDockedFriend item(&owner);
    bool real = true;
    EXPECT_EQ(item.ShownPhoto(real), nullptr) << "no friend: only the backing square";
    EXPECT_FALSE(real);

    GFX_Friend person(&owner);
    item.SetFriend(&person);
    EXPECT_EQ(item.GetFriend(), &person);
    EXPECT_EQ(item.ShownPhoto(real), nullptr) << "a friend without photos";

    person.SetPicture("pic.jpg");
    person.SetHasPicture(false);
    EXPECT_EQ(item.ShownPhoto(real), person.GetPicture());
    EXPECT_FALSE(real) << "the ordinary slot's flag decides when it is shown";

    person.SetSquarePicture("square.jpg");
    EXPECT_EQ(item.ShownPhoto(real), person.GetSquarePicture());
    EXPECT_TRUE(real);
    person.SetHasSquarePicture(false);
    item.ShownPhoto(real);
    EXPECT_FALSE(real);
}
