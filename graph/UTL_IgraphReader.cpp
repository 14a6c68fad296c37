#include "graph/UTL_IgraphReader.h"

#include "graph/UTL_GraphBuilder.h"
#include "graph/UTL_GraphInput.h"
#include "graph/UTL_IgraphScope.h"

#include <igraph.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
// Owns an igraph graph and the lists of its attribute names for the reader's scope.
struct Parsed
{
    igraph_t graph;
    bool made = false;
    igraph_strvector_t graphNames, vertexNames, edgeNames;
    igraph_vector_int_t graphTypes, vertexTypes, edgeTypes;

    Parsed()
    {
        igraph_strvector_init(&graphNames, 0);
        igraph_strvector_init(&vertexNames, 0);
        igraph_strvector_init(&edgeNames, 0);
        igraph_vector_int_init(&graphTypes, 0);
        igraph_vector_int_init(&vertexTypes, 0);
        igraph_vector_int_init(&edgeTypes, 0);
    }
    ~Parsed()
    {
        igraph_vector_int_destroy(&edgeTypes);
        igraph_vector_int_destroy(&vertexTypes);
        igraph_vector_int_destroy(&graphTypes);
        igraph_strvector_destroy(&edgeNames);
        igraph_strvector_destroy(&vertexNames);
        igraph_strvector_destroy(&graphNames);
        if (made)
            igraph_destroy(&graph);
    }
    Parsed(const Parsed&) = delete;
    Parsed& operator=(const Parsed&) = delete;

    // The type of vertex attribute `name`, or -1 when there is none.
    int VertexType(const char* name) const
    {
        for (igraph_integer_t i = 0; i < igraph_strvector_size(&vertexNames); ++i)
            if (std::string(igraph_strvector_get(&vertexNames, i)) == name)
                return int(VECTOR(vertexTypes)[i]);
        return -1;
    }
    bool GraphString(const char* name) const
    {
        for (igraph_integer_t i = 0; i < igraph_strvector_size(&graphNames); ++i)
            if (std::string(igraph_strvector_get(&graphNames, i)) == name)
                return VECTOR(graphTypes)[i] == IGRAPH_ATTRIBUTE_STRING;
        return false;
    }

    // Vertex `v`'s attribute as text: strings as they are, whole numbers without a fraction.
    std::string Text(const char* name, igraph_integer_t v) const
    {
        const int type = VertexType(name);
        if (type == IGRAPH_ATTRIBUTE_STRING)
            return VAS(&graph, name, v);
        if (type == IGRAPH_ATTRIBUTE_NUMERIC)
        {
            const double value = VAN(&graph, name, v);
            if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
                return std::to_string(int64_t(value));
            return std::isnan(value) ? std::string() : std::to_string(value);
        }
        return std::string();
    }
    // The first of `names` that vertex `v` has a non-empty value for.
    std::string First(std::initializer_list<const char*> names, igraph_integer_t v) const
    {
        for (const char* name : names)
        {
            std::string value = Text(name, v);
            if (!value.empty())
                return value;
        }
        return std::string();
    }
};

// libxml2, under igraph's GraphML reader, hands attribute values over with entities and
// character references replaced, except that each '&' stays a reference, "&#38;" (the file's
// "&amp;" as much as its "&#38;"). Whether this libxml2 does, asked once with a file of one
// node; igraph is to be held by the caller's scope.
bool KeepsAmpersandReferences()
{
    static const bool keeps = []
    {
        char text[] = "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\"><graph "
                      "edgedefault=\"undirected\"><node id=\"&amp;\"/></graph></graphml>";
        FILE* stream = fmemopen(text, sizeof text - 1, "r");
        if (!stream)
            return true; // as the libxml2 of Debian 12 does
        Parsed parsed;
        parsed.made = igraph_read_graph_graphml(&parsed.graph, stream, 0) == IGRAPH_SUCCESS;
        std::fclose(stream);
        return !parsed.made || igraph_vcount(&parsed.graph) != 1 ||
               std::string(VAS(&parsed.graph, "id", 0)) == "&#38;";
    }();
    return keeps;
}

// An id as the file spells it, from what libxml2 handed over.
std::string AsSpelled(std::string id)
{
    if (KeepsAmpersandReferences())
        for (size_t at = id.find("&#38;"); at != std::string::npos; at = id.find("&#38;", at + 1))
            id.replace(at, 5, "&");
    return id;
}

const char* NameOf(UTL_IgraphReader::Kind kind)
{
    switch (kind)
    {
    case UTL_IgraphReader::Kind::GraphML:
        return "GraphML";
    case UTL_IgraphReader::Kind::Gml:
        return "GML";
    case UTL_IgraphReader::Kind::EdgeList:
        return "edge list";
    }
    return "graph";
}
} // namespace

bool UTL_IgraphReader::Read(Kind kind, UTL_GraphInput& input, UTL_GraphBuilder& builder,
                            std::string& error)
{
    // Lines of an edge list are short; GML puts an item a line, with room for long names.
    // GraphML goes to an XML parser that copes with any line.
    const size_t maxLine = kind == Kind::EdgeList ? MaxEdgeListLine
                           : kind == Kind::Gml    ? MaxGmlLine
                                                  : size_t(-1);
    FILE* stream = input.Stream(kind == Kind::EdgeList, maxLine);
    if (!stream)
    {
        error = "cannot read";
        return false;
    }
    UTL_IgraphScope scope;
    Parsed parsed;
    igraph_error_t result = IGRAPH_SUCCESS;
    switch (kind)
    {
    case Kind::GraphML:
        result = igraph_read_graph_graphml(&parsed.graph, stream, 0);
        break;
    case Kind::Gml:
        result = igraph_read_graph_gml(&parsed.graph, stream);
        break;
    case Kind::EdgeList:
        result = igraph_read_graph_ncol(&parsed.graph, stream, nullptr, true, IGRAPH_ADD_WEIGHTS_NO,
                                        IGRAPH_UNDIRECTED);
        break;
    }
    parsed.made = result == IGRAPH_SUCCESS;
    if (input.Failed())
    {
        error = "read error";
        return false;
    }
    if (input.LongLine())
    {
        error = "line " + std::to_string(input.LongLine()) + ": longer than " +
                std::to_string(maxLine) + " bytes";
        return false;
    }
    if (result != IGRAPH_SUCCESS)
    {
        error = scope.Error().empty() ? std::string("not a valid ") + NameOf(kind) + " file"
                                      : scope.Error();
        return false;
    }
    if (igraph_cattribute_list(&parsed.graph, &parsed.graphNames, &parsed.graphTypes,
                               &parsed.vertexNames, &parsed.vertexTypes, &parsed.edgeNames,
                               &parsed.edgeTypes) != IGRAPH_SUCCESS)
    {
        error = "cannot read the attributes: " + scope.Error();
        return false;
    }

    const igraph_integer_t vertices = igraph_vcount(&parsed.graph);
    const igraph_integer_t edges = igraph_ecount(&parsed.graph);
    if (size_t(vertices) > UTL_GraphBuilder::MaxNodes)
    {
        error = UTL_GraphBuilder::TooManyNodes();
        return false;
    }
    if (size_t(edges) > UTL_GraphBuilder::MaxEdges)
    {
        error = UTL_GraphBuilder::TooManyEdges();
        return false;
    }
    // Edge lists name their nodes by "name"; the other formats have an "id" and may name them.
    const bool namedById = kind == Kind::EdgeList;
    std::vector<size_t> index(static_cast<size_t>(vertices));
    for (igraph_integer_t v = 0; v < vertices; ++v)
    {
        std::string id = namedById               ? parsed.Text("name", v)
                         : kind == Kind::GraphML ? AsSpelled(parsed.Text("id", v))
                                                 : parsed.Text("id", v);
        if (id.empty())
            id = std::to_string(v);
        size_t node = 0;
        if (!builder.AddNode(id, node, error))
            return false;
        index[size_t(v)] = node;
        if (!namedById)
            builder.SetName(node, parsed.First({"name", "label"}, v));
        builder.SetPicture(node, parsed.First({"image", "picture", "pic"}, v));
        for (const char* attribute : {"community", "modularity_class"})
            if (parsed.VertexType(attribute) == IGRAPH_ATTRIBUTE_NUMERIC)
            {
                builder.SetCommunity(node, VAN(&parsed.graph, attribute, v));
                break;
            }
    }
    for (igraph_integer_t e = 0; e < edges; ++e)
        if (!builder.AddEdge(index[size_t(IGRAPH_FROM(&parsed.graph, e))],
                             index[size_t(IGRAPH_TO(&parsed.graph, e))], error))
            return false;
    if (parsed.GraphString("self"))
        builder.SetFileSelf(GAS(&parsed.graph, "self"));
    return true;
}
