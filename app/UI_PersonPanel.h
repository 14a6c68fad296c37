#pragma once

#include <QDockWidget>
#include <QElapsedTimer>

#include <cstdint>

class GFX_Friend;
class QLabel;
class QListWidget;
class QListWidgetItem;
class UTL_SimCtrlHalvane;

// The dock about the person selected: their picture, name (or id), how many friends they have
// in this circle and their community, and a list of people, a click on one of which selects them
// and glides there. The list holds the person's friends in the circle (the friends they and the
// user have in common); after a Shift+click on someone else, the chain of friendships from the
// person to them (or that only the user joins them), after a Ctrl+click the friends the two have
// in common.
//
// Refresh, once per tick of the window, shows what changed: the selection, the question asked,
// the circle, the picture once it has arrived. The event log tells each person and answer
// shown. User-interface thread; the controller must outlive the panel.
class UI_PersonPanel : public QDockWidget
{
    Q_OBJECT

public:
    UI_PersonPanel(UTL_SimCtrlHalvane& controller, QWidget* parent = nullptr);

    void Refresh();

    QLabel* GetNameLabel() const { return nameLabel; }
    QLabel* GetAnswerLabel() const { return answerLabel; }
    QListWidget* GetList() const { return list; }

    static constexpr int PictureSide = 128;

signals:
    // A right click on the person the panel is about, or on someone in its list.
    void personMenuWanted(const QString& id, const QString& name, const QPoint& where);

public:
    static constexpr int RefillMilliseconds = 1000;

private:
    // The person's picture, once the picture worker has it; false while it has not.
    bool ShowPicture(const GFX_Friend& person);
    void OnClicked(QListWidgetItem* item);

    UTL_SimCtrlHalvane& controller;
    QLabel* picture;
    QLabel* nameLabel;
    QLabel* detailLabel;
    QLabel* answerLabel;
    QListWidget* list;

    // What is shown: the person (compared, never followed) and what it was made from.
    const GFX_Friend* shownPerson = nullptr;
    uint64_t shownFocus = ~uint64_t(0);
    uint64_t shownChange = ~uint64_t(0);
    bool pictureShown = false;
    // When the list was last filled: while friendships arrive it is filled again once a second.
    QElapsedTimer filled;
};
