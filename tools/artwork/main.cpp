// halvane-artwork: draws Halvane's interface textures into a folder, or a contact sheet that
// shows them in use under every theme.

#include "tools/artwork/ART_Png.h"
#include "tools/artwork/ART_Preview.h"
#include "tools/artwork/ART_Textures.h"
#include "tools/artwork/ART_Tga.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace
{
const char* const Usage =
    "usage: halvane-artwork [--fonts DIR] OUTPUT_DIR\n"
    "       halvane-artwork [--fonts DIR] [--themes FILE] --sheet FILE.tga\n"
    "       halvane-artwork --icons DIR\n"
    "\n"
    "Draws every interface texture of Halvane as a 32-bit TGA into OUTPUT_DIR (the project\n"
    "keeps them in data/config/). The output is the same, byte for byte, on every run.\n"
    "\n"
    "  --fonts DIR    folder with the DejaVu fonts (default /usr/share/fonts/truetype/dejavu)\n"
    "  --sheet FILE   instead, write a contact sheet: a mock-up of the window under each theme\n"
    "                 of the themes file, then every texture on its own\n"
    "  --themes FILE  themes for the contact sheet (default data/config/themes.txt)\n"
    "  --icons DIR    instead, write the program's icon as DIR/<N>x<N>/apps/halvane.png for\n"
    "                 each size of the desktop's icon theme (no fonts needed)\n"
    "  --help         show this text\n";
}

namespace
{
bool WriteIcons(const std::string& root, std::string& error)
{
    for (int size : ART_IconSizes)
    {
        const std::string folder =
            root + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        std::error_code failed;
        std::filesystem::create_directories(folder, failed);
        const std::string path = folder + "/halvane.png";
        if (failed || !ART_WritePng(path, ART_DrawIcon(size)))
        {
            error = "cannot write " + path;
            return false;
        }
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    std::string fontDirectory = ART_DefaultFontDirectory;
    std::string themes = "data/config/themes.txt";
    std::string sheet;
    std::string icons;
    std::string output;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h")
        {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (arg == "--fonts" && hasValue)
            fontDirectory = argv[++i];
        else if (arg == "--themes" && hasValue)
            themes = argv[++i];
        else if (arg == "--sheet" && hasValue)
            sheet = argv[++i];
        else if (arg == "--icons" && hasValue)
            icons = argv[++i];
        else if (!arg.empty() && arg[0] != '-' && output.empty())
            output = arg;
        else
        {
            std::fprintf(stderr, "halvane-artwork: unexpected argument '%s'\n\n%s", arg.c_str(),
                         Usage);
            return 2;
        }
    }
    if (!icons.empty() && output.empty() && sheet.empty())
    {
        std::string error;
        if (!WriteIcons(icons, error))
        {
            std::fprintf(stderr, "halvane-artwork: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (output.empty() == sheet.empty() || !icons.empty())
    {
        std::fputs(Usage, stderr);
        return 2;
    }

    ART_Fonts fonts;
    std::string error;
    if (!fonts.Open(fontDirectory, error))
    {
        std::fprintf(stderr, "halvane-artwork: %s (Debian: fonts-dejavu-core)\n", error.c_str());
        return 1;
    }
    if (!sheet.empty())
    {
        const ART_Canvas canvas = ART_DrawContactSheet(ART_DrawTextures(fonts), fonts, themes);
        if (!ART_WriteFile(sheet, ART_EncodeTga(canvas)))
        {
            std::fprintf(stderr, "halvane-artwork: cannot write %s\n", sheet.c_str());
            return 1;
        }
        return 0;
    }
    if (!ART_WriteTextures(fonts, output, error))
    {
        std::fprintf(stderr, "halvane-artwork: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
