#pragma once

#include "graph/UTL_SocialGraph.h"

#include <algorithm>
#include <string>
#include <vector>

// A graph as comparable text, independent of the order the file listed things in: the nodes
// ("id|name|picture", sorted), the friendships by id ("a-b", sorted) and the user's id.
struct GraphText
{
    std::vector<std::string> nodes;
    std::vector<std::string> friendships;
    std::string user;

    explicit GraphText(const UTL_SocialGraph& graph)
    {
        for (const UTL_GraphNode& node : graph.Nodes())
            nodes.push_back(node.id + "|" + node.name + "|" + node.picture);
        for (const auto& [a, b] : graph.Friendships())
        {
            const std::string& x = graph.Node(a).id;
            const std::string& y = graph.Node(b).id;
            friendships.push_back(x < y ? x + "-" + y : y + "-" + x);
        }
        std::sort(nodes.begin(), nodes.end());
        std::sort(friendships.begin(), friendships.end());
        if (graph.HasUser())
            user = graph.Node(graph.User()).id;
    }
};
