#include "sim/UTL_CircleDocument.h"

#include "graph/UTL_GraphReader.h"
#include "scene/GFX_Friend.h"
#include "sim/UTL_ViewOptions.h"
#include "support/TempDir.h"

#include "CircleScene.h"

#include <gtest/gtest.h>

#include <string>
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
    ASSERT_TRUE(options.Set("communities", "", error));
    EXPECT_EQ(options.arrangement, UTL_CircleDocument::Arrangement::Communities);
    ASSERT_TRUE(options.Set("dots", "immediate", error));
    EXPECT_FALSE(options.drawPaths.dotRibbons);
    // Every option of the table is in the usage text.
    for (const UTL_ViewOptions::Spec& spec : UTL_ViewOptions::Specs())
        EXPECT_NE(UTL_ViewOptions::Usage().find(std::string("--") + spec.name), std::string::npos);
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
