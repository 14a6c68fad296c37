#pragma once

#include "server/SRV_Database.h"
#include "server/SRV_HttpServer.h"
#include "server/SRV_NetworkMaker.h"
#include "server/SRV_PasswordHash.h"
#include "server/SRV_RestService.h"

#include <memory>
#include <string>

// A generated network in a private in-memory database, served on a free loopback port by this
// process: what the benchmarks and the tests of the viewer's side of the protocol stand on. The
// viewer's built-in application is registered, and every account's password is "halvane".
class SRV_SampleServer
{
public:
    SRV_SampleServer() = default;
    ~SRV_SampleServer();

    SRV_SampleServer(const SRV_SampleServer&) = delete;
    SRV_SampleServer& operator=(const SRV_SampleServer&) = delete;

    // Generates an account with `friends` friends from `seed` and starts serving it. The login
    // page lists the demo accounts when `listDemoAccounts` is set.
    bool Start(int friends, uint64_t seed, std::string& error,
               int passwordIterations = SRV_PasswordHash::DefaultIterations,
               bool listDemoAccounts = false);
    void Stop();

    SRV_Database& Database() { return database; }
    SRV_RestService& Service() { return *service; }
    const SRV_NetworkMaker::Result& Sample() const { return sample; }
    int Port() const { return server ? server->Port() : 0; }
    // "127.0.0.1:PORT", as the viewer's --network option takes it.
    std::string HostAndPort() const { return "127.0.0.1:" + std::to_string(Port()); }

    static constexpr const char* Password = "halvane";

private:
    SRV_Database database;
    std::unique_ptr<SRV_RestService> service;
    std::unique_ptr<SRV_HttpServer> server;
    SRV_NetworkMaker::Result sample;
};
