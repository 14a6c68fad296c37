#include "app/CMainFrame.h"

#include "app/CAboutDlg.h"
#include "app/CSavePictureDlg.h"
#include "app/UI_HalvaneView.h"
#include "app/UI_PeoplePanel.h"
#include "app/UI_PersonPanel.h"
#include "app/UI_RecentMenu.h"
#include "app/UI_SearchBar.h"
#include "graph/UTL_GraphReader.h"
#include "net/CFBLoginDialog.h"
#include "net/CHtmlCtrl.h"
#include "scene/GFX_Friend.h"
#include "sim/UTL_FriendCircle.h"
#include "sim/UTL_KeyboardControl.h"
#include "sim/UTL_SimCtrlHalvane.h"

#include <QActionGroup>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>

namespace
{
// The width the status bar gives the selected person's name, in pixels.
constexpr int SelectionNameWidthPx = 320;

// A menu's shortcut as the key table gives it.
QKeySequence ShortcutOf(UTL_KeyboardControl::Command command)
{
    return QKeySequence(QString::fromStdString(UTL_KeyboardControl::Shortcut(command)));
}
} // namespace

CMainFrame::CMainFrame(const UTL_NetworkSession::Endpoints& endpoints)
{
    using Command = UTL_KeyboardControl::Command;
    setWindowTitle("Halvane");
    QMenu* file = menuBar()->addMenu("&File");
    file->addAction("&Open Graph...", ShortcutOf(Command::OpenGraph), this,
                    &CMainFrame::OnOpenGraph);
    auto* recent = new UI_RecentMenu(file);
    file->addMenu(recent);
    connect(recent, &UI_RecentMenu::chosen, this, &CMainFrame::OpenAndTell);
    file->addAction("&Save Graph As...", this, &CMainFrame::OnSaveGraph);
    file->addAction("Save &Picture...", ShortcutOf(Command::SavePicture), this,
                    &CMainFrame::OnSavePicture);
    file->addAction("&Export Table...", this, &CMainFrame::OnExportTable);
    file->addSeparator();
    file->addAction("&Log in again", ShortcutOf(Command::LogInAgain), this,
                    &CMainFrame::LogInAgain);
    file->addSeparator();
    file->addAction("E&xit", ShortcutOf(Command::Quit), this, &QWidget::close);
    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->addAction("&Find...", ShortcutOf(Command::Find), this, &CMainFrame::OnFind);
    edit->addAction("Find &Path...", this, &CMainFrame::OnFindPath);
    QMenu* view = menuBar()->addMenu("&View");
    QMenu* arrange = view->addMenu("&Arrange");
    arrangeGroup = new QActionGroup(this);
    using Arrangement = UTL_CircleDocument::Arrangement;
    const std::pair<const char*, Arrangement> arrangements[] = {
        {"In &arrival order", Arrangement::Arrival},
        {"By &community", Arrangement::Communities},
        {"By &friendships", Arrangement::Sphere},
    };
    for (const auto& [text, value] : arrangements)
    {
        QAction* item = arrange->addAction(text);
        item->setCheckable(true);
        item->setData(static_cast<int>(value));
        arrangeGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, value = value] { OnArrange(value); });
    }
    stopArrangingAction = view->addAction("&Stop arranging");
    stopArrangingAction->setShortcut(ShortcutOf(Command::StopArranging));
    stopArrangingAction->setEnabled(false);
    connect(stopArrangingAction, &QAction::triggered, this,
            [this]
            {
                mainView->StopArranging();
                ShowArrangement();
                ShowCircleStatus();
            });
    view->addAction("Find communities a&gain", this, &CMainFrame::OnFindCommunitiesAgain);
    themeMenu = view->addMenu("&Theme");
    // The themes are read with the view's GL set-up; the list is made when the menu opens.
    connect(themeMenu, &QMenu::aboutToShow, this, &CMainFrame::FillThemeMenu);
    labelsAction = view->addAction("Make room for &labels");
    labelsAction->setCheckable(true);
    connect(labelsAction, &QAction::toggled, this,
            [this](bool checked) {
                SetLabels(checked ? GFX_DrawPaths::Labels::Room : GFX_DrawPaths::Labels::All, true);
            });
    fastAction = view->addAction("Load friendships at &once");
    fastAction->setCheckable(true);
    connect(fastAction, &QAction::toggled, this,
            [this](bool checked) { mainView->GetSession().SetFastBatches(checked); });
    view->addSeparator();
    fullScreenAction = view->addAction("&Full Screen");
    fullScreenAction->setShortcut(ShortcutOf(Command::FullScreen));
    fullScreenAction->setCheckable(true);
    connect(fullScreenAction, &QAction::toggled, this, &CMainFrame::OnFullScreen);
    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction("&Keys and Mouse...", ShortcutOf(Command::Help), this, &CMainFrame::ShowKeys);
    help->addAction("&About Halvane...", this, &CMainFrame::ShowAbout);

    mainView = new UI_HalvaneView(endpoints, Area());
    AddView(mainView);
    connect(mainView, &UI_HalvaneView::userChosen, this,
            [this](const QString& id)
            {
                std::string error;
                if (!MakeUser(id, error))
                    ShowError("This is me", error);
            });
    setAcceptDrops(true);
    // The area's layout keeps the frame large enough for it.
    Area()->setMinimumSize(MinimumViewSize());
    mainView->setFocus();
    searchBar = new UI_SearchBar(Area());
    connect(searchBar, &UI_SearchBar::picked, this, &CMainFrame::OnPicked);
    connect(searchBar, &UI_SearchBar::closed, this,
            [this]
            {
                UI_LogEvent("search closed");
                mainView->setFocus();
            });
    selectionLabel = new QLabel(this);
    sessionLine = new QLabel(this);
    sessionBar = new QProgressBar(this);
    sessionBar->setRange(0, 100);
    sessionBar->setMaximumWidth(160);
    sessionBar->hide();
    statusBar()->addPermanentWidget(sessionLine);
    statusBar()->addPermanentWidget(sessionBar);
    statusBar()->addPermanentWidget(selectionLabel);
    AddPanels(view);
    statusBar()->showMessage("Ready");
    // A message that is done (timed out, or cleared by a menu's hover) gives the line back to
    // the circle shown.
    connect(statusBar(), &QStatusBar::messageChanged, this,
            [this](const QString& message)
            {
                if (!message.isEmpty() || circleStatus.isEmpty())
                    return;
                statusBar()->showMessage(circleStatus);
                UI_LogEvent("status: " + circleStatus);
            });
}

CMainFrame::~CMainFrame()
{
    loginDialog.reset();
}

void CMainFrame::Tick()
{
    UI_Frame::Tick();
    UpdateSelectionStatus();
    personPanel->Refresh();
    peoplePanel->Refresh();
    ShowFocusStatus();
    if (startGraph && mainView && mainView->isValid())
    {
        std::string error;
        UTL_SocialGraph graph = std::move(*startGraph);
        startGraph.reset();
        if (mainView->ShowOpened(std::move(graph), error))
        {
            ShowLabelsFor(true);
            ShowCircleStatus();
        }
        else
            ShowError("Open Graph", error);
        ShowArrangement();
    }
    if (mainView)
    {
        ShowSessionProgress();
        ShowArrangingProgress();
    }
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
    ShowArrangement();
    ShowLabelsFor(false);
    ShowCircleStatus();
}

void CMainFrame::SetLabels(GFX_DrawPaths::Labels labels, bool chosen)
{
    labelsChosen = labelsChosen || chosen;
    {
        const QSignalBlocker quiet(labelsAction);
        labelsAction->setChecked(labels == GFX_DrawPaths::Labels::Room);
    }
    UTL_SimCtrlHalvane* controller = mainView ? mainView->GetController() : nullptr;
    if (!controller || controller->GetDrawPaths().labels == labels)
        return;
    GFX_DrawPaths paths = controller->GetDrawPaths();
    paths.labels = labels;
    controller->SetDrawPaths(paths);
    UI_LogEvent(labels == GFX_DrawPaths::Labels::Room ? "labels: room made" : "labels: all");
}

void CMainFrame::ShowLabelsFor(bool fromFile)
{
    if (!labelsChosen)
        SetLabels(fromFile ? GFX_DrawPaths::Labels::Room : GFX_DrawPaths::Labels::All, false);
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
    circleStatus.clear();
    ShowArrangement();
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

void CMainFrame::SetStartGraph(UTL_SocialGraph graph, UTL_CircleDocument::Arrangement arrangement)
{
    startGraph = std::move(graph);
    loginWanted = false;
    mainView->SetFileArrangement(arrangement);
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
    ShowArrangement();
    ShowLabelsFor(true);
    ShowCircleStatus();
    UI_RecentMenu::Remember(path);
    return true;
}

void CMainFrame::ShowStartError(const std::string& error)
{
    // No login either: the person asked for a file, and picks what comes next.
    loginWanted = false;
    mainView->GetSession().StopBatches();
    statusBar()->showMessage("The graph file did not open: use File > Open Graph or File > Log "
                             "in again");
    const QString text = QString::fromStdString(error);
    // Once the window is up, so that the box has it to stand on.
    QTimer::singleShot(0, this,
                       [this, text]
                       {
                           UI_LogEvent("open failed: " + text);
                           QMessageBox::warning(this, "Open Graph",
                                                "Halvane could not open the graph file.\n\n" +
                                                    text);
                       });
}

QString CMainFrame::DroppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return QString();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dragMoveEvent(QDragMoveEvent* event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    UI_LogEvent("dropped: " + path);
    // Read once the drop is over: the program the file came from waits for its answer till then.
    QTimer::singleShot(0, this, [this, path] { OpenAndTell(path); });
}

bool CMainFrame::SetArrangement(UTL_CircleDocument::Arrangement arrangement, std::string& error)
{
    const bool arranged = mainView->Arrange(arrangement, error);
    ShowArrangement();
    if (!arranged)
    {
        statusBar()->showMessage(QString::fromStdString(error));
        return false;
    }
    if (!mainView->IsArranging())
        ShowCircleStatus();
    else if (!mainView->GetDocument().IsArranging())
        statusBar()->showMessage("The circle is arranged once its friendships have all arrived");
    return true;
}

void CMainFrame::ShowArrangement()
{
    const int asked = static_cast<int>(mainView->GetArrangement());
    for (QAction* item : arrangeGroup->actions())
        if (item->data().toInt() == asked && !item->isChecked())
            item->setChecked(true);
    stopArrangingAction->setEnabled(mainView->IsArranging());
}

void CMainFrame::ShowArrangingProgress()
{
    const UTL_CircleDocument& document = mainView->GetDocument();
    if (document.IsArranging() && document.GetArrangingSeconds() > 0.5)
    {
        const QString text = QString("Arranging by friendships: %1 % (%2 stops)")
                                 .arg(static_cast<int>(100.0 * document.GetArrangingProgress()))
                                 .arg(stopArrangingAction->shortcut().toString());
        if (statusBar()->currentMessage() != text)
            statusBar()->showMessage(text);
    }
    // A layout that started or ended (arrived, stopped or failed) leaves the menu and the status
    // bar saying what is shown.
    const bool arranging = mainView->IsArranging();
    if (arranging == wasArranging)
        return;
    wasArranging = arranging;
    ShowArrangement();
    if (!arranging)
        ShowCircleStatus();
}

bool CMainFrame::SaveGraphFile(const QString& path, std::string& error)
{
    if (!mainView->SaveGraph(path.toStdString(), error))
    {
        statusBar()->showMessage(QString::fromStdString(error));
        return false;
    }
    // For a while; then the circle's line, legend and all, is back.
    constexpr int SavedMessageMs = 4000;
    statusBar()->showMessage("Saved " + path, SavedMessageMs);
    UI_LogEvent("graph saved: " + path);
    return true;
}

bool CMainFrame::MakeUser(const QString& id, std::string& error)
{
    if (!mainView->MakeUser(id.toStdString(), error))
    {
        statusBar()->showMessage(QString::fromStdString(error));
        return false;
    }
    ShowCircleStatus();
    return true;
}

void CMainFrame::OnFindCommunitiesAgain()
{
    std::string error;
    if (!mainView->FindCommunitiesAgain(error))
    {
        ShowError("Find communities again", error);
        return;
    }
    ShowArrangement();
    ShowCircleStatus();
}

void CMainFrame::OnOpenGraph()
{
    const QString filter = QString("Graph files (%1);;All files (*)")
                               .arg(QString::fromStdString(UTL_GraphReader::Patterns()));
    const QString path = QFileDialog::getOpenFileName(this, "Open Graph", QString(), filter);
    if (!path.isEmpty())
        OpenAndTell(path);
}

void CMainFrame::OpenAndTell(const QString& path)
{
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

void CMainFrame::OnArrange(UTL_CircleDocument::Arrangement arrangement)
{
    std::string error;
    if (!SetArrangement(arrangement, error))
        ShowError("Arrange", error);
}

bool CMainFrame::SavePicture(const QString& path, int width, int height, std::string& error)
{
    if (!mainView->SavePicture(path.toStdString(), width, height, error))
    {
        statusBar()->showMessage(QString::fromStdString(error));
        UI_LogEvent("picture not saved: " + QString::fromStdString(error));
        return false;
    }
    statusBar()->showMessage(QString("Saved %1 (%2 × %3)").arg(path).arg(width).arg(height));
    UI_LogEvent(QString("picture saved: %1 × %2").arg(width).arg(height));
    return true;
}

void CMainFrame::OnSavePicture()
{
    if (!mainView->isValid())
        return;
    CSavePictureDlg sizes(mainView->PixelWidth(), mainView->PixelHeight(),
                          mainView->GetMaxPictureSide(), this);
    if (sizes.exec() != QDialog::Accepted)
        return;
    const QString path =
        QFileDialog::getSaveFileName(this, "Save Picture", "halvane.png", "PNG pictures (*.png)");
    if (path.isEmpty())
        return;
    std::string error;
    if (!SavePicture(path, sizes.PictureWidth(), sizes.PictureHeight(), error))
        ShowError("Save Picture", error);
}

bool CMainFrame::SetTheme(int index, std::string& error)
{
    UTL_SimCtrlHalvane* controller = mainView->GetController();
    if (index < 0 || !controller->SetTheme(static_cast<size_t>(index)))
    {
        error = "there is no theme " + std::to_string(index + 1) + " in the themes file";
        return false;
    }
    const std::vector<std::string>& names = controller->GetThemeNames();
    const QString name = QString::fromStdString(names[static_cast<size_t>(index)]);
    UI_LogEvent(QString("theme: %1 %2").arg(index + 1).arg(name).trimmed());
    statusBar()->showMessage(name.isEmpty() ? QString("Theme %1").arg(index + 1)
                                            : "Theme: " + name);
    mainView->update();
    return true;
}

void CMainFrame::FillThemeMenu()
{
    themeMenu->clear();
    const UTL_SimCtrlHalvane* controller = mainView->GetController();
    const std::vector<std::string>& names = controller->GetThemeNames();
    if (names.empty())
    {
        themeMenu->addAction("No themes in the themes file")->setEnabled(false);
        return;
    }
    auto* group = new QActionGroup(themeMenu);
    for (size_t i = 0; i < names.size(); ++i)
    {
        // The first nine are picked by their digit.
        const QString number = i < 9 ? QString("&%1").arg(i + 1) : QString::number(i + 1);
        const QString name =
            names[i].empty() ? QString("Theme %1").arg(i + 1) : QString::fromStdString(names[i]);
        QAction* item = themeMenu->addAction(number + " " + name);
        item->setCheckable(true);
        item->setChecked(static_cast<int>(i) == controller->GetThemeIndex());
        group->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, i]
                {
                    std::string error;
                    if (!SetTheme(static_cast<int>(i), error))
                        ShowError("Theme", error);
                });
    }
}

QSize CMainFrame::MinimumViewSize()
{
    return QSize(400, 300);
}

QRect CMainFrame::InitialGeometry(const QRect& available)
{
    const QSize least = MinimumViewSize();
    QSize size(available.width() * 4 / 5, available.height() * 4 / 5);
    size = size.expandedTo(least).boundedTo(available.size());
    QRect geometry(QPoint(0, 0), size);
    geometry.moveCenter(available.center());
    return geometry;
}

void CMainFrame::ShowCircleStatus()
{
    const UTL_FriendCircle& circle = mainView->GetController()->GetCircle();
    QString text = QString("%1 friends").arg(circle.GetFriendCount());
    if (!mainView->GetLegend().empty())
        text += " · " + QString::fromStdString(mainView->GetLegend());
    circleStatus = text;
    statusBar()->showMessage(text);
    UI_LogEvent("status: " + text);
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

void CMainFrame::OnFind()
{
    UTL_NameSearch people;
    const UTL_FriendCircle& circle = mainView->GetController()->GetCircle();
    if (const GFX_Friend* self = circle.GetSelf())
        people.Add(self->GetId(), self->GetShownName());
    for (const auto& person : circle.GetFriends())
        people.Add(person->GetId(), person->GetShownName());
    const size_t count = people.Size();
    findingPath = false;
    searchBar->Open(std::move(people));
    UI_LogEvent(QString("search opened: %1 people").arg(count));
}

void CMainFrame::OnPicked(const QString& id, const QString& name)
{
    UI_LogEvent("search picked: " + name);
    if (findingPath)
    {
        findingPath = false;
        if (!mainView->GetController()->AskAbout(UTL_Focus::Question::Path, id.toStdString()))
            statusBar()->showMessage("No chain to " + name + ": select someone else first");
        return;
    }
    if (!mainView->GetController()->SelectFriendById(id.toStdString()))
        statusBar()->showMessage(name + " is no longer in the circle shown");
    mainView->Wake();
}

void CMainFrame::OnFullScreen(bool on)
{
    if (on)
        showFullScreen();
    else
        showNormal();
}

void CMainFrame::ShowKeys()
{
    QMessageBox box(this);
    box.setWindowTitle("Keys and Mouse");
    box.setIcon(QMessageBox::Information);
    box.setTextFormat(Qt::RichText);
    box.setText(QString::fromStdString(UTL_KeyboardControl::HelpPage()));
    box.exec();
}

QString CMainFrame::SelectionText(const QString& name, bool isUser, int friends)
{
    if (name.isEmpty())
        return QString();
    const QString count = QString("%1 friend%2").arg(friends).arg(friends == 1 ? "" : "s");
    if (isUser)
        return QString("%1 (you) · %2").arg(name, count);
    return QString("%1 · %2 in this circle").arg(name, count);
}

QString CMainFrame::GetSelectionText() const
{
    return selectionLabel->text();
}

void CMainFrame::UpdateSelectionStatus()
{
    if (!mainView || !mainView->GetController())
        return;
    UTL_SimCtrlHalvane& controller = *mainView->GetController();
    const GFX_Friend* person = controller.GetSelection().GetPerson();
    const UTL_FriendCircle& circle = controller.GetCircle();
    const size_t lines = circle.GetConnections().size();
    if (person == shownPerson && lines == shownLines && circle.GetFriendCount() == shownFriends)
        return;
    shownPerson = person;
    shownLines = lines;
    shownFriends = circle.GetFriendCount();
    // A name may be 256 characters long: the line shows what fits beside the session's
    // progress, the tooltip all of it.
    const QString name = person ? QString::fromStdString(person->GetShownName()) : QString();
    const QString text =
        person ? SelectionText(selectionLabel->fontMetrics().elidedText(name, Qt::ElideRight,
                                                                        SelectionNameWidthPx),
                               person == circle.GetSelf(), circle.CountFriendsOf(person))
               : QString();
    selectionLabel->setToolTip(name);
    if (text == selectionLabel->text())
        return;
    selectionLabel->setText(text);
    if (!text.isEmpty())
        UI_LogEvent("selected: " + text);
}

void CMainFrame::AddPanels(QMenu* view)
{
    UTL_SimCtrlHalvane& controller = *mainView->GetController();
    personPanel = new UI_PersonPanel(controller, this);
    peoplePanel = new UI_PeoplePanel(controller, this);
    addDockWidget(Qt::RightDockWidgetArea, personPanel);
    connect(personPanel, &UI_PersonPanel::personMenuWanted, this,
            [this](const QString& id, const QString& name, const QPoint& where)
            { mainView->ShowPersonMenu(id.toStdString(), name.toStdString(), where); });
    addDockWidget(Qt::BottomDockWidgetArea, peoplePanel);
    personPanel->hide();
    peoplePanel->hide();
    view->addSeparator();
    personPanel->toggleViewAction()->setText("&Person");
    peoplePanel->toggleViewAction()->setText("P&eople");
    view->addAction(personPanel->toggleViewAction());
    view->addAction(peoplePanel->toggleViewAction());
    QMenu* filters = view->addMenu("F&ilter");
    const auto filterItem = [this, filters](const QString& text, UTL_Focus::Filter filter)
    {
        filters->addAction(text, this,
                           [this, filter]
                           {
                               std::string error;
                               if (!SetFilter(filter, error))
                                   ShowError("Filter", error);
                           });
    };
    filterItem("Only their &friends", UTL_Focus::Filter::Friends);
    filterItem("Their friends and friends of f&riends", UTL_Focus::Filter::FriendsOfFriends);
    filterItem("Only their &community", UTL_Focus::Filter::Community);
    filters->addSeparator();
    filters->addAction("Show &everyone\tEsc", this,
                       [this] { mainView->GetController()->GetFocus().Clear(); });
    focusLabel = new QLabel(this);
    focusLabel->hide();
    statusBar()->addPermanentWidget(focusLabel);
    statusBar()->addPermanentWidget(peoplePanel->GetProgressLabel());
}

bool CMainFrame::SetFilter(UTL_Focus::Filter filter, std::string& error)
{
    UTL_SimCtrlHalvane& controller = *mainView->GetController();
    const GFX_Friend* person = controller.GetSelection().GetPerson();
    if (controller.GetFocus().SetFilter(filter, person))
        return true;
    error = person ? person->GetShownName() + " belongs to no community"
                   : std::string("select a person first, on the globe or in a dock");
    return false;
}

void CMainFrame::ShowFocusStatus()
{
    const UTL_Focus& focus = mainView->GetController()->GetFocus();
    if (focus.GetHovered() != shownHover)
    {
        shownHover = focus.GetHovered();
        if (shownHover)
            UI_LogEvent("hover: " + QString::fromStdString(shownHover->GetShownName()));
    }
    const QString text = QString::fromStdString(focus.Describe());
    if (text == focusLabel->text())
        return;
    focusLabel->setText(text);
    focusLabel->setVisible(!text.isEmpty());
    UI_LogEvent(text.isEmpty() ? QString("focus: everyone shown") : "focus: " + text);
}

void CMainFrame::OnFindPath()
{
    if (!mainView->GetController()->GetSelection().GetPerson())
    {
        ShowError("Find Path", "select the person the chain starts from first");
        return;
    }
    OnFind();
    findingPath = true;
}

bool CMainFrame::ExportTable(const QString& path, std::string& error)
{
    if (!peoplePanel->ExportCsv(path, error))
    {
        statusBar()->showMessage(QString::fromStdString(error));
        return false;
    }
    statusBar()->showMessage("Saved " + path);
    return true;
}

void CMainFrame::OnExportTable()
{
    const QString path =
        QFileDialog::getSaveFileName(this, "Export Table", "people.csv", "CSV (*.csv)");
    if (path.isEmpty())
        return;
    std::string error;
    if (!ExportTable(path, error))
        ShowError("Export Table", error);
}
