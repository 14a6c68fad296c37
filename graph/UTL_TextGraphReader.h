#pragma once

#include <cstdint>
#include <string>

class UTL_GraphBuilder;
class UTL_GraphInput;

// The line-based formats Halvane reads itself.
//
// CSV: one friendship a line, "source,target", further columns ignored; the first line is a
// header when its first two fields are "source" and "target" (or "from" and "to"), in any case.
// Fields may be quoted ("a, b", with "" for a quote). The separator is ',' unless the first line
// has none and has ';' or a tab. A node table "FILE.nodes.csv" beside "FILE.csv" ("id,name,picture"
// with an optional header "id,...") gives names and pictures, and may list people without
// friendships.
//
// SNAP: an ego network "N.edges", one "a b" friendship a line (node ids of up to nine digits;
// blank lines and '#' lines skipped; CRLF accepted); ego N is the user, a friend of every node.
// "N.circles" beside it, when asked for and present: one circle a line, its name and then the
// ids of its members, tab- or space-separated; members without friendships are left out, as
// the ego network itself leaves them out.
//
// Errors name the file and the line: "PATH:LINE: what".
class UTL_TextGraphReader
{
public:
    // Lines longer than this are not a graph file's.
    static constexpr size_t MaxLine = 256;
    static constexpr size_t MaxCsvLine = 16 * 1024;

    static bool ReadCsv(const std::string& path, UTL_GraphInput& input, UTL_GraphBuilder& builder,
                        std::string& error);
    static bool ReadSnap(const std::string& path, UTL_GraphInput& input, bool circles,
                         UTL_GraphBuilder& builder, std::string& error);

    // The first line of the plain edge list `path` that is not "a b" or "a b weight" (nor blank,
    // nor a comment), or 0: where the parser that found the list malformed stumbled.
    static int64_t FirstBadEdgeLine(const std::string& path);

    // The node table that goes with the CSV edge list `path`.
    static std::string NodeTableOf(const std::string& path);
};
