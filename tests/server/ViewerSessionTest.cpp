// The viewer's whole conversation with the stand-in server, without a browser: token, the login
// form, session, the friends, and every friendship batch.

#include "net/UTL_FacebookConfig.h"
#include "net/UTL_FriendReceiver.h"
#include "net/UTL_LoginForm.h"
#include "net/UTL_NetworkSession.h"
#include "server/SRV_Database.h"
#include "server/SRV_HttpServer.h"
#include "server/SRV_Names.h"
#include "server/SRV_NetworkMaker.h"
#include "server/SRV_RestService.h"

#include <gtest/gtest.h>

#include <set>

namespace
{
class CountingReceiver : public UTL_FriendReceiver
{
public:
    void SetSelf(const std::string& id, const std::string&, const std::string&,
                 const std::string&) override
    {
        self = id;
    }
    void AddFriend(const std::string& id, const std::string&, const std::string& picture,
                   const std::string&) override
    {
        ids.push_back(id);
        pictures += picture.empty() ? 0 : 1;
    }
    void LayoutFriends() override {}
    void ConnectSelf() override { connectedSelf = true; }
    void ConnectFriends(const std::string& id1, const std::string& id2, float, bool) override
    {
        links.insert(id1 < id2 ? id1 + "-" + id2 : id2 + "-" + id1);
        ++calls;
    }
    int GetFriendCount() const override { return static_cast<int>(ids.size()); }
    const std::string& GetFriendId(int index) const override { return ids[index]; }

    std::string self;
    std::vector<std::string> ids;
    int pictures = 0;
    bool connectedSelf = false;
    std::set<std::string> links;
    int calls = 0;
};

class ViewerSessionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(database.Open(":memory:", error)) << error;
        database.AddApplication(UTL_FacebookConfig::ApiKey, UTL_FacebookConfig::AppSecret,
                                "Halvane");
        SRV_NetworkMaker maker(database, SRV_Names::Builtin(), "halvane", 2);
        ASSERT_TRUE(maker.MakeSample(60, 5, sample, error)) << error;
        SRV_HttpServer::Settings settings;
        settings.port = 0;
        settings.demoPassword = "halvane";
        server = std::make_unique<SRV_HttpServer>(database, service, settings);
        ASSERT_TRUE(server->Start(error)) << error;
    }

    std::string HostAndPort() const { return "127.0.0.1:" + std::to_string(server->Port()); }

    SRV_Database database;
    SRV_RestService service{database, SRV_RestService::Settings()};
    SRV_NetworkMaker::Result sample;
    std::unique_ptr<SRV_HttpServer> server;
};
} // namespace

TEST_F(ViewerSessionTest, LoggedInViewerReceivesEveryFriendAndEveryFriendship)
{
    CountingReceiver receiver;
    const auto endpoints = UTL_NetworkSession::ForServer(HostAndPort());
    UTL_NetworkSession session(endpoints, &receiver);
    ASSERT_FALSE(session.GetLoginUrl().empty());
    std::string error;
    ASSERT_TRUE(UTL_PostLoginForm(endpoints.loginPage, endpoints.apiKey,
                                  session.GetClient()->GetAuthToken(), sample.email, "halvane",
                                  error))
        << error;
    session.OnLoginClosed();
    ASSERT_TRUE(session.GetClient()->HasSession());

    EXPECT_EQ(receiver.self, std::to_string(sample.accountUid));
    EXPECT_EQ(receiver.ids.size(), size_t(sample.friends));
    EXPECT_GT(receiver.pictures, 0);
    EXPECT_TRUE(receiver.connectedSelf);

    int batches = 0;
    while (session.HasMoreBatches() && batches < 100)
    {
        ASSERT_TRUE(session.QueryFriendships());
        ++batches;
    }
    EXPECT_EQ(batches, 3) << "1,770 pairs of 60 friends: rows 0–15, 16–42, 43–58";
    EXPECT_EQ(static_cast<int64_t>(receiver.links.size()), sample.friendships);
    EXPECT_EQ(receiver.calls, static_cast<int>(receiver.links.size())) << "each pair asked once";
}

TEST_F(ViewerSessionTest, AWrongPasswordLeavesTheViewerWithoutFriends)
{
    CountingReceiver receiver;
    const auto endpoints = UTL_NetworkSession::ForServer(HostAndPort());
    UTL_NetworkSession session(endpoints, &receiver);
    ASSERT_FALSE(session.GetLoginUrl().empty());
    std::string error;
    UTL_PostLoginForm(endpoints.loginPage, endpoints.apiKey, session.GetClient()->GetAuthToken(),
                      sample.email, "not the password", error);
    session.OnLoginClosed();
    EXPECT_FALSE(session.GetClient()->HasSession());
    EXPECT_FALSE(session.AreFriendsRequested());
    EXPECT_TRUE(receiver.ids.empty());
    EXPECT_FALSE(session.HasMoreBatches());
}
