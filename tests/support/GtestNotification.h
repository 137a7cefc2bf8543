// GoogleTest's Notification for the Windows builds, which use the Win32
// thread model of MinGW: there is no std::mutex or std::condition_variable,
// which GoogleTest's own Notification needs. GoogleTest only uses it to start
// the threads of its own thread helpers; a flag polled every millisecond
// serves. Force-included into GoogleTest and every test program of those
// builds, with GTEST_HAS_NOTIFICATION_ set.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

namespace testing::internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_.store(true); }
    void WaitForNotification() {
        while (!notified_.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace testing::internal
