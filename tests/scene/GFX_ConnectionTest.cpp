#include "scene/GFX_ConnectionFriends.h"

#include "scene/GFX_Billboard.h"

#include "support/TestSceneOwner.h"

#include <gtest/gtest.h>

TEST(GFX_ConnectionTest, LinesAreSplitIntoWholeIntervalsOfAtLeastNinetyUnits)
{
    struct Row
    {
        float length;
        int intervals;
    };
    // n intervals carry n − 1 dots: 450 units four, 180 one, 179 and 100 none.
    for (const Row& row : {Row{450, 5}, Row{449.9f, 4}, Row{180, 2}, Row{179, 1}, Row{100, 1},
                           Row{0, 0}, Row{11111, 123}})
    {
        SCOPED_TRACE(row.length);
        EXPECT_EQ(GFX_Connection::DotIntervals(row.length), row.intervals);
    }
}

TEST(GFX_ConnectionTest, FriendLinesStartDimAndUnresolved)
{
    TestSceneOwner owner;
    GFX_ConnectionFriends connection(&owner);
    EXPECT_EQ(connection.GetDimAlpha(), 0.3f);
    EXPECT_FALSE(connection.IsHighlighted());
    EXPECT_FALSE(connection.IsResolved());
    EXPECT_EQ(connection.GetBillboard()->GetWidth(), 90.0f);
    EXPECT_EQ(connection.GetBillboard()->GetHeight(), 90.0f);

    // Nothing to find: the line keeps looking, one look-up per draw, and draws nothing.
    connection.SetIds("1", "2");
    connection.Draw();
    connection.Draw();
    EXPECT_EQ(owner.holderLookups, 2);
    EXPECT_FALSE(connection.IsResolved());

    // Without an owner there is no one to ask.
    GFX_ConnectionFriends orphan(nullptr);
    orphan.SetIds("1", "2");
    orphan.Draw();
    EXPECT_FALSE(orphan.IsResolved());
}
