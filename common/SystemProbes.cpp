#include "common/SystemProbes.h"

#include <vector>

#include "common/CompatibilityMarks.h"
#include "platform/System.h"
#include "platform/Windows.h"

namespace {

// The local Administrators group: authority 5 (NT), sub-authorities 32 and 544.
constexpr const char* kAdministratorsSid = "S-1-5-32-544";

}  // namespace

bool IsUserAdmin(plat::Windows& windows) {
    plat::Token token;
    uint32_t error = windows.system().OpenThreadToken(token);
    if (error == plat::err::NoToken) error = windows.system().OpenProcessToken(token);
    if (error != plat::err::Success || !token) return false;

    // The size question must be answered with "insufficient buffer"; a token
    // that answers otherwise is not one we can read.
    uint32_t needed = 0;
    if (windows.system().GetTokenGroupsSize(token, needed) != plat::err::InsufficientBuffer)
        return false;

    std::vector<std::string> groups;
    if (windows.system().GetTokenGroups(token, groups) != plat::err::Success) return false;

    // Only the SID counts, not the group's attributes: a filtered token that
    // lists the group as deny-only still belongs to an administrator.
    for (const std::string& sid : groups)
        if (sid == kAdministratorsSid) return true;
    return false;
}

int32_t OsClassOf(const plat::OsVersion& version) {
    if (version.platformId != 2) return Win98;
    for (const WindowsVersion& v : kWindowsVersions)
        if (v.platformId == 2 && v.major == version.major && v.minor == version.minor) return v.osClass;
    // Everything after Vista (7, 8, 8.1, 10, 11 and later majors) takes the
    // Vista driver family and the administrator check; NT 3.x, 4.x past 4.0
    // and 5.x past 5.2 are not recognised.
    return version.major >= 6 ? WinVista : Win98;
}

int32_t GetOsClass(plat::Windows& windows, ProbeFlavour flavour) {
    const int32_t unknownPlatform = flavour == ProbeFlavour::Uninstall ? OsUnknown : Win98;
    plat::OsVersion version;
    if (windows.system().GetVersion(version) != plat::err::Success) return unknownPlatform;

    return version.platformId == 1 || version.platformId == 2 ? OsClassOf(version)
                                                               : unknownPlatform;
}

int32_t GetOsClassAndMarkCompatibility(plat::Windows& windows) {
    const int32_t os = GetOsClass(windows, ProbeFlavour::Uninstall);
    if (os == WinVista) MarkCompatibilityPersisted(windows);
    return os;
}
