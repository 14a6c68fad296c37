#pragma once

#include "app/UI_Frame.h"
#include "net/UTL_NetworkSession.h"

#include <memory>

class CFBLoginDialog;
class UI_HalvaneView;

// The application's main window, titled "Halvane", with the File and Help menus. It creates the
// main view filling its client area and, on the first tick at which the view has a login
// address, opens the login dialog on it. The dialog is made once and only hidden when closed.
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

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void ShowAbout();

    std::unique_ptr<CFBLoginDialog> loginDialog;
    UI_HalvaneView* mainView = nullptr;
};
