#include "sim/UTL_ConfigFolder.h"

#include "gfx/OGL_Texture2D.h"

std::unique_ptr<OGL_Texture2D> UTL_LoadConfigTexture(const std::string& name)
{
    auto texture = std::make_unique<OGL_Texture2D>();
    texture->LoadImage(UTL_ConfigPath(name));
    texture->SetWrap(GL_CLAMP_TO_EDGE);
    texture->Create();
    return texture;
}
