// The Windows versions the programs tell apart: one row per version class,
// with everything that follows from the class.
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

struct WindowsVersion {
    int32_t osClass;
    const char* suffix;       // of the package's per-version INI sections
    const char* folder;       // of the package's files for the version
    const char* environment;  // of its drivers and monitors; nullptr: the machine's own
    const char* name;         // as qsetup names it to people
    const char* option;       // qsetup's --os word
    const char* alias;        // another --os word qsetup takes, or nullptr
    uint32_t driverVersion;   // of the driver records it registers
    bool checksAdministrator; // whether Setup and Uninstall refuse a user who is none
    // The version a machine of the class reports: platform (1 9x, 2 NT),
    // major, minor, build. The NT rows' major.minor classify a version.
    uint32_t platformId, major, minor, build;
};

inline constexpr WindowsVersion kWindowsVersions[] = {
    {Win98, ".98", "\\win98\\", plat::kEnvironment40, "Windows 98/Me", "98", "Me", 0, false, 1, 4, 10, 2222},
    {WinNT4, ".NT", "\\winnt\\", nullptr, "Windows NT 4.0", "NT4", "NT", 2, false, 2, 4, 0, 1381},
    {Win2000, ".2K", "\\winnt\\", nullptr, "Windows 2000", "2000", "2K", 3, true, 2, 5, 0, 2195},
    {WinXP, ".XP", "\\winnt\\", nullptr, "Windows XP", "XP", nullptr, 3, true, 2, 5, 1, 2600},
    {Win2003, ".2003", "\\win2003\\", nullptr, "Windows Server 2003", "2003", nullptr, 3, true,
     2, 5, 2, 3790},
    {WinVista, ".Vista", "\\Vista\\", nullptr, "Windows Vista", "Vista", nullptr, 3, true,
     2, 6, 0, 6002},
};
inline constexpr int32_t kOsClassCount = sizeof kWindowsVersions / sizeof kWindowsVersions[0];
static_assert(
    [] {
        for (int32_t i = 0; i < kOsClassCount; ++i)
            if (kWindowsVersions[i].osClass != i) return false;
        return true;
    }(),
    "the rows stand in OsClass order");

// The row of a class; nullptr outside Win98..WinVista.
inline const WindowsVersion* WindowsVersionOf(int32_t os) {
    return os >= 0 && os < kOsClassCount ? &kWindowsVersions[os] : nullptr;
}

// The spooler environment of the Windows 98/Me driver family.
inline constexpr const char* kWin98Environment = kWindowsVersions[Win98].environment;

// ".98", ".NT", ".2K", ".XP", ".2003", ".Vista"; nullptr outside the classes.
inline const char* OsSuffix(int32_t os) {
    const WindowsVersion* v = WindowsVersionOf(os);
    return v ? v->suffix : nullptr;
}

// Uninstall's section rule, which differs from OsSuffix twice: XP reads the
// Windows 2000 sections (".2K"), and any class outside the table, OsUnknown
// included, reads the Vista ones.
inline const char* OsSuffixXpAs2000(int32_t os) {
    if (os == WinXP) return OsSuffix(Win2000);
    const WindowsVersion* v = WindowsVersionOf(os);
    return v ? v->suffix : OsSuffix(WinVista);
}

// "\win98\", "\winnt\", "\win2003\", "\Vista\"; nullptr outside the classes.
inline const char* OsFolder(int32_t os) {
    const WindowsVersion* v = WindowsVersionOf(os);
    return v ? v->folder : nullptr;
}

// The environment a class installs its drivers and monitors for:
// "Windows 4.0" for Windows 98/Me, nullptr (the machine's own) otherwise.
inline const char* OsEnvironment(int32_t os) {
    const WindowsVersion* v = WindowsVersionOf(os);
    return v ? v->environment : nullptr;
}

// Whether the class refuses a user who is not an administrator: Windows
// 2000 to Vista; not 98/Me, NT 4.0 or a class outside the table.
inline bool ChecksAdministrator(int32_t os) {
    const WindowsVersion* v = WindowsVersionOf(os);
    return v && v->checksAdministrator;
}
