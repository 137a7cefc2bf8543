// The name a program goes by: its file name without folder and extension
// ("Setup" for ...\Setup.exe). It names the single-instance mutex and is the
// caption of the program's message boxes, so that a renamed copy is a
// program of its own.
#pragma once

#include <string>

#include "platform/Folders.h"

// The name of the program in file `path`: its file name without folder and
// extension; empty for an empty path.
std::string ProgramName(const std::string& path);

// The running program's name; `fallback` when the module's file name can't
// be read or is empty.
std::string ApplicationName(plat::Folders& folders, const std::string& fallback);
