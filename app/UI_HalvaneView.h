#pragma once

#include "app/UI_OpenGlOverlappedView.h"
#include "graph/UTL_SocialGraph.h"
#include "net/UTL_NetworkSession.h"
#include "sim/UTL_CircleDocument.h"
#include "sim/UTL_PictureExport.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class UTL_SimCtrlHalvane;

// The main view: hosts the scene controller and the social-network session. It renders one
// frame per idle tick of the frame, measuring the wall-clock time since the previous frame, for
// as long as a frame can differ from the one before; once the scene is still (the controller's
// frame schedule says so and no friendship batch is due) it draws nothing until woken: by input,
// a picture arriving, a change made from outside, or the scene's next timed event. The time it
// rested goes to the scene's clocks, not to the frame that ends the rest. It forwards
// left-button and key events to the controller with y turned to grow upwards, builds
// the login address on demand and starts the friend download when the login dialog closes. The
// friendship batches run from the frame counter. The circle shown is a document
// (UTL_CircleDocument): a graph file can take the place of the server, its circle replacing the
// one shown, and any circle shown can be arranged anew (a layout by friendships runs on the
// document's worker and is handed over at the start of a frame), laid out around another person
// as the user (their context menu's "This is me", on the right button) and saved as a graph file.
//
// Everything runs on the user-interface thread; the controller is called with this view's GL
// context current during set-up, frames and friend arrivals.
class UI_HalvaneView : public UI_OpenGlOverlappedView
{
    Q_OBJECT

public:
    explicit UI_HalvaneView(const UTL_NetworkSession::Endpoints& endpoints,
                            QWidget* parent = nullptr);
    ~UI_HalvaneView() override;

    // Asks for the next frame unless the view is still; wakes it when its timed event is due.
    // The frame itself is drawn when Qt paints the view. An arrangement that waited for the
    // friendships is carried out once they are in.
    void Render() override;
    // Something the picture depends on changed outside a frame: the next frame is drawn, and
    // frames go on for as long as something moves. Input wakes the view by itself.
    void Wake();
    // Whether the view draws nothing until it is woken or its timed event is due.
    bool IsStill() const { return resting && !wakeRequested; }
    // Milliseconds until a still view's timed event is due (0 when overdue); -1 for none.
    int MillisecondsToEvent() const;
    // Whether the scene's idle clock counts towards an automatic motion: only while the window
    // is active and none of the program's dialogs is open.
    void SetIdleClockRunning(bool value);

signals:
    // The view wants frames again after it was still: the frame loop stops waiting.
    void framesWanted();

public:
    // A person's context menu at `where` (global coordinates): their name, and "This is me".
    void ShowPersonMenu(const std::string& id, const std::string& name, const QPoint& where);
    bool StartLogin() { return session.StartLogin(); }
    std::string GetLoginUrl() { return session.GetLoginUrl(); }
    void OnLoginClosed();
    // Clears the circle shown and forgets the login, so that the next login address is a new
    // one and the circle of the next login arrives afresh.
    void LogInAgain();

    using Progress = UTL_CircleDocument::Progress;
    using Arrangement = UTL_CircleDocument::Arrangement;
    // Reads the graph file and shows its circle instead of the one shown, arranged as files
    // are (GetFileArrangement); `self` names the user's node (empty: as the file says). On
    // failure `error` says why and the circle shown stays.
    bool OpenGraph(const std::string& path, const std::string& self, const Progress& progress,
                   std::string& error);
    // Shows a graph already read, as OpenGraph does; false when the view has no GL yet, or
    // with `error` set.
    bool ShowOpened(UTL_SocialGraph opened, std::string& error);
    // Lays the circle shown out again as `arrangement` says, the locators gliding there; by
    // friendships the layout runs on a worker and the circle changes once it is done. While the
    // server's friendships are still arriving, the choice waits until the last batch is in.
    bool Arrange(Arrangement arrangement, std::string& error);
    // The arrangement asked for last (the one the menu shows).
    Arrangement GetArrangement() const;
    // How a graph file opens: by friendships, unless the command line or a choice made while a
    // file was shown says otherwise.
    Arrangement GetFileArrangement() const { return fileArrangement; }
    void SetFileArrangement(Arrangement value) { fileArrangement = value; }
    // Whether a layout runs, or waits for the friendships; StopArranging gives either up.
    bool IsArranging() const { return document->IsArranging() || pendingArrangement; }
    void StopArranging();
    // "This is me": makes the person with `id` the user and lays the circle out again around
    // them. Refused, as arranging is, while the server's friendships are still arriving.
    bool MakeUser(const std::string& id, std::string& error);
    // Finds the communities of the circle shown anew and shows it arranged by them.
    bool FindCommunitiesAgain(std::string& error);
    // Writes the circle shown as GraphML, with its communities when they were found.
    bool SaveGraph(const std::string& path, std::string& error);
    // Draws the view at width × height pixels offscreen and writes it as a PNG file; false
    // with `error` set when the size cannot be drawn or the file not written.
    bool SavePicture(const std::string& path, int width, int height, std::string& error);
    // Writes a picture as a PNG file; false with `error` naming the file and the reason.
    static bool WritePng(const UTL_PictureExport::Picture& picture, const std::string& path,
                         std::string& error);
    // The largest side a saved picture can have here (0 before the view has GL).
    int GetMaxPictureSide();
    // What the communities are, for the status bar; empty when not arranged by community or
    // by friendships.
    const std::string& GetLegend() const { return document->GetLegend(); }
    const UTL_CircleDocument& GetDocument() const { return *document; }

    UTL_SimCtrlHalvane* GetController() const { return controller.get(); }
    UTL_NetworkSession& GetSession() { return session; }
    // Wall-clock seconds the last frame's drawing took (0 before the first frame).
    double GetLastFrameSeconds() const { return lastFrameSeconds; }

signals:
    // The user picked "This is me" in the person's context menu.
    void userChosen(const QString& id);

protected:
    void initializeGL() override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // The right button does not reach the controller: its context menu is the view's, for the
    // person under the pointer once a frame has looked there (or, from the keyboard, for the
    // person selected).
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Tab and Shift+Tab step through the friends instead of moving the keyboard focus.
    bool event(QEvent* event) override;

private:
    // Tells the event log how the circle shown is arranged, and in how many communities.
    void LogArrangement();
    // Tells the event log who the user of the circle shown is.
    void LogUser();
    // The event's position in device pixels, y counted from the bottom, and its flag word.
    void ToController(const QMouseEvent* event, int& x, int& y, int& flags) const;
    // Whether the arrangement may change now; `error` says why not.
    bool MayRearrange(std::string& error) const;

    using Clock = std::chrono::steady_clock;

    std::unique_ptr<UTL_SimCtrlHalvane> controller;
    Clock::time_point lastTime;
    double lastFrameSeconds = 0.0;
    // Whether the last frame left the scene still; up to when its rest has been told to the
    // scene; when it was woken since (the first wake counts); when its timed event is due.
    bool resting = false;
    Clock::time_point restCounted;
    bool wakeRequested = false;
    Clock::time_point wokenAt;
    bool eventPending = false;
    Clock::time_point eventDue;
    bool idleClockRunning = true;
    // A wake for a picture is on its way from the worker's thread.
    std::atomic<bool> pictureWakePosted{false};
    UTL_NetworkSession session;
    std::unique_ptr<UTL_CircleDocument> document;
    // Where a context menu was asked for, until the next frame has found who is there.
    std::optional<QPoint> menuWanted;
    Arrangement fileArrangement = Arrangement::Sphere;
    // Asked for while the server's friendships arrive.
    std::optional<Arrangement> pendingArrangement;
};
