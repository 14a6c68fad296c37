#pragma once

#include <cstddef>
#include <vector>

class UTL_SocialGraph;

// Who knows whom in a circle of friends, answered from the stored friendships: a person's
// friends in the circle (the friends they share with the user), the friends two people have in
// common, the people within one or two friendships of someone, and the shortest chain of
// friendships between two friends. The user, a friend of everyone, is never counted among
// anyone's friends and never stands in a chain: a chain through the user says nothing.
//
// Built once per circle from a graph (it keeps no pointer to it); rebuild it when friendships
// arrive. Node indices are the graph's; every list is in file order (ascending index). The
// queries are const and keep no state, so any number of threads may ask at once.
class UTL_CirclePaths
{
public:
    UTL_CirclePaths() = default;
    explicit UTL_CirclePaths(const UTL_SocialGraph& graph);

    size_t NodeCount() const { return nodeCount; }

    // The friends of `node` in the circle, who are also the user's friends; the user's friends
    // are everyone else. Empty for a node that is not in the graph.
    std::vector<size_t> FriendsOf(size_t node) const;
    // The friends `a` and `b` both have, the user left out (a friend of the user and `b` has
    // FriendsOf(b) in common with the user).
    std::vector<size_t> InCommon(size_t a, size_t b) const;
    // `node` and everyone within `depth` friendships of it (1: its friends, 2: and their
    // friends), over the stored friendships only. For the user, everybody.
    std::vector<size_t> Neighbourhood(size_t node, int depth) const;

    // The shortest chain of friendships from `from` to `to`, both ends included, that does not
    // pass through the user; empty when there is none (the two are connected only through the
    // user) or when either end is the user or not in the graph. Among chains of equal length
    // the one found first wins: everyone is reached from the person met earliest, and people
    // are met in file order, so the same circle gives the same chain.
    std::vector<size_t> ShortestPath(size_t from, size_t to) const;

private:
    bool Valid(size_t node) const { return node < nodeCount; }
    bool IsUser(size_t node) const { return node == user; }

    size_t nodeCount = 0;
    size_t user = size_t(-1);
    // Friends of node i, ascending: neighbours[offsets[i] .. offsets[i + 1]).
    std::vector<size_t> offsets;
    std::vector<size_t> neighbours;
};
