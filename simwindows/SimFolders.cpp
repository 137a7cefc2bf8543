// The simulated folders.
#include "simwindows/SimState.h"
#include "simwindows/SimWindows.h"

namespace plat {

using Guard = LockGuard;
using State = SimWindows::State;

uint32_t SimFolders::GetCurrentDirectory(std::string& out, uint32_t capacity) {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("GetCurrentDirectory")) return e;
    return State::Give(m_.s_->currentDir, out, capacity);
}

uint32_t SimFolders::SetCurrentDirectory(const std::string& path) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("SetCurrentDirectory", {path})) return e;
    PathParts pp = s.Parse(path);
    FsNode* node = s.Lookup(pp);
    if (!node) return s.MissingError(pp);
    if (!node->folder) return 267;  // ERROR_DIRECTORY
    std::string full = s.FullPath(pp);
    if (full.size() > 3 && full.back() == '\\') full.pop_back();
    s.currentDir = full;
    return 0;
}

uint32_t SimFolders::GetModuleFileName(std::string& out, uint32_t capacity) {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("GetModuleFileName")) return e;
    if (capacity == 0) return err::InsufficientBuffer;
    // A name that does not fit is cut to capacity - 1 and reported, as from
    // Vista on (and as the Win32 layer answers on every version).
    out = m_.s_->moduleFile.substr(0, std::min<size_t>(m_.s_->moduleFile.size(), capacity - 1));
    return m_.s_->moduleFile.size() + 1 > capacity ? err::InsufficientBuffer : err::Success;
}

uint32_t SimFolders::GetSystemDirectory(std::string& out, uint32_t capacity) {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("GetSystemDirectory")) return e;
    return State::Give(m_.s_->SystemDir(), out, capacity);
}

uint32_t SimFolders::GetWindowsDirectory(std::string& out, uint32_t capacity) {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("GetWindowsDirectory")) return e;
    return State::Give(m_.s_->windowsDir, out, capacity);
}

uint32_t SimFolders::GetPrinterDriverDirectory(const char* environment, std::string& out,
                                               uint32_t capacity) {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("GetPrinterDriverDirectory", {Str(environment)})) return e;
    auto folder = m_.s_->EnvFolder(environment);
    if (!folder) return sim::InvalidEnvironment;
    return State::Give(m_.s_->DriverDir(*folder), out, capacity);
}

uint32_t SimFolders::GetPrintProcessorDirectory(const char* environment, std::string& out,
                                                uint32_t capacity) {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("GetPrintProcessorDirectory", {Str(environment)})) return e;
    auto folder = m_.s_->EnvFolder(environment);
    if (!folder) return sim::InvalidEnvironment;
    return State::Give(m_.s_->ProcessorDir(*folder), out, capacity);
}

}  // namespace plat
