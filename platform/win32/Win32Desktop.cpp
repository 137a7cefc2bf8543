// The desktop area on the real Win32 API.
#include "platform/win32/Win32Support.h"

#include "platform/win32/Win32Windows.h"

namespace plat {

using namespace w32;

uint32_t Win32Desktop::Release(HandleKind kind, uintptr_t value) {
    return CloseHandleOf(kind, value);
}

void Win32Desktop::BroadcastIniChange(const char* section, bool notifyOnly) {
    const LPARAM lParam = reinterpret_cast<LPARAM>(section);
    if (notifyOnly) {
        ::SendNotifyMessageA(HWND_BROADCAST, WM_WININICHANGE, 0, lParam);
    } else {
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, lParam, SMTO_NORMAL, 1000,
                              &answer);
    }
}

uint32_t Win32Desktop::EnableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token))
        return Failure();
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    uint32_t e = err::Success;
    if (!::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
        e = Failure();
    } else {
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        // The call succeeds also when the privilege was not assigned; only the
        // last error (ERROR_NOT_ALL_ASSIGNED) tells.
        ::SetLastError(0);
        if (::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr))
            e = static_cast<uint32_t>(::GetLastError());
        else
            e = Failure();
    }
    ::CloseHandle(token);
    return e;
}

uint32_t Win32Desktop::ExitWindows(uint32_t flags, uint32_t reason) {
    return Result(::ExitWindowsEx(flags, reason));
}

int Win32Desktop::MessageBox(Window owner, const std::string& text, const std::string& caption,
                             uint32_t flags) {
    return ::MessageBoxA(As<HWND>(owner), text.c_str(), caption.c_str(), flags);
}

Window Win32Desktop::FindWindow(const std::string& title) {
    return Value(::FindWindowA(nullptr, title.c_str()));
}

void Win32Desktop::SetForegroundWindow(Window window) { ::SetForegroundWindow(As<HWND>(window)); }

bool Win32Desktop::IsIconic(Window window) { return ::IsIconic(As<HWND>(window)) != FALSE; }

void Win32Desktop::RestoreWindow(Window window) { ::ShowWindow(As<HWND>(window), SW_RESTORE); }

uint32_t Win32Desktop::CreateMutex(const std::string& name, bool initialOwner, Mutex& out) {
    out = Mutex();
    ::SetLastError(0);
    const HANDLE mutex = ::CreateMutexA(nullptr, initialOwner ? TRUE : FALSE, name.c_str());
    if (!mutex) return Failure();
    const uint32_t e = static_cast<uint32_t>(::GetLastError());
    out = Mutex(this, Value(mutex));
    return e;
}

intptr_t Win32Desktop::ShellOpen(const std::string& file) {
    return reinterpret_cast<intptr_t>(
        ::ShellExecuteA(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOW));
}

}  // namespace plat
