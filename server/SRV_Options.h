#pragma once

#include <string>
#include <vector>

// The command line of halvane-server. Parse reports a usage error as text; nothing is printed
// here.
struct SRV_Options
{
    static constexpr int DefaultSample = 300;
    static constexpr char DefaultDatabase[] = "halvane-server.db";
    static constexpr char DefaultPassword[] = "halvane";

    std::string host;
    int port = 0;
    std::string database = DefaultDatabase;
    int sample = DefaultSample;
    std::vector<std::string> egoFiles;
    std::string demoPassword = DefaultPassword;
    bool listAccounts = false;
    bool logRequests = false;
    bool help = false;

    SRV_Options();

    // False with `error` set for an unknown option, a missing or malformed value.
    bool Parse(const std::vector<std::string>& arguments, std::string& error);

    static std::string Usage();
};
