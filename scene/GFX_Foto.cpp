#include "scene/GFX_Foto.h"

#include "gfx/OGL_TextureFoto.h"
#include "scene/GFX_SceneOwner.h"
#include "util/UTL_FotoTextureBoss.h"

GFX_Foto::GFX_Foto(GFX_SceneOwner* owner) : owner(owner) {}

OGL_TextureFoto* GFX_Foto::GetTexture() const
{
    if (!owner || path.empty())
        return nullptr;
    UTL_FotoTextureBoss* worker = owner->GetPictureWorker();
    return worker ? worker->RequestTexture(path) : nullptr;
}

void GFX_Foto::DrawQuad(const GFX_Vector3& bottomLeft, const GFX_Vector3& bottomRight,
                        const GFX_Vector3& topRight, const GFX_Vector3& topLeft) const
{
    if (OGL_TextureFoto* texture = GetTexture())
        texture->DrawQuad(bottomLeft, bottomRight, topRight, topLeft);
}

void GFX_Foto::DrawFitted(float left, float right, float top, float bottom) const
{
    if (OGL_TextureFoto* texture = GetTexture())
        texture->DrawFitted(left, right, top, bottom);
}
