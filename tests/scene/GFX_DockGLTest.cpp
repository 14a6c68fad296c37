#include "scene/GFX_Dock.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_WidgetDockedFriend.h"
#include "util/UTL_FotoTextureBoss.h"

#include "OverlayPass.h"
#include "support/GLTestFixture.h"
#include "support/ImageFiles.h"
#include "support/TempDir.h"
#include "support/TestSceneOwner.h"

#include <GL/gl.h>
#include <chrono>
#include <thread>

namespace
{
const GLTest::Pixel Black{0, 0, 0, 255};
const GLTest::Pixel White{255, 255, 255, 255};
const GLTest::Pixel LightBlue{178, 229, 255, 255};

class GFX_DockGLTest : public GLTest
{
protected:
    // A friends dock along the right edge: 48-pixel items under a 16-pixel strip.
    void MakeDock(int count)
    {
        dock.SetSide(GFX_DockSide::Right);
        dock.SetStartOffset(25);
        dock.SetItemSize(48);
        dock.SetThickness(16);
        for (int i = 0; i < count; ++i)
            dock.AddItem(std::make_unique<GFX_WidgetDockedFriend>(&owner));
        dock.Update(0.016f);
    }
    GFX_WidgetDockedFriend& Item(size_t i)
    {
        return static_cast<GFX_WidgetDockedFriend&>(*dock.GetItems().at(i));
    }
    Pixel PixelAt(const GFX_Rect& rect, float dx = 0, float dy = 0)
    {
        return ReadPixel(int(rect.CentreX() + dx), int(rect.CentreY() + dy));
    }

    TestSceneOwner owner;
    GFX_Dock dock{&owner};
};
} // namespace

TEST_F(GFX_DockGLTest, SelectedItemsAndAHeldStripShowTheSelectedButtonColour)
{
    MakeDock(3);
    Item(1).SetSelected(true);
    BeginOverlayPass(Width, Height);
    dock.Draw();
    EXPECT_PRED3(Near, PixelAt(Item(0).GetRect()), White, 2);
    EXPECT_PRED3(Near, PixelAt(Item(1).GetRect()), LightBlue, 2);
    EXPECT_PRED3(Near, PixelAt(Item(2).GetRect()), White, 2);
    EXPECT_PRED3(Near, ReadPixel(790, 500), White, 2) << "the strip beside the items";
    EXPECT_PRED3(Near, ReadPixel(790, 400), Black, 0) << "the strip ends with the last item";
    EXPECT_PRED3(Near, ReadPixel(700, 500), Black, 0);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    ASSERT_TRUE(dock.MouseDown(790, 500));
    BeginOverlayPass(Width, Height);
    dock.Draw();
    EXPECT_PRED3(Near, ReadPixel(790, 500), LightBlue, 2);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GFX_DockGLTest, FriendsShowTheirPictureAndPlaceholdersTakeTheTextColour)
{
    TempDir dir;
    const std::string red = dir.Write("red.tga", MakeTga(8, 8, 255, 0, 0));
    const std::string blank = dir.Write("blank.tga", MakeTga(8, 8, 255, 255, 255));
    UTL_FotoTextureBoss worker;
    owner.pictureWorker = &worker;
    owner.theme.LocatorTextColor = {0, 1, 0};
    owner.theme.LocatorTextColorSel = {0, 0, 1};

    GFX_Friend withPicture(&owner), withoutPicture(&owner), selectedWithout(&owner);
    withPicture.SetSquarePicture(red);
    withoutPicture.SetSquarePicture(blank);
    withoutPicture.SetHasSquarePicture(false);
    selectedWithout.SetPicture(blank); // no square one: the ordinary picture stands in
    selectedWithout.SetHasPicture(false);

    MakeDock(4);
    Item(0).SetFriend(&withPicture);
    Item(1).SetFriend(&withoutPicture);
    Item(2).SetFriend(&selectedWithout);
    Item(2).SetSelected(true);

    BeginOverlayPass(Width, Height);
    dock.Draw(); // asks the worker for the pictures
    worker.Start();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while ((!withPicture.GetSquarePicture()->GetTexture() ||
            !withoutPicture.GetSquarePicture()->GetTexture() ||
            !selectedWithout.GetPicture()->GetTexture()) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));

    BeginOverlayPass(Width, Height);
    dock.Draw();
    EXPECT_PRED3(Near, PixelAt(Item(0).GetRect()), (Pixel{255, 0, 0, 255}), 2);
    EXPECT_PRED3(Near, PixelAt(Item(1).GetRect()), (Pixel{0, 255, 0, 255}), 2);
    EXPECT_PRED3(Near, PixelAt(Item(2).GetRect()), (Pixel{0, 0, 255, 255}), 2);
    EXPECT_PRED3(Near, PixelAt(Item(3).GetRect()), White, 2) << "no friend: the backing only";
    // The backing square shows in the 4-pixel margin around the picture.
    EXPECT_PRED3(Near, PixelAt(Item(0).GetRect(), 22, 0), White, 2);
    EXPECT_PRED3(Near, PixelAt(Item(2).GetRect(), 22, 0), LightBlue, 2);
    EXPECT_PRED3(Near, ReadPixel(790, 500), White, 2) << "the strip still draws after them";
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GFX_DockGLTest, ItemsScrolledOutOfTheViewAreNotDrawn)
{
    // Each drawn friend asks the owner for the picture worker once: the count tells how many
    // items drew. 600 pixels hold twelve 49-pixel rows below the 25-pixel start offset.
    UTL_FotoTextureBoss worker;
    owner.pictureWorker = &worker;
    std::vector<std::unique_ptr<GFX_Friend>> friends;
    MakeDock(1000);
    for (const auto& item : dock.GetItems())
    {
        friends.push_back(GFX_Friend::FromRecord(&owner, "1", "name", "", ""));
        static_cast<GFX_WidgetDockedFriend&>(*item).SetFriend(friends.back().get());
    }
    BeginOverlayPass(Width, Height);
    dock.Draw();
    EXPECT_EQ(owner.pictureWorkerCalls, 12);
    EXPECT_PRED3(Near, ReadPixel(790, 5), White, 2) << "the strip runs to the bottom";
}
