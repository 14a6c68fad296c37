#pragma once

#include "util/UTL_ConfigPath.h"

#include <memory>
#include <string>

class OGL_Texture2D;

// A texture of the config folder made the way every interface texture is: clamped at its edges,
// its GL object created (none when the picture could not be read). GL thread only.
std::unique_ptr<OGL_Texture2D> UTL_LoadConfigTexture(const std::string& name);
