#include "util/UTL_RecentFiles.h"

#include "support/TempDir.h"
#include "support/WorkingDirectory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace
{
std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
} // namespace

TEST(UTL_RecentFilesTest, NewestFirstAtMostEightEachOnceAndSharedThroughTheListFile)
{
    TempDir folder;
    const std::string list = folder.File("config/halvane/recent"); // folders made as needed
    UTL_RecentFiles recent(list);
    std::string error;
    std::vector<std::string> opened;
    for (int i = 0; i < 10; ++i)
    {
        opened.push_back(folder.Write("g" + std::to_string(i) + ".graphml", "<graphml/>"));
        ASSERT_TRUE(recent.Add(opened.back(), error)) << error;
    }
    ASSERT_EQ(recent.Files().size(), UTL_RecentFiles::Capacity);
    EXPECT_EQ(recent.Files().front(), opened[9]);
    EXPECT_EQ(recent.Files().back(), opened[2]) << "the two oldest went";

    // Opened again: to the front, not twice; a relative name is the same file.
    {
        const WorkingDirectory inFolder(folder.Path());
        ASSERT_TRUE(recent.Add("./sub/../g5.graphml", error)) << error;
    }
    EXPECT_EQ(recent.Files().front(), opened[5]);
    EXPECT_EQ(recent.Files().size(), UTL_RecentFiles::Capacity);

    // Another window reads the same list, and what it adds the first one sees on its next Add.
    UTL_RecentFiles other(list);
    other.Load();
    EXPECT_EQ(other.Files(), recent.Files());
    ASSERT_TRUE(other.Add(opened[0], error)) << error;
    ASSERT_TRUE(recent.Add(opened[1], error)) << error;
    EXPECT_EQ(recent.Files()[1], opened[0]);
}

TEST(UTL_RecentFilesTest, FilesThatAreGoneOrDamagedLinesDropOutOfTheList)
{
    TempDir folder;
    const std::string a = folder.Write("a.gml", "graph []");
    const std::string b = folder.Write("b.gml", "graph []");
    const std::string list = folder.File("recent");
    std::string error;
    struct Row
    {
        std::string text;
        std::vector<std::string> files;
        const char* why;
    };
    const Row rows[] = {
        {a + "\n" + folder.File("gone.gml") + "\n" + b + "\n", {a, b}, "a file deleted since"},
        {std::string("\x89PNG\r\n\x1a\n\0\0", 10) + "\n" + a + "\n", {a}, "binary lines first"},
        {"a.gml\n../b.gml\n" + b, {b}, "relative names; the last line needs no break"},
        {a + "\n" + a + "\n" + folder.Path() + "\n", {a}, "repeats, and a folder"},
        {std::string(UTL_RecentFiles::MaxPathBytes + 1, '/') + "\n" + b + "\n", {b}, "too long"},
        {a + std::string(1, '\0') + "x\n" + b + "\n", {b}, "a NUL inside a line"},
        {std::string(3 * UTL_RecentFiles::MaxFileBytes, 'x') + "\n" + a + "\n",
         {},
         "past the bound"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.why);
        std::ofstream(list, std::ios::binary) << row.text;
        UTL_RecentFiles recent(list);
        recent.Load();
        EXPECT_EQ(recent.Files(), row.files);
        // The next Add writes the list afresh: one path a line, newest first.
        ASSERT_TRUE(recent.Add(a, error)) << error;
        std::string expected = a + "\n";
        for (const std::string& file : row.files)
            if (file != a)
                expected += file + "\n";
        EXPECT_EQ(ReadAll(list), expected);
    }
    UTL_RecentFiles recent(list);
    ASSERT_TRUE(recent.Remove(a, error)) << error;
    EXPECT_TRUE(recent.Files().empty());
    ASSERT_TRUE(recent.Add(folder.File("line\nbreak.gml"), error));
    EXPECT_TRUE(recent.Files().empty()) << "a name the list cannot hold is not remembered";
}

TEST(UTL_RecentFilesTest, TheListLivesInTheUsersConfigFolderAndSaysWhyItCannotBeWritten)
{
    const char* savedHome = std::getenv("HOME");
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string home = savedHome ? savedHome : "";
    const std::string config = savedConfig ? savedConfig : "";
    setenv("HOME", "/home/ann", 1);
    struct Row
    {
        const char* config; // null: unset
        const char* path;
    };
    const Row rows[] = {
        {"/tmp/conf", "/tmp/conf/halvane/recent"},
        {nullptr, "/home/ann/.config/halvane/recent"},
        {"", "/home/ann/.config/halvane/recent"},
        {"relative/conf", "/home/ann/.config/halvane/recent"}, // not absolute: ignored
    };
    for (const Row& row : rows)
    {
        if (row.config)
            setenv("XDG_CONFIG_HOME", row.config, 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(UTL_RecentFiles::DefaultPath(), row.path) << (row.config ? row.config : "unset");
    }
    unsetenv("HOME");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(UTL_RecentFiles::DefaultPath(), "");
    savedHome ? setenv("HOME", home.c_str(), 1) : unsetenv("HOME");
    savedConfig ? setenv("XDG_CONFIG_HOME", config.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");

    TempDir folder;
    const std::string blocker = folder.Write("file", "x"); // a file where a folder must be
    const std::string graph = folder.Write("a.gml", "graph []");
    std::string error;
    UTL_RecentFiles blocked(blocker + "/recent");
    EXPECT_FALSE(blocked.Add(graph, error));
    EXPECT_NE(error.find(blocker + "/recent"), std::string::npos) << error;
    UTL_RecentFiles nowhere("");
    EXPECT_FALSE(nowhere.Add(graph, error));
}
