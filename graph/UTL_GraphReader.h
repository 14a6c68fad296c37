#pragma once

#include "graph/UTL_GraphInput.h"
#include "graph/UTL_SocialGraph.h"

#include <cstdint>
#include <string>

// Reads a graph file into a UTL_SocialGraph. The format follows the extension:
//   .graphml          GraphML (igraph)            .gexf        GEXF 1.2 / 1.3 (TinyXML)
//   .gml              GML (igraph)                .csv         CSV edge list (+ FILE.nodes.csv)
//   .txt .edgelist    plain edge list (igraph)    .edges       SNAP ego network (+ N.circles)
// The user is the node the caller names (SetSelf), else the one the file names (the SNAP ego, a
// saved graph's "self", which may also say that there is none), else the first node joined to
// every other one (an ego network exported with its owner in it), else none. A file is bounded: at
// most MaxFileBytes, and the node and edge bounds of UTL_GraphBuilder. A failure leaves the graph
// untouched and sets an error that names the file and, where the format allows, the line or
// element: nothing half-read comes back. Blocks the calling thread for the length of the read;
// progress is reported in bytes read, on that thread, at most once a megabyte and once at the end.
// Names past their bound are cut, not refused; the graph's Warnings() say how many. Readers on
// several threads take turns inside igraph, whose state is process-wide.
class UTL_GraphReader
{
public:
    enum class Format
    {
        Auto,
        GraphML,
        Gml,
        Gexf,
        Csv,
        Snap,
        EdgeList,
    };
    using Progress = UTL_GraphInput::Progress;

    static constexpr uint64_t MaxFileBytes = 256ull << 20;

    void SetFormat(Format value) { format = value; }
    // The id of the node that is the user; empty: as the file says.
    void SetSelf(const std::string& id) { self = id; }
    // Whether SNAP circles beside the edges are read (on by default).
    void SetCircles(bool value) { circles = value; }
    void SetProgress(Progress value) { progress = std::move(value); }

    bool Read(const std::string& path, UTL_SocialGraph& graph, std::string& error) const;

    // The format of `path` by its extension (case-insensitive); Auto when it has none of them.
    static Format FormatOf(const std::string& path);
    static const char* NameOf(Format format);
    // The extensions, for a file dialog's filter and for messages: "*.graphml *.gml ...".
    static std::string Patterns();

private:
    Format format = Format::Auto;
    std::string self;
    bool circles = true;
    Progress progress;
};
