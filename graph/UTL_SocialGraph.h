#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

// One person of a graph file: the file's own id, and what the file says about them.
struct UTL_GraphNode
{
    std::string id;      // unique within the graph, as the file spells it
    std::string name;    // empty when the file names nobody
    std::string picture; // a web address, or an absolute path of a local file; empty for none
    int community = -1;  // UTL_SocialGraph::NoCommunity until computed or read
};

// A named group of people from the file (the circles of a SNAP ego network).
struct UTL_GraphCircle
{
    std::string name;
    std::vector<size_t> members; // node indices
};

// A circle of friends as a graph file holds it: nodes in the order the file introduces them, the
// friendships as unique undirected pairs (smaller index first, self-loops and repeats folded),
// and optionally the user. The user is a friend of every other node, as in an ego network, so the
// user's own friendships are implied and never stored: Friendships() are those among the friends.
// Plain data; no igraph, no XML.
class UTL_SocialGraph
{
public:
    static constexpr size_t NoNode = size_t(-1);
    static constexpr int NoCommunity = -1;

    // The node with `id`, added at the end when new.
    size_t AddNode(const std::string& id);
    size_t Find(const std::string& id) const;

    // Adds the friendship of nodes `a` and `b`; false when it is folded away (a self-loop, a pair
    // already there, or a friendship of the user, which is implied).
    bool AddFriendship(size_t a, size_t b);
    bool HasFriendship(size_t a, size_t b) const;

    // Makes `node` the user (NoNode: no user); its stored friendships go, being implied now.
    void SetUser(size_t node);
    size_t User() const { return user; }
    bool HasUser() const { return user != NoNode; }

    size_t NodeCount() const { return nodes.size(); }
    const std::vector<UTL_GraphNode>& Nodes() const { return nodes; }
    UTL_GraphNode& Node(size_t index) { return nodes[index]; }
    const UTL_GraphNode& Node(size_t index) const { return nodes[index]; }
    const std::vector<std::pair<size_t, size_t>>& Friendships() const { return friendships; }

    // Every node but the user, in file order: the people on the globe.
    std::vector<size_t> Friends() const;
    // The number of stored friendships of each node.
    std::vector<size_t> Degrees() const;
    // The node with the most friendships (the first of equals); NoNode for an empty graph.
    size_t BestConnected() const;
    // The first node, in file order, that is a friend of every other node, as the owner of an
    // ego network exported with its owner in it is; NoNode when none is, when the graph has its
    // user already, or when it has fewer than three nodes, where being joined to everyone tells
    // nothing.
    size_t JoinedToAll() const;
    bool HasCommunities() const;

    std::vector<UTL_GraphCircle>& Circles() { return circles; }
    const std::vector<UTL_GraphCircle>& Circles() const { return circles; }

    // What reading the file changed to keep it within its bounds (names cut), one line each for
    // the event log of whoever shows the graph; empty when the file was taken as it is.
    std::vector<std::string>& Warnings() { return warnings; }
    const std::vector<std::string>& Warnings() const { return warnings; }

    void Clear();

private:
    static size_t Key(size_t a, size_t b) { return a < b ? (a << 32) | b : (b << 32) | a; }

    std::vector<UTL_GraphNode> nodes;
    std::unordered_map<std::string, size_t> byId;
    std::vector<std::pair<size_t, size_t>> friendships;
    std::unordered_set<size_t> pairs; // Key() of every friendship
    std::vector<UTL_GraphCircle> circles;
    std::vector<std::string> warnings;
    size_t user = NoNode;
};
