#pragma once

#include "graph/UTL_Communities.h"
#include "graph/UTL_SocialGraph.h"

#include <cstdint>
#include <functional>
#include <string>

class UTL_FriendCircle;

// The circle shown, as a document: its people and friendships as data, their communities, how
// they are arranged on the globe and the legend that says so, with open, save, arrange and
// clear. Every front end (the window, the snapshot tool) keeps one beside its scene and goes
// through it rather than keeping copies of its own.
//
// A circle comes from a graph file (Show: the document holds all there is of it) or from the
// server, friend by friend, straight into the scene's circle (the document then holds nothing
// until it is arranged or saved, when it takes the scene's circle in, keeping the order the
// people arrived in and adding the friendships that arrived since). Showing replaces whatever
// the scene's circle shows; `clearShown` empties it (the controller's ClearCircle, so that the
// selection goes with it).
//
// No Qt, no GL: the scene objects it makes create their GL names when first drawn.
class UTL_CircleDocument
{
public:
    enum class Arrangement
    {
        Arrival,     // the order the people arrived in, on the even spiral
        Communities, // community by community, largest first, each in its colour
    };
    // Reports the bytes read of a graph file as it is read.
    using Progress = std::function<void(uint64_t done, uint64_t total)>;

    UTL_CircleDocument(UTL_FriendCircle& shown, std::function<void()> clearShown);
    UTL_CircleDocument(const UTL_CircleDocument&) = delete;
    UTL_CircleDocument& operator=(const UTL_CircleDocument&) = delete;

    // Reads a graph file; `self` names the user's node (empty: as the file says). False with
    // `error` set when it does not read.
    static bool Read(const std::string& path, const std::string& self, const Progress& progress,
                     UTL_SocialGraph& graph, std::string& error);
    // Shows `graph` in place of the circle shown, arranged as GetArrangement says, with the
    // communities the file holds (found anew only where it holds none). On failure `error` says
    // why and the circle shown stays as it was.
    bool Show(UTL_SocialGraph graph, std::string& error);
    // Lays the circle shown out again as `arrangement` says; a circle from the server is taken
    // in first. With nothing shown the next circle shown is arranged so.
    bool Arrange(Arrangement arrangement, std::string& error);
    // Writes the circle shown as GraphML, with its communities when they were found.
    bool Save(const std::string& path, std::string& error);
    // Forgets the circle: the scene's now comes from the server, in the order it arrives.
    void Clear();

    bool IsFromFile() const { return fromFile; }
    Arrangement GetArrangement() const { return arrangement; }
    // What the communities are, for the status bar; empty unless arranged by community.
    const std::string& GetLegend() const { return legend; }
    // The circle as data, once opened from a file or taken in (else empty).
    const UTL_SocialGraph& GetGraph() const { return graph; }
    // The friendships of the circle as data.
    size_t CountFriendships() const { return graph.Friendships().size(); }
    const UTL_Communities& GetCommunities() const { return communities; }
    bool HasCommunities() const { return communitiesFound; }
    // The community of the person with `id` as found for the circle shown; -1 where none was.
    int CommunityOf(const std::string& id) const;

    // An arrangement by the name a command line gives it ("arrival", "communities"); false for
    // any other name.
    static bool Named(const std::string& name, Arrangement& arrangement);

private:
    // Takes the scene's circle in when it came from the server.
    void TakeShown();
    // Shows `graph` as arranged, communities found first where the arrangement needs them.
    bool ShowGraph(std::string& error);

    UTL_FriendCircle& shown;
    std::function<void()> clearShown;
    UTL_SocialGraph graph;
    bool fromFile = false;
    UTL_Communities communities;
    bool communitiesFound = false;
    Arrangement arrangement = Arrangement::Arrival;
    std::string legend;
};
