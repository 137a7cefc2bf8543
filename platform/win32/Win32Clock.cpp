// The clock area on the real Win32 API.
#include "platform/win32/Win32Support.h"

#include "platform/win32/Win32Windows.h"

namespace plat {

using namespace w32;

void Win32Clock::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

void Win32Clock::GetLocalTime(LocalTime& out) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    out = {now.wYear, now.wMonth, now.wDayOfWeek, now.wDay,
           now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

uint32_t Win32Clock::StartThread(std::function<void()> body, Thread& out) {
    return Thread::Start(std::move(body), out);
}

}  // namespace plat
