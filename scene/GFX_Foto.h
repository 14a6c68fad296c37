#pragma once

#include "gfx/GFX_Vector3.h"

#include <string>

class GFX_SceneOwner;
class OGL_TextureFoto;

// One picture, named by a web address or a file path. A photo holds no GL state: every draw asks
// the owner's picture worker for the texture of its path, so a picture that is still downloading
// draws nothing and appears by itself once the worker has decoded it.
//
// GL thread only (the picture worker is asked from the main thread).
class GFX_Foto
{
public:
    explicit GFX_Foto(GFX_SceneOwner* owner);
    virtual ~GFX_Foto() = default;

    GFX_Foto(const GFX_Foto&) = delete;
    GFX_Foto& operator=(const GFX_Foto&) = delete;

    void SetPath(const std::string& value) { path = value; }
    const std::string& GetPath() const { return path; }

    // The texture once the worker has processed the path; null while it is pending, and null
    // without asking anyone when there is no owner, no worker or no path.
    OGL_TextureFoto* GetTexture() const;

    // The whole picture on the quad with corners bottom-left, bottom-right, top-right, top-left.
    // The caller sets the colour and blending first. Draws nothing while the picture is pending.
    void DrawQuad(const GFX_Vector3& bottomLeft, const GFX_Vector3& bottomRight,
                  const GFX_Vector3& topRight, const GFX_Vector3& topLeft) const;
    // The whole picture scaled to fit inside the rectangle (pixels, plane z = 0), centred.
    void DrawFitted(float left, float right, float top, float bottom) const;

private:
    GFX_SceneOwner* owner;
    std::string path;
};
