#pragma once

#include <string>

class UTL_GraphBuilder;

// GEXF 1.2 and 1.3 (and the 1.1 files Gephi still reads), through TinyXML: the nodes and edges
// of the graph, node labels as names, node attributes titled "name", "label", "image", "picture"
// or "pic" (declared in <attributes class="node"> and given in <attvalues>) as names and
// pictures, "community" or "modularity_class" as communities. Visual attributes (viz:color,
// viz:position, viz:size) and edge weights are read past; direction is dropped. A malformed file
// or an edge to an unknown node is an error naming the row and column.
class UTL_GexfReader
{
public:
    static bool Read(const std::string& text, UTL_GraphBuilder& builder, std::string& error);

    // Documents nested deeper than this are refused before parsing: the parser recurses once per
    // level.
    static constexpr int MaxDepth = 64;
};
