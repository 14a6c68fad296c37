#include "sim/UTL_CircleDocument.h"

#include "graph/UTL_GraphReader.h"
#include "graph/UTL_LayoutMeasures.h"
#include "graph/UTL_SphereLayout.h"
#include "scene/GFX_Friend.h"
#include "sim/UTL_GraphLoader.h"
#include "sim/UTL_ViewOptions.h"
#include "support/TempDir.h"

#include "CircleScene.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

// The circle shown as a document, without GL: what it shows in the scene's circle as it opens,
// arranges, takes in and saves a circle.

namespace
{
// The user "me" and two cliques of four, listed alternately so that file order mixes them.
UTL_SocialGraph TwoCliques()
{
    UTL_SocialGraph graph;
    const size_t me = graph.AddNode("me");
    for (int i = 0; i < 8; ++i)
        graph.AddNode((i % 2 ? "b" : "a") + std::to_string(i / 2));
    for (const char* side : {"a", "b"})
        for (int i = 0; i < 4; ++i)
            for (int j = i + 1; j < 4; ++j)
                graph.AddFriendship(graph.Find(side + std::to_string(i)),
                                    graph.Find(side + std::to_string(j)));
    graph.SetUser(me);
    return graph;
}

std::string Shown(const UTL_FriendCircle& circle)
{
    std::string ids;
    for (const auto& person : circle.GetFriends())
        ids += person->GetId() + " ";
    return ids;
}

// The places of the locators shown, by person.
UTL_FriendCircle::Places Places(UTL_FriendCircle& circle)
{
    return circle.PlacesById();
}

double Angle(const UTL_SpherePlace& a, const UTL_SpherePlace& b)
{
    return UTL_LayoutMeasures::Angle(a, b);
}

struct DocumentScene : CircleScene
{
    int cleared = 0;
    UTL_CircleDocument document{circle, [this]
                                {
                                    ++cleared;
                                    circle.Clear();
                                }};
};
} // namespace

TEST(UTL_CircleDocumentTest, AFileShowsArrangedAsAskedAndArrangingAgainKeepsItsPeople)
{
    DocumentScene scene;
    std::string error;
    ASSERT_TRUE(scene.document.Arrange(UTL_CircleDocument::Arrangement::Communities, error));
    EXPECT_EQ(scene.cleared, 0) << "nothing shown yet: only remembered";
    ASSERT_TRUE(scene.document.Show(TwoCliques(), error)) << error;
    EXPECT_TRUE(scene.document.IsFromFile());
    EXPECT_EQ(scene.circle.GetSelf()->GetId(), "me");
    // Community by community: the side changes once along the friends.
    const std::string byCommunity = Shown(scene.circle);
    int changes = 0;
    for (size_t i = 3; i < byCommunity.size(); i += 3)
        changes += byCommunity[i] != byCommunity[i - 3];
    EXPECT_EQ(changes, 1) << byCommunity;
    EXPECT_EQ(scene.document.GetLegend().rfind("2 communities; largest: 4 around", 0), 0u)
        << scene.document.GetLegend();

    ASSERT_TRUE(scene.document.Arrange(UTL_CircleDocument::Arrangement::Arrival, error));
    EXPECT_EQ(Shown(scene.circle), "a0 b0 a1 b1 a2 b2 a3 b3 ");
    EXPECT_TRUE(scene.document.GetLegend().empty());
    EXPECT_EQ(scene.circle.GetConnections().size(), 8u + 12u) << "the user's lines, then 2 × 6";
}

TEST(UTL_CircleDocumentTest, ACircleFromTheServerIsTakenInWithWhatArrivedSinceAndSavedWhole)
{
    DocumentScene scene;
    scene.AddPeople(4);
    scene.circle.ConnectFriends("1", "2", GFX_ConnectionFriends::FriendsDimAlpha, false);
    std::string error;
    ASSERT_TRUE(scene.document.Arrange(UTL_CircleDocument::Arrangement::Communities, error));
    ASSERT_TRUE(scene.document.Arrange(UTL_CircleDocument::Arrangement::Arrival, error));
    EXPECT_EQ(Shown(scene.circle), "1 2 3 4 ") << "the order they arrived in";
    EXPECT_FALSE(scene.document.IsFromFile());
    // A friendship that arrives after the circle was taken in joins it at the next arrangement.
    scene.circle.ConnectFriends("3", "4", GFX_ConnectionFriends::FriendsDimAlpha, false);
    ASSERT_TRUE(scene.document.Arrange(UTL_CircleDocument::Arrangement::Communities, error));
    EXPECT_EQ(scene.document.CountFriendships(), 2u);

    TempDir folder;
    const std::string path = folder.File("circle.graphml");
    ASSERT_TRUE(scene.document.Save(path, error)) << error;
    UTL_SocialGraph opened;
    ASSERT_TRUE(UTL_GraphReader().Read(path, opened, error)) << error;
    EXPECT_EQ(opened.Friendships().size(), 2u);
    EXPECT_EQ(opened.Node(opened.User()).id, "0");
    EXPECT_TRUE(opened.HasCommunities()) << "the communities found are saved with it";

    scene.document.Clear();
    EXPECT_EQ(scene.document.GetArrangement(), UTL_CircleDocument::Arrangement::Arrival);
    EXPECT_EQ(scene.document.GetGraph().NodeCount(), 0u);
}

TEST(UTL_CircleDocumentTest, ByFriendshipsEachStandsWhereTheLayoutSaysInTheirCommunitysColour)
{
    DocumentScene scene;
    std::string error;
    ASSERT_TRUE(scene.document.Arrange(UTL_CircleDocument::Arrangement::Sphere, error));
    ASSERT_TRUE(scene.document.Show(TwoCliques(), error)) << error;
    // The layout runs on the worker; meanwhile the circle shows in arrival order.
    EXPECT_EQ(scene.document.GetShownArrangement(), UTL_CircleDocument::Arrangement::Arrival);
    ASSERT_TRUE(scene.document.Finish());
    EXPECT_FALSE(scene.document.IsArranging());
    EXPECT_EQ(scene.document.GetShownArrangement(), UTL_CircleDocument::Arrangement::Sphere);
    EXPECT_FALSE(scene.circle.IsGliding()) << "handed over at once, for a tool";

    const UTL_SocialGraph graph = TwoCliques();
    UTL_Communities communities;
    ASSERT_TRUE(communities.Detect(graph, error)) << error;
    std::vector<UTL_SpherePlace> expected;
    ASSERT_TRUE(UTL_SphereLayout().Arrange(graph, &communities, expected));
    const UTL_FriendCircle::Places shown = Places(scene.circle);
    ASSERT_EQ(shown.size(), graph.NodeCount());
    for (size_t node = 0; node < graph.NodeCount(); ++node)
    {
        SCOPED_TRACE(graph.Node(node).id);
        const UTL_SpherePlace& place = shown.at(graph.Node(node).id);
        EXPECT_EQ(place.longitude, expected[node].longitude);
        EXPECT_EQ(place.latitude, expected[node].latitude);
    }
    // The user keeps the spiral's first place, as in arrival order.
    EXPECT_EQ(shown.at("me").longitude, UTL_SphereLayout::Spiral(9)[0].longitude);
    EXPECT_EQ(shown.at("me").latitude, UTL_SphereLayout::Spiral(9)[0].latitude);
    // Each clique in its community's colour, the other's differing.
    for (const auto& holder : scene.circle.GetHolders())
    {
        const GFX_Friend* person = holder->AsFriendHolder()->GetFriend();
        const int community = communities.CommunityOf(graph.Find(person->GetId()));
        if (community == UTL_Communities::None)
            continue;
        ASSERT_TRUE(holder->GetBallColor()) << person->GetId();
        const GFX_Vector3 color = *holder->GetBallColor();
        const GFX_Vector3 wanted = UTL_GraphLoader::CommunityColor(community);
        EXPECT_TRUE(color.x == wanted.x && color.y == wanted.y && color.z == wanted.z)
            << person->GetId();
    }
    const auto& regions = scene.circle.GetRegions();
    ASSERT_EQ(regions.size(), 2u);
    EXPECT_NE(regions[0].name.find(" \u00B7 4"), std::string::npos) << regions[0].name;
    EXPECT_EQ(scene.document.GetLegend().rfind("2 communities", 0), 0u);
}

TEST(UTL_CircleDocumentTest, ArrangingAgainGlidesTheSameLocatorsAndAStoppedLayoutChangesNothing)
{
    DocumentScene scene;
    std::string error;
    ASSERT_TRUE(scene.document.Show(TwoCliques(), error)) << error;
    const UTL_FriendCircle::Places spiral = Places(scene.circle);
    const GFX_LocationHolder* first = scene.circle.GetHolders().front().get();
    const int cleared = scene.cleared;

    ASSERT_TRUE(scene.document.Arrange(UTL_CircleDocument::Arrangement::Sphere, error));
    EXPECT_EQ(scene.document.GetArrangement(), UTL_CircleDocument::Arrangement::Sphere);
    scene.document.CancelArranging();
    EXPECT_EQ(scene.document.GetArrangement(), UTL_CircleDocument::Arrangement::Arrival);
    EXPECT_FALSE(scene.document.Poll());
    EXPECT_EQ(Places(scene.circle).at("a1").longitude, spiral.at("a1").longitude);

    ASSERT_TRUE(scene.document.Arrange(UTL_CircleDocument::Arrangement::Sphere, error));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!scene.document.Poll() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(scene.document.GetShownArrangement(), UTL_CircleDocument::Arrangement::Sphere);
    EXPECT_EQ(scene.cleared, cleared) << "the same circle, its selection and pictures kept";
    EXPECT_EQ(scene.circle.GetHolders().front().get(), first);
    // The glide starts where everyone stood, halfway lies on the way and it ends in place.
    scene.circle.Advance(0.0f);
    EXPECT_TRUE(scene.circle.IsGliding());
    EXPECT_EQ(Places(scene.circle).at("b2").latitude, spiral.at("b2").latitude);
    scene.circle.Advance(0.5f * UTL_LayoutGlide::Seconds);
    const UTL_FriendCircle::Places halfway = Places(scene.circle);
    scene.circle.Advance(UTL_LayoutGlide::Seconds);
    EXPECT_FALSE(scene.circle.IsGliding());
    const UTL_FriendCircle::Places arranged = Places(scene.circle);
    for (const char* id : {"a0", "b3"})
    {
        SCOPED_TRACE(id);
        const double whole = Angle(spiral.at(id), arranged.at(id));
        EXPECT_GT(whole, 0.01);
        EXPECT_NEAR(Angle(spiral.at(id), halfway.at(id)), 0.5 * whole, 1e-3);
        EXPECT_NEAR(Angle(halfway.at(id), arranged.at(id)), 0.5 * whole, 1e-3);
    }
}

TEST(UTL_ViewOptionsTest, BothProgramsReadTheSharedOptionsTheSameWay)
{
    struct Row
    {
        std::vector<std::pair<std::string, std::string>> set;
        bool valid;
        const char* error; // part of it
    };
    const Row rows[] = {
        {{{"open", "a.gml"}, {"self", "7"}, {"communities", ""}}, true, ""},
        {{{"open", "a.gml"}, {"layout", "arrival"}, {"dots", "immediate"}}, true, ""},
        {{{"open", "a.gml"}, {"layout", "sphere"}}, true, ""},
        {{{"layout", "sideways"}}, false, "--layout wants"},
        {{{"dots", "fast"}}, false, "--dots wants"},
        {{{"colour", "red"}}, false, "unknown option --colour"},
        {{{"self", "7"}}, false, "go with --open"},
        {{{"communities", ""}}, false, "go with --open"},
    };
    for (const Row& row : rows)
    {
        UTL_ViewOptions options;
        std::string error;
        bool valid = true;
        for (const auto& [name, value] : row.set)
            valid = valid && options.Set(name, value, error);
        valid = valid && options.Check(error);
        EXPECT_EQ(valid, row.valid) << row.set.front().first;
        EXPECT_NE(error.find(row.error), std::string::npos) << error;
    }
    UTL_ViewOptions options;
    std::string error;
    EXPECT_EQ(options.arrangement, UTL_CircleDocument::Arrangement::Sphere) << "a file's default";
    ASSERT_TRUE(options.Set("communities", "", error));
    EXPECT_EQ(options.arrangement, UTL_CircleDocument::Arrangement::Communities);
    ASSERT_TRUE(options.Set("dots", "immediate", error));
    EXPECT_FALSE(options.drawPaths.dotRibbons);
    // Every option of the table is in the usage text.
    for (const UTL_ViewOptions::Entry& entry : UTL_ViewOptions::Table())
        EXPECT_NE(UTL_ViewOptions::Usage().find(std::string("--") + entry.name), std::string::npos);
}

TEST(UTL_CircleDocumentTest, ThisIsMeLaysTheCircleOutAroundAnotherPersonAndSavesThemAsTheUser)
{
    DocumentScene scene;
    std::string error;
    ASSERT_TRUE(scene.document.Show(TwoCliques(), error)) << error;
    EXPECT_FALSE(scene.document.MakeUser("nobody", error));
    EXPECT_NE(error.find("nobody"), std::string::npos) << error;
    EXPECT_EQ(scene.circle.GetSelf()->GetId(), "me") << "a refusal leaves the circle shown";

    ASSERT_TRUE(scene.document.MakeUser("a0", error)) << error;
    EXPECT_EQ(scene.circle.GetSelf()->GetId(), "a0");
    EXPECT_EQ(Shown(scene.circle), "me b0 a1 b1 a2 b2 a3 b3 ") << "the user before is a friend";
    // a0's three friendships are implied now; "me" keeps a friendship with each of the other 7.
    const UTL_SocialGraph& graph = scene.document.GetGraph();
    EXPECT_EQ(graph.Node(graph.User()).id, "a0");
    EXPECT_EQ(scene.document.CountFriendships(), 12u - 3u + 7u);
    EXPECT_EQ(scene.circle.GetConnections().size(), 8u + 16u);

    TempDir folder;
    const std::string path = folder.File("mine.graphml");
    ASSERT_TRUE(scene.document.Save(path, error)) << error;
    UTL_SocialGraph opened;
    ASSERT_TRUE(UTL_CircleDocument::Read(path, "", {}, opened, error)) << error;
    EXPECT_EQ(opened.Node(opened.User()).id, "a0") << "the circle reopens around the same user";
    EXPECT_EQ(opened.Friendships().size(), 16u);
}

TEST(UTL_CircleDocumentTest, AFilesCommunitiesStandUntilTheUserAsksForThemToBeFoundAgain)
{
    // The file puts everyone in one community, although the friendships make two.
    UTL_SocialGraph graph = TwoCliques();
    for (size_t node = 0; node < graph.NodeCount(); ++node)
        if (node != graph.User())
            graph.Node(node).community = 0;
    DocumentScene scene;
    std::string error;
    ASSERT_TRUE(scene.document.Arrange(UTL_CircleDocument::Arrangement::Communities, error));
    ASSERT_TRUE(scene.document.Show(graph, error)) << error;
    EXPECT_EQ(scene.document.GetCommunities().List().size(), 1u) << "read, not found";

    // Another user: the file's communities still stand, the new user out of them and the
    // user before, whom the file put in none, on their own.
    ASSERT_TRUE(scene.document.MakeUser("b3", error)) << error;
    ASSERT_EQ(scene.document.GetCommunities().List().size(), 2u);
    EXPECT_EQ(scene.document.GetCommunities().List()[0].size, 7u);
    EXPECT_EQ(scene.document.GetLegend().rfind("2 communities", 0), 0u);

    ASSERT_TRUE(scene.document.Arrange(UTL_CircleDocument::Arrangement::Arrival, error));
    ASSERT_TRUE(scene.document.FindCommunitiesAgain(error)) << error;
    EXPECT_EQ(scene.document.GetArrangement(), UTL_CircleDocument::Arrangement::Communities)
        << "found to be seen";
    const size_t found = scene.document.GetCommunities().List().size();
    EXPECT_GE(found, 2u) << scene.document.GetLegend();
    EXPECT_EQ(scene.document.GetLegend().rfind(std::to_string(found) + " communities", 0), 0u);
    // Found communities go with a change of user and are found again around the new one.
    ASSERT_TRUE(scene.document.MakeUser("me", error)) << error;
    EXPECT_EQ(scene.document.GetCommunities().List().size(), 2u) << scene.document.GetLegend();
}
