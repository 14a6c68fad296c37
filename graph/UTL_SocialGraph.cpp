#include "graph/UTL_SocialGraph.h"

#include <algorithm>

size_t UTL_SocialGraph::AddNode(const std::string& id)
{
    const auto found = byId.find(id);
    if (found != byId.end())
        return found->second;
    const size_t index = nodes.size();
    UTL_GraphNode node;
    node.id = id;
    nodes.push_back(std::move(node));
    byId.emplace(id, index);
    return index;
}

size_t UTL_SocialGraph::Find(const std::string& id) const
{
    const auto found = byId.find(id);
    return found == byId.end() ? NoNode : found->second;
}

bool UTL_SocialGraph::AddFriendship(size_t a, size_t b)
{
    if (a == b || a >= nodes.size() || b >= nodes.size() || a == user || b == user)
        return false;
    if (!pairs.insert(Key(a, b)).second)
        return false;
    friendships.emplace_back(std::min(a, b), std::max(a, b));
    return true;
}

bool UTL_SocialGraph::HasFriendship(size_t a, size_t b) const
{
    return a != b && pairs.count(Key(a, b)) != 0;
}

void UTL_SocialGraph::SetUser(size_t node)
{
    user = node < nodes.size() ? node : NoNode;
    if (user == NoNode)
        return;
    const auto touchesUser = [this](const std::pair<size_t, size_t>& pair)
    { return pair.first == user || pair.second == user; };
    for (const auto& pair : friendships)
        if (touchesUser(pair))
            pairs.erase(Key(pair.first, pair.second));
    friendships.erase(std::remove_if(friendships.begin(), friendships.end(), touchesUser),
                      friendships.end());
}

std::vector<size_t> UTL_SocialGraph::Friends() const
{
    std::vector<size_t> friends;
    friends.reserve(nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i)
        if (i != user)
            friends.push_back(i);
    return friends;
}

std::vector<size_t> UTL_SocialGraph::Degrees() const
{
    std::vector<size_t> degrees(nodes.size(), 0);
    for (const auto& [a, b] : friendships)
    {
        ++degrees[a];
        ++degrees[b];
    }
    return degrees;
}

size_t UTL_SocialGraph::BestConnected() const
{
    const std::vector<size_t> degrees = Degrees();
    if (degrees.empty())
        return NoNode;
    return size_t(std::max_element(degrees.begin(), degrees.end()) - degrees.begin());
}

size_t UTL_SocialGraph::JoinedToAll() const
{
    if (nodes.size() < 3 || user != NoNode)
        return NoNode;
    const std::vector<size_t> degrees = Degrees();
    const auto found = std::find(degrees.begin(), degrees.end(), nodes.size() - 1);
    return found == degrees.end() ? NoNode : size_t(found - degrees.begin());
}

bool UTL_SocialGraph::HasCommunities() const
{
    return std::any_of(nodes.begin(), nodes.end(),
                       [](const UTL_GraphNode& node) { return node.community != NoCommunity; });
}

void UTL_SocialGraph::Clear()
{
    *this = UTL_SocialGraph();
}
