#pragma once

#include <cmath>

// A place on the globe in degrees, as the globe takes it: longitude −180…180 (0 on +x, 90 on +z),
// latitude −90…90 (north pole on +y).
struct UTL_SpherePlace
{
    float longitude = 0.0f;
    float latitude = 0.0f;
};

// A point or direction of space in double precision, for arranging people on the unit sphere:
// x towards longitude 0, y towards the north pole, z towards longitude 90. Plain arithmetic.
struct UTL_SphereVector
{
    double x = 0.0, y = 0.0, z = 0.0;

    static constexpr double Pi = 3.14159265358979323846;

    static UTL_SphereVector FromPlace(const UTL_SpherePlace& place)
    {
        const double longitude = double(place.longitude) * Pi / 180.0;
        const double latitude = double(place.latitude) * Pi / 180.0;
        return {std::cos(latitude) * std::cos(longitude), std::sin(latitude),
                std::cos(latitude) * std::sin(longitude)};
    }

    // The place of this direction (which need not be of unit length).
    UTL_SpherePlace ToPlace() const
    {
        const double length = Length();
        const double height = length > 0.0 ? y / length : 1.0;
        UTL_SpherePlace place;
        place.longitude = float(std::atan2(z, x) * 180.0 / Pi);
        place.latitude =
            float(std::asin(height < -1.0 ? -1.0 : (height > 1.0 ? 1.0 : height)) * 180.0 / Pi);
        return place;
    }

    double Dot(const UTL_SphereVector& o) const { return x * o.x + y * o.y + z * o.z; }
    UTL_SphereVector Cross(const UTL_SphereVector& o) const
    {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    }
    double Length() const { return std::sqrt(Dot(*this)); }

    // The angle between two directions: atan2 of the cross and dot products, exact for near and
    // for opposite directions alike.
    double AngleTo(const UTL_SphereVector& o) const
    {
        return std::atan2(Cross(o).Length(), Dot(o));
    }

    // Back onto the unit sphere; the origin, which has no direction, goes to the north pole.
    UTL_SphereVector OnSphere() const
    {
        const double length = Length();
        if (!(length > 1e-300))
            return {0.0, 1.0, 0.0};
        return {x / length, y / length, z / length};
    }

    // A unit vector at right angles to this one, chosen from its coordinates alone.
    UTL_SphereVector Perpendicular() const
    {
        const UTL_SphereVector axis =
            std::fabs(x) < 0.9 ? UTL_SphereVector{1.0, 0.0, 0.0} : UTL_SphereVector{0.0, 0.0, 1.0};
        return Cross(axis).OnSphere();
    }
};

inline UTL_SphereVector operator+(const UTL_SphereVector& a, const UTL_SphereVector& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline UTL_SphereVector operator-(const UTL_SphereVector& a, const UTL_SphereVector& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline UTL_SphereVector operator*(const UTL_SphereVector& a, double s)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline UTL_SphereVector& operator+=(UTL_SphereVector& a, const UTL_SphereVector& b)
{
    a.x += b.x;
    a.y += b.y;
    a.z += b.z;
    return a;
}
inline UTL_SphereVector& operator-=(UTL_SphereVector& a, const UTL_SphereVector& b)
{
    a.x -= b.x;
    a.y -= b.y;
    a.z -= b.z;
    return a;
}
