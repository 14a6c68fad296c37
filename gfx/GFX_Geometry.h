#pragma once

// Anything the scene can draw. The base draws nothing; meshes and grouped models override the
// draw operations. Materials are not part of a geometry: the caller binds the texture, sets the
// colour and enables the client arrays first.
class GFX_Geometry
{
public:
    GFX_Geometry() = default;
    virtual ~GFX_Geometry() = default;

    GFX_Geometry(const GFX_Geometry&) = delete;
    GFX_Geometry& operator=(const GFX_Geometry&) = delete;

    virtual void SetVisible(int value) { visible = value; }
    virtual void Render(int /*mode*/) {}
    virtual void Update(int /*mode*/) {}
    virtual void Draw() {}

    int GetVisible() const { return visible; }

protected:
    int visible = 1;
};
