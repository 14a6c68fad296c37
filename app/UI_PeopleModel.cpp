#include "app/UI_PeopleModel.h"

namespace
{
// The columns shown; the id, which the CSV keeps, is only a name's stand-in on screen.
constexpr UTL_PeopleTable::Column Shown[UI_PeopleModel::Columns] = {
    UTL_PeopleTable::Column::Name,      UTL_PeopleTable::Column::Friends,
    UTL_PeopleTable::Column::Community, UTL_PeopleTable::Column::Betweenness,
    UTL_PeopleTable::Column::PageRank,
};
} // namespace

UI_PeopleModel::UI_PeopleModel(QObject* parent) : QAbstractTableModel(parent) {}

UTL_PeopleTable::Column UI_PeopleModel::ColumnAt(int column)
{
    return Shown[column >= 0 && column < Columns ? column : 0];
}

void UI_PeopleModel::SetTable(UTL_PeopleTable newTable)
{
    beginResetModel();
    const UTL_PeopleTable::Column column = table.SortColumn();
    const UTL_PeopleTable::Order order = table.SortOrder();
    const std::string filter = table.Filter();
    table = std::move(newTable);
    table.Sort(column, order);
    table.SetFilter(filter);
    endResetModel();
}

void UI_PeopleModel::SetFilterText(const QString& text)
{
    beginResetModel();
    table.SetFilter(text.toStdString());
    endResetModel();
}

QString UI_PeopleModel::IdAt(int row) const
{
    if (row < 0 || size_t(row) >= table.RowCount())
        return QString();
    return QString::fromStdString(table.At(size_t(row)).id);
}

int UI_PeopleModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(table.RowCount());
}

int UI_PeopleModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QVariant UI_PeopleModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= table.RowCount())
        return QVariant();
    const UTL_PeopleTable::Column column = ColumnAt(index.column());
    if (role == Qt::DisplayRole)
        return QString::fromStdString(table.Text(size_t(index.row()), column));
    if (role == Qt::TextAlignmentRole && column != UTL_PeopleTable::Column::Name)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return QVariant();
}

QVariant UI_PeopleModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= Columns)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString(UTL_PeopleTable::Title(ColumnAt(section)));
}

void UI_PeopleModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= Columns)
        return;
    beginResetModel();
    table.Sort(ColumnAt(column), order == Qt::AscendingOrder ? UTL_PeopleTable::Order::Ascending
                                                             : UTL_PeopleTable::Order::Descending);
    endResetModel();
}
