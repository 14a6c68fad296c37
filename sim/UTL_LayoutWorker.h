#pragma once

#include "graph/UTL_Communities.h"
#include "graph/UTL_SocialGraph.h"
#include "graph/UTL_SphereLayout.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Arranges a circle by its friendships (UTL_SphereLayout) on a thread of its own, so that a large
// circle never holds up a frame; the communities are found there too when none are given. The
// worker reads its own copy of the circle, so the one shown may be drawn, turned and picked from
// meanwhile.
//
// Threading: Start, Cancel, Take, Wait and the destructor belong to one thread (the window's GL
// thread, or a tool's main thread), which hands the result over between frames. The worker
// thread writes the progress (atomic) and, once, the result under the mutex before it raises
// `done`; nothing else is shared. A run cancelled is left to end on its own and joined by the next
// Start or the destructor.
class UTL_LayoutWorker
{
public:
    struct Result
    {
        std::vector<UTL_SpherePlace> places; // one per node index of the graph given
        UTL_Communities communities;
    };

    UTL_LayoutWorker() = default;
    ~UTL_LayoutWorker();
    UTL_LayoutWorker(const UTL_LayoutWorker&) = delete;
    UTL_LayoutWorker& operator=(const UTL_LayoutWorker&) = delete;

    // Starts arranging `graph` with `communities` (copied; null: found on the worker). A run
    // still going is cancelled first.
    void Start(UTL_SocialGraph graph, const UTL_Communities* communities,
               uint64_t seed = UTL_SphereLayout::DefaultSeed);
    // Asks the run to stop and forgets it: nothing of it is handed over. Returns at once.
    void Cancel();
    // Hands the result over once the run has ended: true with `result` filled, false while it
    // runs or when nothing runs.
    bool Take(Result& result);
    // Waits for the run to end and hands its result over; false when nothing runs.
    bool Wait(Result& result);

    // A run was started and neither taken nor cancelled.
    bool IsRunning() const { return running; }
    // The share of the run done, 0…1.
    double GetProgress() const { return progress.load(std::memory_order_relaxed); }
    // Seconds since the run started.
    double GetSeconds() const;

private:
    void Run(const UTL_SocialGraph& graph, std::optional<UTL_Communities> communities,
             uint64_t seed);
    void Join();

    std::thread thread;
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    std::atomic<double> progress{0.0};
    std::mutex mutex;
    std::optional<Result> result; // under `mutex`
    bool running = false;
    std::chrono::steady_clock::time_point started;
};
