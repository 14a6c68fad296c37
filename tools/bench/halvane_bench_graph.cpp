// halvane-bench-graph: figures of the graph library. For each FILE it reads it and finds its
// communities, printing the time of each, the process's peak memory, and the communities' sizes;
// --generate N first writes a circle of N friends in communities as GraphML (to PATH) and reads
// that. --centrality also times betweenness, PageRank and chains of friendships between
// pseudo-random pairs, and names the three highest betweenness; --sample-check K then compares
// betweenness from K sources with the exact one (the top 50 of each). --layouts compares the
// arrangements on the globe instead, one line per arrangement:
//   layout: name=NAME length=L cohesion=C spacing=S ms=T
// NAME is arrival, communities or sphere (by friendships); L the total angle of the friendships
// relative to arrival order; C the mean angle between two members of one circle (each circle
// counted once; the file's circles, else its communities, else the detected ones) over the mean
// angle between two friends; S the smallest angle between two people over the even spacing (the
// median angle from a place of the spiral of as many people to its nearest); T the wall time the
// arrangement takes on one thread, followed by its processor time and the peak memory. A
// benchmark, not a test: it prints figures and fails only when a read or a computation fails.
//   halvane-bench-graph ../shared/data/ego-facebook/107.edges
//   halvane-bench-graph --generate 5000 /tmp/circle.graphml
//   halvane-bench-graph --centrality --sample-check 1000 ../shared/data/ego-facebook/107.edges
//   halvane-bench-graph --layouts ../shared/data/ego-facebook/107.edges /tmp/circle.graphml
#include "graph/UTL_Centralities.h"
#include "graph/UTL_CirclePaths.h"
#include "graph/UTL_Communities.h"
#include "graph/UTL_GraphReader.h"
#include "graph/UTL_GraphWriter.h"
#include "graph/UTL_LayoutMeasures.h"
#include "graph/UTL_SocialGraph.h"
#include "graph/UTL_SphereLayout.h"

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace
{
double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Processor time of this thread: the layout's own time on a machine that is busy with others.
double ThreadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

long PeakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A circle of `friends` in communities of uneven size, about 36 friendships inside for each
// person and two between, with names and picture addresses: a large circle as the network has.
UTL_SocialGraph Generate(int friends)
{
    std::mt19937_64 random(20080401);
    UTL_SocialGraph graph;
    graph.SetUser(UTL_SocialGraph::NoNode);
    const size_t user = graph.AddNode("user");
    graph.Node(user).name = "The User";
    std::vector<std::vector<size_t>> communities(40);
    std::lognormal_distribution<double> spread(0.0, 0.6);
    std::vector<double> weights;
    for (size_t c = 0; c < communities.size(); ++c)
        weights.push_back(spread(random));
    std::discrete_distribution<size_t> pick(weights.begin(), weights.end());
    for (int i = 0; i < friends; ++i)
    {
        const size_t node = graph.AddNode("p" + std::to_string(i));
        graph.Node(node).name = "Person " + std::to_string(i);
        graph.Node(node).picture = "http://127.0.0.1:8765/photos/" + std::to_string(i) + ".jpg";
        communities[pick(random)].push_back(node);
    }
    std::uniform_real_distribution<double> unit(0, 1);
    for (const auto& members : communities)
    {
        const double p = members.size() < 2 ? 0 : std::min(0.5, 36.0 / double(members.size() - 1));
        for (size_t a = 0; a < members.size(); ++a)
            for (size_t b = a + 1; b < members.size(); ++b)
                if (unit(random) < p)
                    graph.AddFriendship(members[a], members[b]);
    }
    std::uniform_int_distribution<size_t> anyone(1, size_t(friends));
    for (int i = 0; i < 2 * friends; ++i)
        graph.AddFriendship(anyone(random), anyone(random));
    graph.SetUser(user);
    return graph;
}

struct Options
{
    bool centrality = false;
    size_t sampleCheck = 0; // sources of the sample compared with exact betweenness; 0: none
    bool layouts = false;   // the arrangements on the globe instead
};

// Betweenness and PageRank as the viewer computes them, each timed (betweenness ends with the
// last progress report before PageRank's), and the mean time of a chain of friendships.
bool MeasureCentrality(const UTL_SocialGraph& graph)
{
    UTL_Centralities centralities;
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    double betweennessEnd = 0;
    UTL_Centralities::Control control;
    control.progress = [&](double done)
    {
        if (done < 1)
            betweennessEnd = Seconds(start);
    };
    if (centralities.Compute(graph, error, control) != UTL_Centralities::Outcome::Done)
    {
        std::fprintf(stderr, "halvane-bench-graph: %s\n", error.c_str());
        return false;
    }
    const double total = Seconds(start);
    const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;

    const auto indexStart = std::chrono::steady_clock::now();
    const UTL_CirclePaths paths(graph);
    const double index = Seconds(indexStart);
    const std::vector<size_t> friends = graph.Friends();
    constexpr int Pairs = 2000;
    std::mt19937_64 random(20080401);
    std::uniform_int_distribution<size_t> anyone(0, friends.empty() ? 0 : friends.size() - 1);
    size_t joined = 0, steps = 0;
    const auto pathStart = std::chrono::steady_clock::now();
    for (int i = 0; i < Pairs && !friends.empty(); ++i)
    {
        const size_t from = friends[anyone(random)];
        const size_t to = friends[anyone(random)];
        const std::vector<size_t> path = paths.ShortestPath(from, to);
        joined += path.empty() ? 0 : 1;
        steps += path.empty() ? 0 : path.size() - 1;
    }
    const double pathMs = Seconds(pathStart) * 1000 / Pairs;

    std::printf("centrality: betweenness_ms=%.1f pagerank_ms=%.1f path_ms=%.3f top=",
                betweennessEnd * 1000, (total - betweennessEnd) * 1000, pathMs);
    const std::vector<size_t> top = centralities.TopBetweenness(3);
    for (size_t i = 0; i < top.size(); ++i)
        std::printf("%s%s", i ? "," : "", graph.Node(top[i]).id.c_str());
    std::printf("\n  betweenness from %zu of %zu friends; both centralities %.1f ms of CPU; "
                "paths indexed in %.1f ms, %zu of %d pairs joined, %.2f friendships apart on "
                "average\n",
                centralities.SourceCount(), friends.size(), cpu * 1000, index * 1000, joined, Pairs,
                joined ? double(steps) / double(joined) : 0.0);
    return true;
}

// How far the top 50 by betweenness from `sources` sources lies from the exact top 50: how many
// people both hold, and the largest shift in rank of an exact top-50 person.
bool CheckSample(const UTL_SocialGraph& graph, size_t sources)
{
    constexpr size_t Top = 50;
    UTL_Centralities exact, sampled;
    std::string error;
    const size_t work = graph.Friends().size() + graph.Friendships().size() + 1;
    UTL_Centralities::Sampling all;
    all.work = std::numeric_limits<size_t>::max();
    UTL_Centralities::Sampling sample;
    sample.work = sources * work;
    const auto exactStart = std::chrono::steady_clock::now();
    if (exact.Compute(graph, error, {}, all) != UTL_Centralities::Outcome::Done)
    {
        std::fprintf(stderr, "halvane-bench-graph: %s\n", error.c_str());
        return false;
    }
    const double exactSeconds = Seconds(exactStart);
    const auto sampleStart = std::chrono::steady_clock::now();
    if (sampled.Compute(graph, error, {}, sample) != UTL_Centralities::Outcome::Done)
    {
        std::fprintf(stderr, "halvane-bench-graph: %s\n", error.c_str());
        return false;
    }
    const double sampleSeconds = Seconds(sampleStart);

    const size_t friends = graph.Friends().size();
    const std::vector<size_t> exactRanking = exact.TopBetweenness(friends);
    const std::vector<size_t> sampledRanking = sampled.TopBetweenness(friends);
    std::vector<size_t> sampledRank(graph.NodeCount(), 0);
    for (size_t r = 0; r < sampledRanking.size(); ++r)
        sampledRank[sampledRanking[r]] = r;
    const size_t top = std::min(Top, exactRanking.size());
    size_t both = 0, largestShift = 0;
    for (size_t r = 0; r < top; ++r)
    {
        const size_t rank = sampledRank[exactRanking[r]];
        both += rank < top ? 1 : 0;
        largestShift = std::max(largestShift, rank > r ? rank - r : r - rank);
    }
    const auto ids = [&graph](const std::vector<size_t>& ranking)
    {
        std::string text;
        for (size_t r = 0; r < 3 && r < ranking.size(); ++r)
            text += (r ? "," : "") + graph.Node(ranking[r]).id;
        return text;
    };
    std::printf("  sample check: %zu of %zu sources in %.1f ms, exact in %.1f ms; top %zu: "
                "%zu in both, largest rank shift %zu; top 3 exact %s, sampled %s\n",
                sampled.SourceCount(), friends, sampleSeconds * 1000, exactSeconds * 1000, top,
                both, largestShift, ids(exactRanking).c_str(), ids(sampledRanking).c_str());
    return true;
}

bool Measure(const std::string& path, const Options& options)
{
    UTL_GraphReader reader;
    UTL_SocialGraph graph;
    std::string error;
    const long before = PeakKiB();
    const auto start = std::chrono::steady_clock::now();
    if (!reader.Read(path, graph, error))
    {
        std::fprintf(stderr, "halvane-bench-graph: %s\n", error.c_str());
        return false;
    }
    const double read = Seconds(start);
    std::printf("%s: %zu nodes, %zu friendships among the friends, user %s\n", path.c_str(),
                graph.NodeCount(), graph.Friendships().size(),
                graph.HasUser() ? graph.Node(graph.User()).id.c_str() : "none");
    std::printf("  read: %.1f ms, peak memory %ld KiB (%ld KiB before)\n", read * 1000, PeakKiB(),
                before);

    UTL_Communities communities;
    const auto detect = std::chrono::steady_clock::now();
    if (!communities.Detect(graph, error))
    {
        std::fprintf(stderr, "halvane-bench-graph: %s\n", error.c_str());
        return false;
    }
    std::printf("  communities (seed %llu): %zu in %.1f ms; sizes",
                static_cast<unsigned long long>(UTL_Communities::DefaultSeed),
                communities.List().size(), Seconds(detect) * 1000);
    for (const auto& community : communities.List())
        std::printf(" %zu", community.size);
    std::printf("\n  best connected:");
    for (size_t c = 0; c < communities.List().size() && c < 10; ++c)
        std::printf(" %s", graph.Node(communities.List()[c].bestConnected).id.c_str());
    std::printf("\n");
    if (options.centrality && !MeasureCentrality(graph))
        return false;
    return options.sampleCheck == 0 || CheckSample(graph, options.sampleCheck);
}

// The groups that cohesion is measured on: the file's circles, else its communities, else the
// detected ones.
std::vector<std::vector<size_t>> Groups(const UTL_SocialGraph& graph,
                                        const UTL_Communities& communities)
{
    std::vector<std::vector<size_t>> groups;
    for (const UTL_GraphCircle& circle : graph.Circles())
        groups.push_back(circle.members);
    if (!groups.empty())
        return groups;
    groups.resize(communities.List().size());
    for (size_t node = 0; node < graph.NodeCount(); ++node)
        if (communities.CommunityOf(node) != UTL_Communities::None)
            groups[size_t(communities.CommunityOf(node))].push_back(node);
    return groups;
}

bool MeasureLayouts(const std::string& path)
{
    UTL_GraphReader reader;
    UTL_SocialGraph graph;
    std::string error;
    if (!reader.Read(path, graph, error))
    {
        std::fprintf(stderr, "halvane-bench-graph: %s\n", error.c_str());
        return false;
    }
    UTL_Communities communities;
    if (graph.HasCommunities())
        communities.FromGraph(graph);
    else if (!communities.Detect(graph, error))
    {
        std::fprintf(stderr, "halvane-bench-graph: %s\n", error.c_str());
        return false;
    }
    const std::vector<std::vector<size_t>> groups = Groups(graph, communities);
    const double spacing = UTL_LayoutMeasures::EvenSpacing(graph.NodeCount());
    std::printf("%s: %zu people, %zu friendships among the friends, %zu %s, even spacing %.3f "
                "degrees\n",
                path.c_str(), graph.NodeCount(), graph.Friendships().size(), groups.size(),
                graph.Circles().empty() ? "communities" : "circles", spacing * 180 / 3.14159265);

    double arrivalLength = 0.0;
    const auto report =
        [&](const char* name, const std::vector<UTL_SpherePlace>& places, double seconds)
    {
        const double length = UTL_LayoutMeasures::TotalAngle(graph, places);
        if (arrivalLength == 0.0)
            arrivalLength = length;
        std::printf("layout: name=%s length=%.3f cohesion=%.3f spacing=%.3f ms=%.1f\n", name,
                    arrivalLength > 0.0 ? length / arrivalLength : 1.0,
                    UTL_LayoutMeasures::Cohesion(graph, groups, places),
                    UTL_LayoutMeasures::SmallestAngle(places) / spacing, seconds * 1000);
    };
    auto start = std::chrono::steady_clock::now();
    std::vector<UTL_SpherePlace> places = UTL_SphereLayout::Arrival(graph);
    report("arrival", places, Seconds(start));
    start = std::chrono::steady_clock::now();
    places = UTL_SphereLayout::ByCommunity(graph, communities);
    report("communities", places, Seconds(start));
    const long before = PeakKiB();
    const double cpu = ThreadMilliseconds();
    start = std::chrono::steady_clock::now();
    UTL_SphereLayout().Arrange(graph, &communities, places);
    const double wall = Seconds(start);
    const double cpuSpent = ThreadMilliseconds() - cpu;
    report("sphere", places, wall);
    std::printf("  arranging by friendships: %.1f ms of processor time; peak memory %ld KiB (%ld "
                "KiB before)\n",
                cpuSpent, PeakKiB(), before);
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> files;
    Options options;
    for (int i = 1; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if (argument == "--generate" && i + 2 < argc)
        {
            const int friends = std::stoi(argv[i + 1]);
            const std::string path = argv[i + 2];
            i += 2;
            const UTL_SocialGraph graph = Generate(friends);
            std::string error;
            const auto start = std::chrono::steady_clock::now();
            if (!UTL_GraphWriter::WriteGraphML(graph, path, error))
            {
                std::fprintf(stderr, "halvane-bench-graph: %s\n", error.c_str());
                return 1;
            }
            std::printf("wrote %s: %d friends, %zu friendships among them, in %.1f ms\n",
                        path.c_str(), friends, graph.Friendships().size(), Seconds(start) * 1000);
            files.push_back(path);
        }
        else if (argument == "--centrality")
            options.centrality = true;
        else if (argument == "--sample-check" && i + 1 < argc && std::atoi(argv[i + 1]) > 0)
            options.sampleCheck = size_t(std::atoi(argv[++i]));
        else if (argument == "--layouts")
            options.layouts = true;
        else if (argument.compare(0, 2, "--") == 0)
        {
            std::fprintf(stderr, "Usage: halvane-bench-graph [--centrality] [--sample-check K] "
                                 "[--layouts] [--generate N PATH] [FILE...]\n");
            return 2;
        }
        else
            files.push_back(argument);
    }
    for (const std::string& file : files)
        if (!(options.layouts ? MeasureLayouts(file) : Measure(file, options)))
            return 1;
    return 0;
}
