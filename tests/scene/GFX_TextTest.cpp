#include "scene/GFX_Text.h"

#include <gtest/gtest.h>

TEST(GFX_TextTest, CharactersMapOntoCellsAsSignedBytes)
{
    struct Row
    {
        char character;
        int column, row;
    };
    // Row 0 is the top of the font; codes 128…255 are negative and fall outside the grid, with
    // the remainder taking the sign of the code, on every platform whatever its char.
    for (const Row& row :
         {Row{'A', 1, 4}, Row{' ', 0, 2}, Row{'~', 14, 7}, Row{'\x01', 1, 0}, Row{'\x7f', 15, 7},
          Row{'\xc8', -8, -3}, Row{'\x80', 0, -8}, Row{'\xff', -1, 0}})
    {
        SCOPED_TRACE(int(static_cast<unsigned char>(row.character)));
        const GFX_Text::Cell cell = GFX_Text::CellOf(row.character);
        EXPECT_EQ(cell.column, row.column);
        EXPECT_EQ(cell.row, row.row);
    }
}

TEST(GFX_TextTest, GlyphsSampleTheLeftHalfAndLower95PercentOfTheirCell)
{
    const GFX_Text::GlyphCoords a = GFX_Text::GlyphCoordsOf('A');
    EXPECT_FLOAT_EQ(a.s0, 0.0625f);
    EXPECT_FLOAT_EQ(a.s1, 0.09375f);
    EXPECT_FLOAT_EQ(a.t0, 0.6875f);
    EXPECT_FLOAT_EQ(a.t1, 0.746875f);

    // Code 200 lies left of and above the picture, where the clamped wrap mode shows its edge.
    const GFX_Text::GlyphCoords outside = GFX_Text::GlyphCoordsOf('\xc8');
    EXPECT_FLOAT_EQ(outside.s0, -0.5f);
    EXPECT_GT(outside.t0, 1.0f);
}

// Shaped lines are made in quarter-octave steps, so a zoom makes a line again once per step
// and it never shows more than a tenth off the size it was made at; the steps stay in range.
TEST(GFX_TextTest, LinesAreMadeInFewSizesCloseToTheirSizeOnScreen)
{
    for (float pixels : {8.0f, 9.3f, 12.0f, 16.0f, 23.7f, 50.0f, 100.0f, 128.0f})
    {
        SCOPED_TRACE(pixels);
        const int size = GFX_Text::LineSize(pixels);
        EXPECT_NEAR(float(size) / pixels, 1.0f, 0.11f);
        EXPECT_EQ(GFX_Text::LineSize(pixels * 1.02f), size) << "a small zoom keeps the line";
    }
    EXPECT_EQ(GFX_Text::LineSize(0.0f), GFX_Text::MinLineSize);
    EXPECT_EQ(GFX_Text::LineSize(-1.0f), GFX_Text::MinLineSize);
    EXPECT_EQ(GFX_Text::LineSize(1e9f), GFX_Text::MaxLineSize);
    EXPECT_TRUE(GFX_Text::DrawsWhole("Anne-Marie O'Neil (2)"));
    EXPECT_FALSE(GFX_Text::DrawsWhole("Zoë"));
    EXPECT_FALSE(GFX_Text::DrawsWhole("a\tb"));
}
