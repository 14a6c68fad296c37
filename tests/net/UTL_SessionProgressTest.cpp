#include "net/UTL_SessionProgress.h"

#include <gtest/gtest.h>

namespace
{
using Stage = UTL_SessionProgress::Stage;

UTL_SessionProgress Make(Stage stage, int friends, uint64_t asked = 0, uint64_t found = 0,
                         std::string reason = "")
{
    UTL_SessionProgress progress;
    progress.stage = stage;
    progress.friends = friends;
    progress.pairs = uint64_t(friends) * uint64_t(friends > 0 ? friends - 1 : 0) / 2;
    progress.pairsAsked = asked;
    progress.found = found;
    progress.reason = std::move(reason);
    return progress;
}
} // namespace

TEST(UTL_SessionProgressTest, EveryStageReadsInPlainWords)
{
    const struct
    {
        UTL_SessionProgress progress;
        const char* text;
        int percent;
        bool failure;
    } rows[] = {
        {Make(Stage::LoadingFriendships, 747, 12400, 1206),
         "747 friends · friendships 12,400 of 278,631 pairs asked · 1,206 found", 4, false},
        {Make(Stage::AllKnown, 747, 278631, 1206), "747 friends · all 1,206 friendships known", -1,
         false},
        {Make(Stage::AllKnown, 2, 1, 1), "2 friends · all 1 friendship known", -1, false},
        {Make(Stage::AllKnown, 1), "1 friend · no friendships to ask", -1, false},
        {Make(Stage::AllKnown, 0), "No friends in this circle", -1, false},
        {Make(Stage::ServerUnreachable, 0, 0, 0, "127.0.0.1:8765"),
         "Server unreachable (127.0.0.1:8765); trying again every few seconds", -1, true},
        {Make(Stage::LoginRefused, 0),
         "Not logged in: the login was refused or not finished. File > Log in again to retry", -1,
         true},
        {Make(Stage::FriendsFailed, 0, 0, 0, "friends.get failed with error 2: Busy"),
         "Friends not loaded: friends.get failed with error 2: Busy. File > Log in again to retry",
         -1, true},
        {Make(Stage::BatchesFailed, 50, 819, 400, "friends.areFriends failed with error 1: x"),
         "50 friends · friendships stopped after 819 of 1,225 pairs (400 found): "
         "friends.areFriends failed with error 1: x",
         -1, true},
        {Make(Stage::SessionLost, 5000, 1234567, 1000),
         "5,000 friends · session lost after 1,234,567 of 12,497,500 pairs (1,000 friendships "
         "found). File > Log in again to go on",
         -1, true},
        {Make(Stage::Stopped, 30), "", -1, false},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(row.progress.Describe(), row.text);
        EXPECT_EQ(row.progress.Percent(), row.percent);
        EXPECT_EQ(row.progress.IsFailure(), row.failure);
    }
}

TEST(UTL_SessionProgressTest, ThousandsAreGroupedByThree)
{
    // The boundaries where a comma appears or moves.
    const std::pair<uint64_t, const char*> rows[] = {
        {0, "0"},
        {999, "999"},
        {1000, "1,000"},
        {30025, "30,025"},
        {999999, "999,999"},
        {12497500, "12,497,500"},
        {18446744073709551615u, "18,446,744,073,709,551,615"},
    };
    for (const auto& [value, text] : rows)
        EXPECT_EQ(UTL_SessionProgress::Thousands(value), text);
    EXPECT_EQ(Make(Stage::LoadingFriendships, 3, 5).Percent(), 100) << "never past the end";
}
