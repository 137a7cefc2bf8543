// The threads and locks of the programs: a thread is a small move-only owner,
// a lock stays where it was made.
//
// On Windows a thread is _beginthreadex + WaitForSingleObject + CloseHandle
// and a lock a CRITICAL_SECTION, so that nothing Windows runs needs the
// MinGW thread library (whose wait calls GetTickCount64, which Windows XP
// and Server 2003 lack). Elsewhere they are std::thread and std::mutex.
// The programs start threads through plat::Windows::StartThread, so that
// the simulated Windows can refuse one.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace plat {

// A joinable thread. Destroying or overwriting a running thread waits for
// its end first.
class Thread {
public:
    Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    Thread(Thread&& other) noexcept;
    Thread& operator=(Thread&& other) noexcept;
    ~Thread();

    // Starts `body` on a new thread (normal priority, default stack). The
    // result is the Win32 error number of the failure, 0 on success.
    static uint32_t Start(std::function<void()> body, Thread& out);

    bool Joinable() const { return impl_ != nullptr; }
    // Waits until the thread has ended and releases it; nothing when no
    // thread is held.
    void Join();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// A lock (BasicLockable, for LockGuard).
class Lock {
public:
    Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    ~Lock();

    void lock();
    void unlock();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// Lets the other threads of the process run (a thread polling in a loop).
void YieldThread();

class LockGuard {
public:
    explicit LockGuard(Lock& lock) : lock_(lock) { lock_.lock(); }
    ~LockGuard() { lock_.unlock(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    Lock& lock_;
};

}  // namespace plat
