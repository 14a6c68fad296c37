#pragma once

#include "net/UTL_FacebookConfig.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class SRV_Database;
class SRV_RestService;

// The stand-in network on HTTP: the REST endpoint (/restserver.php, POST with a URL-encoded or
// multipart body, parameters possibly split with the query string, or GET), the login page
// (/login.php) and the profile pictures (/photos/UID/SIZE.jpg, made on first request and cached).
// Bodies are bounded (413 past the limit), and a request that goes wrong gets an HTTP error, never
// a crash. Every open connection has a thread of its own, up to `threads`; a client that trickles
// its request is cut off when the time for its headers is up, and a kept-alive connection with
// nothing to do is closed after a few seconds, or at once when new connections wait for a thread.
//
// Threading: Run serves on a pool of threads until Stop, which may be called from any thread.
class SRV_HttpServer
{
public:
    struct Settings
    {
        std::string host = UTL_FacebookConfig::DefaultHost;
        int port = UTL_FacebookConfig::DefaultPort; // 0: any free port
        size_t maxBodyBytes = size_t(1) << 20;
        size_t pictureCacheBytes = size_t(64) << 20;
        int threads = 512; // most connections served at once; more wait for a thread
        // A request's line and headers must arrive within `headerTimeout` of its start (a new
        // connection's when a thread takes it up, a kept-alive one's at its first byte), the
        // whole request within `requestTimeout`; each read and write must make progress within
        // `ioTimeout`. A kept-alive connection waits `idleTimeout` for its next request.
        std::chrono::milliseconds headerTimeout{5000};
        std::chrono::milliseconds requestTimeout{60000};
        std::chrono::milliseconds ioTimeout{5000};
        std::chrono::milliseconds idleTimeout{5000};
        // Shown on the login page beside the demo accounts it opens.
        std::string demoPassword;
        // A line per answered request on standard error: "halvane-server: POST /login.php 200".
        bool logRequests = false;
    };

    SRV_HttpServer(SRV_Database& database, SRV_RestService& service, Settings settings);
    ~SRV_HttpServer();

    SRV_HttpServer(const SRV_HttpServer&) = delete;
    SRV_HttpServer& operator=(const SRV_HttpServer&) = delete;

    // Binds the listening socket; from then on connections wait in the backlog until Run.
    bool Bind(std::string& error);
    int Port() const;
    // Connections accepted so far: a client keeping its connection alive adds one.
    uint64_t CountConnections() const;
    // "http://HOST:PORT" of the bound socket.
    std::string Address() const;
    // Serves until Stop; false when not bound or the listener fails.
    bool Run();
    // Bind and Run on a thread of its own (tests, benchmarks); Stop or the destructor end it.
    bool Start(std::string& error);
    void Stop();

    // Serves one connection from memory, without a socket: `input` is everything the client
    // sent before closing its side, and the answers written back are returned, as the client
    // would have read them. The requests go through the same parsing, limits and handlers as on
    // the network (the fuzz target of the request handling drives the server this way).
    std::string ServeBytes(const std::string& input);
    // Requests served on one connection before the server closes it.
    static constexpr size_t MaxRequestsPerConnection = 100;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};
