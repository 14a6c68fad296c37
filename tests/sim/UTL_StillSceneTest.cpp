#include "sim/UTL_StillScene.h"

#include <gtest/gtest.h>

// When a kept globe pass may be shown again, without GL: Drew says when to keep one, and only
// Keep (a GL call) makes one shown, so these tests stop at Drew's answer.

TEST(UTL_StillSceneTest, APassIsWorthKeepingOnlyOnceAFrameRepeatedItsPredecessor)
{
    UTL_StillScene still;
    // The first pass has nothing to repeat; a turning globe never repeats.
    EXPECT_FALSE(still.Drew(1, 1));
    EXPECT_TRUE(still.Drew(1, 1));
    EXPECT_FALSE(still.Drew(2, 2));
    EXPECT_FALSE(still.Drew(3, 3));
    // A pass that changed what it read (a label still sliding) is not a still picture even when
    // it began where the last one ended.
    EXPECT_FALSE(still.Drew(3, 4));
    EXPECT_FALSE(still.Drew(4, 5));
    EXPECT_TRUE(still.Drew(5, 5));
}

TEST(UTL_StillSceneTest, NothingIsShownBeforeAPassIsKeptAndForgettingStartsAgain)
{
    UTL_StillScene still;
    EXPECT_FALSE(still.CanShow(0));
    still.Drew(7, 7);
    ASSERT_TRUE(still.Drew(7, 7));
    EXPECT_FALSE(still.CanShow(7)) << "only a copy that Keep made is shown";
    still.Forget();
    EXPECT_FALSE(still.Drew(7, 7)) << "after Forget the next pass has nothing to repeat";
}

TEST(UTL_SceneDigestTest, EveryChangedValueChangesTheDigest)
{
    auto digest = [](float a, float b, const std::string& text)
    {
        UTL_SceneDigest d;
        d.Add(a);
        d.Add(b);
        d.Add(text);
        return d.Value();
    };
    const uint64_t base = digest(1.0f, 2.0f, "Ann");
    EXPECT_EQ(digest(1.0f, 2.0f, "Ann"), base);
    EXPECT_NE(digest(2.0f, 1.0f, "Ann"), base) << "order counts";
    EXPECT_NE(digest(1.0f, 2.0f, "Anne"), base);
    EXPECT_NE(digest(1.0f, std::nextafter(2.0f, 3.0f), "Ann"), base) << "one ulp counts";

    // Texts are told apart by where they split, and by bytes past the first word.
    UTL_SceneDigest ab, a;
    ab.Add(std::string("ab"));
    ab.Add(std::string("c"));
    a.Add(std::string("a"));
    a.Add(std::string("bc"));
    EXPECT_NE(ab.Value(), a.Value());
    UTL_SceneDigest long1, long2;
    long1.Add(std::string("https://example.org/pictures/1.jpg"));
    long2.Add(std::string("https://example.org/pictures/2.jpg"));
    EXPECT_NE(long1.Value(), long2.Value());
}
