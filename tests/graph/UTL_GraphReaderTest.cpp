#include "graph/UTL_GraphReader.h"

#include "graph/UTL_GraphBuilder.h"

#include "GraphText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

namespace
{
struct File
{
    const char* name;
    std::string text;
};

// Writes the files and returns the path of the first, the one to open.
std::string WriteAll(const TempDir& dir, const std::vector<File>& files)
{
    for (const File& file : files)
        dir.Write(file.name, file.text);
    return dir.File(files.front().name);
}

// "DIR" in an expectation stands for the folder the test's files are in.
std::vector<std::string> InDir(std::vector<std::string> rows, const std::string& dir)
{
    for (std::string& row : rows)
        for (size_t at = row.find("DIR"); at != std::string::npos; at = row.find("DIR"))
            row.replace(at, 3, dir);
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

const char* const NetworkxGraphml = R"(<?xml version='1.0' encoding='utf-8'?>
<graphml xmlns="http://graphml.graphdrawing.org/xmlns" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:schemaLocation="http://graphml.graphdrawing.org/xmlns http://graphml.graphdrawing.org/xmlns/1.0/graphml.xsd">
  <key id="d2" for="edge" attr.name="weight" attr.type="double" />
  <key id="d1" for="node" attr.name="image" attr.type="string" />
  <key id="d0" for="node" attr.name="name" attr.type="string" />
  <graph edgedefault="undirected">
    <node id="alice">
      <data key="d0">Alice Archer</data>
      <data key="d1">pics/alice.jpg</data>
    </node>
    <node id="bob">
      <data key="d0">Bob &amp; Co</data>
      <data key="d1">https://example.com/bob.png</data>
    </node>
    <node id="carol" />
    <node id="dave" />
    <edge source="alice" target="bob">
      <data key="d2">0.5</data>
    </edge>
    <edge source="bob" target="alice" />
    <edge source="carol" target="carol" />
    <edge source="bob" target="carol" />
  </graph>
</graphml>
)";

const char* const GephiGexf = R"(<?xml version="1.0" encoding="UTF-8"?>
<gexf xmlns="http://gexf.net/1.3" version="1.3" xmlns:viz="http://gexf.net/1.3/viz" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:schemaLocation="http://gexf.net/1.3 http://gexf.net/1.3/gexf.xsd">
  <meta lastmodifieddate="2024-05-01">
    <creator>Gephi 0.10.1</creator>
    <description></description>
  </meta>
  <graph defaultedgetype="directed" mode="static">
    <attributes class="node" mode="static">
      <attribute id="modularity_class" title="Modularity Class" type="integer"></attribute>
      <attribute id="0" title="image" type="string"></attribute>
    </attributes>
    <nodes>
      <node id="0" label="Ada Lovelace">
        <attvalues>
          <attvalue for="modularity_class" value="1"></attvalue>
          <attvalue for="0" value="faces/ada.png"></attvalue>
        </attvalues>
        <viz:size value="12.5"></viz:size>
        <viz:position x="-31.2" y="104.7" z="0.0"></viz:position>
        <viz:color r="228" g="26" b="28" a="1.0"></viz:color>
      </node>
      <node id="1" label="Grace Hopper">
        <attvalues>
          <attvalue for="modularity_class" value="0"></attvalue>
        </attvalues>
        <viz:color r="55" g="126" b="184"></viz:color>
      </node>
      <node id="2" label="Linus"></node>
      <node id="3" label="Barbara Liskov"></node>
    </nodes>
    <edges>
      <edge id="0" source="0" target="1" weight="1.0">
        <viz:color r="0" g="0" b="0"></viz:color>
      </edge>
      <edge id="1" source="1" target="0" weight="2.0"></edge>
      <edge id="2" source="2" target="1"></edge>
    </edges>
  </graph>
</gexf>
)";

struct Good
{
    const char* what;
    std::vector<File> files; // the first is opened
    std::vector<std::string> nodes;
    std::vector<std::string> friendships;
    std::string user;
};

const std::vector<Good>& GoodFiles()
{
    static const std::vector<Good> rows = {
        {"GraphML as NetworkX writes it: a repeated edge and a self-loop fold away",
         {{"circle.graphml", NetworkxGraphml}},
         {"alice|Alice Archer|DIR/pics/alice.jpg", "bob|Bob & Co|https://example.com/bob.png",
          "carol||", "dave||"},
         {"alice-bob", "bob-carol"},
         ""},
        {"directed GML with labels reads as undirected",
         {{"club.gml", "Creator \"igraph\"\ngraph [\n  directed 1\n"
                       "  node [ id 1 label \"One\" ]\n"
                       "  node [ id 2 label \"Two\" picture \"/srv/two.jpg\" ]\n"
                       "  node [ id 3 name \"Three\" label \"3\" ]\n  node [ id 4 ]\n"
                       "  edge [ source 1 target 2 ]\n  edge [ source 2 target 1 ]\n"
                       "  edge [ source 3 target 2 ]\n]\n"}},
         {"1|One|", "2|Two|/srv/two.jpg", "3|Three|", "4||"},
         {"1-2", "2-3"},
         ""},
        {"GEXF as Gephi writes it, viz attributes and all",
         {{"gephi.gexf", GephiGexf}},
         {"0|Ada Lovelace|DIR/faces/ada.png", "1|Grace Hopper|", "2|Linus|", "3|Barbara Liskov|"},
         {"0-1", "1-2"},
         ""},
        {"CSV with a header, quotes and a node table beside it",
         {{"team.csv", "Source,Target,Weight\nann,ben,1\n\"cat, the\",ann,2\n\n"},
          {"team.nodes.csv", "id,name,picture\nann,Ann Lee,ann.jpg\nben,Ben,\n"
                             "\"cat, the\",\"Cat \"\"Tom\"\"\",\ndan,Dan,https://x.org/d.jpg\n"}},
         {"ann|Ann Lee|DIR/ann.jpg", "ben|Ben|", "cat, the|Cat \"Tom\"|",
          "dan|Dan|https://x.org/d.jpg"},
         {"ann-ben", "ann-cat, the"},
         ""},
        {"CSV without a header, CRLF line ends; of three joined to all, the first is the user",
         {{"plain.csv", "1,2\r\n2,3\r\n3,1\r\n"}},
         {"1||", "2||", "3||"},
         {"2-3"},
         "1"},
        {"CSV separated by semicolons; the one joined to everyone is the user",
         {{"semi.csv", "from;to\nx;y\ny;z\n"}},
         {"x||", "y||", "z||"},
         {},
         "y"},
        {"an edge list with comments and weights",
         {{"list.txt", "# Undirected graph: list.txt\n% made by hand\n1 2\n2 3 0.5\n\n  # "
                       "indented\n3 1\r\n"}},
         {"1||", "2||", "3||"},
         {"2-3"},
         "1"},
        {"a SNAP ego network: the ego is the user, its own edges are implied",
         {{"7.edges", "1 2\n2 3\n3 2\n7 3\n"}, {"7.circles", "circle0\t1\t2\ncircle1\t3\t99\n"}},
         {"1||", "2||", "3||", "7||"},
         {"1-2", "2-3"},
         "7"},
    };
    return rows;
}

TEST(UTL_GraphReaderTest, ReadsEveryFormat)
{
    for (const Good& row : GoodFiles())
    {
        SCOPED_TRACE(row.what);
        TempDir dir;
        const std::string path = WriteAll(dir, row.files);
        UTL_SocialGraph graph;
        std::string error;
        ASSERT_TRUE(UTL_GraphReader().Read(path, graph, error)) << error;
        const GraphText text(graph);
        EXPECT_EQ(text.nodes, InDir(row.nodes, dir.Path()));
        EXPECT_EQ(text.friendships, row.friendships);
        EXPECT_EQ(text.user, row.user);
    }
}

TEST(UTL_GraphReaderTest, KeepsFileOrderCommunitiesAndCircles)
{
    TempDir dir;
    UTL_SocialGraph graph;
    std::string error;
    ASSERT_TRUE(UTL_GraphReader().Read(dir.Write("g.gexf", GephiGexf), graph, error)) << error;
    ASSERT_EQ(graph.NodeCount(), 4u);
    EXPECT_EQ(graph.Node(0).id, "0") << "nodes in the order the file lists them";
    EXPECT_EQ(graph.Node(0).community, 1);
    EXPECT_EQ(graph.Node(1).community, 0);
    EXPECT_EQ(graph.Node(2).community, UTL_SocialGraph::NoCommunity);

    dir.Write("7.circles", "circle0\t1\t2\ncircle1\t3\t99\n");
    ASSERT_TRUE(UTL_GraphReader().Read(dir.Write("7.edges", "1 2\n2 3\n"), graph, error)) << error;
    ASSERT_EQ(graph.Circles().size(), 2u);
    EXPECT_EQ(graph.Circles()[0].name, "circle0");
    EXPECT_EQ(graph.Circles()[0].members.size(), 2u);
    EXPECT_EQ(graph.Circles()[1].members.size(), 1u) << "99 has no friendships, so no node";
    UTL_GraphReader withoutCircles;
    withoutCircles.SetCircles(false);
    ASSERT_TRUE(withoutCircles.Read(dir.File("7.edges"), graph, error)) << error;
    EXPECT_TRUE(graph.Circles().empty());
}

TEST(UTL_GraphReaderTest, TheCallerNamesTheUser)
{
    TempDir dir;
    const std::string path = dir.Write("circle.graphml", NetworkxGraphml);
    UTL_GraphReader reader;
    reader.SetSelf("bob");
    UTL_SocialGraph graph;
    std::string error;
    ASSERT_TRUE(reader.Read(path, graph, error)) << error;
    const GraphText text(graph);
    EXPECT_EQ(text.user, "bob");
    EXPECT_TRUE(text.friendships.empty()) << "the user's friendships are implied";
    EXPECT_EQ(graph.Friends().size(), 3u);

    // The caller's choice wins over the SNAP ego.
    reader.SetSelf("2");
    ASSERT_TRUE(reader.Read(dir.Write("7.edges", "1 2\n2 3\n"), graph, error)) << error;
    EXPECT_EQ(GraphText(graph).user, "2");

    reader.SetSelf("nobody");
    EXPECT_FALSE(reader.Read(path, graph, error));
    EXPECT_NE(error.find("'nobody'"), std::string::npos) << error;
}

TEST(UTL_GraphReaderTest, IdsAndNamesReadAsTheFileSpellsThem)
{
    // The same people as GraphML and GEXF written by other tools: ids and names escaped in
    // every way XML allows. The GraphML names its user; in the GEXF, AT&T is joined to all.
    const char* const ids[] = {"AT&amp;T", "&lt;b&gt; &quot;q&quot; &apos;s&apos;",
                               "&#233;&#x41;&#38;", "&amp;#38;", "tab&#9;x"};
    std::string graphml = "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\">\n"
                          "<key id=\"n\" for=\"node\" attr.name=\"name\" attr.type=\"string\"/>\n"
                          "<key id=\"s\" for=\"graph\" attr.name=\"self\" attr.type=\"string\"/>\n"
                          "<graph edgedefault=\"undirected\"><data key=\"s\">AT&amp;T</data>\n";
    std::string gexf = "<gexf version=\"1.3\"><graph><nodes>\n";
    std::string edges;
    for (const char* id : ids)
    {
        graphml +=
            std::string("<node id=\"") + id + "\"><data key=\"n\">" + id + "</data></node>\n";
        gexf += std::string("<node id=\"") + id + "\" label=\"" + id + "\"/>\n";
        edges += std::string("<edge source=\"AT&amp;T\" target=\"") + id + "\"/>\n";
    }
    edges += "<edge source=\"&amp;#38;\" target=\"tab&#9;x\"/>\n";
    graphml += edges + "</graph></graphml>\n";
    gexf += "</nodes><edges>\n" + edges + "</edges></graph></gexf>\n";

    TempDir dir;
    for (const File& file : {File{"spelled.graphml", graphml}, File{"spelled.gexf", gexf}})
    {
        SCOPED_TRACE(file.name);
        UTL_SocialGraph graph;
        std::string error;
        ASSERT_TRUE(UTL_GraphReader().Read(dir.Write(file.name, file.text), graph, error)) << error;
        const GraphText text(graph);
        EXPECT_EQ(text.nodes,
                  (std::vector<std::string>{"&#38;|&#38;|", "<b> \"q\" 's'|<b> \"q\" 's'|",
                                            "AT&T|AT&T|", "tab\tx|tab\tx|",
                                            "\xC3\xA9"
                                            "A&|\xC3\xA9"
                                            "A&|"}));
        EXPECT_EQ(text.friendships, (std::vector<std::string>{"&#38;-tab\tx"}));
        EXPECT_EQ(text.user, "AT&T");
    }
}

TEST(UTL_GraphReaderTest, TheUserIsTheFilesOwnElseTheOneJoinedToAll)
{
    const struct
    {
        const char* what;
        File file;
        const char* self; // as the caller names them
        const char* user;
    } rows[] = {
        {"joined to all, listed second", {"star.csv", "a,b\nb,c\nb,d\nc,d\n"}, "", "b"},
        {"the caller's choice wins", {"star.csv", "a,b\nb,c\nb,d\nc,d\n"}, "c", "c"},
        {"nobody joined to all", {"path.csv", "a,b\nb,c\nc,d\n"}, "", ""},
        {"two people tell nothing", {"pair.csv", "a,b\n"}, "", ""},
        {"a saved graph that says it has no user",
         {"none.graphml", "<graphml xmlns=\"http://graphml.graphdrawing.org/xmlns\">"
                          "<key id=\"s\" for=\"graph\" attr.name=\"self\" attr.type=\"string\"/>"
                          "<graph edgedefault=\"undirected\"><data key=\"s\"></data>"
                          "<node id=\"a\"/><node id=\"b\"/><node id=\"c\"/>"
                          "<edge source=\"a\" target=\"b\"/><edge source=\"a\" target=\"c\"/>"
                          "</graph></graphml>"},
         "",
         ""},
    };
    TempDir dir;
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        UTL_GraphReader reader;
        reader.SetSelf(row.self);
        UTL_SocialGraph graph;
        std::string error;
        ASSERT_TRUE(reader.Read(dir.Write(row.file.name, row.file.text), graph, error)) << error;
        EXPECT_EQ(GraphText(graph).user, row.user);
    }
}

TEST(UTL_GraphReaderTest, RefusesMalformedFilesNamingTheLineOrElement)
{
    std::string deep = "<gexf><graph><nodes>";
    for (int i = 0; i < 100'000; ++i)
        deep += "<node>";
    const struct
    {
        const char* what;
        std::vector<File> files;
        std::string message; // compared without regard to case
    } rows[] = {
        {"GraphML cut short", {{"a.graphml", std::string(NetworkxGraphml).substr(0, 420)}}, "line"},
        {"GraphML that is no XML", {{"a.graphml", "just words\n"}}, "a.graphml: "},
        {"GML without its closing bracket",
         {{"a.gml", "graph [\n node [ id 1 ]\n node [ id 2 ]\n"}},
         "line 4"},
        {"GML with a word for a number",
         {{"a.gml", "graph [\n node [ id 1 ]\n edge [ source 1 target x ]\n]\n"}},
         "line"},
        {"GEXF with a broken tag",
         {{"a.gexf", "<gexf>\n<graph>\n<nodes>\n<node id=\"1\"\n</nodes></graph></gexf>"}},
         "line 5, column 1"},
        {"GEXF with an edge to nowhere",
         {{"a.gexf", "<gexf><graph><nodes><node id=\"1\"/></nodes>\n<edges>\n"
                     "<edge source=\"1\" target=\"2\"/></edges></graph></gexf>"}},
         "line 3, column 1: <edge> to an unknown node '2'"},
        {"GEXF without a graph", {{"a.gexf", "<gexf version=\"1.3\"/>"}}, "no <graph>"},
        {"GEXF nested beyond reason", {{"a.gexf", deep}}, "nested deeper"},
        {"CSV with an open quote", {{"a.csv", "a,b\nb,c\n\"c,d\n"}}, "a.csv:3: unterminated"},
        {"CSV with one column", {{"a.csv", "a,b\nlonely\n"}}, "a.csv:2: expected source,target"},
        {"CSV with a broken node table",
         {{"a.csv", "a,b\n"}, {"a.nodes.csv", "id,name\n,nameless\n"}},
         "a.nodes.csv:2: expected a node id"},
        {"an edge list with a word for a weight", {{"a.txt", "1 2\n3 4 heavy\n"}}, "line 2"},
        {"an edge list with an endless line",
         {{"a.txt", "1 2\n3 " + std::string(1 << 20, '4') + "\n"}},
         "line 2: longer than"},
        {"SNAP with a word for an id", {{"3.edges", "1 2\n2 two\n"}}, "3.edges:2: expected two"},
        {"SNAP with broken circles",
         {{"3.edges", "1 2\n"}, {"3.circles", "c0 1 2\nc1 x\n"}},
         "3.circles:2:"},
        {"SNAP named after nobody", {{"friends.edges", "1 2\n"}}, "ego's id"},
        {"an unknown extension", {{"a.dot", "graph { a -- b }"}}, "unknown kind"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        TempDir dir;
        const std::string path = WriteAll(dir, row.files);
        // What the caller held before stays: nothing half-read comes back.
        UTL_SocialGraph graph;
        graph.AddNode("kept");
        std::string error;
        EXPECT_FALSE(UTL_GraphReader().Read(path, graph, error));
        EXPECT_NE(Lower(error).find(Lower(row.message)), std::string::npos) << error;
        EXPECT_EQ(error.find(dir.Path()), 0u) << "the message names the file: " << error;
        ASSERT_EQ(graph.NodeCount(), 1u);
        EXPECT_EQ(graph.Node(0).id, "kept");
    }
    UTL_SocialGraph graph;
    std::string error;
    EXPECT_FALSE(UTL_GraphReader().Read("/nonexistent/a.graphml", graph, error));
    EXPECT_NE(error.find("cannot open"), std::string::npos) << error;

    // A FIFO would block a plain open until someone writes to it.
    TempDir dir;
    const std::string fifo = dir.File("pipe.graphml");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(UTL_GraphReader().Read(fifo, graph, error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
}

TEST(UTL_GraphReaderTest, BoundsNodesAndEdges)
{
    TempDir dir;
    std::string many;
    for (size_t i = 0; i <= UTL_GraphBuilder::MaxNodes; ++i)
        many += std::to_string(i) + "," + std::to_string(i + 1) + "\n";
    UTL_SocialGraph graph;
    std::string error;
    EXPECT_FALSE(UTL_GraphReader().Read(dir.Write("many.csv", many), graph, error));
    EXPECT_NE(error.find("more than 100,000 nodes"), std::string::npos) << error;
    EXPECT_NE(error.find(":100000:"), std::string::npos) << "names the line: " << error;

    // Edges count as the file lists them, so that repeats cannot make a file endless.
    std::string repeated;
    for (size_t i = 0; i <= UTL_GraphBuilder::MaxEdges; ++i)
        repeated += "1 2\n";
    EXPECT_FALSE(UTL_GraphReader().Read(dir.Write("5.edges", repeated), graph, error));
    EXPECT_NE(error.find("more than 2,000,000 edges"), std::string::npos) << error;

    // Overlong picture addresses are dropped.
    dir.Write("long.csv", "x,y\n");
    dir.Write("long.nodes.csv",
              "x,X,\ny,Y," + std::string(UTL_GraphBuilder::MaxPictureBytes + 1, 'p') + "\n");
    ASSERT_TRUE(UTL_GraphReader().Read(dir.File("long.csv"), graph, error)) << error;
    EXPECT_EQ(graph.Node(graph.Find("y")).picture, "");
}

TEST(UTL_GraphReaderTest, NamesPastTheBoundAreCutWholeAndCounted)
{
    // 300 two-byte letters become the first 256 and an ellipsis in every format; a name of
    // exactly 256 stays whole. Each reader hands its names to the same bound.
    std::string accents;
    for (int i = 0; i < 300; ++i)
        accents += "\xC3\xA9";
    const std::string full(256, 'f');
    const std::vector<std::vector<File>> files = {
        {{"n.gml", "graph [ node [ id 1 label \"" + accents + "\" ] node [ id 2 label \"" + full +
                       "\" ] edge [ source 1 target 2 ] ]\n"}},
        {{"n.graphml", "<graphml><key id=\"n\" for=\"node\" attr.name=\"name\" "
                       "attr.type=\"string\"/><graph edgedefault=\"undirected\"><node id=\"1\">"
                       "<data key=\"n\">" +
                           accents + "</data></node><node id=\"2\"><data key=\"n\">" + full +
                           "</data></node><edge source=\"1\" target=\"2\"/></graph></graphml>"}},
        {{"n.gexf", "<gexf><graph><nodes><node id=\"1\" label=\"" + accents +
                        "\"/><node id=\"2\" label=\"" + full +
                        "\"/></nodes><edges><edge source=\"1\" target=\"2\"/></edges></graph>"
                        "</gexf>"}},
        {{"n.csv", "1,2\n"}, {"n.nodes.csv", "1, " + accents + " \n2," + full + "\n"}},
    };
    for (const std::vector<File>& set : files)
    {
        SCOPED_TRACE(set.front().name);
        TempDir dir;
        const std::string path = WriteAll(dir, set);
        UTL_SocialGraph graph;
        std::string error;
        ASSERT_TRUE(UTL_GraphReader().Read(path, graph, error)) << error;
        EXPECT_EQ(graph.Node(graph.Find("1")).name, accents.substr(0, 512) + "\u2026");
        EXPECT_EQ(graph.Node(graph.Find("2")).name, full);
        EXPECT_EQ(graph.Warnings(),
                  std::vector<std::string>{path + ": names longer than 256 characters cut: 1"});
    }
}

TEST(UTL_GraphReaderTest, ReportsProgressUpToTheWholeFile)
{
    TempDir dir;
    std::string big = "<gexf><graph><nodes>\n";
    for (int i = 0; i < 60'000; ++i)
        big +=
            "<node id=\"" + std::to_string(i) + "\" label=\"Person " + std::to_string(i) + "\"/>\n";
    big += "</nodes></graph></gexf>\n";
    for (const char* name : {"big.gexf", "big.txt"})
    {
        SCOPED_TRACE(name);
        // The edge list's comments are blanked out as it is read, never skipped unread.
        std::string text = big;
        if (name == std::string("big.txt"))
        {
            text = "1 2\n";
            while (text.size() < big.size())
                text += "# a comment line\n";
        }
        const std::string path = dir.Write(name, text);
        std::vector<std::pair<uint64_t, uint64_t>> calls;
        UTL_GraphReader reader;
        reader.SetProgress([&](uint64_t done, uint64_t total) { calls.emplace_back(done, total); });
        UTL_SocialGraph graph;
        std::string error;
        ASSERT_TRUE(reader.Read(path, graph, error)) << error;
        ASSERT_GE(calls.size(), 2u) << "a file of megabytes reports more than once";
        for (size_t i = 1; i < calls.size(); ++i)
            EXPECT_GT(calls[i].first, calls[i - 1].first);
        EXPECT_EQ(calls.back().first, calls.back().second);
    }
}
} // namespace
