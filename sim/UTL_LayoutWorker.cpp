#include "sim/UTL_LayoutWorker.h"

#include <string>

UTL_LayoutWorker::~UTL_LayoutWorker()
{
    Cancel();
    Join();
}

void UTL_LayoutWorker::Start(UTL_SocialGraph graph, const UTL_Communities* communities,
                             uint64_t seed)
{
    Cancel();
    Join();
    cancel.store(false);
    done.store(false);
    progress.store(0.0);
    result.reset();
    running = true;
    started = std::chrono::steady_clock::now();
    std::optional<UTL_Communities> given;
    if (communities)
        given = *communities;
    thread = std::thread([this, graph = std::move(graph), given = std::move(given), seed]() mutable
                         { Run(graph, std::move(given), seed); });
}

void UTL_LayoutWorker::Run(const UTL_SocialGraph& graph, std::optional<UTL_Communities> communities,
                           uint64_t seed)
{
    if (!communities)
    {
        communities.emplace();
        std::string error;
        // Without igraph's communities, those the file gave (or none) still make patches.
        if (!communities->Detect(graph, error))
            communities->FromGraph(graph);
    }
    UTL_SphereLayout layout;
    layout.SetSeed(seed);
    layout.SetCancel(&cancel);
    layout.SetProgress([this](double fraction)
                       { progress.store(fraction, std::memory_order_relaxed); });
    std::vector<UTL_SpherePlace> places;
    if (!cancel.load() && layout.Arrange(graph, &*communities, places))
    {
        const std::lock_guard<std::mutex> hold(mutex);
        result = Result{std::move(places), std::move(*communities)};
    }
    done.store(true, std::memory_order_release);
}

void UTL_LayoutWorker::Cancel()
{
    cancel.store(true);
    running = false;
}

bool UTL_LayoutWorker::Take(Result& taken)
{
    if (!running || !done.load(std::memory_order_acquire))
        return false;
    Join();
    running = false;
    const std::lock_guard<std::mutex> hold(mutex);
    if (!result)
        return false;
    taken = std::move(*result);
    result.reset();
    return true;
}

bool UTL_LayoutWorker::Wait(Result& taken)
{
    if (!running)
        return false;
    Join();
    return Take(taken);
}

double UTL_LayoutWorker::GetSeconds() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

void UTL_LayoutWorker::Join()
{
    if (thread.joinable())
        thread.join();
}
