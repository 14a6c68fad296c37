#include "graph/UTL_GraphBuilder.h"

#include "util/UTL_TextBound.h"

#include <cctype>
#include <cmath>
#include <filesystem>
#include <string_view>

namespace
{
std::string WithCommas(size_t n)
{
    std::string digits = std::to_string(n);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return digits;
}

bool IsUrl(const std::string& address)
{
    const size_t colon = address.find("://");
    if (colon == std::string::npos || colon == 0)
        return false;
    for (size_t i = 0; i < colon; ++i)
    {
        const unsigned char c = static_cast<unsigned char>(address[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return std::isalpha(static_cast<unsigned char>(address[0])) != 0;
}

// Leading and trailing white space off.
std::string_view Trim(std::string_view text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(begin, end - begin);
}
} // namespace

UTL_GraphBuilder::UTL_GraphBuilder(UTL_SocialGraph& graph, const std::string& path) : graph(graph)
{
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    folder = absolute.parent_path().string();
}

std::string UTL_GraphBuilder::TooManyNodes()
{
    return "more than " + WithCommas(MaxNodes) + " nodes, more than Halvane opens";
}

std::string UTL_GraphBuilder::TooManyEdges()
{
    return "more than " + WithCommas(MaxEdges) + " edges, more than Halvane opens";
}

bool UTL_GraphBuilder::AddNode(const std::string& id, size_t& index, std::string& error)
{
    index = graph.Find(id);
    if (index != UTL_SocialGraph::NoNode)
        return true;
    if (id.size() > MaxIdBytes)
    {
        error = "a node id longer than " + std::to_string(MaxIdBytes) + " bytes";
        return false;
    }
    if (graph.NodeCount() >= MaxNodes)
    {
        error = TooManyNodes();
        return false;
    }
    index = graph.AddNode(id);
    return true;
}

bool UTL_GraphBuilder::AddEdge(size_t a, size_t b, std::string& error)
{
    if (++edges > MaxEdges)
    {
        error = TooManyEdges();
        return false;
    }
    graph.AddFriendship(a, b);
    return true;
}

bool UTL_GraphBuilder::AddEdge(const std::string& a, const std::string& b, std::string& error)
{
    size_t first = 0, second = 0;
    return AddNode(a, first, error) && AddNode(b, second, error) && AddEdge(first, second, error);
}

void UTL_GraphBuilder::SetName(size_t index, const std::string& name)
{
    graph.Node(index).name = Name(name);
}

std::string UTL_GraphBuilder::Name(const std::string& text)
{
    bool cut = false;
    std::string name = KeptName(text, &cut);
    namesCut += cut ? 1 : 0;
    return name;
}

std::string UTL_GraphBuilder::KeptName(const std::string& text, bool* cut)
{
    return UTL_TextBound::Cut(Trim(text), UTL_TextBound::MaxCharacters, cut);
}

std::string UTL_GraphBuilder::KeptPicture(const std::string& address)
{
    const std::string_view trimmed = Trim(address);
    return trimmed.size() > MaxPictureBytes ? std::string() : std::string(trimmed);
}

void UTL_GraphBuilder::SetPicture(size_t index, const std::string& address)
{
    const std::string kept = KeptPicture(address);
    graph.Node(index).picture = kept.empty() ? std::string() : ResolvePicture(folder, kept);
}

void UTL_GraphBuilder::SetCommunity(size_t index, double value)
{
    // Community numbers are small whole numbers; anything else is no community.
    if (std::isfinite(value) && value >= 0 && value < double(MaxNodes) &&
        value == std::floor(value))
        graph.Node(index).community = int(value);
}

std::string UTL_GraphBuilder::ResolvePicture(const std::string& folder, const std::string& address)
{
    if (address.empty() || IsUrl(address) || address[0] == '/')
        return address;
    return (std::filesystem::path(folder) / address).lexically_normal().string();
}
