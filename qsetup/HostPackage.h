// The computer qsetup runs on, and its package folder: through the real
// Win32 layer on Windows, mounted read-only on a simulated Windows elsewhere.
#pragma once

#include <memory>
#include <string>

#include "platform/Windows.h"
#include "simwindows/SimWindows.h"

namespace qsetup {

struct CheckReport;

// The running Windows (nullptr where qsetup does not run on Windows).
std::unique_ptr<plat::Windows> RealMachine();

// Mounts the package of the folder `hostDir` of this computer read-only at
// kSimPackage as the program folder and the current folder; false when the
// folder can't be read. (On Windows the files come through the Win32 layer.)
bool MountPackage(plat::SimWindows& w, const std::string& hostDir);

// Checks the package in a folder of this computer: on Windows through the
// real Win32 layer, elsewhere mounted read-only on a simulated Windows.
// False (with `error`) when the folder can't be read.
bool CheckHostPackage(const std::string& dir, CheckReport& report, std::string& error);

}  // namespace qsetup
