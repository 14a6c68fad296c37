#pragma once

#include "graph/UTL_PeopleTable.h"

#include <QAbstractTableModel>

// The people table of a circle (UTL_PeopleTable) as a Qt item model: a row per friend with their
// name, friends in this circle, community, betweenness and PageRank, sorted by a view's header
// (Qt's sort) and filtered by a typed text as the table does both, with or without a view.
//
// It keeps a table of its own: a new one (friendships arrived, centralities computed) takes the
// place of the old with the sort order and the filter the user chose. User-interface thread.
class UI_PeopleModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit UI_PeopleModel(QObject* parent = nullptr);

    // The table to show, sorted and filtered as the one shown was.
    void SetTable(UTL_PeopleTable table);
    const UTL_PeopleTable& GetTable() const { return table; }
    // Keeps the rows whose name the text meets or whose id holds it.
    void SetFilterText(const QString& text);
    // The id of the person on a row shown; empty outside the rows.
    QString IdAt(int row) const;

    // The table's column of a column of this model.
    static UTL_PeopleTable::Column ColumnAt(int column);
    static constexpr int Columns = 5;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    UTL_PeopleTable table;
};
