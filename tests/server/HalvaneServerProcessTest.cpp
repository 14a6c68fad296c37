// The halvane-server executable as a user runs it: command line, the ready line, serving, the
// account listing, and the end on SIGTERM.
#include "server/SRV_Database.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <regex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <httplib.h>

extern char** environ;

namespace
{
// A running halvane-server (or another of the server's programs) with its standard output and
// error on pipes.
class ServerProcess
{
public:
    explicit ServerProcess(const std::vector<std::string>& arguments,
                           const char* program = HALVANE_SERVER_EXE)
    {
        int out[2], err[2];
        if (pipe(out) != 0 || pipe(err) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, err[0]);
        std::vector<std::string> all = {program};
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid, program, &actions, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        close(err[1]);
        stdoutFd = out[0];
        stderrFd = err[0];
    }

    ~ServerProcess()
    {
        if (pid > 0 && Wait(std::chrono::milliseconds(0)) == Running)
        {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        close(stdoutFd);
        close(stderrFd);
    }

    static constexpr int Running = -1000;
    static constexpr int TimedOut = -1001;

    // The first line of standard output, waiting at most `limit`; empty on time-out or end.
    std::string ReadLine(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        std::string line;
        for (;;)
        {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{stdoutFd, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, int(left.count())) <= 0)
                return std::string();
            char c;
            if (read(stdoutFd, &c, 1) != 1)
                return std::string();
            if (c == '\n')
                return line;
            line += c;
        }
    }

    // Everything the process wrote to `fd` until it closed it (the process ended), bounded.
    static std::string ReadAll(int fd, std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        std::string text;
        char buffer[4096];
        for (;;)
        {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{fd, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, int(left.count())) <= 0)
                return text;
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n <= 0)
                return text;
            text.append(buffer, size_t(n));
        }
    }
    std::string Output() { return ReadAll(stdoutFd, std::chrono::seconds(60)); }
    std::string Errors() { return ReadAll(stderrFd, std::chrono::seconds(60)); }

    // The exit status, Running while it runs past `limit`, or the signal as a negative number.
    int Wait(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;)
        {
            int status = 0;
            const pid_t done = waitpid(pid, &status, WNOHANG);
            if (done == pid)
            {
                pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
            }
            if (done < 0)
                return TimedOut;
            if (std::chrono::steady_clock::now() >= deadline)
                return Running;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    pid_t pid = -1;
    int stdoutFd = -1;
    int stderrFd = -1;
};
} // namespace

TEST(HalvaneServerProcessTest, AnnouncesItsAddressServesAndEndsOnSigterm)
{
    TempDir dir;
    ServerProcess server({"--db", dir.File("s.db"), "--port", "0", "--sample", "25"});
    ASSERT_GT(server.pid, 0);
    const std::string line = server.ReadLine(std::chrono::seconds(60));
    std::smatch match;
    ASSERT_TRUE(
        std::regex_match(line, match, std::regex("listening on http://127\\.0\\.0\\.1:(\\d+)")))
        << "'" << line << "' " << server.Errors();

    httplib::Client http("127.0.0.1", std::stoi(match[1].str()));
    http.set_connection_timeout(5);
    http.set_read_timeout(15);
    auto index = http.Get("/");
    ASSERT_TRUE(index);
    EXPECT_NE(index->body.find("26 people"), std::string::npos) << index->body;

    kill(server.pid, SIGTERM);
    EXPECT_EQ(server.Wait(std::chrono::seconds(20)), 0);
}

TEST(HalvaneServerProcessTest, ImportsComeFirstAndAccountsListMostFriendsFirst)
{
    TempDir dir;
    const std::string db = dir.File("l.db");
    const std::string small = dir.Write("7.edges", "1 2\r\n");
    const std::string large = dir.Write("3.edges", "1 2\r\n4 5\r\n6 1\r\n");
    {
        ServerProcess run({"--db", db, "--import-ego", small, "--sample", "10", "--list-accounts"});
        const std::string out = run.Output();
        EXPECT_EQ(run.Wait(std::chrono::seconds(30)), 0);
        // An import filled the database, so no sample was generated.
        EXPECT_TRUE(std::regex_match(out, std::regex("1000000007\t[a-z.0-9]+@example\\.com\t[^\t]+ "
                                                     "[^\t]+\t2\n")))
            << out;
    }
    {
        ServerProcess run({"--db", db, "--import-ego=" + large, "--list-accounts"});
        const std::string out = run.Output();
        EXPECT_EQ(run.Wait(std::chrono::seconds(30)), 0);
        EXPECT_TRUE(std::regex_match(out, std::regex("1000000003\t[^\t]+\t[^\t]+\t5\n"
                                                     "1000000007\t[^\t]+\t[^\t]+\t2\n")))
            << out;
    }
}

TEST(HalvaneServerProcessTest, ImportsAGraphFileWithTheUserItIsTold)
{
    TempDir dir;
    const std::string gexf = dir.Write(
        "team.gexf", "<gexf version=\"1.3\"><graph><nodes><node id=\"n1\" label=\"Ada Byron\"/>"
                     "<node id=\"n2\"/><node id=\"n3\"/></nodes><edges>"
                     "<edge source=\"n2\" target=\"n3\"/></edges></graph></gexf>");
    ServerProcess run(
        {"--db", dir.File("g.db"), "--self", "n1", "--import", gexf, "--list-accounts"});
    const std::string out = run.Output();
    EXPECT_EQ(run.Wait(std::chrono::seconds(30)), 0);
    EXPECT_TRUE(std::regex_match(out, std::regex("1[0-9]{15}\tada\\.byron@example\\.com\t"
                                                 "Ada Byron\t2\n")))
        << out;
}

TEST(HalvaneServerProcessTest, FailedImportStoresNothingAndFails)
{
    TempDir dir;
    const std::string db = dir.File("f.db");
    ServerProcess run({"--db", db, "--import-ego", dir.Write("8.edges", "1 2\nthree 4\n")});
    const std::string errors = run.Errors();
    EXPECT_EQ(run.Wait(std::chrono::seconds(30)), 1);
    EXPECT_NE(errors.find("8.edges:2"), std::string::npos) << errors;

    SRV_Database database;
    std::string error;
    ASSERT_TRUE(database.Open(db, error)) << error;
    EXPECT_EQ(database.CountPeople(), 0);
}

TEST(HalvaneServerProcessTest, HelpAndUsageErrors)
{
    ServerProcess help({"--help"});
    EXPECT_NE(help.Output().find("Usage: halvane-server"), std::string::npos);
    EXPECT_EQ(help.Wait(std::chrono::seconds(30)), 0);

    ServerProcess bad({"--port", "eighty"});
    EXPECT_NE(bad.Errors().find("--port"), std::string::npos);
    EXPECT_EQ(bad.Wait(std::chrono::seconds(30)), 2);
}

TEST(HalvaneServerProcessTest, ASecondServerOnAPortAlreadyServedRefusesToStart)
{
    TempDir dir;
    ServerProcess first({"--db", dir.File("a.db"), "--port", "0", "--sample", "5"});
    const std::string line = first.ReadLine(std::chrono::seconds(60));
    std::smatch match;
    ASSERT_TRUE(
        std::regex_match(line, match, std::regex("listening on http://127\\.0\\.0\\.1:(\\d+)")))
        << "'" << line << "' " << first.Errors();

    ServerProcess second({"--db", dir.File("b.db"), "--port", match[1].str(), "--sample", "5"});
    ASSERT_EQ(second.Wait(std::chrono::seconds(60)), 1);
    EXPECT_EQ(second.Output(), "") << "it never announced an address";
    EXPECT_NE(second.Errors().find("cannot listen on 127.0.0.1:" + match[1].str() +
                                   ": the port is already in use"),
              std::string::npos);

    httplib::Client http("127.0.0.1", std::stoi(match[1].str()));
    http.set_connection_timeout(5);
    http.set_read_timeout(15);
    auto index = http.Get("/");
    ASSERT_TRUE(index) << "the first one serves on";
    EXPECT_NE(index->body.find("6 people"), std::string::npos) << index->body;
}

TEST(HalvaneServerProcessTest, AreFriendsBenchmarkAnswersHelpAndRefusesWords)
{
    ServerProcess help({"--help"}, HALVANE_BENCH_AREFRIENDS_EXE);
    EXPECT_NE(help.Output().find("Usage: halvane-bench-arefriends"), std::string::npos);
    EXPECT_EQ(help.Wait(std::chrono::seconds(30)), 0);

    for (const std::vector<std::string>& bad : {std::vector<std::string>{"many"},
                                                {"1"},
                                                {"100", "0"},
                                                {"100", "10", "3x"},
                                                {"1", "2", "3", "4"}})
    {
        SCOPED_TRACE(bad[0]);
        ServerProcess refused(bad, HALVANE_BENCH_AREFRIENDS_EXE);
        EXPECT_NE(refused.Errors().find("Usage: halvane-bench-arefriends"), std::string::npos);
        EXPECT_EQ(refused.Wait(std::chrono::seconds(30)), 2);
    }
}
