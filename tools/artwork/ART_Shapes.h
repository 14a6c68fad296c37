#pragma once

#include "tools/artwork/ART_Canvas.h"

#include <vector>

// Signed-distance shapes for ART_Canvas: each returns the distance in pixels from a point to the
// shape's outline, negative inside. Coordinates are canvas pixels (origin top-left, y down);
// angles are radians, measured from +x towards the top of the picture (counter-clockwise as
// seen), so that 0 is east and pi/2 is north.
struct ART_Point
{
    double x = 0.0, y = 0.0;
};

ART_Shape ART_CircleShape(double cx, double cy, double radius);
// The band between two radii.
ART_Shape ART_RingShape(double cx, double cy, double innerRadius, double outerRadius);
// A rectangle of half sizes (hw, hh) around (cx, cy) with corners rounded by `radius`.
ART_Shape ART_BoxShape(double cx, double cy, double hw, double hh, double radius = 0.0);
// A straight stroke of the given width from a to b with round ends.
ART_Shape ART_LineShape(ART_Point a, ART_Point b, double width);
// A circular stroke of the given width from angle a0 to a1 (a0 < a1, counter-clockwise as seen)
// with round ends.
ART_Shape ART_ArcShape(double cx, double cy, double radius, double a0, double a1, double width);
// A closed polygon (either winding, not self-intersecting).
ART_Shape ART_PolygonShape(std::vector<ART_Point> points);

ART_Shape ART_Union(ART_Shape a, ART_Shape b);
ART_Shape ART_Intersection(ART_Shape a, ART_Shape b);
// a without b.
ART_Shape ART_Difference(ART_Shape a, ART_Shape b);
// The shape grown (positive) or shrunk (negative) by `amount` pixels.
ART_Shape ART_Offset(ART_Shape shape, double amount);

// The point at `radius` from (cx, cy) in the direction `angle` (as seen: y grows downwards).
ART_Point ART_Polar(double cx, double cy, double radius, double angle);
