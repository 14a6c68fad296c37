#pragma once

#include "gfx/GFX_Vector3.h"
#include "graph/UTL_SphereVector.h"
#include "scene/GFX_RegionName.h"
#include "sim/UTL_FriendCircle.h"

#include <cstddef>
#include <vector>

class UTL_SceneDigest;

// Where the names of a circle's regions stand on the globe and how strongly they show, as a map
// names its countries: each over its region's centre, lifted off the globe, written larger for a
// larger region, in the region's colour. A name fades as its region turns towards the globe's
// rim or away, and as the camera comes close to it (the people's own labels say who is there
// then); it stays hidden while the locators glide, and where it would cover the name of a larger
// region. Names ease in and out over a few frames rather than blink. Regions too small to name
// are left out.
//
// Units: scene units (the globe's radius is 5555.5), degrees for places, seconds. No GL: the
// drawing part (GFX_RegionNames) writes the names and records where each one ended up, and a
// click is tested against that.
class UTL_RegionLabels
{
public:
    // One frame: the circle's `regions` as seen from the camera at `eye`, with the screen's `up`
    // and `right` axes in the world, `seconds` after the last; `hidden` while the locators glide.
    void Update(float seconds, const std::vector<UTL_FriendCircle::Region>& regions,
                const GFX_Vector3& eye, const GFX_Vector3& up, const GFX_Vector3& right,
                bool hidden);

    // The names, in the order of the regions named (largest first); the drawing fills in where
    // they went.
    std::vector<GFX_RegionName>& GetNames() { return names; }
    const std::vector<GFX_RegionName>& GetNames() const { return names; }

    // The centre of the region whose name, as last drawn and clearly showing, the ray from
    // `origin` along `direction` meets first; false when it meets none.
    bool Pick(const GFX_Vector3& origin, const GFX_Vector3& direction,
              UTL_SpherePlace& centre) const;

    // Everything the names are drawn from, into a frame's digest.
    void AddTo(UTL_SceneDigest& digest) const;

    // The size the name of a region holding `share` of the circle's people is written in: scene
    // units per em.
    static float EmOf(float share);
    // How much of a name shows, from the cosine of the angle between its region's outward
    // direction and the way to the eye (1 facing the eye, 0 at the rim).
    static float Facing(float cosine);
    // How much of a name shows at `distance` scene units from the eye.
    static float Closeness(float distance);

    // The name's middle stands this far above the globe, over the balls and the labels.
    static constexpr float Lift = 450.0f;
    static constexpr float EmPerRootShare = 900.0f;
    static constexpr float MinEm = 240.0f;
    static constexpr float MaxEm = 560.0f;
    // Names fade between these cosines of the angle between their region's outward direction
    // and the way to the eye.
    static constexpr float RimGone = 0.1f;
    static constexpr float RimFull = 0.35f;
    // ... and between these distances from the eye.
    static constexpr float NearGone = 5000.0f;
    static constexpr float NearFull = 8500.0f;
    // A name eases this much of the way from hidden to shown in a second.
    static constexpr float FadePerSecond = 3.0f;
    // Regions of fewer people, or of a smaller share of the circle, carry no name.
    static constexpr size_t MinPeople = 4;
    static constexpr float MinShare = 0.01f;
    // A name clicked must show at least this much.
    static constexpr float PickAlpha = 0.3f;

private:
    std::vector<GFX_RegionName> names;
    std::vector<UTL_SpherePlace> centres; // of the regions named, as `names`
    // The regions the names were made for, to tell a new set from the same one.
    std::vector<UTL_FriendCircle::Region> named;
};
