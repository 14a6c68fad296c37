#pragma once

#include <memory>
#include <string>

class OGL_Texture2D;

// Where the viewer finds its interface pictures, font and themes: ./data/config/ of the folder
// it runs in.
std::string UTL_ConfigPath(const std::string& name);
// A texture of the config folder made the way every interface texture is: clamped at its edges,
// its GL object created (none when the picture could not be read). GL thread only.
std::unique_ptr<OGL_Texture2D> UTL_LoadConfigTexture(const std::string& name);
