#pragma once

#include "graph/UTL_SphereVector.h"

#include <cstddef>
#include <vector>

// The glide of a circle's locators from one arrangement to the next: every place moves along the
// great circle from where it stood to where it goes, all of them together over Seconds, slow at
// either end, so that the eye can follow the groups gathering. It is advanced per frame, as the
// camera's glide is.
//
// Degrees for places, seconds for time. Plain arithmetic, no GL.
class UTL_LayoutGlide
{
public:
    static constexpr float Seconds = 1.0f;

    // Starts the glide of place i from `from`[i] to `to`[i]; the shorter list sets how many.
    void Start(std::vector<UTL_SpherePlace> from, std::vector<UTL_SpherePlace> to);
    // One frame: `seconds` further along. False once the glide has ended (every place is then
    // where it was going).
    bool Advance(float seconds);
    void Stop() { active = false; }

    bool IsActive() const { return active; }
    size_t Size() const { return to.size(); }
    // How far the places have come, eased: 0 at the start, 1 at the end.
    double GetShare() const;
    // Where place i stands now.
    UTL_SpherePlace PlaceOf(size_t i) const;

    // The place `share` of the way from `a` to `b` along the great circle through both: `a` at
    // 0 and `b` at 1 exactly. Between two opposite places the way goes over a side chosen from
    // `a` alone.
    static UTL_SpherePlace Along(const UTL_SpherePlace& a, const UTL_SpherePlace& b, double share);
    // Smoothstep of the time's share: starts and ends at rest.
    static double Eased(double t);

private:
    std::vector<UTL_SpherePlace> from;
    std::vector<UTL_SpherePlace> to;
    float elapsed = 0.0f;
    bool active = false;
};
