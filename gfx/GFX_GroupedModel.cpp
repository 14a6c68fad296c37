#include "gfx/GFX_GroupedModel.h"

void GFX_GroupedModel::Render(int mode)
{
    for (auto& group : groups)
        group->Render(mode);
}

void GFX_GroupedModel::Draw()
{
    for (auto& group : groups)
        group->Draw();
}

void GFX_GroupedModel::DrawImmediate()
{
    for (auto& group : groups)
        group->DrawImmediate();
}
