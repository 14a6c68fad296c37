#pragma once

#include <string>

class UTL_SocialGraph;

// Writes a circle of friends as GraphML that UTL_GraphReader reads back as the same graph and
// other tools (Gephi, NetworkX, igraph) open: every node with its id, "name" and "picture" (and
// "community" when the graph has communities), the friendships, and the user as the graph's
// "self" attribute (empty when there is none), with the user's implied friendships to everyone
// written out. The file is written beside the target and renamed over it at the end, so a
// failure leaves an existing file as it was. Names and pictures go as a reader keeps them, text
// that XML cannot hold (control characters, broken UTF-8) replaced. A graph that would not open
// again as it is — an id XML cannot hold, an empty or overlong one, more nodes or edges than a
// reader takes — is not written: the save fails with the reason.
class UTL_GraphWriter
{
public:
    static bool WriteGraphML(const UTL_SocialGraph& graph, const std::string& path,
                             std::string& error);
    // The XML-safe form of `text`: each byte of what XML cannot hold (broken UTF-8, U+FFFE,
    // U+FFFF) becomes U+FFFD, each control character other than tab, line feed and carriage
    // return a space.
    static std::string Clean(const std::string& text);
};
