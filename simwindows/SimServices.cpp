// The simulated "Spooler" service, as the service control manager shows it.
#include "simwindows/SimState.h"
#include "simwindows/SimWindows.h"

namespace plat {

using Guard = LockGuard;
using State = SimWindows::State;

uint32_t SimServices::OpenScManager(ScHandle& out) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("OpenScManager")) return e;
    uintptr_t h = s.NewHandle();
    s.services[h] = {true, {}, 0};
    out = ScHandle(this, h);
    return 0;
}

uint32_t SimServices::OpenService(const ScHandle& manager, const std::string& name,
                                 uint32_t access, ScHandle& out) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("OpenService", {name})) return e;
    auto it = s.services.find(manager.value());
    if (!manager || it == s.services.end() || !it->second.manager) return err::InvalidHandle;
    if (!EqualsIgnoringCase(name, "Spooler")) return err::ServiceDoesNotExist;
    uintptr_t h = s.NewHandle();
    s.services[h] = {false, "Spooler", access};
    out = ScHandle(this, h);
    return 0;
}

uint32_t SimServices::ControlServiceStop(const ScHandle& service) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("ControlServiceStop")) return e;
    auto it = s.services.find(service.value());
    if (!service || it == s.services.end() || it->second.manager) return err::InvalidHandle;
    if (!(it->second.access & svc::Stop)) return err::AccessDenied;
    if (s.spoolerState == svc::Stopped) return err::ServiceNotActive;
    s.spoolerState = svc::Stopped;
    s.serviceLog.push_back("stop");
    return 0;
}

uint32_t SimServices::StartService(const ScHandle& service) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("StartService")) return e;
    auto it = s.services.find(service.value());
    if (!service || it == s.services.end() || it->second.manager) return err::InvalidHandle;
    if (!(it->second.access & svc::Start)) return err::AccessDenied;
    if (s.spoolerState != svc::Stopped) return err::ServiceAlreadyRunning;
    s.spoolerState = s.spoolerNeverRuns ? svc::StartPending : svc::Running;
    s.serviceLog.push_back("start");
    return 0;
}

uint32_t SimServices::QueryServiceState(const ScHandle& service, uint32_t& state) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("QueryServiceState")) return e;
    auto it = s.services.find(service.value());
    if (!service || it == s.services.end() || it->second.manager) return err::InvalidHandle;
    if (!(it->second.access & svc::QueryStatus)) return err::AccessDenied;
    state = s.spoolerState;
    return 0;
}

uint32_t SimServices::Release(HandleKind kind, uintptr_t value) {
    return m_.ReleaseHandle(kind, value);
}

}  // namespace plat
