#pragma once

#include "app/UI_OpenGlOverlappedView.h"
#include "net/UTL_NetworkSession.h"

#include <chrono>
#include <memory>
#include <string>

class UTL_SimCtrlRoot;

// The main view: hosts the scene controller and the social-network session. It renders one
// frame per idle tick of the frame, measuring the wall-clock time since the previous frame,
// forwards left-button and key events to the controller with y turned to grow upwards, builds
// the login address on demand and starts the friend download when the login dialog closes. The
// friendship batches run from the frame counter.
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

    // Asks for the next frame; the frame itself is drawn when Qt paints the view.
    void Render() override;

    bool StartLogin() { return session.StartLogin(); }
    std::string GetLoginUrl() { return session.GetLoginUrl(); }
    void OnLoginClosed();

    UTL_SimCtrlRoot* GetController() const { return controller.get(); }
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

private:
    // The event's position in device pixels, y counted from the bottom, and its flag word.
    void ToController(const QMouseEvent* event, int& x, int& y, int& flags) const;

    std::unique_ptr<UTL_SimCtrlRoot> controller;
    std::chrono::steady_clock::time_point lastTime;
    double lastFrameSeconds = 0.0;
    UTL_NetworkSession session;
};
