#include "sim/UTL_CircleDocument.h"

#include "graph/UTL_GraphReader.h"
#include "graph/UTL_GraphWriter.h"
#include "graph/UTL_SphereLayout.h"
#include "sim/UTL_FriendCircle.h"
#include "sim/UTL_GraphLoader.h"

namespace
{
// Each community's patch, named by its best-connected member and its size, in its colour.
std::vector<UTL_FriendCircle::Region> RegionsOf(const UTL_SocialGraph& graph,
                                                const UTL_Communities& communities,
                                                const std::vector<UTL_SpherePlace>& places)
{
    const std::vector<UTL_SphereLayout::Region> patches =
        UTL_SphereLayout::Regions(graph, communities, places);
    std::vector<UTL_FriendCircle::Region> regions;
    regions.reserve(patches.size());
    for (size_t c = 0; c < patches.size(); ++c)
    {
        const UTL_SphereLayout::Region& patch = patches[c];
        if (patch.bestConnected >= graph.NodeCount())
            continue;
        const UTL_GraphNode& best = graph.Node(patch.bestConnected);
        UTL_FriendCircle::Region region;
        region.name =
            (best.name.empty() ? best.id : best.name) + " \u00B7 " + std::to_string(patch.size);
        region.centre = patch.centre;
        region.size = patch.size;
        region.color = UTL_GraphLoader::CommunityColor(static_cast<int>(c));
        regions.push_back(std::move(region));
    }
    return regions;
}
} // namespace

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
    // Whatever was being arranged was for the circle that goes.
    worker.Cancel();
    UTL_SocialGraph previous = std::move(graph);
    const bool previousFromFile = fromFile;
    UTL_Communities previousCommunities = std::move(communities);
    const bool previousFound = communitiesFound;
    const bool previousFromFileCommunities = communitiesFromFile;
    graph = std::move(opened);
    // A file's own communities stand as the file has them; they are looked for only where it
    // has none.
    communitiesFound = graph.HasCommunities();
    communitiesFromFile = communitiesFound;
    communities = UTL_Communities();
    if (communitiesFound)
        communities.FromGraph(graph);
    if (!ShowGraph(true, error))
    {
        // The circle shown stays, as it is arranged; a layout it was waiting for has gone.
        graph = std::move(previous);
        fromFile = previousFromFile;
        communities = std::move(previousCommunities);
        communitiesFound = previousFound;
        communitiesFromFile = previousFromFileCommunities;
        arrangement = shownArrangement;
        return false;
    }
    fromFile = true;
    return true;
}

bool UTL_CircleDocument::Show(UTL_SocialGraph opened, Arrangement value, std::string& error)
{
    arrangement = value;
    return Show(std::move(opened), error);
}

bool UTL_CircleDocument::Arrange(Arrangement value, std::string& error)
{
    if (value == arrangement)
        return true;
    CancelArranging();
    if (value == arrangement)
        return true;
    TakeShown();
    const Arrangement previous = arrangement;
    arrangement = value;
    if (graph.NodeCount() == 0)
    {
        // Nothing shown yet: the next circle shown is arranged so.
        shownArrangement = value;
        return true;
    }
    if (!ShowGraph(false, error))
    {
        arrangement = previous;
        return false;
    }
    return true;
}

bool UTL_CircleDocument::MakeUser(const std::string& id, std::string& error)
{
    CancelArranging();
    TakeShown();
    const size_t node = graph.Find(id);
    if (node == UTL_SocialGraph::NoNode)
    {
        error = "'" + id + "' is not in the circle shown";
        return false;
    }
    if (node == graph.User())
        return true;
    UTL_SocialGraph before = graph;
    const UTL_Communities communitiesBefore = communities;
    const bool foundBefore = communitiesFound;
    // The user before was a friend of everyone, implied; those friendships are stored now, all
    // but the one with the new user, which is implied in turn.
    const size_t previous = graph.User();
    graph.SetUser(UTL_SocialGraph::NoNode);
    if (previous != UTL_SocialGraph::NoNode)
        for (size_t other = 0; other < graph.NodeCount(); ++other)
            if (other != node)
                graph.AddFriendship(previous, other);
    graph.SetUser(node);
    // Found communities were found among other friendships than there are now.
    if (communitiesFromFile)
        communities.FromGraph(graph);
    else
        communitiesFound = false;
    if (!ShowGraph(true, error))
    {
        graph = std::move(before);
        communities = communitiesBefore;
        communitiesFound = foundBefore;
        return false;
    }
    return true;
}

bool UTL_CircleDocument::FindCommunitiesAgain(std::string& error)
{
    TakeShown();
    if (graph.NodeCount() == 0)
    {
        error = "there is no circle shown to find communities in";
        return false;
    }
    UTL_Communities found;
    if (!found.Detect(graph, error))
        return false;
    communities = std::move(found);
    communitiesFound = true;
    communitiesFromFile = false;
    CancelArranging();
    arrangement = Arrangement::Communities;
    return ShowGraph(false, error);
}

bool UTL_CircleDocument::Poll()
{
    UTL_LayoutWorker::Result result;
    if (!worker.IsRunning())
        return false;
    if (!worker.Take(result))
    {
        // Taken without a result: the layout failed. The circle stays as it is shown.
        if (!worker.IsRunning())
            arrangement = shownArrangement;
        return false;
    }
    ShowLayout(std::move(result), true);
    return true;
}

bool UTL_CircleDocument::Finish()
{
    UTL_LayoutWorker::Result result;
    if (!worker.IsRunning())
        return false;
    if (!worker.Wait(result))
    {
        arrangement = shownArrangement;
        return false;
    }
    ShowLayout(std::move(result), false);
    return true;
}

void UTL_CircleDocument::CancelArranging()
{
    if (!worker.IsRunning())
        return;
    worker.Cancel();
    arrangement = shownArrangement;
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
    worker.Cancel();
    graph.Clear();
    fromFile = false;
    communitiesFound = false;
    communitiesFromFile = false;
    arrangement = Arrangement::Arrival;
    shownArrangement = Arrangement::Arrival;
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
    else if (name == "sphere")
        value = Arrangement::Sphere;
    else
        return false;
    return true;
}

const char* UTL_CircleDocument::NameOf(Arrangement value)
{
    switch (value)
    {
    case Arrangement::Communities:
        return "communities";
    case Arrangement::Sphere:
        return "sphere";
    default:
        return "arrival";
    }
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

bool UTL_CircleDocument::ShowGraph(bool fresh, std::string& error)
{
    const bool byCommunity = arrangement == Arrangement::Communities;
    const bool byFriendships = arrangement == Arrangement::Sphere;
    if (byCommunity && !communitiesFound)
    {
        if (!communities.Detect(graph, error))
            return false;
        communitiesFound = true;
    }
    if (byFriendships)
    {
        worker.Start(graph, communitiesFound ? &communities : nullptr);
        // The circle shown stays as it is until the places come; a new one meanwhile shows in
        // arrival order, in the colours of its file's communities.
        if (!fresh)
            return true;
    }
    UTL_FriendCircle::Places before;
    if (!fresh)
        before = shown.PlacesById();
    clearShown();
    UTL_GraphLoader::Show(graph, shown, byCommunity ? &communities : nullptr);
    if (byFriendships && communitiesFound)
        UTL_GraphLoader::ColorByCommunity(graph, communities, shown);
    if (!before.empty())
        shown.GlideFrom(std::move(before));
    shownArrangement = byFriendships ? Arrangement::Arrival : arrangement;
    legend = byCommunity ? UTL_GraphLoader::Legend(graph, communities) : std::string();
    return true;
}

void UTL_CircleDocument::ShowLayout(UTL_LayoutWorker::Result result, bool glide)
{
    communities = std::move(result.communities);
    communitiesFound = true;
    UTL_FriendCircle::Places before;
    if (glide)
        before = shown.PlacesById();
    UTL_FriendCircle::Places places;
    for (size_t node = 0; node < graph.NodeCount() && node < result.places.size(); ++node)
        places[graph.Node(node).id] = result.places[node];
    UTL_GraphLoader::ColorByCommunity(graph, communities, shown);
    shown.SetPersonPlaces(std::move(places));
    shown.SetRegions(RegionsOf(graph, communities, result.places));
    if (glide)
        shown.GlideFrom(std::move(before));
    shownArrangement = Arrangement::Sphere;
    legend = UTL_GraphLoader::Legend(graph, communities);
}
