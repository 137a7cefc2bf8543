// File names that the package's INI files give: a name that Setup copies and
// Uninstall deletes must name a file in the one folder it is meant for.
#pragma once

#include <string_view>

// A plain file name: not empty, no folder or drive (no '\', '/', ':'), none
// of the other characters Windows refuses in a name (* ? " < > | and control
// characters), not made of dots and blanks alone ("." and ".." are folders),
// and no device ("NUL", "LPT1", "COM3.DLL" and the like open the device, not
// a file, whatever the folder in front of them).
bool IsPlainFileName(std::string_view name);
