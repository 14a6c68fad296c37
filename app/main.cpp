// Halvane: a person's circle of friends as an interactive 3-D globe.

#include "app/CHalvaneApp.h"
#include "app/CMainFrame.h"
#include "app/UI_HalvaneView.h"
#include "app/UI_OpenGlView.h"
#include "app/UI_RecentMenu.h"
#include "net/CHtmlCtrl.h"
#include "net/UTL_FacebookConfig.h"
#include "net/UTL_NetworkSession.h"
#include "sim/UTL_CircleDocument.h"
#include "sim/UTL_SimCtrlHalvane.h"
#include "sim/UTL_ViewOptions.h"

#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>
#include <QSurfaceFormat>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace
{
// The embedded browser's Chromium refuses to run as root with its sandbox on, and without a GPU
// its GPU process only gets in the way. Settings already in the environment win.
void PrepareBrowserEnvironment()
{
    if (geteuid() == 0)
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    if (!std::getenv("HALVANE_BROWSER_GPU"))
    {
        std::string flags = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS")
                                ? std::getenv("QTWEBENGINE_CHROMIUM_FLAGS")
                                : "";
        if (flags.find("--disable-gpu") == std::string::npos)
            flags += (flags.empty() ? "" : " ") + std::string("--disable-gpu");
        setenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.c_str(), 1);
    }
}
} // namespace

namespace
{
// The command line, read before the GUI exists so that --help and --version work, and mistakes
// are reported, without a display. Returns false when the program should stop with `exitCode`.
bool ParseOptions(int argc, char** argv, UTL_NetworkSession::Endpoints& endpoints,
                  UTL_ViewOptions& view, int& exitCode)
{
    QCoreApplication parsing(argc, argv);
    QCoreApplication::setApplicationName("halvane");
    QCoreApplication::setApplicationVersion(HALVANE_VERSION);
    QCommandLineParser options;
    options.setApplicationDescription(
        "Shows your circle of friends on a social network as an interactive 3-D globe.\n"
        "Log in on the page that opens, press Close, and your friends arrive on the globe.\n"
        "The themes and interface textures come from ./data/config/, or, where there is none, "
        "from the share/halvane/config/ folder installed with the program. The graph files "
        "opened are listed in File > Open Recent, kept in $XDG_CONFIG_HOME/halvane/recent "
        "(~/.config/halvane/recent by default).");
    options.addHelpOption();
    options.addVersionOption();
    const QString defaultServer =
        QString("%1:%2").arg(UTL_FacebookConfig::DefaultHost).arg(UTL_FacebookConfig::DefaultPort);
    QCommandLineOption network(
        "network",
        "The social network's server as HOST:PORT; sets both the REST endpoint "
        "(http://HOST:PORT/restserver.php) and the login page (http://HOST:PORT/login.php). "
        "Default: " +
            defaultServer + ", where halvane-server listens by default.",
        "HOST:PORT", defaultServer);
    QCommandLineOption loginPage("login-page",
                                 "Open this address as the login page instead of the server's "
                                 "own (the login parameters are appended to it).",
                                 "URL");
    options.addOption(network);
    options.addOption(loginPage);
    // The options the viewer shares with halvane-snapshot.
    std::vector<QCommandLineOption> shared;
    for (const UTL_ViewOptions::Entry& entry : UTL_ViewOptions::Table())
    {
        shared.emplace_back(QString(entry.name), QString(entry.help), QString(entry.valueName));
        options.addOption(shared.back());
    }
    // As a file manager starts the viewer on a file: `halvane FILE`.
    options.addPositionalArgument("file", "The same as --open FILE.", "[FILE]");
    options.process(parsing); // --help, --version and unknown options end the program here
    const QString server = options.value(network);
    if (!QRegularExpression("^[A-Za-z0-9.\\-]+(:[0-9]{1,5})?$").match(server).hasMatch())
    {
        std::fprintf(stderr, "halvane: --network wants HOST:PORT, not '%s'\n",
                     server.toUtf8().constData());
        exitCode = 2;
        return false;
    }
    endpoints = UTL_NetworkSession::ForServer(server.toStdString());
    if (options.isSet(loginPage))
        endpoints.loginPage = options.value(loginPage).toStdString();
    std::string error;
    for (const QCommandLineOption& option : shared)
    {
        const QString name = option.names().front();
        if (options.isSet(option) &&
            !view.Set(name.toStdString(), options.value(option).toStdString(), error))
            break;
    }
    const QStringList files = options.positionalArguments();
    if (files.size() > 1 || (files.size() == 1 && !view.open.empty()))
        error = "one graph file at a time, as FILE or with --open";
    else if (files.size() == 1)
        view.open = files.front().toStdString();
    if (!error.empty() || !view.Check(error))
    {
        std::fprintf(stderr, "halvane: %s\n", error.c_str());
        exitCode = 2;
        return false;
    }
    const bool display =
        std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
    if (!display)
    {
        std::fprintf(stderr, "halvane: no display to open a window on (DISPLAY and "
                             "WAYLAND_DISPLAY are unset); run it in a graphical session\n");
        exitCode = 1;
        return false;
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    UTL_NetworkSession::Endpoints endpoints;
    UTL_ViewOptions view;
    int exitCode = 0;
    if (!ParseOptions(argc, argv, endpoints, view, exitCode))
        return exitCode;

    // A file given at start is read before any window opens. One that does not read is told
    // on stderr and, for whoever double-clicked it in a file manager, in the window.
    UTL_SocialGraph graph;
    std::string openError;
    if (!view.open.empty() && !UTL_CircleDocument::Read(view.open, view.self, {}, graph, openError))
        std::fprintf(stderr, "halvane: %s\n", openError.c_str());

    PrepareBrowserEnvironment();
    CHtmlCtrl::RegisterAppScheme();
    QSurfaceFormat::setDefaultFormat(UI_OpenGlView::RequestedFormat());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    CHalvaneApp app(argc, argv);
    if (!app.InitInstance(endpoints))
        return 1;
    app.GetMainFrame()->GetMainView()->GetController()->SetDrawPaths(view.drawPaths);
    app.GetMainFrame()->SetLabels(view.drawPaths.labels, view.labelsSet);
    app.GetMainFrame()->SetFastFriendships(view.fastFriendships);
    if (!openError.empty())
        app.GetMainFrame()->ShowStartError(openError);
    else if (!view.open.empty())
    {
        app.GetMainFrame()->SetStartGraph(std::move(graph), view.arrangement);
        UI_RecentMenu::Remember(QFile::decodeName(view.open.c_str()));
    }
    return app.exec();
}
