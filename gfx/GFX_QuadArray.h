#pragma once

#include "gfx/GFX_Vector3.h"

#include <cstddef>
#include <vector>

// Textured, coloured quads gathered on the CPU and drawn with one glDrawArrays from client
// vertex arrays: thousands of quads for the price of one call, instead of a glBegin/glEnd or a
// bind for each of them.
//
// Draw assumes the texture, blending and the rest of the state the caller wants; it only sets
// the client arrays it needs and restores the client array state it found. GL thread only for
// Draw; the rest is arithmetic.
class GFX_QuadArray
{
public:
    struct TexCoord
    {
        float s;
        float t;
    };

    // A quad on corners bottom-left, bottom-right, top-right, top-left with their texture
    // coordinates, in one colour.
    void Add(const GFX_Vector3 corners[4], const TexCoord texCoords[4], const GFX_Vector3& color,
             float alpha = 1.0f);
    // The same with the texture rectangle s0…s1 × t0…t1 laid on the corners in that order.
    void Add(const GFX_Vector3 corners[4], float s0, float t0, float s1, float t1,
             const GFX_Vector3& color, float alpha = 1.0f);

    void Draw() const;
    void Clear();
    bool IsEmpty() const { return vertices.empty(); }
    size_t CountQuads() const { return vertices.size() / 12; }

private:
    std::vector<float> vertices;  // 3 per corner
    std::vector<float> texCoords; // 2 per corner
    std::vector<float> colors;    // 4 per corner
};
