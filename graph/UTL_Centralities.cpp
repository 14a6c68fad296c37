#include "graph/UTL_Centralities.h"

#include "graph/UTL_IgraphScope.h"
#include "graph/UTL_SocialGraph.h"

#include <igraph.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>

namespace
{
// Sources per call of igraph: between two calls the cancel flag is read and progress told.
// A chunk of the 5,000-friend circle takes some 100 ms.
constexpr size_t ChunkSources = 64;
constexpr double Damping = 0.85;

// The friends' graph and the vectors igraph fills, released however the computation ends.
struct Work
{
    igraph_t graph;
    igraph_vector_t chunkResult, pageRank;
    igraph_vector_int_t edges, sources;
    bool made = false;
    Work()
    {
        igraph_vector_init(&chunkResult, 0);
        igraph_vector_init(&pageRank, 0);
        igraph_vector_int_init(&edges, 0);
        igraph_vector_int_init(&sources, 0);
    }
    ~Work()
    {
        if (made)
            igraph_destroy(&graph);
        igraph_vector_int_destroy(&sources);
        igraph_vector_int_destroy(&edges);
        igraph_vector_destroy(&pageRank);
        igraph_vector_destroy(&chunkResult);
    }
    Work(const Work&) = delete;
    Work& operator=(const Work&) = delete;
};

// Work is released inside a scope too: the graph carries attributes of the handler the scope
// installs, which only that handler frees. No scope of this thread may be open when it goes.
struct ReleaseInScope
{
    void operator()(Work* work) const
    {
        UTL_IgraphScope scope;
        delete work;
    }
};

// `count` of the numbers 0 … n - 1, drawn without repeats by a partial Fisher-Yates shuffle
// with the standard's fully specified generator, so every platform draws the same; ascending.
std::vector<igraph_integer_t> Draw(size_t n, size_t count, uint64_t seed)
{
    std::vector<igraph_integer_t> all(n);
    std::iota(all.begin(), all.end(), igraph_integer_t(0));
    std::mt19937_64 random(seed);
    for (size_t i = 0; i < count; ++i)
        std::swap(all[i], all[i + size_t(random() % (n - i))]);
    all.resize(count);
    std::sort(all.begin(), all.end());
    return all;
}
} // namespace

void UTL_Centralities::Clear()
{
    betweenness.clear();
    pageRank.clear();
    friendCount = sourceCount = 0;
    user = UTL_SocialGraph::NoNode;
    ready = false;
}

UTL_Centralities::Outcome UTL_Centralities::Compute(const UTL_SocialGraph& graph,
                                                    std::string& error, const Control& control,
                                                    const Sampling& sampling)
{
    Clear();
    const auto cancelled = [&control]
    { return control.cancel && control.cancel->load(std::memory_order_relaxed); };
    const auto failed = [this, &error](const UTL_IgraphScope& scope)
    {
        error = "cannot compute centralities: " +
                (scope.Error().empty() ? std::string("igraph failed") : scope.Error());
        Clear();
        return Outcome::Failed;
    };

    const std::vector<size_t> friends = graph.Friends();
    const size_t n = friends.size();
    // Friends are numbered 0.. for igraph; the user has no number.
    std::vector<igraph_integer_t> number(graph.NodeCount(), -1);
    for (size_t i = 0; i < n; ++i)
        number[friends[i]] = igraph_integer_t(i);
    const auto& pairs = graph.Friendships();

    // Made inside a scope: outside one, a failing allocation would meet igraph's default
    // handler, which aborts, or another thread's. Every scope below ends before `held` goes.
    std::unique_ptr<Work, ReleaseInScope> held;
    {
        UTL_IgraphScope scope;
        held.reset(new Work());
        Work& work = *held;
        bool ok = igraph_vector_int_resize(&work.edges, igraph_integer_t(2 * pairs.size())) ==
                  IGRAPH_SUCCESS;
        for (size_t e = 0; ok && e < pairs.size(); ++e)
        {
            VECTOR(work.edges)[2 * e] = number[pairs[e].first];
            VECTOR(work.edges)[2 * e + 1] = number[pairs[e].second];
        }
        ok = ok && igraph_create(&work.graph, &work.edges, igraph_integer_t(n),
                                 IGRAPH_UNDIRECTED) == IGRAPH_SUCCESS;
        work.made = ok;
        if (!ok)
            return failed(scope);
    }
    Work& work = *held;

    const size_t sources = std::min(n, std::max<size_t>(sampling.work / (n + pairs.size() + 1), 1));
    std::vector<igraph_integer_t> drawn;
    if (sources < n)
        drawn = Draw(n, sources, sampling.seed);
    const size_t chunks = (sources + ChunkSources - 1) / ChunkSources;
    const double steps = double(chunks + 1); // and PageRank
    std::vector<double> sums(n, 0.0);
    for (size_t chunk = 0; chunk < chunks; ++chunk)
    {
        if (cancelled())
        {
            Clear();
            return Outcome::Cancelled;
        }
        const size_t first = chunk * ChunkSources;
        const size_t count = std::min(ChunkSources, sources - first);
        {
            UTL_IgraphScope scope;
            if (igraph_vector_int_resize(&work.sources, igraph_integer_t(count)) != IGRAPH_SUCCESS)
                return failed(scope);
            for (size_t i = 0; i < count; ++i)
            {
                const size_t source = drawn.empty() ? first + i : size_t(drawn[first + i]);
                VECTOR(work.sources)[i] = igraph_integer_t(source);
            }
            if (igraph_betweenness_subset(&work.graph, &work.chunkResult, igraph_vss_all(), false,
                                          igraph_vss_vector(&work.sources), igraph_vss_all(),
                                          nullptr) != IGRAPH_SUCCESS)
                return failed(scope);
        }
        for (size_t i = 0; i < n; ++i)
            sums[i] += VECTOR(work.chunkResult)[igraph_integer_t(i)];
        // Outside the scope: whatever the caller does here does not hold up igraph's users.
        if (control.progress)
            control.progress(double(chunk + 1) / steps);
    }

    if (cancelled())
    {
        Clear();
        return Outcome::Cancelled;
    }
    if (n > 0)
    {
        // ARPACK: Debian's PRPACK takes over half a second even on a thousand friends. Options
        // of our own, since without them igraph fills in a process-wide set; the seed, in case
        // ARPACK starts from a random vector, so that the result repeats.
        UTL_IgraphScope scope;
        scope.Seed(sampling.seed);
        igraph_arpack_options_t arpack;
        igraph_arpack_options_init(&arpack);
        igraph_real_t eigenvalue = 0;
        if (igraph_pagerank(&work.graph, IGRAPH_PAGERANK_ALGO_ARPACK, &work.pageRank, &eigenvalue,
                            igraph_vss_all(), false, Damping, nullptr, &arpack) != IGRAPH_SUCCESS)
            return failed(scope);
    }

    // Every source stands for n / sources friends; exact when all of them were searched from.
    const double scale = sources > 0 ? double(n) / double(sources) : 1.0;
    betweenness.assign(graph.NodeCount(), 0.0);
    pageRank.assign(graph.NodeCount(), 0.0);
    for (size_t i = 0; i < n; ++i)
    {
        betweenness[friends[i]] = sums[i] * scale;
        pageRank[friends[i]] = VECTOR(work.pageRank)[igraph_integer_t(i)];
    }
    friendCount = n;
    sourceCount = sources;
    user = graph.User();
    ready = true;
    if (control.progress)
        control.progress(1.0);
    return Outcome::Done;
}

UTL_Centralities::Outcome UTL_Centralities::Compute(const UTL_SocialGraph& graph,
                                                    std::string& error, const Control& control)
{
    return Compute(graph, error, control, Sampling());
}

UTL_Centralities::Outcome UTL_Centralities::Compute(const UTL_SocialGraph& graph,
                                                    std::string& error)
{
    return Compute(graph, error, Control(), Sampling());
}

double UTL_Centralities::Betweenness(size_t node) const
{
    return node < betweenness.size() ? betweenness[node] : 0.0;
}

double UTL_Centralities::PageRank(size_t node) const
{
    return node < pageRank.size() ? pageRank[node] : 0.0;
}

std::vector<size_t> UTL_Centralities::TopBetweenness(size_t count) const
{
    std::vector<size_t> order;
    for (size_t i = 0; i < betweenness.size(); ++i)
        if (i != user)
            order.push_back(i);
    count = std::min(count, order.size());
    std::partial_sort(order.begin(), order.begin() + std::ptrdiff_t(count), order.end(),
                      [this](size_t a, size_t b) {
                          return betweenness[a] != betweenness[b] ? betweenness[a] > betweenness[b]
                                                                  : a < b;
                      });
    order.resize(count);
    return order;
}
