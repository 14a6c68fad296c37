#include "support/ImageMagick.h"

#include <cstdio>
#include <cstdlib>

namespace ImageMagick
{
bool Available()
{
    static const bool available = std::system("convert -version >/dev/null 2>&1") == 0;
    return available;
}

bool Convert(const std::string& arguments)
{
    return std::system(("convert " + arguments + " 2>/dev/null").c_str()) == 0;
}

std::string ConvertOutput(const std::string& arguments)
{
    std::string output;
    FILE* pipe = popen(("convert " + arguments + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return output;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    if (pclose(pipe) != 0)
        output.clear();
    return output;
}

std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}
} // namespace ImageMagick
