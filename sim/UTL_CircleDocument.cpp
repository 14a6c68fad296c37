#include "sim/UTL_CircleDocument.h"

#include "graph/UTL_GraphReader.h"
#include "graph/UTL_GraphWriter.h"
#include "sim/UTL_FriendCircle.h"
#include "sim/UTL_GraphLoader.h"

UTL_CircleDocument::UTL_CircleDocument(UTL_FriendCircle& shown, std::function<void()> clearShown)
    : shown(shown), clearShown(std::move(clearShown))
{
}

bool UTL_CircleDocument::Read(const std::string& path, const std::string& self,
                              const Progress& progress, UTL_SocialGraph& graph, std::string& error)
{
    UTL_GraphReader reader;
    reader.SetSelf(self);
    reader.SetProgress(progress);
    return reader.Read(path, graph, error);
}

bool UTL_CircleDocument::Show(UTL_SocialGraph opened, std::string& error)
{
    UTL_SocialGraph previous = std::move(graph);
    const bool previousFromFile = fromFile;
    graph = std::move(opened);
    // A file's own communities stand as the file has them; they are looked for only where it
    // has none.
    communitiesFound = graph.HasCommunities();
    if (communitiesFound)
        communities.FromGraph(graph);
    if (!ShowGraph(error))
    {
        graph = std::move(previous);
        fromFile = previousFromFile;
        return false;
    }
    fromFile = true;
    return true;
}

bool UTL_CircleDocument::Arrange(Arrangement value, std::string& error)
{
    if (value == arrangement)
        return true;
    TakeShown();
    const Arrangement previous = arrangement;
    arrangement = value;
    if (graph.NodeCount() == 0)
        return true; // nothing shown yet: the next circle shown is arranged so
    if (!ShowGraph(error))
    {
        arrangement = previous;
        return false;
    }
    return true;
}

bool UTL_CircleDocument::Save(const std::string& path, std::string& error)
{
    UTL_SocialGraph saved;
    UTL_GraphLoader::ToGraph(shown, saved);
    if (communitiesFound)
        for (size_t node = 0; node < saved.NodeCount(); ++node)
        {
            const size_t known = graph.Find(saved.Node(node).id);
            if (known != UTL_SocialGraph::NoNode)
                saved.Node(node).community = communities.CommunityOf(known);
        }
    return UTL_GraphWriter::WriteGraphML(saved, path, error);
}

void UTL_CircleDocument::Clear()
{
    graph.Clear();
    fromFile = false;
    communitiesFound = false;
    arrangement = Arrangement::Arrival;
    legend.clear();
}

int UTL_CircleDocument::CommunityOf(const std::string& id) const
{
    const size_t node = communitiesFound ? graph.Find(id) : UTL_SocialGraph::NoNode;
    return node == UTL_SocialGraph::NoNode ? UTL_Communities::None : communities.CommunityOf(node);
}

bool UTL_CircleDocument::Named(const std::string& name, Arrangement& value)
{
    if (name == "arrival")
        value = Arrangement::Arrival;
    else if (name == "communities")
        value = Arrangement::Communities;
    else
        return false;
    return true;
}

void UTL_CircleDocument::TakeShown()
{
    if (fromFile)
        return;
    UTL_SocialGraph taken;
    UTL_GraphLoader::ToGraph(shown, taken);
    if (graph.NodeCount() == 0)
    {
        graph = std::move(taken);
        return;
    }
    for (const auto& [a, b] : taken.Friendships())
    {
        const size_t first = graph.Find(taken.Node(a).id);
        const size_t second = graph.Find(taken.Node(b).id);
        if (first != UTL_SocialGraph::NoNode && second != UTL_SocialGraph::NoNode &&
            graph.AddFriendship(first, second))
            communitiesFound = false;
    }
}

bool UTL_CircleDocument::ShowGraph(std::string& error)
{
    const bool byCommunity = arrangement == Arrangement::Communities;
    if (byCommunity && !communitiesFound)
    {
        if (!communities.Detect(graph, error))
            return false;
        communitiesFound = true;
    }
    clearShown();
    UTL_GraphLoader::Show(graph, shown, byCommunity ? &communities : nullptr);
    legend = byCommunity ? UTL_GraphLoader::Legend(graph, communities) : std::string();
    return true;
}
