#pragma once

#include "sim/UTL_NameSearch.h"

#include <QFrame>

class QLineEdit;
class QListWidget;

// The search field over the top of the view: a line to type part of a name into and, below it,
// the people it matches, best first (see UTL_NameSearch for the matching and its order). Up and
// Down walk the list, Enter picks the highlighted match or else the first, a click picks a row,
// Escape closes the bar. It keeps itself centred at the top of the widget it lies over.
class UI_SearchBar : public QFrame
{
    Q_OBJECT

public:
    explicit UI_SearchBar(QWidget* parent);

    // Shows the bar with the people to look among, the field focused and its text selected.
    void Open(UTL_NameSearch people);
    void Close();

    QLineEdit* GetField() const { return field; }
    QListWidget* GetMatches() const { return matches; }

    // Matches listed at most, and rows shown before the list scrolls.
    static constexpr size_t MaxMatches = 50;
    static constexpr int VisibleRows = 8;

signals:
    void picked(const QString& id, const QString& name);
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowMatches(const QString& text);
    void Pick(int row);
    void Place();

    UTL_NameSearch people;
    QLineEdit* field;
    QListWidget* matches;
};
