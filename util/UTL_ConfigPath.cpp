#include "util/UTL_ConfigPath.h"

#include <filesystem>
#include <system_error>

#ifndef HALVANE_CONFIG_FROM_BIN
#define HALVANE_CONFIG_FROM_BIN "../share/halvane/config"
#endif

namespace
{
constexpr const char* LocalFolder = "./data/config/";

bool IsFolder(const std::filesystem::path& path)
{
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}
} // namespace

std::string UTL_InstalledConfigFolder()
{
    // Read once: the program does not move while it runs, the working directory may.
    static const std::string folder = []
    {
        std::error_code error;
        const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
        if (error || self.empty())
            return std::string();
        return (self.parent_path() / HALVANE_CONFIG_FROM_BIN).lexically_normal().string() + "/";
    }();
    return folder;
}

std::string UTL_ConfigFolder()
{
    if (IsFolder(LocalFolder))
        return LocalFolder;
    const std::string installed = UTL_InstalledConfigFolder();
    if (!installed.empty() && IsFolder(installed))
        return installed;
    return LocalFolder;
}

std::string UTL_ConfigPath(const std::string& name)
{
    return UTL_ConfigFolder() + name;
}
