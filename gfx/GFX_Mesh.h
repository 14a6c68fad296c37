#pragma once

#include "gfx/GFX_Geometry.h"
#include "gfx/GFX_Vector3.h"

#include <cstdint>
#include <vector>

// One vertex record. Records lie in one contiguous array so that positions, normals and texture
// coordinates are read by GL with one common stride.
struct GFX_Vertex
{
    GFX_Vector3 position;
    GFX_Vector3 normal;
    float u = 0.0f;
    float v = 0.0f;
};

// Three vertex indices, counter-clockwise on the front face; a triangle array is an index
// array of 3·n entries for glDrawElements.
struct GFX_Triangle
{
    uint32_t index[3] = {0, 0, 0};
};

static_assert(sizeof(GFX_Triangle) == 3 * sizeof(uint32_t), "triangles must pack as indices");

// An indexed triangle mesh drawn with vertex arrays (Draw) or in immediate mode
// (DrawImmediate, for callers that wrap each draw in their own matrix and colour).
class GFX_Mesh : public GFX_Geometry
{
public:
    GFX_Mesh() = default;

    void AddVertex(const GFX_Vertex& vertex) { vertices.push_back(vertex); }
    void AddTriangle(const GFX_Triangle& triangle) { triangles.push_back(triangle); }

    size_t VertexCount() const { return vertices.size(); }
    const GFX_Vertex& Vertex(size_t i) const { return vertices[i]; }
    size_t TriangleCount() const { return triangles.size(); }
    const GFX_Triangle& Triangle(size_t i) const { return triangles[i]; }

    // Draws through Draw; the argument is ignored.
    void Render(int mode) override;
    // One glDrawElements of every triangle. Assumes the vertex, normal and texture-coordinate
    // client arrays are enabled and the texture bound; leaves the array pointers set.
    void Draw() override;
    // One glBegin(GL_TRIANGLES)…glEnd with normal, texture coordinate and vertex per corner.
    virtual void DrawImmediate();

protected:
    std::vector<GFX_Vertex> vertices;
    std::vector<GFX_Triangle> triangles;
};

// A mesh that belongs to a grouped model.
class GFX_MeshGroup : public GFX_Mesh
{
public:
    GFX_MeshGroup() = default;
};
