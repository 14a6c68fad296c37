#pragma once

#include "scene/GFX_DrawPaths.h"
#include "sim/UTL_CircleDocument.h"

#include <string>
#include <vector>

// The command-line options the viewer and halvane-snapshot share: which graph file to show
// instead of logging in, who in it is the user, how the circle is arranged, how the globe
// draws, and how fast the friendships are asked for. One table names them, with their help, and
// one parser reads them, so that both programs take the same options the same way.
struct UTL_ViewOptions
{
    struct Entry
    {
        const char* name;      // without the dashes
        const char* valueName; // empty for a switch
        const char* help;
    };
    static const std::vector<Entry>& Table();

    // Sets the option `name` to `value` (empty for a switch); false with `error` set for a value
    // it does not take or a name that is not one of the table's.
    bool Set(const std::string& name, const std::string& value, std::string& error);
    // What the options say together: false with `error` set where they disagree.
    bool Check(std::string& error) const;
    // The table as the lines of a usage text, each option's help wrapped at `width` columns.
    static std::string Usage(size_t width = 96);

    std::string open;
    std::string self;
    // How a graph file is arranged: by friendships unless an option says otherwise.
    UTL_CircleDocument::Arrangement arrangement = UTL_CircleDocument::Arrangement::Sphere;
    bool arrangementSet = false;
    GFX_DrawPaths drawPaths;
    // Whether --labels chose the labels; otherwise a circle from a file makes room for them.
    bool labelsSet = false;
    bool fastFriendships = false;
};
