#pragma once

#include "graph/UTL_Communities.h"
#include "graph/UTL_SocialGraph.h"
#include "sim/UTL_LayoutWorker.h"

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
// Arranged by friendships, the places come from a worker thread (UTL_LayoutWorker): until they
// do, the circle shown stays as it was (a new one in arrival order) and can be used. Poll, on the
// thread that draws and between frames, hands them over: the same locators glide to their new
// places, each community's people and lines take its colour and its patch its name. Switching
// between the other arrangements glides the locators too.
//
// No Qt, no GL: the scene objects it makes create their GL names when first drawn. One thread
// calls it all (the worker is its own business).
class UTL_CircleDocument
{
public:
    enum class Arrangement
    {
        Arrival,     // the order the people arrived in, on the even spiral
        Communities, // community by community, largest first, each in its colour
        Sphere,      // by friendships: friends near their friends, communities as patches
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
    // The same, arranged as `arrangement` says, whatever the circle shown was arranged as.
    bool Show(UTL_SocialGraph graph, Arrangement arrangement, std::string& error);
    // Lays the circle shown out again as `arrangement` says, gliding there; a circle from the
    // server is taken in first. With nothing shown the next circle shown is arranged so. By
    // friendships, the layout starts on the worker and the circle changes at a later Poll.
    bool Arrange(Arrangement arrangement, std::string& error);
    // Makes the person with `id` the user and shows the circle again around them, as arranged:
    // their own friendships are implied from now on, and the user before stays a friend of
    // everyone else. A file's own communities stand (the new user out of them); communities
    // found before are found again where the arrangement needs them. False with `error` set
    // for an id the circle does not hold; the circle shown then stays as it was.
    bool MakeUser(const std::string& id, std::string& error);
    // Forgets the communities the circle has (the file's own, or found before), finds them anew
    // and shows the circle arranged by them.
    bool FindCommunitiesAgain(std::string& error);

    // Hands a layout the worker finished over to the circle shown; true when it did.
    bool Poll();
    // Waits for the layout running and hands it over at once, without a glide (for tools that
    // draw no frames meanwhile); true when it did.
    bool Finish();
    // Stops the layout running; the circle stays arranged as it is shown.
    void CancelArranging();
    // A layout by friendships is under way on the worker.
    bool IsArranging() const { return worker.IsRunning(); }
    double GetArrangingProgress() const { return worker.GetProgress(); }
    double GetArrangingSeconds() const { return worker.GetSeconds(); }
    // Writes the circle shown as GraphML, with its communities when they were found.
    bool Save(const std::string& path, std::string& error);
    // Forgets the circle: the scene's now comes from the server, in the order it arrives.
    void Clear();

    bool IsFromFile() const { return fromFile; }
    // The arrangement asked for, and the one the circle shown is in (they differ while the
    // layout by friendships runs).
    Arrangement GetArrangement() const { return arrangement; }
    Arrangement GetShownArrangement() const { return shownArrangement; }
    // What the communities are, for the status bar; empty unless arranged by community or by
    // friendships.
    const std::string& GetLegend() const { return legend; }
    // The circle as data, once opened from a file or taken in (else empty).
    const UTL_SocialGraph& GetGraph() const { return graph; }
    // The friendships of the circle as data.
    size_t CountFriendships() const { return graph.Friendships().size(); }
    const UTL_Communities& GetCommunities() const { return communities; }
    bool HasCommunities() const { return communitiesFound; }
    // The community of the person with `id` as found for the circle shown; -1 where none was.
    int CommunityOf(const std::string& id) const;

    // An arrangement by the name a command line gives it ("arrival", "communities", "sphere");
    // false for any other name.
    static bool Named(const std::string& name, Arrangement& arrangement);
    // The name of an arrangement, as Named takes it.
    static const char* NameOf(Arrangement arrangement);

private:
    // Takes the scene's circle in when it came from the server.
    void TakeShown();
    // Shows `graph` as arranged, communities found first where the arrangement needs them;
    // `fresh` when the circle shown is another one, so that nothing glides.
    bool ShowGraph(bool fresh, std::string& error);
    // Puts the worker's places and communities on the circle shown.
    void ShowLayout(UTL_LayoutWorker::Result result, bool glide);

    UTL_FriendCircle& shown;
    std::function<void()> clearShown;
    UTL_SocialGraph graph;
    bool fromFile = false;
    UTL_Communities communities;
    bool communitiesFound = false;
    // The communities are the ones the file holds, not found here.
    bool communitiesFromFile = false;
    Arrangement arrangement = Arrangement::Arrival;
    Arrangement shownArrangement = Arrangement::Arrival;
    std::string legend;
    UTL_LayoutWorker worker;
};
