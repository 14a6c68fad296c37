#pragma once

#include "app/UI_Frame.h"
#include "graph/UTL_SocialGraph.h"
#include "net/UTL_NetworkSession.h"
#include "net/UTL_SessionProgress.h"
#include "scene/GFX_DrawPaths.h"
#include "sim/UTL_CircleDocument.h"
#include "sim/UTL_Focus.h"

#include <memory>
#include <optional>

class CFBLoginDialog;
class GFX_Friend;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QMimeData;
class QProgressBar;
class UI_HalvaneView;
class UI_PeoplePanel;
class UI_PersonPanel;
class UI_SearchBar;

// The application's main window, titled "Halvane", with the File, View and Help menus and a
// status bar. File saves the view as a picture, View > Arrange lays the circle out in arrival
// order, by community or by friendships, View > Theme switches the colour theme. It creates
// the main view filling its client area and, on the first tick at which the view has a login
// address, opens the login dialog on it. The dialog is made once and only hidden when closed. A
// circle opened from a graph file takes the place of the login: given at start, it is shown on the
// first tick at which the view is ready, and no login is started. A graph file also opens from
// File > Open Recent (the user's list of the last files opened, shared by every window) and when
// dropped on the window.
// The status bar keeps a line of its own about the network session: the friends and the
// friendships known so far, with a progress bar while they load, and failures in plain words.
// File > Log in again clears the circle and opens a new login dialog.
// Two docks answer questions about the circle: the person selected (View > Person) and the
// people table (View > People, File > Export Table); View > Filter shows only part of the circle
// and Edit > Find Path asks how the person selected is connected to someone found by name. The
// status bar says what is filtered or asked.
class CMainFrame : public UI_Frame
{
    Q_OBJECT

public:
    explicit CMainFrame(const UTL_NetworkSession::Endpoints& endpoints);
    ~CMainFrame() override;

    void Tick() override;
    // Called by the login dialog when its Close button is pressed.
    void OnLoginClosed();

    UI_HalvaneView* GetMainView() const { return mainView; }
    CFBLoginDialog* GetLoginDialog() const { return loginDialog.get(); }
    // Whether the login dialog is on screen (made and not yet closed).
    bool IsLoginDialogShown() const;
    UI_SearchBar* GetSearchBar() const { return searchBar; }
    UI_PersonPanel* GetPersonPanel() const { return personPanel; }
    UI_PeoplePanel* GetPeoplePanel() const { return peoplePanel; }
    // Puts a filter around the person selected in force, as View > Filter does; false with
    // `error` set when nobody is selected or they have no community.
    bool SetFilter(UTL_Focus::Filter filter, std::string& error);
    // Writes the people table as CSV, as File > Export Table does.
    bool ExportTable(const QString& path, std::string& error);
    // The status bar's permanent text about the person selected.
    QString GetSelectionText() const;
    // What the status bar says of a person selected: their name and how many friends they
    // have in the circle shown ("you" for the user); empty for nobody.
    static QString SelectionText(const QString& name, bool isUser, int friends);

    // The circle to show instead of logging in, arranged as `arrangement` says.
    void SetStartGraph(UTL_SocialGraph graph, UTL_CircleDocument::Arrangement arrangement);
    // Opens, arranges and saves as the menu items do, telling the outcome in the status bar;
    // false with `error` set on failure.
    bool OpenGraphFile(const QString& path, std::string& error);
    bool SetArrangement(UTL_CircleDocument::Arrangement arrangement, std::string& error);
    bool SaveGraphFile(const QString& path, std::string& error);
    // "This is me" for the person with `id`, from the view's context menu or any other part of
    // the window that shows people.
    bool MakeUser(const QString& id, std::string& error);
    // A graph file given at start that does not open: the window says why (a person who
    // double-clicked the file sees no terminal), and waits for another file or a login.
    void ShowStartError(const std::string& error);
    // The graph file a drop carries: its first local file; empty for none.
    static QString DroppedFile(const QMimeData* data);
    // Writes the view as a PNG picture of width × height pixels (the view's own size, or
    // larger: drawn at that size offscreen), telling the outcome in the status bar.
    bool SavePicture(const QString& path, int width, int height, std::string& error);
    // Puts the theme at `index` of the themes file in force, as View > Theme does.
    bool SetTheme(int index, std::string& error);
    // Where a window of this program opens: about 80 % of the screen's available area, centred,
    // and never smaller than the smallest size it keeps the dial and the docks in.
    static QRect InitialGeometry(const QRect& available);
    // The smallest client size at which the dial, the rotation buttons and the first items of
    // both docks stay in view.
    static QSize MinimumViewSize();
    // Friendship batches back to back instead of one every 500 frames (View > Load
    // friendships at once).
    void SetFastFriendships(bool value);
    // Forgets the circle shown and the login, and opens a new login dialog on the next tick.
    void LogInAgain();
    // Labels make room for each other (View > Make room for labels) or all show; `chosen`: the
    // user picked it, and every circle keeps it from then on. Otherwise a circle from a file
    // makes room and one from the network shows every label.
    void SetLabels(GFX_DrawPaths::Labels labels, bool chosen);

protected:
    void focusInEvent(QFocusEvent* event) override;
    // A graph file dropped on the window opens as File > Open Graph would open it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ShowAbout();
    // Edit > Find: the search bar over the view, with everyone shown.
    void OnFind();
    void OnPicked(const QString& id, const QString& name);
    // Edit > Find Path: the search bar, whose pick asks for the chain from the person selected.
    void OnFindPath();
    void OnExportTable();
    // The panels, their menu items and the status bar's note about the focus.
    void AddPanels(QMenu* view);
    void ShowFocusStatus();
    void OnFullScreen(bool on);
    void ShowKeys();
    // Shows who is selected now, when that or their friend count changed.
    void UpdateSelectionStatus();
    void OnOpenGraph();
    // Opens the file, a message box telling why not.
    void OpenAndTell(const QString& path);
    void OnFindCommunitiesAgain();
    void OnSaveGraph();
    void OnArrange(UTL_CircleDocument::Arrangement arrangement);
    // Checks the arrangement asked for in View > Arrange, and offers to stop one under way.
    void ShowArrangement();
    // The status bar's line about a layout under way, once it takes longer than half a second.
    void ShowArrangingProgress();
    void OnSavePicture();
    // Lists the themes of the themes file in View > Theme, the one in force checked.
    void FillThemeMenu();
    // The status bar's line about the circle shown.
    void ShowCircleStatus();
    // Brings the session's line and bar up to date; tells the event log of each new stage.
    void ShowSessionProgress();
    void ShowError(const QString& title, const std::string& error);
    // The way of labels for a circle just shown, from a file or not, unless the user chose one.
    void ShowLabelsFor(bool fromFile);

    std::optional<UTL_SocialGraph> startGraph;
    bool loginWanted = true;
    QActionGroup* arrangeGroup = nullptr;
    QAction* stopArrangingAction = nullptr;
    bool wasArranging = false;
    // What the status bar says of the circle shown; it comes back when a message is done.
    QString circleStatus;
    QMenu* themeMenu = nullptr;
    QAction* fullScreenAction = nullptr;
    UI_SearchBar* searchBar = nullptr;
    // Whether the search bar was opened to find the end of a chain.
    bool findingPath = false;
    UI_PersonPanel* personPanel = nullptr;
    UI_PeoplePanel* peoplePanel = nullptr;
    QLabel* focusLabel = nullptr;
    // The person whose neighbourhood hovering shows, as last told (compared, never followed).
    const GFX_Friend* shownHover = nullptr;
    QLabel* selectionLabel = nullptr;
    // What the selection label shows: the person (compared, never followed), their count, and
    // the number of lines when it was counted.
    const GFX_Friend* shownPerson = nullptr;
    size_t shownLines = 0;
    int shownFriends = -1;
    QAction* fastAction = nullptr;
    QAction* labelsAction = nullptr;
    bool labelsChosen = false;
    QLabel* sessionLine = nullptr;
    QProgressBar* sessionBar = nullptr;
    UTL_SessionProgress shownProgress;
    bool progressShown = false;

    std::unique_ptr<CFBLoginDialog> loginDialog;
    UI_HalvaneView* mainView = nullptr;
};
