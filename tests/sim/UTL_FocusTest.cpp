#include "sim/UTL_Focus.h"

#include "gfx/GFX_HalvaneCamera.h"
#include "scene/GFX_Billboard.h"
#include "scene/GFX_Globe.h"
#include "sim/UTL_CameraMotion.h"
#include "sim/UTL_CircleAnalysis.h"

#include "CircleScene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

// What the focus brings forward on a small circle without GL: the user "0" and friends "1" to
// "6", where 1-2-3-4 is a chain, 5 and 6 know each other, and the user knows everyone.
namespace
{
using E = GFX_Emphasis;

class UTL_FocusTest : public ::testing::Test
{
protected:
    UTL_FocusTest()
    {
        scene.AddPeople(6);
        for (auto [a, b] : {std::pair{"1", "2"}, {"2", "3"}, {"3", "4"}, {"5", "6"}})
            scene.circle.ConnectFriends(a, b, GFX_ConnectionFriends::FriendsDimAlpha, false);
        scene.ResolveLines();
    }

    GFX_Friend* Person(int id)
    {
        return id == 0 ? scene.circle.GetSelf() : scene.circle.GetFriends().at(id - 1).get();
    }
    // The emphasis of each person's locator, "0" to "6".
    std::string People()
    {
        std::string shown;
        for (const auto& holder : scene.circle.GetHolders())
            shown += "NFL"[int(holder->GetEmphasis())];
        return shown;
    }
    // The emphasis of each line, keyed "a-b".
    std::map<std::string, E> Lines()
    {
        std::map<std::string, E> lines;
        for (const auto& line : scene.circle.GetConnections())
            lines[line->GetId1() + "-" + line->GetId2()] = line->GetEmphasis();
        return lines;
    }

    CircleScene scene;
    UTL_CircleAnalysis analysis{scene.circle};
    UTL_Focus focus{scene.circle, analysis};
};
} // namespace

TEST_F(UTL_FocusTest, AChainLightsItsPeopleAndLinesAndFadesTheRest)
{
    ASSERT_TRUE(focus.Ask(UTL_Focus::Question::Path, Person(1), Person(4)));
    focus.Apply(Person(1));
    ASSERT_EQ(focus.GetAnswer().size(), 4u);
    EXPECT_EQ(People(), "FLLLLFF") << "the user too: a chain never passes through them";
    auto lines = Lines();
    for (const char* lit : {"1-2", "2-3", "3-4"})
        EXPECT_EQ(lines[lit], E::Lit) << lit;
    EXPECT_EQ(lines["5-6"], E::Faded);
    EXPECT_EQ(lines["0-1"], E::Faded);
    EXPECT_FLOAT_EQ(scene.Holder(2).GetBillboard()->GetWidth(), UTL_Focus::AnswerLabelSize);
    EXPECT_EQ(focus.Describe(), "Chain from Friend 1 to Friend 4: 3 friendships · Esc clears it");

    // Only the user joins 1 and 5: the two lines through the user light up instead.
    ASSERT_TRUE(focus.Ask(UTL_Focus::Question::Path, Person(1), Person(5)));
    focus.Apply(Person(1));
    EXPECT_TRUE(focus.GetAnswer().empty());
    EXPECT_EQ(People(), "NLFFFLF");
    lines = Lines();
    EXPECT_EQ(lines["0-1"], E::Lit);
    EXPECT_EQ(lines["0-5"], E::Lit);
    EXPECT_EQ(lines["1-2"], E::Faded);
    EXPECT_EQ(focus.Describe(),
              "Friend 1 and Friend 5 are connected only through you · Esc clears it");

    // Friends in common: the lines from both to each of them.
    ASSERT_TRUE(focus.Ask(UTL_Focus::Question::InCommon, Person(1), Person(3)));
    focus.Apply(Person(1));
    ASSERT_EQ(focus.GetAnswer().size(), 1u);
    EXPECT_EQ(focus.GetAnswer()[0], Person(2));
    EXPECT_EQ(People(), "FLNLFFF");

    focus.Clear();
    focus.Apply(Person(1));
    EXPECT_EQ(People(), "NNNNNNN");
    for (const auto& [line, emphasis] : Lines())
        EXPECT_EQ(emphasis, E::Normal) << line;
    EXPECT_FLOAT_EQ(scene.Holder(2).GetBillboard()->GetWidth(), GFX_LocationHolder::LabelSize);
    EXPECT_EQ(focus.Describe(), "");
}

TEST_F(UTL_FocusTest, AQuestionNeedsTwoPeopleAndEndsWithAnotherSelection)
{
    EXPECT_FALSE(focus.Ask(UTL_Focus::Question::Path, Person(1), Person(1)));
    EXPECT_FALSE(focus.Ask(UTL_Focus::Question::Path, nullptr, Person(1)));
    ASSERT_TRUE(focus.Ask(UTL_Focus::Question::Path, Person(2), Person(4)));
    focus.Apply(Person(3)); // a click selected someone else
    EXPECT_EQ(focus.GetQuestion(), UTL_Focus::Question::None);
    EXPECT_EQ(People(), "NNNNNNN");

    // The user is everyone's friend: a chain to them is that friendship.
    ASSERT_TRUE(focus.Ask(UTL_Focus::Question::Path, Person(3), Person(0)));
    EXPECT_EQ(focus.GetAnswer(), (std::vector<GFX_Friend*>{Person(3), Person(0)}));
    // A person of the answer about to go takes the answer with them.
    focus.Forget(Person(0));
    EXPECT_EQ(focus.GetQuestion(), UTL_Focus::Question::None);
    EXPECT_TRUE(focus.GetAnswer().empty());
}

TEST_F(UTL_FocusTest, FiltersFollowTheSelectionAndFadeLinesWithAFadedEnd)
{
    ASSERT_TRUE(focus.SetFilter(UTL_Focus::Filter::Friends, Person(2)));
    focus.Apply(Person(2));
    EXPECT_EQ(People(), "FNNNFFF");
    auto lines = Lines();
    EXPECT_EQ(lines["1-2"], E::Normal);
    EXPECT_EQ(lines["2-3"], E::Normal);
    EXPECT_EQ(lines["3-4"], E::Faded) << "4 is faded";
    EXPECT_EQ(lines["0-2"], E::Faded) << "so is the user";
    EXPECT_EQ(focus.Describe(), "Showing only Friend 2 and their 2 friends · Esc shows everyone");

    focus.Apply(Person(5)); // another selection: the filter goes with it
    EXPECT_EQ(People(), "FFFFFNN");

    ASSERT_TRUE(focus.SetFilter(UTL_Focus::Filter::FriendsOfFriends, Person(1)));
    focus.Apply(Person(1));
    EXPECT_EQ(People(), "FNNNFFF");

    // Communities as the circle's document found them.
    analysis.SetCommunitySource([](const std::string& id) { return id < "4" ? 0 : 1; });
    ASSERT_TRUE(focus.SetFilter(UTL_Focus::Filter::Community, Person(5)));
    focus.Apply(Person(5));
    EXPECT_EQ(People(), "FFFFNNN");
    focus.Apply(Person(1));
    EXPECT_EQ(focus.GetFilter(), UTL_Focus::Filter::Community) << "a community stays put";
    EXPECT_EQ(focus.Describe(), "Showing community 1 (3 people) · Esc shows everyone");
    EXPECT_FALSE(focus.SetFilter(UTL_Focus::Filter::Community, Person(0)))
        << "the user belongs to no community";

    focus.Apply(nullptr);
    focus.Clear();
    focus.Apply(nullptr);
    EXPECT_EQ(People(), "NNNNNNN");
}

TEST_F(UTL_FocusTest, HoverShowsTheNeighbourhoodOnceThePointerRestsAndLeavingRestoresIt)
{
    focus.Hover(Person(2), 0.0f);
    focus.Apply(nullptr);
    EXPECT_EQ(People(), "NNNNNNN") << "passing over a person shows nothing";
    focus.Hover(Person(2), UTL_Focus::HoverDwell);
    focus.Apply(nullptr);
    EXPECT_EQ(People(), "NNLNFFF");
    auto lines = Lines();
    EXPECT_EQ(lines["0-2"], E::Lit);
    EXPECT_EQ(lines["2-3"], E::Lit);
    EXPECT_EQ(lines["3-4"], E::Faded) << "between two neighbours: not the person's";
    EXPECT_FLOAT_EQ(scene.Holder(2).GetBillboard()->GetWidth(), GFX_LocationHolder::LabelSize)
        << "hovering grows nothing";

    focus.Hover(nullptr, 0.1f);
    focus.Apply(nullptr);
    EXPECT_EQ(People(), "NNNNNNN");

    // While a filter holds, hovering changes nothing.
    focus.SetFilter(UTL_Focus::Filter::Friends, Person(5));
    focus.Hover(Person(2), 0.0f);
    focus.Hover(Person(2), 1.0f);
    focus.Apply(Person(5));
    EXPECT_EQ(People(), "FFFFFNN");
}

TEST_F(UTL_FocusTest, TheCameraGlidesAlongTheChainUntilTheUserTakesOver)
{
    GFX_HalvaneCamera camera;
    GFX_GlobeView::SetUpCamera(camera);
    UTL_CameraMotion motion;
    // The stops the camera was sent to, in order.
    std::vector<float> stops;
    const auto frames = [&](int count)
    {
        for (int i = 0; i < count; ++i)
        {
            focus.Glide(1.0f / 60.0f, motion, camera);
            if (motion.IsFlying() && (stops.empty() || stops.back() != motion.GetFlightHeading()))
                stops.push_back(motion.GetFlightHeading());
            motion.Glide(camera);
        }
    };
    // The heading's distance from the longitude of the person's locator, the short way round.
    const auto away = [&](int id)
    {
        const float d =
            std::remainder(camera.GetHeading() - scene.Holder(size_t(id)).GetLongitude(), 360.0f);
        return std::fabs(d);
    };
    ASSERT_TRUE(focus.Ask(UTL_Focus::Question::Path, Person(1), Person(4)));
    frames(1200);
    EXPECT_EQ(stops,
              (std::vector<float>{scene.Holder(2).GetLongitude(), scene.Holder(3).GetLongitude(),
                                  scene.Holder(4).GetLongitude()}));
    EXPECT_LE(away(4), 1.0f);

    // Back from 4: a drag on the way to 3 ends the glide there.
    ASSERT_TRUE(focus.Ask(UTL_Focus::Question::Path, Person(4), Person(1)));
    frames(3);
    ASSERT_TRUE(motion.IsFlying());
    motion.Grab(10, 10);
    frames(1);
    motion.LetGo();
    frames(1200);
    EXPECT_LE(away(3), 1.0f);
    EXPECT_GT(away(1), 1.0f);
}
