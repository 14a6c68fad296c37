#include "graph/UTL_CirclePaths.h"

#include "graph/UTL_SocialGraph.h"

#include <algorithm>

UTL_CirclePaths::UTL_CirclePaths(const UTL_SocialGraph& graph)
    : nodeCount(graph.NodeCount()), user(graph.User()), offsets(graph.NodeCount() + 1, 0)
{
    const auto& pairs = graph.Friendships();
    for (const auto& [a, b] : pairs)
    {
        ++offsets[a + 1];
        ++offsets[b + 1];
    }
    for (size_t i = 0; i < nodeCount; ++i)
        offsets[i + 1] += offsets[i];
    neighbours.resize(2 * pairs.size());
    std::vector<size_t> fill(offsets.begin(), offsets.end() - 1);
    for (const auto& [a, b] : pairs)
    {
        neighbours[fill[a]++] = b;
        neighbours[fill[b]++] = a;
    }
    for (size_t i = 0; i < nodeCount; ++i)
        std::sort(neighbours.begin() + std::ptrdiff_t(offsets[i]),
                  neighbours.begin() + std::ptrdiff_t(offsets[i + 1]));
}

std::vector<size_t> UTL_CirclePaths::FriendsOf(size_t node) const
{
    if (!Valid(node))
        return {};
    if (IsUser(node))
    {
        std::vector<size_t> everyone;
        everyone.reserve(nodeCount);
        for (size_t i = 0; i < nodeCount; ++i)
            if (!IsUser(i))
                everyone.push_back(i);
        return everyone;
    }
    return std::vector<size_t>(neighbours.begin() + std::ptrdiff_t(offsets[node]),
                               neighbours.begin() + std::ptrdiff_t(offsets[node + 1]));
}

std::vector<size_t> UTL_CirclePaths::InCommon(size_t a, size_t b) const
{
    const std::vector<size_t> ofA = FriendsOf(a), ofB = FriendsOf(b);
    std::vector<size_t> both;
    std::set_intersection(ofA.begin(), ofA.end(), ofB.begin(), ofB.end(), std::back_inserter(both));
    return both;
}

std::vector<size_t> UTL_CirclePaths::Neighbourhood(size_t node, int depth) const
{
    if (!Valid(node))
        return {};
    if (IsUser(node) && depth > 0)
    {
        std::vector<size_t> everyone(nodeCount);
        for (size_t i = 0; i < nodeCount; ++i)
            everyone[i] = i;
        return everyone;
    }
    std::vector<char> reached(nodeCount, 0);
    std::vector<size_t> ring{node}, next;
    reached[node] = 1;
    for (int step = 0; step < depth && !ring.empty(); ++step)
    {
        next.clear();
        for (size_t at : ring)
            for (size_t i = offsets[at]; i < offsets[at + 1]; ++i)
                if (!reached[neighbours[i]])
                {
                    reached[neighbours[i]] = 1;
                    next.push_back(neighbours[i]);
                }
        ring.swap(next);
    }
    std::vector<size_t> near;
    for (size_t i = 0; i < nodeCount; ++i)
        if (reached[i])
            near.push_back(i);
    return near;
}

std::vector<size_t> UTL_CirclePaths::ShortestPath(size_t from, size_t to) const
{
    if (!Valid(from) || !Valid(to) || IsUser(from) || IsUser(to))
        return {};
    if (from == to)
        return {from};
    // Breadth first from `from`; the user has no stored friendships, so no chain passes it.
    constexpr size_t Unreached = size_t(-1);
    std::vector<size_t> before(nodeCount, Unreached);
    std::vector<size_t> queue;
    queue.reserve(nodeCount);
    queue.push_back(from);
    before[from] = from;
    for (size_t head = 0; head < queue.size() && before[to] == Unreached; ++head)
    {
        const size_t at = queue[head];
        for (size_t i = offsets[at]; i < offsets[at + 1]; ++i)
            if (before[neighbours[i]] == Unreached)
            {
                before[neighbours[i]] = at;
                queue.push_back(neighbours[i]);
            }
    }
    if (before[to] == Unreached)
        return {};
    std::vector<size_t> path{to};
    while (path.back() != from)
        path.push_back(before[path.back()]);
    std::reverse(path.begin(), path.end());
    return path;
}
