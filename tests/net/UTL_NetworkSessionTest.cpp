#include "net/UTL_NetworkSession.h"

#include "net/UTL_FriendReceiver.h"
#include "support/StubRestServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{
const char XmlHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
const char Self[] = "100";

// Records what the friend queries hand over, in order.
class RecordingReceiver : public UTL_FriendReceiver
{
public:
    void SetSelf(const std::string& id, const std::string& name, const std::string& picture,
                 const std::string& square) override
    {
        log.push_back("self " + id + " " + name + " [" + picture + "] [" + square + "]");
    }
    void AddFriend(const std::string& id, const std::string& name, const std::string& picture,
                   const std::string& square) override
    {
        ids.push_back(id);
        log.push_back("friend " + id + " " + name + " [" + picture + "] [" + square + "]");
    }
    void LayoutFriends() override { log.push_back("layout"); }
    void ConnectSelf() override { log.push_back("connect self"); }
    void ConnectFriends(const std::string& id1, const std::string& id2, float dimAlpha,
                        bool highlighted) override
    {
        EXPECT_FLOAT_EQ(dimAlpha, 0.4f);
        EXPECT_FALSE(highlighted);
        links.push_back(id1 + "-" + id2);
    }
    int GetFriendCount() const override { return static_cast<int>(ids.size()); }
    const std::string& GetFriendId(int index) const override { return ids[index]; }

    std::vector<std::string> ids;
    std::vector<std::string> log;
    std::vector<std::string> links;
};

std::string Element(const std::string& name, const std::string& text)
{
    return "<" + name + ">" + text + "</" + name + ">";
}

// A scripted network: the user 100 with n friends numbered from 1 (100 skipped: that is the
// user), friends when the sum of their uids is odd. Answers are chosen by method; `failMethod`
// gets the error `failCode` instead, from its call `failFrom` on (counted from 0).
struct ScriptedNetwork
{
    explicit ScriptedNetwork(int friends, std::string failMethod = "")
        : friends(friends), failMethod(std::move(failMethod)),
          server([this](const StubRestServer::Request& request, size_t) { return Answer(request); })
    {
    }

    std::string Answer(const StubRestServer::Request& request)
    {
        const std::string method =
            request.fields.count("method") ? request.fields.at("method") : "";
        if (method == failMethod && failCalls++ >= failFrom)
            return std::string(XmlHead) + "<error_response><error_code>" + failCode +
                   "</error_code><error_msg>" +
                   (failCode == "2" ? "Service temporarily unavailable"
                                    : "Session key invalid or no longer valid") +
                   "</error_msg></error_response>";
        if (method == "facebook.auth.createToken")
            return std::string(XmlHead) + Element("auth_createToken_response", "tok");
        if (method == "facebook.auth.getSession")
            return std::string(XmlHead) +
                   Element("auth_getSession_response", Element("session_key", "sk") +
                                                           Element("uid", Self) +
                                                           Element("secret", "sec"));
        if (method == "facebook.friends.get")
        {
            std::string uids;
            for (int i = 1; i <= friends; ++i)
                uids += Element("uid", FriendUid(i));
            if (!hostileUid.empty())
                uids += Element("uid", hostileUid);
            return std::string(XmlHead) + Element("friends_get_response", uids);
        }
        if (method == "facebook.users.getInfo")
        {
            // The records of the uids asked for, except that the user's own record comes
            // second: it must still never be taken for a friend. Friend 2 has no pic element.
            std::vector<std::string> asked = Split(request.fields.at("uids"));
            if (asked.size() > 1 && asked[0] == Self)
                std::swap(asked[0], asked[1]);
            std::string users;
            for (const std::string& uid : asked)
                users += User(uid, uid != "2");
            // A hostile server's people that nobody asked for.
            for (int i = 0; i < extraUsers; ++i)
                users += User(std::to_string(500000 + i), true);
            if (!hostileUid.empty())
                users += User(hostileUid, true);
            return std::string(XmlHead) + Element("users_getInfo_response", users);
        }
        if (method == "facebook.friends.areFriends")
        {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            while (holdBatches && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::vector<std::string> first = Split(request.fields.at("uids1"));
            std::vector<std::string> second = Split(request.fields.at("uids2"));
            std::string infos;
            for (size_t i = 0; i < first.size(); ++i)
            {
                const bool linked = (std::stoi(first[i]) + std::stoi(second[i])) % 2 == 1;
                infos +=
                    Element("friend_info", Element("uid1", first[i]) + Element("uid2", second[i]) +
                                               Element("are_friends", linked ? "1" : "0"));
            }
            return std::string(XmlHead) + Element("friends_areFriends_response", infos);
        }
        return std::string(XmlHead) + "<error_response><error_code>3</error_code></error_response>";
    }

    // The uid of the i-th friend, counted from 1.
    static std::string FriendUid(int i) { return std::to_string(i < 100 ? i : i + 1); }

    // How many pairs of the first `n` friends are friends: odd uids times even ones.
    static size_t OddPairs(int n)
    {
        size_t odd = 0;
        for (int i = 1; i <= n; ++i)
            odd += std::stoi(FriendUid(i)) % 2;
        return odd * (size_t(n) - odd);
    }

    std::string User(const std::string& uid, bool withPicture) const
    {
        const auto named = names.find(uid);
        return Element("user",
                       Element("uid", uid) +
                           Element("name", named != names.end() ? named->second : "P" + uid) +
                           (withPicture ? Element("pic", "http://p/" + uid) : "") +
                           Element("pic_square", "http://s/" + uid));
    }

    static std::vector<std::string> Split(const std::string& list)
    {
        std::vector<std::string> parts;
        std::stringstream stream(list);
        for (std::string part; std::getline(stream, part, ',');)
            parts.push_back(part);
        return parts;
    }

    std::vector<StubRestServer::Request> RequestsFor(const std::string& method) const
    {
        std::vector<StubRestServer::Request> found;
        for (const auto& request : server.Requests())
            if (request.fields.count("method") && request.fields.at("method") == method)
                found.push_back(request);
        return found;
    }

    UTL_NetworkSession::Endpoints Endpoints() const
    {
        auto endpoints =
            UTL_NetworkSession::ForServer("127.0.0.1:" + std::to_string(server.Port()));
        return endpoints;
    }

    int friends;
    std::string failMethod;
    std::string failCode = "2";
    int failFrom = 0;
    std::atomic<int> failCalls{0};
    int extraUsers = 0;
    std::map<std::string, std::string> names; // uid → name, for those not called P<uid>
    std::string hostileUid; // one more friend, listed and answered for without being asked
    std::atomic<bool> holdBatches{false}; // areFriends answers nothing while set
    StubRestServer server;
};

// Logs in against the network and loads the friends; returns whether LoadFriends succeeded.
bool LogInAndLoad(UTL_NetworkSession& session)
{
    EXPECT_FALSE(session.GetLoginUrl().empty());
    session.OnLoginClosed();
    return session.AreFriendsRequested() && session.HasMoreBatches();
}
} // namespace

TEST(UTL_NetworkSessionTest, FriendsArriveInOrderWithTheUserApart)
{
    ScriptedNetwork network(3);
    RecordingReceiver receiver;
    UTL_NetworkSession session(network.Endpoints(), &receiver);
    ASSERT_TRUE(LogInAndLoad(session));

    EXPECT_EQ(receiver.log,
              (std::vector<std::string>{"friend 1 P1 [http://p/1] [http://s/1]", "layout",
                                        "self 100 P100 [http://p/100] [http://s/100]", "layout",
                                        "friend 2 P2 [] [http://s/2]", "layout", // no pic element
                                        "friend 3 P3 [http://p/3] [http://s/3]", "layout",
                                        "connect self"}));
    const auto info = network.RequestsFor("facebook.users.getInfo");
    ASSERT_EQ(info.size(), 1u);
    EXPECT_EQ(info[0].fields.at("uids"), "100,1,2,3") << "the user first, then every friend";
    EXPECT_EQ(info[0].fields.at("fields"), "name,status,pic,pic_big,pic_small,pic_square");
    EXPECT_EQ(session.GetFrameCounter(), 450u);
    EXPECT_EQ(session.GetResumeRow(), 0);
}

TEST(UTL_NetworkSessionTest, TheFirstBatchWaitsFiftyOneFramesAndHoldsWholeRows)
{
    ScriptedNetwork network(3);
    RecordingReceiver receiver;
    UTL_NetworkSession session(network.Endpoints(), &receiver);
    ASSERT_TRUE(LogInAndLoad(session));

    for (int frame = 0; frame < 50; ++frame)
        EXPECT_FALSE(session.OnFrame()) << "frame " << frame;
    EXPECT_TRUE(network.RequestsFor("facebook.friends.areFriends").empty());
    EXPECT_TRUE(session.OnFrame()) << "the 51st frame passes 500 and runs the batch";
    const auto batches = network.RequestsFor("facebook.friends.areFriends");
    ASSERT_EQ(batches.size(), 1u);
    EXPECT_EQ(batches[0].fields.at("uids1"), "1,1,2");
    EXPECT_EQ(batches[0].fields.at("uids2"), "2,3,3");
    EXPECT_EQ(receiver.links, (std::vector<std::string>{"1-2", "2-3"})) << "\"0\" adds nothing";
    EXPECT_FALSE(session.HasMoreBatches());

    for (int frame = 0; frame < 1000; ++frame)
        EXPECT_FALSE(session.OnFrame()) << "frame " << frame;
    EXPECT_EQ(network.RequestsFor("facebook.friends.areFriends").size(), 1u) << "done";
}

TEST(UTL_NetworkSessionTest, FiftyFriendsTakeTwoBatchesSplitAfterRowTwenty)
{
    ScriptedNetwork network(50);
    RecordingReceiver receiver;
    UTL_NetworkSession session(network.Endpoints(), &receiver);
    ASSERT_TRUE(LogInAndLoad(session));

    ASSERT_TRUE(session.QueryFriendships());
    EXPECT_EQ(session.GetResumeRow(), 21);
    EXPECT_EQ(session.GetFrameCounter(), 0u);
    EXPECT_TRUE(session.HasMoreBatches());
    ASSERT_TRUE(session.QueryFriendships());
    EXPECT_FALSE(session.HasMoreBatches());

    const auto batches = network.RequestsFor("facebook.friends.areFriends");
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(ScriptedNetwork::Split(batches[0].fields.at("uids1")).size(), 819u);
    EXPECT_EQ(ScriptedNetwork::Split(batches[1].fields.at("uids2")).size(), 406u);
    EXPECT_EQ(ScriptedNetwork::Split(batches[1].fields.at("uids1")).front(), "22")
        << "row 21 is the 22nd friend";
    EXPECT_EQ(receiver.links.size(), 25u * 25u) << "every odd-sum pair of 1…50, once";
}

// Logs in against the network and loads the friends into `receiver`; returns the lines the
// session told its event sink.
std::vector<std::string> LoadTelling(const ScriptedNetwork& network, RecordingReceiver& receiver)
{
    UTL_NetworkSession session(network.Endpoints(), &receiver);
    std::vector<std::string> events;
    session.SetEventSink([&events](const std::string& line) { events.push_back(line); });
    EXPECT_TRUE(LogInAndLoad(session));
    EXPECT_TRUE(session.GetFailure().empty());
    return events;
}

TEST(UTL_NetworkSessionTest, LargeCirclesAreCutAndAskedForInBoundedCalls)
{
    const size_t cap = UTL_NetworkSession::MaxFriends;
    {
        SCOPED_TRACE("friends.get offers more than the cap");
        ScriptedNetwork network(int(cap) + 50);
        RecordingReceiver receiver;
        EXPECT_EQ(LoadTelling(network, receiver),
                  (std::vector<std::string>{"friends offered: 10050, taking the first 10000"}));
        ASSERT_EQ(size_t(receiver.GetFriendCount()), cap);
        EXPECT_EQ(receiver.ids.back(), ScriptedNetwork::FriendUid(int(cap)))
            << "the first ones, in order";
        EXPECT_EQ(receiver.log.back(), "connect self");

        const auto calls = network.RequestsFor("facebook.users.getInfo");
        ASSERT_EQ(calls.size(), 11u) << "10,001 uids with the user's, 1,000 a call";
        EXPECT_EQ(ScriptedNetwork::Split(calls[0].fields.at("uids")).front(), Self);
        size_t asked = 0;
        for (const auto& call : calls)
        {
            const size_t uids = ScriptedNetwork::Split(call.fields.at("uids")).size();
            EXPECT_LE(uids, UTL_NetworkSession::UsersPerCall);
            asked += uids;
        }
        EXPECT_EQ(asked, cap + 1);
    }
    {
        SCOPED_TRACE("users.getInfo answers with more people than it was asked for");
        ScriptedNetwork network(3);
        network.extraUsers = 12000;
        RecordingReceiver receiver;
        EXPECT_EQ(LoadTelling(network, receiver),
                  (std::vector<std::string>{
                      "users.getInfo offered 2003 more people than the 10000 friends taken"}));
        EXPECT_EQ(size_t(receiver.GetFriendCount()), cap);
    }
    {
        // Parsed, an answer costs many times its size: one past the bound is not read at all.
        SCOPED_TRACE("friends.get answers with more than 8 MiB");
        ScriptedNetwork network(600000);
        RecordingReceiver receiver;
        UTL_NetworkSession session(network.Endpoints(), &receiver);
        ASSERT_FALSE(session.GetLoginUrl().empty());
        EXPECT_FALSE(session.OnLoginClosed());
        EXPECT_EQ(session.GetFailure(), "friends.get failed (no answer, or one over 8 MiB)");
        EXPECT_TRUE(receiver.log.empty());
        EXPECT_TRUE(network.RequestsFor("facebook.users.getInfo").empty());
    }
    {
        SCOPED_TRACE("names past 256 characters arrive cut, told once");
        ScriptedNetwork network(3);
        std::string accents;
        for (int i = 0; i < 300; ++i)
            accents += "\xC3\xA9";
        network.names = {{Self, std::string(100'000, 's')}, {"1", accents}, {"3", "Ann"}};
        RecordingReceiver receiver;
        EXPECT_EQ(
            LoadTelling(network, receiver),
            (std::vector<std::string>{"users.getInfo: names longer than 256 characters cut: 2"}));
        ASSERT_EQ(receiver.log.size(), 9u);
        EXPECT_EQ(receiver.log[0],
                  "friend 1 " + accents.substr(0, 512) + "\u2026 [http://p/1] [http://s/1]");
        EXPECT_EQ(receiver.log[2],
                  "self 100 " + std::string(256, 's') + "\u2026 [http://p/100] [http://s/100]");
        EXPECT_EQ(receiver.log[6], "friend 3 Ann [http://p/3] [http://s/3]");
    }
    {
        // A uid cannot be cut without naming someone else; each one is repeated in every batch
        // that asks about its person.
        SCOPED_TRACE("a person whose uid is past 256 bytes is left out");
        ScriptedNetwork network(3);
        network.hostileUid = std::string(257, '7');
        RecordingReceiver receiver;
        EXPECT_EQ(
            LoadTelling(network, receiver),
            (std::vector<std::string>{"friends.get: uids longer than 256 bytes left out: 1",
                                      "users.getInfo: uids longer than 256 bytes left out: 1"}));
        EXPECT_EQ(receiver.ids, (std::vector<std::string>{"1", "2", "3"}));
        EXPECT_EQ(network.RequestsFor("facebook.users.getInfo")[0].fields.at("uids"), "100,1,2,3");
    }
    {
        SCOPED_TRACE("a circle within the cap is told nothing");
        ScriptedNetwork network(3);
        RecordingReceiver receiver;
        EXPECT_TRUE(LoadTelling(network, receiver).empty());
    }
}

TEST(UTL_NetworkSessionTest, FailuresEndQuietlyAndAreNotRetried)
{
    {
        SCOPED_TRACE("no session");
        ScriptedNetwork network(3, "facebook.auth.getSession");
        RecordingReceiver receiver;
        UTL_NetworkSession session(network.Endpoints(), &receiver);
        ASSERT_FALSE(session.GetLoginUrl().empty());
        session.OnLoginClosed();
        EXPECT_FALSE(session.AreFriendsRequested());
        EXPECT_TRUE(receiver.log.empty());
        EXPECT_FALSE(session.LoadFriends()) << "closing again needs a new request";
    }
    for (const std::string method : {"friends.get", "users.getInfo"})
    {
        // The reason carries the server's own words, for the snapshot tool to print.
        SCOPED_TRACE(method + " fails");
        ScriptedNetwork network(3, "facebook." + method);
        RecordingReceiver receiver;
        UTL_NetworkSession session(network.Endpoints(), &receiver);
        ASSERT_FALSE(session.GetLoginUrl().empty());
        EXPECT_FALSE(session.OnLoginClosed());
        EXPECT_TRUE(receiver.log.empty());
        EXPECT_FALSE(session.HasMoreBatches());
        EXPECT_EQ(session.GetFailure(),
                  method + " failed with error 2: Service temporarily unavailable");
    }
    {
        SCOPED_TRACE("a batch fails");
        ScriptedNetwork network(50, "facebook.friends.areFriends");
        RecordingReceiver receiver;
        UTL_NetworkSession session(network.Endpoints(), &receiver);
        ASSERT_TRUE(LogInAndLoad(session));
        EXPECT_FALSE(session.QueryFriendships());
        EXPECT_FALSE(session.HasMoreBatches()) << "a failed batch ends the queries";
        EXPECT_TRUE(receiver.links.empty());
    }
}

TEST(UTL_NetworkSessionTest, OneTokenPerLoginAndADeadServerIsAskedAtMostEveryFewSeconds)
{
    ScriptedNetwork network(3);
    RecordingReceiver receiver;
    UTL_NetworkSession live(network.Endpoints(), &receiver);
    const std::string url = live.GetLoginUrl();
    EXPECT_EQ(live.GetLoginUrl(), url);
    EXPECT_EQ(network.RequestsFor("facebook.auth.createToken").size(), 1u);
    EXPECT_EQ(url, "http://127.0.0.1:" + std::to_string(network.server.Port()) +
                       "/login.php?api_key=3b9f0c2e7a14d6580e2c9a7b41f05d36&auth_token=tok&v=1.0"
                       "&popup&skipcookie&hide_checkbox");

    // A port where nobody listens: the shell asks every frame, the session every 3 s.
    auto now = std::chrono::steady_clock::now();
    UTL_NetworkSession dead(UTL_NetworkSession::ForServer("127.0.0.1:1"), &receiver);
    dead.SetClock([&now] { return now; });
    dead.SetTimeouts(std::chrono::milliseconds(500), std::chrono::milliseconds(1000));
    EXPECT_TRUE(dead.GetLoginUrl().empty());
    const UTL_FacebookClient* first = dead.GetClient();
    ASSERT_NE(first, nullptr);
    for (int frame = 0; frame < 100; ++frame)
        EXPECT_TRUE(dead.GetLoginUrl().empty());
    EXPECT_EQ(dead.GetClient(), first) << "no new attempt within the retry interval";
    now += UTL_NetworkSession::LoginRetryInterval;
    EXPECT_TRUE(dead.GetLoginUrl().empty());
    EXPECT_NE(dead.GetClient(), first) << "a new client once the interval has passed";
}

TEST(UTL_NetworkSessionTest, ProgressCountsFollowTheLoginAndTheBatches)
{
    using Stage = UTL_SessionProgress::Stage;
    {
        SCOPED_TRACE("50 friends: two batches, then all known");
        ScriptedNetwork network(50);
        RecordingReceiver receiver;
        UTL_NetworkSession session(network.Endpoints(), &receiver);
        EXPECT_EQ(session.GetProgress().stage, Stage::LoggingIn);
        ASSERT_TRUE(LogInAndLoad(session));
        UTL_SessionProgress progress = session.GetProgress();
        EXPECT_EQ(progress.stage, Stage::LoadingFriendships);
        EXPECT_EQ(progress.friends, 50);
        EXPECT_EQ(progress.pairs, 1225u);
        EXPECT_EQ(progress.pairsAsked, 0u);
        EXPECT_EQ(progress.Percent(), 0);

        ASSERT_TRUE(session.QueryFriendships());
        progress = session.GetProgress();
        EXPECT_EQ(progress.stage, Stage::LoadingFriendships);
        EXPECT_EQ(progress.pairsAsked, 819u) << "rows 0 to 20";
        EXPECT_EQ(progress.found, receiver.links.size());
        EXPECT_EQ(progress.Percent(), 66);

        ASSERT_TRUE(session.QueryFriendships());
        progress = session.GetProgress();
        EXPECT_EQ(progress.stage, Stage::AllKnown);
        EXPECT_EQ(progress.pairsAsked, progress.pairs);
        EXPECT_EQ(progress.found, 625u);
        EXPECT_EQ(progress.Percent(), -1) << "no bar once all are known";
    }
    for (const int friends : {0, 1})
    {
        SCOPED_TRACE(std::to_string(friends) + " friends: nothing to ask");
        ScriptedNetwork network(friends);
        RecordingReceiver receiver;
        UTL_NetworkSession session(network.Endpoints(), &receiver);
        ASSERT_TRUE(LogInAndLoad(session));
        EXPECT_EQ(session.GetProgress().pairs, 0u);
        EXPECT_FALSE(session.QueryFriendships());
        EXPECT_EQ(session.GetProgress().stage, Stage::AllKnown);
        EXPECT_EQ(session.GetProgress().friends, friends);
        EXPECT_TRUE(network.RequestsFor("facebook.friends.areFriends").empty());
    }
    {
        SCOPED_TRACE("users.getInfo fails");
        ScriptedNetwork network(3, "facebook.users.getInfo");
        RecordingReceiver receiver;
        UTL_NetworkSession session(network.Endpoints(), &receiver);
        ASSERT_FALSE(session.GetLoginUrl().empty());
        EXPECT_FALSE(session.OnLoginClosed());
        EXPECT_EQ(session.GetProgress().stage, Stage::FriendsFailed);
        EXPECT_EQ(session.GetProgress().reason, session.GetFailure());
        EXPECT_TRUE(session.GetProgress().IsFailure());
    }
    {
        SCOPED_TRACE("no session for the token");
        ScriptedNetwork network(3, "facebook.auth.getSession");
        RecordingReceiver receiver;
        UTL_NetworkSession session(network.Endpoints(), &receiver);
        ASSERT_FALSE(session.GetLoginUrl().empty());
        EXPECT_FALSE(session.OnLoginClosed());
        EXPECT_EQ(session.GetProgress().stage, Stage::LoginRefused);
    }
    for (const std::string code : {"2", "102"})
    {
        SCOPED_TRACE("the second batch fails with error " + code);
        ScriptedNetwork network(50, "facebook.friends.areFriends");
        network.failFrom = 1;
        network.failCode = code;
        RecordingReceiver receiver;
        UTL_NetworkSession session(network.Endpoints(), &receiver);
        ASSERT_TRUE(LogInAndLoad(session));
        EXPECT_TRUE(session.QueryFriendships());
        EXPECT_FALSE(session.QueryFriendships());
        const UTL_SessionProgress& progress = session.GetProgress();
        EXPECT_EQ(progress.stage, code == "2" ? Stage::BatchesFailed : Stage::SessionLost);
        EXPECT_EQ(progress.pairsAsked, 819u) << "the first batch's pairs stay counted";
        EXPECT_EQ(progress.found, receiver.links.size());
        EXPECT_NE(progress.reason.find("error " + code), std::string::npos) << progress.reason;
        EXPECT_FALSE(session.HasMoreBatches());
    }
    {
        SCOPED_TRACE("a dead server");
        RecordingReceiver receiver;
        UTL_NetworkSession dead(UTL_NetworkSession::ForServer("127.0.0.1:1"), &receiver);
        dead.SetTimeouts(std::chrono::milliseconds(500), std::chrono::milliseconds(1000));
        EXPECT_TRUE(dead.GetLoginUrl().empty());
        EXPECT_EQ(dead.GetProgress().stage, Stage::ServerUnreachable);
        EXPECT_EQ(dead.GetProgress().reason, "127.0.0.1:1");
    }
}

// Steps frames until `done` holds, for at most a minute of wall time.
template <typename Done> bool FramesUntil(UTL_NetworkSession& session, Done done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done())
    {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        session.OnFrame();
        std::this_thread::yield();
    }
    return true;
}

// Every pair of `friends` friends asked exactly once, in batches of whole rows in order.
void ExpectEveryPairOnceInOrder(const ScriptedNetwork& network, int friends)
{
    const auto batches = network.RequestsFor("facebook.friends.areFriends");
    size_t pairs = 0;
    int previousFirst = 0;
    for (const auto& batch : batches)
    {
        const auto firsts = ScriptedNetwork::Split(batch.fields.at("uids1"));
        EXPECT_GT(std::stoi(firsts.front()), previousFirst) << "rows in order";
        EXPECT_TRUE(firsts.size() > 800 || &batch == &batches.back());
        previousFirst = std::stoi(firsts.back());
        pairs += firsts.size();
    }
    EXPECT_EQ(pairs, size_t(friends) * size_t(friends - 1) / 2);
}

TEST(UTL_NetworkSessionTest, FastBatchesArriveBackToBackWithinTheFrameBudget)
{
    // 150 friends: 11,175 pairs in batches of six rows or more. (The stub server takes form
    // bodies of 8 KiB at most, about 1,000 pairs of three-digit uids.)
    ScriptedNetwork network(150);
    RecordingReceiver receiver;
    UTL_NetworkSession session(network.Endpoints(), &receiver);
    auto now = std::chrono::steady_clock::now();
    // Every look at the clock moves it 6 ms on: one look at the start of a frame and one after
    // each batch taken, so a frame has spent 6, 12, 18 ms when it looks.
    session.SetClock(
        [&now]
        {
            now += std::chrono::milliseconds(6);
            return now;
        });
    session.SetFastBatches(true);
    ASSERT_TRUE(LogInAndLoad(session));

    uint64_t asked = 0;
    ASSERT_TRUE(FramesUntil(session,
                            [&]
                            {
                                const uint64_t before = asked;
                                asked = session.GetProgress().pairsAsked;
                                // Three batches at most, the third ending past the 15 ms.
                                EXPECT_LE(asked - before, 3u * 950u);
                                return !session.HasMoreBatches();
                            }));
    EXPECT_EQ(session.GetProgress().stage, UTL_SessionProgress::Stage::AllKnown);
    EXPECT_EQ(session.GetProgress().pairsAsked, 11175u);
    EXPECT_EQ(receiver.links.size(), ScriptedNetwork::OddPairs(150)) << "each once";
    ExpectEveryPairOnceInOrder(network, 150);
    EXPECT_FALSE(session.OnFrame()) << "nothing left to ask";
}

// A large circle's frame may take a second: turned on while batches are due, the fast batches
// are asked at once, not from the next frame on.
TEST(UTL_NetworkSessionTest, FastBatchesTurnedOnWhileDueAreAskedBeforeTheNextFrame)
{
    ScriptedNetwork network(150);
    RecordingReceiver receiver;
    UTL_NetworkSession session(network.Endpoints(), &receiver);
    ASSERT_TRUE(LogInAndLoad(session));
    session.SetFastBatches(true);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (network.RequestsFor("facebook.friends.areFriends").empty() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(network.RequestsFor("facebook.friends.areFriends").empty());
    ASSERT_TRUE(FramesUntil(session, [&] { return !session.HasMoreBatches(); }));
    EXPECT_EQ(receiver.links.size(), ScriptedNetwork::OddPairs(150));
}

TEST(UTL_NetworkSessionTest, FastBatchesWaitForTheWindowAndHandOverToThePacedOnes)
{
    ScriptedNetwork network(150);
    RecordingReceiver receiver;
    UTL_NetworkSession session(network.Endpoints(), &receiver);
    session.SetFastBatches(true);
    ASSERT_TRUE(LogInAndLoad(session));
    const auto requests = [&] { return network.RequestsFor("facebook.friends.areFriends").size(); };

    {
        // Nobody takes the batches of a fetcher of its own: they stop at its bound of two (and
        // one more, answered while the queue was full).
        UTL_FacebookClient client(network.Endpoints().apiKey, "secret", network.server.Url());
        ASSERT_TRUE(client.Init());
        std::vector<std::string> ids(receiver.ids);
        UTL_FriendshipFetcher fetcher(client, ids, 0, 2);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (requests() < 3 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_EQ(requests(), 3u) << "the batches wait to be taken";
        UTL_FriendshipFetcher::Batch batch;
        EXPECT_TRUE(fetcher.Take(batch));
        EXPECT_EQ(batch.nextRow, 6) << "rows 0 to 5 hold 879 pairs";
    }

    // Turned off midway, the paced batches go on after the last batch taken: no pair is lost
    // or asked twice, whatever the thread had asked ahead.
    ASSERT_TRUE(FramesUntil(session, [&] { return session.GetProgress().pairsAsked > 3000; }));
    session.SetFastBatches(false);
    EXPECT_TRUE(session.HasMoreBatches());
    while (session.HasMoreBatches())
        ASSERT_TRUE(session.QueryFriendships()) << session.GetProgress().reason;
    EXPECT_EQ(session.GetProgress().pairsAsked, 11175u);
    EXPECT_EQ(session.GetProgress().stage, UTL_SessionProgress::Stage::AllKnown);
    std::vector<std::string> links = receiver.links;
    std::sort(links.begin(), links.end());
    EXPECT_EQ(std::unique(links.begin(), links.end()), links.end()) << "none handed over twice";
    EXPECT_EQ(links.size(), ScriptedNetwork::OddPairs(150));
}

TEST(UTL_NetworkSessionTest, FastBatchesEndAtAFailureAndStopWithTheSession)
{
    {
        SCOPED_TRACE("the third batch fails");
        ScriptedNetwork network(150, "facebook.friends.areFriends");
        network.failFrom = 2;
        RecordingReceiver receiver;
        UTL_NetworkSession session(network.Endpoints(), &receiver);
        session.SetFastBatches(true);
        ASSERT_TRUE(LogInAndLoad(session));
        ASSERT_TRUE(FramesUntil(session, [&] { return !session.HasMoreBatches(); }));
        EXPECT_EQ(session.GetProgress().stage, UTL_SessionProgress::Stage::BatchesFailed);
        EXPECT_EQ(network.RequestsFor("facebook.friends.areFriends").size(), 3u)
            << "nothing after the failure";
        EXPECT_EQ(session.GetProgress().found, receiver.links.size());
    }
    {
        // A server that never answers a batch: the session still ends at once, the transfer
        // aborted rather than waited for.
        SCOPED_TRACE("restart while a batch hangs");
        ScriptedNetwork network(150);
        network.holdBatches = true;
        RecordingReceiver receiver;
        UTL_NetworkSession session(network.Endpoints(), &receiver);
        session.SetFastBatches(true);
        ASSERT_TRUE(LogInAndLoad(session));
        session.OnFrame();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (network.RequestsFor("facebook.friends.areFriends").empty() &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const auto start = std::chrono::steady_clock::now();
        session.Restart();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
        EXPECT_FALSE(session.HasMoreBatches());
        network.holdBatches = false;
    }
}

TEST(UTL_NetworkSessionTest, RestartForgetsTheLoginAndTheProgress)
{
    ScriptedNetwork network(50);
    RecordingReceiver receiver;
    UTL_NetworkSession session(network.Endpoints(), &receiver);
    ASSERT_TRUE(LogInAndLoad(session));
    session.Restart();
    EXPECT_EQ(session.GetClient(), nullptr);
    EXPECT_FALSE(session.HasMoreBatches());
    EXPECT_FALSE(session.AreFriendsRequested());
    EXPECT_EQ(session.GetProgress(), UTL_SessionProgress());
    EXPECT_FALSE(session.GetLoginUrl().empty()) << "a new token at once";
    EXPECT_EQ(network.RequestsFor("facebook.auth.createToken").size(), 2u);
}
