#include "app/CMainFrame.h"

#include "app/CAboutDlg.h"
#include "app/UI_HalvaneView.h"
#include "net/CFBLoginDialog.h"

#include <QMenuBar>

CMainFrame::CMainFrame(const UTL_NetworkSession::Endpoints& endpoints)
{
    setWindowTitle("Halvane");
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction("E&xit", this, &QWidget::close);
    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction("&About Halvane...", this, &CMainFrame::ShowAbout);

    mainView = new UI_HalvaneView(endpoints, Area());
    AddView(mainView);
    mainView->setFocus();
}

CMainFrame::~CMainFrame()
{
    loginDialog.reset();
}

void CMainFrame::Tick()
{
    UI_Frame::Tick();
    if (loginDialog || !mainView)
        return;
    const std::string url = mainView->GetLoginUrl();
    if (url.empty())
        return;
    loginDialog = std::make_unique<CFBLoginDialog>(mainView);
    loginDialog->SetOwnerFrame(this);
    connect(loginDialog.get(), &CFBLoginDialog::closed, this, &CMainFrame::OnLoginClosed);
    loginDialog->Navigate(url);
    loginDialog->show();
}

bool CMainFrame::IsLoginDialogShown() const
{
    return loginDialog && loginDialog->isVisible();
}

void CMainFrame::OnLoginClosed()
{
    if (mainView)
        mainView->OnLoginClosed();
}

void CMainFrame::focusInEvent(QFocusEvent* event)
{
    UI_Frame::focusInEvent(event);
    if (mainView)
        mainView->setFocus();
}

void CMainFrame::ShowAbout()
{
    CAboutDlg about(this);
    about.exec();
}
