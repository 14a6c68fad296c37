#include "scene/GFX_NamePlate.h"

#include <gtest/gtest.h>

// The plate sits below and to the right of the pointer like a tooltip, turns to the other side
// at the view's edges and never leaves the view.
TEST(GFX_NamePlateTest, PlacedBesideThePointerAndKeptInTheView)
{
    struct Row
    {
        const char* where;
        float x, y;
        float left, top; // expected
    };
    // Ten glyphs: 8 · 10 + 2 · 5 = 90 wide, 16 + 10 = 26 high, in an 800 × 600 view.
    const Row rows[] = {
        {"middle", 400, 300, 414, 282},
        {"right edge", 750, 300, 750 - 14 - 90, 282},
        {"bottom edge", 400, 20, 414, 20 + 18 + 26},
        {"bottom-right corner", 790, 5, 790 - 14 - 90, 5 + 18 + 26},
        {"top edge", 400, 600, 414, 582},
        {"left of the view", -50, 300, 0, 282},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.where);
        const GFX_Rect rect = GFX_NamePlate::Place(row.x, row.y, 10, 800, 600);
        EXPECT_FLOAT_EQ(rect.left, row.left);
        EXPECT_FLOAT_EQ(rect.top, row.top);
        EXPECT_FLOAT_EQ(rect.Width(), 90);
        EXPECT_FLOAT_EQ(rect.Height(), 26);
        EXPECT_GE(rect.bottom, 0);
        EXPECT_LE(rect.right, 800);
    }
    // Wider than the view: it starts at the left edge.
    EXPECT_FLOAT_EQ(GFX_NamePlate::Place(100, 300, 40, 200, 600).left, 0);
    // Text at least 12 pixels high, as readable at 100 %.
    EXPECT_GE(GFX_NamePlate::GlyphHeight, 12);
}

TEST(GFX_NamePlateTest, LongNamesAreCutAndEmptyOnesHideThePlate)
{
    GFX_NamePlate plate(nullptr);
    plate.Show(std::string(100, 'x'), 10, 10);
    EXPECT_EQ(plate.GetText().size(), GFX_NamePlate::MaxColumns);
    EXPECT_EQ(plate.GetText().substr(GFX_NamePlate::MaxColumns - 3), "...");
    plate.Show("", 10, 10);
    EXPECT_FALSE(plate.IsShown());
    plate.Show("Ann", 10, 10);
    plate.Draw(); // without an owner: nothing to draw with, and no GL touched
    plate.Hide();
    EXPECT_FALSE(plate.IsShown());
}
