#include "common/SystemProbes.h"

#include <vector>

#include "common/CompatibilityMarks.h"
#include "platform/Clock.h"
#include "platform/Services.h"
#include "platform/System.h"
#include "platform/Windows.h"

namespace {

constexpr const char* kSpoolerService = "Spooler";
// The local Administrators group: authority 5 (NT), sub-authorities 32 and 544.
constexpr const char* kAdministratorsSid = "S-1-5-32-544";

constexpr uint32_t kStopPauseMs = 100;
constexpr uint32_t kPollPauseMs = 300;
constexpr int kPollCount = 10;

int32_t ClassifyNt(uint32_t major, uint32_t minor) {
    if (major == 4) return minor == 0 ? WinNT4 : Win98;
    if (major == 5) {
        switch (minor) {
            case 0: return Win2000;
            case 1: return WinXP;
            case 2: return Win2003;
            default: return Win98;
        }
    }
    // Vista and everything after it (7, 8, 8.1, 10, 11 and later majors)
    // take the Vista driver family and the administrator check.
    if (major >= 6) return WinVista;
    return Win98;  // NT 3.x and older
}

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
    return version.platformId == 2 ? ClassifyNt(version.major, version.minor) : Win98;
}

int32_t GetOsClass(plat::Windows& windows, ProbeFlavour flavour) {
    const int32_t unknownPlatform = flavour == ProbeFlavour::Uninstall ? OsUnknown : Win98;
    plat::OsVersion version;
    if (windows.system().GetVersion(version) != plat::err::Success) return unknownPlatform;

    const int32_t os = version.platformId == 1 || version.platformId == 2 ? OsClassOf(version)
                                                                           : unknownPlatform;

    if (flavour == ProbeFlavour::Uninstall && os == WinVista) MarkCompatibilityPersisted(windows);
    return os;
}

void StopSpooler(plat::Windows& windows) {
    plat::ScHandle manager;
    if (windows.services().OpenScManager(manager) != plat::err::Success) return;
    plat::ScHandle service;
    if (windows.services().OpenService(manager, kSpoolerService, plat::svc::Stop, service) ==
        plat::err::Success) {
        // A spooler that already stopped answers ServiceNotActive; nobody is
        // told about a failed stop.
        windows.services().ControlServiceStop(service);
        service.reset();
    }
    windows.clock().Sleep(kStopPauseMs);
}

void StartSpooler(plat::Windows& windows, std::string& message) {
    plat::ScHandle manager;
    if (windows.services().OpenScManager(manager) != plat::err::Success) return;
    plat::ScHandle service;
    if (windows.services().OpenService(manager, kSpoolerService, plat::svc::Start, service) !=
        plat::err::Success)
        return;
    const uint32_t error = windows.services().StartService(service);
    if (error != plat::err::Success && error != plat::err::ServiceAlreadyRunning)
        message = "Start spool service error, error code = " + std::to_string(error);
}

bool WaitSpoolerRunning(plat::Windows& windows, std::string& message) {
    bool running = false;
    plat::ScHandle manager;
    if (windows.services().OpenScManager(manager) == plat::err::Success) {
        plat::ScHandle service;
        if (windows.services().OpenService(manager, kSpoolerService, plat::svc::QueryStatus,
                                           service) == plat::err::Success) {
            // Pauses only between polls: after the last one there is nothing
            // left to wait for.
            for (int poll = 0; poll < kPollCount; ++poll) {
                if (poll > 0) windows.clock().Sleep(kPollPauseMs);
                uint32_t state = plat::svc::Stopped;
                if (windows.services().QueryServiceState(service, state) == plat::err::Success &&
                    state == plat::svc::Running) {
                    running = true;
                    break;
                }
            }
        }
    }
    if (!running) message = "StartSpoolService error";
    return running;
}

void RestartSpooler(plat::Windows& windows, ProbeFlavour flavour) {
    plat::ScHandle manager;
    if (windows.services().OpenScManager(manager) != plat::err::Success) return;
    {
        plat::ScHandle service;
        if (windows.services().OpenService(manager, kSpoolerService, plat::svc::Stop, service) ==
            plat::err::Success)
            windows.services().ControlServiceStop(service);
    }
    windows.clock().Sleep(flavour == ProbeFlavour::Uninstall ? 2000 : 300);
    plat::ScHandle service;
    if (windows.services().OpenService(manager, kSpoolerService, plat::svc::Start, service) ==
        plat::err::Success)
        windows.services().StartService(service);
}
