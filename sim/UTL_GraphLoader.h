#pragma once

#include <cstddef>
#include <string>
#include <vector>

class UTL_FriendCircle;
class UTL_FriendReceiver;
class UTL_SocialGraph;

// Moves a circle of friends between a graph file's data and the scene, without a server.
//
// Load hands a graph to a friend receiver as the network session hands it the server's
// answers: the user, then each friend followed by a layout request, the user joined to every
// friend, then each friendship among the friends, dim and not highlighted. Picture addresses go
// as they stand, to be fetched like any other.
//
// ToGraph is the way back: the people a circle shows, their picture addresses and the
// friendships among them, ready to be written out and opened again later.
class UTL_GraphLoader
{
public:
    // The alpha of a friendship between two friends at rest, as the network session gives it.
    static constexpr float FriendshipDimAlpha = 0.4f;

    // Feeds `graph` to `receiver`; the friends in `order` (node indices, the user skipped), or in
    // file order when it is empty.
    static void Load(const UTL_SocialGraph& graph, UTL_FriendReceiver& receiver,
                     const std::vector<size_t>& order = {});
    // The people and friendships of `circle` (the user's own implied), with `communities` (one
    // per friend, in the circle's order) when it is not empty.
    static void ToGraph(const UTL_FriendCircle& circle, UTL_SocialGraph& graph,
                        const std::vector<int>& communities = {});
};
