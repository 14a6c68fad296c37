// halvane-bench-graph: figures of the graph library. For each FILE it reads it and finds its
// communities, printing the time of each, the process's peak memory, and the communities' sizes;
// --generate N first writes a circle of N friends in communities as GraphML (to PATH) and reads
// that. A benchmark, not a test: it prints figures and fails only when a read fails.
//   halvane-bench-graph ../shared/data/ego-facebook/107.edges
//   halvane-bench-graph --generate 5000 /tmp/circle.graphml
#include "graph/UTL_Communities.h"
#include "graph/UTL_GraphReader.h"
#include "graph/UTL_GraphWriter.h"
#include "graph/UTL_SocialGraph.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace
{
double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
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

bool Measure(const std::string& path)
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
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> files;
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
        else if (argument.compare(0, 2, "--") == 0)
        {
            std::fprintf(stderr, "Usage: halvane-bench-graph [--generate N PATH] [FILE...]\n");
            return 2;
        }
        else
            files.push_back(argument);
    }
    for (const std::string& file : files)
        if (!Measure(file))
            return 1;
    return 0;
}
