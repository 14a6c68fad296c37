#include "app/UI_HalvaneView.h"

#include "app/UI_KeyCodes.h"
#include "net/CHtmlCtrl.h"
#include "net/UTL_FriendReceiver.h"
#include "sim/UTL_SimCtrlHalvane.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace
{
UTL_FriendReceiver* ReceiverOf(UTL_SimCtrlRoot* controller)
{
    return dynamic_cast<UTL_FriendReceiver*>(controller);
}
} // namespace

UI_HalvaneView::UI_HalvaneView(const UTL_NetworkSession::Endpoints& endpoints, QWidget* parent)
    : UI_OpenGlOverlappedView(parent), controller(std::make_unique<UTL_SimCtrlHalvane>()),
      lastTime(std::chrono::steady_clock::now()), session(endpoints, ReceiverOf(controller.get()))
{
    SetSizeFraction(1.0f);
    session.SetEventSink([](const std::string& line)
                         { UI_LogEvent(QString::fromStdString(line)); });
}

UI_HalvaneView::~UI_HalvaneView()
{
    // The controller's textures belong to this view's context.
    makeCurrent();
    controller.reset();
    doneCurrent();
}

void UI_HalvaneView::initializeGL()
{
    controller->Initialize(PixelWidth(), PixelHeight());
    lastTime = std::chrono::steady_clock::now();
}

void UI_HalvaneView::Render()
{
    update();
}

void UI_HalvaneView::paintGL()
{
    const auto now = std::chrono::steady_clock::now();
    const float seconds = std::chrono::duration<float>(now - lastTime).count();
    lastTime = now;
    controller->Step(PixelWidth(), PixelHeight(), seconds);
    lastFrameSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - now).count();
    // A batch ran when the session leaves the row it was due to start from, or stops.
    const int batchRow = session.GetResumeRow();
    const bool batchDue = session.HasMoreBatches();
    session.OnFrame();
    if (batchDue && (!session.HasMoreBatches() || session.GetResumeRow() != batchRow))
        if (auto* halvane = dynamic_cast<UTL_SimCtrlHalvane*>(controller.get()))
            UI_LogEvent(QString("friendship batch done: %1 connections")
                            .arg(halvane->GetConnections().size()));
}

void UI_HalvaneView::OnLoginClosed()
{
    makeCurrent();
    session.OnLoginClosed();
    doneCurrent();
    if (UTL_FriendReceiver* receiver = ReceiverOf(controller.get()))
        UI_LogEvent(QString("friends loaded: %1").arg(receiver->GetFriendCount()));
}

void UI_HalvaneView::ToController(const QMouseEvent* event, int& x, int& y, int& flags) const
{
    const qreal ratio = devicePixelRatioF();
    const QPointF position = event->position();
    x = static_cast<int>(position.x() * ratio);
    y = PixelHeight() - static_cast<int>(position.y() * ratio);
    const Qt::MouseButtons buttons = event->buttons();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    flags = UI_MouseFlags(buttons & Qt::LeftButton, buttons & Qt::RightButton,
                          modifiers & Qt::ShiftModifier, modifiers & Qt::ControlModifier);
}

void UI_HalvaneView::mousePressEvent(QMouseEvent* event)
{
    // Qt keeps sending moves to the view that took the press until its release, as a captured
    // mouse would. Only the left button reaches the controller; the others only take the focus.
    if (event->button() == Qt::LeftButton)
    {
        int x, y, flags;
        ToController(event, x, y, flags);
        controller->OnMouseDown(x, y, flags);
    }
    UI_OpenGlOverlappedView::mousePressEvent(event);
}

void UI_HalvaneView::mouseMoveEvent(QMouseEvent* event)
{
    int x, y, flags;
    ToController(event, x, y, flags);
    controller->OnMouseMove(x, y, 0, 0, flags);
}

void UI_HalvaneView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    int x, y, flags;
    ToController(event, x, y, flags);
    controller->OnMouseUp(x, y, flags);
}

void UI_HalvaneView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    int x, y, flags;
    ToController(event, x, y, flags);
    controller->OnMouseDoubleClick(x, y, flags);
}

void UI_HalvaneView::keyPressEvent(QKeyEvent* event)
{
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    controller->OnKeyDown(UI_VirtualKeyFromQt(event->key(), keypad), 1);
}

void UI_HalvaneView::keyReleaseEvent(QKeyEvent* event)
{
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    controller->OnKeyUp(UI_VirtualKeyFromQt(event->key(), keypad), 1);
}
