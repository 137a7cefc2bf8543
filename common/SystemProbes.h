// Small probes both programs run around their main work: administrator
// rights and the Windows version class. The spooler's control is in
// common/SpoolerControl.h.
#pragma once

#include <cstdint>

#include "common/Types.h"
#include "platform/System.h"
#include "platform/Windows.h"

// True when the running user's token lists the local Administrators group
// (also as a deny-only group of a filtered token). Every failure gives false.
bool IsUserAdmin(plat::Windows& windows);

// The OsClass of a Windows version: NT 6.0 and every later NT version are
// WinVista; the 9x family, NT 3.x, 4.x past 4.0 and 5.x past 5.2 are Win98.
int32_t OsClassOf(const plat::OsVersion& version);

// Which program asks: they classify an unknown platform differently.
enum class ProbeFlavour { Setup, Uninstall };

// The OsClass of the running system. NT 6.0 and every later NT version are
// WinVista; NT 3.x, 4.x past 4.0 and 5.x past 5.2 are Win98. Uninstall gives
// OsUnknown for a platform that is neither 9x nor NT. Writes nothing.
int32_t GetOsClass(plat::Windows& windows, ProbeFlavour flavour = ProbeFlavour::Setup);

// Uninstall's probe: GetOsClass as Uninstall classifies, and on WinVista
// also writes the current user's compatibility mark before it returns.
int32_t GetOsClassAndMarkCompatibility(plat::Windows& windows);
