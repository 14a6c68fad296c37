#include "util/UTL_RecentFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace
{
// Whether a line of the list names a file the list may offer.
bool Listable(const std::string& path)
{
    return !path.empty() && path.front() == '/' && path.size() <= UTL_RecentFiles::MaxPathBytes &&
           path.find('\0') == std::string::npos && path.find('\n') == std::string::npos;
}

bool IsFile(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored);
}
} // namespace

std::string UTL_RecentFiles::DefaultPath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/')
        return std::string(config) + "/halvane/recent";
    const char* home = std::getenv("HOME");
    if (home && home[0] != '\0')
        return std::string(home) + "/.config/halvane/recent";
    return std::string();
}

void UTL_RecentFiles::Load()
{
    files.clear();
    std::ifstream in(listPath, std::ios::binary);
    if (!in)
        return;
    std::string text(MaxFileBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    // A list cut off at the bound ends in part of a line, which names no file of the list.
    if (text.size() > MaxFileBytes)
    {
        const size_t lastBreak = text.rfind('\n', MaxFileBytes);
        text.resize(lastBreak == std::string::npos ? 0 : lastBreak);
    }
    size_t start = 0;
    while (start < text.size() && files.size() < Capacity)
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (Listable(line) && IsFile(line) &&
            std::find(files.begin(), files.end(), line) == files.end())
            files.push_back(line);
    }
}

bool UTL_RecentFiles::Add(const std::string& file, std::string& error)
{
    std::error_code failed;
    const std::string path = std::filesystem::absolute(file, failed).lexically_normal().string();
    Load(); // what other windows added since
    if (failed || !Listable(path))
        return true;
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
    files.insert(files.begin(), path);
    if (files.size() > Capacity)
        files.resize(Capacity);
    return Save(error);
}

bool UTL_RecentFiles::Remove(const std::string& file, std::string& error)
{
    Load();
    std::error_code failed;
    const std::string path = std::filesystem::absolute(file, failed).lexically_normal().string();
    files.erase(std::remove(files.begin(), files.end(), path), files.end());
    return Save(error);
}

bool UTL_RecentFiles::Save(std::string& error) const
{
    if (listPath.empty())
    {
        error = "there is no folder to keep the recent files in (HOME is not set)";
        return false;
    }
    const std::filesystem::path target(listPath);
    std::error_code failed;
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), failed);
    // Written aside and moved into place, so that another window reading it meanwhile finds
    // the old list or the new one, never half of one.
    std::string aside = listPath + ".XXXXXX";
    const int descriptor = ::mkstemp(aside.data());
    if (descriptor < 0)
    {
        error = "cannot write " + listPath + ": " + std::strerror(errno);
        return false;
    }
    FILE* out = ::fdopen(descriptor, "wb");
    bool written = out != nullptr;
    for (const std::string& file : files)
        written = written && std::fprintf(out, "%s\n", file.c_str()) >= 0;
    const int code = errno;
    if (out)
        written = std::fclose(out) == 0 && written;
    else
        ::close(descriptor);
    if (!written || std::rename(aside.c_str(), listPath.c_str()) != 0)
    {
        error = "cannot write " + listPath + ": " + std::strerror(written ? errno : code);
        std::remove(aside.c_str());
        return false;
    }
    return true;
}
