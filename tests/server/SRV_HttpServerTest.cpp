#include "server/SRV_HttpServer.h"

#include "RestTestSupport.h"
#include "net/UTL_FacebookClient.h"
#include "net/UTL_XmlAnswer.h"
#include "server/SRV_Database.h"
#include "server/SRV_RestService.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <regex>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include <httplib.h>
#include <tinyxml.h>

using namespace RestTestSupport;

namespace
{
constexpr size_t BodyLimit = 64 * 1024;
constexpr int SampleFriends = 30;

// The value of the form input called `name` on an HTML page.
std::string InputValue(const std::string& html, const std::string& name)
{
    std::smatch match;
    const std::regex input("name=\"" + name + "\" value=\"([^\"]*)\"");
    return std::regex_search(html, match, input) ? match[1].str() : std::string();
}

// A generated network of 30 friends served on a free loopback port.
class SRV_HttpServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(OpenSample(database, SampleFriends, 11, sample));

        SRV_HttpServer::Settings settings;
        settings.host = "127.0.0.1";
        settings.port = 0;
        settings.maxBodyBytes = BodyLimit;
        settings.demoPassword = "halvane";
        settings.threads = 8;
        server = std::make_unique<SRV_HttpServer>(database, service, settings);
        std::string error;
        ASSERT_TRUE(server->Start(error)) << error;
        port = server->Port();
    }

    std::string RestUrl() const { return "127.0.0.1:" + std::to_string(port) + "/restserver.php"; }

    // Logs in on the login page for the token of `client`'s login address, as a browser would.
    // Returns the page shown after posting the form.
    std::string LogIn(UTL_FacebookClient& client, const std::string& password)
    {
        httplib::Client http("127.0.0.1", port);
        Bound(http);
        const std::string url = client.MakeLoginUrl(server->Address() + "/login.php");
        auto page = http.Get(url.substr(url.find("/login.php")).c_str());
        if (!page || page->status != 200)
            return "no login page";
        EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
        const Params form = {{"api_key", InputValue(page->body, "api_key")},
                             {"auth_token", InputValue(page->body, "auth_token")},
                             {"email", sample.email},
                             {"pass", password}};
        auto posted =
            http.Post("/login.php", FormEncode(form), "application/x-www-form-urlencoded");
        return posted ? posted->body : "no answer";
    }

    // Posts `params` to the REST endpoint as a form and returns the answer.
    std::string Post(const Params& params, const std::string& query = "")
    {
        httplib::Client http("127.0.0.1", port);
        Bound(http);
        auto answer = http.Post(("/restserver.php" + query).c_str(), FormEncode(params),
                                "application/x-www-form-urlencoded");
        return answer ? answer->body : "no answer";
    }

    SRV_Database database;
    SRV_RestService service{database, SRV_RestService::Settings()};
    std::unique_ptr<SRV_HttpServer> server;
    SRV_NetworkMaker::Result sample;
    int port = 0;
};
} // namespace

TEST_F(SRV_HttpServerTest, ViewerClientRunsTheWholeFlowOverHttp)
{
    UTL_FacebookClient client(ApiKey, AppSecret, RestUrl());
    client.SetTimeouts(std::chrono::seconds(5), std::chrono::seconds(30));
    ASSERT_TRUE(client.Init());
    ASSERT_FALSE(client.GetAuthToken().empty());

    // A wrong password shows the form again with an error, and the token stays unauthorised.
    const std::string refused = LogIn(client, "wrong");
    EXPECT_NE(refused.find("Incorrect email or password."), std::string::npos) << refused;
    EXPECT_NE(refused.find(sample.email), std::string::npos) << "the demo account is listed";
    EXPECT_NE(refused.find("<td>halvane</td>"), std::string::npos) << "with its password";
    EXPECT_FALSE(client.GetSession());

    const std::string welcome = LogIn(client, "halvane");
    EXPECT_NE(welcome.find("Close"), std::string::npos) << welcome;
    ASSERT_TRUE(client.GetSession());
    EXPECT_EQ(client.GetUid(), std::to_string(sample.accountUid));

    std::string answer;
    ASSERT_TRUE(client.CallMethod("facebook.friends.get", {}, answer));
    const auto friends = Texts(answer, "friends_get_response", "uid");
    ASSERT_EQ(friends.size(), size_t(SampleFriends));

    std::string ids = client.GetUid();
    for (const std::string& uid : friends)
        ids += "," + uid;
    answer.clear();
    ASSERT_TRUE(client.CallMethod(
        "facebook.users.getInfo",
        {"uids=" + ids, "fields=name,status,pic,pic_big,pic_small,pic_square"}, answer));
    TiXmlDocument doc;
    ASSERT_TRUE(UTL_XmlAnswer::Parse(answer, doc));
    const TiXmlElement* root = doc.FirstChildElement("users_getInfo_response");
    ASSERT_NE(root, nullptr) << answer.substr(0, 500);
    int users = 0;
    std::string picture;
    for (const TiXmlElement* user = root->FirstChildElement("user"); user;
         user = user->NextSiblingElement())
    {
        ++users;
        EXPECT_FALSE(UTL_XmlAnswer::ChildText(user, "name").empty());
        if (picture.empty())
            picture = UTL_XmlAnswer::ChildText(user, "pic_square");
    }
    EXPECT_EQ(users, SampleFriends + 1);

    // Every pair of friends in one batch, as uids1/uids2 lists; compared with the database.
    std::string first, second;
    std::vector<std::pair<int64_t, int64_t>> pairs;
    for (size_t j = 0; j < friends.size(); ++j)
        for (size_t k = j + 1; k < friends.size(); ++k)
        {
            first += (first.empty() ? "" : ",") + friends[j];
            second += (second.empty() ? "" : ",") + friends[k];
            pairs.emplace_back(std::stoll(friends[j]), std::stoll(friends[k]));
        }
    answer.clear();
    ASSERT_TRUE(client.CallMethod("facebook.friends.areFriends",
                                  {"uids1=" + first, "uids2=" + second}, answer));
    TiXmlDocument verdicts;
    ASSERT_TRUE(UTL_XmlAnswer::Parse(answer, verdicts));
    size_t index = 0, yes = 0;
    for (const TiXmlElement* info = verdicts.RootElement()->FirstChildElement("friend_info"); info;
         info = info->NextSiblingElement(), ++index)
    {
        ASSERT_LT(index, pairs.size());
        const bool friendsInDb = database.AreFriends(pairs[index].first, pairs[index].second);
        EXPECT_EQ(UTL_XmlAnswer::ChildText(info, "are_friends"), friendsInDb ? "1" : "0");
        yes += friendsInDb;
    }
    EXPECT_EQ(index, pairs.size());
    EXPECT_GT(yes, 0u);

    // The picture addresses lead to JPEGs on this server.
    ASSERT_EQ(picture.rfind("http://127.0.0.1:" + std::to_string(port) + "/photos/", 0), 0u)
        << picture;
    httplib::Client http("127.0.0.1", port);
    Bound(http);
    auto jpeg = http.Get(picture.substr(picture.find("/photos/")).c_str());
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->status, 200);
    EXPECT_EQ(jpeg->get_header_value("Content-Type"), "image/jpeg");
    EXPECT_EQ(jpeg->body.substr(0, 3), "\xff\xd8\xff");
}

TEST_F(SRV_HttpServerTest, RequestsOfEveryClientStyleAreAccepted)
{
    const Params token = Signed("facebook.auth.createToken", {}, AppSecret);
    httplib::Client http("127.0.0.1", port);
    Bound(http);

    // URL-encoded body.
    EXPECT_EQ(ErrorCode(Post(token)), 0);

    // Multipart body.
    httplib::MultipartFormDataItems items;
    for (const auto& [name, value] : token)
        items.push_back({name, value, "", ""});
    auto multipart = http.Post("/restserver.php", items);
    ASSERT_TRUE(multipart);
    EXPECT_EQ(ErrorCode(multipart->body), 0) << multipart->body;
    EXPECT_NE(multipart->body.find("<auth_createToken_response"), std::string::npos);

    // Split between the query string and the body; the signature covers both.
    Params inBody = token, inQuery;
    for (const char* name : {"method", "api_key"})
    {
        inQuery[name] = inBody[name];
        inBody.erase(name);
    }
    EXPECT_EQ(ErrorCode(Post(inBody, "?" + FormEncode(inQuery))), 0);

    // Everything in the query of a GET.
    auto get = http.Get(("/restserver.php?" + FormEncode(token)).c_str());
    ASSERT_TRUE(get);
    EXPECT_EQ(ErrorCode(get->body), 0) << get->body;

    // A changed parameter breaks the signature, wherever it travels.
    inQuery["method"] = "auth.createToken";
    EXPECT_EQ(ErrorCode(Post(inBody, "?" + FormEncode(inQuery))), 104);
}

TEST_F(SRV_HttpServerTest, UnknownMethodOversizedBodyAndGarbageGetErrors)
{
    EXPECT_EQ(ErrorCode(Post(Signed("facebook.photos.upload", {}, AppSecret))), 3);
    EXPECT_EQ(ErrorCode(Post({})), 3);

    httplib::Client http("127.0.0.1", port);
    Bound(http);
    auto big = http.Post("/restserver.php", std::string(BodyLimit + 1, 'a'),
                         "application/x-www-form-urlencoded");
    ASSERT_TRUE(big);
    EXPECT_EQ(big->status, 413);
    auto bigMultipart =
        http.Post("/restserver.php",
                  httplib::MultipartFormDataItems{{"note", std::string(BodyLimit, 'n'), "", ""}});
    ASSERT_TRUE(bigMultipart);
    EXPECT_EQ(bigMultipart->status, 413);

    auto junk = http.Post("/restserver.php", std::string("\x00\xff&&==%%%zz&=&", 14),
                          "application/x-www-form-urlencoded");
    ASSERT_TRUE(junk);
    EXPECT_EQ(junk->status, 200);
    EXPECT_EQ(ErrorCode(junk->body), 3);

    // Bytes that are not HTTP at all, on a raw socket.
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    timeval timeout{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    const char garbage[] = "\x16\x03\x01 NOT HTTP\r\n\r\n";
    ASSERT_GT(send(fd, garbage, sizeof garbage - 1, MSG_NOSIGNAL), 0);
    char reply[64] = {};
    const ssize_t got = recv(fd, reply, sizeof reply - 1, 0);
    close(fd);
    EXPECT_TRUE(got <= 0 || std::string(reply).rfind("HTTP/1.1 400", 0) == 0) << reply;

    // And the server still serves.
    EXPECT_EQ(ErrorCode(Post(Signed("auth.createToken", {}, AppSecret))), 0);
}

TEST_F(SRV_HttpServerTest, LoginPageWithAStaleTokenSaysSo)
{
    httplib::Client http("127.0.0.1", port);
    Bound(http);
    auto page =
        http.Get((std::string("/login.php?api_key=") + ApiKey + "&auth_token=feed").c_str());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 400);
    EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(page->body.find("expired"), std::string::npos);
}

TEST_F(SRV_HttpServerTest, PicturesAreServedOnlyForPeopleWhoShowOne)
{
    int64_t shownUid = 0, hiddenUid = 0, noneUid = 0;
    for (int64_t uid : database.FriendsOf(sample.accountUid))
    {
        SRV_Person person;
        database.FindPerson(uid, person);
        (person.picture == SRV_PictureState::Shown    ? shownUid
         : person.picture == SRV_PictureState::Hidden ? hiddenUid
                                                      : noneUid) = uid;
    }
    ASSERT_NE(shownUid, 0);
    httplib::Client http("127.0.0.1", port);
    Bound(http);
    const std::string shown = "/photos/" + std::to_string(shownUid);
    auto first = http.Get((shown + "/big.jpg").c_str());
    auto again = http.Get((shown + "/big.jpg").c_str());
    ASSERT_TRUE(first && again);
    EXPECT_EQ(first->status, 200);
    EXPECT_EQ(first->body, again->body);
    EXPECT_NE(first->body, http.Get((shown + "/square.jpg").c_str())->body);

    std::vector<std::string> missing = {
        "/photos/" + std::to_string(sample.accountUid) + "/huge.jpg", "/photos/999/big.jpg",
        "/photos/0/big.jpg", "/photos/99999999999999999999/big.jpg"};
    for (int64_t uid : {hiddenUid, noneUid})
        if (uid)
            missing.push_back("/photos/" + std::to_string(uid) + "/normal.jpg");
    for (const std::string& path : missing)
    {
        SCOPED_TRACE(path);
        auto answer = http.Get(path.c_str());
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, 404);
    }
}

TEST_F(SRV_HttpServerTest, SeveralClientsAtOnceEachGetTheirOwnSession)
{
    constexpr int Clients = 8;
    std::atomic<int> succeeded{0};
    std::vector<std::string> keys(Clients);
    std::vector<std::thread> threads;
    for (int i = 0; i < Clients; ++i)
        threads.emplace_back(
            [&, i]
            {
                UTL_FacebookClient client(ApiKey, AppSecret, RestUrl());
                client.SetTimeouts(std::chrono::seconds(5), std::chrono::seconds(30));
                if (!client.Init() || LogIn(client, "halvane").find("Close") == std::string::npos ||
                    !client.GetSession())
                    return;
                keys[size_t(i)] = client.GetSessionKey();
                for (int call = 0; call < 5; ++call)
                {
                    std::string answer;
                    if (!client.CallMethod("facebook.friends.get", {}, answer) ||
                        Texts(answer, "friends_get_response", "uid").size() !=
                            size_t(SampleFriends))
                        return;
                }
                ++succeeded;
            });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(succeeded, Clients);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::unique(keys.begin(), keys.end()), keys.end()) << "sessions are distinct";
}

// The viewer's calls share one kept-alive connection, and neither end holds a write back until
// the other acknowledges the last (Nagle's algorithm, some 40 ms a call against a delayed
// acknowledgement).
TEST_F(SRV_HttpServerTest, ViewerCallsShareOneConnectionThatSendsWithoutDelay)
{
    UTL_FacebookClient client(ApiKey, AppSecret, RestUrl());
    client.SetTimeouts(std::chrono::seconds(5), std::chrono::seconds(30));
    const uint64_t before = server->CountConnections();
    ASSERT_TRUE(client.Init());
    for (int call = 0; call < 4; ++call)
    {
        std::string answer;
        ASSERT_TRUE(client.CallMethod("facebook.auth.createToken", {}, answer));
    }
    EXPECT_EQ(server->CountConnections() - before, 1u);

    // Both ends of the connection are sockets of this process, found by the server's port.
    int ends = 0;
    for (int fd = 0; fd < 4096; ++fd)
    {
        sockaddr_in local{}, peer{};
        socklen_t localSize = sizeof local, peerSize = sizeof peer;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localSize) != 0 ||
            local.sin_family != AF_INET ||
            getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerSize) != 0 ||
            (ntohs(local.sin_port) != port && ntohs(peer.sin_port) != port))
            continue;
        int noDelay = 0;
        socklen_t size = sizeof noDelay;
        ASSERT_EQ(getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, &size), 0);
        EXPECT_NE(noDelay, 0) << (ntohs(local.sin_port) == port ? "server end" : "client end");
        ++ends;
    }
    EXPECT_EQ(ends, 2);
}

TEST_F(SRV_HttpServerTest, StopEndsServingAndIsIdempotent)
{
    server->Stop();
    server->Stop();
    httplib::Client http("127.0.0.1", port);
    http.set_connection_timeout(2);
    http.set_read_timeout(2);
    EXPECT_FALSE(http.Get("/"));
}

// A connection served from memory goes through the same parsing and handlers as one on a socket:
// several requests kept alive, each style of body, and the limits.
TEST_F(SRV_HttpServerTest, ConnectionServedFromMemoryIsAnsweredAsOnTheNetwork)
{
    auto answers = [](const std::string& output)
    {
        std::vector<std::string> statuses;
        for (size_t at = output.find("HTTP/1.1 "); at != std::string::npos;
             at = output.find("HTTP/1.1 ", at + 1))
            statuses.push_back(output.substr(at + 9, 3));
        return statuses;
    };
    auto post = [](const std::string& type, const std::string& body)
    {
        return "POST /restserver.php HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: " + type +
               "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    };

    const Params token = Signed("facebook.auth.createToken", {}, AppSecret);
    std::string multipart;
    for (const auto& [name, value] : token)
        multipart += "--b0undary\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" +
                     value + "\r\n";
    multipart += "--b0undary--\r\n";
    const std::string output = server->ServeBytes(
        "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n" +
        post("application/x-www-form-urlencoded", FormEncode(token)) +
        post("multipart/form-data; boundary=b0undary", multipart) +
        post("application/x-www-form-urlencoded", "method=nothing&note=%3C%26") +
        post("application/x-www-form-urlencoded", std::string(BodyLimit + 1, 'a')));
    EXPECT_EQ(answers(output), (std::vector<std::string>{"200", "200", "200", "200", "413"}))
        << output;
    EXPECT_NE(output.find("halvane-server: " + std::to_string(SampleFriends + 1) + " people, "),
              std::string::npos);
    size_t tokens = 0;
    for (size_t at = output.find("<auth_createToken_response"); at != std::string::npos;
         at = output.find("<auth_createToken_response", at + 1))
        ++tokens;
    EXPECT_EQ(tokens, 2u);
    EXPECT_NE(output.find("<error_code>3</error_code>"), std::string::npos);
    EXPECT_NE(output.find("<value>&lt;&amp;</value>"), std::string::npos);

    // A body cut short, bytes that are not HTTP and nothing at all end the connection quietly.
    const std::string cut = server->ServeBytes(
        "POST /restserver.php HTTP/1.1\r\nContent-Length: 100\r\n\r\nmethod=auth");
    EXPECT_TRUE(answers(cut).empty() || answers(cut) == std::vector<std::string>{"400"}) << cut;
    const std::string garbage = server->ServeBytes("\x16\x03\x01 NOT HTTP\r\n\r\n");
    EXPECT_TRUE(garbage.empty() || garbage.rfind("HTTP/1.1 400", 0) == 0) << garbage;
    EXPECT_EQ(server->ServeBytes(""), "");
}
