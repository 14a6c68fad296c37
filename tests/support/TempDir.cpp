#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <stdlib.h>

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "halvane-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("TempDir: cannot create " + pattern);
    path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const
{
    const std::string file = File(name);
    std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    return file;
}
