#include "sim/UTL_GraphLoader.h"

#include "graph/UTL_SocialGraph.h"
#include "net/UTL_FriendReceiver.h"
#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_Foto.h"
#include "scene/GFX_Friend.h"
#include "sim/UTL_FriendCircle.h"

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
