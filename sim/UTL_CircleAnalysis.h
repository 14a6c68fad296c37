#pragma once

#include "graph/UTL_Centralities.h"
#include "graph/UTL_CirclePaths.h"
#include "graph/UTL_PeopleTable.h"
#include "graph/UTL_SocialGraph.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

class GFX_Friend;
class UTL_FriendCircle;

// The circle shown as data, for the questions people ask of it: who a person's friends in the
// circle are, what two people have in common, how they are connected without the user, who is
// in a community, and who bridges the groups (betweenness) or is best connected (PageRank), in a
// table of the people.
//
// The graph and the answers drawn from its friendships are made from the scene's circle when
// first asked for after it changed, in the circle's order (the user first), so that node i and
// the circle's people match. Communities come from the community source (the circle document's,
// which the globe's colours show) where it knows them; else they are found here, with the
// centralities or when first asked for.
//
// Threading: everything but the work of the centralities runs on the user-interface thread (the
// GL thread). The centralities are computed by a worker thread of this object on a copy of the
// graph, started from Poll once the circle has been quiet for QuietSeconds, and not sooner after
// the last computation than twice its length, so that friendships arriving batch after batch
// cost one computation, not one each. Poll takes the results over; the destructor cancels the
// worker and waits for it.
class UTL_CircleAnalysis
{
public:
    // The community of a person by id as the circle's arrangement found it; -1 where it knows
    // none.
    using CommunitySource = std::function<int(const std::string& id)>;

    explicit UTL_CircleAnalysis(const UTL_FriendCircle& circle);
    ~UTL_CircleAnalysis();
    UTL_CircleAnalysis(const UTL_CircleAnalysis&) = delete;
    UTL_CircleAnalysis& operator=(const UTL_CircleAnalysis&) = delete;

    void SetCommunitySource(CommunitySource source);

    // The circle as a graph, made again when the circle changed since.
    const UTL_SocialGraph& Graph();
    const UTL_CirclePaths& Paths();
    // The node of a person of the circle, NoNode for someone not in it (or null); the person
    // of a node, null for none. Valid until the circle changes.
    size_t NodeOf(const GFX_Friend* person);
    GFX_Friend* PersonAt(size_t node);
    // The people of `nodes`, in that order, those without a person left out.
    std::vector<GFX_Friend*> People(const std::vector<size_t>& nodes);
    // The community of a node, found now where neither the source nor a finished computation
    // knows them; -1 for the user, or when igraph failed.
    int CommunityOf(size_t node);
    // The community of a node where it is known (from the source or a finished computation),
    // without finding it; -1 where it is not.
    int KnownCommunityOf(size_t node);
    // The members of a node's community, in the circle's order.
    std::vector<size_t> Members(int community);

    // Takes finished centralities over, makes the graph again once the circle has been quiet
    // for QuietSeconds, and starts the next computation when the circle has changed and the
    // time has come. True when the table changed.
    bool Poll();
    bool IsComputing() const { return worker.joinable(); }
    // The share of the running computation done, 0 to 1.
    double GetProgress() const { return progress.load(); }
    // The people table as of the last finished computation; empty before it.
    const UTL_PeopleTable& GetTable() const { return table; }
    // Grows with every new table.
    uint64_t GetTableVersion() const { return tableVersion; }
    // Whether the table is of the circle as it is now.
    bool IsTableCurrent() const;
    // What went wrong in the last computation; empty when nothing did.
    const std::string& GetError() const { return error; }
    // How long the last computation took, in seconds.
    double GetLastSeconds() const { return lastSeconds; }

    // Seconds the circle must stay unchanged before its centralities are computed again.
    void SetQuietSeconds(double value) { quietSeconds = value; }
    static constexpr double QuietSeconds = 1.0;
    static constexpr double MinSecondsBetween = 2.0;

private:
    using Clock = std::chrono::steady_clock;

    // Makes the graph and its answers again when the circle changed.
    void Refresh();
    void Start();
    void Finish();

    const UTL_FriendCircle& circle;
    CommunitySource communitySource;

    // The graph of the circle as of `builtFor` (its change count), its people and communities.
    uint64_t builtFor = ~uint64_t(0);
    UTL_SocialGraph graph;
    UTL_CirclePaths paths;
    std::vector<GFX_Friend*> personOfNode;
    std::unordered_map<const GFX_Friend*, size_t> nodeOfPerson;
    std::vector<int> communities; // per node
    bool communitiesKnown = false;

    // The background work: on the graph of `computedFor`, results in `result`.
    struct Result
    {
        UTL_SocialGraph graph;
        bool findCommunities = false;
        UTL_Centralities centralities;
        UTL_Centralities::Outcome outcome = UTL_Centralities::Outcome::Failed;
        std::string error;
    };
    std::thread worker;
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    std::atomic<double> progress{0.0};
    Result result;
    uint64_t computingFor = 0;
    uint64_t computedFor = ~uint64_t(0);
    uint64_t seenChange = ~uint64_t(0);
    Clock::time_point changedAt;
    Clock::time_point startedAt;
    Clock::time_point finishedAt;
    double lastSeconds = 0.0;
    double quietSeconds = QuietSeconds;

    UTL_PeopleTable table;
    uint64_t tableVersion = 0;
    std::string error;
};
