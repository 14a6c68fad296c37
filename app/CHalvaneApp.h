#pragma once

#include "net/UTL_NetworkSession.h"

#include <QApplication>
#include <QTimer>
#include <memory>

class CMainFrame;

// The application: creates the main frame and drives the frame loop. Whenever the event queue
// is empty a zero-interval timer runs the frame's tick, so frames are rendered back to back with
// no cap. While the window is minimised nothing is drawn and the loop only looks in now and
// then, rather than spinning.
class CHalvaneApp : public QApplication
{
    Q_OBJECT

public:
    CHalvaneApp(int& argc, char** argv);
    ~CHalvaneApp() override;

    // Creates and shows the main frame pointed at the given endpoints.
    bool InitInstance(const UTL_NetworkSession::Endpoints& endpoints);
    CMainFrame* GetMainFrame() const { return mainFrame.get(); }

private:
    void OnIdle();

    std::unique_ptr<CMainFrame> mainFrame;
    QTimer idle;
};
