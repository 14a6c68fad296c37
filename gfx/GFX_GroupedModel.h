#pragma once

#include "gfx/GFX_Geometry.h"
#include "gfx/GFX_Mesh.h"

#include <memory>
#include <vector>

// A model made of mesh groups drawn together, in insertion order. The model's own visibility
// flag is kept but not consulted: each group's flag decides whether it draws.
class GFX_GroupedModel : public GFX_Geometry
{
public:
    GFX_GroupedModel() = default;

    void AddGroup(std::unique_ptr<GFX_MeshGroup> group) { groups.push_back(std::move(group)); }
    size_t GroupCount() const { return groups.size(); }
    GFX_MeshGroup& Group(size_t i) const { return *groups[i]; }

    void Render(int mode) override;
    void Draw() override;
    void DrawImmediate();

protected:
    std::vector<std::unique_ptr<GFX_MeshGroup>> groups;
};
