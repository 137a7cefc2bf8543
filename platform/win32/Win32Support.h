// What the Win32 areas of the platform layer share: the error numbers of a
// failed call, handle values, text pointers and the buffer loops of the
// size-query-then-read calls. Included by the area files only.
#pragma once

#include "platform/win32/WindowsApi.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace plat::w32 {


static_assert(sizeof(OSVERSIONINFOA) == 148, "GetVersionExA takes the 148-byte record");

// The thread's last error after a failed call. A call that failed without
// setting one still must not read as success.
inline uint32_t Failure() {
    const DWORD e = ::GetLastError();
    return e != 0 ? static_cast<uint32_t>(e) : err::CanNotComplete;
}

inline uint32_t Result(BOOL ok) { return ok ? err::Success : Failure(); }

// A registry call answers with its error number itself.
inline uint32_t RegResult(LONG result) { return static_cast<uint32_t>(result); }

inline HKEY RootKey(Root root) {
    switch (root) {
        case Root::LocalMachine: return HKEY_LOCAL_MACHINE;
        case Root::CurrentUser: return HKEY_CURRENT_USER;
        case Root::Users: return HKEY_USERS;
    }
    return nullptr;
}

template <class H>
H As(uintptr_t value) {
    return reinterpret_cast<H>(value);
}

template <class H>
uintptr_t Value(H handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

// The spooler functions take non-const text pointers but do not write them.
inline LPSTR Mutable(const char* text) { return const_cast<LPSTR>(text); }
inline LPSTR Mutable(const std::string& text) { return const_cast<LPSTR>(text.c_str()); }

inline std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

// A SID in its text form ("S-1-5-32-544"), as ConvertSidToStringSidA gives
// it; formed here because Windows NT 4.0 lacks that function. The 48-bit
// authority is decimal when its top 16 bits are zero, else twelve hex digits.
inline bool SidText(PSID sid, std::string& out) {
    if (!sid || !::IsValidSid(sid)) return false;
    const auto* pisid = static_cast<const SID*>(sid);
    const BYTE* a = ::GetSidIdentifierAuthority(sid)->Value;
    char part[32];
    if (a[0] == 0 && a[1] == 0) {
        const unsigned long value = (static_cast<unsigned long>(a[2]) << 24) |
                                    (static_cast<unsigned long>(a[3]) << 16) |
                                    (static_cast<unsigned long>(a[4]) << 8) | a[5];
        std::snprintf(part, sizeof part, "S-%u-%lu", pisid->Revision, value);
    } else {
        std::snprintf(part, sizeof part, "S-%u-0x%02X%02X%02X%02X%02X%02X", pisid->Revision,
                      a[0], a[1], a[2], a[3], a[4], a[5]);
    }
    out = part;
    const BYTE count = *::GetSidSubAuthorityCount(sid);
    for (BYTE i = 0; i < count; ++i) {
        std::snprintf(part, sizeof part, "-%lu",
                      static_cast<unsigned long>(*::GetSidSubAuthority(sid, i)));
        out += part;
    }
    return true;
}

// A typed function pointer from GetProcAddress's result.
template <class Fn>
Fn ProcAs(FARPROC proc) {
    static_assert(sizeof(Fn) == sizeof(FARPROC));
    Fn fn;
    std::memcpy(&fn, &proc, sizeof fn);
    return fn;
}

// Whether an existing file carries one of `attributes`. Windows checks them
// before it replaces a file; Wine leaves that to the host's permissions,
// which do not stop a root user.
inline bool IsProtected(const std::string& path, DWORD attributes) {
    const DWORD found = ::GetFileAttributesA(path.c_str());
    return found != INVALID_FILE_ATTRIBUTES && !(found & FILE_ATTRIBUTE_DIRECTORY) &&
           (found & attributes) != 0;
}

// Reads a folder through a call of the GetCurrentDirectoryA kind: the length
// without terminator when it fits, the needed size when it does not, 0 on
// failure.
template <class Call>
uint32_t ReadFolder(std::string& out, uint32_t capacity, Call call) {
    out.clear();
    std::vector<char> buffer(std::max<uint32_t>(capacity, 1), '\0');
    const DWORD length = call(buffer.data(), static_cast<DWORD>(capacity));
    if (length == 0) return Failure();
    if (length >= capacity) return err::InsufficientBuffer;
    out.assign(buffer.data(), length);
    return err::Success;
}

// Runs a spooler call of the size-query-then-read kind (EnumPrintersA,
// GetPrinterA, ...) until the buffer is large enough. The list may grow
// between the two calls, so a second shortfall asks again.
template <class Call>
uint32_t ReadSized(std::vector<BYTE>& buffer, Call call) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD needed = 0;
        if (call(buffer.empty() ? nullptr : buffer.data(), static_cast<DWORD>(buffer.size()),
                 &needed))
            return err::Success;
        const uint32_t e = Failure();
        if (e != err::InsufficientBuffer || needed <= buffer.size()) return e;
        buffer.assign(needed, 0);
    }
    return err::InsufficientBuffer;
}

// Reads a spooler folder (GetPrinterDriverDirectoryA and its kind). Some
// spoolers, Wine's among them, measure the ANSI buffer in UTF-16 bytes; the
// folder is read into a buffer of the layer's own and the caller's capacity
// is applied here: the text and its terminator must fit.
template <class Call>
uint32_t ReadSpoolerFolder(std::string& out, uint32_t capacity, Call call) {
    out.clear();
    std::vector<BYTE> buffer(2 * (MAX_PATH + 1), 0);
    const uint32_t e = ReadSized(buffer, call);
    if (e != err::Success) return e;
    const char* text = reinterpret_cast<const char*>(buffer.data());
    const size_t length = strnlen(text, buffer.size());
    if (length == buffer.size()) return err::CanNotComplete;  // no terminator
    if (length + 1 > capacity) return err::InsufficientBuffer;
    out.assign(text, length);
    return err::Success;
}

// An enumeration of records whose first field is the name (MONITOR_INFO_1A,
// PORT_INFO_1A, ...).
template <class Record, class Call>
uint32_t EnumNames(std::vector<std::string>& names, Call call) {
    names.clear();
    std::vector<BYTE> buffer;
    DWORD count = 0;
    const uint32_t e = ReadSized(buffer, [&](BYTE* data, DWORD size, DWORD* needed) {
        count = 0;
        return call(data, size, needed, &count);
    });
    if (e != err::Success) return e;
    const auto* records = reinterpret_cast<const Record*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) names.push_back(Text(records[i].pName));
    return err::Success;
}

// LoadLibraryA of `name`, owned by a new `Library` (which frees it); the
// error number of a failed load, and then nothing.
template <class Library, class Interface>
std::unique_ptr<Interface> LoadLibraryAs(const std::string& name, uint32_t& error) {
    const HMODULE module = ::LoadLibraryA(name.c_str());
    if (!module) {
        error = Failure();
        return nullptr;
    }
    error = err::Success;
    return std::make_unique<Library>(module);
}

// Closes a handle of the layer with the matching close function.
inline uint32_t CloseHandleOf(HandleKind kind, uintptr_t value) {
    switch (kind) {
        case HandleKind::RegKey: return RegResult(::RegCloseKey(As<HKEY>(value)));
        case HandleKind::Printer: return Result(::ClosePrinter(As<HANDLE>(value)));
        case HandleKind::Find: return Result(::FindClose(As<HANDLE>(value)));
        case HandleKind::Service: return Result(::CloseServiceHandle(As<SC_HANDLE>(value)));
        case HandleKind::Token:
        case HandleKind::Mutex: return Result(::CloseHandle(As<HANDLE>(value)));
    }
    return err::InvalidHandle;
}

}  // namespace plat::w32
