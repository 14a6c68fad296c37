#include "scene/GFX_WidgetDockedFriend.h"

#include "scene/GFX_Foto.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_SceneOwner.h"

#include <GL/gl.h>

GFX_WidgetDockedFriend::GFX_WidgetDockedFriend(GFX_SceneOwner* owner) : GFX_WidgetDocked(owner) {}

const GFX_Foto* GFX_WidgetDockedFriend::ShownPhoto(bool& real) const
{
    real = false;
    if (!shown)
        return nullptr;
    if (const GFX_Foto* square = shown->GetSquarePicture())
    {
        real = shown->HasSquarePicture();
        return square;
    }
    real = shown->HasPicture();
    return shown->GetPicture();
}

void GFX_WidgetDockedFriend::Draw()
{
    GFX_WidgetDocked::Draw();

    bool real = false;
    const GFX_Foto* photo = ShownPhoto(real);
    if (!photo)
        return;
    if (real)
    {
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glDisable(GL_BLEND);
    }
    else
    {
        const GFX_Vector3 tint = owner ? (selected ? owner->GetTheme().LocatorTextColorSel
                                                   : owner->GetTheme().LocatorTextColor)
                                       : GFX_Vector3(1.0f, 1.0f, 1.0f);
        glColor4f(tint.x, tint.y, tint.z, 1.0f);
        glEnable(GL_BLEND);
    }
    photo->DrawFitted(rect.left + PictureInset, rect.right - PictureInset, rect.top - PictureInset,
                      rect.bottom + PictureInset);
    // The photo's texture turns texturing off after itself; the interface pass expects it on.
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
}
