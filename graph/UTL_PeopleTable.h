#pragma once

#include <cstddef>
#include <string>
#include <vector>

class UTL_Centralities;
class UTL_SocialGraph;

// The people of a circle as a table, with no toolkit: one row per friend (the user has none)
// with their id, name, friends in this circle, community, betweenness and PageRank; sorted by
// any column either way and filtered by a typed text, then shown by a view or written as CSV.
//
// Sorting is stable from file order, so rows that tie on the column stay in file order in
// either direction and the same table always sorts the same. Names sort as they are matched,
// without regard to case or accents; ids made of digits sort by number. The filter keeps the
// rows whose name the text meets as the search bar's does (UTL_NameText::Match: "jose" keeps
// "José", "sm jo" keeps "John Smith") or whose id contains it.
//
// Plain data; rebuild it when the circle changes and hand it centralities when they arrive.
class UTL_PeopleTable
{
public:
    static constexpr size_t NoRow = size_t(-1);

    enum class Column
    {
        Id,
        Name,
        Friends,
        Community,
        Betweenness,
        PageRank,
    };
    static constexpr int ColumnCount = 6;

    enum class Order
    {
        Ascending,
        Descending,
    };

    struct Row
    {
        size_t node = 0;        // index in the graph
        std::string id;         // as the graph spells it
        std::string name;       // the id when the person has no name
        size_t friends = 0;     // friends in this circle, the user not counted
        int community = -1;     // as the graph's node carries it; -1 for none
        double betweenness = 0; // both 0 until the centralities are there
        double pageRank = 0;
        std::string foldedName; // name as UTL_NameText::Fold makes it
    };

    // One row per friend of `graph`, communities as its nodes carry them; the sort order and
    // the filter stay, the centralities are unknown until SetCentralities.
    void Build(const UTL_SocialGraph& graph);
    // Fills in betweenness and PageRank from a finished computation over the same graph.
    void SetCentralities(const UTL_Centralities& centralities);
    bool HasCentralities() const { return hasCentralities; }

    void Sort(Column column, Order order);
    Column SortColumn() const { return sortColumn; }
    Order SortOrder() const { return sortOrder; }

    // Keeps the rows `text` meets; empty (or nothing but spaces and punctuation) keeps all.
    void SetFilter(const std::string& text);
    const std::string& Filter() const { return filter; }

    // The rows shown: filtered, in sort order.
    size_t RowCount() const { return shown.size(); }
    const Row& At(size_t row) const { return rows[shown[row]]; }
    // The shown row of graph node `node`; NoRow for the user, a filtered-out or unknown node.
    size_t RowOf(size_t node) const;

    static const char* Title(Column column);
    // A cell as shown; the centralities' cells are empty until they are known.
    std::string Text(size_t row, Column column) const;

    // The shown rows as CSV (RFC 4180): a header row of the titles, then a line per row in the
    // shown order, CRLF line ends, fields with a comma, quote or line break quoted and quotes
    // doubled, UTF-8 (bytes that are not are replaced), numbers in full.
    std::string Csv() const;
    // Writes Csv() to `path` through a temporary file, so that a failed write leaves what was
    // there; false with `error` set when it cannot.
    bool WriteCsv(const std::string& path, std::string& error) const;

private:
    // Sorts and filters `rows` into `shown` again.
    void Arrange();
    bool Keeps(const Row& row, const std::string& foldedFilter) const;

    std::vector<Row> rows; // file order
    std::vector<size_t> shown;
    std::vector<size_t> shownRowOfNode; // per graph node; NoRow when not shown
    Column sortColumn = Column::Name;
    Order sortOrder = Order::Ascending;
    std::string filter;
    bool hasCentralities = false;
};
