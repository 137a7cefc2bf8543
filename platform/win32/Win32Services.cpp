// The services area on the real Win32 API.
#include "platform/win32/Win32Support.h"

#include "platform/win32/Win32Windows.h"

namespace plat {

using namespace w32;

uint32_t Win32Services::Release(HandleKind kind, uintptr_t value) {
    return CloseHandleOf(kind, value);
}

uint32_t Win32Services::OpenScManager(ScHandle& out) {
    out = ScHandle();
    const SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager) return Failure();
    out = ScHandle(this, Value(manager));
    return err::Success;
}

uint32_t Win32Services::OpenService(const ScHandle& manager, const std::string& name,
                                   uint32_t access, ScHandle& out) {
    out = ScHandle();
    if (!manager) return err::InvalidHandle;
    const SC_HANDLE service = ::OpenServiceA(As<SC_HANDLE>(manager.value()), name.c_str(), access);
    if (!service) return Failure();
    out = ScHandle(this, Value(service));
    return err::Success;
}

uint32_t Win32Services::ControlServiceStop(const ScHandle& service) {
    if (!service) return err::InvalidHandle;
    SERVICE_STATUS status{};
    return Result(::ControlService(As<SC_HANDLE>(service.value()), SERVICE_CONTROL_STOP, &status));
}

uint32_t Win32Services::StartService(const ScHandle& service) {
    if (!service) return err::InvalidHandle;
    return Result(::StartServiceA(As<SC_HANDLE>(service.value()), 0, nullptr));
}

uint32_t Win32Services::QueryServiceState(const ScHandle& service, uint32_t& state) {
    state = 0;
    if (!service) return err::InvalidHandle;
    SERVICE_STATUS status{};
    if (!::QueryServiceStatus(As<SC_HANDLE>(service.value()), &status)) return Failure();
    state = status.dwCurrentState;
    return err::Success;
}

}  // namespace plat
