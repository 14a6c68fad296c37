#include "app/UI_Frame.h"

#include "app/UI_View.h"

#include <QEvent>

UI_Frame::UI_Frame(QWidget* parent) : QMainWindow(parent), area(new QWidget(this))
{
    setCentralWidget(area);
    area->installEventFilter(this);
}

void UI_Frame::AddView(UI_View* view)
{
    views.emplace_back(view);
    zOrder.emplace_back(view);
    LayoutViews();
}

void UI_Frame::Tick()
{
    for (const auto& view : views)
        if (view)
            view->Render();
}

void UI_Frame::LayoutViews()
{
    const QRect free = area->rect();
    for (const auto& view : views)
        if (view)
            view->PlaceInArea(free.x(), free.y(), free.width(), free.height());
    // Restack from last to first, each behind the one handled before it.
    for (auto it = zOrder.rbegin(); it != zOrder.rend(); ++it)
        if (*it)
            (*it)->lower();
}

bool UI_Frame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == area && event->type() == QEvent::Resize)
        LayoutViews();
    return QMainWindow::eventFilter(watched, event);
}
