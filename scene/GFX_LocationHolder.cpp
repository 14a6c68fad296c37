#include "scene/GFX_LocationHolder.h"

#include "gfx/GFX_ColorBall.h"
#include "gfx/GFX_Theme.h"
#include "gfx/OGL_Texture2D.h"
#include "scene/GFX_Billboard.h"
#include "scene/GFX_Globe.h"
#include "scene/GFX_LabelBatch.h"
#include "scene/GFX_SceneOwner.h"

#include <GL/gl.h>
#include <cmath>

namespace
{
// The initial label size, before the owner lays the holder out.
constexpr float InitialLabelSize = 1000.0f;
// How far the label stands off the ball, in ball radii, beyond its own half size.
constexpr float LabelClearance = 0.75f;
// The share of the remaining way the label's side moves per update.
constexpr float SideSmoothing = 0.25f;

float SignOf(float value)
{
    return value > 0.0f ? 1.0f : (value < 0.0f ? -1.0f : 0.0f);
}

// One step of the label side towards `target`; a side above 1 (never updated) jumps there.
float SmoothSide(float side, float target)
{
    return side > 1.0f ? target : (1.0f - SideSmoothing) * side + SideSmoothing * target;
}
} // namespace

GFX_LocationHolder::GFX_LocationHolder(GFX_SceneOwner* owner)
    : owner(owner), billboard(std::make_unique<GFX_Billboard>()), labelWidth(InitialLabelSize),
      labelHeight(InitialLabelSize)
{
    billboard->SetSize(InitialLabelSize, InitialLabelSize);
    billboard->SetPosition(position);
}

GFX_LocationHolder::~GFX_LocationHolder() = default;

const GFX_Theme& GFX_LocationHolder::Theme() const
{
    static const GFX_Theme defaults;
    return owner ? owner->GetTheme() : defaults;
}

GFX_Vector3 GFX_LocationHolder::Shade(const GFX_Vector3& color) const
{
    return emphasis == GFX_Emphasis::Faded ? GFX_Faded(color, Theme().BackgroundColor) : color;
}

GFX_Vector3 GFX_LocationHolder::ShownBallColor() const
{
    return Shade(ballColor ? *ballColor : GFX_Globe::PositionColor(position));
}

void GFX_LocationHolder::SetBillboardSize(float width, float height)
{
    labelWidth = width;
    labelHeight = height;
    if (billboard)
        billboard->SetSize(width * labelScale, height * labelScale);
}

void GFX_LocationHolder::SetLabelScale(float value)
{
    labelScale = value;
}

void GFX_LocationHolder::SetLabelShown(float value)
{
    labelShown = value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
    if (billboard)
        billboard->SetAlpha(labelShown);
}

void GFX_LocationHolder::SetBillboardAxes(const GFX_Vector3& up, const GFX_Vector3& right)
{
    if (billboard)
        billboard->SetBillboardAxes(up, right);
}

bool GFX_LocationHolder::Intersect(const GFX_Vector3& origin, const GFX_Vector3& direction,
                                   float maxDistance, float& distance) const
{
    bool hit = IsLabelShown() && billboard &&
               billboard->Intersect(origin, direction, maxDistance, distance);
    if (!owner || owner->GetDrawPaths().labels != GFX_DrawPaths::Labels::Room)
        return hit;
    // The ball as a sphere a little larger than drawn, so that a ball alone is no harder to
    // point at than it looks: the nearer root of |origin + t·direction − position| = r.
    const float radius = ballSize * BallPickScale;
    const GFX_Vector3 offset = origin.Minus(position);
    const float b = offset.Dot(direction);
    const float c = offset.LengthSquared() - radius * radius;
    const float discriminant = b * b - c * direction.LengthSquared();
    if (discriminant < 0.0f || !(direction.LengthSquared() > 0.0f))
        return hit;
    const float t = (-b - std::sqrt(discriminant)) / direction.LengthSquared();
    if (t > 0.0f && t <= maxDistance && (!hit || t < distance))
    {
        distance = t;
        hit = true;
    }
    return hit;
}

void GFX_LocationHolder::Update()
{
    position = GFX_Globe::Position(longitude, latitude);
    if (!billboard)
        return;
    billboard->SetSize(labelWidth * labelScale, labelHeight * labelScale);

    GFX_Vector3 outwards = position;
    outwards.Normalize();
    billboard->SetPosition(position);

    const GFX_Vector3& up = billboard->GetUp();
    const GFX_Vector3& right = billboard->GetRight();
    labelSideUp = SmoothSide(labelSideUp, SignOf(outwards.Dot(up)));
    labelSideRight = SmoothSide(labelSideRight, SignOf(outwards.Dot(right)));

    const float clearance = ballSize * LabelClearance;
    billboard->Move(up.Times((billboard->GetHeight() * 0.5f + clearance) * labelSideUp));
    billboard->Move(right.Times((billboard->GetWidth() * 0.5f + clearance) * labelSideRight));
    billboard->UpdateCorners();
    billboard->OffsetCorners();
}

void GFX_LocationHolder::SettledLabelCorners(GFX_Vector3 corners[4]) const
{
    if (!billboard)
    {
        for (int i = 0; i < 4; ++i)
            corners[i] = position;
        return;
    }
    GFX_Vector3 outwards = position;
    outwards.Normalize();
    const GFX_Vector3& up = billboard->GetUp();
    const GFX_Vector3& right = billboard->GetRight();
    const float halfWidth = billboard->GetWidth() * 0.5f;
    const float halfHeight = billboard->GetHeight() * 0.5f;
    const float clearance = ballSize * LabelClearance;
    const GFX_Vector3 centre =
        position.Plus(up.Times((halfHeight + clearance) * SignOf(outwards.Dot(up))))
            .Add(right.Times((halfWidth + clearance) * SignOf(outwards.Dot(right))))
            .Add(billboard->GetNormal().Scale(GFX_Billboard::OffsetTowardsViewer));
    corners[0] = centre.Minus(right.Times(halfWidth)).Sub(up.Times(halfHeight));
    corners[1] = centre.Plus(right.Times(halfWidth)).Sub(up.Times(halfHeight));
    corners[2] = centre.Plus(right.Times(halfWidth)).Add(up.Times(halfHeight));
    corners[3] = centre.Minus(right.Times(halfWidth)).Add(up.Times(halfHeight));
}

void GFX_LocationHolder::DrawBall()
{
    GFX_ColorBall* ball = owner ? owner->GetColorBall() : nullptr;
    if (!ball)
        return;

    glColor3fv(ShownBallColor().Data());
    float scale = ballSize / BallModelRadius;
    if (scale < 0.01f)
        scale = 0.01f;
    // A push and pop rather than undoing the translation and scale: thousands of locators per
    // frame would otherwise let rounding creep into the camera's matrix.
    glPushMatrix();
    glTranslatef(position.x, position.y, position.z);
    if (scale != 1.0f)
        glScalef(scale, scale, scale);
    ball->DrawImmediate();
    glPopMatrix();
}

void GFX_LocationHolder::Draw()
{
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    if (OGL_Texture2D* ballTexture = owner ? owner->GetColorBallTexture() : nullptr)
        ballTexture->Bind();
    Update();
    DrawBall();
    DrawLabel();
}

void GFX_LocationHolder::DrawUpdated()
{
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    if (OGL_Texture2D* ballTexture = owner ? owner->GetColorBallTexture() : nullptr)
        ballTexture->Bind();
    DrawBall();
    DrawLabel();
}

void GFX_LocationHolder::DrawLabel()
{
    glDisable(GL_LIGHTING);
    if (OGL_Texture2D* labelTexture = owner ? owner->GetLocatorTexture() : nullptr)
        labelTexture->Bind();
    if (!billboard || !IsLabelShown())
        return;
    const GFX_Theme& theme = Theme();
    billboard->SetColor(
        Shade(ShowsSelected() ? theme.LocatorBillboardColorSel : theme.LocatorBillboardColor));
    if (labelShown < 1.0f)
    {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glBegin(GL_QUADS);
    billboard->EmitQuad();
    glEnd();
}

void GFX_LocationHolder::AddLabel(GFX_LabelBatch& batch)
{
    if (!billboard || !IsLabelShown())
        return;
    const GFX_Theme& theme = Theme();
    billboard->SetColor(
        Shade(ShowsSelected() ? theme.LocatorBillboardColorSel : theme.LocatorBillboardColor));
    batch.AddLabel(*billboard);
}
