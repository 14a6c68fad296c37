#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class UTL_SocialGraph;

// The communities of a circle of friends: who belongs together, found with igraph's Leiden
// method on the modularity objective over the friends and their friendships (the user, a friend
// of everyone, is left out and belongs to none). The random order Leiden visits nodes in comes
// from a fixed seed, so the same graph gives the same communities. Communities are numbered from
// 0, largest first (equal sizes by their first member in file order); each knows its size and
// its best-connected member, the one with the most friendships inside it.
class UTL_Communities
{
public:
    static constexpr uint64_t DefaultSeed = 17;
    static constexpr int None = -1;

    struct Community
    {
        size_t size = 0;
        size_t bestConnected = 0; // node index
    };

    // Detects the communities of `graph`; false with `error` set when igraph fails.
    bool Detect(const UTL_SocialGraph& graph, std::string& error, uint64_t seed = DefaultSeed);
    // Takes the communities the graph's nodes carry (read from a file) as they stand: the same
    // members, and, for a file that numbers them largest first as ApplyTo does, the same
    // numbers, whatever order the file lists the people in (communities of equal size keep the
    // file's order of their numbers). Friends without one stand alone, after the rest of their
    // size.
    void FromGraph(const UTL_SocialGraph& graph);
    // Writes each node's community into the graph.
    void ApplyTo(UTL_SocialGraph& graph) const;

    int CommunityOf(size_t node) const;
    // The members of `community` in file order; empty for a community there is not.
    std::vector<size_t> Members(int community) const;
    const std::vector<Community>& List() const { return communities; }

    // The friends community by community, largest first, each community's members together and
    // in file order: the order to place them on the globe in.
    std::vector<size_t> NodeOrder() const;

private:
    // Renumbers `labels` (one per node, None for the user) largest community first, equal sizes
    // by their first member in file order or, `byLabel`, by their label, and fills in the sizes
    // and best-connected members.
    void Order(const UTL_SocialGraph& graph, const std::vector<int>& labels, bool byLabel = false);

    std::vector<int> membership; // per node
    std::vector<Community> communities;
};
