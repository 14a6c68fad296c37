#include "gfx/GFX_Theme.h"

#include "util/UTL_ParameterList.h"

#include <array>
#include <cmath>
#include <fstream>
#include <map>

namespace
{
struct ThemeKey
{
    const char* key;
    float* values;
    size_t count; // 3 for RGB, 4 for RGBA
};

std::array<ThemeKey, 16> KeysOf(GFX_Theme& t)
{
    return {{
        {"BackgroundColor", &t.BackgroundColor.x, 3},
        {"LocatorBallColor", &t.LocatorBallColor.x, 3},
        {"LocatorBillboardColor", &t.LocatorBillboardColor.x, 3},
        {"LocatorBillboardColorSel", &t.LocatorBillboardColorSel.x, 3},
        {"LocatorTextColor", &t.LocatorTextColor.x, 3},
        {"LocatorTextColorSel", &t.LocatorTextColorSel.x, 3},
        {"ButtonColor", &t.ButtonColor.r, 4},
        {"ButtonColorSel", &t.ButtonColorSel.r, 4},
        {"WindowColor", &t.WindowColor.r, 4},
        {"WindowColorSel", &t.WindowColorSel.r, 4},
        {"NavWidgetGlobeColor", &t.NavWidgetGlobeColor.r, 4},
        {"NavWidgetGlobeColorSel", &t.NavWidgetGlobeColorSel.r, 4},
        {"NavWidgetDialColor", &t.NavWidgetDialColor.r, 4},
        {"NavWidgetDialColorSel", &t.NavWidgetDialColorSel.r, 4},
        {"ConnectionColor", &t.ConnectionColor.x, 3},
        {"TopBarColor", &t.TopBarColor.r, 4},
    }};
}
} // namespace

void ReadTheme(GFX_Theme& theme, const UTL_ParameterList& block)
{
    for (const ThemeKey& entry : KeysOf(theme))
    {
        const std::vector<float>* values = block.GetNumberVector(entry.key);
        if (!values || values->size() < entry.count)
            continue;
        for (size_t i = 0; i < entry.count; ++i)
            entry.values[i] = (*values)[i];
    }
}

int LoadThemes(const UTL_ParameterList& file, std::vector<GFX_Theme>& themes, GFX_Theme& theme)
{
    // NumThemes and CurTheme are floats in the file; both are truncated towards zero. A count
    // that is absurd (or not a number) is limited so that a damaged file cannot stall set-up.
    constexpr float MaxThemes = 10000.0f;
    const float declared = file.GetNumber("NumThemes");
    const int count =
        std::isfinite(declared) ? static_cast<int>(std::fmin(declared, MaxThemes)) : 0;
    for (int i = 1; i <= count; ++i)
    {
        const UTL_ParameterList* block = file.GetList("Theme_" + std::to_string(i));
        if (!block)
            continue;
        GFX_Theme record;
        ReadTheme(record, *block);
        themes.push_back(record);
    }

    if (const UTL_ParameterNumber* current = file.FindNumber("CurTheme"))
    {
        const float value = current->GetValue();
        if (std::isfinite(value) && value >= 1.0f &&
            value < static_cast<float>(themes.size()) + 1.0f)
        {
            const size_t index = static_cast<size_t>(value) - 1;
            theme = themes[index];
            return static_cast<int>(index);
        }
    }
    return -1;
}

int LoadThemes(const std::string& path, std::vector<GFX_Theme>& themes, GFX_Theme& theme)
{
    UTL_ParameterList file;
    file.LoadFile(path);
    return LoadThemes(file, themes, theme);
}

std::vector<std::string> ReadThemeNames(const std::string& path)
{
    // The blocks that exist, in file order, as LoadThemes counts them.
    UTL_ParameterList file;
    file.LoadFile(path);
    std::vector<GFX_Theme> themes;
    GFX_Theme ignored;
    LoadThemes(file, themes, ignored);

    std::map<std::string, std::string> nameOfBlock;
    std::ifstream in(path);
    std::string line, pending;
    while (std::getline(in, line))
    {
        if (line.rfind("//", 0) == 0)
        {
            // The first line of a comment names what follows it; the lines after go on.
            if (pending.empty() && line.rfind("// ", 0) == 0 && line.find(':') != std::string::npos)
                pending = line.substr(3, line.find(':') - 3);
        }
        else if (line.rfind("Theme_", 0) == 0)
        {
            nameOfBlock[line.substr(0, line.find_first_of(" \t{"))] = pending;
            pending.clear();
        }
        else if (line.find_first_not_of(" \t\r") != std::string::npos)
            pending.clear(); // a comment names only the block right below it
    }

    std::vector<std::string> names;
    for (int i = 1; names.size() < themes.size(); ++i)
    {
        const std::string key = "Theme_" + std::to_string(i);
        if (!file.GetList(key))
            continue;
        const auto named = nameOfBlock.find(key);
        names.push_back(named != nameOfBlock.end() ? named->second : std::string());
    }
    return names;
}
