#include "sim/UTL_LayoutGlide.h"

#include <algorithm>
#include <cmath>

void UTL_LayoutGlide::Start(std::vector<UTL_SpherePlace> starts, std::vector<UTL_SpherePlace> ends)
{
    const size_t count = std::min(starts.size(), ends.size());
    starts.resize(count);
    ends.resize(count);
    from = std::move(starts);
    to = std::move(ends);
    elapsed = 0.0f;
    active = count > 0;
}

bool UTL_LayoutGlide::Advance(float seconds)
{
    if (!active)
        return false;
    if (seconds > 0.0f)
        elapsed += seconds;
    if (elapsed >= Seconds)
        active = false;
    return active;
}

double UTL_LayoutGlide::GetShare() const
{
    return active ? Eased(double(elapsed) / double(Seconds)) : 1.0;
}

UTL_SpherePlace UTL_LayoutGlide::PlaceOf(size_t i) const
{
    if (i >= to.size())
        return {};
    return active ? Along(from[i], to[i], GetShare()) : to[i];
}

UTL_SpherePlace UTL_LayoutGlide::Along(const UTL_SpherePlace& a, const UTL_SpherePlace& b,
                                       double share)
{
    if (share <= 0.0)
        return a;
    if (share >= 1.0)
        return b;
    using Vector = UTL_SphereVector;
    const Vector start = Vector::FromPlace(a);
    const Vector end = Vector::FromPlace(b);
    const double angle = start.AngleTo(end);
    if (angle < 1e-12)
        return b;
    // Turned about the axis at right angles to both; where they are opposite any such axis
    // will do.
    const Vector normal = start.Cross(end);
    const Vector axis = normal.Length() > 1e-9 ? normal.OnSphere() : start.Perpendicular();
    const double turned = angle * share;
    return (start * std::cos(turned) + axis.Cross(start) * std::sin(turned)).ToPlace();
}

double UTL_LayoutGlide::Eased(double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}
