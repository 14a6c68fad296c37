#include "scene/GFX_Connection.h"

#include "scene/GFX_Billboard.h"
#include "scene/GFX_DotRibbons.h"
#include "scene/GFX_Globe.h"

GFX_Connection::GFX_Connection(GFX_SceneOwner* owner)
    : owner(owner), billboard(std::make_unique<GFX_Billboard>())
{
    billboard->SetSize(DotSize, DotSize);
}

GFX_Connection::~GFX_Connection() = default;

void GFX_Connection::SetBillboardAxes(const GFX_Vector3& up, const GFX_Vector3& right)
{
    billboard->SetBillboardAxes(up, right);
}

void GFX_Connection::Draw()
{
    EmitDots();
}

bool GFX_Connection::AddToRibbons(GFX_DotRibbons& ribbons)
{
    return ribbons.AddRow(start, end, billboard->GetWidth(), billboard->GetAlpha(), ShownColor());
}

void GFX_Connection::EmitDots()
{
    GFX_Vector3 direction = end.Minus(start);
    const float length = direction.Length();
    direction.Normalize();
    const int intervals = DotIntervals(length);
    if (intervals < 2)
        return;
    const float spacing = length / static_cast<float>(intervals);
    const std::optional<GFX_Vector3>& color = ShownColor();
    if (color)
        billboard->SetColor(*color);

    // The hot loop of the scene: a large circle has some hundred thousand lines of up to a
    // hundred dots each, every frame. Nothing here allocates.
    for (int i = 1; i < intervals; ++i)
    {
        const GFX_Vector3 dot = DotCentre(start, direction, spacing, i);
        billboard->SetPosition(dot);
        if (!color)
            billboard->SetColor(GFX_Globe::PositionColor(dot));
        billboard->UpdateCorners();
        billboard->EmitQuad();
    }
}
