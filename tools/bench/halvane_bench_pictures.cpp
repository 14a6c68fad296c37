// Benchmark of the picture worker with a large circle: a stand-in server on loopback with a
// generated network, then every friend's profile picture requested at once, the way the labels
// of a freshly loaded circle ask for them, and the worker timed until all are downloaded and
// decoded. Prints pictures per second and how the worker's time splits between transfer and
// decoding.

#include "gfx/OGL_TextureFoto.h"
#include "server/SRV_NetworkMaker.h"
#include "server/SRV_SampleServer.h"
#include "util/UTL_FotoTextureBoss.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace
{
const char* const Usage =
    R"(Usage: halvane-bench-pictures [PICTURES]

Starts a stand-in server on loopback with a generated circle of PICTURES friends (default 2000,
at most 100000), asks the picture worker for every friend's profile picture at once, and prints
pictures per second and how the worker's time splits between transfer and decoding.

Options:
  --help               show this text
)";

int Fail(const std::string& what)
{
    std::fprintf(stderr, "halvane-bench-pictures: %s\n", what.c_str());
    return 1;
}

// The picture count from the command line; false, with `error` set, on a bad argument.
bool ParseCount(int argc, char** argv, int& count, std::string& error)
{
    count = 2000;
    if (argc > 2)
    {
        error = "one argument at most (see --help)";
        return false;
    }
    if (argc < 2)
        return true;
    const std::string arg = argv[1];
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(arg.c_str(), &end, 10);
    if (arg.empty() || *end != '\0' || errno != 0 || value < 1 ||
        value > SRV_NetworkMaker::MaxSampleFriends)
    {
        error = "PICTURES wants a count from 1 to " +
                std::to_string(SRV_NetworkMaker::MaxSampleFriends) + ", not '" + arg +
                "' (see --help)";
        return false;
    }
    count = int(value);
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h"))
    {
        std::fputs(Usage, stdout);
        return 0;
    }
    int pictureCount = 0;
    std::string error;
    if (!ParseCount(argc, argv, pictureCount, error))
        return Fail(error);

    SRV_SampleServer server;
    if (!server.Start(pictureCount, 1, error))
        return Fail(error);

    // The ordinary profile picture of every friend, as users.getInfo hands it out ("pic").
    const std::string base = "http://127.0.0.1:" + std::to_string(server.Port()) + "/photos/";
    std::vector<std::string> addresses;
    for (int64_t uid : server.Database().FriendsOf(server.Sample().accountUid))
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
    if (stats.overBudget > 0)
        std::printf("pictures over the decoded budget of %zu MiB: %d (they have no picture)\n",
                    UTL_FotoTextureBoss::DefaultDecodedBudget >> 20, stats.overBudget.load());
    std::printf("time: %.2f s, %.0f pictures per second\n", seconds, addresses.size() / seconds);
    std::printf("worker time: transfer %.2f s (%.0f %%), decode %.2f s (%.0f %%), other %.2f s\n",
                transfer, 100.0 * transfer / seconds, decode, 100.0 * decode / seconds,
                seconds - transfer - decode);
    std::filesystem::remove(scratch);
    server.Stop();
    return 0;
}
