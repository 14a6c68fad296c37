#pragma once

#include "graph/UTL_SphereVector.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class UTL_Communities;
class UTL_SocialGraph;

// Where the people of a circle stand on the globe, one place per node index of a
// UTL_SocialGraph. Three arrangements:
// - Arrival: the even golden-angle spiral over the user, then the friends in file order, with the
//   globe's own single-precision arithmetic, so its places are bit for bit the scene's.
// - ByCommunity: the same spiral over the user, then the friends community by community.
// - Arrange: by friendships. The communities become patches of the sphere, each as large as its
//   share of the people, laid side by side where many friendships join them; the friends start
//   at random inside their patch. A spring model on the sphere (Fruchterman and Reingold's forces,
//   everyone's push on everyone summed Barnes–Hut style) then pulls friends together, the push
//   steered so that groups pack tighter than the spiral while most of the globe stays covered.
//   Last, everyone is pushed apart to at least MinimumSpacing of the even spacing
//   (UTL_LayoutMeasures::EvenSpacing). The user, a friend of everyone and so held by no spring,
//   stays on the spiral's first place.
//
// Arrange runs on a worker thread: it reads the graph and the communities only (they must not
// change meanwhile), checks the cancel flag often and reports its progress on that thread. It is
// single-threaded and takes its randomness from the seed alone, so the same graph, communities and
// seed give the same places bit for bit.
class UTL_SphereLayout
{
public:
    static constexpr uint64_t DefaultSeed = 17;
    // The smallest angle between two people Arrange leaves, as a share of the even spacing.
    static constexpr double MinimumSpacing = 0.55;

    // The fraction done, 0…1, on the arranging thread.
    using Progress = std::function<void(double fraction)>;

    // A community's patch on the globe, for its name: its centre, the angle (degrees) around the
    // centre that holds most of its members, its size and its best-connected member (node index).
    struct Region
    {
        UTL_SpherePlace centre;
        float radius = 0.0f;
        size_t size = 0;
        size_t bestConnected = 0;
    };

    void SetSeed(uint64_t value) { seed = value; }
    // Set while arranging to stop; Arrange then returns false.
    void SetCancel(const std::atomic<bool>* flag) { cancel = flag; }
    void SetProgress(Progress callback) { progress = std::move(callback); }

    // Places every node of `graph` so that friends stand near each other; `communities` are
    // those of `graph` (UTL_Communities::Detect or FromGraph). Without them they are found here
    // (igraph's Leiden method with its default seed, else the file's). False when cancelled;
    // `places` is then left as it was.
    bool Arrange(const UTL_SocialGraph& graph, const UTL_Communities* communities,
                 std::vector<UTL_SpherePlace>& places) const;

    // `count` places of the even golden-angle spiral, from near the north pole down, in the
    // globe's own single-precision arithmetic (π as 3.1415925): the scene's places exactly.
    static std::vector<UTL_SpherePlace> Spiral(size_t count);
    // The spiral over the user, then the friends in file order.
    static std::vector<UTL_SpherePlace> Arrival(const UTL_SocialGraph& graph);
    // The spiral over the user, then the friends community by community.
    static std::vector<UTL_SpherePlace> ByCommunity(const UTL_SocialGraph& graph,
                                                    const UTL_Communities& communities);

    // Each community's region, in the order of `communities`.
    static std::vector<Region> Regions(const UTL_SocialGraph& graph,
                                       const UTL_Communities& communities,
                                       const std::vector<UTL_SpherePlace>& places);

private:
    bool Cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
    void Report(double fraction) const
    {
        if (progress)
            progress(fraction);
    }

    uint64_t seed = DefaultSeed;
    const std::atomic<bool>* cancel = nullptr;
    Progress progress;
};
