#include "scene/GFX_Dock.h"

#include "support/TestSceneOwner.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// An 800 × 600 view and a dock configured like the friends dock: 48-pixel items magnified to 96,
// 25 pixels from the top, with a 16-pixel strip.
class GFX_DockTest : public ::testing::Test
{
protected:
    GFX_Dock& MakeDock(GFX_DockSide side, int count, float itemSize = 48, float magnified = 96)
    {
        dock.SetSide(side);
        dock.SetStartOffset(25);
        dock.SetThickness(16);
        dock.SetItemSize(itemSize);
        dock.SetMagnifiedSize(magnified);
        for (int i = 0; i < count; ++i)
            dock.AddItem(std::make_unique<GFX_WidgetDocked>(&owner));
        dock.Update(0.016f);
        return dock;
    }
    GFX_WidgetDocked& Item(size_t i) { return *dock.GetItems().at(i); }
    static float CentreX(const GFX_WidgetDocked& item) { return item.GetRect().CentreX(); }
    static float CentreY(const GFX_WidgetDocked& item) { return item.GetRect().CentreY(); }

    TestSceneOwner owner;
    GFX_Dock dock{&owner};
};

void ExpectRect(const GFX_Rect& rect, float left, float right, float top, float bottom)
{
    EXPECT_FLOAT_EQ(rect.left, left);
    EXPECT_FLOAT_EQ(rect.right, right);
    EXPECT_FLOAT_EQ(rect.top, top);
    EXPECT_FLOAT_EQ(rect.bottom, bottom);
}
} // namespace

TEST_F(GFX_DockTest, NewItemsStartAtTheItemSizeAndEaseTowardsTheirTarget)
{
    MakeDock(GFX_DockSide::Right, 1);
    EXPECT_FLOAT_EQ(Item(0).GetWidth(), 48) << "no growth from the item's own default of 32";
    EXPECT_FLOAT_EQ(Item(0).GetTargetHeight(), 48);
    EXPECT_EQ(dock.AddItem(nullptr), nullptr);
    EXPECT_EQ(dock.GetItems().size(), 1u);

    Item(0).SetTargetSize(96);
    dock.Update(0.016f);
    EXPECT_FLOAT_EQ(Item(0).GetWidth(), 0.67f * 48 + 0.33f * 96);
    for (int frame = 0; frame < 60; ++frame)
        dock.Update(0.016f);
    EXPECT_NEAR(Item(0).GetHeight(), 96, 1e-3f);
}

TEST_F(GFX_DockTest, LaysItemsOutAlongEachEdgeOnePixelApart)
{
    struct Row
    {
        GFX_DockSide side;
        GFX_Rect first, second, strip;
    };
    // Three 48-pixel items; each strip piece is as long as its item plus the gap: 3 · 49.
    const Row rows[] = {
        {GFX_DockSide::Left, {18, 66, 573, 525}, {18, 66, 524, 476}, {1, 17, 574, 427}},
        {GFX_DockSide::Right, {734, 782, 573, 525}, {734, 782, 524, 476}, {783, 799, 574, 427}},
        {GFX_DockSide::Top, {27, 75, 582, 534}, {76, 124, 582, 534}, {26, 173, 599, 583}},
        {GFX_DockSide::Bottom, {27, 75, 66, 18}, {76, 124, 66, 18}, {26, 173, 17, 1}},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(testing::Message() << "side " << int(row.side));
        GFX_Dock fresh(&owner);
        fresh.SetSide(row.side);
        fresh.SetStartOffset(25);
        fresh.SetThickness(16);
        fresh.SetItemSize(48);
        for (int i = 0; i < 3; ++i)
            fresh.AddItem(std::make_unique<GFX_WidgetDocked>(&owner));
        fresh.Update(0.016f);
        const auto& items = fresh.GetItems();
        ExpectRect(items[0]->GetRect(), row.first.left, row.first.right, row.first.top,
                   row.first.bottom);
        ExpectRect(items[1]->GetRect(), row.second.left, row.second.right, row.second.top,
                   row.second.bottom);
        ExpectRect(fresh.GetStripRect(), row.strip.left, row.strip.right, row.strip.top,
                   row.strip.bottom);
    }
}

TEST_F(GFX_DockTest, MixedSizesStackWithoutOverlapAndAlignToTheEdge)
{
    MakeDock(GFX_DockSide::Right, 3);
    Item(1).SetSize(96);
    dock.Update(0.016f);
    ExpectRect(Item(0).GetRect(), 734, 782, 573, 525);
    ExpectRect(Item(1).GetRect(), 686, 782, 524, 428); // right-aligned beside the strip
    ExpectRect(Item(2).GetRect(), 734, 782, 427, 379);
    EXPECT_FLOAT_EQ(dock.GetStripRect().bottom, 379);
}

TEST_F(GFX_DockTest, MagnifiesTheItemUnderTheMouseOnAGaussianFalloff)
{
    MakeDock(GFX_DockSide::Left, 13, 64, 128);
    EXPECT_TRUE(dock.MouseMove(CentreX(Item(6)), CentreY(Item(6))));
    const float neighbour = 64 + 64 * std::exp(-1 / 2.42f);
    EXPECT_NEAR(neighbour, 106.3f, 0.05f);
    EXPECT_FLOAT_EQ(Item(6).GetTargetWidth(), 128);
    EXPECT_FLOAT_EQ(Item(5).GetTargetWidth(), neighbour);
    EXPECT_FLOAT_EQ(Item(7).GetTargetHeight(), neighbour);
    EXPECT_GT(Item(1).GetTargetWidth(), 64) << "five away still grows a little";
    EXPECT_FLOAT_EQ(Item(0).GetTargetWidth(), 64) << "six away does not";
    EXPECT_FLOAT_EQ(Item(12).GetTargetWidth(), 64);
    EXPECT_FLOAT_EQ(Item(6).GetWidth(), 64) << "sizes only change through the frames";

    // Leaving the items lets every one shrink back.
    EXPECT_FALSE(dock.MouseMove(400, 300));
    for (const auto& item : dock.GetItems())
        EXPECT_FLOAT_EQ(item->GetTargetWidth(), 64);
}

TEST_F(GFX_DockTest, ScrollsOnlyWithinItsRange)
{
    // Ten items of 48 in a 600-pixel view: room for 11 items and one magnified one.
    MakeDock(GFX_DockSide::Right, 10);
    EXPECT_FLOAT_EQ(dock.ScrollRange(), 11 * 48 + 96 - 600);

    ASSERT_TRUE(dock.MouseDown(CentreX(Item(0)), CentreY(Item(0))));
    dock.MouseMove(CentreX(Item(0)), CentreY(Item(0)) + 100);
    EXPECT_FLOAT_EQ(dock.GetScroll(), 100) << "a drag scrolls at once";
    dock.Update(0.016f);
    EXPECT_FLOAT_EQ(dock.GetScroll(), 24);
    EXPECT_FLOAT_EQ(dock.GetScrollTarget(), 24);
    EXPECT_FLOAT_EQ(Item(0).GetRect().top, 573 + 24) << "the items follow the scroll";

    dock.MouseMove(CentreX(Item(0)), -500);
    dock.Update(0.016f);
    EXPECT_FLOAT_EQ(dock.GetScroll(), 0);
    EXPECT_FLOAT_EQ(dock.GetScrollTarget(), 0);
    dock.MouseUp(0, 0);

    // A dock that fits the view does not scroll at all.
    GFX_Dock small(&owner);
    small.SetItemSize(48);
    small.AddItem(std::make_unique<GFX_WidgetDocked>(&owner));
    EXPECT_FLOAT_EQ(small.ScrollRange(), 0);
}

TEST_F(GFX_DockTest, HorizontalDocksScrollTowardsTheirLaterItems)
{
    MakeDock(GFX_DockSide::Bottom, 30);
    EXPECT_FLOAT_EQ(dock.ScrollRange(), 31 * 48 + 96 - 800);
    const float firstLeft = Item(0).GetRect().left;
    // Dragging left pulls the row along with the pointer and brings later items in.
    ASSERT_TRUE(dock.MouseDown(CentreX(Item(3)), CentreY(Item(3))));
    dock.MouseMove(CentreX(Item(3)) - 30, CentreY(Item(3)));
    dock.Update(0.016f);
    EXPECT_FLOAT_EQ(dock.GetScroll(), 30);
    EXPECT_FLOAT_EQ(Item(0).GetRect().left, firstLeft - 30 - dock.MagnificationShift())
        << "the scroll, and what the row moved by to keep the pointer's item under it";
    dock.MouseMove(CentreX(Item(3)) + 100, CentreY(Item(3)));
    dock.Update(0.016f);
    EXPECT_FLOAT_EQ(dock.GetScroll(), 0) << "dragging right stops at the first item";
}

TEST_F(GFX_DockTest, AReleaseClicksOnlyWhenThePressScrolledLessThanFivePixels)
{
    for (float drag : {0.0f, 4.0f, 4.9f, 5.0f, 12.0f})
    {
        SCOPED_TRACE(testing::Message() << "dragged " << drag);
        GFX_Dock fresh(&owner);
        fresh.SetSide(GFX_DockSide::Right);
        fresh.SetItemSize(48);
        for (int i = 0; i < 20; ++i)
            fresh.AddItem(std::make_unique<GFX_WidgetDocked>(&owner));
        fresh.Update(0.016f);
        GFX_WidgetDocked* target = fresh.GetItems()[2].get();
        const float x = CentreX(*target), y = CentreY(*target);

        ASSERT_TRUE(fresh.MouseDown(x, y));
        EXPECT_TRUE(target->IsPressed());
        fresh.MouseMove(x, y + drag);
        fresh.Update(0.016f); // the item moved up with the scroll: the release is over it
        const bool click = drag < 5;
        EXPECT_EQ(fresh.MouseUp(x, y + drag), click);
        EXPECT_EQ(fresh.GetClicked(), click ? target : nullptr);
        EXPECT_FALSE(target->IsPressed()) << "no item stays pressed after the release";
    }
}

TEST_F(GFX_DockTest, AnItemDraggedAwayFromIsNotClickedByALaterRelease)
{
    MakeDock(GFX_DockSide::Right, 20);
    const float x = CentreX(Item(2)), y = CentreY(Item(2));
    ASSERT_TRUE(dock.MouseDown(x, y));
    dock.MouseMove(x, y + 20);
    dock.MouseMove(x, y);
    dock.Update(0.016f);
    EXPECT_FALSE(dock.MouseUp(x, y)) << "scrolled 40 pixels in all";

    // A later press on the strip, released over the same item without moving, clicks nothing.
    ASSERT_TRUE(dock.MouseDown(791, y));
    EXPECT_TRUE(dock.IsDraggingStrip());
    EXPECT_FALSE(dock.MouseUp(x, y));
    EXPECT_EQ(dock.GetClicked(), nullptr);
}

TEST_F(GFX_DockTest, TheStripScrollsWithoutMagnifyingAndTakesPressesOnlyNearIt)
{
    MakeDock(GFX_DockSide::Right, 20);
    EXPECT_FALSE(dock.MouseDown(400, 300)) << "the middle of the view";
    EXPECT_FALSE(dock.MouseDown(781, 580)) << "above the first item and the strip";
    EXPECT_TRUE(dock.MouseDown(799.5f, 300)) << "within a pixel of the strip still grabs it";
    EXPECT_TRUE(dock.IsButtonDown() && dock.IsDraggingStrip());
    dock.MouseUp(799.5f, 300);
    EXPECT_TRUE(dock.MouseDown(790, 300));

    EXPECT_TRUE(dock.MouseMove(CentreX(Item(3)), CentreY(Item(3)) + 10));
    EXPECT_FLOAT_EQ(dock.GetScroll(), CentreY(Item(3)) + 10 - 300);
    for (const auto& item : dock.GetItems())
        EXPECT_FLOAT_EQ(item->GetTargetWidth(), 48) << "no magnifying while the strip is held";
    EXPECT_FALSE(dock.MouseUp(CentreX(Item(3)), CentreY(Item(3))));
    EXPECT_FALSE(dock.IsDraggingStrip() || dock.IsButtonDown());
}

TEST_F(GFX_DockTest, RevealScrollsASelectedItemBelowTheViewUpAtMost128PixelsAFrame)
{
    MakeDock(GFX_DockSide::Right, 100);
    Item(50).SetSelected(true);
    Item(70).SetSelected(true); // only the first selected item counts
    dock.RevealSelected();
    dock.Update(0.016f);
    EXPECT_FALSE(dock.IsRevealPending());
    EXPECT_FLOAT_EQ(dock.GetScrollTarget(), -Item(50).GetRect().bottom);

    float previous = dock.GetScroll();
    for (int frame = 0; frame < 200; ++frame)
    {
        dock.Update(0.016f);
        EXPECT_LE(dock.GetScroll() - previous, 128.0f);
        previous = dock.GetScroll();
    }
    EXPECT_NEAR(Item(50).GetRect().bottom, 0, 0.5f) << "scrolled until its bottom shows";
    EXPECT_LT(Item(70).GetRect().bottom, 0);
}

TEST_F(GFX_DockTest, RevealScrollsASelectedItemAboveTheViewBackDown)
{
    MakeDock(GFX_DockSide::Left, 100);
    ASSERT_TRUE(dock.MouseDown(CentreX(Item(5)), CentreY(Item(5))));
    dock.MouseMove(CentreX(Item(5)), CentreY(Item(5)) + 500);
    dock.MouseUp(0, 0);
    dock.Update(0.016f);
    ASSERT_FLOAT_EQ(dock.GetScroll(), 500);
    Item(0).SetSelected(true);
    dock.RevealSelected();
    dock.Update(0.016f);
    for (int frame = 0; frame < 200; ++frame)
        dock.Update(0.016f);
    EXPECT_NEAR(Item(0).GetRect().top, 600, 0.5f);

    // Nothing selected, or already in view: the request is dropped without scrolling.
    Item(0).SetSelected(false);
    const float target = dock.GetScrollTarget();
    dock.RevealSelected();
    dock.Update(0.016f);
    EXPECT_FALSE(dock.IsRevealPending());
    EXPECT_FLOAT_EQ(dock.GetScrollTarget(), target);
}

TEST_F(GFX_DockTest, RevealWorksOnHorizontalDocksToo)
{
    MakeDock(GFX_DockSide::Top, 100);
    Item(30).SetSelected(true);
    dock.RevealSelected();
    for (int frame = 0; frame < 200; ++frame)
        dock.Update(0.016f);
    EXPECT_NEAR(Item(30).GetRect().right, 800, 0.5f);

    Item(30).SetSelected(false);
    Item(2).SetSelected(true);
    dock.RevealSelected();
    for (int frame = 0; frame < 200; ++frame)
        dock.Update(0.016f);
    EXPECT_NEAR(Item(2).GetRect().left, 0, 0.5f);
}

TEST_F(GFX_DockTest, RemovingAnItemForgetsItAsTheClickedOne)
{
    MakeDock(GFX_DockSide::Right, 3);
    GFX_WidgetDocked* middle = &Item(1);
    ASSERT_TRUE(dock.MouseDown(CentreX(*middle), CentreY(*middle)));
    ASSERT_TRUE(dock.MouseUp(CentreX(*middle), CentreY(*middle)));
    ASSERT_EQ(dock.GetClicked(), middle);

    EXPECT_TRUE(dock.RemoveItem(middle));
    EXPECT_EQ(dock.GetClicked(), nullptr);
    EXPECT_FALSE(dock.RemoveItem(middle));
    dock.Update(0.016f);
    ASSERT_EQ(dock.GetItems().size(), 2u);
    EXPECT_FLOAT_EQ(Item(1).GetRect().top, 524) << "the rest close the gap";
}

TEST_F(GFX_DockTest, AnItemThatSlidAwayFromAStillPointerStillTakesItsClick)
{
    MakeDock(GFX_DockSide::Right, 20);
    GFX_WidgetDocked* pressed = &Item(4);
    const GFX_Rect rect = pressed->GetRect();
    const float x = rect.CentreX(), y = rect.top - 2; // near its upper edge
    ASSERT_TRUE(dock.MouseDown(x, y));
    // The items above it grow meanwhile (the magnification around the pointer settles): the
    // pressed item moves down, out from under the pointer, and its neighbour takes its place.
    Item(3).SetSize(96);
    dock.Update(0.016f);
    ASSERT_FALSE(pressed->Contains(x, y));
    ASSERT_TRUE(Item(3).Contains(x, y));
    EXPECT_TRUE(dock.MouseUp(x, y));
    EXPECT_EQ(dock.GetClicked(), pressed) << "not the neighbour now under the pointer";

    // Moved off the press by the slop or more, the release clicks nothing.
    ASSERT_TRUE(dock.MouseDown(CentreX(Item(8)), CentreY(Item(8))));
    Item(7).SetSize(96);
    dock.Update(0.016f);
    EXPECT_FALSE(dock.MouseUp(CentreX(Item(10)), CentreY(Item(10))));
}

TEST_F(GFX_DockTest, TheItemUnderAPointerAtRestStaysThereAndTakesTheClick)
{
    // The items above the one under the pointer grow too; were the column laid out from its
    // start alone, a pointer resting anywhere but low on an item would end up over the item
    // above it within a second, and a click there would miss the item it rested on.
    for (GFX_DockSide side : {GFX_DockSide::Right, GFX_DockSide::Bottom})
    {
        MakeDock(side, 0);
        for (int target : {0, 1, 5, 9})
        {
            for (float share : {0.05f, 0.3f, 0.5f, 0.95f})
            {
                SCOPED_TRACE(testing::Message() << "side " << int(side) << ", item " << target
                                                << " at " << share << " of it");
                dock.PointerLeft();
                for (size_t i = dock.GetItems().size(); i < 12; ++i)
                    dock.AddItem(std::make_unique<GFX_WidgetDocked>(&owner));
                for (int frame = 0; frame < 120; ++frame)
                    dock.Update(0.016f);
                ASSERT_NEAR(dock.MagnificationShift(), 0, 0.01f) << "gone once the items shrank";
                const GFX_Rect rect = Item(target).GetRect();
                const float x =
                    dock.IsVertical() ? rect.CentreX() : rect.left + share * rect.Width();
                const float y =
                    dock.IsVertical() ? rect.top - share * rect.Height() : rect.CentreY();
                for (int frame = 0; frame < 120; ++frame) // two seconds at rest
                {
                    ASSERT_TRUE(dock.MouseMove(x, y));
                    ASSERT_EQ(dock.GetHovered(), &Item(target)) << "frame " << frame;
                    dock.Update(0.016f);
                }
                EXPECT_NEAR(Item(target).GetWidth(), 96, 0.01f);
                ASSERT_TRUE(dock.MouseDown(x, y));
                EXPECT_TRUE(dock.MouseUp(x, y));
                EXPECT_EQ(dock.GetClicked(), &Item(target));
            }
        }
    }
}

TEST_F(GFX_DockTest, PointerLeavingShrinksTheItemsUnlessTheButtonIsDown)
{
    MakeDock(GFX_DockSide::Right, 10);
    ASSERT_TRUE(dock.MouseMove(CentreX(Item(2)), CentreY(Item(2))));
    EXPECT_EQ(dock.GetHovered(), &Item(2));
    dock.PointerLeft();
    EXPECT_EQ(dock.GetHovered(), nullptr);
    for (const auto& item : dock.GetItems())
        EXPECT_FLOAT_EQ(item->GetTargetWidth(), 48);

    dock.MouseMove(CentreX(Item(2)), CentreY(Item(2)));
    ASSERT_TRUE(dock.MouseDown(CentreX(Item(2)), CentreY(Item(2))));
    dock.PointerLeft();
    EXPECT_FLOAT_EQ(Item(2).GetTargetWidth(), 96) << "a press in progress keeps its item";
    EXPECT_TRUE(dock.RemoveItem(&Item(2)));
    EXPECT_EQ(dock.GetHovered(), nullptr) << "a removed item is forgotten";
}
