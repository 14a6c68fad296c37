#pragma once

#include "app/UI_Frame.h"
#include "graph/UTL_SocialGraph.h"
#include "net/UTL_NetworkSession.h"
#include "net/UTL_SessionProgress.h"

#include <memory>
#include <optional>

class CFBLoginDialog;
class QAction;
class QLabel;
class QProgressBar;
class UI_HalvaneView;

// The application's main window, titled "Halvane", with the File, View and Help menus and a
// status bar. It creates the main view filling its client area and, on the first tick at which
// the view has a login address, opens the login dialog on it. The dialog is made once and only
// hidden when closed. A circle opened from a graph file takes the place of the login: given at
// start, it is shown on the first tick at which the view is ready, and no login is started.
// The status bar keeps a line of its own about the network session: the friends and the
// friendships known so far, with a progress bar while they load, and failures in plain words.
// File > Log in again clears the circle and opens a new login dialog.
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

    // The circle to show instead of logging in, arranged by community when asked.
    void SetStartGraph(UTL_SocialGraph graph, bool byCommunity);
    // Opens, arranges and saves as the menu items do, telling the outcome in the status bar;
    // false with `error` set on failure.
    bool OpenGraphFile(const QString& path, std::string& error);
    bool SetArrangeByCommunity(bool value, std::string& error);
    bool SaveGraphFile(const QString& path, std::string& error);
    // Friendship batches back to back instead of one every 500 frames (View > Load
    // friendships at once).
    void SetFastFriendships(bool value);
    // Forgets the circle shown and the login, and opens a new login dialog on the next tick.
    void LogInAgain();

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void ShowAbout();
    void OnOpenGraph();
    void OnSaveGraph();
    void OnArrangeByCommunity(bool checked);
    // The status bar's line about the circle shown.
    void ShowCircleStatus();
    // Brings the session's line and bar up to date; tells the event log of each new stage.
    void ShowSessionProgress();
    void ShowError(const QString& title, const std::string& error);

    std::optional<UTL_SocialGraph> startGraph;
    bool loginWanted = true;
    QAction* arrangeAction = nullptr;
    QAction* fastAction = nullptr;
    QLabel* sessionLine = nullptr;
    QProgressBar* sessionBar = nullptr;
    UTL_SessionProgress shownProgress;
    bool progressShown = false;

    std::unique_ptr<CFBLoginDialog> loginDialog;
    UI_HalvaneView* mainView = nullptr;
};
