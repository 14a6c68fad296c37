#pragma once

#include <QMainWindow>
#include <QPointer>
#include <vector>

class UI_View;

// A main window that lays out its registered child views over its free client area and ticks
// them. Qt's parent ownership deletes the views with the frame; the lists only remember them,
// in the order they were added.
class UI_Frame : public QMainWindow
{
    Q_OBJECT

public:
    explicit UI_Frame(QWidget* parent = nullptr);

    // Adds a view (already a child of the area this frame lays out).
    void AddView(UI_View* view);
    // One frame of every registered view, in the order they were added.
    virtual void Tick();

protected:
    // Places every view in the free area, then restacks them in creation order.
    void LayoutViews();
    // The widget whose rectangle is the free client area.
    QWidget* Area() const { return area; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* area;
    std::vector<QPointer<UI_View>> views;
    std::vector<QPointer<UI_View>> zOrder;
};
