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

UI_HalvaneView::UI_HalvaneView(const UTL_NetworkSession::Endpoints& endpoints, QWidget* parent)
    : UI_OpenGlOverlappedView(parent), controller(std::make_unique<UTL_SimCtrlHalvane>()),
      lastTime(std::chrono::steady_clock::now()), session(endpoints, &controller->GetCircle()),
      document(std::make_unique<UTL_CircleDocument>(controller->GetCircle(),
                                                    [this] { controller->ClearCircle(); }))
{
    SetSizeFraction(1.0f);
    session.SetEventSink([](const std::string& line)
                         { UI_LogEvent(QString::fromStdString(line)); });
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
    }
    update();
}

void UI_HalvaneView::paintGL()
{
    const auto now = std::chrono::steady_clock::now();
    const float seconds = std::chrono::duration<float>(now - lastTime).count();
    lastTime = now;
    // A layout finished on the worker is handed over between frames.
    if (document->Poll())
        LogArrangement();
    controller->Step(PixelWidth(), PixelHeight(), seconds);
    lastFrameSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - now).count();
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
    update();
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
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    controller->OnKeyUp(UI_VirtualKeyFromQt(event->key(), keypad), 1);
}

void UI_HalvaneView::wheelEvent(QWheelEvent* event)
{
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
    UI_OpenGlOverlappedView::leaveEvent(event);
}

void UI_HalvaneView::focusOutEvent(QFocusEvent* event)
{
    // The releases of keys held now go to whichever widget has the focus.
    controller->ReleaseKeys();
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
