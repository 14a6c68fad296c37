#pragma once

#include "scene/GFX_Connection.h"
#include "scene/GFX_Emphasis.h"

#include <string>

class GFX_LocationHolderFriend;
struct GFX_Theme;

// A friendship line between two people known by their user ids. It finds the locators of the
// two people itself, through the owner's holder look-up, at the first draw where both exist (so
// lines can be made before or after the locators), registers with each once, and from then on
// runs from one locator's ball to the other's. Highlighted lines (those of the picked friend)
// have larger, opaque dots; the others are drawn at their dim opacity.
//
// It points at the locators without owning them: the owner drops its lines before or together
// with the locators. GL thread only.
class GFX_ConnectionFriends : public GFX_Connection
{
public:
    explicit GFX_ConnectionFriends(GFX_SceneOwner* owner);
    ~GFX_ConnectionFriends() override;

    // Looks the locators up while either is unknown; once both are known, emits the dots from
    // the first to the second. Emits quads only, inside the caller's batch.
    void Draw() override;
    // Dim and highlighted lines alike go to `ribbons`, at their opacity and size; a line the
    // ribbons refuse is left to Draw (returns false).
    bool AddToRibbons(GFX_DotRibbons& ribbons) override;
    // Looks both locators up through the owner (a line with an end unknown stays unresolved),
    // and registers the line with each end it finds for the first time. Needs no GL.
    void FindHolders();

    void SetIds(const std::string& first, const std::string& second)
    {
        id1 = first;
        id2 = second;
    }
    void SetDimAlpha(float value) { dimAlpha = value; }
    void SetHighlighted(bool value) { highlighted = value; }
    // Lit: drawn as a highlighted line is; faded: at a small share of its opacity, at the normal
    // size, highlighted or not.
    void SetEmphasis(GFX_Emphasis value) { emphasis = value; }
    GFX_Emphasis GetEmphasis() const { return emphasis; }

    const std::string& GetId1() const { return id1; }
    const std::string& GetId2() const { return id2; }
    float GetDimAlpha() const { return dimAlpha; }
    bool IsHighlighted() const { return highlighted; }
    // Whether the line's ends are these two people's locators, either way round.
    bool Joins(const GFX_LocationHolderFriend* a, const GFX_LocationHolderFriend* b) const
    {
        return (holder1 == a && holder2 == b) || (holder1 == b && holder2 == a);
    }
    GFX_LocationHolderFriend* GetHolder1() const { return holder1; }
    GFX_LocationHolderFriend* GetHolder2() const { return holder2; }
    // Both ends are known.
    bool IsResolved() const { return holder1 && holder2; }

    // Whether the line is drawn over the others in the selection's colour: highlighted, where
    // the owner's drawing ways make the selection bright.
    bool IsDrawnBright() const;
    // The colour of a bright selection's dots on `theme`: its connection colour, lightened on a
    // dark background and darkened on a light one, so that the rows stand out from the dim
    // ones, whose colours blend towards the background.
    static GFX_Vector3 SelectedDotColor(const GFX_Theme& theme);

    // The opacity of the lines the owner makes: friendships among friends, and the user's own
    // lines to every friend (highlighted from the start).
    static constexpr float FriendsDimAlpha = 0.4f;
    static constexpr float SelfDimAlpha = 0.15f;

protected:
    const std::optional<GFX_Vector3>& ShownColor() const override;

private:
    // Looks the ends up while either is unknown; once both are, takes their positions and the
    // dots' size and opacity and returns true.
    bool Prepare();

    std::string id1;
    std::string id2;
    GFX_LocationHolderFriend* holder1 = nullptr;
    GFX_LocationHolderFriend* holder2 = nullptr;
    bool highlighted = false;
    float dimAlpha = 0.3f;
    GFX_Emphasis emphasis = GFX_Emphasis::Normal;
    // The selection's colour while drawn bright, as of the last Prepare.
    std::optional<GFX_Vector3> brightColor;
};
