#include "sim/UTL_RegionLabels.h"

#include "scene/GFX_Globe.h"
#include "sim/UTL_StillScene.h"

#include <algorithm>
#include <cmath>

namespace
{
// How wide a name is likely to be written, in ems, before it is: for keeping names apart.
constexpr float EmsPerCharacter = 0.6f;

float Smoothstep(float edge0, float edge1, float x)
{
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

size_t CodePoints(const std::string& text)
{
    return size_t(std::count_if(text.begin(), text.end(),
                                [](char c)
                                { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool SameRegions(const std::vector<UTL_FriendCircle::Region>& a,
                 const std::vector<UTL_FriendCircle::Region>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const UTL_FriendCircle::Region& x, const UTL_FriendCircle::Region& y)
                      {
                          return x.name == y.name && x.size == y.size &&
                                 x.centre.longitude == y.centre.longitude &&
                                 x.centre.latitude == y.centre.latitude;
                      });
}

// A box on the screen, in units of the distance from the eye.
struct Box
{
    float left, right, bottom, top;
    bool Overlaps(const Box& o) const
    {
        return left < o.right && o.left < right && bottom < o.top && o.bottom < top;
    }
};
} // namespace

float UTL_RegionLabels::EmOf(float share)
{
    // A patch as large as its share of the globe is as wide as the root of that share.
    return std::clamp(EmPerRootShare * std::sqrt(std::max(share, 0.0f)), MinEm, MaxEm);
}

float UTL_RegionLabels::Facing(float cosine)
{
    return Smoothstep(RimGone, RimFull, cosine);
}

float UTL_RegionLabels::Closeness(float distance)
{
    return Smoothstep(NearGone, NearFull, distance);
}

void UTL_RegionLabels::Update(float seconds, const std::vector<UTL_FriendCircle::Region>& regions,
                              const GFX_Vector3& eye, const GFX_Vector3& up,
                              const GFX_Vector3& right, bool hidden)
{
    if (!SameRegions(regions, named))
    {
        named = regions;
        names.clear();
        centres.clear();
        size_t people = 0;
        for (const auto& region : regions)
            people += region.size;
        for (const auto& region : regions)
        {
            if (region.size < MinPeople || float(region.size) < MinShare * float(people))
                continue;
            GFX_RegionName name;
            name.text = region.name;
            name.anchor = GFX_Globe::Position(region.centre.longitude, region.centre.latitude)
                              .Times((GFX_Globe::Radius + Lift) / GFX_Globe::Radius);
            name.em = EmOf(float(region.size) / float(people));
            name.color = region.color;
            names.push_back(std::move(name));
            centres.push_back(region.centre);
        }
    }

    const float step = FadePerSecond * std::max(seconds, 0.0f);
    // Boxes are compared as the eye sees them: across the screen's axes over the depth.
    const GFX_Vector3 forward = up.Cross(right);
    std::vector<Box> taken;
    for (GFX_RegionName& name : names)
    {
        float target = 0.0f;
        if (!hidden)
        {
            const GFX_Vector3 toEye = eye.Minus(name.anchor);
            const float distance = toEye.Length();
            const GFX_Vector3 outward = name.anchor.Times(1.0f / name.anchor.Length());
            const float cosine = distance > 0.0f ? outward.Dot(toEye) / distance : 0.0f;
            target = Facing(cosine) * Closeness(distance);
        }
        if (target > 0.0f)
        {
            // Largest first: a name that would cover one already placed gives way.
            const GFX_Vector3 seen = name.anchor.Minus(eye);
            const float depth = std::max(seen.Dot(forward), 1.0f);
            const float x = seen.Dot(right) / depth;
            const float y = seen.Dot(up) / depth;
            const float em = name.em / depth;
            const float halfWidth = 0.5f * EmsPerCharacter * float(CodePoints(name.text)) * em;
            const float halfHeight = 0.8f * em;
            const Box box{x - halfWidth, x + halfWidth, y - halfHeight, y + halfHeight};
            if (std::any_of(taken.begin(), taken.end(),
                            [&box](const Box& other) { return box.Overlaps(other); }))
                target = 0.0f;
            else
                taken.push_back(box);
        }
        name.alpha = name.alpha < target ? std::min(target, name.alpha + step)
                                         : std::max(target, name.alpha - step);
    }
}

bool UTL_RegionLabels::Pick(const GFX_Vector3& origin, const GFX_Vector3& direction,
                            UTL_SpherePlace& centre) const
{
    float nearest = 0.0f;
    bool found = false;
    for (size_t i = 0; i < names.size(); ++i)
    {
        const GFX_RegionName& name = names[i];
        if (!name.drawn || name.alpha < PickAlpha)
            continue;
        const GFX_Vector3 across = name.corners[1].Minus(name.corners[0]);
        const GFX_Vector3 rise = name.corners[3].Minus(name.corners[0]);
        const GFX_Vector3 normal = across.Cross(rise);
        const float facing = normal.Dot(direction);
        if (std::fabs(facing) < 1e-6f)
            continue;
        const float distance = normal.Dot(name.corners[0].Minus(origin)) / facing;
        if (!(distance > 0.0f) || (found && distance >= nearest))
            continue;
        const GFX_Vector3 offset = origin.Plus(direction.Times(distance)).Minus(name.corners[0]);
        const float u = offset.Dot(across) / across.Dot(across);
        const float v = offset.Dot(rise) / rise.Dot(rise);
        if (u < 0.0f || u > 1.0f || v < 0.0f || v > 1.0f)
            continue;
        nearest = distance;
        centre = centres[i];
        found = true;
    }
    return found;
}

void UTL_RegionLabels::AddTo(UTL_SceneDigest& digest) const
{
    digest.Add(static_cast<uint64_t>(names.size()));
    for (const GFX_RegionName& name : names)
    {
        digest.Add(name.text);
        digest.Add(name.anchor);
        digest.Add(name.em);
        digest.Add(name.color);
        digest.Add(name.alpha);
        // A name the font could not make in time is drawn by a later frame.
        digest.Add(name.drawn);
    }
}
