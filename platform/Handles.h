// The handles of the platform layer: each one is owned by a move-only
// Handle, which gives it back to the area that made it.
#pragma once

#include <cstdint>
#include <utility>

#include "platform/Errors.h"

namespace plat {

enum class HandleKind { RegKey, Printer, Find, Service, Token, Mutex };

// An area of the layer that hands out handles and closes them again (the
// Handle owners call it): the registry, files, spooler, services, system and
// desktop areas.
class HandleOwner {
public:
    virtual uint32_t Release(HandleKind kind, uintptr_t value) = 0;

protected:
    ~HandleOwner() = default;
};

// Move-only owner of one open handle of the platform. Releasing it calls the
// matching close function of the platform (RegCloseKey, ClosePrinter,
// FindClose, CloseServiceHandle, CloseHandle).
template <HandleKind K>
class Handle {
public:
    Handle() = default;
    Handle(HandleOwner* owner, uintptr_t value) : owner_(owner), value_(value) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept
        : owner_(std::exchange(other.owner_, nullptr)), value_(std::exchange(other.value_, 0)) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            reset();
            owner_ = std::exchange(other.owner_, nullptr);
            value_ = std::exchange(other.value_, 0);
        }
        return *this;
    }
    ~Handle() { reset(); }

    explicit operator bool() const { return owner_ != nullptr; }
    uintptr_t value() const { return value_; }
    // Closes the handle; returns the close call's error number
    // (InvalidHandle when nothing was held).
    uint32_t reset() {
        if (!owner_) return err::InvalidHandle;
        HandleOwner* owner = std::exchange(owner_, nullptr);
        return owner->Release(K, std::exchange(value_, 0));
    }
    // Gives up ownership without closing (a mutex held for the process's life).
    uintptr_t release() {
        owner_ = nullptr;
        return std::exchange(value_, 0);
    }

private:
    HandleOwner* owner_ = nullptr;
    uintptr_t value_ = 0;
};

using RegKey = Handle<HandleKind::RegKey>;
using Printer = Handle<HandleKind::Printer>;
using FindHandle = Handle<HandleKind::Find>;
using ScHandle = Handle<HandleKind::Service>;  // manager and service handles alike
using Token = Handle<HandleKind::Token>;
using Mutex = Handle<HandleKind::Mutex>;

// A top-level window; 0 is none.
using Window = uintptr_t;

// Hands the handle an inner area opened out as `owner`'s own, so that its
// release comes through `owner` (a decorator that keeps something per handle
// sees it go); the value stays the inner one.
template <HandleKind K>
uint32_t Adopt(uint32_t error, HandleOwner* owner, Handle<K>& inner, Handle<K>& out) {
    if (inner)
        out = Handle<K>(owner, inner.release());
    else
        out = Handle<K>();
    return error;
}

}  // namespace plat
