#include "app/CHalvaneApp.h"

#include "app/CMainFrame.h"

CHalvaneApp::CHalvaneApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName("Halvane");
    setApplicationVersion(HALVANE_VERSION);
    setOrganizationName("Halvane");
}

CHalvaneApp::~CHalvaneApp()
{
    idle.stop();
    mainFrame.reset();
}

bool CHalvaneApp::InitInstance(const UTL_NetworkSession::Endpoints& endpoints)
{
    mainFrame = std::make_unique<CMainFrame>(endpoints);
    mainFrame->resize(1024, 720);
    mainFrame->show();
    connect(&idle, &QTimer::timeout, this, &CHalvaneApp::OnIdle);
    idle.start(0);
    return true;
}

void CHalvaneApp::OnIdle()
{
    if (!mainFrame)
        return;
    // A minimised window draws nothing; poll gently until it comes back.
    const bool minimised = mainFrame->isMinimized() || !mainFrame->isVisible();
    idle.setInterval(minimised ? 50 : 0);
    mainFrame->Tick();
}
