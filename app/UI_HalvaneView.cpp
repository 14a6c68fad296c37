#include "app/UI_HalvaneView.h"

#include "app/UI_KeyCodes.h"
#include "gfx/OGL_Names.h"
#include "net/CHtmlCtrl.h"
#include "scene/GFX_Friend.h"
#include "sim/UTL_FriendCircle.h"
#include "sim/UTL_SimCtrlHalvane.h"

#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QImage>
#include <QImageWriter>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <malloc.h>

UI_HalvaneView::UI_HalvaneView(const UTL_NetworkSession::Endpoints& endpoints, QWidget* parent)
    : UI_OpenGlOverlappedView(parent), controller(std::make_unique<UTL_SimCtrlHalvane>()),
      lastTime(std::chrono::steady_clock::now()), session(endpoints, &controller->GetCircle()),
      document(std::make_unique<UTL_CircleDocument>(controller->GetCircle(),
                                                    [this] { controller->ClearCircle(); }))
{
    SetSizeFraction(1.0f);
    session.SetEventSink([](const std::string& line)
                         { UI_LogEvent(QString::fromStdString(line)); });
    // A picture decoded on the worker's thread wakes the view through this thread's event
    // queue, once for however many arrive before the wake is handled.
    controller->SetOnPictureReady(
        [this]
        {
            if (!pictureWakePosted.exchange(true))
                QMetaObject::invokeMethod(
                    this,
                    [this]
                    {
                        pictureWakePosted = false;
                        Wake();
                    },
                    Qt::QueuedConnection);
        });
    // The circle's questions take the communities the document found, which the globe shows.
    controller->GetAnalysis().SetCommunitySource([this](const std::string& id)
                                                 { return document->CommunityOf(id); });
}

UI_HalvaneView::~UI_HalvaneView()
{
    // The controller's GL names belong to this view's context: they go in one step while it is
    // current, before the context does.
    makeCurrent();
    if (isValid())
        controller->ReleaseGL();
    OGL_Names::ReportAlive("halvane");
    document.reset();
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
    // An arrangement asked for while the friendships arrived, once the last batch is in; here,
    // between frames, where the context may be made current.
    if (pendingArrangement && !session.HasMoreBatches())
    {
        const Arrangement asked = *pendingArrangement;
        pendingArrangement.reset();
        std::string error;
        if (!Arrange(asked, error))
            UI_LogEvent(QString("not arranged: %1").arg(QString::fromStdString(error)));
        Wake();
    }
    if (!resting || wakeRequested)
        update();
    else if (eventPending && Clock::now() >= eventDue)
        Wake();
}

void UI_HalvaneView::Wake()
{
    if (!wakeRequested)
    {
        wakeRequested = true;
        wokenAt = Clock::now();
        if (resting)
            UI_LogEvent(QString("frames: woken at frame %1").arg(controller->GetFrameCount()));
    }
    update();
    emit framesWanted();
}

int UI_HalvaneView::MillisecondsToEvent() const
{
    if (!eventPending)
        return -1;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(eventDue - Clock::now()).count();
    // A millisecond late rather than early: the clock starts a motion once it has passed.
    return static_cast<int>(std::clamp<long long>(left + 1, 0, 24 * 3600 * 1000));
}

void UI_HalvaneView::SetIdleClockRunning(bool value)
{
    if (value == idleClockRunning)
        return;
    // The rest so far counts as the clock stood until now; the frame that follows tells the
    // schedule of the new state.
    const auto now = Clock::now();
    if (resting && !wakeRequested)
    {
        controller->Rest(std::chrono::duration<float>(now - restCounted).count());
        restCounted = now;
    }
    idleClockRunning = value;
    controller->SetIdleClockRunning(value);
    Wake();
}

void UI_HalvaneView::paintGL()
{
    const auto now = Clock::now();
    float seconds = std::chrono::duration<float>(now - lastTime).count();
    if (resting)
    {
        // No frame was drawn while the scene was still: that time was rest for the scene's
        // clocks, and the frame that ends it moves things on by the time since the wake only
        // (a key pressed after a minute's rest turns by a step, not by half a second's worth).
        const auto wake = wakeRequested ? wokenAt : now;
        controller->Rest(std::chrono::duration<float>(wake - restCounted).count());
        seconds = std::chrono::duration<float>(now - wake).count();
    }
    lastTime = now;
    const bool woken = wakeRequested;
    wakeRequested = false;
    // A layout finished on the worker is handed over between frames.
    if (document->Poll())
        LogArrangement();
    controller->Step(PixelWidth(), PixelHeight(), seconds);
    lastFrameSeconds = std::chrono::duration<double>(Clock::now() - now).count();
    if (session.OnFrame())
        UI_LogEvent(QString("friendship batch done: %1 connections")
                        .arg(controller->GetCircle().GetConnections().size()));
    if (menuWanted)
    {
        // This frame found who is under the pointer; the menu opens outside the painting.
        const GFX_Friend* person = controller->GetInput().GetHoveredPerson();
        const QPoint where = *menuWanted;
        menuWanted.reset();
        if (person)
            QTimer::singleShot(0, this,
                               [this, id = person->GetId(), name = person->GetShownName(), where]
                               { ShowPersonMenu(id, name, where); });
    }

    // The paced friendship batches count frames, and a layout on the worker is handed over by
    // a frame: while either is due the frames go on.
    const UTL_FrameSchedule& schedule = controller->GetSchedule();
    const bool wasResting = resting;
    resting = schedule.IsStill() && !session.HasMoreBatches() && !document->IsArranging();
    if (!resting)
    {
        // Drawn on Qt's own account (a resize, an exposure, a new theme) after a rest.
        if (wasResting)
            emit framesWanted();
        return;
    }
    restCounted = now;
    eventPending = schedule.GetSecondsToEvent() >= 0.0f;
    if (eventPending)
        eventDue = now + std::chrono::duration_cast<Clock::duration>(
                             std::chrono::duration<float>(schedule.GetSecondsToEvent()));
    if (!wasResting || woken)
    {
        UI_LogEvent(QString("frames: still after frame %1").arg(controller->GetFrameCount()));
        // Nothing is drawn for a while: the arrays the frames grew (tens of megabytes on a
        // large circle) go back to the system rather than sit in the heap.
        controller->ReleaseFrameArrays();
        malloc_trim(0);
    }
}

void UI_HalvaneView::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() != QContextMenuEvent::Mouse)
    {
        if (const GFX_Friend* person = controller->GetSelection().GetPerson())
            ShowPersonMenu(person->GetId(), person->GetShownName(), event->globalPos());
        return;
    }
    const qreal ratio = devicePixelRatioF();
    controller->OnMouseMove(static_cast<int>(event->pos().x() * ratio),
                            PixelHeight() - static_cast<int>(event->pos().y() * ratio), 0, 0, 0);
    menuWanted = event->globalPos();
    Wake();
}

void UI_HalvaneView::ShowPersonMenu(const std::string& id, const std::string& name,
                                    const QPoint& where)
{
    const GFX_Friend* self = controller->GetCircle().GetSelf();
    const bool isUser = self && self->GetId() == id;
    QMenu menu(this);
    menu.addAction(QString::fromStdString(name))->setEnabled(false);
    menu.addSeparator();
    QAction* thisIsMe = menu.addAction("This is &me");
    thisIsMe->setCheckable(true);
    thisIsMe->setChecked(isUser);
    thisIsMe->setEnabled(!isUser);
    UI_LogEvent("context menu: " + QString::fromStdString(name));
    if (menu.exec(where) == thisIsMe)
        emit userChosen(QString::fromStdString(id));
}

void UI_HalvaneView::OnLoginClosed()
{
    makeCurrent();
    if (document->IsFromFile())
        controller->ClearCircle();
    const bool loaded = session.OnLoginClosed();
    doneCurrent();
    // The server's circle replaces whatever was shown before.
    document->Clear();
    pendingArrangement.reset();
    Wake();
    if (!loaded)
        UI_LogEvent(
            QString("friends not loaded: %1").arg(QString::fromStdString(session.GetFailure())));
    UI_LogEvent(QString("friends loaded: %1").arg(controller->GetCircle().GetFriendCount()));
}

void UI_HalvaneView::LogInAgain()
{
    makeCurrent();
    controller->ClearCircle();
    doneCurrent();
    session.Restart();
    document->Clear();
    pendingArrangement.reset();
    Wake();
    UI_LogEvent("log in again");
}

bool UI_HalvaneView::OpenGraph(const std::string& path, const std::string& self,
                               const Progress& progress, std::string& error)
{
    UTL_SocialGraph opened;
    if (!UTL_CircleDocument::Read(path, self, progress, opened, error))
        return false;
    return ShowOpened(std::move(opened), error);
}

bool UI_HalvaneView::ShowOpened(UTL_SocialGraph opened, std::string& error)
{
    // The docks that list the people are made with the GL resources.
    if (!isValid())
    {
        error = "the view is not ready yet";
        return false;
    }
    const std::vector<std::string> warnings = opened.Warnings();
    makeCurrent();
    const bool shown = document->Show(std::move(opened), fileArrangement, error);
    doneCurrent();
    if (!shown)
        return false;
    // The server's remaining friendships were for the circle that has gone.
    session.StopBatches();
    pendingArrangement.reset();
    Wake();
    UI_LogEvent(QString("graph loaded: %1 friends, %2 friendships")
                    .arg(controller->GetCircle().GetFriendCount())
                    .arg(document->CountFriendships()));
    for (const std::string& warning : warnings)
        UI_LogEvent(QString::fromStdString(warning));
    LogUser();
    if (!document->IsArranging())
        LogArrangement();
    return true;
}

bool UI_HalvaneView::MayRearrange(std::string& error) const
{
    if (!document->IsFromFile() && session.HasMoreBatches())
    {
        // The batches walk the friends in the order they are shown.
        error = "the friendships are still arriving from the server; try again once they are "
                "all there";
        return false;
    }
    return true;
}

bool UI_HalvaneView::Arrange(Arrangement value, std::string& error)
{
    if (!document->IsFromFile() && session.HasMoreBatches())
    {
        // The batches walk the friends in the order they are shown: the circle is arranged
        // once they are all there.
        pendingArrangement = value;
        UI_LogEvent(QString("layout: %1 once the friendships are in")
                        .arg(UTL_CircleDocument::NameOf(value)));
        return true;
    }
    pendingArrangement.reset();
    makeCurrent();
    const bool arranged = document->Arrange(value, error);
    doneCurrent();
    Wake();
    if (!arranged)
        return false;
    if (document->IsFromFile())
        fileArrangement = value;
    if (!document->IsArranging())
        LogArrangement();
    return true;
}

bool UI_HalvaneView::MakeUser(const std::string& id, std::string& error)
{
    if (!MayRearrange(error))
        return false;
    makeCurrent();
    const bool made = document->MakeUser(id, error);
    doneCurrent();
    Wake();
    if (!made)
        return false;
    LogUser();
    LogArrangement();
    return true;
}

bool UI_HalvaneView::FindCommunitiesAgain(std::string& error)
{
    if (!MayRearrange(error))
        return false;
    makeCurrent();
    const bool found = document->FindCommunitiesAgain(error);
    doneCurrent();
    Wake();
    if (found)
        LogArrangement();
    return found;
}

void UI_HalvaneView::LogUser()
{
    if (const GFX_Friend* self = controller->GetCircle().GetSelf())
        UI_LogEvent("user: " + QString::fromStdString(self->GetShownName()));
}

UI_HalvaneView::Arrangement UI_HalvaneView::GetArrangement() const
{
    return pendingArrangement ? *pendingArrangement : document->GetArrangement();
}

void UI_HalvaneView::StopArranging()
{
    if (!IsArranging())
        return;
    pendingArrangement.reset();
    document->CancelArranging();
    UI_LogEvent("layout: stopped");
}

void UI_HalvaneView::LogArrangement()
{
    const Arrangement shown = document->GetShownArrangement();
    UI_LogEvent(QString("layout: %1").arg(UTL_CircleDocument::NameOf(shown)));
    if (shown != Arrangement::Arrival && document->HasCommunities())
        UI_LogEvent(QString("communities: %1").arg(document->GetCommunities().List().size()));
}

bool UI_HalvaneView::SaveGraph(const std::string& path, std::string& error)
{
    return document->Save(path, error);
}

bool UI_HalvaneView::SavePicture(const std::string& path, int width, int height, std::string& error)
{
    if (!isValid())
    {
        error = "the view is not ready yet";
        return false;
    }
    UTL_PictureExport::Picture picture;
    makeCurrent();
    const bool drawn = UTL_PictureExport::Render(*controller, width, height, picture, error);
    doneCurrent();
    update();
    return drawn && WritePng(picture, path, error);
}

bool UI_HalvaneView::WritePng(const UTL_PictureExport::Picture& picture, const std::string& path,
                              std::string& error)
{
    const QImage image(picture.rgba.data(), picture.width, picture.height, picture.width * 4,
                       QImage::Format_RGBA8888);
    QImageWriter writer(QString::fromStdString(path), "png");
    if (!writer.write(image))
    {
        error = "cannot write " + path + ": " + writer.errorString().toStdString();
        return false;
    }
    return true;
}

int UI_HalvaneView::GetMaxPictureSide()
{
    if (!isValid())
        return 0;
    makeCurrent();
    const int side = UTL_PictureExport::MaxSideSupported();
    doneCurrent();
    return side;
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
    Wake();
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
    Wake();
    int x, y, flags;
    ToController(event, x, y, flags);
    controller->OnMouseMove(x, y, 0, 0, flags);
}

void UI_HalvaneView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    Wake();
    int x, y, flags;
    ToController(event, x, y, flags);
    controller->OnMouseUp(x, y, flags);
}

void UI_HalvaneView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    Wake();
    int x, y, flags;
    ToController(event, x, y, flags);
    controller->OnMouseDoubleClick(x, y, flags);
}

void UI_HalvaneView::keyPressEvent(QKeyEvent* event)
{
    Wake();
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    // Shift+Tab comes as a key of its own; the scene reads Shift from its key table, which
    // may have missed the Shift going down (it was pressed before the view had the focus).
    constexpr int ShiftKey = 16;
    const bool addShift = event->key() == Qt::Key_Backtab && !controller->IsKeyDown(ShiftKey);
    if (addShift)
        controller->OnKeyDown(ShiftKey, 1);
    controller->OnKeyDown(UI_VirtualKeyFromQt(event->key(), keypad), 1);
    if (addShift)
        controller->OnKeyUp(ShiftKey, 1);
}

void UI_HalvaneView::keyReleaseEvent(QKeyEvent* event)
{
    // A held key repeats as releases and presses; it stays down in the key table throughout.
    if (event->isAutoRepeat())
        return;
    Wake();
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    controller->OnKeyUp(UI_VirtualKeyFromQt(event->key(), keypad), 1);
}

void UI_HalvaneView::wheelEvent(QWheelEvent* event)
{
    Wake();
    const qreal ratio = devicePixelRatioF();
    const QPointF position = event->position();
    controller->OnMouseWheel(static_cast<int>(position.x() * ratio),
                             PixelHeight() - static_cast<int>(position.y() * ratio),
                             event->angleDelta().y());
    event->accept();
}

void UI_HalvaneView::leaveEvent(QEvent* event)
{
    controller->OnMouseLeave();
    Wake();
    UI_OpenGlOverlappedView::leaveEvent(event);
}

void UI_HalvaneView::focusOutEvent(QFocusEvent* event)
{
    // The releases of keys held now go to whichever widget has the focus.
    controller->ReleaseKeys();
    Wake();
    UI_OpenGlOverlappedView::focusOutEvent(event);
}

bool UI_HalvaneView::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress)
    {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        {
            keyPressEvent(key);
            return true;
        }
    }
    return UI_OpenGlOverlappedView::event(event);
}
