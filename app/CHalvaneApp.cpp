#include "app/CHalvaneApp.h"

#include "app/CMainFrame.h"
#include "app/UI_HalvaneView.h"
#include "net/CHtmlCtrl.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QScreen>

CHalvaneApp::CHalvaneApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName("Halvane");
    setApplicationVersion(HALVANE_VERSION);
    setOrganizationName("Halvane");
    setDesktopFileName("halvane");
    setWindowIcon(FindIcon());
}

QIcon CHalvaneApp::FindIcon()
{
    // The files of an installation this program belongs to, then those of the build tree; the
    // desktop's icon theme when neither has them.
    const QStringList roots = {applicationDirPath() + "/../share/icons/hicolor",
                               QString(HALVANE_BUILD_ICONS)};
    for (const QString& root : roots)
    {
        QIcon icon;
        for (const QFileInfo& size : QDir(root).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
        {
            const QString file = size.filePath() + "/apps/halvane.png";
            if (QFileInfo::exists(file))
                icon.addFile(file);
        }
        if (!icon.isNull())
            return icon;
    }
    return QIcon::fromTheme("halvane");
}

CHalvaneApp::~CHalvaneApp()
{
    idle.stop();
    mainFrame.reset();
}

bool CHalvaneApp::InitInstance(const UTL_NetworkSession::Endpoints& endpoints)
{
    mainFrame = std::make_unique<CMainFrame>(endpoints);
    const QScreen* screen = primaryScreen();
    const QRect geometry =
        CMainFrame::InitialGeometry(screen ? screen->availableGeometry() : QRect(0, 0, 1280, 900));
    mainFrame->resize(geometry.size());
    mainFrame->move(geometry.topLeft());
    mainFrame->show();
    connect(&idle, &QTimer::timeout, this, &CHalvaneApp::OnIdle);
    if (UI_HalvaneView* view = mainFrame->GetMainView())
        connect(view, &UI_HalvaneView::framesWanted, this, &CHalvaneApp::OnFramesWanted);
    idle.start(0);
    return true;
}

void CHalvaneApp::OnIdle()
{
    if (!mainFrame)
        return;
    using Mode = UI_FramePacer::Mode;
    Mode mode = Mode::Foreground;
    if (mainFrame->isMinimized() || !mainFrame->isVisible())
        mode = Mode::Hidden;
    else if (mainFrame->IsLoginDialogShown())
        mode = Mode::BehindDialog;
    UI_HalvaneView* view = mainFrame->GetMainView();
    if (view)
        view->SetIdleClockRunning(mode != Mode::Hidden && mainFrame->isActiveWindow() &&
                                  !activeModalWidget() && !mainFrame->IsLoginDialogShown());
    int interval = UI_FramePacer::IntervalMs(mode, view ? view->GetLastFrameSeconds() : 0.0);
    waiting = mode != Mode::Hidden && view && view->IsStill();
    if (waiting)
        interval = UI_FramePacer::StillMs(view->MillisecondsToEvent());
    if (idle.interval() != interval)
        idle.setInterval(interval); // restarts the timer, so only when it changes
    if (mode != pacing)
    {
        pacing = mode;
        static const char* const names[] = {"back to back", "behind the login dialog", "hidden"};
        UI_LogEvent(QString("frames: %1").arg(names[static_cast<int>(mode)]));
    }
    mainFrame->Tick();
}

bool CHalvaneApp::notify(QObject* receiver, QEvent* event)
{
    const bool handled = QApplication::notify(receiver, event);
    if (!waiting || !mainFrame)
        return handled;
    switch (event->type())
    {
    case QEvent::MouseButtonRelease:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
        if (UI_HalvaneView* view = mainFrame->GetMainView())
            view->Wake();
        break;
    default:
        break;
    }
    return handled;
}

void CHalvaneApp::OnFramesWanted()
{
    if (!waiting)
        return;
    waiting = false;
    idle.start(0);
}
