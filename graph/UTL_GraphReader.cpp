#include "graph/UTL_GraphReader.h"

#include "graph/UTL_GexfReader.h"
#include "graph/UTL_GraphBuilder.h"
#include "graph/UTL_IgraphReader.h"
#include "graph/UTL_TextGraphReader.h"
#include "util/UTL_TextBound.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace
{
struct Extension
{
    const char* extension;
    UTL_GraphReader::Format format;
};
constexpr Extension Extensions[] = {
    {".graphml", UTL_GraphReader::Format::GraphML},   {".gml", UTL_GraphReader::Format::Gml},
    {".gexf", UTL_GraphReader::Format::Gexf},         {".csv", UTL_GraphReader::Format::Csv},
    {".edges", UTL_GraphReader::Format::Snap},        {".txt", UTL_GraphReader::Format::EdgeList},
    {".edgelist", UTL_GraphReader::Format::EdgeList},
};
} // namespace

UTL_GraphReader::Format UTL_GraphReader::FormatOf(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    for (const Extension& known : Extensions)
        if (extension == known.extension)
            return known.format;
    return Format::Auto;
}

const char* UTL_GraphReader::NameOf(Format format)
{
    switch (format)
    {
    case Format::Auto:
        break;
    case Format::GraphML:
        return "GraphML";
    case Format::Gml:
        return "GML";
    case Format::Gexf:
        return "GEXF";
    case Format::Csv:
        return "CSV";
    case Format::Snap:
        return "SNAP ego network";
    case Format::EdgeList:
        return "edge list";
    }
    return "graph";
}

std::string UTL_GraphReader::Patterns()
{
    std::string patterns;
    for (const Extension& known : Extensions)
        patterns += std::string(patterns.empty() ? "*" : " *") + known.extension;
    return patterns;
}

bool UTL_GraphReader::Read(const std::string& path, UTL_SocialGraph& graph,
                           std::string& error) const
{
    const Format chosen = format == Format::Auto ? FormatOf(path) : format;
    if (chosen == Format::Auto)
    {
        error = path + ": unknown kind of graph file; expected one of " + Patterns();
        return false;
    }
    UTL_GraphInput input;
    if (!input.Open(path, MaxFileBytes, progress, error))
        return false;

    UTL_SocialGraph read;
    UTL_GraphBuilder builder(read, path);
    std::string problem;
    bool ok = false;
    switch (chosen)
    {
    case Format::GraphML:
        ok = UTL_IgraphReader::Read(UTL_IgraphReader::Kind::GraphML, input, builder, problem);
        break;
    case Format::Gml:
        ok = UTL_IgraphReader::Read(UTL_IgraphReader::Kind::Gml, input, builder, problem);
        break;
    case Format::EdgeList:
        ok = UTL_IgraphReader::Read(UTL_IgraphReader::Kind::EdgeList, input, builder, problem);
        break;
    case Format::Gexf:
    {
        std::string text;
        ok = input.ReadAll(text);
        if (!ok)
            problem = "read error";
        else
            ok = UTL_GexfReader::Read(text, builder, problem);
        break;
    }
    case Format::Csv:
        // The text readers name the file and the line themselves.
        if (!UTL_TextGraphReader::ReadCsv(path, input, builder, error))
            return false;
        ok = true;
        break;
    case Format::Snap:
        if (!UTL_TextGraphReader::ReadSnap(path, input, circles, builder, error))
            return false;
        ok = true;
        break;
    case Format::Auto:
        break;
    }
    // igraph's edge list parser does not always say where it stumbled.
    if (!ok && chosen == Format::EdgeList && problem.find("line") == std::string::npos)
        if (const int64_t line = UTL_TextGraphReader::FirstBadEdgeLine(path))
            problem = "line " + std::to_string(line) + ": " + problem;
    if (!ok)
    {
        error = path + ": " + problem;
        return false;
    }

    const bool named = !self.empty() || builder.FileStatesSelf();
    const std::string& user = self.empty() ? builder.FileSelf() : self;
    if (!user.empty())
    {
        const size_t node = read.Find(user);
        if (node == UTL_SocialGraph::NoNode)
        {
            error = path + ": no node with the id '" + user + "' to be the user";
            return false;
        }
        read.SetUser(node);
    }
    else if (!named)
        read.SetUser(read.JoinedToAll());
    if (builder.NamesCut() > 0)
        read.Warnings().push_back(path + ": names longer than " +
                                  std::to_string(UTL_TextBound::MaxCharacters) +
                                  " characters cut: " + std::to_string(builder.NamesCut()));
    graph = std::move(read);
    return true;
}
