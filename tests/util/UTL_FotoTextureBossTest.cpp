#include "util/UTL_FotoTextureBoss.h"

#include "gfx/OGL_TextureFoto.h"

#include "support/ImageFiles.h"
#include "support/PictureServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace
{
using Clock = std::chrono::steady_clock;
constexpr auto Patience = std::chrono::seconds(20);

// Asks for the texture of `address` until the worker has processed it; null after Patience.
OGL_TextureFoto* WaitTexture(UTL_FotoTextureBoss& worker, const std::string& address)
{
    const auto deadline = Clock::now() + Patience;
    while (Clock::now() < deadline)
    {
        if (OGL_TextureFoto* texture = worker.RequestTexture(address))
            return texture;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return nullptr;
}

bool WaitIdle(UTL_FotoTextureBoss& worker)
{
    const auto deadline = Clock::now() + Patience;
    while (worker.IsRunning() && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return !worker.IsRunning();
}

bool HasPixels(const OGL_TextureFoto* texture)
{
    return texture && texture->GetImage() && texture->GetImage()->HasPixels();
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class UTL_FotoTextureBossTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        red = MakeJpeg(30, 20, "red");
        blue = MakeJpeg(40, 10, "blue");
        ASSERT_FALSE(red.empty()) << "ImageMagick's convert is needed to make test pictures";
        server.Serve("/red.jpg", red);
        server.Serve("/blue.jpg", blue);
        worker.SetScratchPath(dir.File("temp.jpg"));
    }

    TempDir dir;
    PictureServer server;
    UTL_FotoTextureBoss worker;
    std::string red, blue;
};
} // namespace

TEST_F(UTL_FotoTextureBossTest, FirstRequestQueuesThenEveryRequestGetsTheSameTexture)
{
    worker.Start();
    const std::string address = server.Url("/red.jpg");
    EXPECT_EQ(worker.RequestTexture(address), nullptr);
    OGL_TextureFoto* texture = WaitTexture(worker, address);
    ASSERT_NE(texture, nullptr);
    ASSERT_TRUE(HasPixels(texture));
    EXPECT_EQ(texture->GetImage()->GetWidth(), 30);
    EXPECT_EQ(texture->GetImage()->GetHeight(), 20);
    EXPECT_EQ(texture->GetWrap(), GLenum(GL_CLAMP_TO_EDGE));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(worker.RequestTexture(address), texture);
    EXPECT_EQ(server.RequestLog().size(), 1u) << "a processed picture is never fetched again";
}

TEST_F(UTL_FotoTextureBossTest, PendingPicturesAreTakenInByteOrderOfTheirAddresses)
{
    // Nothing runs until Start, so all three are pending when the worker first looks.
    server.Serve("/b.jpg", red);
    server.Serve("/a.jpg", red);
    server.Serve("/B.jpg", red);
    for (const char* path : {"/b.jpg", "/a.jpg", "/B.jpg"})
        EXPECT_EQ(worker.RequestTexture(server.Url(path)), nullptr);
    EXPECT_EQ(worker.CountPending(), 3u);
    worker.Start();
    ASSERT_TRUE(WaitIdle(worker));
    EXPECT_EQ(worker.CountPending(), 0u);
    EXPECT_EQ(worker.CountEntries(), 3u);
    EXPECT_EQ(server.RequestLog(), (std::vector<std::string>{"/B.jpg", "/a.jpg", "/b.jpg"}));
    EXPECT_EQ(worker.GetStatistics().processed, 3);
}

TEST_F(UTL_FotoTextureBossTest, ThreadEndsWhenIdleAndStartsAgainOnDemand)
{
    worker.Start();
    ASSERT_NE(WaitTexture(worker, server.Url("/red.jpg")), nullptr);
    ASSERT_TRUE(WaitIdle(worker)) << "nothing pending: the thread ends";

    EXPECT_EQ(worker.RequestTexture(server.Url("/blue.jpg")), nullptr);
    OGL_TextureFoto* texture = WaitTexture(worker, server.Url("/blue.jpg"));
    ASSERT_TRUE(HasPixels(texture));
    EXPECT_EQ(texture->GetImage()->GetWidth(), 40);
    EXPECT_EQ(ReadFile(dir.File("temp.jpg")), blue) << "the scratch file holds the last download";
}

TEST_F(UTL_FotoTextureBossTest, LocalPathsAreDecodedWithoutADownload)
{
    const std::string path = dir.Write("question.tga", MakeTga(4, 3, 200, 100, 50));
    worker.Start();
    OGL_TextureFoto* texture = WaitTexture(worker, path);
    ASSERT_TRUE(HasPixels(texture));
    EXPECT_EQ(texture->GetImage()->GetWidth(), 4);
    EXPECT_EQ(worker.GetStatistics().downloads, 0);
    EXPECT_TRUE(server.RequestLog().empty());
}

TEST_F(UTL_FotoTextureBossTest, PicturesLargerThanAnyLabelShowsAreKeptAtTheLargestSize)
{
    const std::string wide = dir.Write("wide.tga", MakeTga(600, 300, 10, 20, 30));
    const std::string tall = dir.Write("tall.tga", MakeTga(100, 257, 10, 20, 30));
    const std::string fits = dir.Write("fits.tga", MakeTga(256, 100, 10, 20, 30));
    worker.Start();
    const struct
    {
        const std::string& path;
        int width, height;
    } cases[] = {{wide, 256, 128}, {tall, 100, 256}, {fits, 256, 100}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.path);
        OGL_TextureFoto* texture = WaitTexture(worker, c.path);
        ASSERT_TRUE(HasPixels(texture));
        EXPECT_EQ(texture->GetImage()->GetWidth(), c.width);
        EXPECT_EQ(texture->GetImage()->GetHeight(), c.height);
        EXPECT_EQ(texture->GetImage()->GetPixels()[0], 10) << "the colour survives";
    }
    // The budget counts what is kept, not what was decoded.
    EXPECT_EQ(worker.GetStatistics().decodedBytes, (256 * 128 + 100 * 256 + 256 * 100) * 3);
}

TEST_F(UTL_FotoTextureBossTest, FailedPicturesAreLoadedWithoutPixelsAndNotRetried)
{
    server.Serve("/empty.jpg", "");
    server.Serve("/text.jpg", "this is not a picture");
    server.Serve("/cut.jpg", red.substr(0, red.size() / 3));
    const std::string closedPort = "http://127.0.0.1:1/red.jpg";
    const std::string rows[] = {
        server.Url("/missing"),     // an HTML error page with status 404
        server.Url("/empty.jpg"),   // nothing at all
        server.Url("/text.jpg"),    // not a JPEG
        server.Url("/cut.jpg"),     // a JPEG cut short
        server.Url("/unknown.jpg"), // 404 without a body
        closedPort,                 // no server listening
        "hTTp://127.0.0.1/red.jpg", // mixed case is no web address: a missing local file
        dir.File("absent.tga"),     // a missing local file
    };
    worker.Start();
    for (const std::string& address : rows)
    {
        SCOPED_TRACE(address);
        OGL_TextureFoto* texture = WaitTexture(worker, address);
        ASSERT_NE(texture, nullptr) << "a failure still marks the entry loaded";
        EXPECT_FALSE(HasPixels(texture));
        EXPECT_EQ(worker.RequestTexture(address), texture);
    }
    const auto log = server.RequestLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "/empty.jpg"), 1) << "never tried again";
}

TEST_F(UTL_FotoTextureBossTest, AnUnwritableScratchFolderFallsBackToTheTemporaryFolder)
{
    // A viewer started where ./data cannot be written still shows its pictures.
    worker.SetScratchPath(dir.File("no-such-folder/temp.jpg"));
    worker.Start();
    OGL_TextureFoto* texture = WaitTexture(worker, server.Url("/red.jpg"));
    ASSERT_TRUE(HasPixels(texture));
    EXPECT_EQ(texture->GetImage()->GetWidth(), 30);
    EXPECT_TRUE(HasPixels(WaitTexture(worker, server.Url("/blue.jpg"))));
    EXPECT_FALSE(std::filesystem::exists(dir.File("no-such-folder")));
}

TEST_F(UTL_FotoTextureBossTest, PicturesPastTheDecodedBudgetStayWithoutPixels)
{
    // Red is 30 × 20 (1800 bytes), blue 40 × 10 (1200 bytes). Room for two reds and 1000 bytes.
    const std::string first = dir.Write("a.jpg", red);
    const std::string second = dir.Write("b.jpg", red);
    const std::string third = dir.Write("c.jpg", red);
    worker.SetDecodedBudget(2 * 1800 + 1000);
    worker.Start();
    EXPECT_TRUE(HasPixels(WaitTexture(worker, first)));
    EXPECT_TRUE(HasPixels(WaitTexture(worker, second)));
    EXPECT_FALSE(HasPixels(WaitTexture(worker, server.Url("/blue.jpg")))) << "1200 > 1000 left";
    EXPECT_FALSE(HasPixels(WaitTexture(worker, third)));
    const auto& statistics = worker.GetStatistics();
    EXPECT_EQ(statistics.decodedBytes, 2 * 1800) << "dropped pictures give their bytes back";
    EXPECT_EQ(statistics.overBudget, 2);
    EXPECT_EQ(statistics.processed, 4);

    // A budget spent to the byte fetches nothing more.
    UTL_FotoTextureBoss full;
    full.SetScratchPath(dir.File("full.jpg"));
    full.SetDecodedBudget(1800);
    full.Start();
    EXPECT_TRUE(HasPixels(WaitTexture(full, first)));
    EXPECT_FALSE(HasPixels(WaitTexture(full, server.Url("/red.jpg"))));
    EXPECT_EQ(full.GetStatistics().downloads, 0);
    const auto log = server.RequestLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "/red.jpg"), 0);
}

TEST(UTL_FotoTextureBossStopTest, DestructionAbortsADownloadInFlight)
{
    // The server holds the request open for up to 30 s; destruction must not wait for it.
    PictureServer server;
    auto worker = std::make_unique<UTL_FotoTextureBoss>();
    worker->Start();
    EXPECT_EQ(worker->RequestTexture(server.Url("/stall")), nullptr);
    const auto deadline = Clock::now() + Patience;
    while (server.StalledRequests() == 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(server.StalledRequests(), 1);

    const auto start = Clock::now();
    worker.reset();
    const auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_LT(seconds, 10.0) << "the transfer in flight is aborted, not waited for";
}

TEST(UTL_FotoTextureBossStopTest, DestructionWithManyPendingPicturesIsClean)
{
    // Entries are freed only after the thread has ended; under the sanitizers this shows no
    // use after free and no race however far the worker got.
    PictureServer server;
    server.Serve("/p.jpg", MakeJpeg(8, 8, "green"));
    for (int round = 0; round < 5; ++round)
    {
        UTL_FotoTextureBoss worker;
        TempDir dir;
        worker.SetScratchPath(dir.File("temp.jpg"));
        worker.Start();
        for (int i = 0; i < 50; ++i)
            worker.RequestTexture(server.Url("/p.jpg?n=" + std::to_string(i)));
        std::this_thread::sleep_for(std::chrono::milliseconds(round * 3));
    }
}
