#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The request threads of the HTTP server: one connection per job, a thread per job while there
// are fewer than `maxThreads`, the rest waiting in order. Threads are started as connections
// arrive (a quiet server keeps few) and stay until shutdown.
//
// Threading: Enqueue and Waiting may be called from any thread; Shutdown once, from the thread
// that enqueues, after the last Enqueue.
class SRV_ThreadPool : public httplib::TaskQueue
{
public:
    explicit SRV_ThreadPool(size_t maxThreads);
    ~SRV_ThreadPool() override;

    SRV_ThreadPool(const SRV_ThreadPool&) = delete;
    SRV_ThreadPool& operator=(const SRV_ThreadPool&) = delete;

    void enqueue(std::function<void()> job) override;
    // Runs the jobs still waiting, then joins every thread.
    void shutdown() override;

    // Jobs that wait because every thread is busy and no more may start: connections that idle
    // ones should make room for.
    size_t Waiting() const;
    size_t Threads() const;

private:
    void Work();

    const size_t maxThreads;
    mutable std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::function<void()>> jobs;
    std::vector<std::thread> threads;
    size_t idle = 0;
    bool stopping = false;
};
