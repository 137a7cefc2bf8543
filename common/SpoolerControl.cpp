
#include "platform/Clock.h"
#include "platform/Services.h"
#include "platform/Windows.h"
// Stopping, starting and restarting the print spooler service.
#include "common/SpoolerControl.h"

namespace {

constexpr const char* kSpoolerService = "Spooler";

// The waits, in milliseconds.
constexpr uint32_t kAfterStopMs = 100;
constexpr uint32_t kBetweenPollsMs = 300;
constexpr int kPollCount = 10;
constexpr uint32_t kSetupRestartMs = 300;
constexpr uint32_t kUninstallRestartMs = 2000;

}  // namespace

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
    windows.clock().Sleep(kAfterStopMs);
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
        if (windows.services().OpenService(manager, kSpoolerService, plat::svc::QueryStatus, service) ==
            plat::err::Success) {
            // Pauses only between polls: after the last one there is nothing
            // left to wait for.
            for (int poll = 0; poll < kPollCount; ++poll) {
                if (poll > 0) windows.clock().Sleep(kBetweenPollsMs);
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

void RestartSpooler(plat::Windows& windows, SpoolerRestart flavour) {
    plat::ScHandle manager;
    if (windows.services().OpenScManager(manager) != plat::err::Success) return;
    {
        plat::ScHandle service;
        if (windows.services().OpenService(manager, kSpoolerService, plat::svc::Stop, service) ==
            plat::err::Success)
            windows.services().ControlServiceStop(service);
    }
    windows.clock().Sleep(flavour == SpoolerRestart::Uninstall ? kUninstallRestartMs : kSetupRestartMs);
    plat::ScHandle service;
    if (windows.services().OpenService(manager, kSpoolerService, plat::svc::Start, service) ==
        plat::err::Success)
        windows.services().StartService(service);
}
