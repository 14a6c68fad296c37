#pragma once

#include <cmath>

class GFX_Matrix3;

// Three floats and nothing else, so that arrays of vectors go straight to glVertex3fv,
// glNormal3fv and glColor3fv. Serves as position, direction and RGB colour. All arithmetic is
// single precision; in-place operations return the vector they changed.
class GFX_Vector3
{
public:
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    GFX_Vector3() = default;
    GFX_Vector3(float x, float y, float z) : x(x), y(y), z(z) {}

    GFX_Vector3& Set(float nx, float ny, float nz)
    {
        x = nx;
        y = ny;
        z = nz;
        return *this;
    }
    GFX_Vector3& Clear() { return Set(0.0f, 0.0f, 0.0f); }

    GFX_Vector3& Add(const GFX_Vector3& v) { return Set(x + v.x, y + v.y, z + v.z); }
    GFX_Vector3& Sub(const GFX_Vector3& v) { return Set(x - v.x, y - v.y, z - v.z); }
    GFX_Vector3 Plus(const GFX_Vector3& v) const { return {x + v.x, y + v.y, z + v.z}; }
    GFX_Vector3 Minus(const GFX_Vector3& v) const { return {x - v.x, y - v.y, z - v.z}; }

    GFX_Vector3& Scale(float s) { return Set(x * s, y * s, z * s); }
    GFX_Vector3 Times(float s) const { return {x * s, y * s, z * s}; }
    GFX_Vector3& Divide(float s) { return Set(x / s, y / s, z / s); }
    GFX_Vector3 Negated() const { return {-x, -y, -z}; }

    float Dot(const GFX_Vector3& v) const { return x * v.x + y * v.y + z * v.z; }
    GFX_Vector3 Cross(const GFX_Vector3& v) const
    {
        return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
    }

    float LengthSquared() const { return x * x + y * y + z * z; }
    float Length() const { return std::sqrt(LengthSquared()); }
    // Divides by the length. A zero vector stays zero rather than turning into NaNs, which
    // would otherwise spread through every later product.
    GFX_Vector3& Normalize()
    {
        float length = Length();
        return length > 0.0f ? Divide(length) : *this;
    }

    // Row-vector times matrix: x' = x·m0 + y·m3 + z·m6, and so on.
    GFX_Vector3& TransformByRows(const GFX_Matrix3& m);

    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    const float* Data() const { return &x; }
};

static_assert(sizeof(GFX_Vector3) == 3 * sizeof(float), "GFX_Vector3 must be three packed floats");
