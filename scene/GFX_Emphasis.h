#pragma once

#include "gfx/GFX_Vector3.h"

// How a locator or a friendship row stands against the rest of the circle while the user asks
// something of it (whose friends these are, how two people are connected, who is in a group):
// as usual, faded (drawn faint, towards the background, so that the answer stands out) or lit
// (part of the answer: a locator's label in the selected colours, a row bright and large like a
// picked person's).
enum class GFX_Emphasis
{
    Normal,
    Faded,
    Lit,
};

// The share of its own colour a faded ball, label or name keeps; the rest is the background's.
constexpr float GFX_FadedColorShare = 0.22f;
// The share of its opacity a faded row of dots keeps: rows overlap by the thousand, so they
// fade further than the locators.
constexpr float GFX_FadedRowShare = 0.04f;

// `color` faded towards `background`.
inline GFX_Vector3 GFX_Faded(const GFX_Vector3& color, const GFX_Vector3& background)
{
    return background.Plus(color.Minus(background).Times(GFX_FadedColorShare));
}
