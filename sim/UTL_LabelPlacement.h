#pragma once

#include "gfx/GFX_Vector3.h"
#include "scene/GFX_DrawPaths.h"
#include "scene/GFX_LabelRoom.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class GFX_LocationHolder;
struct GFX_RegionName;
class GFX_ScreenProjection;
class UTL_FriendCircle;
class UTL_SceneDigest;
struct GFX_Rect;

// Which locators of the circle show their label when labels make room, frame by frame: the
// labels are offered to GFX_LabelRoom most important first — the selected person, the one under
// the pointer, the user, the selected person's friends, then everyone else on the near side of
// the globe by how many friends they have in the circle (with communities, each community's
// best connected first, then its second, and so on), those who had room the frame before ahead
// of those who had not — and those it places fade in while the others fade out to their ball.
// Labels then also grow more slowly than the globe as the camera comes closer, so that zooming in
// makes room for more of them.
//
// Units: window pixels for the labels on screen, seconds for the fades, scene units for the
// camera's distance. No GL: the frame hands in its projection.
class UTL_LabelPlacement
{
public:
    using Holders = std::vector<std::unique_ptr<GFX_LocationHolder>>;

    // Who goes first; any may be null.
    struct Firsts
    {
        const GFX_LocationHolder* selected = nullptr;
        const GFX_LocationHolder* hovered = nullptr;
        const GFX_LocationHolder* user = nullptr;
        // The regions' names on the map, as last drawn: after the three above, the other labels
        // make room for them as for each other.
        const std::vector<GFX_RegionName>* regionNames = nullptr;
    };

    // Once a frame, before the locators are updated: their label scale for the camera at
    // `cameraDistance` where labels make room; with every label shown, each back at its size and
    // in full.
    void Prepare(const Holders& holders, GFX_DrawPaths::Labels labels, float cameraDistance);
    // Decides which labels show, after the locators were updated for the frame: `eye` is the
    // camera's, `view` the frame's projection, `seconds` the frame's length for the fades.
    void Place(UTL_FriendCircle& circle, const Firsts& firsts, const GFX_Vector3& eye,
               const GFX_ScreenProjection& view, float seconds);

    // Whether a label is still fading in or out: the next frame differs from this one.
    bool IsFading() const { return fading; }
    // What decides the labels shown beyond the circle itself, into a globe pass's digest: who is
    // under the pointer (and so placed first), and, while a label fades, the frame's number.
    void AddTo(UTL_SceneDigest& digest, const void* hovered, uint64_t frame) const;
    // How many labels the last Place placed.
    size_t CountPlaced() const { return placedCount; }

    // The label scale for a camera at `distance` from its target: 1 at the start view, growing
    // as the square root of the nearness of the globe's front, so a label doubles on screen
    // where the gaps between the balls grow fourfold.
    static float ScaleFor(float distance);
    // The rectangle the label of `holder` covers in the window, as of its last Update; false
    // when a corner lies behind the eye.
    static bool ScreenRect(const GFX_LocationHolder& holder, const GFX_ScreenProjection& view,
                           GFX_Rect& rect);
    // The largest share, in per cent, of one label shown in the view that the other labels
    // shown cover.
    static float LargestOverlap(const Holders& holders, const GFX_ScreenProjection& view);

    static constexpr float FadeSeconds = 0.25f;
    // The camera's distance of the start view, where labels keep their size.
    static constexpr float StartDistance = 18500.0f;

private:
    // The window rectangle around four points; false when one lies behind the eye.
    static bool Bounds(const GFX_Vector3 corners[4], const GFX_ScreenProjection& view,
                       GFX_Rect& rect);
    // Orders every locator by its friends in the circle (or its rank in its community); kept
    // until the people or their friendships change.
    void Rank(UTL_FriendCircle& circle);

    std::vector<int> ranked;
    // Each locator's position in the list, as of the last ranking.
    std::unordered_map<const GFX_LocationHolder*, int> positions;
    size_t rankedHolders = 0;
    size_t rankedLines = 0;
    size_t rankedColors = 0;
    const void* rankedFirst = nullptr;

    // The locator each position held at the last Place, and whether its label was placed.
    std::vector<const GFX_LocationHolder*> tracked;
    std::vector<char> placedBefore;
    GFX_LabelRoom room;
    std::vector<GFX_LabelRoom::Candidate> candidates;
    std::vector<int> candidateHolder;
    std::vector<char> placed;
    std::vector<char> offered;
    bool fading = false;
    size_t placedCount = 0;
};
