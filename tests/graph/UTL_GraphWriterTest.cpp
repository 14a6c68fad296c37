#include "graph/UTL_GraphWriter.h"

#include "GraphText.h"
#include "graph/UTL_GraphBuilder.h"
#include "graph/UTL_GraphReader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace
{
UTL_SocialGraph Sample()
{
    UTL_SocialGraph graph;
    const char* const rows[][3] = {
        {"me", "Mona Ego", "https://example.com/me.jpg?size=big&v=2"},
        {"n1", "Zoë <Ann> & \"Bea\" 'C'", "/pictures/ann.png"},
        {"n 2", "名前", ""},
        {"n3", "", "/pictures/x y.jpg"},
        {"loner", "Lone Wolf", ""},
    };
    for (const auto& row : rows)
    {
        const size_t node = graph.AddNode(row[0]);
        graph.Node(node).name = row[1];
        graph.Node(node).picture = row[2];
    }
    graph.AddFriendship(1, 2);
    graph.AddFriendship(2, 3);
    graph.AddFriendship(0, 3);
    graph.SetUser(0);
    return graph;
}

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(UTL_GraphWriterTest, SavedGraphOpensAsTheSameGraph)
{
    TempDir dir;
    for (const bool communities : {false, true})
    {
        SCOPED_TRACE(communities ? "with communities" : "without communities");
        UTL_SocialGraph graph = Sample();
        if (communities)
            for (size_t i = 1; i < graph.NodeCount(); ++i)
                graph.Node(i).community = int(i % 2);
        const std::string path = dir.File("circle.graphml");
        std::string error;
        ASSERT_TRUE(UTL_GraphWriter::WriteGraphML(graph, path, error)) << error;

        UTL_SocialGraph back;
        ASSERT_TRUE(UTL_GraphReader().Read(path, back, error)) << error;
        const GraphText expected(graph), got(back);
        EXPECT_EQ(got.nodes, expected.nodes);
        EXPECT_EQ(got.friendships, expected.friendships);
        EXPECT_EQ(got.user, "me") << "the user comes back as the user";
        ASSERT_EQ(back.NodeCount(), graph.NodeCount());
        for (size_t i = 0; i < graph.NodeCount(); ++i)
        {
            EXPECT_EQ(back.Node(i).id, graph.Node(i).id) << "file order is kept";
            EXPECT_EQ(back.Node(i).community, graph.Node(i).community) << i;
        }
    }
}

TEST(UTL_GraphWriterTest, IdsAndNamesFullOfWhatXmlEscapesReadBackAsTheyWere)
{
    // Every row a person: id, name, picture. Their ids are linked in a ring, and the first is
    // the user, so every id is also an edge's end and one of them the graph's "self".
    const char* const people[][3] = {
        {"AT&T", "AT&T Inc.", "https://example.com/a.png?x=1&y=2"},
        {"<x> \"q\" 's'", "<b>bold</b> \"quoted\" 'single'", "/pictures/<x>.png"},
        {"&amp;", "&amp; &lt; spelled out", ""},
        {"&#38;", "&#38; &#x41; references spelled out", "/p/&#x41;.png"},
        {"ends in &#x", "ends in &#x", ""},
        {"tab\tline\nreturn\rend", "inner\ttab and\nline", ""},
        {"  spaced id  ", "Zoë Ægir 名前 \xF0\x9F\x98\x80", ""},
        {"]]> -- ?>", "<!-- not a comment --> <![CDATA[x]]>", ""},
    };
    TempDir dir;
    for (const bool withUser : {true, false})
    {
        SCOPED_TRACE(withUser ? "with a user" : "without a user");
        UTL_SocialGraph graph;
        for (const auto& person : people)
        {
            const size_t node = graph.AddNode(person[0]);
            graph.Node(node).name = person[1];
            graph.Node(node).picture = person[2];
            graph.Node(node).community = int(node % 3);
        }
        const size_t count = graph.NodeCount();
        for (size_t i = 0; i < count; ++i)
            graph.AddFriendship(i, (i + 1) % count);
        // Without a user, someone joined to everyone stays a friend all the same.
        for (size_t i = 2; i < count; ++i)
            graph.AddFriendship(0, i);
        if (withUser)
            graph.SetUser(0);
        graph.Node(0).community = UTL_SocialGraph::NoCommunity;

        const std::string path = dir.File("awkward.graphml");
        std::string error;
        ASSERT_TRUE(UTL_GraphWriter::WriteGraphML(graph, path, error)) << error;
        UTL_SocialGraph back;
        ASSERT_TRUE(UTL_GraphReader().Read(path, back, error)) << error;
        const GraphText expected(graph), got(back);
        EXPECT_EQ(got.nodes, expected.nodes);
        EXPECT_EQ(got.friendships, expected.friendships);
        EXPECT_EQ(got.user, expected.user);
        ASSERT_EQ(back.NodeCount(), count);
        for (size_t i = 0; i < count; ++i)
            EXPECT_EQ(back.Node(i).community, graph.Node(i).community) << graph.Node(i).id;
    }
}

TEST(UTL_GraphWriterTest, AGraphThatWouldNotOpenAgainIsNotWritten)
{
    const struct
    {
        std::string id;
        const char* said;
    } rows[] = {
        {"bell\x07", "control character"},
        {"broken \xC3(", "broken UTF-8"},
        {"", "has no id"},
        {std::string(UTL_GraphBuilder::MaxIdBytes + 1, 'i'), "longer than 1024 bytes"},
    };
    TempDir dir;
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.said);
        UTL_SocialGraph graph;
        graph.AddNode("fine");
        graph.SetUser(graph.AddNode(row.id));
        const std::string path = dir.File("refused.graphml");
        std::string error;
        EXPECT_FALSE(UTL_GraphWriter::WriteGraphML(graph, path, error));
        EXPECT_NE(error.find(row.said), std::string::npos) << error;
        EXPECT_NE(error.find("node 2"), std::string::npos) << "names the node: " << error;
        EXPECT_FALSE(std::ifstream(path).good()) << "nothing is left behind";
    }
}

TEST(UTL_GraphWriterTest, OtherToolsSeeTheUsersFriendships)
{
    // Written out, the user's implied friendships make the file an ego network for any tool.
    TempDir dir;
    const std::string path = dir.File("circle.graphml");
    std::string error;
    ASSERT_TRUE(UTL_GraphWriter::WriteGraphML(Sample(), path, error)) << error;
    UTL_GraphReader reader;
    reader.SetSelf("n1"); // read with another user, the old one is a plain node again
    UTL_SocialGraph back;
    ASSERT_TRUE(reader.Read(path, back, error)) << error;
    const size_t me = back.Find("me");
    for (const char* other : {"n 2", "n3", "loner"})
        EXPECT_TRUE(back.HasFriendship(me, back.Find(other))) << other;
}

TEST(UTL_GraphWriterTest, TextXmlCannotHoldIsReplaced)
{
    UTL_SocialGraph graph;
    graph.AddNode("a");
    graph.Node(0).name = "bell\x07 and broken \xC3(";
    TempDir dir;
    const std::string path = dir.File("odd.graphml");
    std::string error;
    ASSERT_TRUE(UTL_GraphWriter::WriteGraphML(graph, path, error)) << error;
    UTL_SocialGraph back;
    ASSERT_TRUE(UTL_GraphReader().Read(path, back, error)) << error;
    EXPECT_EQ(back.Node(0).name, "bell  and broken \xEF\xBF\xBD(");
    EXPECT_EQ(UTL_GraphWriter::Clean("ok \xE2\x82\xAC \xF0\x9F\x98\x80"),
              "ok \xE2\x82\xAC \xF0\x9F\x98\x80")
        << "valid UTF-8 stays";
    EXPECT_EQ(UTL_GraphWriter::Clean("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD") << "overlong '/'";
    EXPECT_EQ(UTL_GraphWriter::Clean("a\xEF\xBF\xBE"), "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD")
        << "XML 1.0 forbids the noncharacter U+FFFE";
}

TEST(UTL_GraphWriterTest, AFailedSaveKeepsTheFileThatWasThere)
{
    TempDir dir;
    const std::string path = dir.Write("kept.graphml", "old contents");
    // A folder in the way of the temporary file makes the save fail before the rename.
    ASSERT_EQ(std::system(("mkdir '" + path + ".part'").c_str()), 0);
    std::string error;
    EXPECT_FALSE(UTL_GraphWriter::WriteGraphML(Sample(), path, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_EQ(Slurp(path), "old contents");

    EXPECT_FALSE(UTL_GraphWriter::WriteGraphML(Sample(), dir.File("no/such/dir.graphml"), error));
    EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
}
} // namespace
