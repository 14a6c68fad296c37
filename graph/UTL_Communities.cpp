#include "graph/UTL_Communities.h"

#include "graph/UTL_IgraphScope.h"
#include "graph/UTL_SocialGraph.h"

#include <igraph.h>

#include <algorithm>
#include <map>
#include <numeric>

namespace
{
// Leiden's randomness: the share of moves taken at random in its refinement step.
constexpr double Beta = 0.01;

struct Vectors
{
    igraph_vector_int_t edges, membership;
    igraph_vector_t nodeWeights;
    igraph_t graph;
    bool made = false;
    Vectors()
    {
        igraph_vector_int_init(&edges, 0);
        igraph_vector_int_init(&membership, 0);
        igraph_vector_init(&nodeWeights, 0);
    }
    ~Vectors()
    {
        if (made)
            igraph_destroy(&graph);
        igraph_vector_destroy(&nodeWeights);
        igraph_vector_int_destroy(&membership);
        igraph_vector_int_destroy(&edges);
    }
    Vectors(const Vectors&) = delete;
    Vectors& operator=(const Vectors&) = delete;
};
} // namespace

bool UTL_Communities::Detect(const UTL_SocialGraph& graph, std::string& error, uint64_t seed)
{
    const std::vector<size_t> friends = graph.Friends();
    // Friends are numbered 0.. for igraph; the user has no number.
    std::vector<igraph_integer_t> number(graph.NodeCount(), -1);
    for (size_t i = 0; i < friends.size(); ++i)
        number[friends[i]] = igraph_integer_t(i);

    std::vector<int> labels(graph.NodeCount(), None);
    const auto& pairs = graph.Friendships();
    if (pairs.empty())
    {
        // Nobody is linked: everyone is a community of one.
        for (size_t i = 0; i < friends.size(); ++i)
            labels[friends[i]] = int(i);
        Order(graph, labels);
        return true;
    }

    UTL_IgraphScope scope;
    scope.Seed(seed);
    Vectors v;
    bool ok =
        igraph_vector_int_resize(&v.edges, igraph_integer_t(2 * pairs.size())) == IGRAPH_SUCCESS;
    for (size_t e = 0; ok && e < pairs.size(); ++e)
    {
        VECTOR(v.edges)[2 * e] = number[pairs[e].first];
        VECTOR(v.edges)[2 * e + 1] = number[pairs[e].second];
    }
    ok = ok && igraph_create(&v.graph, &v.edges, igraph_integer_t(friends.size()),
                             IGRAPH_UNDIRECTED) == IGRAPH_SUCCESS;
    v.made = ok;
    // Modularity as Leiden's objective: node weights are the degrees, the resolution 1 / 2m.
    ok = ok && igraph_strength(&v.graph, &v.nodeWeights, igraph_vss_all(), IGRAPH_ALL, IGRAPH_LOOPS,
                               nullptr) == IGRAPH_SUCCESS;
    igraph_integer_t clusters = 0;
    ok = ok && igraph_community_leiden(&v.graph, nullptr, &v.nodeWeights,
                                       1.0 / (2.0 * double(pairs.size())), Beta, false, -1,
                                       &v.membership, &clusters, nullptr) == IGRAPH_SUCCESS;
    if (!ok)
    {
        error = "cannot detect communities: " +
                (scope.Error().empty() ? std::string("igraph failed") : scope.Error());
        return false;
    }
    for (size_t i = 0; i < friends.size(); ++i)
        labels[friends[i]] = int(VECTOR(v.membership)[igraph_integer_t(i)]);
    Order(graph, labels);
    return true;
}

void UTL_Communities::FromGraph(const UTL_SocialGraph& graph)
{
    std::vector<int> labels(graph.NodeCount(), None);
    // Friends without a community get labels past every stored one, one each.
    int next = 0;
    for (const auto& node : graph.Nodes())
        next = std::max(next, node.community + 1);
    for (size_t i = 0; i < graph.NodeCount(); ++i)
        if (i != graph.User())
            labels[i] = graph.Node(i).community >= 0 ? graph.Node(i).community : next++;
    Order(graph, labels, true);
}

void UTL_Communities::Order(const UTL_SocialGraph& graph, const std::vector<int>& labels,
                            bool byLabel)
{
    // Members of each label, in file order; the map keeps the labels in order.
    std::map<int, std::vector<size_t>> members;
    for (size_t i = 0; i < labels.size(); ++i)
        if (labels[i] != None)
            members[labels[i]].push_back(i);
    std::vector<const std::vector<size_t>*> groups;
    for (const auto& [label, list] : members)
        groups.push_back(&list);
    const auto larger = [byLabel](const std::vector<size_t>* a, const std::vector<size_t>* b)
    {
        if (a->size() != b->size())
            return a->size() > b->size();
        return !byLabel && a->front() < b->front();
    };
    std::stable_sort(groups.begin(), groups.end(), larger);

    membership.assign(labels.size(), None);
    communities.assign(groups.size(), Community());
    for (size_t c = 0; c < groups.size(); ++c)
        for (size_t node : *groups[c])
            membership[node] = int(c);

    std::vector<size_t> inside(labels.size(), 0);
    for (const auto& [a, b] : graph.Friendships())
        if (membership[a] != None && membership[a] == membership[b])
        {
            ++inside[a];
            ++inside[b];
        }
    for (size_t c = 0; c < groups.size(); ++c)
    {
        const std::vector<size_t>& list = *groups[c];
        communities[c].size = list.size();
        communities[c].bestConnected = *std::max_element(
            list.begin(), list.end(), [&](size_t a, size_t b) { return inside[a] < inside[b]; });
    }
}

void UTL_Communities::ApplyTo(UTL_SocialGraph& graph) const
{
    for (size_t i = 0; i < graph.NodeCount() && i < membership.size(); ++i)
        graph.Node(i).community = membership[i];
}

int UTL_Communities::CommunityOf(size_t node) const
{
    return node < membership.size() ? membership[node] : None;
}

std::vector<size_t> UTL_Communities::Members(int community) const
{
    std::vector<size_t> members;
    if (community == None)
        return members;
    for (size_t i = 0; i < membership.size(); ++i)
        if (membership[i] == community)
            members.push_back(i);
    return members;
}

std::vector<size_t> UTL_Communities::NodeOrder() const
{
    std::vector<size_t> order;
    order.reserve(membership.size());
    for (size_t i = 0; i < membership.size(); ++i)
        if (membership[i] != None)
            order.push_back(i);
    // Stable: within a community, file order stays.
    std::stable_sort(order.begin(), order.end(),
                     [this](size_t a, size_t b) { return membership[a] < membership[b]; });
    return order;
}
