#include "graph/UTL_GraphBuilder.h"
#include "graph/UTL_GraphReader.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// One libFuzzer target per graph file format; HALVANE_FUZZ_GRAPH_FILE is the name the input is
// written under (its extension picks the format, "7.edges" makes node 7 the SNAP ego). Beyond
// what the sanitizers catch, a read must either fail and leave the caller's graph as it was, or
// hand back a graph that holds together: friendships between known nodes, smaller index first,
// none of them the user's, within the bounds.
namespace
{
std::string FuzzFile()
{
    static const std::string path = []
    {
        char folder[] = "/tmp/halvane-fuzz-graph-XXXXXX";
        if (!mkdtemp(folder))
            std::abort();
        return std::string(folder) + "/" + HALVANE_FUZZ_GRAPH_FILE;
    }();
    return path;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = FuzzFile();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();

    UTL_SocialGraph graph;
    graph.AddNode("before");
    std::string error;
    if (!UTL_GraphReader().Read(path, graph, error))
    {
        if (error.empty() || graph.NodeCount() != 1 || graph.Node(0).id != "before")
            std::abort(); // a failed read says why and leaves the graph alone
        return 0;
    }
    if (graph.NodeCount() > UTL_GraphBuilder::MaxNodes)
        std::abort();
    for (const auto& [a, b] : graph.Friendships())
        if (a >= b || b >= graph.NodeCount() || a == graph.User() || b == graph.User())
            std::abort();
    for (size_t i = 0; i < graph.NodeCount(); ++i)
        if (graph.Find(graph.Node(i).id) != i)
            std::abort();
    return 0;
}
