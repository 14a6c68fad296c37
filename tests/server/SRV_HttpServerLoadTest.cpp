// The HTTP server under load and against clients that hold their connections: many kept-alive
// clients logging in at once while others trickle their headers, and the time limits that free a
// request thread from a slow or idle client. Loopback only, bounded in count and time.
#include "server/SRV_HttpServer.h"

#include "RestTestSupport.h"
#include "server/SRV_Database.h"
#include "server/SRV_RestService.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include <httplib.h>
#include <tinyxml.h>

using namespace RestTestSupport;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using std::chrono::seconds;

namespace
{
constexpr int SampleFriends = 12;

// A raw loopback connection to `port`, -1 when none could be made.
int Connect(int port)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (socket >= 0 &&
        ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return socket;
    if (socket >= 0)
        ::close(socket);
    return -1;
}

// Whether the server has closed `socket` (end of stream or reset); waits at most `limit` for
// it. Bytes that arrive are read and ignored.
bool ClosedWithin(int socket, milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    for (;;)
    {
        const auto left = std::max(
            milliseconds(0), std::chrono::duration_cast<milliseconds>(deadline - Clock::now()));
        pollfd p{socket, POLLIN, 0};
        if (::poll(&p, 1, int(left.count())) <= 0)
            return false;
        char buffer[512];
        const ssize_t n = ::recv(socket, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
            return true;
    }
}

// Clients that open a request and never finish its headers, sending one more header byte to
// each connection every 100 ms so that no single read waits long.
class Tricklers
{
public:
    Tricklers(int port, int count)
    {
        for (int i = 0; i < count; ++i)
        {
            const int socket = Connect(port);
            if (socket < 0)
                continue;
            const char start[] = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ";
            ::send(socket, start, sizeof start - 1, MSG_NOSIGNAL);
            sockets.push_back(socket);
        }
        thread = std::thread(
            [this]
            {
                std::unique_lock<std::mutex> lock(mutex);
                while (!wake.wait_for(lock, milliseconds(100), [this] { return stop; }))
                    for (int socket : sockets)
                        ::send(socket, "a", 1, MSG_NOSIGNAL | MSG_DONTWAIT);
            });
    }
    ~Tricklers()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stop = true;
        }
        wake.notify_all();
        thread.join();
        for (int socket : sockets)
            ::close(socket);
    }

    size_t Opened() const { return sockets.size(); }
    // How many of the connections the server has closed.
    size_t Closed() const
    {
        size_t closed = 0;
        for (int socket : sockets)
            closed += ClosedWithin(socket, milliseconds(0));
        return closed;
    }

private:
    std::vector<int> sockets;
    std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;
    std::thread thread;
};

class SRV_HttpServerLoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(OpenSample(database, SampleFriends, 3, sample));
        settings.host = "127.0.0.1";
        settings.port = 0;
    }

    void Serve()
    {
        server = std::make_unique<SRV_HttpServer>(database, service, settings);
        std::string error;
        ASSERT_TRUE(server->Start(error)) << error;
    }

    // auth.createToken, the login form posted with the token, auth.getSession and a friends.get
    // in the new session, all on one kept-alive connection. Empty when all went well, else what
    // went wrong.
    std::string LogInAndGetFriends()
    {
        httplib::Client http("127.0.0.1", server->Port());
        Bound(http);
        http.set_read_timeout(60);
        http.set_keep_alive(true);
        auto post = [&](const char* path, const Params& params)
        {
            auto answer = http.Post(path, FormEncode(params), "application/x-www-form-urlencoded");
            return answer && answer->status == 200
                       ? answer->body
                       : "HTTP failure: " + (answer ? std::to_string(answer->status)
                                                    : httplib::to_string(answer.error()));
        };

        TiXmlDocument doc;
        doc.Parse(post("/restserver.php", Signed("auth.createToken", {}, AppSecret)).c_str());
        const TiXmlElement* root = doc.FirstChildElement("auth_createToken_response");
        const std::string token = root && root->GetText() ? root->GetText() : "";
        if (token.empty())
            return "no token";
        const std::string page = post("/login.php", {{"api_key", ApiKey},
                                                     {"auth_token", token},
                                                     {"email", sample.email},
                                                     {"pass", "halvane"}});
        if (page.find("Close") == std::string::npos)
            return "login refused";
        const std::string session =
            post("/restserver.php", Signed("auth.getSession", {{"auth_token", token}}, AppSecret));
        const auto key = Texts(session, "auth_getSession_response", "session_key");
        const auto secret = Texts(session, "auth_getSession_response", "secret");
        if (key.size() != 1 || secret.size() != 1)
            return "no session";
        const std::string friends =
            post("/restserver.php", Signed("friends.get", {}, secret[0], key[0], "1"));
        if (Texts(friends, "friends_get_response", "uid").size() != size_t(SampleFriends))
            return "no friends: " + friends.substr(0, 300);
        return std::string();
    }

    // Whether a GET of "/" on a fresh connection is answered within `limit`.
    bool Answers(seconds limit)
    {
        httplib::Client http("127.0.0.1", server->Port());
        http.set_connection_timeout(limit);
        http.set_read_timeout(limit);
        auto answer = http.Get("/");
        return answer && answer->status == 200;
    }

    SRV_Database database;
    SRV_RestService service{database, SRV_RestService::Settings()};
    SRV_HttpServer::Settings settings;
    std::unique_ptr<SRV_HttpServer> server;
    SRV_NetworkMaker::Result sample;
};
} // namespace

TEST_F(SRV_HttpServerLoadTest, ManyKeptAliveClientsLogInWhileSlowClientsHoldConnections)
{
    constexpr int Clients = 200;
    constexpr int Slow = 64;
    // Long limits, so that the slow clients stay for the whole test: what is tested is that they
    // do not keep anybody else waiting, not that they are cut off.
    settings.headerTimeout = seconds(600);
    settings.ioTimeout = seconds(600);
    Serve();

    Tricklers slow(server->Port(), Slow);
    ASSERT_EQ(slow.Opened(), size_t(Slow));
    EXPECT_TRUE(Answers(seconds(20))) << "a new client is answered while the slow ones wait";

    std::mutex mutex;
    std::condition_variable ready;
    bool go = false;
    std::vector<std::string> failures(Clients);
    std::vector<std::thread> clients;
    for (int i = 0; i < Clients; ++i)
        clients.emplace_back(
            [&, i]
            {
                {
                    std::unique_lock<std::mutex> lock(mutex);
                    ready.wait(lock, [&] { return go; });
                }
                failures[size_t(i)] = LogInAndGetFriends();
            });
    {
        std::lock_guard<std::mutex> lock(mutex);
        go = true;
    }
    ready.notify_all();
    for (std::thread& client : clients)
        client.join();

    int succeeded = 0;
    for (const std::string& failure : failures)
    {
        succeeded += failure.empty();
        if (!failure.empty())
            ADD_FAILURE() << failure;
    }
    EXPECT_EQ(succeeded, Clients);
    EXPECT_EQ(slow.Closed(), 0u) << "the slow clients were there all along";
    EXPECT_TRUE(Answers(seconds(20)));
}

TEST_F(SRV_HttpServerLoadTest, SlowSilentAndIdleClientsAreCutOffInTime)
{
    settings.headerTimeout = seconds(1);
    settings.idleTimeout = seconds(1);
    Serve();

    // A trickle of header bytes never lets a single read wait long; the headers' own limit ends
    // it.
    const auto start = Clock::now();
    Tricklers slow(server->Port(), 1);
    ASSERT_EQ(slow.Opened(), 1u);
    for (int i = 0; i < 300 && slow.Closed() == 0; ++i)
        std::this_thread::sleep_for(milliseconds(100));
    EXPECT_EQ(slow.Closed(), 1u);
    EXPECT_GE(Clock::now() - start, milliseconds(900)) << "not before its time was up";

    const int silent = Connect(server->Port());
    ASSERT_GE(silent, 0);
    EXPECT_TRUE(ClosedWithin(silent, seconds(30))) << "a connection that never sends a request";
    ::close(silent);

    const int idle = Connect(server->Port());
    ASSERT_GE(idle, 0);
    const char request[] = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    ASSERT_EQ(::send(idle, request, sizeof request - 1, MSG_NOSIGNAL), ssize_t(sizeof request - 1));
    char buffer[1024];
    pollfd p{idle, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 20000), 1);
    ASSERT_GT(::recv(idle, buffer, sizeof buffer, 0), 0) << "answered";
    EXPECT_TRUE(ClosedWithin(idle, seconds(30))) << "then closed when it stays idle";
    ::close(idle);

    EXPECT_TRUE(Answers(seconds(20)));
}

TEST_F(SRV_HttpServerLoadTest, IdleKeptAliveConnectionsMakeRoomForNewOnes)
{
    // Two threads, both held by kept-alive clients that stay idle far longer than the test.
    settings.threads = 2;
    settings.idleTimeout = seconds(600);
    Serve();
    std::vector<std::unique_ptr<httplib::Client>> idle;
    for (int i = 0; i < 2; ++i)
    {
        idle.push_back(std::make_unique<httplib::Client>("127.0.0.1", server->Port()));
        idle.back()->set_keep_alive(true);
        Bound(*idle.back());
        auto answer = idle.back()->Get("/");
        ASSERT_TRUE(answer && answer->status == 200);
    }
    EXPECT_TRUE(Answers(seconds(30)));
    for (auto& client : idle)
    {
        auto again = client->Get("/");
        EXPECT_TRUE(again && again->status == 200) << "a closed kept-alive client reconnects";
    }
}
