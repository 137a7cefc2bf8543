// The clock area of the platform layer: waits, the wall clock, threads.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "platform/Errors.h"
#include "platform/Forwarding.h"
#include "platform/Threads.h"

namespace plat {

// SYSTEMTIME as GetLocalTime fills it: the local wall-clock time.
struct LocalTime {
    uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;  // month 1..12, dayOfWeek 0 = Sunday
    uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

class Clock {
public:
    virtual ~Clock() = default;

    virtual void Sleep(uint32_t milliseconds) = 0;
    // GetLocalTime: the wall clock, for the time stamps of a log. Nothing
    // that waits reads it.
    virtual void GetLocalTime(LocalTime& out) = 0;
    // Starts `body` on a new thread (_beginthreadex on Windows); the Win32
    // error number of a failure, and then no thread was started.
    virtual uint32_t StartThread(std::function<void()> body, Thread& out) = 0;
};

// Hands every call to another clock: the base of a decorator.
class ForwardingClock : public Forwarding<Clock> {
public:
    using Forwarding::Forwarding;

    void Sleep(uint32_t milliseconds) override { inner_.Sleep(milliseconds); }
    void GetLocalTime(LocalTime& out) override { inner_.GetLocalTime(out); }
    uint32_t StartThread(std::function<void()> body, Thread& out) override {
        return inner_.StartThread(std::move(body), out);
    }

};

}  // namespace plat
