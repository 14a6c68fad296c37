#include "sim/UTL_CircleAnalysis.h"

#include "graph/UTL_Communities.h"
#include "scene/GFX_Friend.h"
#include "sim/UTL_FriendCircle.h"
#include "sim/UTL_GraphLoader.h"

#include <algorithm>

UTL_CircleAnalysis::UTL_CircleAnalysis(const UTL_FriendCircle& circle) : circle(circle) {}

UTL_CircleAnalysis::~UTL_CircleAnalysis()
{
    cancel = true;
    if (worker.joinable())
        worker.join();
}

void UTL_CircleAnalysis::SetCommunitySource(CommunitySource source)
{
    communitySource = std::move(source);
    // Asked again with the next look at the graph.
    builtFor = ~uint64_t(0);
}

void UTL_CircleAnalysis::Refresh()
{
    const uint64_t now = circle.GetChangeCount();
    if (now == builtFor)
        return;
    builtFor = now;
    UTL_GraphLoader::ToGraph(circle, graph);
    paths = UTL_CirclePaths(graph);

    // A person listed twice is one node: the first of them stands for it.
    personOfNode.assign(graph.NodeCount(), nullptr);
    nodeOfPerson.clear();
    auto note = [this](GFX_Friend* person)
    {
        const size_t node = graph.Find(person->GetId());
        if (node == UTL_SocialGraph::NoNode)
            return;
        if (!personOfNode[node])
            personOfNode[node] = person;
        nodeOfPerson.emplace(person, node);
    };
    if (GFX_Friend* self = circle.GetSelf())
        note(self);
    for (const auto& person : circle.GetFriends())
        note(person.get());

    communities.assign(graph.NodeCount(), UTL_Communities::None);
    communitiesKnown = false;
    if (communitySource)
        for (size_t node = 0; node < graph.NodeCount(); ++node)
            if (node != graph.User())
            {
                communities[node] = communitySource(graph.Node(node).id);
                communitiesKnown = communitiesKnown || communities[node] >= 0;
            }
}

const UTL_SocialGraph& UTL_CircleAnalysis::Graph()
{
    Refresh();
    return graph;
}

const UTL_CirclePaths& UTL_CircleAnalysis::Paths()
{
    Refresh();
    return paths;
}

size_t UTL_CircleAnalysis::NodeOf(const GFX_Friend* person)
{
    Refresh();
    const auto found = nodeOfPerson.find(person);
    return found == nodeOfPerson.end() ? UTL_SocialGraph::NoNode : found->second;
}

GFX_Friend* UTL_CircleAnalysis::PersonAt(size_t node)
{
    Refresh();
    return node < personOfNode.size() ? personOfNode[node] : nullptr;
}

std::vector<GFX_Friend*> UTL_CircleAnalysis::People(const std::vector<size_t>& nodes)
{
    Refresh();
    std::vector<GFX_Friend*> people;
    people.reserve(nodes.size());
    for (size_t node : nodes)
        if (GFX_Friend* person = node < personOfNode.size() ? personOfNode[node] : nullptr)
            people.push_back(person);
    return people;
}

int UTL_CircleAnalysis::CommunityOf(size_t node)
{
    Refresh();
    if (!communitiesKnown)
    {
        // Once per circle, and only where nobody found them before: the same method and seed as
        // everywhere else, so the same graph gives the same communities.
        UTL_Communities found;
        std::string ignored;
        if (found.Detect(graph, ignored))
            for (size_t i = 0; i < graph.NodeCount(); ++i)
                communities[i] = found.CommunityOf(i);
        communitiesKnown = true;
    }
    return node < communities.size() ? communities[node] : UTL_Communities::None;
}

int UTL_CircleAnalysis::KnownCommunityOf(size_t node)
{
    Refresh();
    return communitiesKnown && node < communities.size() ? communities[node]
                                                         : UTL_Communities::None;
}

std::vector<size_t> UTL_CircleAnalysis::Members(int community)
{
    std::vector<size_t> members;
    if (community < 0)
        return members;
    for (size_t node = 0; node < Graph().NodeCount(); ++node)
        if (CommunityOf(node) == community)
            members.push_back(node);
    return members;
}

bool UTL_CircleAnalysis::IsTableCurrent() const
{
    return computedFor == circle.GetChangeCount();
}

bool UTL_CircleAnalysis::Poll()
{
    bool changed = false;
    if (worker.joinable() && finished.load())
    {
        worker.join();
        Finish();
        changed = true;
    }
    const Clock::time_point now = Clock::now();
    const uint64_t count = circle.GetChangeCount();
    if (count != seenChange)
    {
        seenChange = count;
        changedAt = now;
    }
    const auto since = [now](Clock::time_point then)
    { return std::chrono::duration<double>(now - then).count(); };
    const bool quiet = since(changedAt) >= quietSeconds;
    // The graph is made while nobody waits for it, so that the next question costs only its
    // answer.
    if (quiet)
        Refresh();
    if (worker.joinable() || count == computedFor)
        return changed;
    const bool rested = finishedAt == Clock::time_point() ||
                        since(finishedAt) >= std::max(MinSecondsBetween, 2.0 * lastSeconds);
    if (!quiet || !rested)
        return changed;
    if (circle.GetFriendCount() == 0)
    {
        // Nothing to compute: an empty table says so at once.
        computedFor = count;
        if (table.RowCount() > 0 || !error.empty())
        {
            table = UTL_PeopleTable();
            error.clear();
            ++tableVersion;
            changed = true;
        }
        return changed;
    }
    Start();
    return changed;
}

void UTL_CircleAnalysis::Start()
{
    Refresh();
    computingFor = builtFor;
    result = Result();
    result.graph = graph;
    result.findCommunities = !communitiesKnown;
    if (communitiesKnown)
        for (size_t node = 0; node < graph.NodeCount(); ++node)
            result.graph.Node(node).community = communities[node];
    cancel = false;
    finished = false;
    progress = 0.0;
    startedAt = Clock::now();
    worker = std::thread(
        [this]
        {
            if (result.findCommunities)
            {
                UTL_Communities found;
                if (found.Detect(result.graph, result.error))
                    found.ApplyTo(result.graph);
            }
            UTL_Centralities::Control control;
            control.cancel = &cancel;
            control.progress = [this](double done) { progress = done; };
            result.outcome = result.centralities.Compute(result.graph, result.error, control);
            finished = true;
        });
}

void UTL_CircleAnalysis::Finish()
{
    finishedAt = Clock::now();
    lastSeconds = std::chrono::duration<double>(finishedAt - startedAt).count();
    if (result.outcome == UTL_Centralities::Outcome::Cancelled)
        return;
    // A failure is not tried again until the circle changes.
    computedFor = computingFor;
    if (result.outcome == UTL_Centralities::Outcome::Failed)
    {
        error = result.error.empty() ? std::string("igraph failed") : result.error;
        ++tableVersion;
        return;
    }
    error.clear();
    table.Build(result.graph);
    table.SetCentralities(result.centralities);
    ++tableVersion;
    // Communities found on the graph shown now serve the filters as well.
    if (result.findCommunities && computingFor == builtFor && !communitiesKnown)
    {
        for (size_t node = 0; node < graph.NodeCount(); ++node)
            communities[node] = result.graph.Node(node).community;
        communitiesKnown = true;
    }
    result.graph.Clear();
}
