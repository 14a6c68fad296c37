#pragma once

#include "graph/UTL_SocialGraph.h"

#include <sstream>
#include <string>

// A circle written out by hand: `nodes` are ids in file order, `friendships` pairs "a-b" apart
// by spaces; "me", when among the nodes, becomes the user (and their friendships go).
inline UTL_SocialGraph SmallCircle(const std::string& nodes, const std::string& friendships)
{
    UTL_SocialGraph graph;
    std::istringstream ids(nodes);
    for (std::string id; ids >> id;)
        graph.AddNode(id);
    std::istringstream pairs(friendships);
    for (std::string pair; pairs >> pair;)
    {
        const size_t dash = pair.find('-');
        graph.AddFriendship(graph.Find(pair.substr(0, dash)), graph.Find(pair.substr(dash + 1)));
    }
    graph.SetUser(graph.Find("me"));
    return graph;
}
