#pragma once

#include "gfx/GFX_Vector3.h"
#include "scene/GFX_Emphasis.h"

#include <memory>
#include <optional>

class GFX_Billboard;
class GFX_LabelBatch;
class GFX_LocationHolderFriend;
class GFX_SceneOwner;
struct GFX_Theme;

// One locator on the globe: a coloured ball at a longitude and latitude (degrees) and a square
// label beside it that faces the viewer and slides to the ball's outer side, as seen on screen,
// as the globe turns. The ball's colour comes from its place on the globe, the label's from the
// owner's theme (the defaults without an owner). Sizes are scene units.
//
// The owner feeds the camera's axes every frame (SetBillboardAxes), then calls Draw, which
// updates the position and the label's side: the side moves a quarter of the way towards its
// target each frame, so a label crossing over slides rather than jumps.
//
// GL thread only (Draw and DrawBall issue GL calls; the rest is arithmetic).
class GFX_LocationHolder
{
public:
    explicit GFX_LocationHolder(GFX_SceneOwner* owner);
    virtual ~GFX_LocationHolder();

    GFX_LocationHolder(const GFX_LocationHolder&) = delete;
    GFX_LocationHolder& operator=(const GFX_LocationHolder&) = delete;

    // Updates, then draws the ball (lighting on, ball texture) and the label (DrawLabel).
    // Assumes a modelview matrix with the camera applied; leaves texturing enabled and lighting
    // disabled.
    virtual void Draw();
    // The same as of the last Update, for an owner that updates every holder first.
    void DrawUpdated();
    // The label alone, as of the last Update: lighting off, label texture, its own GL_QUADS
    // batch. Nothing of a label not shown; one fading in or out is blended at its share.
    virtual void DrawLabel();
    // The same label handed to a batch that draws many labels together.
    virtual void AddLabel(GFX_LabelBatch& batch);

    // This holder as one that shows a friend, or null. Lets the holder look-up skip plain
    // holders without a type query per holder.
    virtual GFX_LocationHolderFriend* AsFriendHolder() { return nullptr; }

    void SetLongitude(float value) { longitude = value; }
    void SetLatitude(float value) { latitude = value; }
    float GetLongitude() const { return longitude; }
    float GetLatitude() const { return latitude; }

    // The label's width and height, before the label scale.
    void SetBillboardSize(float width, float height);
    // The ball's radius; the owner's layout sets LayoutBallSize.
    void SetBallSize(float value) { ballSize = value; }
    float GetBallSize() const { return ballSize; }
    void SetSelected(bool value) { selected = value; }
    bool IsSelected() const { return selected; }
    // Faded: the ball and the label drawn faint; lit: the label in the selected colours.
    void SetEmphasis(GFX_Emphasis value) { emphasis = value; }
    GFX_Emphasis GetEmphasis() const { return emphasis; }
    // The point on the globe as of the last Update.
    const GFX_Vector3& GetPosition() const { return position; }

    // The camera's world-space up and right axes, handed on to the label.
    void SetBillboardAxes(const GFX_Vector3& up, const GFX_Vector3& right);

    // The label's ray test: on a hit within maxDistance, `distance` is the ray parameter of the
    // hit; otherwise it is left alone. The ball is hit-tested too where the owner's labels make
    // room, since there a locator may show its ball alone; a label not shown is never hit.
    bool Intersect(const GFX_Vector3& origin, const GFX_Vector3& direction, float maxDistance,
                   float& distance) const;

    // How much of the label shows, 0 (only the ball) … 1 (the whole label); between while it
    // fades in or out. The label's alpha follows it.
    void SetLabelShown(float value);
    float GetLabelShown() const { return labelShown; }
    bool IsLabelShown() const { return labelShown > 0.0f; }
    // A factor on the label's size, applied from the next Update (labels that make room grow
    // more slowly than the globe as the camera comes closer).
    void SetLabelScale(float value);
    float GetLabelScale() const { return labelScale; }

    // Recomputes the position from longitude and latitude and places the label: diagonally
    // off the ball, on the side of each screen axis that faces away from the globe's centre.
    void Update();
    // The corners the label's would have as of the last Update had its sides settled already
    // (bottom-left, bottom-right, top-right, top-left): where a label sliding over to the other
    // side of its ball is going.
    void SettledLabelCorners(GFX_Vector3 corners[4]) const;
    // A colour for the ball instead of the one of its place; nullopt: by place.
    void SetBallColor(const std::optional<GFX_Vector3>& value) { ballColor = value; }
    const std::optional<GFX_Vector3>& GetBallColor() const { return ballColor; }
    // The ball's colour as drawn: its own or its place's, faded when the locator is.
    GFX_Vector3 ShownBallColor() const;
    // The shared ball model, coloured by position (or its own colour), scaled from its radius 125
    // to the ball size. Assumes the ball texture is bound and lighting set as the caller wants.
    void DrawBall();

    const GFX_Billboard* GetBillboard() const { return billboard.get(); }
    // The label's smoothed side along the screen's up and right axes: −1…1 once updated.
    float GetLabelSideUp() const { return labelSideUp; }
    float GetLabelSideRight() const { return labelSideRight; }

    // The holder whose label the ray hits nearest, within maxDistance, or null. A hit replaces
    // the best so far only when it is strictly nearer, so of two labels at the same distance the
    // first in `holders` wins. `holders` is any range of pointers (plain or owning) to holders.
    template <typename Holders>
    static GFX_LocationHolder* PickNearest(const Holders& holders, const GFX_Vector3& origin,
                                           const GFX_Vector3& direction,
                                           float maxDistance = PickDistance);

    // How far the mouse ray reaches into the scene.
    static constexpr float PickDistance = 40000.0f;
    // Sizes the owner gives its holders when it lays them out and when one is picked.
    static constexpr float LabelSize = 750.0f;
    static constexpr float SelectedLabelSize = 2250.0f;
    static constexpr float LayoutBallSize = 100.0f;
    // The radius of the shared ball model.
    static constexpr float BallModelRadius = 125.0f;
    // The ball's radius a pointer hits, as a share of its size.
    static constexpr float BallPickScale = 1.5f;

protected:
    // The owner's theme, or the default theme without an owner.
    const GFX_Theme& Theme() const;
    // `color` as this locator draws it: faded towards the theme's background when faded.
    GFX_Vector3 Shade(const GFX_Vector3& color) const;
    // Whether the label takes the selected colours: selected, or lit.
    bool ShowsSelected() const { return selected || emphasis == GFX_Emphasis::Lit; }

    GFX_SceneOwner* owner;
    std::unique_ptr<GFX_Billboard> billboard;

private:
    float longitude = 0.0f;
    float latitude = 0.0f;
    // Above 1 until the first Update, which then jumps straight to the target side.
    float labelSideUp = 10.0f;
    float labelSideRight = 10.0f;
    float ballSize = 1.0f;
    GFX_Vector3 position;
    std::optional<GFX_Vector3> ballColor;
    bool selected = false;
    float labelWidth;
    float labelHeight;
    float labelScale = 1.0f;
    float labelShown = 1.0f;
    GFX_Emphasis emphasis = GFX_Emphasis::Normal;
};

template <typename Holders>
GFX_LocationHolder* GFX_LocationHolder::PickNearest(const Holders& holders,
                                                    const GFX_Vector3& origin,
                                                    const GFX_Vector3& direction, float maxDistance)
{
    GFX_LocationHolder* picked = nullptr;
    float nearest = maxDistance;
    for (const auto& holder : holders)
    {
        float distance = nearest;
        if (holder && holder->Intersect(origin, direction, maxDistance, distance) &&
            distance < nearest)
        {
            nearest = distance;
            picked = &*holder;
        }
    }
    return picked;
}
