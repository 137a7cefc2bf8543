// The simulated clock and threads.
#include "simwindows/SimState.h"
#include "simwindows/SimWindows.h"

namespace plat {

using Guard = LockGuard;
using State = SimWindows::State;

namespace {

// A count of days since 2000-01-01 as a date in the proleptic Gregorian
// calendar (after H. Hinnant's civil-date algorithms).
void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z += 730425;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2);
}

}  // namespace

void SimClock::Sleep(uint32_t milliseconds) {
    {
        Guard lock(m_.mu_);
        m_.s_->Enter("Sleep");
        m_.s_->sleeps.push_back(milliseconds);
        m_.s_->clockMs += milliseconds;
    }
    // A wait returns at once here; let the other threads run, so that a
    // thread polling in a loop of waits can't starve the one it waits for
    // (the machine's lock is not fair on every platform).
    YieldThread();
}

void SimClock::GetLocalTime(LocalTime& out) {
    Guard lock(m_.mu_);
    m_.s_->Enter("GetLocalTime");
    const int64_t ms = m_.s_->clockMs;
    const int64_t days = ms >= 0 ? ms / 86400000 : (ms - 86399999) / 86400000;
    const int64_t rest = ms - days * 86400000;
    int64_t year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    out.year = static_cast<uint16_t>(year);
    out.month = static_cast<uint16_t>(month);
    out.day = static_cast<uint16_t>(day);
    out.dayOfWeek = static_cast<uint16_t>(((days % 7) + 7 + 6) % 7);  // 2000-01-01 was a Saturday
    out.hour = static_cast<uint16_t>(rest / 3600000);
    out.minute = static_cast<uint16_t>(rest / 60000 % 60);
    out.second = static_cast<uint16_t>(rest / 1000 % 60);
    out.milliseconds = static_cast<uint16_t>(rest % 1000);
}

uint32_t SimClock::StartThread(std::function<void()> body, Thread& out) {
    {
        Guard lock(m_.mu_);
        if (uint32_t e = m_.s_->Enter("StartThread")) return e;
    }
    return Thread::Start(std::move(body), out);
}

}  // namespace plat
