// The base of the decorators of the platform's areas: a decorator changes a
// few calls of one area and hands the others to the area it wraps.
#pragma once

#include <cstdint>
#include <type_traits>

#include "platform/Handles.h"

namespace plat {

// The base of a decorator of one area: holds the inner area and, for an area
// that makes handles, hands their release back to it.
template <class Area, bool = std::is_base_of_v<HandleOwner, Area>>
class Forwarding : public Area {
public:
    explicit Forwarding(Area& inner) : inner_(inner) {}
    Area& Inner() const { return inner_; }

protected:
    Area& inner_;
};

template <class Area>
class Forwarding<Area, true> : public Forwarding<Area, false> {
public:
    using Forwarding<Area, false>::Forwarding;
    uint32_t Release(HandleKind kind, uintptr_t value) override {
        return this->inner_.Release(kind, value);
    }
};

}  // namespace plat
