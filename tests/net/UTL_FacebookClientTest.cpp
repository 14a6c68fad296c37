#include "net/UTL_FacebookClient.h"

#include "net/UTL_Md5.h"
#include "support/StubRestServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace
{
const char ApiKey[] = "3b9f0c2e7a14d6580e2c9a7b41f05d36";
const char AppSecret[] = "a0d4e8c61b29f7350c8e2d4b96a17f52";

const char XmlHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::string TokenAnswer(const std::string& token)
{
    return std::string(XmlHead) +
           "<auth_createToken_response xmlns=\"http://api.facebook.com/1.0/\">" + token +
           "</auth_createToken_response>";
}

std::string SessionAnswer(bool withSecret)
{
    return std::string(XmlHead) +
           "<auth_getSession_response xmlns=\"http://api.facebook.com/1.0/\">\n"
           "  <session_key>c0ffee-1234</session_key>\n  <uid>1234</uid>\n"
           "  <expires>0</expires>\n" +
           (withSecret ? "  <secret>5e551011</secret>\n" : "") + "</auth_getSession_response>";
}

const char ErrorAnswer[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<error_response><error_code>104</error_code>"
                           "<error_msg>Incorrect signature</error_msg></error_response>";

// The names of a form body's parameters, in the order sent.
std::vector<std::string> NamesInBody(const std::string& body)
{
    std::vector<std::string> names;
    size_t start = 0;
    while (start < body.size())
    {
        size_t end = body.find('&', start);
        if (end == std::string::npos)
            end = body.size();
        const std::string pair = body.substr(start, end - start);
        names.push_back(pair.substr(0, pair.find('=')));
        start = end + 1;
    }
    return names;
}

// A client that has a token and a session from a stub that hands them out in its first two
// answers and `later` afterwards.
std::unique_ptr<UTL_FacebookClient> SessionClient(StubRestServer& stub)
{
    auto client = std::make_unique<UTL_FacebookClient>(ApiKey, AppSecret, stub.Url());
    EXPECT_TRUE(client->Init());
    EXPECT_TRUE(client->GetSession());
    return client;
}

// A TCP port that accepts connections (the kernel completes them into the backlog) but whose
// owner never reads or answers: a hung server.
class SilentListener
{
public:
    SilentListener()
    {
        fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(fd, 8);
        socklen_t length = sizeof address;
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
    }
    ~SilentListener() { close(fd); }
    int fd;
    int port;
};
} // namespace

TEST(UTL_FacebookClientTest, CallIdsCountFromZeroAlsoWhenACallFails)
{
    // The stub stalls on the first call past the client's time-out; the counter grows anyway, so
    // the second call carries 1.
    StubRestServer stub(
        [](const StubRestServer::Request&, size_t index)
        {
            if (index == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(800));
            return TokenAnswer("t");
        });
    UTL_FacebookClient client(ApiKey, AppSecret, stub.Url());
    client.SetTimeouts(std::chrono::milliseconds(2000), std::chrono::milliseconds(200));
    EXPECT_FALSE(client.Init()) << "the first call timed out";
    EXPECT_EQ(client.GetCallCounter(), 1);
    client.SetTimeouts(std::chrono::seconds(5), std::chrono::seconds(30));
    EXPECT_TRUE(client.CreateToken());
    EXPECT_EQ(client.GetAuthToken(), "t");

    const auto requests = stub.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].fields.at("call_id"), "0");
    EXPECT_EQ(requests[1].fields.at("call_id"), "1");
}

TEST(UTL_FacebookClientTest, BodyIsSortedWithTheSignatureOverTheRawParameters)
{
    StubRestServer stub([](const StubRestServer::Request&, size_t) { return TokenAnswer("t"); });
    UTL_FacebookClient client(ApiKey, AppSecret, stub.Url());
    ASSERT_TRUE(client.Init());
    std::string answer;
    ASSERT_TRUE(
        client.CallMethod("facebook.friends.areFriends", {"uids1=11,12", "uids2=21,22"}, answer));

    const auto request = stub.Requests().at(1);
    EXPECT_EQ(request.contentType, "application/x-www-form-urlencoded");
    // Byte order of the whole strings: uids1= and uids2= come after sig and before v.
    EXPECT_EQ(NamesInBody(request.body), (std::vector<std::string>{"api_key", "call_id", "method",
                                                                   "sig", "uids1", "uids2", "v"}));
    const std::string expected = UTL_Md5().DigestString(
        std::string("api_key=") + ApiKey + "call_id=1" +
        "method=facebook.friends.areFriendsuids1=11,12uids2=21,22v=1.0" + AppSecret);
    EXPECT_EQ(request.fields.at("sig"), expected);
    EXPECT_EQ(request.fields.count("session_key"), 0u) << "no session yet";
}

TEST(UTL_FacebookClientTest, ReservedCharactersInValuesArriveIntactAndSignedRaw)
{
    // Unencoded, '&' would split the value, '+' turn into a space and '%' start an escape.
    StubRestServer stub([](const StubRestServer::Request&, size_t) { return TokenAnswer("t"); });
    UTL_FacebookClient client(ApiKey, AppSecret, stub.Url());
    ASSERT_TRUE(client.Init());
    const std::string value = "a&b=c+d%41 e,f\xc3\xbc/?#";
    std::string answer;
    ASSERT_TRUE(client.CallMethod("facebook.users.getInfo", {"fields=" + value}, answer));

    const auto request = stub.Requests().at(1);
    EXPECT_EQ(request.fields.at("fields"), value);
    EXPECT_EQ(request.body.find("fields=" + value), std::string::npos);
    EXPECT_NE(request.body.find("fields=a%26b%3Dc%2Bd%2541%20e,f%C3%BC%2F%3F%23"),
              std::string::npos)
        << request.body;
    const std::string expected =
        UTL_Md5().DigestString(std::string("api_key=") + ApiKey + "call_id=1fields=" + value +
                               "method=facebook.users.getInfov=1.0" + AppSecret);
    EXPECT_EQ(request.fields.at("sig"), expected);
}

TEST(UTL_FacebookClientTest, SessionBringsItsKeyAndSecretIntoLaterCalls)
{
    StubRestServer stub(
        [](const StubRestServer::Request&, size_t index) {
            return index == 0 ? TokenAnswer("tok") : index == 1 ? SessionAnswer(true) : "<x/>";
        });
    auto client = SessionClient(stub);
    ASSERT_TRUE(client->HasSession());
    EXPECT_EQ(client->GetUid(), "1234");
    EXPECT_EQ(client->GetSessionKey(), "c0ffee-1234");
    std::string answer;
    ASSERT_TRUE(client->CallMethod("facebook.friends.get", {}, answer));
    EXPECT_EQ(answer, "<x/>");

    const auto requests = stub.Requests();
    ASSERT_EQ(requests.size(), 3u);
    // getSession itself goes out without a session key, signed with the application secret.
    EXPECT_EQ(requests[1].fields.at("auth_token"), "tok");
    EXPECT_EQ(requests[1].fields.count("session_key"), 0u);
    EXPECT_EQ(requests[2].fields.at("session_key"), "c0ffee-1234");
    const std::string expected = UTL_Md5().DigestString(std::string("api_key=") + ApiKey +
                                                        "call_id=2method=facebook.friends.get" +
                                                        "session_key=c0ffee-1234v=1.05e551011");
    EXPECT_EQ(requests[2].fields.at("sig"), expected);
}

TEST(UTL_FacebookClientTest, SessionAnswerWithoutSecretLeavesTheClientWithoutSession)
{
    StubRestServer stub(
        [](const StubRestServer::Request&, size_t index) {
            return index == 0 ? TokenAnswer("tok") : index == 1 ? SessionAnswer(false) : "<x/>";
        });
    UTL_FacebookClient client(ApiKey, AppSecret, stub.Url());
    ASSERT_TRUE(client.Init());
    EXPECT_FALSE(client.GetSession());
    EXPECT_FALSE(client.HasSession());
    EXPECT_EQ(client.GetUid(), "");
    std::string answer;
    ASSERT_TRUE(client.CallMethod("facebook.friends.get", {}, answer));
    const auto last = stub.Requests().back();
    EXPECT_EQ(last.fields.count("session_key"), 0u);
    EXPECT_EQ(last.fields.at("sig"),
              UTL_Md5().DigestString(std::string("api_key=") + ApiKey +
                                     "call_id=2method=facebook.friends.getv=1.0" + AppSecret));
}

TEST(UTL_FacebookClientTest, ErrorAndBrokenAnswersLeaveTokenAndSessionUnchanged)
{
    const std::string answers[] = {ErrorAnswer, "", "<auth_createToken_response>", "not xml at all",
                                   std::string(100000, '<')};
    for (const std::string& bad : answers)
    {
        SCOPED_TRACE(bad.substr(0, 40));
        StubRestServer stub([&](const StubRestServer::Request&, size_t index)
                            { return index == 0 ? TokenAnswer("good") : bad; });
        UTL_FacebookClient client(ApiKey, AppSecret, stub.Url());
        ASSERT_TRUE(client.Init());
        EXPECT_FALSE(client.CreateToken());
        EXPECT_EQ(client.GetAuthToken(), "good");
        EXPECT_FALSE(client.GetSession());
        EXPECT_FALSE(client.HasSession());
    }
}

TEST(UTL_FacebookClientTest, LoginUrlCarriesKeyTokenVersionAndTheThreeFlags)
{
    StubRestServer stub([](const StubRestServer::Request&, size_t) { return TokenAnswer("t0k"); });
    UTL_FacebookClient client(ApiKey, AppSecret, stub.Url());
    ASSERT_TRUE(client.Init());
    EXPECT_EQ(client.MakeLoginUrl("http://example.com/login.php"),
              std::string("http://example.com/login.php?api_key=") + ApiKey +
                  "&auth_token=t0k&v=1.0&popup&skipcookie&hide_checkbox");
}

TEST(UTL_FacebookClientTest, DeadOrSilentServerFailsWithinTheTimeOut)
{
    SilentListener silent;
    UTL_FacebookClient hung(ApiKey, AppSecret,
                            "127.0.0.1:" + std::to_string(silent.port) + "/restserver.php");
    hung.SetTimeouts(std::chrono::milliseconds(1000), std::chrono::milliseconds(300));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(hung.Init());
    // Generous bound: it only has to show that the call did not wait for the server.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));

    // Nobody listens on a port we just closed: refused at once.
    int closedPort;
    {
        SilentListener gone;
        closedPort = gone.port;
    }
    UTL_FacebookClient refused(ApiKey, AppSecret,
                               "127.0.0.1:" + std::to_string(closedPort) + "/restserver.php");
    EXPECT_FALSE(refused.Init());
    EXPECT_EQ(refused.GetCallCounter(), 1);
}

TEST(UTL_FacebookClientTest, AnswerLongerThanTheBoundFailsInsteadOfGrowing)
{
    StubRestServer stub([](const StubRestServer::Request&, size_t) { return TokenAnswer("t"); },
                        UTL_FacebookClient::MaxResponseBytes + 1);
    UTL_FacebookClient client(ApiKey, AppSecret,
                              "127.0.0.1:" + std::to_string(stub.Port()) + "/large.php");
    std::string answer;
    // Init fails at the token (the answer is no token) but creates the transfer handle.
    EXPECT_FALSE(client.Init());
    EXPECT_FALSE(client.CallMethod("facebook.friends.get", {}, answer));
    EXPECT_LE(answer.size(), UTL_FacebookClient::MaxResponseBytes);

    // A caller's tighter bound holds the same way; a looser one cannot lift the client's own.
    answer.clear();
    EXPECT_FALSE(client.CallMethod("facebook.friends.get", {}, answer, 100000));
    EXPECT_LE(answer.size(), 100000u);
    answer.clear();
    EXPECT_FALSE(client.CallMethod("facebook.friends.get", {}, answer, size_t(-1)));
    EXPECT_LE(answer.size(), UTL_FacebookClient::MaxResponseBytes);
}
