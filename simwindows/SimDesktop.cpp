// The simulated desktop: message boxes, windows, mutexes, the shell, the win.ini broadcast and the
// restart.
#include "simwindows/SimState.h"
#include "simwindows/SimWindows.h"

namespace plat {

using Guard = LockGuard;
using State = SimWindows::State;

void SimDesktop::BroadcastIniChange(const char* section, bool notifyOnly) {
    Guard lock(m_.mu_);
    m_.s_->Enter("BroadcastIniChange", {Str(section)});
    m_.s_->broadcasts.push_back(
        {section ? std::optional<std::string>(section) : std::nullopt, notifyOnly});
}

uint32_t SimDesktop::Release(HandleKind kind, uintptr_t value) {
    return m_.ReleaseHandle(kind, value);
}

uint32_t SimDesktop::EnableShutdownPrivilege() {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("EnableShutdownPrivilege")) return e;
    m_.s_->shutdownPrivilege = true;
    return 0;
}

uint32_t SimDesktop::ExitWindows(uint32_t flags, uint32_t reason) {
    (void)reason;
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("ExitWindows")) return e;
    if (!m_.s_->shutdownPrivilege && m_.s_->version.platformId == 2) return sim::PrivilegeNotHeld;
    m_.s_->exitWindows.push_back(flags);
    return 0;
}

int SimDesktop::MessageBox(Window owner, const std::string& text, const std::string& caption,
                           uint32_t flags) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (s.Enter("MessageBox", {text, caption})) return 0;
    sim::MessageBoxCall call{owner, text, caption, flags, 0, s.answers.empty()};
    if (!s.answers.empty()) {
        call.answer = s.answers.front();
        s.answers.erase(s.answers.begin());
    } else {
        call.answer = (flags & 0xF) == mb::YesNo ? s.defaultYesNo : mb::IdOk;
    }
    s.boxes.push_back(call);
    return call.answer;
}

Window SimDesktop::FindWindow(const std::string& title) {
    Guard lock(m_.mu_);
    if (m_.s_->Enter("FindWindow", {title})) return 0;
    for (const auto& w : m_.s_->windows)
        if (w.title == title) return w.handle;
    return 0;
}

void SimDesktop::SetForegroundWindow(Window window) {
    Guard lock(m_.mu_);
    m_.s_->Enter("SetForegroundWindow");
    m_.s_->foreground.push_back(window);
}

bool SimDesktop::IsIconic(Window window) {
    Guard lock(m_.mu_);
    m_.s_->Enter("IsIconic");
    for (const auto& w : m_.s_->windows)
        if (w.handle == window) return w.iconic;
    return false;
}

void SimDesktop::RestoreWindow(Window window) {
    Guard lock(m_.mu_);
    m_.s_->Enter("RestoreWindow");
    m_.s_->restored.push_back(window);
    for (auto& w : m_.s_->windows)
        if (w.handle == window) w.iconic = false;
}

uint32_t SimDesktop::CreateMutex(const std::string& name, bool initialOwner, Mutex& out) {
    (void)initialOwner;
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("CreateMutex", {name})) return e;
    std::string key = Lower(name);
    uint32_t result = 0;
    auto it = s.mutexes.find(key);
    if (it != s.mutexes.end()) {
        result = err::AlreadyExists;
        if (it->second >= 0) ++it->second;
    } else {
        s.mutexes[key] = 1;
    }
    uintptr_t h = s.NewHandle();
    s.mutexHandles[h] = key;
    out = Mutex(this, h);
    return result;
}

intptr_t SimDesktop::ShellOpen(const std::string& file) {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("ShellOpen", {file})) return static_cast<intptr_t>(e);
    m_.s_->shellOpens.push_back(file);
    return m_.s_->shellResult;
}

}  // namespace plat
