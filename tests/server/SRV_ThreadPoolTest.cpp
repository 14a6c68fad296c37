#include "server/SRV_ThreadPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace
{
// Jobs that hold their thread until released.
struct Gate
{
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    int running = 0;

    void Pass()
    {
        std::unique_lock<std::mutex> lock(mutex);
        ++running;
        changed.notify_all();
        changed.wait(lock, [this] { return open; });
    }
    bool AwaitRunning(int count)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(30), [&] { return running >= count; });
    }
    void Open()
    {
        std::lock_guard<std::mutex> lock(mutex);
        open = true;
        changed.notify_all();
    }
};
} // namespace

TEST(SRV_ThreadPoolTest, GrowsToItsLimitThenQueuesAndRunsEveryJob)
{
    Gate gate;
    std::atomic<int> done{0};
    SRV_ThreadPool pool(4);
    EXPECT_EQ(pool.Threads(), 0u) << "no thread before there is work";
    for (int i = 0; i < 10; ++i)
        pool.enqueue(
            [&]
            {
                gate.Pass();
                ++done;
            });
    ASSERT_TRUE(gate.AwaitRunning(4));
    EXPECT_EQ(pool.Threads(), 4u);
    EXPECT_EQ(pool.Waiting(), 6u) << "what the running jobs keep waiting";
    gate.Open();
    pool.shutdown();
    EXPECT_EQ(done, 10) << "shutdown runs what was still queued";
    EXPECT_EQ(pool.Waiting(), 0u);
}
