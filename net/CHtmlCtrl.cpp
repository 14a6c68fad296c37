#include "net/CHtmlCtrl.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <cstdio>
#include <cstdlib>

namespace
{
const QByteArray AppScheme = "app";

// Refuses every "app:" request: the navigation hook has already acted on it.
class AppSchemeHandler : public QWebEngineUrlSchemeHandler
{
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override
    {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
    }
};
} // namespace

void UI_LogEvent(const QString& line)
{
    if (std::getenv("HALVANE_EVENT_LOG"))
    {
        std::fprintf(stderr, "halvane: %s\n", line.toUtf8().constData());
        std::fflush(stderr);
    }
}

// The page behind the control: routes "app:" navigations to the control and keeps quiet when
// the control is silent.
class CHtmlPage : public QWebEnginePage
{
public:
    CHtmlPage(QWebEngineProfile* profile, CHtmlCtrl* control)
        : QWebEnginePage(profile, control), control(control)
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override
    {
        QString command;
        if (!CHtmlCtrl::AppCommandOf(url.toString(), command))
            return true;
        // Act after the navigation hook returns: a message box must not spin an event loop
        // inside the browser's callback.
        QTimer::singleShot(0, control,
                           [control = control, command] { control->HandleAppCommand(command); });
        return false;
    }

    void javaScriptAlert(const QUrl& origin, const QString& message) override
    {
        if (!control->IsSilent())
            QWebEnginePage::javaScriptAlert(origin, message);
    }
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override
    {
        return control->IsSilent() ? false : QWebEnginePage::javaScriptConfirm(origin, message);
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& value,
                          QString* result) override
    {
        return control->IsSilent()
                   ? false
                   : QWebEnginePage::javaScriptPrompt(origin, message, value, result);
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override
    {
    }

private:
    CHtmlCtrl* control;
};

void CHtmlCtrl::RegisterAppScheme()
{
    QWebEngineUrlScheme scheme(AppScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

CHtmlCtrl::CHtmlCtrl(QWidget* parent)
    : QWebEngineView(parent),
      profile(new QWebEngineProfile(this)) // off the record: no cookies kept
{
    profile->installUrlSchemeHandler(AppScheme, new AppSchemeHandler(profile));
    setPage(new CHtmlPage(profile, this));
}

CHtmlCtrl::~CHtmlCtrl()
{
    // The page must go before the profile it was made with.
    delete page();
}

bool CHtmlCtrl::AppCommandOf(const QString& address, QString& command)
{
    if (address.size() < 4 || address.left(4).compare("app:", Qt::CaseInsensitive) != 0)
        return false;
    command = address.mid(4);
    return true;
}

void CHtmlCtrl::HandleAppCommand(const QString& command)
{
    UI_LogEvent("app command: " + command);
    if (command == "Minimise")
    {
        if (mainWindow)
            mainWindow->showMinimized();
    }
    else if (command == "Beep")
        QApplication::beep();
    else
    {
        auto* box = new QMessageBox(QMessageBox::Question, "Unexpected Command", command,
                                    QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    }
}
