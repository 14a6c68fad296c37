#include "util/UTL_ConfigPath.h"

#include "support/TempDir.h"
#include "support/WorkingDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(UTL_ConfigPathTest, TheWorkingDirectorysConfigWinsThenTheInstalledOne)
{
    const std::string installed = UTL_InstalledConfigFolder();
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(installed, (self.parent_path().parent_path() / "share/halvane/config").string() + "/")
        << "share/halvane/config/ beside the bin/ the program runs from";

    TempDir checkout;
    std::filesystem::create_directories(checkout.File("data/config"));
    {
        WorkingDirectory in(checkout.Path());
        EXPECT_EQ(UTL_ConfigPath("themes.txt"), "./data/config/themes.txt");
    }
    TempDir elsewhere;
    {
        WorkingDirectory in(elsewhere.Path());
        // The test program is not installed: with no folder of either kind every file reads as
        // missing, as it did from ./data/config/.
        ASSERT_FALSE(std::filesystem::exists(installed));
        EXPECT_EQ(UTL_ConfigPath("themes.txt"), "./data/config/themes.txt");
        std::filesystem::create_directories(elsewhere.File("data"));
        EXPECT_EQ(UTL_ConfigFolder(), "./data/config/") << "data/ without config/ is no checkout";
    }
}
