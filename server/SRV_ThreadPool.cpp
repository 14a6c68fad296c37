#include "server/SRV_ThreadPool.h"

#include <algorithm>

SRV_ThreadPool::SRV_ThreadPool(size_t maxThreads) : maxThreads(std::max<size_t>(1, maxThreads)) {}

SRV_ThreadPool::~SRV_ThreadPool()
{
    shutdown();
}

void SRV_ThreadPool::enqueue(std::function<void()> job)
{
    std::lock_guard<std::mutex> lock(mutex);
    jobs.push_back(std::move(job));
    // A thread that is idle takes the job; otherwise one more is started while there is room.
    if (idle >= jobs.size())
        wake.notify_one();
    else if (threads.size() < maxThreads)
        threads.emplace_back([this] { Work(); });
}

void SRV_ThreadPool::shutdown()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    // No thread is added once stopping is set, so the list is stable here.
    for (std::thread& thread : threads)
        if (thread.joinable())
            thread.join();
}

size_t SRV_ThreadPool::Waiting() const
{
    std::lock_guard<std::mutex> lock(mutex);
    // Below the limit a job beyond the idle threads has a thread starting for it.
    if (threads.size() < maxThreads || jobs.size() <= idle)
        return 0;
    return jobs.size() - idle;
}

size_t SRV_ThreadPool::Threads() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return threads.size();
}

void SRV_ThreadPool::Work()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;)
    {
        ++idle;
        wake.wait(lock, [this] { return stopping || !jobs.empty(); });
        --idle;
        if (jobs.empty())
            return; // stopping, and nothing left to run
        std::function<void()> job = std::move(jobs.front());
        jobs.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}
