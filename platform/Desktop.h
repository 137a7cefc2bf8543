// The desktop area of the platform layer: message boxes, the windows of
// other programs, named mutexes, the shell, the win.ini broadcast and the
// restart of Windows.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Forwarding.h"
#include "platform/Handles.h"

namespace plat {

namespace mb {
// MessageBox flags and answers.
constexpr uint32_t Ok = 0x0, YesNo = 0x4, IconExclamation = 0x30, IconError = 0x10;
constexpr int IdOk = 1, IdCancel = 2, IdYes = 6, IdNo = 7;
}  // namespace mb

namespace ewx {
constexpr uint32_t Reboot = 0x2;
}

class Desktop : public HandleOwner {
public:
    virtual ~Desktop() = default;

    // MessageBoxA; returns the button pressed (mb::IdOk, IdYes, IdNo).
    virtual int MessageBox(Window owner, const std::string& text, const std::string& caption,
                           uint32_t flags) = 0;
    // FindWindowA(NULL, title): exact, whole-title match.
    virtual Window FindWindow(const std::string& title) = 0;
    virtual void SetForegroundWindow(Window window) = 0;
    virtual bool IsIconic(Window window) = 0;
    virtual void RestoreWindow(Window window) = 0;
    // CreateMutexA. When the mutex existed the handle is still returned and
    // the result is AlreadyExists (183), as GetLastError gives it.
    virtual uint32_t CreateMutex(const std::string& name, bool initialOwner, Mutex& out) = 0;
    // ShellExecuteA(NULL, "open", file, NULL, NULL, SW_SHOW); its result (> 32 success).
    virtual intptr_t ShellOpen(const std::string& file) = 0;
    // WM_WININICHANGE to every top-level window: SendMessageTimeoutA
    // (SMTO_NORMAL, 1000 ms) or, with notifyOnly, SendNotifyMessageA.
    // `section` null passes lParam 0.
    virtual void BroadcastIniChange(const char* section, bool notifyOnly) = 0;
    // Opens the process token with TOKEN_ADJUST_PRIVILEGES, looks up
    // "SeShutdownPrivilege" and enables it.
    virtual uint32_t EnableShutdownPrivilege() = 0;
    virtual uint32_t ExitWindows(uint32_t flags, uint32_t reason) = 0;
};

// Hands every call to another desktop area: the base of a decorator. The
// mutexes the inner one makes are handed out as this one's own.
class ForwardingDesktop : public Forwarding<Desktop> {
public:
    using Forwarding::Forwarding;

    int MessageBox(Window owner, const std::string& text, const std::string& caption,
                   uint32_t flags) override {
        return inner_.MessageBox(owner, text, caption, flags);
    }
    Window FindWindow(const std::string& title) override { return inner_.FindWindow(title); }
    void SetForegroundWindow(Window window) override { inner_.SetForegroundWindow(window); }
    bool IsIconic(Window window) override { return inner_.IsIconic(window); }
    void RestoreWindow(Window window) override { inner_.RestoreWindow(window); }
    uint32_t CreateMutex(const std::string& name, bool initialOwner, Mutex& out) override {
        Mutex inner;
        return Adopt(inner_.CreateMutex(name, initialOwner, inner), this, inner, out);
    }
    intptr_t ShellOpen(const std::string& file) override { return inner_.ShellOpen(file); }
    void BroadcastIniChange(const char* section, bool notifyOnly) override {
        inner_.BroadcastIniChange(section, notifyOnly);
    }
    uint32_t EnableShutdownPrivilege() override { return inner_.EnableShutdownPrivilege(); }
    uint32_t ExitWindows(uint32_t flags, uint32_t reason) override {
        return inner_.ExitWindows(flags, reason);
    }

};

}  // namespace plat
