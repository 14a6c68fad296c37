// Benchmark of the picture worker with a large circle: a stand-in server on loopback with a
// generated network, then every friend's profile picture requested at once, the way the labels
// of a freshly loaded circle ask for them, and the worker timed until all are downloaded and
// decoded. Prints pictures per second and how the worker's time splits between transfer and
// decoding.
// Usage: halvane-bench-pictures [PICTURES]        (default 2000)

#include "gfx/OGL_TextureFoto.h"
#include "net/UTL_FacebookConfig.h"
#include "server/SRV_Database.h"
#include "server/SRV_HttpServer.h"
#include "server/SRV_Names.h"
#include "server/SRV_NetworkMaker.h"
#include "server/SRV_PasswordHash.h"
#include "server/SRV_RestService.h"
#include "util/UTL_FotoTextureBoss.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace
{
int Fail(const std::string& what)
{
    std::fprintf(stderr, "halvane-bench-pictures: %s\n", what.c_str());
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    const int pictureCount = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;

    SRV_Database database;
    std::string error;
    if (!database.Open(":memory:", error))
        return Fail(error);
    database.AddApplication(UTL_FacebookConfig::ApiKey, UTL_FacebookConfig::AppSecret, "Halvane");
    SRV_NetworkMaker maker(database, SRV_Names::Builtin(), "halvane",
                           SRV_PasswordHash::DefaultIterations);
    SRV_NetworkMaker::Result sample;
    if (!maker.MakeSample(pictureCount, 1, sample, error))
        return Fail(error);
    SRV_RestService service(database, SRV_RestService::Settings());
    SRV_HttpServer::Settings settings;
    settings.port = 0;
    SRV_HttpServer server(database, service, settings);
    if (!server.Start(error))
        return Fail(error);

    // The ordinary profile picture of every friend, as users.getInfo hands it out ("pic").
    const std::string base = "http://127.0.0.1:" + std::to_string(server.Port()) + "/photos/";
    std::vector<std::string> addresses;
    for (int64_t uid : database.FriendsOf(sample.accountUid))
        addresses.push_back(base + std::to_string(uid) + "/normal.jpg");

    const auto scratch = std::filesystem::temp_directory_path() / "halvane-bench-pictures.jpg";
    UTL_FotoTextureBoss worker;
    worker.SetScratchPath(scratch.string());
    for (const std::string& address : addresses)
        worker.RequestTexture(address); // all pending before the thread starts

    const auto start = std::chrono::steady_clock::now();
    worker.Start();
    while (worker.CountPending() > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    int decoded = 0;
    for (const std::string& address : addresses)
    {
        const OGL_TextureFoto* texture = worker.RequestTexture(address);
        decoded += texture && texture->GetImage() && texture->GetImage()->HasPixels() ? 1 : 0;
    }
    const auto& stats = worker.GetStatistics();
    const double transfer = stats.transferMicroseconds / 1e6;
    const double decode = stats.decodeMicroseconds / 1e6;
    std::printf("pictures: %zu requested, %d decoded (the others have no picture on purpose)\n",
                addresses.size(), decoded);
    std::printf("time: %.2f s, %.0f pictures per second\n", seconds, addresses.size() / seconds);
    std::printf("worker time: transfer %.2f s (%.0f %%), decode %.2f s (%.0f %%), other %.2f s\n",
                transfer, 100.0 * transfer / seconds, decode, 100.0 * decode / seconds,
                seconds - transfer - decode);
    std::filesystem::remove(scratch);
    server.Stop();
    return 0;
}
