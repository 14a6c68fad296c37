#include "scene/GFX_LabelRoom.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
GFX_Rect Square(float x, float y, float side)
{
    return {x, x + side, y + side, y};
}

std::vector<char> PlaceAll(const std::vector<GFX_LabelRoom::Candidate>& candidates)
{
    GFX_LabelRoom room;
    std::vector<char> placed;
    room.Place(candidates, 800, 600, placed);
    return placed;
}
} // namespace

TEST(GFX_LabelRoomTest, EachLabelGoesOnlyWhereItLeavesThoseBeforeItUncovered)
{
    const std::vector<GFX_LabelRoom::Candidate> candidates = {
        {Square(100, 100, 40)},
        {Square(130, 110, 40)}, // covers the first: left out, however it ranks below
        {Square(150, 100, 40)}, // clear of the first, but within its clearance of 20 pixels
        {Square(200, 100, 40)}, // clear, clearance and all
        {Square(900, 100, 40)}, // beyond the view
        {Square(-39, 300, 40)}, // a pixel of it in the view: placed
    };
    EXPECT_EQ(PlaceAll(candidates), (std::vector<char>{1, 0, 0, 1, 0, 1}));

    // The order decides: the same two the other way round keep the other one.
    EXPECT_EQ(PlaceAll({{Square(130, 110, 40)}, {Square(100, 100, 40)}}),
              (std::vector<char>{1, 0}));
}

TEST(GFX_LabelRoomTest, ALabelPlacedBeforeKeepsItsPlaceThroughASmallOverlapANewOneDoesNot)
{
    // Moved by a few pixels into its neighbour: 3 of 40 columns shared, 7.5 % of each.
    for (bool wasPlaced : {true, false})
    {
        SCOPED_TRACE(wasPlaced ? "placed before" : "new");
        const std::vector<char> placed =
            PlaceAll({{Square(100, 100, 40), true}, {Square(137, 100, 40), wasPlaced}});
        EXPECT_EQ(placed[1], wasPlaced ? 1 : 0);
    }
    // More than the kept share, and it gives way too.
    EXPECT_EQ(PlaceAll({{Square(100, 100, 40), true}, {Square(135, 100, 40), true}})[1], 0);
}

TEST(GFX_LabelRoomTest, NoLabelPlacedIsCoveredBeyondTheKeptShare)
{
    // A crowd of every size, all placed before (the loosest test there is), in a busy view.
    std::mt19937 random(7);
    std::uniform_real_distribution<float> where(-50.0f, 800.0f), side(5.0f, 200.0f);
    std::vector<GFX_LabelRoom::Candidate> candidates;
    for (int i = 0; i < 3000; ++i)
        candidates.push_back({Square(where(random), where(random) * 0.75f, side(random)), true});
    const std::vector<char> placed = PlaceAll(candidates);
    std::vector<GFX_Rect> shown;
    for (size_t i = 0; i < candidates.size(); ++i)
        if (placed[i])
            shown.push_back(candidates[i].rect);
    ASSERT_GT(shown.size(), 20u);
    EXPECT_LE(GFX_LabelRoom::LargestCoveredShare(shown), GFX_LabelRoom::KeptOverlap + 1e-5f);

    // The measure itself: a quarter of the smaller of two squares, both ways round.
    EXPECT_FLOAT_EQ(GFX_LabelRoom::LargestCoveredShare({Square(0, 0, 10), Square(5, 5, 20)}),
                    0.25f);
    EXPECT_FLOAT_EQ(GFX_LabelRoom::LargestCoveredShare({Square(5, 5, 20), Square(0, 0, 10)}),
                    0.25f);
}
