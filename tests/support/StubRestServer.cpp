#include "support/StubRestServer.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <thread>

#include <httplib.h>

StubRestServer::StubRestServer(Responder responder, size_t largeAnswerBytes)
    : server(std::make_unique<httplib::Server>()), responder(std::move(responder))
{
    server->Post(
        "/large.php",
        [largeAnswerBytes](const httplib::Request&, httplib::Response& r)
        {
            r.set_chunked_content_provider(
                "text/xml",
                [largeAnswerBytes, sent = size_t(0)](size_t, httplib::DataSink& sink) mutable
                {
                    static const std::string piece(64 * 1024, 'x');
                    if (sent >= largeAnswerBytes)
                    {
                        sink.done();
                        return true;
                    }
                    const size_t n = std::min(piece.size(), largeAnswerBytes - sent);
                    sent += n;
                    return sink.write(piece.data(), n);
                });
        });
    server->Post("/restserver.php",
                 [this](const httplib::Request& q, httplib::Response& r)
                 {
                     Request request;
                     request.body = q.body;
                     request.contentType = q.get_header_value("Content-Type");
                     for (const auto& [key, value] : q.params)
                         request.fields[key] = value;
                     size_t index;
                     {
                         std::lock_guard<std::mutex> lock(mutex);
                         index = requests.size();
                         requests.push_back(request);
                     }
                     r.set_content(this->responder(request, index), "text/xml");
                 });
    // The login page takes any account, so that tools that log in without a browser get on.
    server->Post("/login.php", [](const httplib::Request&, httplib::Response& r)
                 { r.set_content("<html><body>Logged in.</body></html>", "text/html"); });
    port = server->bind_to_any_port("127.0.0.1");
    if (port <= 0)
        throw std::runtime_error("StubRestServer: cannot bind");
    thread = std::thread([this] { server->listen_after_bind(); });
    for (int i = 0; i < 5000 && !server->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

StubRestServer::~StubRestServer()
{
    server->stop();
    thread.join();
}

std::string StubRestServer::Url() const
{
    return "127.0.0.1:" + std::to_string(port) + "/restserver.php";
}

std::vector<StubRestServer::Request> StubRestServer::Requests() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return requests;
}
