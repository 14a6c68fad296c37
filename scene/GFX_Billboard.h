#pragma once

#include "gfx/GFX_Vector3.h"

// A rectangle in the scene that always faces the viewer: its owner hands it the camera's up and
// right axes every frame, sets its centre, size, colour and opacity, and calls UpdateCorners;
// corners are never recomputed behind the owner's back. Every locator label and every dot of a
// friendship line is one. Scene units; texture coordinates per corner.
//
// Corners are numbered bottom-left, bottom-right, top-right, top-left.
//
// EmitQuad issues GL calls inside a GL_QUADS batch the caller has opened, so that thousands of
// billboards share one batch and one texture bind: GL thread only. Everything else is
// arithmetic.
class GFX_Billboard
{
public:
    GFX_Billboard() = default;
    virtual ~GFX_Billboard() = default;

    // Copies the camera's axes, each normalised.
    void SetBillboardAxes(const GFX_Vector3& newUp, const GFX_Vector3& newRight)
    {
        up = newUp;
        up.Normalize();
        right = newRight;
        right.Normalize();
    }

    void SetPosition(const GFX_Vector3& value) { position = value; }
    // Moves the centre by `offset`.
    void Move(const GFX_Vector3& offset) { position.Add(offset); }
    void SetSize(float newWidth, float newHeight)
    {
        width = newWidth;
        height = newHeight;
    }
    void SetColor(const GFX_Vector3& value) { color = value; }
    void SetAlpha(float value) { alpha = value; }
    // Texture coordinates of corners 0…3; (0,0), (1,0), (1,1), (0,1) unless set.
    void SetTexCoords(const float s[4], const float t[4]);

    // Corners from the centre, the size and the axes:
    // centre ∓ right·width/2 ∓ up·height/2.
    void UpdateCorners()
    {
        const GFX_Vector3 halfRight = right.Times(width * 0.5f);
        const GFX_Vector3 halfUp = up.Times(height * 0.5f);
        corners[0] = position.Minus(halfRight).Sub(halfUp);
        corners[1] = position.Plus(halfRight).Sub(halfUp);
        corners[2] = position.Plus(halfRight).Add(halfUp);
        corners[3] = position.Minus(halfRight).Add(halfUp);
    }
    // Moves the corners OffsetTowardsViewer units along right × up, towards the viewer, so a
    // label floats in front of its ball instead of cutting through it.
    void OffsetCorners();

    // glColor4f(color, alpha), then each corner's texture coordinate and vertex, corners 0…3.
    // No glBegin/glEnd and no bind: the caller has opened a GL_QUADS batch and bound the
    // texture.
    void EmitQuad() const;

    // Whether the ray origin + direction·t hits the rectangle (triangles 0-1-2, then 0-2-3,
    // both faces) with 0 < t ≤ maxDistance. On a hit `distance` is t; otherwise it is left
    // alone, so a caller can keep the nearest hit over many billboards.
    bool Intersect(const GFX_Vector3& origin, const GFX_Vector3& direction, float maxDistance,
                   float& distance) const;

    const GFX_Vector3& GetPosition() const { return position; }
    float GetWidth() const { return width; }
    float GetHeight() const { return height; }
    const GFX_Vector3& GetColor() const { return color; }
    float GetAlpha() const { return alpha; }
    const GFX_Vector3& GetCorner(int i) const { return corners[i]; }
    float GetTexS(int i) const { return texS[i]; }
    float GetTexT(int i) const { return texT[i]; }
    const GFX_Vector3& GetUp() const { return up; }
    const GFX_Vector3& GetRight() const { return right; }
    // right × up: the unit normal that points at the viewer.
    GFX_Vector3 GetNormal() const { return right.Cross(up); }

    static constexpr float OffsetTowardsViewer = 100.0f;

private:
    GFX_Vector3 position;
    float width = 1.0f;
    float height = 1.0f;
    float texS[4] = {0.0f, 1.0f, 1.0f, 0.0f};
    float texT[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    GFX_Vector3 color{1.0f, 1.0f, 1.0f};
    float alpha = 1.0f;
    GFX_Vector3 corners[4];
    GFX_Vector3 up{0.0f, 1.0f, 0.0f};
    GFX_Vector3 right{1.0f, 0.0f, 0.0f};
};
