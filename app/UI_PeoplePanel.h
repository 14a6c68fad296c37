#pragma once

#include <QDockWidget>

#include <cstdint>
#include <string>

class QLabel;
class QLineEdit;
class QTableView;
class UI_PeopleModel;
class UTL_SimCtrlHalvane;

// The dock that lists the people of the circle shown: one row per friend with their name,
// friends in this circle, community, betweenness and PageRank, sorted by a click on a column's
// header and filtered by the field above; a click on a row selects the person and the camera
// glides there. The centralities are computed off the window's thread by the circle's analysis
// (UTL_CircleAnalysis); while they are, a label for the status bar says how far along they are.
//
// Refresh, once per tick of the window, starts and collects that work and shows a new table when
// there is one. User-interface thread; the controller must outlive the panel.
class UI_PeoplePanel : public QDockWidget
{
    Q_OBJECT

public:
    UI_PeoplePanel(UTL_SimCtrlHalvane& controller, QWidget* parent = nullptr);

    void Refresh();
    // Writes the table as shown (filtered, sorted) as CSV; false with `error` set when there is
    // no table yet or the file cannot be written.
    bool ExportCsv(const QString& path, std::string& error) const;

    // The status bar's label about the centralities; owned by the panel.
    QLabel* GetProgressLabel() const { return progressLabel; }
    UI_PeopleModel* GetModel() const { return model; }
    QLineEdit* GetFilterField() const { return filterField; }
    QTableView* GetTableView() const { return tableView; }

private:
    void OnClicked(const QModelIndex& index);

    UTL_SimCtrlHalvane& controller;
    UI_PeopleModel* model;
    QLineEdit* filterField;
    QTableView* tableView;
    QLabel* progressLabel;
    uint64_t shownVersion = 0;
};
