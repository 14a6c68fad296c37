#pragma once

#include "net/UTL_FacebookConfig.h"
#include "server/SRV_Database.h"
#include "server/SRV_HttpServer.h"
#include "server/SRV_Names.h"
#include "server/SRV_NetworkMaker.h"
#include "server/SRV_RestService.h"

#include <cstdlib>
#include <memory>
#include <string>

// The stand-in network the server's fuzz targets run against, made once per run: the viewer's
// application, a small generated network in memory and an open session of its account, so that
// fuzzed calls can reach the methods behind the session and signature checks.
struct FuzzServer
{
    static constexpr const char* SessionKey = "fuzz-session";
    static constexpr const char* SessionSecret = "fuzz-secret";
    static constexpr int64_t Forever = int64_t(1) << 40;

    FuzzServer()
    {
        std::string error;
        if (!database.Open(":memory:", error))
            std::abort();
        database.AddApplication(UTL_FacebookConfig::ApiKey, UTL_FacebookConfig::AppSecret,
                                "Halvane");
        // One hashing round: logins are not what is fuzzed, and a fast hash keeps runs fast.
        SRV_NetworkMaker maker(database, SRV_Names::Builtin(), "halvane", 1);
        if (!maker.MakeSample(20, 1, sample, error))
            std::abort();
        SRV_RestService::Settings serviceSettings;
        serviceSettings.maxListIds = 64;
        serviceSettings.maxPendingTokens = 64;
        service = std::make_unique<SRV_RestService>(database, serviceSettings);
        service->SetClock([] { return int64_t(1'200'000'000); });
        SRV_HttpServer::Settings httpSettings;
        httpSettings.port = 0;
        httpSettings.maxBodyBytes = 64 * 1024;
        httpSettings.pictureCacheBytes = 256 * 1024;
        httpSettings.threads = 1;
        http = std::make_unique<SRV_HttpServer>(database, *service, httpSettings);

        SRV_Session session;
        session.sessionKey = SessionKey;
        session.apiKey = UTL_FacebookConfig::ApiKey;
        session.uid = sample.accountUid;
        session.secret = SessionSecret;
        session.expires = Forever;
        if (!database.AddSession(session))
            std::abort();
    }

    // Forgets the session's last call_id, so that every input starts from the same state.
    void ResetSession() { database.SetLastCallId(SessionKey, ""); }

    SRV_Database database;
    SRV_NetworkMaker::Result sample;
    std::unique_ptr<SRV_RestService> service;
    std::unique_ptr<SRV_HttpServer> http;
};
