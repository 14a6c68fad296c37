#pragma once

#include "gfx/GFX_Vector3.h"

#include <string>
#include <vector>

class UTL_ParameterList;

// Four floats r, g, b, a.
struct GFX_ColorRGBA
{
    float r, g, b, a;
};

// The sixteen colours of a theme, each named by the themes-file key that sets it. A plain value
// copied whole; each "…Sel" colour directly follows its plain one, so a widget holding a
// pointer to the plain colour finds the selected one right after it.
struct GFX_Theme
{
    GFX_Vector3 BackgroundColor{0.0f, 0.0f, 0.0f};
    GFX_Vector3 LocatorBallColor{0.25f, 0.35f, 0.9f};
    GFX_Vector3 LocatorBillboardColor{1.0f, 1.0f, 1.0f};
    GFX_Vector3 LocatorBillboardColorSel{0.7f, 0.9f, 1.0f};
    GFX_Vector3 LocatorTextColor{0.2f, 0.2f, 0.2f};
    GFX_Vector3 LocatorTextColorSel{0.2f, 0.2f, 0.2f};
    GFX_ColorRGBA ButtonColor{1.0f, 1.0f, 1.0f, 1.0f};
    GFX_ColorRGBA ButtonColorSel{0.7f, 0.9f, 1.0f, 1.0f};
    GFX_ColorRGBA WindowColor{1.0f, 1.0f, 1.0f, 1.0f};
    GFX_ColorRGBA WindowColorSel{0.7f, 0.9f, 1.0f, 1.0f};
    GFX_ColorRGBA NavWidgetGlobeColor{1.0f, 1.0f, 1.0f, 1.0f};
    GFX_ColorRGBA NavWidgetGlobeColorSel{0.7f, 0.9f, 1.0f, 1.0f};
    GFX_ColorRGBA NavWidgetDialColor{1.0f, 1.0f, 1.0f, 1.0f};
    GFX_ColorRGBA NavWidgetDialColorSel{0.7f, 0.9f, 1.0f, 1.0f};
    GFX_Vector3 ConnectionColor{0.25f, 0.75f, 1.0f};
    GFX_ColorRGBA TopBarColor{0.25f, 0.45f, 0.65f, 0.9f};
};

// Seven RGB and nine RGBA colours.
static_assert(sizeof(GFX_Theme) == (7 * 3 + 9 * 4) * sizeof(float),
              "GFX_Theme must be plain packed floats");

// Fills `theme` from one theme block: each key holding a number vector of at least 3 (RGB) or
// 4 (RGBA) values sets its colour from the first ones; anything else leaves the colour as is.
void ReadTheme(GFX_Theme& theme, const UTL_ParameterList& block);

// Reads the themes file: `themes` receives one record per "Theme_<i>" block that exists
// (i = 1…NumThemes, each starting from the defaults), and `theme` the one that "CurTheme"
// (1-based, counted in `themes`) names, or the defaults when it names none. Returns the
// position in `themes` of the record copied into `theme`, -1 when the defaults stay.
int LoadThemes(const std::string& path, std::vector<GFX_Theme>& themes, GFX_Theme& theme);
// The same from an already parsed tree.
int LoadThemes(const UTL_ParameterList& file, std::vector<GFX_Theme>& themes, GFX_Theme& theme);

// The names of the themes of a themes file, one per theme block in file order, as the comment
// line before each block gives them ("// Night sky: a deep blue-black globe…" names
// "Night sky"); an empty name where the block has none. Count and order match the `themes`
// LoadThemes gives for the same file.
std::vector<std::string> ReadThemeNames(const std::string& path);
