#pragma once

#include <QMenu>
#include <QString>

// File > Open Recent: the graph files opened lately, newest first, as the user's list keeps
// them (UTL_RecentFiles). The list is read each time the menu opens, so that files opened in
// another window of the program show too and files deleted since do not; the first nine are
// picked by their digit.
class UI_RecentMenu : public QMenu
{
    Q_OBJECT

public:
    explicit UI_RecentMenu(QWidget* parent = nullptr);

    // Puts a file that opened in front of the list; a list that cannot be written is told in
    // the event log only (the file is open all the same).
    static void Remember(const QString& path);

signals:
    void chosen(const QString& path);

private:
    void Fill();
};
