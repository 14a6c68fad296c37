#include "gfx/GFX_Theme.h"

#include "util/UTL_ParameterList.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace
{
struct Loaded
{
    std::vector<GFX_Theme> themes;
    GFX_Theme theme;
};

Loaded LoadFromText(const std::string& text)
{
    UTL_ParameterList file;
    file.ParseText(text.c_str());
    Loaded loaded;
    LoadThemes(file, loaded.themes, loaded.theme);
    return loaded;
}

const char* const ThreeDeclaredTwoPresent = "NumThemes 3\n"
                                            "Theme_1 {\n"
                                            "  BackgroundColor [ 0.1 0.1 0.1 ]\n"
                                            "}\n"
                                            "Theme_3 {\n"
                                            "  BackgroundColor [ 0 0 0.1 ]\n"
                                            "  TopBarColor [ 0.2 0.2 0.2 0.8 ]\n"
                                            "}\n";
} // namespace

TEST(GFX_ThemeTest, MissingBlocksTakeNoPlaceAndCurThemeCountsLoadedThemes)
{
    struct Row
    {
        const char* curTheme;
        float wantBackgroundBlue; // 0 = defaults, 0.1 = the file's Theme_1 or Theme_3
        float wantTopBarAlpha;
    };
    const Row rows[] = {
        {"CurTheme 1\n", 0.1f, 0.9f},   // Theme_1
        {"CurTheme 2\n", 0.1f, 0.8f},   // the second loaded theme is the file's Theme_3
        {"CurTheme 2.9\n", 0.1f, 0.8f}, // truncated
        {"CurTheme 3\n", 0.0f, 0.9f},   // only two were loaded: ignored, defaults stay
        {"CurTheme 0\n", 0.0f, 0.9f},
        {"CurTheme -1\n", 0.0f, 0.9f},
        {"CurTheme \"2\"\n", 0.0f, 0.9f}, // a string is no number
        {"", 0.0f, 0.9f},                 // no CurTheme: defaults, not the first theme
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.curTheme);
        Loaded loaded = LoadFromText(std::string(ThreeDeclaredTwoPresent) + row.curTheme);
        ASSERT_EQ(loaded.themes.size(), 2u);
        EXPECT_FLOAT_EQ(loaded.theme.BackgroundColor.z, row.wantBackgroundBlue);
        EXPECT_FLOAT_EQ(loaded.theme.TopBarColor.a, row.wantTopBarAlpha);
    }
}

TEST(GFX_ThemeTest, ColoursNeedEnoughValuesAndExtraOnesAreIgnored)
{
    Loaded loaded = LoadFromText("NumThemes 1\nCurTheme 1\nTheme_1 {\n"
                                 "  BackgroundColor [ 0.5 0.5 ]\n"         // too few: default
                                 "  LocatorBallColor [ 1 0 0 0.5 0.5 ]\n"  // RGB of five values
                                 "  ButtonColor [ 0 1 0 ]\n"               // RGBA needs four
                                 "  WindowColor [ 0.1 0.2 0.3 0.4 0.5 ]\n" // first four
                                 "  ConnectionColor 0.5\n"                 // not a vector
                                 "}\n");
    const GFX_Theme& t = loaded.theme;
    const GFX_Theme defaults;
    EXPECT_FLOAT_EQ(t.BackgroundColor.x, defaults.BackgroundColor.x);
    EXPECT_FLOAT_EQ(t.LocatorBallColor.x, 1.0f);
    EXPECT_FLOAT_EQ(t.LocatorBallColor.z, 0.0f);
    EXPECT_FLOAT_EQ(t.ButtonColor.r, defaults.ButtonColor.r);
    EXPECT_FLOAT_EQ(t.WindowColor.a, 0.4f);
    EXPECT_FLOAT_EQ(t.ConnectionColor.y, 0.75f);
}

TEST(GFX_ThemeTest, SelectedColourFollowsItsPlainColourInTheRecord)
{
    // Widgets hold a pointer to the plain colour and read the selected one right after it.
    GFX_Theme t;
    EXPECT_EQ(&t.ButtonColor.r + 4, &t.ButtonColorSel.r);
    EXPECT_EQ(&t.NavWidgetDialColor.r + 4, &t.NavWidgetDialColorSel.r);
    EXPECT_EQ(&t.LocatorBillboardColor.x + 3, &t.LocatorBillboardColorSel.x);
}

TEST(GFX_ThemeTest, NoFileOrNoCountGivesTheDefaults)
{
    std::vector<GFX_Theme> themes;
    GFX_Theme theme;
    LoadThemes("/nonexistent/themes.txt", themes, theme);
    EXPECT_TRUE(themes.empty());
    EXPECT_FLOAT_EQ(theme.BackgroundColor.x, 0.0f);
    EXPECT_FLOAT_EQ(theme.TopBarColor.r, 0.25f);
    EXPECT_FLOAT_EQ(theme.TopBarColor.g, 0.45f);
    EXPECT_FLOAT_EQ(theme.TopBarColor.b, 0.65f);
    EXPECT_FLOAT_EQ(theme.TopBarColor.a, 0.9f);

    for (const char* count : {"", "NumThemes 0\n", "NumThemes -3\n", "NumThemes x\n"})
    {
        SCOPED_TRACE(count);
        Loaded loaded = LoadFromText(std::string(count) + "CurTheme 1\nTheme_1 {\n"
                                                          "BackgroundColor [ 1 1 1 ]\n}\n");
        EXPECT_TRUE(loaded.themes.empty());
        EXPECT_FLOAT_EQ(loaded.theme.BackgroundColor.x, 0.0f);
    }
}

TEST(GFX_ThemeTest, ShippedThemesFileHasSeveralCompleteThemesAndADefault)
{
    const char* source = std::getenv("HALVANE_SOURCE_DIR");
    ASSERT_NE(source, nullptr) << "CTest sets HALVANE_SOURCE_DIR";
    UTL_ParameterList file;
    file.LoadFile(std::string(source) + "/data/config/themes.txt");
    Loaded loaded;
    LoadThemes(file, loaded.themes, loaded.theme);
    ASSERT_GE(loaded.themes.size(), 3u);
    EXPECT_EQ(loaded.themes.size(), size_t(file.GetNumber("NumThemes")));

    // Every theme sets all sixteen colours itself, so none silently falls back to a default.
    const char* keys[] = {"BackgroundColor",       "LocatorBallColor",
                          "LocatorBillboardColor", "LocatorBillboardColorSel",
                          "LocatorTextColor",      "LocatorTextColorSel",
                          "ButtonColor",           "ButtonColorSel",
                          "WindowColor",           "WindowColorSel",
                          "NavWidgetGlobeColor",   "NavWidgetGlobeColorSel",
                          "NavWidgetDialColor",    "NavWidgetDialColorSel",
                          "ConnectionColor",       "TopBarColor"};
    for (size_t i = 1; i <= loaded.themes.size(); ++i)
    {
        const UTL_ParameterList* block = file.FindList("Theme_" + std::to_string(i));
        ASSERT_NE(block, nullptr) << "Theme_" << i;
        for (const char* key : keys)
        {
            const std::vector<float>* values = block->GetNumberVector(key);
            ASSERT_NE(values, nullptr) << "Theme_" << i << " lacks " << key;
            EXPECT_GE(values->size(), std::string(key).find("Locator") == 0 ||
                                              std::string(key).find("Background") == 0 ||
                                              std::string(key).find("Connection") == 0
                                          ? 3u
                                          : 4u)
                << "Theme_" << i << " " << key;
            for (float v : *values)
            {
                EXPECT_GE(v, 0.0f) << key;
                EXPECT_LE(v, 1.0f) << key;
            }
        }
    }
    const float current = file.GetNumber("CurTheme");
    EXPECT_GE(current, 1.0f);
    EXPECT_LE(current, float(loaded.themes.size()));
}
