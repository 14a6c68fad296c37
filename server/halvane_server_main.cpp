// halvane-server: the stand-in social network. Opens the database, imports and generates data as
// the command line asks, then serves until SIGINT or SIGTERM.
#include "net/UTL_FacebookConfig.h"
#include "server/SRV_Database.h"
#include "server/SRV_HttpServer.h"
#include "server/SRV_Names.h"
#include "server/SRV_NetworkMaker.h"
#include "server/SRV_Options.h"
#include "server/SRV_PasswordHash.h"
#include "server/SRV_RestService.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <pthread.h>
#include <thread>

namespace
{
constexpr uint64_t SampleSeed = 20080401;

void Report(const char* what, const SRV_NetworkMaker::Result& result)
{
    std::cerr << "halvane-server: " << what << ": account " << result.email << " (uid "
              << result.accountUid << ") with " << result.friends << " friends, "
              << result.friendships << " friendships among them\n";
}

// Fills an empty or new database: the viewer's application, the imports, the sample.
bool Prepare(SRV_Database& database, const SRV_Options& options)
{
    database.AddApplication(UTL_FacebookConfig::ApiKey, UTL_FacebookConfig::AppSecret, "Halvane");
    SRV_NetworkMaker maker(database, SRV_Names::Builtin(), options.demoPassword,
                           SRV_PasswordHash::DefaultIterations);
    for (const std::string& file : options.egoFiles)
    {
        SRV_NetworkMaker::Result result;
        std::string error;
        if (!maker.ImportEgo(file, result, error))
        {
            std::cerr << "halvane-server: import failed, nothing of it was stored: " << error
                      << "\n";
            return false;
        }
        Report(("imported " + file).c_str(), result);
    }
    if (database.CountPeople() == 0)
    {
        SRV_NetworkMaker::Result result;
        std::string error;
        if (!maker.MakeSample(options.sample, SampleSeed, result, error))
        {
            std::cerr << "halvane-server: cannot generate the sample network: " << error << "\n";
            return false;
        }
        Report("generated the sample network", result);
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    SRV_Options options;
    std::string error;
    if (!options.Parse(std::vector<std::string>(argv + 1, argv + argc), error))
    {
        std::cerr << "halvane-server: " << error << "\nTry 'halvane-server --help'.\n";
        return 2;
    }
    if (options.help)
    {
        std::cout << SRV_Options::Usage();
        return 0;
    }

    SRV_Database database;
    if (!database.Open(options.database, error))
    {
        std::cerr << "halvane-server: " << error << "\n";
        return 1;
    }
    if (!Prepare(database, options))
        return 1;

    if (options.listAccounts)
    {
        for (const SRV_Account& account : database.ListAccounts())
            std::cout << account.uid << '\t' << account.email << '\t' << account.name << '\t'
                      << account.friendCount << '\n';
        return 0;
    }

    // SIGINT and SIGTERM are taken by one thread that stops the server, so that the request
    // threads (which inherit the mask) never see them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    SRV_RestService service(database, SRV_RestService::Settings());
    SRV_HttpServer::Settings settings;
    settings.host = options.host;
    settings.port = options.port;
    settings.demoPassword = options.demoPassword;
    settings.logRequests = options.logRequests;
    SRV_HttpServer server(database, service, settings);
    if (!server.Bind(error))
    {
        std::cerr << "halvane-server: " << error << "\n";
        return 1;
    }

    std::thread stopper(
        [&]
        {
            int signal = 0;
            sigwait(&signals, &signal);
            server.Stop();
        });

    std::cout << "listening on " << server.Address() << std::endl;
    const bool ok = server.Run();
    if (!ok)
        std::cerr << "halvane-server: the listener failed\n";
    // Wake the stopper if the server ended by itself.
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return ok ? 0 : 1;
}
