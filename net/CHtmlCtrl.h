#pragma once

#include <QString>
#include <QWebEngineView>

class QWebEngineProfile;

// The embedded browser of the login dialog. Pages can talk to the application by navigating to
// "app:<command>" (the prefix in any case): such a navigation is cancelled and the command
// handled instead. The browser is silent: script dialogs are suppressed.
//
// Qt only lets "app:" navigations reach the page's navigation hook when the scheme is registered
// before the application object exists (RegisterAppScheme) and handled on the profile, which
// this class does. GUI thread only.
class CHtmlCtrl : public QWebEngineView
{
    Q_OBJECT

public:
    explicit CHtmlCtrl(QWidget* parent = nullptr);
    ~CHtmlCtrl() override;

    // Registers the "app" scheme; call once before constructing the QApplication.
    static void RegisterAppScheme();

    // The window "Minimise" minimises.
    void SetMainWindow(QWidget* window) { mainWindow = window; }
    void SetSilent(bool value) { silent = value; }
    bool IsSilent() const { return silent; }

    // "Minimise" minimises the main window, "Beep" beeps, anything else is shown in a question
    // box titled "Unexpected Command". Compared exactly.
    virtual void HandleAppCommand(const QString& command);

    // Whether `address` is an "app:" address (prefix compared without regard to case); if so,
    // `command` receives what follows the prefix.
    static bool AppCommandOf(const QString& address, QString& command);

private:
    friend class CHtmlPage;
    QWebEngineProfile* profile;
    QWidget* mainWindow = nullptr;
    bool silent = false;
};

// Writes a line about what the shell did ("app command: Beep") to stderr when the environment
// variable HALVANE_EVENT_LOG is set; the end-to-end tests read it.
void UI_LogEvent(const QString& line);
