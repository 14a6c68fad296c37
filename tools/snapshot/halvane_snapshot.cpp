// halvane-snapshot: renders the whole scene of a person's circle offscreen, without a display,
// and writes it to a PNG; with --bench it times the frames. The circle comes from a running
// halvane-server or straight from a graph file.

#include "gfx/OGL_Names.h"
#include "gfx/WGL_Context.h"
#include "graph/UTL_SocialGraph.h"
#include "net/UTL_FacebookConfig.h"
#include "net/UTL_LoginForm.h"
#include "net/UTL_NetworkSession.h"
#include "scene/GFX_CirclePass.h"
#include "scene/GFX_Friend.h"
#include "sim/UTL_CircleDocument.h"
#include "sim/UTL_SimCtrlHalvane.h"
#include "sim/UTL_ViewOptions.h"
#include "tools/snapshot/SnapshotPng.h"
#include "util/UTL_FotoTextureBoss.h"

#include <GL/gl.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace
{
const char* const Usage =
    R"(Usage: halvane-snapshot [options]

Logs in to a running halvane-server over HTTP (no browser), or opens a graph file, loads the
user, the friends and their friendships into the scene, steps frames on a headless GL context
and writes a PNG. The themes and interface textures come from ./data/config/, or, where there
is none, from the share/halvane/config/ folder installed with the program.

Options:
  --server HOST:PORT   the server (default 127.0.0.1:8765)
  --email EMAIL        the account to log in as (halvane-server --list-accounts shows them)
  --pass PASSWORD      its password (default: halvane)
  --save-graph FILE    write the circle shown as GraphML, as the viewer's File > Save Graph
                       As does, once the frames are stepped
  --size WxH           the image size in pixels (default 1280x800)
  --frames N           frames to step before the picture is taken (default 120)
  --all-friendships    ask for every friendship batch at once, instead of one batch every
                       500 frames as the viewer does
  --select UID         select this person, as a click on their docked item would
  --filter WHICH       with --select: show only that person and their friends ('friends'),
                       their friends and friends of friends ('friends2') or their community
                       ('community'); the rest fades
  --path UID1 UID2     select UID1 and show the shortest chain of friendships from UID1 to UID2
                       that does not pass through the user, as a Shift+click on UID2 does;
                       prints path: UID1 > ... > UID2, or path: none where only the user
                       joins them
  --wait-pictures      after one frame, wait until every picture it asked for is downloaded
                       and decoded (at most 120 s) before the counted frames
  --out FILE.png       where to write the picture (default snapshot.png)
  --bench              print the counts of locators, connections and dots, and the line
                       bench: median_ms=… p90_ms=… submit_ms=… dots=… rss_mb=… hidden=…
                       overlap=… (frame times; submit_ms: the median frame's CPU time on this
                       thread before the final glFinish; rss_mb: resident memory at the end;
                       hidden: the dots left out behind labels; overlap: the largest share,
                       in %, of one label on screen covered by others), and the line peak
                       memory … MB (the most resident at any time)
  --still              let the counted frames show the kept globe pass once nothing in it
                       changes, as the viewer does; without it each one draws the globe anew
  --turning            turn the globe in the counted frames, about 0.3 degree each (as the
                       turn buttons do at 60 frames a second), to time frames in motion; the
                       picture is taken in one more frame, once the globe has stopped
  --help               show this text

As the viewer takes them (with --fast-friendships, frames are stepped with the batches asked
back to back until all are known, at most 600 s, and the time it took is printed):
)";

struct Options
{
    std::string server = std::string(UTL_FacebookConfig::DefaultHost) + ":" +
                         std::to_string(UTL_FacebookConfig::DefaultPort);
    std::string email;
    std::string password = "halvane";
    int width = 1280;
    int height = 800;
    int frames = 120;
    bool allFriendships = false;
    bool fastFriendships = false;
    std::string select;
    std::string filter;
    std::string pathFrom;
    std::string pathTo;
    bool waitPictures = false;
    std::string out = "snapshot.png";
    bool bench = false;
    bool still = false;
    bool turning = false;
    std::string saveGraph;
    UTL_ViewOptions view;
};

[[noreturn]] void Fail(const std::string& message)
{
    std::fprintf(stderr, "halvane-snapshot: %s\n", message.c_str());
    std::exit(1);
}

// The option of the table shared with the viewer that `arg` names, or null.
const UTL_ViewOptions::Entry* SharedOption(const std::string& arg)
{
    for (const UTL_ViewOptions::Entry& entry : UTL_ViewOptions::Table())
        if (arg == std::string("--") + entry.name)
            return &entry;
    return nullptr;
}

Options Parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string
        {
            if (i + 1 >= argc)
                Fail(arg + " needs a value (see --help)");
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h")
        {
            std::fputs(Usage, stdout);
            std::fputs(UTL_ViewOptions::Usage().c_str(), stdout);
            std::exit(0);
        }
        else if (arg == "--server")
            options.server = value();
        else if (arg == "--email")
            options.email = value();
        else if (arg == "--pass")
            options.password = value();
        else if (arg == "--size")
        {
            const std::string size = value();
            if (std::sscanf(size.c_str(), "%dx%d", &options.width, &options.height) != 2 ||
                options.width < 16 || options.height < 16 || options.width > 8192 ||
                options.height > 8192)
                Fail("--size wants WxH between 16 and 8192, not " + size);
        }
        else if (arg == "--frames")
        {
            options.frames = std::atoi(value().c_str());
            if (options.frames < 1 || options.frames > 100000)
                Fail("--frames wants a count from 1 to 100000");
        }
        else if (arg == "--all-friendships")
            options.allFriendships = true;
        else if (arg == "--select")
            options.select = value();
        else if (arg == "--filter")
        {
            options.filter = value();
            if (options.filter != "friends" && options.filter != "friends2" &&
                options.filter != "community")
                Fail("--filter wants 'friends', 'friends2' or 'community', not '" + options.filter +
                     "'");
        }
        else if (arg == "--path")
        {
            options.pathFrom = value();
            options.pathTo = value();
        }
        else if (arg == "--wait-pictures")
            options.waitPictures = true;
        else if (arg == "--out")
            options.out = value();
        else if (arg == "--bench")
            options.bench = true;
        else if (arg == "--still")
            options.still = true;
        else if (arg == "--turning")
            options.turning = true;
        else if (arg == "--save-graph")
            options.saveGraph = value();
        else if (const UTL_ViewOptions::Entry* entry = SharedOption(arg))
        {
            std::string error;
            if (!options.view.Set(entry->name, *entry->valueName ? value() : "", error))
                Fail(error);
        }
        else
            Fail("unknown option " + arg + " (see --help)");
    }
    std::string error;
    if (options.view.open.empty() && options.email.empty())
        Fail("--email or --open is required (halvane-server --list-accounts shows the accounts)");
    if (!options.view.Check(error))
        Fail(error);
    if (!options.filter.empty() && options.select.empty())
        Fail("--filter needs --select: whose friends or community to show");
    if (!options.filter.empty() && !options.pathFrom.empty())
        Fail("--filter and --path each show one thing; give one of them");
    return options;
}

// Logs in to the server and loads the circle into the scene, or ends the run with the reason.
std::unique_ptr<UTL_NetworkSession> LogIn(const Options& options, UTL_SimCtrlHalvane& controller)
{
    const UTL_NetworkSession::Endpoints endpoints = UTL_NetworkSession::ForServer(options.server);
    auto session = std::make_unique<UTL_NetworkSession>(endpoints, &controller.GetCircle());
    if (!session->StartLogin())
        Fail("no auth token from http://" + options.server + " (is halvane-server running?)");
    std::string error;
    if (!UTL_PostLoginForm(endpoints.loginPage, endpoints.apiKey,
                           session->GetClient()->GetAuthToken(), options.email, options.password,
                           error))
        Fail(error);
    session->SetEventSink([](const std::string& line)
                          { std::fprintf(stderr, "halvane-snapshot: %s\n", line.c_str()); });
    const bool loaded = session->OnLoginClosed();
    if (!session->GetClient()->HasSession())
        Fail("login refused for " + options.email + " (wrong email or password?)");
    // A globe without the circle is no picture of it.
    if (!loaded)
        Fail("could not load the friends from http://" + options.server + ": " +
             session->GetFailure());
    if (options.allFriendships)
        while (session->HasMoreBatches())
            if (!session->QueryFriendships() && controller.GetCircle().GetFriendCount() >= 2)
                Fail("a friendship batch failed (friends.areFriends)");
    return session;
}

// CPU milliseconds this thread has used.
double ThreadCpuMilliseconds();

// How long `step` takes: wall-clock and this thread's CPU milliseconds.
template <typename Step> std::pair<double, double> Timed(Step step)
{
    const auto start = std::chrono::steady_clock::now();
    const double cpu = ThreadCpuMilliseconds();
    step();
    return {
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
        ThreadCpuMilliseconds() - cpu};
}

// Puts the filter or the chain of the options in force as the window's menu and Shift+click
// do, and prints the chain; with --bench, how long each step took.
void Focus(const Options& options, UTL_SimCtrlHalvane& controller)
{
    if (options.filter.empty() && options.pathFrom.empty())
        return;
    UTL_Focus& focus = controller.GetFocus();
    if (!options.pathFrom.empty() && !controller.SelectFriendById(options.pathFrom))
        Fail("nobody with uid " + options.pathFrom + " in this circle");
    // Made once per circle, when first asked about it.
    const auto made = Timed([&] { controller.GetAnalysis().Paths(); });
    const auto asked = Timed(
        [&]
        {
            if (!options.filter.empty())
            {
                const UTL_Focus::Filter filter =
                    options.filter == "friends"    ? UTL_Focus::Filter::Friends
                    : options.filter == "friends2" ? UTL_Focus::Filter::FriendsOfFriends
                                                   : UTL_Focus::Filter::Community;
                if (!focus.SetFilter(filter, controller.GetSelection().GetPerson()))
                    Fail("uid " + options.select + " belongs to no community");
            }
            else if (!controller.AskAbout(UTL_Focus::Question::Path, options.pathTo))
                Fail("no chain to ask for from uid " + options.pathFrom + " to uid " +
                     options.pathTo + " (is it someone else in this circle?)");
        });
    // What the next frame does first: the emphasis on every locator and line.
    const auto applied = Timed([&] { focus.Apply(controller.GetSelection().GetPerson()); });
    if (!options.pathFrom.empty())
    {
        std::string chain;
        for (const GFX_Friend* person : focus.GetAnswer())
            chain += (chain.empty() ? "" : " > ") + person->GetId();
        std::printf("path: %s\n", chain.empty() ? "none" : chain.c_str());
    }
    std::fprintf(stderr, "halvane-snapshot: %s\n", focus.Describe().c_str());
    if (options.bench)
        std::printf("focus: graph_ms=%.2f ask_ms=%.2f apply_ms=%.2f (CPU %.2f, %.2f, %.2f)\n",
                    made.first, asked.first, applied.first, made.second, asked.second,
                    applied.second);
}

// Steps frames with the fast batches until every friendship is known; prints the figures.
void StepUntilAllKnown(const Options& options, UTL_SimCtrlHalvane& controller,
                       UTL_NetworkSession& session, std::chrono::steady_clock::time_point since)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::seconds(600);
    session.SetFastBatches(true);
    int frames = 0;
    while (session.HasMoreBatches() && Clock::now() < deadline)
    {
        controller.Step(options.width, options.height, 1.0f / 60.0f);
        glFinish();
        session.OnFrame();
        ++frames;
    }
    const auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    const UTL_SessionProgress& progress = session.GetProgress();
    std::printf("friendships: %s in %.2f s over %d frames (%.1f ms a frame), %.2f s after the "
                "login\n",
                progress.Describe().c_str(), seconds(Clock::now() - start), frames,
                frames ? 1000.0 * seconds(Clock::now() - start) / frames : 0.0,
                seconds(Clock::now() - since));
}

double Percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(fraction * (values.size() - 1) + 0.5));
    return values[index];
}

// CPU seconds this thread has used.
double ThreadCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// A memory figure of /proc/self/status in MB ("VmRSS:" the resident set now, "VmHWM:" its
// peak); 0 where it cannot be read.
double StatusMegabytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atof(line.c_str() + field.size()) / 1024.0;
    return 0.0;
}
} // namespace

int main(int argc, char** argv)
{
    const Options options = Parse(argc, argv);

    // A file that does not read ends the run before any GL work.
    UTL_SocialGraph graph;
    std::string error;
    if (!options.view.open.empty() &&
        !UTL_CircleDocument::Read(options.view.open, options.view.self, {}, graph, error))
        Fail(error);

    WGL_Context context(options.width, options.height);
    if (!context.IsValid())
        Fail("no headless GL context: " + context.GetError());

    UTL_SimCtrlHalvane controller;
    controller.Initialize(options.width, options.height);
    GFX_DrawPaths startPaths = options.view.drawPaths;
    // A circle from a file makes room for its labels unless told otherwise, as in the viewer.
    if (!options.view.open.empty() && !options.view.labelsSet)
        startPaths.labels = GFX_DrawPaths::Labels::Room;
    controller.SetDrawPaths(startPaths);
    UTL_CircleDocument document(controller.GetCircle(),
                                [&controller] { controller.ClearCircle(); });
    controller.GetAnalysis().SetCommunitySource([&document](const std::string& id)
                                                { return document.CommunityOf(id); });

    std::unique_ptr<UTL_NetworkSession> session;
    if (!options.view.open.empty())
    {
        const size_t friendships = graph.Friendships().size();
        const std::vector<std::string> warnings = graph.Warnings();
        if (!document.Arrange(options.view.arrangement, error) ||
            !document.Show(std::move(graph), error))
            Fail(error);
        // Arranged by friendships, the places come from the worker: the frames wait for them.
        if (document.IsArranging() && !document.Finish())
            Fail("the circle could not be arranged by its friendships");
        std::fprintf(stderr, "halvane-snapshot: graph loaded: %d friends, %zu friendships\n",
                     controller.GetCircle().GetFriendCount(), friendships);
        std::fprintf(stderr, "halvane-snapshot: layout: %s\n",
                     UTL_CircleDocument::NameOf(document.GetShownArrangement()));
        for (const std::string& warning : warnings)
            std::fprintf(stderr, "halvane-snapshot: %s\n", warning.c_str());
        if (document.HasCommunities())
            std::fprintf(stderr, "halvane-snapshot: communities: %zu\nhalvane-snapshot: %s\n",
                         document.GetCommunities().List().size(), document.GetLegend().c_str());
    }
    else
    {
        const auto loginStart = std::chrono::steady_clock::now();
        session = LogIn(options, controller);
        if (options.view.fastFriendships && !options.allFriendships)
            StepUntilAllKnown(options, controller, *session, loginStart);
    }

    if (!options.select.empty() && !controller.SelectFriendById(options.select))
        Fail("nobody with uid " + options.select + " in this circle");
    Focus(options, controller);

    const float frameSeconds = 1.0f / 60.0f;
    auto step = [&]
    {
        controller.Step(options.width, options.height, frameSeconds);
        if (!options.allFriendships)
            if (session)
                session->OnFrame();
    };

    if (options.waitPictures)
    {
        UTL_FotoTextureBoss* worker = controller.GetPictureWorker();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        step(); // every visible photo asks for its picture
        // No frames while waiting: how many there would be depends on how fast they are drawn,
        // and the runs of the two drawing ways are to show the same view.
        while (worker->CountPending() > 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (worker->CountPending() > 0)
            std::fprintf(stderr, "halvane-snapshot: %zu pictures still pending after 120 s\n",
                         worker->CountPending());
    }

    GFX_DrawPaths paths = controller.GetDrawPaths();
    paths.reuseStillScene = options.still;
    controller.SetDrawPaths(paths);
    const long long stillBefore = controller.GetStillScene().CountShown();
    std::vector<double> milliseconds;
    std::vector<std::pair<double, double>> frames; // total and submitting time of each frame
    milliseconds.reserve(options.frames);
    frames.reserve(options.frames);
    for (int i = 0; i < options.frames; ++i)
    {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ThreadCpuMilliseconds();
        if (options.turning)
            controller.TurnCamera(UTL_CameraMotion::AutoTurnRate * frameSeconds, 0.0f);
        step();
        const double submit = ThreadCpuMilliseconds() - cpuStart;
        glFinish(); // the software rasteriser draws at the latest here
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        frames.emplace_back(milliseconds.back(), submit);
    }

    if (options.turning)
        step();
    if (!WriteFramebufferPng(options.out, options.width, options.height, error))
        Fail(error);
    if (!options.saveGraph.empty())
    {
        if (!document.Save(options.saveGraph, error))
            Fail(error);
        std::printf("wrote %s\n", options.saveGraph.c_str());
    }

    if (options.bench)
    {
        std::printf("frames %d at %dx%d\n", options.frames, options.width, options.height);
        std::printf("frame time median %.2f ms, 90th percentile %.2f ms\n",
                    Percentile(milliseconds, 0.5), Percentile(milliseconds, 0.9));
        UTL_FriendCircle& circle = controller.GetCircle();
        const GFX_CirclePass& pass = controller.GetCirclePass();
        std::printf("locators %zu, connections %zu, dots %lld, ribbon quads %lld, single dots "
                    "%lld, dots behind labels %lld\n",
                    circle.GetHolders().size(), circle.GetConnections().size(), circle.CountDots(),
                    pass.CountRibbonQuads(), pass.CountSingleDots(), pass.CountHiddenDots());
        // The frame of median length, and what this thread spent handing it to GL.
        std::sort(frames.begin(), frames.end());
        const auto& median =
            frames[std::min(frames.size() - 1, size_t(0.5 * (frames.size() - 1) + 0.5))];
        std::printf("bench: median_ms=%.2f p90_ms=%.2f submit_ms=%.2f dots=%lld rss_mb=%.1f "
                    "hidden=%lld overlap=%.1f\n",
                    median.first, Percentile(milliseconds, 0.9), median.second, circle.CountDots(),
                    StatusMegabytes("VmRSS:"), pass.CountHiddenDots(),
                    controller.MeasureLabelOverlap());
        std::printf("peak memory %.1f MB\n", StatusMegabytes("VmHWM:"));
        if (options.still)
            std::printf("still frames %lld of %d\n",
                        controller.GetStillScene().CountShown() - stillBefore, options.frames);
    }
    std::printf("wrote %s\n", options.out.c_str());
    // The scene's GL names go while the context is current, before it does.
    controller.ReleaseGL();
    OGL_Names::ReportAlive("halvane-snapshot");
    return 0;
}
