#pragma once

#include <filesystem>
#include <string>

// Runs the rest of a scope in another working directory, as a program started there would.
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
