#pragma once

#include <string>

// Where the viewer and the snapshot tool find their interface pictures, font and themes:
// ./data/config/ of the folder they run in when it is there (a source checkout), otherwise the
// config folder of the installation the running program belongs to (share/halvane/config/ next
// to its bin/), otherwise ./data/config/ again, where every file then reads as missing.
std::string UTL_ConfigFolder();
// A file of that folder.
std::string UTL_ConfigPath(const std::string& name);
// The installed config folder of the running program, whether or not it exists; empty when the
// program's own path cannot be read.
std::string UTL_InstalledConfigFolder();
