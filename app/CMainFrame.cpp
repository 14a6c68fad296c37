#include "app/CMainFrame.h"

#include "app/CAboutDlg.h"
#include "app/UI_HalvaneView.h"
#include "graph/UTL_GraphReader.h"
#include "net/CFBLoginDialog.h"
#include "net/CHtmlCtrl.h"
#include "sim/UTL_FriendCircle.h"
#include "sim/UTL_SimCtrlHalvane.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>

CMainFrame::CMainFrame(const UTL_NetworkSession::Endpoints& endpoints)
{
    setWindowTitle("Halvane");
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction("&Open Graph...", QKeySequence::Open, this, &CMainFrame::OnOpenGraph);
    file->addAction("&Save Graph As...", this, &CMainFrame::OnSaveGraph);
    file->addSeparator();
    file->addAction("&Log in again", QKeySequence(Qt::CTRL | Qt::Key_L), this,
                    &CMainFrame::LogInAgain);
    file->addSeparator();
    file->addAction("E&xit", this, &QWidget::close);
    QMenu* view = menuBar()->addMenu("&View");
    arrangeAction = view->addAction("Arrange by &community");
    arrangeAction->setCheckable(true);
    connect(arrangeAction, &QAction::toggled, this, &CMainFrame::OnArrangeByCommunity);
    fastAction = view->addAction("Load friendships at &once");
    fastAction->setCheckable(true);
    connect(fastAction, &QAction::toggled, this,
            [this](bool checked) { mainView->GetSession().SetFastBatches(checked); });
    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction("&About Halvane...", this, &CMainFrame::ShowAbout);

    mainView = new UI_HalvaneView(endpoints, Area());
    AddView(mainView);
    mainView->setFocus();
    sessionLine = new QLabel(this);
    sessionBar = new QProgressBar(this);
    sessionBar->setRange(0, 100);
    sessionBar->setMaximumWidth(160);
    sessionBar->hide();
    statusBar()->addPermanentWidget(sessionLine);
    statusBar()->addPermanentWidget(sessionBar);
    statusBar()->showMessage("Ready");
}

CMainFrame::~CMainFrame()
{
    loginDialog.reset();
}

void CMainFrame::Tick()
{
    UI_Frame::Tick();
    if (startGraph && mainView && mainView->isValid())
    {
        std::string error;
        UTL_SocialGraph graph = std::move(*startGraph);
        startGraph.reset();
        if (mainView->ShowOpened(std::move(graph), error))
            ShowCircleStatus();
        else
            ShowError("Open Graph", error);
    }
    if (mainView)
        ShowSessionProgress();
    if (loginDialog || !mainView || !loginWanted)
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
    if (!mainView)
        return;
    mainView->OnLoginClosed();
    // The server's circle comes in arrival order, whatever the one before it was.
    const QSignalBlocker quiet(arrangeAction);
    arrangeAction->setChecked(mainView->IsArrangedByCommunity());
    ShowCircleStatus();
}

void CMainFrame::SetFastFriendships(bool value)
{
    fastAction->setChecked(value);
}

void CMainFrame::LogInAgain()
{
    // A dialog of its own for the new login: the old one's page holds the old token.
    loginDialog.reset();
    startGraph.reset();
    mainView->LogInAgain();
    loginWanted = true;
    const QSignalBlocker quiet(arrangeAction);
    arrangeAction->setChecked(false);
    statusBar()->clearMessage();
    ShowSessionProgress();
}

void CMainFrame::ShowSessionProgress()
{
    const UTL_SessionProgress& progress = mainView->GetSession().GetProgress();
    if (progressShown && progress == shownProgress)
        return;
    const QString text = QString::fromStdString(progress.Describe());
    if (!progressShown || progress.stage != shownProgress.stage)
        UI_LogEvent("session: " + (text.isEmpty() ? QString("circle from a file") : text));
    shownProgress = progress;
    progressShown = true;
    sessionLine->setText(text);
    sessionLine->setVisible(!text.isEmpty());
    sessionLine->setStyleSheet(progress.IsFailure() ? "color: #b3261e" : "");
    const int percent = progress.Percent();
    sessionBar->setVisible(percent >= 0);
    if (percent >= 0)
        sessionBar->setValue(percent);
}

void CMainFrame::SetStartGraph(UTL_SocialGraph graph, bool byCommunity)
{
    startGraph = std::move(graph);
    loginWanted = false;
    if (byCommunity)
        arrangeAction->setChecked(true); // nothing is shown yet: only remembered
}

bool CMainFrame::OpenGraphFile(const QString& path, std::string& error)
{
    statusBar()->showMessage("Reading " + path + "...");
    const auto progress = [this, path](uint64_t done, uint64_t total)
    {
        statusBar()->showMessage(QString("Reading %1: %2 of %3 MB")
                                     .arg(path)
                                     .arg(done >> 20)
                                     .arg(std::max<uint64_t>(total >> 20, 1)));
        // Repaints the bar; the reading itself holds up the window for its length.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    if (!mainView->OpenGraph(path.toStdString(), "", progress, error))
    {
        statusBar()->showMessage(QString::fromStdString(error));
        return false;
    }
    // A circle is shown: a login dialog not yet opened is not needed any more.
    loginWanted = false;
    ShowCircleStatus();
    return true;
}

bool CMainFrame::SetArrangeByCommunity(bool value, std::string& error)
{
    if (!mainView->ArrangeByCommunity(value, error))
    {
        statusBar()->showMessage(QString::fromStdString(error));
        return false;
    }
    ShowCircleStatus();
    return true;
}

bool CMainFrame::SaveGraphFile(const QString& path, std::string& error)
{
    if (!mainView->SaveGraph(path.toStdString(), error))
    {
        statusBar()->showMessage(QString::fromStdString(error));
        return false;
    }
    statusBar()->showMessage("Saved " + path);
    return true;
}

void CMainFrame::OnOpenGraph()
{
    const QString filter = QString("Graph files (%1);;All files (*)")
                               .arg(QString::fromStdString(UTL_GraphReader::Patterns()));
    const QString path = QFileDialog::getOpenFileName(this, "Open Graph", QString(), filter);
    if (path.isEmpty())
        return;
    std::string error;
    if (!OpenGraphFile(path, error))
        ShowError("Open Graph", error);
}

void CMainFrame::OnSaveGraph()
{
    if (mainView->GetController()->GetCircle().GetFriendCount() == 0)
    {
        ShowError("Save Graph As", "there is no circle to save yet");
        return;
    }
    const QString path = QFileDialog::getSaveFileName(this, "Save Graph As", "circle.graphml",
                                                      "GraphML (*.graphml)");
    if (path.isEmpty())
        return;
    std::string error;
    if (!SaveGraphFile(path, error))
        ShowError("Save Graph As", error);
}

void CMainFrame::OnArrangeByCommunity(bool checked)
{
    std::string error;
    if (SetArrangeByCommunity(checked, error))
        return;
    const QSignalBlocker quiet(arrangeAction);
    arrangeAction->setChecked(!checked);
    ShowError("Arrange by community", error);
}

void CMainFrame::ShowCircleStatus()
{
    const UTL_FriendCircle& circle = mainView->GetController()->GetCircle();
    QString text = QString("%1 friends").arg(circle.GetFriendCount());
    if (!mainView->GetLegend().empty())
        text += " · " + QString::fromStdString(mainView->GetLegend());
    statusBar()->showMessage(text);
}

void CMainFrame::ShowError(const QString& title, const std::string& error)
{
    QMessageBox::warning(this, title, QString::fromStdString(error));
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
