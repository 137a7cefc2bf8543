// The service control manager area of the platform layer.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Forwarding.h"
#include "platform/Handles.h"

namespace plat {

namespace svc {
// Service access rights and states used by the spooler control.
constexpr uint32_t QueryStatus = 0x4, Start = 0x10, Stop = 0x20;
constexpr uint32_t Stopped = 1, StartPending = 2, StopPending = 3, Running = 4;
}  // namespace svc

class Services : public HandleOwner {
public:
    virtual ~Services() = default;

    virtual uint32_t OpenScManager(ScHandle& out) = 0;
    virtual uint32_t OpenService(const ScHandle& manager, const std::string& name,
                                 uint32_t access, ScHandle& out) = 0;
    virtual uint32_t ControlServiceStop(const ScHandle& service) = 0;
    virtual uint32_t StartService(const ScHandle& service) = 0;
    virtual uint32_t QueryServiceState(const ScHandle& service, uint32_t& state) = 0;
};

// Hands every call to another services area: the base of a decorator. The
// handles the inner one opens are handed out as this one's own.
class ForwardingServices : public Forwarding<Services> {
public:
    using Forwarding::Forwarding;

    uint32_t OpenScManager(ScHandle& out) override {
        ScHandle inner;
        return Adopt(inner_.OpenScManager(inner), this, inner, out);
    }
    uint32_t OpenService(const ScHandle& manager, const std::string& name, uint32_t access,
                         ScHandle& out) override {
        ScHandle inner;
        return Adopt(inner_.OpenService(manager, name, access, inner), this, inner, out);
    }
    uint32_t ControlServiceStop(const ScHandle& service) override {
        return inner_.ControlServiceStop(service);
    }
    uint32_t StartService(const ScHandle& service) override { return inner_.StartService(service); }
    uint32_t QueryServiceState(const ScHandle& service, uint32_t& state) override {
        return inner_.QueryServiceState(service, state);
    }

};

}  // namespace plat
