#include "server/SRV_HttpServer.h"

#include "server/SRV_Connection.h"
#include "server/SRV_Database.h"
#include "server/SRV_LoginPage.h"
#include "server/SRV_PasswordHash.h"
#include "server/SRV_PictureCache.h"
#include "server/SRV_PictureMaker.h"
#include "server/SRV_Random.h"
#include "server/SRV_RestService.h"
#include "server/SRV_ThreadPool.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include <httplib.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
// Login forms are small; anything larger is not one.
constexpr size_t MaxLoginBodyBytes = 16 * 1024;
constexpr size_t MaxFormParts = 256;
constexpr size_t MaxDemoAccountsShown = 25;
// Connections the kernel holds for us while every thread is busy or a burst arrives.
constexpr int ListenBacklog = 1024;

// application/x-www-form-urlencoded decoding: '+' is a space, %XX a byte; a '%' without two hex
// digits stays as it is.
std::string DecodeForm(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        if (c == '+')
            out += ' ';
        else if (c == '%' && i + 2 < text.size() && SRV_Hex::DigitValue(text[i + 1]) >= 0 &&
                 SRV_Hex::DigitValue(text[i + 2]) >= 0)
        {
            out += char(SRV_Hex::DigitValue(text[i + 1]) * 16 + SRV_Hex::DigitValue(text[i + 2]));
            i += 2;
        }
        else
            out += c;
    }
    return out;
}

void ParseForm(const std::string& body, SRV_Params& params)
{
    size_t start = 0;
    while (start < body.size())
    {
        size_t end = body.find('&', start);
        if (end == std::string::npos)
            end = body.size();
        const std::string pair = body.substr(start, end - start);
        if (!pair.empty())
        {
            const size_t equals = pair.find('=');
            if (equals == std::string::npos)
                params[DecodeForm(pair)] = std::string();
            else
                params[DecodeForm(pair.substr(0, equals))] = DecodeForm(pair.substr(equals + 1));
        }
        start = end + 1;
    }
}

// A Host header we can put in picture addresses: a name or address and a port, nothing else.
bool UsableHost(const std::string& host)
{
    if (host.empty() || host.size() > 255)
        return false;
    for (unsigned char c : host)
        if (!std::isalnum(c) && c != '.' && c != '-' && c != ':' && c != '[' && c != ']')
            return false;
    return true;
}

std::string UrlHost(const std::string& host)
{
    return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

// httplib's own connection handling lets a connection keep its thread for as long as the client
// trickles bytes, and polls idle kept-alive connections; connections are served here instead,
// through the library's request processing, with the limits of SRV_Connection.
class ListeningServer : public httplib::Server
{
public:
    SRV_Connection::Limits limits;
    std::chrono::milliseconds idleTimeout{5000};
    size_t threads = 1;

    ListeningServer()
    {
        new_task_queue = [this]
        {
            auto* created = new SRV_ThreadPool(threads);
            pool = created;
            return created;
        };
        // SO_REUSEADDR so that a restarted server can bind while old connections linger; not the
        // library's SO_REUSEPORT, with which a second server on a port already served starts and
        // the kernel splits the connections between the two.
        set_socket_options(
            [](socket_t socket)
            {
                int yes = 1;
                ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
            });
    }

    // The library listens with a backlog of 5, which refuses connections in any burst; listening
    // again on the bound socket enlarges it.
    void EnlargeBacklog()
    {
        const socket_t socket = svr_sock_;
        if (socket != INVALID_SOCKET)
            ::listen(socket, ListenBacklog);
    }

    // One request read from `stream`, answered on it, exactly as on a connection.
    bool ServeRequest(httplib::Stream& stream, bool closeConnection, bool& connectionClosed)
    {
        return process_request(stream, closeConnection, connectionClosed, nullptr);
    }

    // httplib closes its listening socket only from a running listener; a server stopped between
    // Bind and Run would keep the port (and accept into the backlog) until the process ends.
    void CloseListener()
    {
        const socket_t socket = svr_sock_.exchange(INVALID_SOCKET);
        if (socket != INVALID_SOCKET)
        {
            ::shutdown(socket, SHUT_RDWR);
            ::close(socket);
        }
    }

    // Connections taken up so far.
    std::atomic<uint64_t> connections{0};

private:
    bool Stopping() const { return svr_sock_ == INVALID_SOCKET; }

    // Runs on a pool thread for each accepted connection (the pool outlives every call).
    bool process_and_close_socket(socket_t socket) override
    {
        ++connections;
        SRV_Connection connection(socket, limits, [this] { return Stopping(); });
        const auto othersWait = [this] { return pool.load()->Waiting() > 0; };
        bool ok = true;
        constexpr size_t MaxRequests = SRV_HttpServer::MaxRequestsPerConnection;
        for (size_t served = 0; served < MaxRequests && !Stopping(); ++served)
        {
            if (served > 0)
            {
                if (!connection.AwaitRequest(SRV_Connection::Clock::now() + idleTimeout,
                                             othersWait))
                    break;
                connection.BeginRequest(SRV_Connection::Clock::now());
            }
            bool closed = false;
            ok = process_request(connection, served + 1 == MaxRequests, closed, nullptr);
            if (!ok || closed)
                break;
        }
        ::shutdown(socket, SHUT_RDWR);
        ::close(socket);
        return ok;
    }

    std::atomic<SRV_ThreadPool*> pool{nullptr};
};
// A connection held in memory: reads the bytes a client sent, then the end of the stream, and
// collects what the server writes back.
class MemoryStream : public httplib::Stream
{
public:
    MemoryStream(const std::string& input, std::string& output) : input(input), output(output) {}

    bool AtEnd() const { return position >= input.size(); }

    bool is_readable() const override { return true; }
    bool is_writable() const override { return true; }
    ssize_t read(char* data, size_t size) override
    {
        const size_t count = std::min(size, input.size() - position);
        input.copy(data, count, position);
        position += count;
        return ssize_t(count);
    }
    ssize_t write(const char* data, size_t size) override
    {
        output.append(data, size);
        return ssize_t(size);
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override
    {
        ip = "127.0.0.1";
        port = 0;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override
    {
        ip = "127.0.0.1";
        port = 0;
    }
    socket_t socket() const override { return INVALID_SOCKET; }

private:
    const std::string& input;
    size_t position = 0;
    std::string& output;
};
} // namespace

struct SRV_HttpServer::Impl
{
    SRV_Database& database;
    SRV_RestService& service;
    Settings settings;
    ListeningServer server;
    SRV_PictureCache pictures;
    std::atomic<int> port{0};
    std::atomic<bool> bound{false};
    // Stop may come before the listener runs (a signal at start-up): it is remembered, and a
    // pending listener is waited for so that it can be stopped.
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> listenPending{false};
    std::thread thread;

    std::once_flag demoAccountsOnce;
    std::vector<SRV_LoginPage::DemoAccount> demoAccounts;

    Impl(SRV_Database& database, SRV_RestService& service, Settings settings)
        : database(database), service(service), settings(std::move(settings)),
          pictures(this->settings.pictureCacheBytes)
    {
        Routes();
        if (this->settings.logRequests)
            server.set_logger(
                [](const httplib::Request& request, const httplib::Response& response)
                {
                    // One write per line, so that lines from the pool's threads do not mix.
                    const std::string line = "halvane-server: " + request.method + " " +
                                             request.path + " " + std::to_string(response.status) +
                                             "\n";
                    std::fwrite(line.data(), 1, line.size(), stderr);
                    std::fflush(stderr);
                });
    }

    bool Listen()
    {
        listenPending = true;
        const bool ok = !stopRequested && server.listen_after_bind();
        listenPending = false;
        if (stopRequested)
            server.CloseListener();
        return ok || stopRequested;
    }

    // What the request asked for, merged: the query string first, the body over it. False (with
    // the response's status set) when the body cannot be read within `maxBytes`.
    bool ReadParams(const httplib::Request& request, httplib::Response& response,
                    const httplib::ContentReader* reader, size_t maxBytes, SRV_Params& params)
    {
        for (const auto& [key, value] : request.params)
            params[key] = value;
        if (!reader)
            return true;

        SRV_Params body;
        size_t total = 0;
        bool tooLarge = false;
        bool ok;
        if (request.is_multipart_form_data())
        {
            std::string current;
            size_t parts = 0;
            ok = (*reader)(
                [&](const httplib::MultipartFormData& part)
                {
                    if (++parts > MaxFormParts)
                        return false;
                    current = part.name;
                    body[current].clear();
                    return true;
                },
                [&](const char* data, size_t size)
                {
                    total += size;
                    tooLarge = total > maxBytes;
                    if (tooLarge)
                        return false;
                    body[current].append(data, size);
                    return true;
                });
        }
        else
        {
            std::string text;
            ok = (*reader)(
                [&](const char* data, size_t size)
                {
                    tooLarge = text.size() + size > maxBytes;
                    if (tooLarge)
                        return false;
                    text.append(data, size);
                    return true;
                });
            if (ok)
                ParseForm(text, body);
        }
        if (!ok)
        {
            if (tooLarge)
                response.status = 413;
            else if (response.status < 400)
                response.status = 400;
            return false;
        }
        for (auto& [key, value] : body)
            params[key] = std::move(value);
        return true;
    }

    // Scheme and authority for addresses handed out: the Host the client reached us by, so that
    // they work from wherever the client is; the bound address otherwise.
    std::string Site(const httplib::Request& request) const
    {
        const std::string host = request.get_header_value("Host");
        if (UsableHost(host))
            return "http://" + host;
        std::string bound = settings.host;
        if (bound == "0.0.0.0" || bound == "::" || bound.empty())
            bound = "127.0.0.1";
        return "http://" + UrlHost(bound) + ":" + std::to_string(port.load());
    }

    void Rest(const httplib::Request& request, httplib::Response& response,
              const httplib::ContentReader* reader)
    {
        SRV_Params params;
        if (!ReadParams(request, response, reader, settings.maxBodyBytes, params))
            return;
        // Moved, not copied: a friendship batch of the largest circles answers half a megabyte.
        response.body = service.Handle(params, Site(request));
        response.set_header("Content-Type", "text/xml; charset=utf-8");
    }

    const std::vector<SRV_LoginPage::DemoAccount>& DemoAccounts()
    {
        // Checking the demo password against each account's hash is slow on purpose, so it is
        // done once, at the first page view.
        std::call_once(
            demoAccountsOnce,
            [&]
            {
                for (const SRV_Account& account : database.ListAccounts())
                {
                    if (!account.demo || demoAccounts.size() >= MaxDemoAccountsShown)
                        continue;
                    SRV_LoginPage::DemoAccount shown{account.email, account.name,
                                                     account.friendCount, ""};
                    if (!settings.demoPassword.empty() &&
                        SRV_PasswordHash::Verify(settings.demoPassword, account.passwordHash))
                        shown.password = settings.demoPassword;
                    demoAccounts.push_back(shown);
                }
            });
        return demoAccounts;
    }

    void Login(const httplib::Request& request, httplib::Response& response,
               const httplib::ContentReader* reader)
    {
        SRV_Params params;
        if (!ReadParams(request, response, reader, MaxLoginBodyBytes, params))
            return;
        auto get = [&](const char* name)
        {
            const auto it = params.find(name);
            return it == params.end() ? std::string() : it->second;
        };
        const std::string apiKey = get("api_key"), token = get("auth_token");
        const char* html = "text/html; charset=utf-8";
        if (!service.OpenLoginPage(apiKey, token))
        {
            response.status = 400;
            response.set_content(SRV_LoginPage::BadToken(), html);
            return;
        }
        if (!reader)
        {
            response.set_content(SRV_LoginPage::Form(apiKey, token, "", "", DemoAccounts()), html);
            return;
        }
        SRV_Account account;
        switch (service.Login(apiKey, token, get("email"), get("pass"), account))
        {
        case SRV_RestService::LoginResult::LoggedIn:
            response.set_content(SRV_LoginPage::LoggedIn(account.name), html);
            break;
        case SRV_RestService::LoginResult::WrongPassword:
            response.set_content(SRV_LoginPage::Form(apiKey, token, get("email"),
                                                     "Incorrect email or password.",
                                                     DemoAccounts()),
                                 html);
            break;
        case SRV_RestService::LoginResult::BadToken:
            response.status = 400;
            response.set_content(SRV_LoginPage::BadToken(), html);
            break;
        }
    }

    void Picture(const httplib::Request& request, httplib::Response& response)
    {
        int64_t uid = 0;
        SRV_PictureSize size;
        if (!SRV_RestService::ParseId(request.matches[1], uid) ||
            !SRV_PictureMaker::FromName(request.matches[2], size))
        {
            response.status = 404;
            return;
        }
        SRV_Person person;
        const std::string key = std::to_string(uid) + "/" + SRV_PictureMaker::NameOf(size);
        bool shown = true;
        const SRV_PictureCache::Bytes jpeg = pictures.Get(
            key,
            [&]
            {
                if (!database.FindPerson(uid, person) || person.picture != SRV_PictureState::Shown)
                {
                    shown = false;
                    return std::string();
                }
                const std::string initials =
                    SRV_PictureMaker::Initials(person.firstName, person.lastName, person.name);
                return SRV_PictureMaker::MakeJpeg(uid, initials, size);
            });
        if (!shown || jpeg->empty())
        {
            response.status = 404;
            return;
        }
        response.set_header("Cache-Control", "public, max-age=86400");
        response.set_content(jpeg->data(), jpeg->size(), "image/jpeg");
    }

    void Routes()
    {
        using httplib::ContentReader;
        using httplib::Request;
        using httplib::Response;
        const std::string rest = UTL_FacebookConfig::RestPath;
        const std::string login = UTL_FacebookConfig::LoginPath;

        server.Post(rest, [this](const Request& q, Response& r, const ContentReader& reader)
                    { Rest(q, r, &reader); });
        server.Get(rest, [this](const Request& q, Response& r) { Rest(q, r, nullptr); });
        server.Post(login, [this](const Request& q, Response& r, const ContentReader& reader)
                    { Login(q, r, &reader); });
        server.Get(login, [this](const Request& q, Response& r) { Login(q, r, nullptr); });
        server.Get(R"(/photos/(\d{1,18})/([a-z]{1,8})\.jpg)",
                   [this](const Request& q, Response& r) { Picture(q, r); });
        server.Get("/",
                   [this](const Request&, Response& r)
                   {
                       r.set_content("halvane-server: " + std::to_string(database.CountPeople()) +
                                         " people, " + std::to_string(database.CountFriendships()) +
                                         " friendships.\n",
                                     "text/plain; charset=utf-8");
                   });

        server.set_error_handler(
            [](const Request&, Response& r)
            {
                if (r.body.empty())
                    r.set_content("HTTP error " + std::to_string(r.status) + "\n",
                                  "text/plain; charset=utf-8");
            });
        server.set_exception_handler(
            [](const Request&, Response& r, std::exception_ptr)
            {
                r.status = 500;
                r.set_content("500 Internal Server Error\n", "text/plain; charset=utf-8");
            });
        server.set_payload_max_length(settings.maxBodyBytes);
        server.limits.header = settings.headerTimeout;
        server.limits.request = settings.requestTimeout;
        server.limits.io = settings.ioTimeout;
        server.idleTimeout = settings.idleTimeout;
        // What the Keep-Alive header of each answer tells the client.
        server.set_keep_alive_max_count(MaxRequestsPerConnection);
        server.set_keep_alive_timeout(std::max<time_t>(
            1, std::chrono::duration_cast<std::chrono::seconds>(settings.idleTimeout).count()));
        server.threads = size_t(std::max(1, settings.threads));
    }
};

SRV_HttpServer::SRV_HttpServer(SRV_Database& database, SRV_RestService& service, Settings settings)
    : impl(std::make_unique<Impl>(database, service, std::move(settings)))
{
}

SRV_HttpServer::~SRV_HttpServer()
{
    Stop();
}

bool SRV_HttpServer::Bind(std::string& error)
{
    const Settings& s = impl->settings;
    errno = 0;
    if (s.port == 0)
    {
        const int port = impl->server.bind_to_any_port(s.host);
        if (port <= 0)
        {
            error = "cannot listen on " + s.host;
            return false;
        }
        impl->port = port;
    }
    else
    {
        if (!impl->server.bind_to_port(s.host, s.port))
        {
            const int reason = errno;
            error = "cannot listen on " + s.host + ":" + std::to_string(s.port);
            if (reason == EADDRINUSE)
                error += ": the port is already in use (another server runs there?)";
            else if (reason != 0)
                error += std::string(": ") + std::strerror(reason);
            return false;
        }
        impl->port = s.port;
    }
    impl->server.EnlargeBacklog();
    impl->bound = true;
    return true;
}

uint64_t SRV_HttpServer::CountConnections() const
{
    return impl->server.connections;
}

int SRV_HttpServer::Port() const
{
    return impl->port;
}

std::string SRV_HttpServer::Address() const
{
    return "http://" + UrlHost(impl->settings.host) + ":" + std::to_string(impl->port.load());
}

std::string SRV_HttpServer::ServeBytes(const std::string& input)
{
    std::string output;
    MemoryStream stream(input, output);
    for (size_t served = 0; served < MaxRequestsPerConnection && !stream.AtEnd(); ++served)
    {
        bool closed = false;
        const bool last = served + 1 == MaxRequestsPerConnection;
        if (!impl->server.ServeRequest(stream, last, closed) || closed)
            break;
    }
    return output;
}

bool SRV_HttpServer::Run()
{
    return impl->bound && impl->Listen();
}

bool SRV_HttpServer::Start(std::string& error)
{
    if (!Bind(error))
        return false;
    impl->listenPending = true;
    impl->thread = std::thread([this] { impl->Listen(); });
    return true;
}

void SRV_HttpServer::Stop()
{
    impl->stopRequested = true;
    while (impl->listenPending && !impl->server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    impl->server.stop();
    if (impl->thread.joinable())
        impl->thread.join();
    if (!impl->listenPending)
        impl->server.CloseListener();
}
