#pragma once

#include <filesystem>
#include <string>

// Runs a test in another working directory for as long as it lives, for code that finds its
// files (./data/config/) relative to the working directory.
class WorkingDirectory
{
public:
    explicit WorkingDirectory(const std::string& path) : saved(std::filesystem::current_path())
    {
        std::filesystem::current_path(path);
    }
    ~WorkingDirectory() { std::filesystem::current_path(saved); }

    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
    std::filesystem::path saved;
};
