#include "sim/UTL_GraphLoader.h"

#include "graph/UTL_Communities.h"
#include "graph/UTL_SocialGraph.h"
#include "net/UTL_FriendReceiver.h"
#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_Foto.h"
#include "scene/GFX_Friend.h"
#include "sim/UTL_FriendCircle.h"

#include <unordered_map>

namespace
{
// The address a person's picture came from; empty for the placeholder.
std::string PictureOf(const GFX_Friend& person)
{
    if (!person.HasPicture() || !person.GetPicture())
        return {};
    return person.GetPicture()->GetPath();
}
} // namespace

void UTL_GraphLoader::Load(const UTL_SocialGraph& graph, UTL_FriendReceiver& receiver,
                           const std::vector<size_t>& order)
{
    if (graph.HasUser())
    {
        const UTL_GraphNode& user = graph.Node(graph.User());
        receiver.SetSelf(user.id, user.name, user.picture, user.picture);
        receiver.LayoutFriends();
    }
    const std::vector<size_t> friends = order.empty() ? graph.Friends() : order;
    for (size_t index : friends)
    {
        if (index >= graph.NodeCount() || index == graph.User())
            continue;
        const UTL_GraphNode& person = graph.Node(index);
        receiver.AddFriend(person.id, person.name, person.picture, person.picture);
        receiver.LayoutFriends();
    }
    receiver.ConnectSelf();
    for (const auto& [a, b] : graph.Friendships())
        receiver.ConnectFriends(graph.Node(a).id, graph.Node(b).id, FriendshipDimAlpha, false);
}

GFX_Vector3 UTL_GraphLoader::CommunityColor(int index)
{
    // Neither pale nor dark: each one is far from the night, daylight and graphite skies.
    static const GFX_Vector3 palette[CommunityColorCount] = {
        {0.95f, 0.45f, 0.05f}, {0.85f, 0.15f, 0.20f}, {0.20f, 0.70f, 0.20f}, {0.60f, 0.35f, 0.85f},
        {0.95f, 0.75f, 0.05f}, {0.90f, 0.35f, 0.70f}, {0.10f, 0.70f, 0.65f}, {0.65f, 0.45f, 0.20f},
        {0.55f, 0.75f, 0.10f}, {0.25f, 0.45f, 0.95f},
    };
    if (index < 0)
        index = 0;
    return palette[index % CommunityColorCount];
}

void UTL_GraphLoader::Show(const UTL_SocialGraph& graph, UTL_FriendCircle& circle,
                           const UTL_Communities* communities)
{
    if (!communities)
    {
        Load(graph, circle);
        return;
    }
    Load(graph, circle, communities->NodeOrder());
    ColorByCommunity(graph, *communities, circle);
}

void UTL_GraphLoader::ColorByCommunity(const UTL_SocialGraph& graph,
                                       const UTL_Communities& communities, UTL_FriendCircle& circle)
{
    std::unordered_map<std::string, GFX_Vector3> colors;
    for (size_t node = 0; node < graph.NodeCount(); ++node)
    {
        const int community = communities.CommunityOf(node);
        if (community != UTL_Communities::None)
            colors.emplace(graph.Node(node).id, CommunityColor(community));
    }
    circle.SetPersonColors(std::move(colors));
}

std::string UTL_GraphLoader::Legend(const UTL_SocialGraph& graph,
                                    const UTL_Communities& communities, size_t largest)
{
    const auto& list = communities.List();
    std::string text =
        std::to_string(list.size()) + (list.size() == 1 ? " community" : " communities");
    for (size_t i = 0; i < list.size() && i < largest; ++i)
    {
        text += i == 0 ? "; largest: " : ", ";
        const UTL_GraphNode& best = graph.Node(list[i].bestConnected);
        text +=
            std::to_string(list[i].size) + " around " + (best.name.empty() ? best.id : best.name);
    }
    return text;
}

void UTL_GraphLoader::ToGraph(const UTL_FriendCircle& circle, UTL_SocialGraph& graph,
                              const std::vector<int>& communities)
{
    graph.Clear();
    auto add = [&graph](const GFX_Friend& person)
    {
        const size_t index = graph.AddNode(person.GetId());
        graph.Node(index).name = person.GetName();
        graph.Node(index).picture = PictureOf(person);
        return index;
    };
    const GFX_Friend* self = circle.GetSelf();
    size_t user = UTL_SocialGraph::NoNode;
    if (self)
        user = add(*self);
    const auto& friends = circle.GetFriends();
    for (size_t i = 0; i < friends.size(); ++i)
    {
        const size_t index = add(*friends[i]);
        if (i < communities.size() && index != user)
            graph.Node(index).community = communities[i];
    }
    graph.SetUser(user);
    for (const auto& line : circle.GetConnections())
    {
        const size_t a = graph.Find(line->GetId1());
        const size_t b = graph.Find(line->GetId2());
        if (a != UTL_SocialGraph::NoNode && b != UTL_SocialGraph::NoNode)
            graph.AddFriendship(a, b);
    }
}
