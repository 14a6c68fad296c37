#include "sim/UTL_ViewOptions.h"

#include <sstream>

const std::vector<UTL_ViewOptions::Entry>& UTL_ViewOptions::Table()
{
    static const std::vector<Entry> entries = {
        {"open", "FILE",
         "Show the circle of this graph file instead of logging in: GraphML, GML, GEXF, CSV, an "
         "edge list or a SNAP ego network (N.edges)."},
        {"self", "ID", "With --open: the node that is the user (default: as the file says)."},
        {"layout", "WAY",
         "How the friends stand on the globe: 'sphere' by friendships, friends near their "
         "friends and each community a named patch in its colour (the default for a graph "
         "file); 'arrival' in the order they arrived; 'communities' community by community, "
         "each in its colour."},
        {"communities", "", "The same as --layout communities."},
        {"dots", "WAY",
         "How the globe draws its friendship dots, balls and labels: 'ribbons' (the default) in "
         "far fewer primitives, the dim friendship rows as long textured quads; 'immediate' "
         "every dot, ball and label on its own, the same picture more slowly."},
        {"names", "WAY",
         "How names are written: 'font' always in shaped type, in every script; 'bitmap' always "
         "in the bitmap font, which has ASCII only; 'auto' (the default) the bitmap font where it "
         "writes a name whole, shaped type elsewhere."},
        {"labels", "WAY",
         "Which locators show their label: 'all' of them, as the program first drew them; "
         "'room' only those there is room for, the most connected first, like the names on a "
         "map (the others show their ball and their name when the pointer is over them). A "
         "circle opened from a file starts with 'room', one from the network with 'all'."},
        {"selection", "WAY",
         "How the selected person's friendships show: 'bright' (the default) over all the "
         "others in the theme's connection colour, lighter on a dark background and darker on "
         "a light one; 'plain' in the colours of their places among the others, as the program "
         "first drew them."},
        {"fast-friendships", "",
         "Ask for the friendships among the friends batch after batch, as fast as the server "
         "answers (within 15 ms of each frame), instead of one batch every 500 frames; the same "
         "as View > Load friendships at once."},
    };
    return entries;
}

bool UTL_ViewOptions::Set(const std::string& name, const std::string& value, std::string& error)
{
    if (name == "open")
        open = value;
    else if (name == "self")
        self = value;
    else if (name == "communities")
    {
        arrangement = UTL_CircleDocument::Arrangement::Communities;
        arrangementSet = true;
    }
    else if (name == "layout")
    {
        if (!UTL_CircleDocument::Named(value, arrangement))
        {
            error = "--layout wants 'sphere', 'arrival' or 'communities', not '" + value + "'";
            return false;
        }
        arrangementSet = true;
    }
    else if (name == "dots")
    {
        const std::optional<GFX_DrawPaths> paths = GFX_DrawPaths::Named(value);
        if (!paths)
        {
            error = "--dots wants 'immediate' or 'ribbons', not '" + value + "'";
            return false;
        }
        const GFX_DrawPaths::Names names = drawPaths.names;
        const GFX_DrawPaths::Labels labels = drawPaths.labels;
        const bool brightSelection = drawPaths.brightSelection;
        drawPaths = *paths;
        drawPaths.names = names;
        drawPaths.labels = labels;
        drawPaths.brightSelection = brightSelection;
    }
    else if (name == "labels")
    {
        const std::optional<GFX_DrawPaths::Labels> way = GFX_DrawPaths::NamedLabels(value);
        if (!way)
        {
            error = "--labels wants 'all' or 'room', not '" + value + "'";
            return false;
        }
        drawPaths.labels = *way;
        labelsSet = true;
    }
    else if (name == "names")
    {
        const std::optional<GFX_DrawPaths::Names> way = GFX_DrawPaths::NamedNames(value);
        if (!way)
        {
            error = "--names wants 'auto', 'font' or 'bitmap', not '" + value + "'";
            return false;
        }
        drawPaths.names = *way;
    }
    else if (name == "selection")
    {
        const std::optional<bool> bright = GFX_DrawPaths::NamedSelection(value);
        if (!bright)
        {
            error = "--selection wants 'bright' or 'plain', not '" + value + "'";
            return false;
        }
        drawPaths.brightSelection = *bright;
    }
    else if (name == "fast-friendships")
        fastFriendships = true;
    else
    {
        error = "unknown option --" + name;
        return false;
    }
    return true;
}

bool UTL_ViewOptions::Check(std::string& error) const
{
    if (open.empty() && (!self.empty() || arrangementSet))
    {
        error = "--self, --layout and --communities go with --open";
        return false;
    }
    return true;
}

std::string UTL_ViewOptions::Usage(size_t width)
{
    constexpr size_t Indent = 23;
    std::string usage;
    for (const Entry& entry : Table())
    {
        std::string head = std::string("  --") + entry.name;
        if (*entry.valueName)
            head += std::string(" ") + entry.valueName;
        std::string line = head.size() + 1 < Indent ? head + std::string(Indent - head.size(), ' ')
                                                    : head + "\n" + std::string(Indent, ' ');
        size_t column = line.size() - line.rfind('\n') - 1;
        std::istringstream words(entry.help);
        std::string word;
        bool first = true;
        while (words >> word)
        {
            if (!first && column + 1 + word.size() > width)
            {
                line += "\n" + std::string(Indent, ' ');
                column = Indent;
            }
            else if (!first)
            {
                line += ' ';
                ++column;
            }
            line += word;
            column += word.size();
            first = false;
        }
        usage += line + "\n";
    }
    return usage;
}
