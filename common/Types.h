// Types shared by Setup and Uninstall.
#pragma once

#include <cstdint>

#include "platform/Spooler.h"

// The Windows version class. Selects the INI section suffix, the package
// folder and the spooler environment.
enum OsClass : int32_t {
    OsUnknown = -1,  // Uninstall only: neither the 9x nor the NT platform
    Win98 = 0,       // Windows 98/Me, and every version not recognised
    WinNT4 = 1,
    Win2000 = 2,
    WinXP = 3,
    Win2003 = 4,
    WinVista = 5,    // NT 6.0 and every later NT version
};

enum ModuleKind : int32_t { Receipt = 0, Ticket = 1, Label = 2, Embedded = 3 };

enum DriverMode : int32_t { Std = 0, Gdi = 1 };

enum PortKind : int32_t { Serial = 0, Parallel = 1, Usb = 2 };

enum UpdateFlags : int32_t {
    UpdateSerialMonitor = 1,
    UpdateUsbMonitor = 2,
    UpdatePrintProcessor = 8,
};

// Setup type: 1 Typical, 0 Advanced.
constexpr int32_t SetupTypical = 1;
constexpr int32_t SetupAdvanced = 0;

// The spooler's records as the package reader fills them; their text fields
// point into the reader's buffers.
using DriverRecord = plat::DriverInfo3;
using PrinterRecord = plat::PrinterInfo2;

// The spooler environment of the Windows 98/Me driver family.
inline constexpr const char* kWin98Environment = "Windows 4.0";

// ".98", ".NT", ".2K", ".XP", ".2003", ".Vista"; nullptr outside 0..5.
inline const char* OsSuffix(int32_t os) {
    static const char* const suffixes[] = {".98", ".NT", ".2K", ".XP", ".2003", ".Vista"};
    return (os >= 0 && os <= 5) ? suffixes[os] : nullptr;
}

// "\win98\", "\winnt\", "\win2003\", "\Vista\"; nullptr outside 0..5.
inline const char* OsFolder(int32_t os) {
    static const char* const folders[] = {"\\win98\\",  "\\winnt\\",   "\\winnt\\",
                                          "\\winnt\\",  "\\win2003\\", "\\Vista\\"};
    return (os >= 0 && os <= 5) ? folders[os] : nullptr;
}
