#pragma once

#include <string>

// A fresh directory under the system's temporary folder, removed with its contents when the
// object goes away.
class TempDir
{
public:
    TempDir();
    ~TempDir();

    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path; }
    // The path of `name` inside the directory.
    std::string File(const std::string& name) const { return path + "/" + name; }
    // Writes `bytes` to `name` inside the directory and returns its path.
    std::string Write(const std::string& name, const std::string& bytes) const;

private:
    std::string path;
};
