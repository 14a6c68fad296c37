#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib
{
class Server;
}

// A small HTTP server on a free loopback port for the picture tests. It serves bytes registered
// under a path ("/a.jpg"), answers "/missing" with an HTML error page and status 404, and holds
// "/stall" open without sending anything until the server stops. It records the order in which
// paths were asked for.
class PictureServer
{
public:
    PictureServer();
    ~PictureServer();

    PictureServer(const PictureServer&) = delete;
    PictureServer& operator=(const PictureServer&) = delete;

    void Serve(const std::string& path, const std::string& bytes);
    // "http://127.0.0.1:PORT" + path.
    std::string Url(const std::string& path) const;
    std::vector<std::string> RequestLog() const;
    // Requests of /stall that have arrived.
    int StalledRequests() const { return stalled; }

private:
    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    int port = 0;
    mutable std::mutex mutex;
    std::map<std::string, std::string> files;
    std::vector<std::string> log;
    std::atomic<int> stalled{0};
    std::atomic<bool> stopping{false};
};
