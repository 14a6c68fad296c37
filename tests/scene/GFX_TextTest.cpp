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
