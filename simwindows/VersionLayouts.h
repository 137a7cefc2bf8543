// Simulated machines of the Windows versions that the programs tell apart.
#pragma once

#include <cstdint>

#include "simwindows/SimWindows.h"

namespace plat::sim {

// The version numbers of a Windows version class: 0 Windows 98, 1 NT 4.0,
// 2 Windows 2000, 3 XP, 4 Server 2003, 5 Vista; any other class gives
// Windows 7, which no class takes.
OsVersion VersionOfClass(int32_t osClass);

// The serial port records that a machine of the class keeps: Windows 98/Me's
// class keys ("PortSubClass" 1 for COM1 and COM2, 0 for LPT1), or on the NT
// family the "Ports" key with COM1: to COM4:, FILE: and LPT1: to LPT3:.
void PutPortRecords(SimWindows& w, int32_t osClass);

}  // namespace plat::sim
