#include "graph/UTL_GexfReader.h"

#include "graph/UTL_GraphBuilder.h"
#include "util/UTL_XmlNesting.h"

#include <tinyxml.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>

namespace
{
std::string Where(const TiXmlNode* node)
{
    return "line " + std::to_string(node->Row()) + ", column " + std::to_string(node->Column());
}

const char* Attribute(const TiXmlElement* element, const char* name)
{
    const char* value = element->Attribute(name);
    return value ? value : "";
}

// Whether an attribute's title or id is one of `names`, in any case and with blanks as
// underscores (Gephi titles its modularity "Modularity Class").
bool Is(const char* title, std::initializer_list<const char*> names)
{
    std::string plain;
    for (const char* c = title; *c; ++c)
        plain += *c == ' ' ? '_' : char(std::tolower(static_cast<unsigned char>(*c)));
    for (const char* name : names)
        if (plain == name)
            return true;
    return false;
}

enum class Role
{
    Name,
    Picture,
    Community,
};
} // namespace

bool UTL_GexfReader::Read(const std::string& text, UTL_GraphBuilder& builder, std::string& error)
{
    int line = 0;
    if (UTL_XmlNesting::DeeperThan(text, MaxDepth, &line))
    {
        error = "line " + std::to_string(line) + ": elements nested deeper than " +
                std::to_string(MaxDepth) + " levels";
        return false;
    }
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (document.Error())
    {
        error = "line " + std::to_string(document.ErrorRow()) + ", column " +
                std::to_string(document.ErrorCol()) + ": " + document.ErrorDesc();
        return false;
    }
    const TiXmlElement* root = document.RootElement();
    if (!root || std::strcmp(root->Value(), "gexf") != 0)
    {
        error = "not a GEXF file: the root element is not <gexf>";
        return false;
    }
    const TiXmlElement* graph = root->FirstChildElement("graph");
    if (!graph)
    {
        error = Where(root) + ": <gexf> holds no <graph>";
        return false;
    }

    // The node attributes that mean something here, by their id.
    std::map<std::string, Role> roles;
    for (const TiXmlElement* block = graph->FirstChildElement("attributes"); block;
         block = block->NextSiblingElement("attributes"))
    {
        if (std::strcmp(Attribute(block, "class"), "node") != 0)
            continue;
        for (const TiXmlElement* attribute = block->FirstChildElement("attribute"); attribute;
             attribute = attribute->NextSiblingElement("attribute"))
        {
            const char* id = Attribute(attribute, "id");
            for (const char* label : {Attribute(attribute, "title"), id})
            {
                if (Is(label, {"name", "label"}))
                    roles.emplace(id, Role::Name);
                else if (Is(label, {"image", "picture", "pic"}))
                    roles.emplace(id, Role::Picture);
                else if (Is(label, {"community", "modularity_class"}))
                    roles.emplace(id, Role::Community);
            }
        }
    }

    if (const TiXmlElement* nodes = graph->FirstChildElement("nodes"))
        for (const TiXmlElement* node = nodes->FirstChildElement("node"); node;
             node = node->NextSiblingElement("node"))
        {
            const char* id = node->Attribute("id");
            if (!id || !*id)
            {
                error = Where(node) + ": <node> without an id";
                return false;
            }
            size_t index = 0;
            if (!builder.AddNode(id, index, error))
            {
                error = Where(node) + ": " + error;
                return false;
            }
            builder.SetName(index, Attribute(node, "label"));
            const TiXmlElement* values = node->FirstChildElement("attvalues");
            for (const TiXmlElement* value = values ? values->FirstChildElement("attvalue")
                                                    : nullptr;
                 value; value = value->NextSiblingElement("attvalue"))
            {
                // GEXF 1.2 and 1.3 say "for", 1.1 files written by older tools "id".
                const char* key = value->Attribute("for");
                const auto role = roles.find(key ? key : Attribute(value, "id"));
                if (role == roles.end())
                    continue;
                const char* text = Attribute(value, "value");
                if (role->second == Role::Name && *text)
                    builder.SetName(index, text);
                else if (role->second == Role::Picture)
                    builder.SetPicture(index, text);
                else if (role->second == Role::Community && *text)
                {
                    char* end = nullptr;
                    const double number = std::strtod(text, &end);
                    if (end && *end == '\0')
                        builder.SetCommunity(index, number);
                }
            }
        }

    if (const TiXmlElement* edges = graph->FirstChildElement("edges"))
        for (const TiXmlElement* edge = edges->FirstChildElement("edge"); edge;
             edge = edge->NextSiblingElement("edge"))
        {
            const char* source = edge->Attribute("source");
            const char* target = edge->Attribute("target");
            if (!source || !target)
            {
                error = Where(edge) + ": <edge> without a source and a target";
                return false;
            }
            UTL_SocialGraph& social = builder.Graph();
            const size_t a = social.Find(source), b = social.Find(target);
            if (a == UTL_SocialGraph::NoNode || b == UTL_SocialGraph::NoNode)
            {
                error = Where(edge) + ": <edge> to an unknown node '" +
                        (a == UTL_SocialGraph::NoNode ? source : target) + "'";
                return false;
            }
            if (!builder.AddEdge(a, b, error))
            {
                error = Where(edge) + ": " + error;
                return false;
            }
        }
    return true;
}
