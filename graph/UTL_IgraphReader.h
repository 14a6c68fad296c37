#pragma once

#include <string>

class UTL_GraphBuilder;
class UTL_GraphInput;

// The formats igraph reads: GraphML (the first graph of the file), GML and plain edge lists
// ("a b" a line, an optional third column of weights, '#' and '%' comment lines; read as igraph's
// NCOL, so node ids are names, not indices). Direction is dropped. Node attributes "name" or
// "label" give names, "image", "picture" or "pic" pictures, "community" or "modularity_class"
// communities; a graph attribute "self" names the user.
class UTL_IgraphReader
{
public:
    enum class Kind
    {
        GraphML,
        Gml,
        EdgeList,
    };

    static constexpr size_t MaxEdgeListLine = 64 * 1024;
    static constexpr size_t MaxGmlLine = 1024 * 1024;

    static bool Read(Kind kind, UTL_GraphInput& input, UTL_GraphBuilder& builder,
                     std::string& error);
};
