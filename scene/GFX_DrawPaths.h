#pragma once

#include <optional>
#include <string>

// Which way the 3-D pass draws its many small things. The plain way draws every friendship dot,
// every locator ball and every label on its own, one primitive or bind after the other; the fast
// ways draw the same picture in far fewer primitives. Each fast way is chosen on its own so that
// the two can be compared piece by piece; the command line picks all plain ways at once.
struct GFX_DrawPaths
{
    // Dim friendship rows as one camera-facing ribbon each, the dot texture repeating along it;
    // false: one quad for every dot.
    bool dotRibbons = true;
    // Balls that are small on screen as camera-facing sprites of a pre-lit ball; false: the lit
    // mesh for every ball.
    bool ballSprites = true;
    // Pictures kept in shared texture pages, and the labels drawn grouped by texture; false: one
    // texture and one bind for every label.
    bool labelBatches = true;
    // A frame in which nothing changed copies the last 3-D pass instead of drawing it again.
    bool reuseStillScene = true;
    // Parts of ribbon rows wholly behind the opaque labels are left out rather than drawn only
    // for the depth test to discard them.
    bool hiddenRows = true;
    // While the camera moves, the friendship rows are drawn at half the window's resolution and
    // laid over it (a quarter of their fragments, a little softer); the frame after the camera
    // stops draws them whole again.
    bool coarseRowsInMotion = true;

    // How the names on labels and the name plate are written: in the bitmap font where it
    // writes a name whole (plain ASCII) and in shaped outline type otherwise, always in shaped
    // type, or always in the bitmap font (which loses letters outside ASCII).
    enum class Names
    {
        Automatic,
        Font,
        Bitmap,
    };
    Names names = Names::Automatic;

    // Which locators show their label: every one, or only those a label has room for, placed
    // by importance like the names on a map (the others show their ball).
    enum class Labels
    {
        All,
        Room,
    };
    Labels labels = Labels::All;

    // The selected person's friendships drawn over all the others in the theme's connection
    // colour, made to stand out from the background; false: in the colours of their places,
    // among the others, as the program first drew them.
    bool brightSelection = true;

    // Every plain way, as the program first drew its scene.
    static GFX_DrawPaths Plain() { return {false, false, false, false, false, false}; }
    // The same, as one object that stays at its address.
    static const GFX_DrawPaths& PlainPaths()
    {
        static const GFX_DrawPaths plain = Plain();
        return plain;
    }

    // The ways a command line names: "immediate" every plain way, "ribbons" the fast ways (the
    // default); nullopt for any other name.
    static std::optional<GFX_DrawPaths> Named(const std::string& name)
    {
        if (name == "immediate")
            return Plain();
        if (name == "ribbons")
            return GFX_DrawPaths{};
        return std::nullopt;
    }

    // The names a command line gives the ways of writing names: "auto", "font", "bitmap";
    // nullopt for any other.
    static std::optional<Names> NamedNames(const std::string& name)
    {
        if (name == "auto")
            return Names::Automatic;
        if (name == "font")
            return Names::Font;
        if (name == "bitmap")
            return Names::Bitmap;
        return std::nullopt;
    }
    // The names a command line gives the ways of showing labels: "all", "room"; nullopt for
    // any other.
    static std::optional<Labels> NamedLabels(const std::string& name)
    {
        if (name == "all")
            return Labels::All;
        if (name == "room")
            return Labels::Room;
        return std::nullopt;
    }
    // The names a command line gives the ways of showing the selection: "bright", "plain";
    // nullopt for any other.
    static std::optional<bool> NamedSelection(const std::string& name)
    {
        if (name == "bright")
            return true;
        if (name == "plain")
            return false;
        return std::nullopt;
    }
    // Whether a name goes in shaped type rather than the bitmap font, which writes only
    // `bitmapWritesWhole` names whole.
    bool ShapesName(bool bitmapWritesWhole) const
    {
        return names == Names::Font || (names == Names::Automatic && !bitmapWritesWhole);
    }
};
