// Halvane: a person's circle of friends as an interactive 3-D globe.

#include "app/CHalvaneApp.h"
#include "app/CMainFrame.h"
#include "app/UI_HalvaneView.h"
#include "app/UI_OpenGlView.h"
#include "graph/UTL_GraphReader.h"
#include "net/CHtmlCtrl.h"
#include "net/UTL_FacebookConfig.h"
#include "net/UTL_NetworkSession.h"
#include "scene/GFX_DrawPaths.h"
#include "sim/UTL_SimCtrlHalvane.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QSurfaceFormat>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>

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
// A graph file to show instead of logging in.
struct StartGraph
{
    std::string path; // empty: log in
    std::string self;
    bool byCommunity = false;
    GFX_DrawPaths drawPaths;
};

// What the command line asks of the window beyond the endpoints.
struct WindowOptions
{
    bool fastFriendships = false;
};

// The command line, read before the GUI exists so that --help and --version work, and mistakes
// are reported, without a display. Returns false when the program should stop with `exitCode`.
bool ParseOptions(int argc, char** argv, UTL_NetworkSession::Endpoints& endpoints,
                  StartGraph& start, WindowOptions& window, int& exitCode)
{
    QCoreApplication parsing(argc, argv);
    QCoreApplication::setApplicationName("halvane");
    QCoreApplication::setApplicationVersion(HALVANE_VERSION);

    QCommandLineParser options;
    options.setApplicationDescription(
        "Shows your circle of friends on a social network as an interactive 3-D globe.\n"
        "Log in on the page that opens, press Close, and your friends arrive on the globe.\n"
        "The themes and interface textures come from ./data/config/, or, where there is none, "
        "from the share/halvane/config/ folder installed with the program.");
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
    QCommandLineOption open("open",
                            "Show the circle of this graph file instead of logging in: GraphML, "
                            "GML, GEXF, CSV, an edge list or a SNAP ego network (N.edges).",
                            "FILE");
    QCommandLineOption self("self", "With --open: the node that is the user.", "ID");
    QCommandLineOption communities("communities",
                                   "With --open: arrange and colour the circle by community.");
    QCommandLineOption dots("dots",
                            "How the globe draws its friendship dots, balls and labels: "
                            "'ribbons' (the default) in far fewer primitives, the dim "
                            "friendship rows as long textured quads; 'immediate' every dot, "
                            "ball and label on its own, the same picture more slowly.",
                            "WAY", "ribbons");
    QCommandLineOption names("names",
                             "How names are written: 'font' always in shaped type, in every "
                             "script; 'bitmap' always in the bitmap font, which has ASCII "
                             "letters only; 'auto' (the default) the bitmap font where it "
                             "writes a name whole, shaped type otherwise.",
                             "WAY", "auto");
    QCommandLineOption fastFriendships(
        "fast-friendships",
        "Ask for the friendships among the friends batch after batch, as fast as the server "
        "answers (within 15 ms of each frame), instead of one batch every 500 frames; the "
        "same as View > Load friendships at once.");
    options.addOption(network);
    options.addOption(loginPage);
    options.addOption(open);
    options.addOption(self);
    options.addOption(communities);
    options.addOption(dots);
    options.addOption(names);
    options.addOption(fastFriendships);
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
    start.path = options.value(open).toStdString();
    start.self = options.value(self).toStdString();
    start.byCommunity = options.isSet(communities);
    window.fastFriendships = options.isSet(fastFriendships);
    if (start.path.empty() && (options.isSet(self) || start.byCommunity))
    {
        std::fprintf(stderr, "halvane: --self and --communities go with --open\n");
        exitCode = 2;
        return false;
    }

    const std::optional<GFX_DrawPaths> paths =
        GFX_DrawPaths::Named(options.value(dots).toStdString());
    if (!paths)
    {
        std::fprintf(stderr, "halvane: --dots wants 'immediate' or 'ribbons', not '%s'\n",
                     options.value(dots).toUtf8().constData());
        exitCode = 2;
        return false;
    }
    start.drawPaths = *paths;
    const std::optional<GFX_DrawPaths::Names> nameWay =
        GFX_DrawPaths::NamedNames(options.value(names).toStdString());
    if (!nameWay)
    {
        std::fprintf(stderr, "halvane: --names wants 'auto', 'font' or 'bitmap', not '%s'\n",
                     options.value(names).toUtf8().constData());
        exitCode = 2;
        return false;
    }
    start.drawPaths.names = *nameWay;

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
    StartGraph start;
    WindowOptions window;
    int exitCode = 0;
    if (!ParseOptions(argc, argv, endpoints, start, window, exitCode))
        return exitCode;

    // A file given at start is read before any window opens: one that does not read leaves
    // nothing to show, so it ends the program with the reason.
    UTL_SocialGraph graph;
    if (!start.path.empty())
    {
        UTL_GraphReader reader;
        reader.SetSelf(start.self);
        std::string error;
        if (!reader.Read(start.path, graph, error))
        {
            std::fprintf(stderr, "halvane: %s\n", error.c_str());
            return 1;
        }
    }

    PrepareBrowserEnvironment();
    CHtmlCtrl::RegisterAppScheme();
    QSurfaceFormat::setDefaultFormat(UI_OpenGlView::RequestedFormat());
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    CHalvaneApp app(argc, argv);
    if (!app.InitInstance(endpoints))
        return 1;
    app.GetMainFrame()->GetMainView()->GetController()->SetDrawPaths(start.drawPaths);
    app.GetMainFrame()->SetFastFriendships(window.fastFriendships);
    if (!start.path.empty())
        app.GetMainFrame()->SetStartGraph(std::move(graph), start.byCommunity);
    return app.exec();
}
