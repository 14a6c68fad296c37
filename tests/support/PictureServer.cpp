#include "support/PictureServer.h"

#include <httplib.h>

#include <chrono>

PictureServer::PictureServer() : server(std::make_unique<httplib::Server>())
{
    server->Get("/stall",
                [this](const httplib::Request&, httplib::Response& response)
                {
                    ++stalled;
                    for (int i = 0; i < 300 && !stopping; ++i) // at most 30 s
                        std::this_thread::sleep_for(std::chrono::milliseconds(100));
                    response.status = 503;
                });
    server->Get("/missing",
                [](const httplib::Request&, httplib::Response& response)
                {
                    response.status = 404;
                    response.set_content("<html><body>Not found</body></html>", "text/html");
                });
    server->Get(R"(/(.*))",
                [this](const httplib::Request& request, httplib::Response& response)
                {
                    std::lock_guard<std::mutex> guard(mutex);
                    log.push_back(request.path);
                    auto found = files.find(request.path);
                    if (found == files.end())
                    {
                        response.status = 404;
                        return;
                    }
                    response.set_content(found->second, "image/jpeg");
                });
    port = server->bind_to_any_port("127.0.0.1");
    // The socket listens from bind on; requests queue until the accept loop runs.
    thread = std::thread([this] { server->listen_after_bind(); });
}

PictureServer::~PictureServer()
{
    stopping = true;
    server->stop();
    thread.join();
}

void PictureServer::Serve(const std::string& path, const std::string& bytes)
{
    std::lock_guard<std::mutex> guard(mutex);
    files[path] = bytes;
}

std::string PictureServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port) + path;
}

std::vector<std::string> PictureServer::RequestLog() const
{
    std::lock_guard<std::mutex> guard(mutex);
    return log;
}
