#pragma once

#include "gfx/GFX_Vector3.h"

#include <cstddef>
#include <string>
#include <vector>

class UTL_Communities;
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
//
// With communities found, each community takes a colour of its own for its people's balls and
// the lines among them, and Legend says what the communities are.
class UTL_GraphLoader
{
public:
    // The alpha of a friendship between two friends at rest, as the network session gives it.
    static constexpr float FriendshipDimAlpha = 0.4f;

    // Feeds `graph` to `receiver`; the friends in `order` (node indices, the user skipped), or in
    // file order when it is empty.
    static void Load(const UTL_SocialGraph& graph, UTL_FriendReceiver& receiver,
                     const std::vector<size_t>& order = {});
    // Loads `graph` into `circle`: in file order, or, with `communities`, community by community
    // and coloured by community.
    static void Show(const UTL_SocialGraph& graph, UTL_FriendCircle& circle,
                     const UTL_Communities* communities);
    // The colour of community `index` (0 the largest): hues of middle lightness that stand out
    // on the dark and the light theme backgrounds alike, repeated after the last one.
    static GFX_Vector3 CommunityColor(int index);
    static constexpr int CommunityColorCount = 10;
    // Colours the people of `circle` by their community among `communities` of `graph`.
    static void ColorByCommunity(const UTL_SocialGraph& graph, const UTL_Communities& communities,
                                 UTL_FriendCircle& circle);
    // "K communities; largest: S around NAME, ..." for the `largest` biggest, each named by its
    // best-connected member (their id when the file names nobody).
    static std::string Legend(const UTL_SocialGraph& graph, const UTL_Communities& communities,
                              size_t largest = 3);

    // The people and friendships of `circle` (the user's own implied), with `communities` (one
    // per friend, in the circle's order) when it is not empty.
    static void ToGraph(const UTL_FriendCircle& circle, UTL_SocialGraph& graph,
                        const std::vector<int>& communities = {});
};
