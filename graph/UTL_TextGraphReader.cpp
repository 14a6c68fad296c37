#include "graph/UTL_TextGraphReader.h"

#include "graph/UTL_GraphBuilder.h"
#include "graph/UTL_GraphInput.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <strings.h>
#include <vector>

namespace
{
// Node table files are read whole before the edges; they are bounded like the edge list.
constexpr uint64_t MaxTableBytes = 64ull << 20;

std::string Trim(const std::string& text)
{
    const size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return std::string();
    const size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

// Splits one CSV line into fields; false for an unterminated quote.
bool SplitCsv(const std::string& line, char separator, std::vector<std::string>& fields)
{
    fields.clear();
    std::string field;
    bool quoted = false, wasQuoted = false;
    for (size_t i = 0; i < line.size(); ++i)
    {
        const char c = line[i];
        if (quoted)
        {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"')
            {
                field += '"';
                ++i;
            }
            else if (c == '"')
                quoted = false;
            else
                field += c;
        }
        else if (c == '"' && Trim(field).empty())
        {
            quoted = wasQuoted = true;
            field.clear();
        }
        else if (c == separator)
        {
            fields.push_back(wasQuoted ? field : Trim(field));
            field.clear();
            wasQuoted = false;
        }
        else if (!wasQuoted)
            field += c;
    }
    if (quoted)
        return false;
    fields.push_back(wasQuoted ? field : Trim(field));
    return true;
}

char SeparatorOf(const std::string& line)
{
    if (line.find(',') != std::string::npos)
        return ',';
    if (line.find(';') != std::string::npos)
        return ';';
    if (line.find('\t') != std::string::npos)
        return '\t';
    return ',';
}

bool Blank(const std::string& line)
{
    return line.find_first_not_of(" \t") == std::string::npos;
}

std::string At(const std::string& path, int64_t line)
{
    return path + ":" + std::to_string(line) + ": ";
}

// Calls `row` with the number and fields of every non-blank CSV line of `input`; the
// separator is found on the first line. Stops at the first row that `row` refuses.
template <class Row>
bool ForEachCsvRow(const std::string& path, UTL_GraphInput& input, Row row, std::string& error)
{
    std::string line;
    std::vector<std::string> fields;
    char separator = ',';
    for (int64_t number = 1; input.ReadLine(line, UTL_TextGraphReader::MaxCsvLine); ++number)
    {
        if (line.size() > UTL_TextGraphReader::MaxCsvLine)
        {
            error = At(path, number) + "line too long";
            return false;
        }
        if (number == 1)
            separator = SeparatorOf(line);
        if (Blank(line))
            continue;
        if (!SplitCsv(line, separator, fields))
        {
            error = At(path, number) + "unterminated quote";
            return false;
        }
        if (!row(number, fields, separator))
            return false;
    }
    if (input.Failed())
    {
        error = path + ": read error";
        return false;
    }
    return true;
}

// The node table: "id,name,picture", header optional.
bool ReadNodeTable(const std::string& path, UTL_GraphBuilder& builder, std::string& error)
{
    UTL_GraphInput input;
    if (!input.Open(path, MaxTableBytes, nullptr, error))
        return false;
    auto row = [&](int64_t number, const std::vector<std::string>& fields, char)
    {
        if (number == 1 && strcasecmp(fields[0].c_str(), "id") == 0)
            return true;
        size_t node = 0;
        if (fields[0].empty() || !builder.AddNode(fields[0], node, error))
        {
            error = At(path, number) + (fields[0].empty() ? "expected a node id" : error);
            return false;
        }
        if (fields.size() > 1)
            builder.SetName(node, fields[1]);
        if (fields.size() > 2)
            builder.SetPicture(node, fields[2]);
        return true;
    };
    return ForEachCsvRow(path, input, row, error);
}

// A SNAP node id: decimal digits only, at most nine of them.
bool ParseSnapId(const std::string& text)
{
    return !text.empty() && text.size() <= 9 &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

// The canonical spelling of a SNAP id, so that "007" and "7" are one node.
std::string SnapId(const std::string& text)
{
    return std::to_string(std::stoll(text));
}

// Splits a line on blanks and tabs.
std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    size_t at = line.find_first_not_of(" \t");
    while (at != std::string::npos)
    {
        const size_t end = line.find_first_of(" \t", at);
        words.push_back(line.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? end : line.find_first_not_of(" \t", end);
    }
    return words;
}

bool ReadCircles(const std::string& path, UTL_GraphBuilder& builder, std::string& error)
{
    UTL_GraphInput input;
    if (!input.Open(path, MaxTableBytes, nullptr, error))
        return false;
    UTL_SocialGraph& graph = builder.Graph();
    std::string line;
    for (int64_t number = 1; input.ReadLine(line, UTL_TextGraphReader::MaxCsvLine); ++number)
    {
        if (line.size() > UTL_TextGraphReader::MaxCsvLine)
        {
            error = At(path, number) + "line too long";
            return false;
        }
        const std::vector<std::string> words = Words(line);
        if (words.empty() || words[0][0] == '#')
            continue;
        UTL_GraphCircle circle;
        circle.name = builder.Name(words[0]);
        for (size_t w = 1; w < words.size(); ++w)
        {
            if (!ParseSnapId(words[w]))
            {
                error = At(path, number) + "expected node ids after the circle's name";
                return false;
            }
            const size_t member = graph.Find(SnapId(words[w]));
            if (member != UTL_SocialGraph::NoNode)
                circle.members.push_back(member);
        }
        graph.Circles().push_back(std::move(circle));
    }
    if (input.Failed())
    {
        error = path + ": read error";
        return false;
    }
    return true;
}
} // namespace

int64_t UTL_TextGraphReader::FirstBadEdgeLine(const std::string& path)
{
    UTL_GraphInput input;
    std::string error, line;
    if (!input.Open(path, UINT64_MAX, nullptr, error))
        return 0;
    for (int64_t number = 1; input.ReadLine(line, MaxCsvLine); ++number)
    {
        const std::vector<std::string> words = Words(line);
        if (words.empty() || words[0][0] == '#' || words[0][0] == '%')
            continue;
        char* end = nullptr;
        if (words.size() < 2 || words.size() > 3 ||
            (words.size() == 3 && (std::strtod(words[2].c_str(), &end), *end != '\0')))
            return number;
    }
    return 0;
}

std::string UTL_TextGraphReader::NodeTableOf(const std::string& path)
{
    std::filesystem::path table(path);
    table.replace_extension(".nodes.csv");
    return table.string();
}

bool UTL_TextGraphReader::ReadCsv(const std::string& path, UTL_GraphInput& input,
                                  UTL_GraphBuilder& builder, std::string& error)
{
    const std::string table = NodeTableOf(path);
    std::error_code ignored;
    if (table != path && std::filesystem::exists(table, ignored) &&
        !ReadNodeTable(table, builder, error))
        return false;

    auto row = [&](int64_t number, const std::vector<std::string>& fields, char separator)
    {
        const auto is = [&](size_t field, const char* word)
        { return strcasecmp(fields[field].c_str(), word) == 0; };
        if (number == 1 && fields.size() >= 2 &&
            ((is(0, "source") && is(1, "target")) || (is(0, "from") && is(1, "to"))))
            return true;
        if (fields.size() < 2 || fields[0].empty() || fields[1].empty())
        {
            error = At(path, number) + "expected source" + separator + "target";
            return false;
        }
        if (!builder.AddEdge(fields[0], fields[1], error))
        {
            error = At(path, number) + error;
            return false;
        }
        return true;
    };
    return ForEachCsvRow(path, input, row, error);
}

bool UTL_TextGraphReader::ReadSnap(const std::string& path, UTL_GraphInput& input, bool circles,
                                   UTL_GraphBuilder& builder, std::string& error)
{
    const std::filesystem::path file(path);
    const std::string stem = file.stem().string();
    if (!ParseSnapId(stem))
    {
        error = path + ": the file name must be the ego's id, as in 107.edges";
        return false;
    }
    const std::string ego = SnapId(stem);
    size_t egoNode = 0;
    if (!builder.AddNode(ego, egoNode, error))
        return false;

    std::string line;
    for (int64_t number = 1; input.ReadLine(line, MaxLine); ++number)
    {
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
            line.pop_back();
        const std::vector<std::string> words = Words(line);
        if (line.size() <= MaxLine && (words.empty() || words[0][0] == '#'))
            continue;
        if (line.size() > MaxLine || words.size() != 2 || !ParseSnapId(words[0]) ||
            !ParseSnapId(words[1]))
        {
            error = At(path, number) + "expected two node ids";
            return false;
        }
        size_t a = 0, b = 0;
        if (!builder.AddNode(SnapId(words[0]), a, error) ||
            !builder.AddNode(SnapId(words[1]), b, error) || !builder.AddEdge(a, b, error))
        {
            error = At(path, number) + error;
            return false;
        }
    }
    if (input.Failed())
    {
        error = path + ": read error";
        return false;
    }
    builder.SetFileSelf(ego);

    std::filesystem::path circleFile(file);
    circleFile.replace_extension(".circles");
    std::error_code ignored;
    return !circles || !std::filesystem::exists(circleFile, ignored) ||
           ReadCircles(circleFile.string(), builder, error);
}
