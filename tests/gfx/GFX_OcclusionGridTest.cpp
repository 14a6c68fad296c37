#include "gfx/GFX_OcclusionGrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
constexpr float Cell = float(GFX_OcclusionGrid::CellSize);
} // namespace

// A 200 × 100 viewport with one rectangle from (16, 16) to (80, 48) at depth 1000: cells
// (2…9, 2…5) lie wholly inside it.
TEST(GFX_OcclusionGridTest, HidesOnlyWhatLiesWhollyBehindWholeCells)
{
    GFX_OcclusionGrid grid;
    grid.Reset(200, 100);
    EXPECT_TRUE(grid.IsEmpty());
    EXPECT_FALSE(grid.Hides(20, 20, 30, 30, 5000)) << "nothing hides anything yet";
    grid.AddRectangle(16, 16, 80, 48, 1000);
    EXPECT_FALSE(grid.IsEmpty());

    const struct
    {
        const char* what;
        float x0, y0, x1, y1, depth;
        bool hidden;
    } rows[] = {
        {"inside, farther", 20, 20, 60, 40, 1500, true},
        {"inside, up to the rectangle's edges", 16, 16, 79.9f, 47.9f, 1500, true},
        {"inside, nearer", 20, 20, 60, 40, 900, false},
        {"inside, at the same depth", 20, 20, 60, 40, 1000, false},
        {"inside, within the depth margin", 20, 20, 60, 40, 1000.5f, false},
        {"inside, just past the margin", 20, 20, 60, 40, 1002, true},
        {"reaching past the right edge", 20, 20, 81, 40, 1500, false},
        {"reaching below the bottom edge", 20, 15, 60, 40, 1500, false},
        {"beside the rectangle", 100, 20, 120, 40, 1500, false},
        {"a box turned inside out", 60, 20, 20, 40, 1500, false},
        {"no depth", 20, 20, 60, 40, 0, false},
        {"depth not a number", 20, 20, 60, 40, std::numeric_limits<float>::quiet_NaN(), false},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(grid.Hides(row.x0, row.y0, row.x1, row.y1, row.depth), row.hidden);
    }

    grid.Reset(200, 100);
    EXPECT_FALSE(grid.Hides(20, 20, 60, 40, 1500)) << "Reset forgets the rectangles";
}

// A cell that a rectangle covers only in part does not count, even where a second rectangle
// covers the rest of it: the grid knows nothing of what lies between its cells' edges.
TEST(GFX_OcclusionGridTest, PartlyCoveredCellsHideNothing)
{
    GFX_OcclusionGrid grid;
    grid.Reset(64, 64);
    // Two halves of the cell (1, 1), side by side.
    grid.AddRectangle(Cell, Cell, Cell * 1.5f, Cell * 2, 100);
    grid.AddRectangle(Cell * 1.5f, Cell, Cell * 2, Cell * 2, 100);
    EXPECT_TRUE(grid.IsEmpty()) << "neither covers a whole cell";
    EXPECT_FALSE(grid.Hides(Cell + 1, Cell + 1, Cell * 2 - 1, Cell * 2 - 1, 500));

    // Two rectangles meeting on a cell edge do cover a box across that edge.
    grid.AddRectangle(0, 0, Cell * 3, Cell, 100);
    grid.AddRectangle(Cell * 3, 0, Cell * 6, Cell, 200);
    EXPECT_TRUE(grid.Hides(Cell, 1, Cell * 5, Cell - 1, 300));
    EXPECT_FALSE(grid.Hides(Cell, 1, Cell * 5, Cell - 1, 150))
        << "the box is nearer than the farther of the two";
}

// Where rectangles overlap, the nearest decides; a farther one drawn later does not make what
// lies between them visible.
TEST(GFX_OcclusionGridTest, TheNearestRectangleOfACellDecides)
{
    GFX_OcclusionGrid grid;
    grid.Reset(64, 64);
    grid.AddRectangle(0, 0, 32, 32, 100);
    grid.AddRectangle(0, 0, 32, 32, 800);
    EXPECT_TRUE(grid.Hides(4, 4, 20, 20, 400));
}

// Off the viewport nothing is recorded: a box wholly off it is left to the clipper, a box partly
// on it is judged by its part on it.
TEST(GFX_OcclusionGridTest, OnlyThePartOnTheViewportCounts)
{
    GFX_OcclusionGrid grid;
    grid.Reset(64, 64);
    grid.AddRectangle(-100, -100, 200, 200, 100);
    EXPECT_TRUE(grid.Hides(-50, -50, 40, 40, 500));
    EXPECT_TRUE(grid.Hides(0, 0, 64, 64, 500));
    EXPECT_FALSE(grid.Hides(70, 0, 90, 10, 500));
    EXPECT_FALSE(grid.Hides(-30, -30, -10, -10, 500));

    GFX_OcclusionGrid none;
    none.Reset(0, 0);
    none.AddRectangle(0, 0, 10, 10, 100);
    EXPECT_FALSE(none.Hides(0, 0, 5, 5, 500)) << "an empty viewport hides nothing";
}
