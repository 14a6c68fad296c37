#include "server/SRV_Database.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

// A database file written before tokens recorded when their login page was shown opens, keeps
// its tokens and takes the new column.
TEST(SRV_DatabaseTest, OpensAFileWhoseTokensLackTheShownColumn)
{
    TempDir dir;
    const std::string path = dir.File("old.db");
    sqlite3* old = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &old), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(old,
                     "CREATE TABLE auth_tokens(token TEXT PRIMARY KEY, api_key TEXT NOT NULL, "
                     "uid INTEGER NOT NULL DEFAULT 0, expires INTEGER NOT NULL);"
                     "INSERT INTO auth_tokens VALUES('feed', 'key', 0, 2000);",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(old);

    for (int opening = 0; opening < 2; ++opening)
    {
        SCOPED_TRACE(opening == 0 ? "first opening" : "second opening");
        SRV_Database database;
        std::string error;
        ASSERT_TRUE(database.Open(path, error)) << error;
        SRV_Token token;
        ASSERT_TRUE(database.FindToken("feed", token));
        EXPECT_EQ(token.apiKey, "key");
        EXPECT_EQ(token.expires, 2000);
        EXPECT_TRUE(database.MarkTokenShown("feed", 1000 + opening));
        ASSERT_TRUE(database.FindToken("feed", token));
        EXPECT_EQ(token.shown, 1000 + opening);
        EXPECT_TRUE(database.AddToken("new" + std::to_string(opening), "key", 3000));
    }
    SRV_Database database;
    std::string error;
    ASSERT_TRUE(database.Open(path, error)) << error;
    database.PruneTokens(1500, 1);
    SRV_Token token;
    EXPECT_TRUE(database.FindToken("feed", token)) << "the one shown stays";
    EXPECT_FALSE(database.FindToken("new0", token));
    EXPECT_FALSE(database.FindToken("new1", token));
    database.PruneTokens(2000, 1);
    EXPECT_FALSE(database.FindToken("feed", token)) << "until it expires";
}

// Pair states answered a batch at a time agree with the pair-by-pair definition, whichever way
// each part is found: rows read as friend lists or pair by pair (few pairs, or more friends
// than the list may hold), people found by the walk along the table or looked up past it.
TEST(SRV_DatabaseTest, PairStatesAgreeWithLookingUpEachPair)
{
    SRV_Database database;
    std::string error;
    ASSERT_TRUE(database.Open(":memory:", error)) << error;
    // People 1..600 close together and 10^9 + 7k far apart; friends when the sum is a multiple
    // of 3, and person 2 with everyone.
    std::vector<int64_t> people;
    for (int64_t uid = 1; uid <= 600; ++uid)
        people.push_back(uid);
    for (int64_t k = 0; k < 40; ++k)
        people.push_back(1'000'000'000 + 7 * k);
    std::string unused;
    ASSERT_TRUE(database.Transaction(
        [&]
        {
            SRV_Person person;
            for (int64_t uid : people)
            {
                person.uid = uid;
                person.name = "P" + std::to_string(uid);
                if (!database.AddPerson(person))
                    return false;
            }
            for (int64_t a : people)
                for (int64_t b : people)
                    if (a < b && ((a + b) % 3 == 0 || a == 2) && !database.AddFriendship(a, b))
                        return false;
            return true;
        },
        unused));

    const std::vector<int64_t> nobody = {0, 601, 999'999'999, 1'000'000'001, -5};
    struct Case
    {
        const char* name;
        std::vector<int64_t> first, second;
    } cases[] = {{"rows of the pair triangle", {}, {}},
                 {"a few pairs per uid, people far apart", {}, {}},
                 {"a short row of many friends, across many people", {}, {}},
                 {"nobody and the same uid twice", {}, {}}};
    for (size_t j = 0; j + 1 < people.size(); j += 37)
        for (size_t k = j + 1; k < people.size(); ++k)
            cases[0].first.push_back(people[j]), cases[0].second.push_back(people[k]);
    for (size_t i = 0; i + 3 < people.size(); i += 3)
        cases[1].first.push_back(people[i]),
            cases[1].second.push_back(people[people.size() - 1 - i]);
    // 16 pairs make a list, but of no more than 512 friends; 17 uids walk past 200 people.
    for (size_t k = 0; k < 16; ++k)
        cases[2].first.push_back(2), cases[2].second.push_back(people[k * 37]);
    for (int64_t uid : nobody)
        for (int64_t other : {int64_t(3), uid, int64_t(1'000'000'007)})
        {
            cases[3].first.push_back(uid), cases[3].second.push_back(other);
            cases[3].first.push_back(other), cases[3].second.push_back(uid);
        }
    cases[3].first.push_back(6), cases[3].second.push_back(6);

    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::vector<SRV_PairState> states = database.PairStates(c.first, c.second);
        ASSERT_EQ(states.size(), c.first.size());
        for (size_t i = 0; i < states.size(); ++i)
        {
            const int64_t a = c.first[i], b = c.second[i];
            const SRV_PairState expected = !database.PersonExists(a) || !database.PersonExists(b)
                                               ? SRV_PairState::Unknown
                                           : database.AreFriends(a, b) ? SRV_PairState::Friends
                                                                       : SRV_PairState::Strangers;
            EXPECT_EQ(states[i], expected) << a << " and " << b;
        }
    }
}
