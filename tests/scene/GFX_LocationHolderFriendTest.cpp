#include "scene/GFX_LocationHolderFriend.h"

#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_Friend.h"

#include "support/TestSceneOwner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

TEST(GFX_LocationHolderFriendTest, PicturesKeepTheirProportionsInsideTheirShareOfTheLabel)
{
    struct Row
    {
        bool selected;
        float width, height;
        float shareWidth, shareHeight;
    };
    for (const Row& row : {
             // Wide: width-bound, also when picked, since 0.675·2 exceeds 0.9.
             Row{false, 200, 100, 0.9f, 0.45f},
             Row{true, 200, 100, 0.9f, 0.45f},
             // Tall and square: height-bound; a picked friend's picture leaves room for the name.
             Row{false, 100, 200, 0.45f, 0.9f},
             Row{true, 100, 200, 0.3375f, 0.675f},
             Row{false, 50, 50, 0.9f, 0.9f},
             Row{true, 50, 50, 0.675f, 0.675f},
             // Not decoded yet, or failed: the whole share.
             Row{false, 0, 0, 0.9f, 0.9f},
             Row{true, 0, 100, 0.9f, 0.675f},
         })
    {
        SCOPED_TRACE(testing::Message() << row.selected << " " << row.width << "x" << row.height);
        const auto share =
            GFX_LocationHolderFriend::FitPicture(row.selected, row.width, row.height);
        EXPECT_FLOAT_EQ(share.width, row.shareWidth);
        EXPECT_FLOAT_EQ(share.height, row.shareHeight);
    }
    // On a 750 label: 675 × 337.5 units.
    const auto wide = GFX_LocationHolderFriend::FitPicture(false, 200, 100);
    EXPECT_FLOAT_EQ(wide.width * 750, 675.0f);
    EXPECT_FLOAT_EQ(wide.height * 750, 337.5f);
}

TEST(GFX_LocationHolderFriendTest, NamesAreCentredBelowThePictureInCellProportions)
{
    const GFX_Vector3 centre{100, 200, 300};
    const GFX_Vector3 up{0, 1, 0};
    const GFX_Vector3 right{1, 0, 0};
    struct Row
    {
        size_t characters;
        float label;
        float glyphWidth, glyphHeight;
    };
    for (const Row& row : {
             // Long names shrink to fit 0.9 of the label…
             Row{30, 2250, 67.5f, 309.375f},
             // …short ones stay at half the glyph height, a cell's proportions.
             Row{2, 750, 51.5625f, 103.125f},
             Row{5, 2250, 154.6875f, 309.375f},
             Row{0, 750, 51.5625f, 103.125f},
         })
    {
        SCOPED_TRACE(testing::Message() << row.characters << " on " << row.label);
        const auto layout = GFX_LocationHolderFriend::LayoutName(row.characters, centre, up, right,
                                                                 row.label, row.label);
        EXPECT_FLOAT_EQ(layout.glyphWidth, row.glyphWidth);
        EXPECT_FLOAT_EQ(layout.glyphHeight, row.glyphHeight);
        EXPECT_LE(layout.glyphWidth, layout.glyphHeight * 0.5f);
        EXPECT_LE(row.characters * layout.glyphWidth, 0.9f * row.label + 1e-3f);
        // Centred across the label, its middle 0.4125 of the label below the centre, and 20
        // units nearer the viewer than the label.
        EXPECT_NEAR(layout.origin.x + row.characters * layout.glyphWidth * 0.5f, centre.x, 1e-3f);
        EXPECT_NEAR(layout.origin.y + layout.glyphHeight * 0.5f, centre.y - 0.4125f * row.label,
                    1e-2f);
        EXPECT_NEAR(layout.origin.z, centre.z + 20.0f, 1e-4f);
    }
}

TEST(GFX_LocationHolderFriendTest, ALabelWritesOnlyTheGlyphsThatFitItsWidth)
{
    // Glyphs shrink to a quarter of a cell's width, 103.125 / 8 on a 750 label: 52 fit its 675
    // units, on any label of that shape.
    EXPECT_EQ(GFX_LocationHolderFriend::MaxNameGlyphs(750, 750), 52u);
    EXPECT_EQ(GFX_LocationHolderFriend::MaxNameGlyphs(2250, 2250), 52u);
    EXPECT_EQ(GFX_LocationHolderFriend::MaxNameGlyphs(0, 0), 0u);

    const struct
    {
        const char* what;
        std::string name;
        size_t glyphs;
        std::string written;
    } rows[] = {
        {"fits", "Ann", 52, "Ann"},
        {"fits exactly", std::string(52, 'a'), 52, std::string(52, 'a')},
        {"a name of 4 MiB", std::string(size_t(4) << 20, 'a'), 52, std::string(49, 'a') + "..."},
        {"a cut inside a sequence backs off", "abcdÃ©xyz", 8, "abcd..."},
        {"no room but for dots", "abcdef", 2, ".."},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        std::string scratch;
        const char* written = GFX_LocationHolderFriend::FitName(row.name, row.glyphs, scratch);
        EXPECT_EQ(written, row.written);
        EXPECT_EQ(written == row.name.c_str(), row.written == row.name) << "no copy when it fits";
        const auto layout = GFX_LocationHolderFriend::LayoutName(std::strlen(written), {0, 0, 0},
                                                                 {0, 1, 0}, {1, 0, 0}, 750, 750);
        EXPECT_GE(layout.glyphWidth * 8.0f, layout.glyphHeight * 0.999f);
    }
}

TEST(GFX_LocationHolderFriendTest, TheHolderLookUpWalksInOrderAndStopsWhenBothAreFound)
{
    TestSceneOwner owner;
    GFX_Friend ann(&owner), bob(&owner), ann2(&owner);
    ann.SetId("1");
    bob.SetId("2");
    ann2.SetId("1");
    GFX_LocationHolder plain(&owner);
    GFX_LocationHolderFriend empty(&owner), holderAnn(&owner), holderBob(&owner),
        holderAnn2(&owner);
    holderAnn.SetFriend(&ann);
    holderBob.SetFriend(&bob);
    holderAnn2.SetFriend(&ann2);
    std::vector<GFX_LocationHolder*> holders{&plain, &empty, &holderAnn, &holderBob, &holderAnn2};

    GFX_LocationHolder* first = nullptr;
    GFX_LocationHolder* second = nullptr;
    WalkForFriendHolders(holders, "1", "2", first, second);
    EXPECT_EQ(first, &holderAnn);
    EXPECT_EQ(second, &holderBob) << "and the walk ended before the second holder of id 1";

    // The same id twice: only the first end is ever found.
    first = second = nullptr;
    WalkForFriendHolders(holders, "2", "2", first, second);
    EXPECT_EQ(first, &holderBob);
    EXPECT_EQ(second, nullptr);

    // What is not found keeps what the caller put there.
    first = second = &plain;
    WalkForFriendHolders(holders, "7", "2", first, second);
    EXPECT_EQ(first, &plain);
    EXPECT_EQ(second, &holderBob);

    EXPECT_TRUE(holderAnn.ShowsFriend(&ann));
    EXPECT_FALSE(holderAnn.ShowsFriend(&ann2));
    EXPECT_EQ(plain.AsFriendHolder(), nullptr);
    EXPECT_EQ(holderAnn.AsFriendHolder(), &holderAnn);
}

TEST(GFX_LocationHolderFriendTest, HighlightingReachesEveryRegisteredConnectionOnly)
{
    TestSceneOwner owner;
    GFX_LocationHolderFriend holder(&owner);
    GFX_ConnectionFriends mine1(&owner), mine2(&owner), other(&owner);
    holder.AddConnection(&mine1);
    holder.AddConnection(&mine2);

    holder.SetConnectionsHighlighted(true);
    EXPECT_TRUE(mine1.IsHighlighted());
    EXPECT_TRUE(mine2.IsHighlighted());
    EXPECT_FALSE(other.IsHighlighted());
    holder.SetConnectionsHighlighted(false);
    EXPECT_FALSE(mine1.IsHighlighted());
    EXPECT_FALSE(mine2.IsHighlighted());
}
