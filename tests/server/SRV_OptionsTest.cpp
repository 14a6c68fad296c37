#include "server/SRV_Options.h"

#include "net/UTL_FacebookConfig.h"

#include <gtest/gtest.h>

TEST(SRV_OptionsTest, DefaultsServeTheViewersBuiltInAddress)
{
    SRV_Options options;
    std::string error;
    ASSERT_TRUE(options.Parse({}, error));
    EXPECT_EQ(options.host, "127.0.0.1");
    EXPECT_EQ(options.port, UTL_FacebookConfig::DefaultPort);
    // The viewer's endpoint names that port.
    EXPECT_NE(std::string(UTL_FacebookConfig::ServerUrl)
                  .find(":" + std::to_string(options.port) + "/restserver.php"),
              std::string::npos);
    EXPECT_EQ(options.database, "halvane-server.db");
    EXPECT_EQ(options.demoPassword, "halvane");
    EXPECT_EQ(options.sample, SRV_Options::DefaultSample);
    EXPECT_FALSE(options.listAccounts);
}

TEST(SRV_OptionsTest, ReadsEveryOptionInBothSpellings)
{
    SRV_Options options;
    std::string error;
    ASSERT_TRUE(options.Parse({"--host", "0.0.0.0", "--port=0", "--db", "x.db", "--sample", "5000",
                               "--import-ego", "0.edges", "--import-ego=107.edges",
                               "--demo-password", "pw", "--list-accounts", "--log-requests"},
                              error))
        << error;
    EXPECT_EQ(options.host, "0.0.0.0");
    EXPECT_EQ(options.port, 0);
    EXPECT_EQ(options.database, "x.db");
    EXPECT_EQ(options.sample, 5000);
    EXPECT_EQ(options.egoFiles, (std::vector<std::string>{"0.edges", "107.edges"}));
    EXPECT_EQ(options.demoPassword, "pw");
    EXPECT_TRUE(options.listAccounts);
    EXPECT_TRUE(options.logRequests);
}

TEST(SRV_OptionsTest, RefusesMalformedCommandLines)
{
    const std::vector<std::vector<std::string>> rows = {
        {"--port"},           {"--port", "http"},   {"--port", "65536"},
        {"--port", "-1"},     {"--sample", "many"}, {"--sample", "100001"},
        {"--db", ""},         {"--demo-password="}, {"--list-accounts=yes"},
        {"--log-requests=1"}, {"--frobnicate"},     {"stray"},
        {"--import-ego"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row[0]);
        SRV_Options options;
        std::string error;
        EXPECT_FALSE(options.Parse(row, error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(SRV_OptionsTest, HelpNamesEveryOption)
{
    const std::string usage = SRV_Options::Usage();
    for (const char* option : {"--host", "--port", "--db", "--sample", "--import-ego",
                               "--demo-password", "--list-accounts", "--log-requests", "--help"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}
