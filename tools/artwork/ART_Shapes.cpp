#include "tools/artwork/ART_Shapes.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace
{
const double Pi = 3.14159265358979323846;

double SegmentDistance(double x, double y, ART_Point a, ART_Point b)
{
    const double px = x - a.x, py = y - a.y, dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 > 0.0 ? std::clamp((px * dx + py * dy) / length2, 0.0, 1.0) : 0.0;
    return std::hypot(px - dx * t, py - dy * t);
}
} // namespace

ART_Point ART_Polar(double cx, double cy, double radius, double angle)
{
    return ART_Point{cx + radius * std::cos(angle), cy - radius * std::sin(angle)};
}

ART_Shape ART_CircleShape(double cx, double cy, double radius)
{
    return [=](double x, double y) { return std::hypot(x - cx, y - cy) - radius; };
}

ART_Shape ART_RingShape(double cx, double cy, double innerRadius, double outerRadius)
{
    const double middle = 0.5 * (innerRadius + outerRadius);
    const double half = 0.5 * (outerRadius - innerRadius);
    return [=](double x, double y)
    { return std::fabs(std::hypot(x - cx, y - cy) - middle) - half; };
}

ART_Shape ART_BoxShape(double cx, double cy, double hw, double hh, double radius)
{
    return [=](double x, double y)
    {
        const double qx = std::fabs(x - cx) - hw + radius;
        const double qy = std::fabs(y - cy) - hh + radius;
        const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
        return outside + std::min(std::max(qx, qy), 0.0) - radius;
    };
}

ART_Shape ART_LineShape(ART_Point a, ART_Point b, double width)
{
    return [=](double x, double y) { return SegmentDistance(x, y, a, b) - 0.5 * width; };
}

ART_Shape ART_ArcShape(double cx, double cy, double radius, double a0, double a1, double width)
{
    const ART_Point p0 = ART_Polar(cx, cy, radius, a0);
    const ART_Point p1 = ART_Polar(cx, cy, radius, a1);
    return [=](double x, double y)
    {
        double angle = std::atan2(cy - y, x - cx);
        while (angle < a0)
            angle += 2.0 * Pi;
        double d;
        if (angle <= a1)
            d = std::fabs(std::hypot(x - cx, y - cy) - radius);
        else
            d = std::min(std::hypot(x - p0.x, y - p0.y), std::hypot(x - p1.x, y - p1.y));
        return d - 0.5 * width;
    };
}

ART_Shape ART_PolygonShape(std::vector<ART_Point> points)
{
    return [points = std::move(points)](double x, double y)
    {
        double distance = 1e30;
        bool inside = false;
        for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++)
        {
            const ART_Point& a = points[i];
            const ART_Point& b = points[j];
            distance = std::min(distance, SegmentDistance(x, y, a, b));
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
                inside = !inside;
        }
        return inside ? -distance : distance;
    };
}

ART_Shape ART_Union(ART_Shape a, ART_Shape b)
{
    return [=](double x, double y) { return std::min(a(x, y), b(x, y)); };
}

ART_Shape ART_Intersection(ART_Shape a, ART_Shape b)
{
    return [=](double x, double y) { return std::max(a(x, y), b(x, y)); };
}

ART_Shape ART_Difference(ART_Shape a, ART_Shape b)
{
    return [=](double x, double y) { return std::max(a(x, y), -b(x, y)); };
}

ART_Shape ART_Offset(ART_Shape shape, double amount)
{
    return [=](double x, double y) { return shape(x, y) - amount; };
}
