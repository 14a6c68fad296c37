#pragma once

#include "app/UI_FramePacer.h"
#include "net/UTL_NetworkSession.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <memory>

class CMainFrame;

// The application: creates the main frame and drives the frame loop. Whenever the event queue
// is empty a zero-interval timer runs the frame's tick, so frames are rendered back to back with
// no cap. Behind the login dialog the loop slows down so that the embedded browser, which shares
// the event loop, stays responsive; while the window is minimised, or its view still, nothing is
// drawn and the loop only looks in now and then (UI_FramePacer) until the view wants frames
// again. It also tells the view whether the scene's idle clock may count: only while the main
// window is active and none of the program's dialogs is open. A still view is woken by its own
// input, and by the user's input anywhere else in the program once it has been handled (a menu
// command, a click in a panel, a dialog's answer may change what the globe shows).
class CHalvaneApp : public QApplication
{
    Q_OBJECT

public:
    CHalvaneApp(int& argc, char** argv);
    ~CHalvaneApp() override;

    // Creates and shows the main frame pointed at the given endpoints.
    bool InitInstance(const UTL_NetworkSession::Endpoints& endpoints);
    CMainFrame* GetMainFrame() const { return mainFrame.get(); }
    // The program's icon: the installed files, or the build tree's, or the icon theme's.
    static QIcon FindIcon();

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void OnIdle();
    // The view wants frames again: the loop stops waiting.
    void OnFramesWanted();

    std::unique_ptr<CMainFrame> mainFrame;
    QTimer idle;
    UI_FramePacer::Mode pacing = UI_FramePacer::Mode::Foreground;
    // Whether the loop waits on a still view.
    bool waiting = false;
};
