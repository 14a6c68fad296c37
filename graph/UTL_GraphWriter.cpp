#include "graph/UTL_GraphWriter.h"

#include "graph/UTL_GraphBuilder.h"
#include "graph/UTL_SocialGraph.h"
#include "graph/UTL_XmlText.h"

#include <tinyxml.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace
{
constexpr const char* Replacement = "\xEF\xBF\xBD"; // U+FFFD

void Data(TiXmlElement* parent, const char* key, const std::string& value)
{
    auto* data = new TiXmlElement("data");
    data->SetAttribute("key", key);
    data->LinkEndChild(new TiXmlText(UTL_GraphWriter::Clean(value).c_str()));
    parent->LinkEndChild(data);
}

void Key(TiXmlElement* root, const char* id, const char* domain, const char* type)
{
    auto* key = new TiXmlElement("key");
    key->SetAttribute("id", id);
    key->SetAttribute("for", domain);
    key->SetAttribute("attr.name", id);
    key->SetAttribute("attr.type", type);
    root->LinkEndChild(key);
}

void Edge(TiXmlElement* graph, const UTL_SocialGraph& social, size_t a, size_t b)
{
    auto* edge = new TiXmlElement("edge");
    edge->SetAttribute("source", social.Node(a).id.c_str());
    edge->SetAttribute("target", social.Node(b).id.c_str());
    graph->LinkEndChild(edge);
}

// Why the graph cannot be written so that it opens again as it is; empty when it can. Ids are
// what friendships and the user are found by, so one that would read back otherwise (or not at
// all) is refused rather than changed.
std::string Unsaveable(const UTL_SocialGraph& social)
{
    if (social.NodeCount() > UTL_GraphBuilder::MaxNodes)
        return UTL_GraphBuilder::TooManyNodes();
    const size_t edges =
        social.Friendships().size() + (social.HasUser() ? social.NodeCount() - 1 : 0);
    if (edges > UTL_GraphBuilder::MaxEdges)
        return UTL_GraphBuilder::TooManyEdges();
    for (size_t i = 0; i < social.NodeCount(); ++i)
    {
        const std::string& id = social.Node(i).id;
        const std::string which = "node " + std::to_string(i + 1);
        if (id.empty())
            return which + " has no id";
        if (id.size() > UTL_GraphBuilder::MaxIdBytes)
            return "the id of " + which + " is longer than " +
                   std::to_string(UTL_GraphBuilder::MaxIdBytes) + " bytes";
        if (UTL_GraphWriter::Clean(id) != id)
            return "the id of " + which + " ('" + UTL_GraphWriter::Clean(id) +
                   "') holds a control character or broken UTF-8, which GraphML cannot hold";
    }
    return std::string();
}
} // namespace

std::string UTL_GraphWriter::Clean(const std::string& text)
{
    std::string clean;
    clean.reserve(text.size());
    for (size_t at = 0; at < text.size();)
    {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        const size_t length = UTL_XmlText::CharLength(text, at);
        if (length == 0)
        {
            clean += Replacement;
            ++at;
        }
        else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
        {
            clean += ' ';
            ++at;
        }
        else
        {
            clean.append(text, at, length);
            at += length;
        }
    }
    return clean;
}

bool UTL_GraphWriter::WriteGraphML(const UTL_SocialGraph& social, const std::string& path,
                                   std::string& error)
{
    const std::string problem = Unsaveable(social);
    if (!problem.empty())
    {
        error = path + ": cannot save: " + problem;
        return false;
    }

    TiXmlDocument document;
    document.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-8", ""));
    auto* root = new TiXmlElement("graphml");
    root->SetAttribute("xmlns", "http://graphml.graphdrawing.org/xmlns");
    root->SetAttribute("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance");
    root->SetAttribute("xsi:schemaLocation",
                       "http://graphml.graphdrawing.org/xmlns "
                       "http://graphml.graphdrawing.org/xmlns/1.0/graphml.xsd");
    document.LinkEndChild(root);
    const bool communities = social.HasCommunities();
    Key(root, "self", "graph", "string");
    Key(root, "name", "node", "string");
    Key(root, "picture", "node", "string");
    if (communities)
        Key(root, "community", "node", "int");

    auto* graph = new TiXmlElement("graph");
    graph->SetAttribute("id", "G");
    graph->SetAttribute("edgedefault", "undirected");
    root->LinkEndChild(graph);
    // Without a user the file says so, with an empty "self", lest a reader take someone joined
    // to everyone for the user.
    Data(graph, "self", social.HasUser() ? social.Node(social.User()).id : std::string());
    for (const UTL_GraphNode& node : social.Nodes())
    {
        auto* element = new TiXmlElement("node");
        element->SetAttribute("id", node.id.c_str());
        // Names and pictures as a reader keeps them: trimmed, names cut, overlong addresses
        // dropped. Empty ones are left out; they read back empty.
        const std::string name = UTL_GraphBuilder::KeptName(Clean(node.name));
        const std::string picture = UTL_GraphBuilder::KeptPicture(Clean(node.picture));
        if (!name.empty())
            Data(element, "name", name);
        if (!picture.empty())
            Data(element, "picture", picture);
        // Nodes without a community (the user) leave it out, which reads back as none.
        if (communities && node.community >= 0)
            Data(element, "community", std::to_string(node.community));
        graph->LinkEndChild(element);
    }
    if (social.HasUser())
        for (size_t friendNode : social.Friends())
            Edge(graph, social, social.User(), friendNode);
    for (const auto& [a, b] : social.Friendships())
        Edge(graph, social, a, b);

    const std::string temporary = path + ".part";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
    {
        error = path + ": cannot write: " + std::strerror(errno);
        return false;
    }
    const bool written = document.SaveFile(file);
    const bool flushed = std::fflush(file) == 0 && !std::ferror(file);
    const int savedErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !flushed || !closed || std::rename(temporary.c_str(), path.c_str()) != 0)
    {
        error = path + ": cannot write: " + std::strerror(savedErrno ? savedErrno : errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
