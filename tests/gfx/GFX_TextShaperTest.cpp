#include "gfx/GFX_TextShaper.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace
{
// Whether fontconfig knows any font with the character, asked apart from the shaper.
bool Installed(char32_t code)
{
    FcCharSet* charset = FcCharSetCreate();
    FcCharSetAddChar(charset, FcChar32(code));
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddCharSet(pattern, FC_CHARSET, charset);
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    const bool found = fonts && fonts->nfont > 0;
    if (fonts)
        FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    FcCharSetDestroy(charset);
    return found;
}

int Ink(const GFX_TextShaper::Line& line)
{
    int covered = 0;
    for (uint8_t value : line.coverage)
        covered += value > 0;
    return covered;
}

// How far `columns` columns of `a` from column `aFrom` are from those of `b` from `bFrom`, rows
// lined up on the baseline: the sum of the coverage differences.
long Distance(const GFX_TextShaper::Line& a, int aFrom, const GFX_TextShaper::Line& b, int bFrom,
              int columns)
{
    long sum = 0;
    for (int y = -a.baseline; y < a.height - a.baseline; ++y)
        for (int x = 0; x < columns; ++x)
        {
            auto at = [y](const GFX_TextShaper::Line& line, int column)
            {
                const int row = y + line.baseline;
                if (row < 0 || row >= line.height || column < 0 || column >= line.width)
                    return 0;
                return int(line.coverage[size_t(row) * size_t(line.width) + size_t(column)]);
            };
            sum += std::abs(at(a, aFrom + x) - at(b, bFrom + x));
        }
    return sum;
}
} // namespace

// A name in any of these scripts finds a font for every letter: glyphs drawn, none of them the
// missing-glyph box, and ink on the picture.
TEST(GFX_TextShaperTest, NamesInEveryScriptFindAFontForEachLetter)
{
    struct Row
    {
        const char* script;
        const char* name;
        char32_t letter; // one that only fonts of the script have
    };
    const Row rows[] = {
        {"Latin with accents", "Zoë Dvořák Søren", U'ř'},
        {"Greek", "Ελένη Παπαδοπούλου", U'Ε'},
        {"Cyrillic", "Дмитрий Шостакович", U'Д'},
        {"Arabic", "محمد عبد الله", U'م'},
        {"Hebrew", "שרה לוי", U'ש'},
        {"Devanagari", "अमित शर्मा", U'अ'},
        {"Chinese", "王小明", U'王'},
        {"Japanese", "佐藤 はなこ", U'は'},
        {"Korean", "김민준", U'김'},
    };
    GFX_TextShaper shaper;
    std::string uninstalled;
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.script);
        if (!Installed(row.letter))
        {
            uninstalled += std::string(" ") + row.script;
            continue;
        }
        const auto line = shaper.Shape(row.name, 16);
        EXPECT_GT(line->glyphs, 1);
        EXPECT_EQ(line->missing, 0) << "a letter went to the missing-glyph box";
        EXPECT_GT(Ink(*line), 80);
        EXPECT_GE(line->height, 16);
        EXPECT_FALSE(line->cut);
        EXPECT_FALSE(line->families.empty());
    }
    if (!uninstalled.empty())
        GTEST_SKIP() << "no font installed for" << uninstalled
                     << " (scripts/deps.sh installs them)";
}

// Right-to-left letters read from the right, and a line that starts in Hebrew is a right-to-left
// line: the Latin word in it stands on its left.
TEST(GFX_TextShaperTest, RightToLeftTextIsLaidOutFromTheRight)
{
    if (!Installed(U'א'))
        GTEST_SKIP() << "no Hebrew font installed (scripts/deps.sh installs one)";
    GFX_TextShaper shaper;
    const int pad = GFX_TextShaper::Padding;

    const auto alefBet = shaper.Shape("אב", 32);
    const auto alef = shaper.Shape("א", 32);
    const auto bet = shaper.Shape("ב", 32);
    const int letter = bet->width - 2 * pad;
    EXPECT_LT(Distance(*alefBet, pad, *bet, pad, letter),
              Distance(*alefBet, pad, *alef, pad, letter))
        << "bet, the second letter, is the leftmost";

    const auto mixed = shaper.Shape("שלום abc", 32);
    const auto latin = shaper.Shape("abc", 32);
    const auto hebrew = shaper.Shape("שלום", 32);
    const int word = latin->width - 2 * pad;
    EXPECT_LT(Distance(*mixed, pad, *latin, pad, word), Distance(*mixed, pad, *hebrew, pad, word));
    EXPECT_EQ(mixed->missing, 0);
}

// A line is cut by what fits the width, not by its length: twelve narrow letters fit where
// twelve wide ones do not; the cut one fills the width up to less than a letter and an ellipsis.
TEST(GFX_TextShaperTest, ALineTooWideIsCutWhereItStopsFitting)
{
    GFX_TextShaper shaper;
    if (!shaper.HasFonts())
        GTEST_SKIP() << "no fonts installed (scripts/deps.sh installs them)";
    const int maxWidth = 80;
    const auto narrow = shaper.Shape("iiiiiiiiiiii", 16, maxWidth);
    EXPECT_FALSE(narrow->cut);
    EXPECT_EQ(narrow->glyphs, 12);

    const auto wide = shaper.Shape("WWWWWWWWWWWW", 16, maxWidth);
    ASSERT_GT(shaper.Shape("WWWWWWWWWWWW", 16)->width, maxWidth);
    EXPECT_TRUE(wide->cut);
    EXPECT_LE(wide->width, maxWidth);
    const float w = shaper.Measure("W", 16);
    const float ellipsis = shaper.Measure("…", 16);
    EXPECT_GT(float(wide->width), float(maxWidth) - w - ellipsis) << "room for one more letter";

    // Joined right-to-left script is cut the same way, keeping its logical start.
    const auto arabic = shaper.Shape("محمد عبد الله بن عبد العزيز", 16, 60);
    EXPECT_TRUE(arabic->cut);
    EXPECT_LE(arabic->width, 60);
    EXPECT_EQ(arabic->missing, 0);

    // Narrower than the ellipsis itself: still no wider than asked.
    EXPECT_LE(shaper.Shape("Zoë", 16, 3)->width, 3);
}

// Bytes that are not UTF-8, control characters, empty and huge texts and sizes make bounded
// lines, never a crash or an unbounded picture.
TEST(GFX_TextShaperTest, HostileTextMakesABoundedLine)
{
    GFX_TextShaper shaper;
    EXPECT_EQ(shaper.Shape("", 16)->width, 0);
    EXPECT_EQ(shaper.Shape("\x01\x02\x7f", 16)->width, 0) << "control characters are dropped";
    if (!shaper.HasFonts())
        GTEST_SKIP() << "no fonts installed (scripts/deps.sh installs them)";
    const auto broken = shaper.Shape("a\xff\xc3(\xe2\x82 \xf0\x9f", 16);
    EXPECT_GT(broken->glyphs, 2);
    const auto huge = shaper.Shape(std::string(100000, 'W'), 100000);
    EXPECT_LE(huge->width, GFX_TextShaper::MaxLineWidth);
    EXPECT_LE(huge->height, 2 * GFX_TextShaper::MaxPixelSize + 2 * GFX_TextShaper::Padding);
    EXPECT_TRUE(huge->cut);
    EXPECT_EQ(huge->coverage.size(), size_t(huge->width) * size_t(huge->height));
}

// A name is shaped once per size and width: asked again, the same line comes back. The cache
// keeps to its bound in bytes however many names pass through it.
TEST(GFX_TextShaperTest, LinesAreKeptOncePerSizeWithinABound)
{
    GFX_TextShaper shaper;
    if (!shaper.HasFonts())
        GTEST_SKIP() << "no fonts installed (scripts/deps.sh installs them)";
    const auto first = shaper.Shape("Søren", 16);
    EXPECT_EQ(shaper.Shape("Søren", 16).get(), first.get());
    EXPECT_NE(shaper.Shape("Søren", 20).get(), first.get());
    EXPECT_NE(shaper.Shape("Søren", 16, 30).get(), first.get());
    for (int i = 0; i < 1500; ++i)
        shaper.Shape("Person number " + std::to_string(i), 48);
    EXPECT_LE(shaper.CountCachedBytes(), GFX_TextShaper::MaxCachedBytes);
    EXPECT_LT(shaper.CountCachedLines(), 1500u);
}
