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
// one shown, and any circle shown can be arranged by community and saved as a graph file.
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
    // The frame itself is drawn when Qt paints the view.
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
    bool StartLogin() { return session.StartLogin(); }
    std::string GetLoginUrl() { return session.GetLoginUrl(); }
    void OnLoginClosed();
    // Clears the circle shown and forgets the login, so that the next login address is a new
    // one and the circle of the next login arrives afresh.
    void LogInAgain();

    using Progress = UTL_CircleDocument::Progress;
    // Reads the graph file and shows its circle instead of the one shown, arranged as
    // IsArrangedByCommunity says; `self` names the user's node (empty: as the file says). On
    // failure `error` says why and the circle shown stays.
    bool OpenGraph(const std::string& path, const std::string& self, const Progress& progress,
                   std::string& error);
    // Shows a graph already read, as OpenGraph does; false when the view has no GL yet, or
    // with `error` set.
    bool ShowOpened(UTL_SocialGraph opened, std::string& error);
    // Lays the circle shown out again, community by community (coloured, largest first) or in
    // the order its people arrived. Refused while the server's friendships are still arriving.
    bool ArrangeByCommunity(bool value, std::string& error);
    bool IsArrangedByCommunity() const
    {
        return document->GetArrangement() == UTL_CircleDocument::Arrangement::Communities;
    }
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
    // What the communities are, for the status bar; empty when not arranged by community.
    const std::string& GetLegend() const { return document->GetLegend(); }
    const UTL_CircleDocument& GetDocument() const { return *document; }

    UTL_SimCtrlHalvane* GetController() const { return controller.get(); }
    UTL_NetworkSession& GetSession() { return session; }
    // Wall-clock seconds the last frame's drawing took (0 before the first frame).
    double GetLastFrameSeconds() const { return lastFrameSeconds; }

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
    // Tab and Shift+Tab step through the friends instead of moving the keyboard focus.
    bool event(QEvent* event) override;

private:
    // Tells the event log how many communities the circle shown is arranged in, when it is.
    void LogCommunities();
    // The event's position in device pixels, y counted from the bottom, and its flag word.
    void ToController(const QMouseEvent* event, int& x, int& y, int& flags) const;

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
};
