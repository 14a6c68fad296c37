#include "graph/UTL_PeopleTable.h"

#include "graph/UTL_Centralities.h"
#include "graph/UTL_SocialGraph.h"
#include "util/UTL_NameText.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace
{
bool AllDigits(const std::string& text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Ids in their natural order: numbers by value (however many digits), numbers before the
// rest, the rest bytewise. Negative below, zero for equal, positive above.
int CompareIds(const std::string& a, const std::string& b)
{
    const bool numberA = AllDigits(a), numberB = AllDigits(b);
    if (numberA != numberB)
        return numberA ? -1 : 1;
    if (numberA)
    {
        const std::string trimmedA = a.substr(std::min(a.find_first_not_of('0'), a.size()));
        const std::string trimmedB = b.substr(std::min(b.find_first_not_of('0'), b.size()));
        if (trimmedA.size() != trimmedB.size())
            return trimmedA.size() < trimmedB.size() ? -1 : 1;
        return trimmedA.compare(trimmedB);
    }
    return a.compare(b);
}

template <typename T> int Compare(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

std::string Number(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void AppendField(std::string& csv, const std::string& field)
{
    const std::string text = UTL_NameText::ValidUtf8(field);
    if (text.find_first_of(",\"\r\n") == std::string::npos)
    {
        csv += text;
        return;
    }
    csv += '"';
    for (char c : text)
    {
        if (c == '"')
            csv += '"';
        csv += c;
    }
    csv += '"';
}
} // namespace

void UTL_PeopleTable::Build(const UTL_SocialGraph& graph)
{
    const std::vector<size_t> degrees = graph.Degrees();
    rows.clear();
    rows.reserve(graph.NodeCount());
    for (size_t node : graph.Friends())
    {
        const UTL_GraphNode& person = graph.Node(node);
        Row row;
        row.node = node;
        row.id = person.id;
        row.name = person.name.empty() ? person.id : person.name;
        row.friends = degrees[node];
        row.community = person.community;
        row.foldedName = UTL_NameText::Fold(row.name);
        rows.push_back(std::move(row));
    }
    shownRowOfNode.assign(graph.NodeCount(), NoRow);
    hasCentralities = false;
    Arrange();
}

void UTL_PeopleTable::SetCentralities(const UTL_Centralities& centralities)
{
    for (Row& row : rows)
    {
        row.betweenness = centralities.Betweenness(row.node);
        row.pageRank = centralities.PageRank(row.node);
    }
    hasCentralities = centralities.Ready();
    Arrange();
}

void UTL_PeopleTable::Sort(Column column, Order order)
{
    sortColumn = column;
    sortOrder = order;
    Arrange();
}

void UTL_PeopleTable::SetFilter(const std::string& text)
{
    filter = text;
    Arrange();
}

bool UTL_PeopleTable::Keeps(const Row& row, const std::string& foldedFilter) const
{
    return foldedFilter.empty() ||
           UTL_NameText::Match(row.foldedName, foldedFilter) != UTL_NameText::Meet::Not ||
           UTL_NameText::Fold(row.id).find(foldedFilter) != std::string::npos;
}

void UTL_PeopleTable::Arrange()
{
    const auto compare = [this](const Row& a, const Row& b)
    {
        switch (sortColumn)
        {
        case Column::Id:
            return CompareIds(a.id, b.id);
        case Column::Name:
        {
            const int folded = a.foldedName.compare(b.foldedName);
            return folded != 0 ? folded : a.name.compare(b.name);
        }
        case Column::Friends:
            return Compare(a.friends, b.friends);
        case Column::Community:
            return Compare(a.community, b.community);
        case Column::Betweenness:
            return Compare(a.betweenness, b.betweenness);
        case Column::PageRank:
            return Compare(a.pageRank, b.pageRank);
        }
        return 0;
    };
    const int direction = sortOrder == Order::Ascending ? 1 : -1;

    std::vector<size_t> order(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        order[i] = i;
    // Stable from file order: ties keep it whichever way the column runs.
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return direction * compare(rows[a], rows[b]) < 0; });

    const std::string foldedFilter = UTL_NameText::Fold(filter);
    shown.clear();
    std::fill(shownRowOfNode.begin(), shownRowOfNode.end(), NoRow);
    for (size_t i : order)
        if (Keeps(rows[i], foldedFilter))
        {
            if (rows[i].node < shownRowOfNode.size())
                shownRowOfNode[rows[i].node] = shown.size();
            shown.push_back(i);
        }
}

size_t UTL_PeopleTable::RowOf(size_t node) const
{
    return node < shownRowOfNode.size() ? shownRowOfNode[node] : NoRow;
}

const char* UTL_PeopleTable::Title(Column column)
{
    switch (column)
    {
    case Column::Id:
        return "Id";
    case Column::Name:
        return "Name";
    case Column::Friends:
        return "Friends in this circle";
    case Column::Community:
        return "Community";
    case Column::Betweenness:
        return "Betweenness";
    case Column::PageRank:
        return "PageRank";
    }
    return "";
}

std::string UTL_PeopleTable::Text(size_t row, Column column) const
{
    const Row& person = At(row);
    switch (column)
    {
    case Column::Id:
        return person.id;
    case Column::Name:
        return person.name;
    case Column::Friends:
        return std::to_string(person.friends);
    case Column::Community:
        return person.community >= 0 ? std::to_string(person.community) : std::string();
    case Column::Betweenness:
        return hasCentralities ? Number("%.1f", person.betweenness) : std::string();
    case Column::PageRank:
        return hasCentralities ? Number("%.6f", person.pageRank) : std::string();
    }
    return std::string();
}

std::string UTL_PeopleTable::Csv() const
{
    std::string csv;
    for (int c = 0; c < ColumnCount; ++c)
    {
        if (c > 0)
            csv += ',';
        csv += Title(Column(c));
    }
    csv += "\r\n";
    for (size_t row = 0; row < RowCount(); ++row)
    {
        for (int c = 0; c < ColumnCount; ++c)
        {
            const auto column = Column(c);
            if (c > 0)
                csv += ',';
            // Centralities in full, not rounded as shown.
            if (hasCentralities && column == Column::Betweenness)
                csv += Number("%.10g", At(row).betweenness);
            else if (hasCentralities && column == Column::PageRank)
                csv += Number("%.10g", At(row).pageRank);
            else
                AppendField(csv, Text(row, column));
        }
        csv += "\r\n";
    }
    return csv;
}

bool UTL_PeopleTable::WriteCsv(const std::string& path, std::string& error) const
{
    const std::string csv = Csv();
    const std::string temporary = path + ".part";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
    {
        error = path + ": cannot write: " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(csv.data(), 1, csv.size(), file) == csv.size();
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
