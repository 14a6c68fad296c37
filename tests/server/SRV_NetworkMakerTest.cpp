#include "server/SRV_NetworkMaker.h"

#include "server/SRV_Database.h"
#include "server/SRV_Names.h"
#include "server/SRV_PasswordHash.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <unordered_set>

namespace
{
// The shared data set lies beside the checkout (../shared/data), or where HALVANE_SHARED_DATA says.
std::string EgoFile(const char* name)
{
    if (const char* data = std::getenv("HALVANE_SHARED_DATA"))
        return std::string(data) + "/ego-facebook/" + name;
    const char* root = std::getenv("HALVANE_SOURCE_DIR");
    return std::string(root ? root : ".") + "/../shared/data/ego-facebook/" + name;
}

struct Fixture
{
    SRV_Database database;
    SRV_NetworkMaker maker{database, SRV_Names::Builtin(), "halvane", 2};
    Fixture()
    {
        std::string error;
        EXPECT_TRUE(database.Open(":memory:", error)) << error;
    }
};

// Average local clustering of the account's friends: the share of a friend's friends that are
// friends with each other.
double Clustering(SRV_Database& database, const std::vector<int64_t>& people)
{
    double sum = 0;
    int counted = 0;
    for (int64_t uid : people)
    {
        std::vector<int64_t> around = database.FriendsOf(uid);
        around.erase(std::remove_if(around.begin(), around.end(),
                                    [&](int64_t f) {
                                        return !std::binary_search(people.begin(), people.end(), f);
                                    }),
                     around.end());
        if (around.size() < 2)
            continue;
        int linked = 0;
        for (size_t a = 0; a < around.size(); ++a)
            for (size_t b = a + 1; b < around.size(); ++b)
                linked += database.AreFriends(around[a], around[b]);
        sum += 2.0 * linked / (double(around.size()) * double(around.size() - 1));
        ++counted;
    }
    return counted ? sum / counted : 0;
}
} // namespace

TEST(SRV_NetworkMakerTest, SampleIsAnAccountWithFriendsInCommunities)
{
    Fixture f;
    SRV_NetworkMaker::Result result;
    std::string error;
    ASSERT_TRUE(f.maker.MakeSample(400, 7, result, error)) << error;
    EXPECT_EQ(result.friends, 400);
    EXPECT_EQ(f.database.CountPeople(), 401);

    const std::vector<int64_t> friends = f.database.FriendsOf(result.accountUid);
    ASSERT_EQ(friends.size(), 400u);
    const int64_t among = f.database.CountFriendships() - 400;
    EXPECT_EQ(among, result.friendships);
    // Communities show as clustering well above that of a random graph of the same density
    // (where it equals the density).
    const double density = 2.0 * double(among) / (400.0 * 399.0);
    EXPECT_GT(Clustering(f.database, friends), 2.5 * density)
        << "density " << density << ", friendships " << among;

    // The account logs in with the demo password.
    SRV_Account account;
    ASSERT_TRUE(f.database.FindAccountByEmail(result.email, account));
    EXPECT_TRUE(account.demo);
    EXPECT_TRUE(SRV_PasswordHash::Verify("halvane", account.passwordHash));

    // Names come from the lists; pictures are mostly shown, some missing, some hidden.
    const auto& firsts = SRV_Names::Builtin().FirstNames();
    const auto& lasts = SRV_Names::Builtin().LastNames();
    int shown = 0, none = 0, hidden = 0;
    for (int64_t uid : friends)
    {
        SRV_Person person;
        ASSERT_TRUE(f.database.FindPerson(uid, person));
        EXPECT_NE(std::find(firsts.begin(), firsts.end(), person.firstName), firsts.end());
        EXPECT_NE(std::find(lasts.begin(), lasts.end(), person.lastName), lasts.end());
        EXPECT_EQ(person.name, person.firstName + " " + person.lastName);
        EXPECT_TRUE(person.email.empty()) << "friends have no login";
        shown += person.picture == SRV_PictureState::Shown;
        none += person.picture == SRV_PictureState::None;
        hidden += person.picture == SRV_PictureState::Hidden;
    }
    EXPECT_GT(shown, 300);
    EXPECT_GT(none, 0);
    EXPECT_GT(hidden, 0);
}

TEST(SRV_NetworkMakerTest, SameSeedMakesTheSameNetwork)
{
    Fixture a, b;
    SRV_NetworkMaker::Result ra, rb;
    std::string error;
    ASSERT_TRUE(a.maker.MakeSample(60, 3, ra, error));
    ASSERT_TRUE(b.maker.MakeSample(60, 3, rb, error));
    EXPECT_EQ(ra.accountUid, rb.accountUid);
    EXPECT_EQ(ra.email, rb.email);
    EXPECT_EQ(ra.friendships, rb.friendships);
    const auto friends = a.database.FriendsOf(ra.accountUid);
    EXPECT_EQ(friends, b.database.FriendsOf(rb.accountUid));
    for (int64_t uid : friends)
    {
        SRV_Person pa, pb;
        a.database.FindPerson(uid, pa);
        b.database.FindPerson(uid, pb);
        EXPECT_EQ(pa.name, pb.name);
        EXPECT_EQ(a.database.FriendsOf(uid), b.database.FriendsOf(uid));
    }
}

TEST(SRV_NetworkMakerTest, ImportsARealEgoNetworkWithCrlfLines)
{
    if (!std::ifstream(EgoFile("698.edges")))
    {
        // The test command requires the data, so that a missing copy fails rather than hides.
        if (std::getenv("HALVANE_REQUIRE_DATA"))
            FAIL() << "the shared data set is missing (HALVANE_REQUIRE_DATA is set): "
                   << EgoFile("698.edges");
        GTEST_SKIP() << "the shared data set is not beside the repository (see the README): "
                     << EgoFile("698.edges");
    }
    Fixture f;
    SRV_NetworkMaker::Result result;
    std::string error;
    ASSERT_TRUE(f.maker.ImportEgo(EgoFile("698.edges"), result, error)) << error;
    EXPECT_EQ(result.accountUid, SRV_NetworkMaker::EgoUidBase + 698);
    EXPECT_EQ(result.friends, 61);
    EXPECT_EQ(result.friendships, 270);
    EXPECT_EQ(f.database.FriendsOf(result.accountUid).size(), 61u);
    EXPECT_EQ(f.database.CountFriendships(), 61 + 270);

    // Importing again changes nothing and keeps the account.
    SRV_NetworkMaker::Result again;
    ASSERT_TRUE(f.maker.ImportEgo(EgoFile("698.edges"), again, error)) << error;
    EXPECT_EQ(again.email, result.email);
    EXPECT_EQ(again.friendships, 0);
    EXPECT_EQ(f.database.CountPeople(), 62);
    EXPECT_EQ(f.database.CountFriendships(), 61 + 270);
    EXPECT_EQ(f.database.ListAccounts().size(), 1u);
}

TEST(SRV_NetworkMakerTest, ImportNamesPeopleByTheirNodeIdAcrossFiles)
{
    TempDir dir;
    Fixture f;
    SRV_NetworkMaker::Result r1, r2;
    std::string error;
    ASSERT_TRUE(f.maker.ImportEgo(dir.Write("5.edges", "10 11\r\n11 10\r\n"), r1, error)) << error;
    ASSERT_TRUE(f.maker.ImportEgo(dir.Write("6.edges", "# comment\n\n11 12\n"), r2, error))
        << error;
    EXPECT_EQ(r1.friendships, 1) << "both directions of an edge are one friendship";
    // Node 11 is one person, friend of both egos.
    const int64_t shared = SRV_NetworkMaker::EgoUidBase + 11;
    const auto friends = f.database.FriendsOf(shared);
    EXPECT_EQ(friends, (std::vector<int64_t>{
                           SRV_NetworkMaker::EgoUidBase + 5, SRV_NetworkMaker::EgoUidBase + 6,
                           SRV_NetworkMaker::EgoUidBase + 10, SRV_NetworkMaker::EgoUidBase + 12}));
    EXPECT_EQ(f.database.ListAccounts().size(), 2u);
}

TEST(SRV_NetworkMakerTest, ImportThatFailsHalfWayLeavesTheDatabaseAsItWas)
{
    TempDir dir;
    std::string good;
    for (int i = 0; i < 500; ++i)
        good += std::to_string(i) + " " + std::to_string(i + 1) + "\r\n";
    const struct
    {
        const char* name;
        std::string file;
        std::string message;
    } rows[] = {
        {"a word in place of an id", good + "12 twelve\r\n" + good, ":501:"},
        {"three ids", good + "1 2 3\n", ":501:"},
        {"one id", good + "7\n", ":501:"},
        {"an id out of range", good + "1 12345678901\n", ":501:"},
        {"a negative id", good + "-1 2\n", ":501:"},
        {"an endless line", good + std::string(1'000'000, '1') + " 2\n", ":501:"},
        {"binary junk", good + std::string("\x00\x01\x02 \xff", 6) + "\n", ":501:"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        Fixture f;
        SRV_NetworkMaker::Result before;
        std::string error;
        ASSERT_TRUE(f.maker.ImportEgo(dir.Write("9.edges", "1 2\n"), before, error));
        const int64_t people = f.database.CountPeople(),
                      friendships = f.database.CountFriendships();

        SRV_NetworkMaker::Result result;
        EXPECT_FALSE(f.maker.ImportEgo(dir.Write("4.edges", row.file), result, error));
        EXPECT_NE(error.find(row.message), std::string::npos) << error;
        EXPECT_EQ(f.database.CountPeople(), people);
        EXPECT_EQ(f.database.CountFriendships(), friendships);
        EXPECT_EQ(f.database.ListAccounts().size(), 1u);
    }
}

TEST(SRV_NetworkMakerTest, ImportNeedsAnEgoFileName)
{
    TempDir dir;
    Fixture f;
    SRV_NetworkMaker::Result result;
    std::string error;
    EXPECT_FALSE(f.maker.ImportEgo(dir.Write("friends.edges", "1 2\n"), result, error));
    EXPECT_NE(error.find("ego"), std::string::npos) << error;
    EXPECT_FALSE(f.maker.ImportEgo(dir.File("12.edges"), result, error)) << "missing file";
    EXPECT_EQ(f.database.CountPeople(), 0);
}
