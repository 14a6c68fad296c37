#include "server/SRV_SampleServer.h"

#include "net/UTL_FacebookConfig.h"
#include "server/SRV_Names.h"

SRV_SampleServer::~SRV_SampleServer()
{
    Stop();
}

bool SRV_SampleServer::Start(int friends, uint64_t seed, std::string& error, int passwordIterations,
                             bool listDemoAccounts)
{
    if (!database.Open(":memory:", error))
        return false;
    database.AddApplication(UTL_FacebookConfig::ApiKey, UTL_FacebookConfig::AppSecret, "Halvane");
    SRV_NetworkMaker maker(database, SRV_Names::Builtin(), Password, passwordIterations);
    if (!maker.MakeSample(friends, seed, sample, error))
        return false;
    service = std::make_unique<SRV_RestService>(database, SRV_RestService::Settings());
    SRV_HttpServer::Settings settings;
    settings.port = 0;
    if (listDemoAccounts)
        settings.demoPassword = Password;
    server = std::make_unique<SRV_HttpServer>(database, *service, settings);
    return server->Start(error);
}

void SRV_SampleServer::Stop()
{
    if (server)
        server->Stop();
}
