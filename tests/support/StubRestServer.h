#pragma once

#include <functional>
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

// A scripted REST server on a free loopback port for testing the client and the tools that log in
// (its login page accepts anyone): it records every request (the raw body and its parsed form
// fields) and answers with what the test's responder returns.
class StubRestServer
{
public:
    struct Request
    {
        std::string body;
        std::string contentType;
        std::map<std::string, std::string> fields; // form-decoded
    };
    // Returns the answer for a request (the index counts from 0).
    using Responder = std::function<std::string(const Request&, size_t index)>;

    // `largeAnswerBytes`: the size of the answer streamed at /large.php.
    explicit StubRestServer(Responder responder, size_t largeAnswerBytes = 0);
    ~StubRestServer();

    // The endpoint in the form the client takes: no scheme.
    std::string Url() const;
    int Port() const { return port; }
    std::vector<Request> Requests() const;

private:
    std::unique_ptr<httplib::Server> server;
    Responder responder;
    mutable std::mutex mutex;
    std::vector<Request> requests;
    int port = 0;
    std::thread thread;
};
