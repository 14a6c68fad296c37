#include "sim/UTL_CircleAnalysis.h"

#include "CircleScene.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// The circle's centralities computed in the background, as the window's ticks drive it.
namespace
{
// Polls until `done` holds, for at most a minute (a busy machine computes slowly).
template <typename Condition> bool PollUntil(UTL_CircleAnalysis& analysis, Condition done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!done())
    {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        analysis.Poll();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
} // namespace

TEST(UTL_CircleAnalysisTest, FriendshipsArrivingWhileItComputesCostOneComputationMore)
{
    CircleScene scene;
    scene.AddPeople(5);
    // 3 stands between the pair 1, 2 and the pair 4, 5.
    for (auto [a, b] : {std::pair{"1", "2"}, {"2", "3"}, {"3", "4"}, {"4", "5"}, {"1", "3"}})
        scene.circle.ConnectFriends(a, b, GFX_ConnectionFriends::FriendsDimAlpha, false);
    UTL_CircleAnalysis analysis(scene.circle);
    analysis.SetQuietSeconds(0.0);
    analysis.SetCommunitySource([](const std::string& id) { return id < "3" ? 0 : 1; });

    analysis.Poll();
    ASSERT_TRUE(analysis.IsComputing() || analysis.GetTableVersion() == 0);
    // Three batches of friendships while it computes (or before it starts).
    for (auto [a, b] : {std::pair{"2", "4"}, {"1", "5"}, {"2", "5"}})
        scene.circle.ConnectFriends(a, b, GFX_ConnectionFriends::FriendsDimAlpha, false);
    ASSERT_TRUE(PollUntil(analysis, [&] { return analysis.IsTableCurrent(); }));
    EXPECT_LE(analysis.GetTableVersion(), 2u) << "one computation for all three batches";
    EXPECT_TRUE(analysis.GetError().empty()) << analysis.GetError();

    const UTL_PeopleTable& table = analysis.GetTable();
    ASSERT_EQ(table.RowCount(), 5u) << "a row per friend, none for the user";
    ASSERT_TRUE(table.HasCentralities());
    const UTL_PeopleTable::Row& third = table.At(table.RowOf(analysis.Graph().Find("3")));
    EXPECT_EQ(third.friends, 3u);
    EXPECT_GT(third.betweenness, 0.0);
    EXPECT_EQ(third.community, 1) << "as the source has it";
    EXPECT_FALSE(analysis.IsComputing());

    // An emptied circle empties the table at once.
    scene.circle.Clear();
    ASSERT_TRUE(PollUntil(analysis, [&] { return analysis.IsTableCurrent(); }));
    EXPECT_EQ(analysis.GetTable().RowCount(), 0u);
}
