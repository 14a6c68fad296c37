#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class UTL_SocialGraph;

// Who matters in a circle of friends, by igraph over the friends and their friendships (the
// user, a friend of everyone, is left out as the communities leave them out, and scores 0):
// betweenness, the number of shortest chains between two others that pass through a person
// (who bridges the groups), and PageRank with damping 0.85 (who is best connected to the
// best-connected; the friends' values sum to 1).
//
// Betweenness costs a breadth-first search from every friend. Where that would cost more than
// Sampling::work, it searches from as many friends as that allows, drawn with a fixed seed, and
// scales the sums up by friends / sources: an unbiased estimate, close where a few people
// bridge the groups (as in real circles), rougher where many bridge them about equally. The
// searches run in chunks of sources.
//
// Threading: Compute runs on any thread, for example a worker kept off the GL thread; between
// chunks it reads the cancel flag and reports progress, both on the computing thread. igraph's
// process-wide state (its error handler, ARPACK's, the random number generator) is touched only
// while UTL_IgraphScope holds its lock, taken per chunk so that other users of igraph wait a
// chunk at most. The sample is drawn with a generator of its own; igraph's, which ARPACK may use
// for PageRank, is seeded under the lock. Two objects may compute at once on two threads; read
// one's results only after its Compute returned, on that thread or after handing it over.
class UTL_Centralities
{
public:
    enum class Outcome
    {
        Done,
        Cancelled, // the flag was set; no results
        Failed,    // igraph failed; no results, the error says why
    };

    // How much betweenness may cost: a search from one source visits every friend and every
    // friendship, so `work` allows work / (friends + friendships) sources. The default allows
    // about a thousand sources on a circle of 5,000 friends and 100,000 friendships (some 2 s),
    // and all of them on circles of up to about 3,000 friends with 30,000 friendships.
    struct Sampling
    {
        size_t work = 100000000;
        uint64_t seed = 17; // which friends the sources are
    };

    struct Control
    {
        // Stops the computation at the next chunk once it reads true.
        const std::atomic<bool>* cancel = nullptr;
        // Called after each chunk with the share done, from above 0 up to 1.
        std::function<void(double done)> progress;
    };

    Outcome Compute(const UTL_SocialGraph& graph, std::string& error, const Control& control,
                    const Sampling& sampling);
    // With the default sampling, and neither cancel flag nor progress for the second.
    Outcome Compute(const UTL_SocialGraph& graph, std::string& error, const Control& control);
    Outcome Compute(const UTL_SocialGraph& graph, std::string& error);

    // Whether results of a finished Compute are there.
    bool Ready() const { return ready; }
    // Per node of the graph computed from; 0 for the user and for nodes past it.
    double Betweenness(size_t node) const;
    double PageRank(size_t node) const;
    // Whether betweenness was estimated from a sample, and from how many sources.
    bool Sampled() const { return sourceCount < friendCount; }
    size_t SourceCount() const { return sourceCount; }

    // The `count` friends of highest betweenness, highest first, equals in file order.
    std::vector<size_t> TopBetweenness(size_t count) const;

private:
    void Clear();

    std::vector<double> betweenness, pageRank; // per node
    size_t friendCount = 0, sourceCount = 0;
    size_t user = size_t(-1);
    bool ready = false;
};
