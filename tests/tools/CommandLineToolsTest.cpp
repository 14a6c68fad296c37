// The command-line tools as their users run them: exit statuses and messages.

#include "support/ImageMagick.h"
#include "support/StubRestServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace
{
const char XmlHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

struct Outcome
{
    int status = -1;    // the exit status; -1 when the tool did not exit normally
    std::string output; // stdout and stderr together
};

// Runs `command` through the shell in the source folder, where the snapshot finds data/config/.
Outcome RunTool(const std::string& command)
{
    const char* source = std::getenv("HALVANE_SOURCE_DIR");
    const std::string folder = source ? source : ".";
    Outcome outcome;
    FILE* pipe =
        popen(("cd " + ImageMagick::Quote(folder) + " && " + command + " 2>&1").c_str(), "r");
    if (!pipe)
        return outcome;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        outcome.output.append(buffer, n);
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

std::string Element(const std::string& name, const std::string& text)
{
    return "<" + name + ">" + text + "</" + name + ">";
}

// A network of the user 100 and the friends 1, 2, … named `friendNames`, that fails
// `failMethod` with an error answer, or with nothing at all when `silent`.
class FailingNetwork
{
public:
    explicit FailingNetwork(std::string failMethod, bool silent = false,
                            std::vector<std::string> friendNames = {"P", "P"})
        : failMethod(std::move(failMethod)), silent(silent), friendNames(std::move(friendNames)),
          server([this](const StubRestServer::Request& request, size_t) { return Answer(request); })
    {
    }

    std::string Address() const { return "127.0.0.1:" + std::to_string(server.Port()); }

private:
    std::string Answer(const StubRestServer::Request& request) const
    {
        const std::string method =
            request.fields.count("method") ? request.fields.at("method") : "";
        if (method == failMethod)
            return silent ? std::string()
                          : std::string(XmlHead) +
                                "<error_response><error_code>1</error_code><error_msg>An "
                                "unknown error occurred</error_msg></error_response>";
        if (method == "facebook.auth.createToken")
            return XmlHead + Element("auth_createToken_response", "tok");
        if (method == "facebook.auth.getSession")
            return XmlHead + Element("auth_getSession_response", Element("session_key", "sk") +
                                                                     Element("uid", "100") +
                                                                     Element("secret", "sec"));
        if (method == "facebook.friends.get")
        {
            std::string uids;
            for (size_t i = 1; i <= friendNames.size(); ++i)
                uids += Element("uid", std::to_string(i));
            return XmlHead + Element("friends_get_response", uids);
        }
        if (method == "facebook.users.getInfo")
        {
            std::string users = Element("user", Element("uid", "100") + Element("name", "P"));
            for (size_t i = 0; i < friendNames.size(); ++i)
                users += Element("user", Element("uid", std::to_string(i + 1)) +
                                             Element("name", friendNames[i]));
            return XmlHead + Element("users_getInfo_response", users);
        }
        return XmlHead + Element("friends_areFriends_response", "");
    }

    std::string failMethod;
    bool silent;
    std::vector<std::string> friendNames;
    StubRestServer server;
};

class SnapshotToolTest : public ::testing::Test
{
protected:
    Outcome Snapshot(const FailingNetwork& network, const std::string& extra = "")
    {
        return RunTool(std::string(HALVANE_SNAPSHOT) + " --server " + network.Address() +
                       " --email someone@example.com --size 64x48 --frames 1" + extra + " --out " +
                       ImageMagick::Quote(out));
    }

    // Skips (or fails, where GL is required) when the tool could not make a GL context, which
    // it needs before it logs in.
    bool HasGl(const Outcome& outcome)
    {
        if (outcome.output.find("no headless GL context") == std::string::npos)
            return true;
        if (std::getenv("HALVANE_REQUIRE_GL"))
            ADD_FAILURE() << outcome.output;
        return false;
    }

    TempDir dir;
    std::string out = dir.File("shot.png");
};
} // namespace

TEST_F(SnapshotToolTest, WritesThePictureOfACircleThatLoads)
{
    FailingNetwork network("none");
    const Outcome outcome = Snapshot(network);
    if (!HasGl(outcome))
        GTEST_SKIP() << "no headless GL context";
    EXPECT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_TRUE(std::filesystem::exists(out));
}

TEST_F(SnapshotToolTest, AFailedFriendQueryIsAnErrorAndWritesNothing)
{
    // An empty globe is no picture of the circle: the tool must not report it as one.
    const struct
    {
        const char* method;
        bool silent;
        const char* said;
    } failures[] = {
        {"facebook.friends.get", false, "friends.get failed with error 1: An unknown error"},
        {"facebook.users.getInfo", false, "users.getInfo failed with error 1"},
        {"facebook.users.getInfo", true, "users.getInfo answered without its result"},
        {"facebook.friends.areFriends", false, ""}, // friendships are not needed for a picture
    };
    for (const auto& failure : failures)
    {
        SCOPED_TRACE(std::string(failure.method) + (failure.silent ? " (empty answer)" : ""));
        FailingNetwork network(failure.method, failure.silent);
        std::filesystem::remove(out);
        const Outcome outcome = Snapshot(network);
        if (!HasGl(outcome))
            GTEST_SKIP() << "no headless GL context";
        if (*failure.said == '\0')
        {
            EXPECT_EQ(outcome.status, 0) << outcome.output;
            continue;
        }
        EXPECT_NE(outcome.status, 0) << outcome.output;
        EXPECT_NE(outcome.output.find(failure.said), std::string::npos) << outcome.output;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

TEST_F(SnapshotToolTest, HostileNamesCannotTakeTheMemory)
{
    // Within the 8 MiB answer bound: one name of 4 MiB and nineteen of 100,000 letters. Kept and
    // laid out whole, they took the tool near a gigabyte.
    std::vector<std::string> names(20, std::string(100'000, 'b'));
    names[0] = std::string(size_t(4) << 20, 'a');
    FailingNetwork network("none", false, names);
    const Outcome outcome = Snapshot(network, " --bench");
    if (!HasGl(outcome))
        GTEST_SKIP() << "no headless GL context";
    ASSERT_EQ(outcome.status, 0) << outcome.output.substr(0, 2000);
    EXPECT_TRUE(std::filesystem::exists(out));
    EXPECT_NE(outcome.output.find("locators 21,"), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("names longer than 256 characters cut: 20"), std::string::npos)
        << outcome.output;
    const size_t peak = outcome.output.find("peak memory ");
    ASSERT_NE(peak, std::string::npos) << outcome.output;
#if defined(__SANITIZE_ADDRESS__)
    // Freed blocks wait in AddressSanitizer's quarantine (256 MB by default) before reuse.
    constexpr double Bound = 300.0 + 256.0;
#else
    constexpr double Bound = 300.0;
#endif
    EXPECT_LT(std::atof(outcome.output.c_str() + peak + 12), Bound) << outcome.output;
}

TEST_F(SnapshotToolTest, OpensAGraphFileWithoutAServerAndCountsTheDots)
{
    const std::string graph = dir.Write("circle.gml", "graph [\n"
                                                      "  node [ id 1 label \"Ann\" ]\n"
                                                      "  node [ id 2 label \"Bea\" ]\n"
                                                      "  node [ id 3 label \"Cy\" ]\n"
                                                      "  node [ id 4 label \"Dee\" ]\n"
                                                      "  edge [ source 1 target 2 ]\n"
                                                      "  edge [ source 3 target 4 ]\n"
                                                      "  edge [ source 2 target 3 ]\n"
                                                      "]\n");
    // The user's own friendships are implied, so Bea as the user keeps one of the three.
    const struct
    {
        const char* extra;
        const char* said;
    } runs[] = {
        {"", "graph loaded: 4 friends, 3 friendships"},
        {" --self 2", "graph loaded: 3 friends, 1 friendships"},
        {" --communities", "communities: 2"},
    };
    for (const auto& [extra, said] : runs)
    {
        SCOPED_TRACE(extra);
        std::filesystem::remove(out);
        const Outcome outcome =
            RunTool(std::string(HALVANE_SNAPSHOT) + " --open " + ImageMagick::Quote(graph) + extra +
                    " --size 64x48 --frames 1 --bench --out " + ImageMagick::Quote(out));
        if (!HasGl(outcome))
            GTEST_SKIP() << "no headless GL context";
        EXPECT_EQ(outcome.status, 0) << outcome.output;
        EXPECT_TRUE(std::filesystem::exists(out));
        const size_t dots = outcome.output.find("dots=");
        ASSERT_NE(dots, std::string::npos) << outcome.output;
        EXPECT_GT(std::atoll(outcome.output.c_str() + dots + 5), 0) << outcome.output;
        EXPECT_NE(outcome.output.find(said), std::string::npos) << outcome.output;
    }
}

TEST_F(SnapshotToolTest, PrintsTheChainBetweenTwoFriendsOrThatOnlyTheUserJoinsThem)
{
    // Me knows everyone; Ann, Bea and Cy stand in a row, Dee and Eve apart.
    const std::string graph = dir.Write("row.gml", "graph [\n"
                                                   "  node [ id 0 label \"Me\" ]\n"
                                                   "  node [ id 1 label \"Ann\" ]\n"
                                                   "  node [ id 2 label \"Bea\" ]\n"
                                                   "  node [ id 3 label \"Cy\" ]\n"
                                                   "  node [ id 4 label \"Dee\" ]\n"
                                                   "  node [ id 5 label \"Eve\" ]\n"
                                                   "  edge [ source 1 target 2 ]\n"
                                                   "  edge [ source 2 target 3 ]\n"
                                                   "  edge [ source 4 target 5 ]\n"
                                                   "]\n");
    const struct
    {
        const char* extra;
        int status;
        const char* said;
    } runs[] = {
        {" --path 1 3", 0, "path: 1 > 2 > 3\n"},
        {" --path 1 4", 0, "path: none\n"},
        {" --path 1 1", 1, "no chain to ask for"},
        {" --select 4 --filter friends", 0, "Showing only Dee and their 1 friend"},
        {" --filter community", 1, "--filter needs --select"},
    };
    for (const auto& [extra, status, said] : runs)
    {
        SCOPED_TRACE(extra);
        const Outcome outcome = RunTool(
            std::string(HALVANE_SNAPSHOT) + " --open " + ImageMagick::Quote(graph) + " --self 0" +
            extra + " --size 64x48 --frames 1 --out " + ImageMagick::Quote(out));
        if (!HasGl(outcome))
            GTEST_SKIP() << "no headless GL context";
        EXPECT_EQ(outcome.status, status) << outcome.output;
        EXPECT_NE(outcome.output.find(said), std::string::npos) << outcome.output;
    }
}

TEST_F(SnapshotToolTest, ACircleSavedWithItsCommunitiesOpensAsItWas)
{
    // Two triangles joined by one friendship, and AT&T joined to everyone: the user, found.
    std::string csv = "a,b\na,c\nb,c\nc,d\nd,e\ne,f\nd,f\n";
    for (const char* other : {"a", "b", "c", "d", "e", "f"})
        csv += std::string("AT&T,") + other + "\n";
    const std::string graph = dir.Write("circle.csv", csv);
    const std::string saved = dir.File("saved.graphml"), again = dir.File("again.graphml");
    const auto run = [&](const std::string& open, const std::string& extra, const std::string& save)
    {
        return RunTool(std::string(HALVANE_SNAPSHOT) + " --open " + ImageMagick::Quote(open) +
                       extra + " --size 64x48 --frames 1 --out " + ImageMagick::Quote(out) +
                       " --save-graph " + ImageMagick::Quote(save));
    };
    const Outcome first = run(graph, " --communities", saved);
    if (!HasGl(first))
        GTEST_SKIP() << "no headless GL context";
    ASSERT_EQ(first.status, 0) << first.output;
    // Opened again without being asked for communities, the file's own are there.
    const Outcome second = run(saved, "", again);
    ASSERT_EQ(second.status, 0) << second.output;
    for (const Outcome* outcome : {&first, &second})
    {
        EXPECT_NE(outcome->output.find("graph loaded: 6 friends, 7 friendships"), std::string::npos)
            << outcome->output;
        EXPECT_NE(outcome->output.find("communities: 2"), std::string::npos) << outcome->output;
    }
    std::ifstream a(saved), b(again);
    const std::string firstText((std::istreambuf_iterator<char>(a)), {});
    const std::string secondText((std::istreambuf_iterator<char>(b)), {});
    EXPECT_NE(firstText.find("AT&amp;T"), std::string::npos) << firstText;
    EXPECT_EQ(secondText, firstText) << "saved again, the circle is written as it was";
}

TEST_F(SnapshotToolTest, AMalformedGraphFileIsAnErrorNamingTheFile)
{
    // Refused before any GL work, so this holds on machines without a GL context too.
    const std::string graph = dir.Write("broken.gml", "graph [\n  node [ id 1 ]\n  edge [\n");
    const Outcome outcome =
        RunTool(std::string(HALVANE_SNAPSHOT) + " --open " + ImageMagick::Quote(graph) + " --out " +
                ImageMagick::Quote(out));
    EXPECT_NE(outcome.status, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("broken.gml"), std::string::npos) << outcome.output;
    EXPECT_FALSE(std::filesystem::exists(out));

    const Outcome missing = RunTool(std::string(HALVANE_SNAPSHOT) + " --open " +
                                    ImageMagick::Quote(dir.File("none.graphml")));
    EXPECT_NE(missing.status, 0);
    EXPECT_NE(missing.output.find("none.graphml"), std::string::npos) << missing.output;
}

TEST(PictureBenchmarkToolTest, HelpIsShownAndBadArgumentsAreRefused)
{
    const Outcome help = RunTool(std::string(HALVANE_BENCH_PICTURES) + " --help");
    EXPECT_EQ(help.status, 0) << help.output;
    EXPECT_NE(help.output.find("Usage: halvane-bench-pictures"), std::string::npos) << help.output;

    for (const char* arguments :
         {"abc", "0", "-5", "12x", "''", "100001", "99999999999", "5 6", "--pictures"})
    {
        SCOPED_TRACE(arguments);
        const Outcome outcome =
            RunTool(std::string(HALVANE_BENCH_PICTURES) + " " + arguments + " </dev/null");
        EXPECT_NE(outcome.status, 0) << outcome.output;
        EXPECT_NE(outcome.output.find("halvane-bench-pictures: "), std::string::npos)
            << outcome.output;
        EXPECT_EQ(outcome.output.find("pictures per second"), std::string::npos)
            << "no benchmark ran";
    }
}
