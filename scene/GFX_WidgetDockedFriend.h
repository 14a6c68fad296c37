#pragma once

#include "scene/GFX_WidgetDocked.h"

class GFX_Foto;
class GFX_Friend;

// A docked item that shows a person: the backing square, and on it the friend's square picture
// (or the ordinary one where there is no square one), fitted whole inside a 4-pixel margin. A
// real picture shows in its own colours; the placeholder of a person without a picture is
// tinted with the theme's label text colour. The friend is not owned and must outlive the item
// (or be taken away with SetFriend(nullptr) first).
class GFX_WidgetDockedFriend : public GFX_WidgetDocked
{
public:
    // Margin between the backing square and the picture, pixels.
    static constexpr float PictureInset = 4.0f;

    explicit GFX_WidgetDockedFriend(GFX_SceneOwner* owner);

    // The backing square, then the picture. Leaves the GL state as GFX_WidgetDocked::Draw does.
    void Draw() override;

    void SetFriend(GFX_Friend* value) { shown = value; }
    GFX_Friend* GetFriend() const { return shown; }

    // The photo the item shows, or null; `real` tells whether it is a real picture rather than
    // the placeholder.
    const GFX_Foto* ShownPhoto(bool& real) const;

private:
    GFX_Friend* shown = nullptr;
};
