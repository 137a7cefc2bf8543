#include "platform/win32/WindowsApi.h"

#include "platform/win32/Win32Windows.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace plat {
namespace {

static_assert(sizeof(OSVERSIONINFOA) == 148, "GetVersionExA takes the 148-byte record");

// The thread's last error after a failed call. A call that failed without
// setting one still must not read as success.
uint32_t Failure() {
    const DWORD e = ::GetLastError();
    return e != 0 ? static_cast<uint32_t>(e) : err::CanNotComplete;
}

uint32_t Result(BOOL ok) { return ok ? err::Success : Failure(); }

// A registry call answers with its error number itself.
uint32_t RegResult(LONG result) { return static_cast<uint32_t>(result); }

HKEY RootKey(Root root) {
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
LPSTR Mutable(const char* text) { return const_cast<LPSTR>(text); }
LPSTR Mutable(const std::string& text) { return const_cast<LPSTR>(text.c_str()); }

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

// A SID in its text form ("S-1-5-32-544"), as ConvertSidToStringSidA gives
// it; formed here because Windows NT 4.0 lacks that function. The 48-bit
// authority is decimal when its top 16 bits are zero, else twelve hex digits.
bool SidText(PSID sid, std::string& out) {
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
bool IsProtected(const std::string& path, DWORD attributes) {
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

class Win32SpoolerLibrary final : public SpoolerLibrary {
public:
    explicit Win32SpoolerLibrary(HMODULE module)
        : module_(module),
          setDefaultPrinter_(ProcAs<SetDefaultPrinterFn>(
              ::GetProcAddress(module, "SetDefaultPrinterA"))),
          deletePrinterDriverEx_(ProcAs<DeletePrinterDriverExFn>(
              ::GetProcAddress(module, "DeletePrinterDriverExA"))) {}
    Win32SpoolerLibrary(const Win32SpoolerLibrary&) = delete;
    Win32SpoolerLibrary& operator=(const Win32SpoolerLibrary&) = delete;
    ~Win32SpoolerLibrary() override { ::FreeLibrary(module_); }

    bool HasSetDefaultPrinter() const override { return setDefaultPrinter_ != nullptr; }
    bool HasDeletePrinterDriverEx() const override { return deletePrinterDriverEx_ != nullptr; }

    uint32_t SetDefaultPrinter(const char* printerName) override {
        if (!setDefaultPrinter_) return err::ProcNotFound;
        return Result(setDefaultPrinter_(printerName));
    }

    uint32_t DeletePrinterDriverEx(const char* server, const char* environment,
                                   const char* driverName, uint32_t deleteFlag,
                                   uint32_t versionFlag) override {
        if (!deletePrinterDriverEx_) return err::ProcNotFound;
        return Result(deletePrinterDriverEx_(Mutable(server), Mutable(environment),
                                             Mutable(driverName), deleteFlag, versionFlag));
    }

private:
    using SetDefaultPrinterFn = BOOL(WINAPI*)(LPCSTR);
    using DeletePrinterDriverExFn = BOOL(WINAPI*)(LPSTR, LPSTR, LPSTR, DWORD, DWORD);

    HMODULE module_;
    SetDefaultPrinterFn setDefaultPrinter_;
    DeletePrinterDriverExFn deletePrinterDriverEx_;
};

class Win32UsbLibrary final : public UsbLibrary {
public:
    explicit Win32UsbLibrary(HMODULE module)
        : module_(module),
          openDeviceX_(ProcAs<OpenDeviceXFn>(::GetProcAddress(module, "OpenDeviceX"))),
          closeDevice_(ProcAs<CloseDeviceFn>(::GetProcAddress(module, "CloseDevice"))),
          uWrite_(ProcAs<UWriteFn>(::GetProcAddress(module, "uWrite"))),
          getPrinterInternalId_(
              ProcAs<GetPrinterInternalIdFn>(::GetProcAddress(module, "GetPrinterInternalID"))) {}
    Win32UsbLibrary(const Win32UsbLibrary&) = delete;
    Win32UsbLibrary& operator=(const Win32UsbLibrary&) = delete;
    ~Win32UsbLibrary() override { ::FreeLibrary(module_); }

    bool Has(std::string_view entryPoint) const override {
        const std::string name(entryPoint);
        return ::GetProcAddress(module_, name.c_str()) != nullptr;
    }

    // A missing entry point answers like an absent device.
    int32_t OpenDeviceX(int32_t index) override {
        return openDeviceX_ ? openDeviceX_(index) : 0;
    }
    void CloseDevice(int32_t handle) override {
        if (closeDevice_) closeDevice_(handle);
    }
    int32_t uWrite(int32_t handle, int32_t reserved, const uint8_t* bytes,
                   int32_t count) override {
        if (!uWrite_) return 0;
        return uWrite_(handle, reserved, const_cast<unsigned char*>(bytes), count);
    }
    int32_t GetPrinterInternalID(int32_t handle) override {
        return getPrinterInternalId_ ? getPrinterInternalId_(handle) : -1;
    }

private:
    using OpenDeviceXFn = int(WINAPI*)(int);
    using CloseDeviceFn = int(WINAPI*)(int);
    using UWriteFn = int(WINAPI*)(int, int, unsigned char*, int);
    using GetPrinterInternalIdFn = int(WINAPI*)(int);

    HMODULE module_;
    OpenDeviceXFn openDeviceX_;
    CloseDeviceFn closeDevice_;
    UWriteFn uWrite_;
    GetPrinterInternalIdFn getPrinterInternalId_;
};

}  // namespace

// ---------------------------------------------------------------- handles

uint32_t Win32Windows::Release(HandleKind kind, uintptr_t value) {
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

// ---------------------------------------------------------------- registry

uint32_t Win32Windows::RegOpenKey(Root root, const std::string& path, RegKey& out) {
    HKEY key = nullptr;
    const uint32_t e = RegResult(::RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_ALL_ACCESS, &key));
    out = e == err::Success ? RegKey(this, Value(key)) : RegKey();
    return e;
}

uint32_t Win32Windows::RegOpenKeyForReading(Root root, const std::string& path, RegKey& out) {
    HKEY key = nullptr;
    const uint32_t e = RegResult(::RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_READ, &key));
    out = e == err::Success ? RegKey(this, Value(key)) : RegKey();
    return e;
}

uint32_t Win32Windows::RegCreateKey(Root root, const std::string& path, RegKey& out) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    const uint32_t e =
        RegResult(::RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, &key, &disposition));
    out = e == err::Success ? RegKey(this, Value(key)) : RegKey();
    return e;
}

uint32_t Win32Windows::RegOpenSubKey(const RegKey& key, const std::string& path, RegKey& out) {
    if (!key) {
        out = RegKey();
        return err::InvalidHandle;
    }
    HKEY sub = nullptr;
    const uint32_t e =
        RegResult(::RegOpenKeyExA(As<HKEY>(key.value()), path.c_str(), 0, KEY_ALL_ACCESS, &sub));
    out = e == err::Success ? RegKey(this, Value(sub)) : RegKey();
    return e;
}

uint32_t Win32Windows::RegQueryValue(const RegKey& key, const std::string& name, uint32_t* type,
                                     std::vector<uint8_t>& data, uint32_t capacity) {
    data.clear();
    if (!key) return err::InvalidHandle;
    // A buffer is always passed: with a null buffer the call would only
    // report the size and succeed.
    std::vector<uint8_t> buffer(std::max<uint32_t>(capacity, 1), 0);
    DWORD size = capacity;
    DWORD valueType = 0;
    const uint32_t e = RegResult(::RegQueryValueExA(As<HKEY>(key.value()), name.c_str(), nullptr,
                                                 type ? &valueType : nullptr, buffer.data(), &size));
    if (type && (e == err::Success || e == err::MoreData)) *type = valueType;
    if (e == err::Success) data.assign(buffer.begin(), buffer.begin() + std::min<DWORD>(size, capacity));
    return e;
}

uint32_t Win32Windows::RegSetValue(const RegKey& key, const std::string& name, uint32_t type,
                                   const void* data, uint32_t size) {
    if (!key) return err::InvalidHandle;
    return RegResult(::RegSetValueExA(As<HKEY>(key.value()), name.c_str(), 0, type,
                                   static_cast<const BYTE*>(data), size));
}

uint32_t Win32Windows::RegEnumValue(const RegKey& key, uint32_t index, std::string& name,
                                    uint32_t nameCapacity) {
    name.clear();
    if (!key) return err::InvalidHandle;
    std::vector<char> buffer(std::max<uint32_t>(nameCapacity, 1), '\0');
    DWORD length = nameCapacity;
    const uint32_t e = RegResult(::RegEnumValueA(As<HKEY>(key.value()), index, buffer.data(), &length,
                                              nullptr, nullptr, nullptr, nullptr));
    if (e == err::Success) name.assign(buffer.data(), std::min<DWORD>(length, nameCapacity));
    return e;
}

uint32_t Win32Windows::RegEnumKey(const RegKey& key, uint32_t index, std::string& name) {
    name.clear();
    if (!key) return err::InvalidHandle;
    char buffer[MAX_PATH + 1] = {};
    const uint32_t e = RegResult(::RegEnumKeyA(As<HKEY>(key.value()), index, buffer, sizeof buffer));
    if (e == err::Success) name = buffer;
    return e;
}

uint32_t Win32Windows::RegDeleteKey(Root root, const std::string& path) {
    return RegResult(::RegDeleteKeyA(RootKey(root), path.c_str()));
}

uint32_t Win32Windows::RegDeleteValue(const RegKey& key, const std::string& name) {
    if (!key) return err::InvalidHandle;
    return RegResult(::RegDeleteValueA(As<HKEY>(key.value()), name.c_str()));
}

// ---------------------------------------------------------------- profile files

std::string Win32Windows::GetPrivateProfileString(const std::string& section,
                                                  const std::string& key, const std::string& def,
                                                  uint32_t size, const std::string& path) {
    const DWORD capacity = std::max<uint32_t>(size, 1);
    std::vector<char> buffer(capacity, '\0');
    const DWORD length = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(),
                                                    buffer.data(), capacity, path.c_str());
    return std::string(buffer.data(), std::min<DWORD>(length, capacity - 1));
}

std::string Win32Windows::GetProfileString(const std::string& section, const std::string& key,
                                           const std::string& def) {
    std::vector<char> buffer(4096, '\0');
    const DWORD length = ::GetProfileStringA(section.c_str(), key.c_str(), def.c_str(),
                                             buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::string(buffer.data(), std::min<size_t>(length, buffer.size() - 1));
}

uint32_t Win32Windows::WriteProfileString(const char* section, const char* key,
                                          const char* value) {
    const BOOL ok = ::WriteProfileStringA(section, key, value);
    // Flushing the cache (all three null) always returns FALSE.
    if (!section && !key && !value) return err::Success;
    return Result(ok);
}

// ---------------------------------------------------------------- files and folders

uint32_t Win32Windows::GetCurrentDirectory(std::string& out, uint32_t capacity) {
    return ReadFolder(out, capacity,
                      [](char* buffer, DWORD size) { return ::GetCurrentDirectoryA(size, buffer); });
}

uint32_t Win32Windows::SetCurrentDirectory(const std::string& path) {
    return Result(::SetCurrentDirectoryA(path.c_str()));
}

uint32_t Win32Windows::GetModuleFileName(std::string& out, uint32_t capacity) {
    out.clear();
    std::vector<char> buffer(std::max<uint32_t>(capacity, 1), '\0');
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), capacity);
    if (capacity == 0) return err::InsufficientBuffer;
    if (length == 0) return Failure();
    if (length >= capacity) {
        // Cut to capacity - 1, as Windows does from Vista on.
        out.assign(buffer.data(), capacity - 1);
        return err::InsufficientBuffer;
    }
    out.assign(buffer.data(), length);
    return err::Success;
}

uint32_t Win32Windows::GetSystemDirectory(std::string& out, uint32_t capacity) {
    return ReadFolder(out, capacity,
                      [](char* buffer, DWORD size) { return ::GetSystemDirectoryA(buffer, size); });
}

uint32_t Win32Windows::GetWindowsDirectory(std::string& out, uint32_t capacity) {
    return ReadFolder(out, capacity,
                      [](char* buffer, DWORD size) { return ::GetWindowsDirectoryA(buffer, size); });
}

uint32_t Win32Windows::GetPrinterDriverDirectory(const char* environment, std::string& out,
                                                 uint32_t capacity) {
    return ReadSpoolerFolder(out, capacity, [environment](BYTE* data, DWORD size, DWORD* needed) {
        return ::GetPrinterDriverDirectoryA(nullptr, Mutable(environment), 1, data, size, needed);
    });
}

uint32_t Win32Windows::GetPrintProcessorDirectory(const char* environment, std::string& out,
                                                  uint32_t capacity) {
    return ReadSpoolerFolder(out, capacity, [environment](BYTE* data, DWORD size, DWORD* needed) {
        return ::GetPrintProcessorDirectoryA(nullptr, Mutable(environment), 1, data, size, needed);
    });
}

uint32_t Win32Windows::CopyFile(const std::string& source, const std::string& target,
                                bool failIfExists) {
    // Windows refuses to overwrite a read-only or hidden file.
    if (!failIfExists && IsProtected(target, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN))
        return err::AccessDenied;
    return Result(::CopyFileA(source.c_str(), target.c_str(), failIfExists ? TRUE : FALSE));
}

uint32_t Win32Windows::GetFileAttributes(const std::string& path, uint32_t& attributes) {
    const DWORD value = ::GetFileAttributesA(path.c_str());
    if (value == INVALID_FILE_ATTRIBUTES) {
        attributes = 0;
        return Failure();
    }
    attributes = value;
    return err::Success;
}

uint32_t Win32Windows::SetFileAttributes(const std::string& path, uint32_t attributes) {
    return Result(::SetFileAttributesA(path.c_str(), attributes));
}

uint32_t Win32Windows::DeleteFile(const std::string& path) {
    return Result(::DeleteFileA(path.c_str()));
}

uint32_t Win32Windows::CreateDirectory(const std::string& path) {
    return Result(::CreateDirectoryA(path.c_str(), nullptr));
}

uint32_t Win32Windows::FindFirstFile(const std::string& pattern, FindHandle& out,
                                     FindData& data) {
    WIN32_FIND_DATAA found{};
    const HANDLE find = ::FindFirstFileA(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        out = FindHandle();
        data = FindData();
        return Failure();
    }
    out = FindHandle(this, Value(find));
    data.name = found.cFileName;
    data.attributes = found.dwFileAttributes;
    return err::Success;
}

uint32_t Win32Windows::FindNextFile(const FindHandle& find, FindData& data) {
    if (!find) return err::InvalidHandle;
    WIN32_FIND_DATAA found{};
    if (!::FindNextFileA(As<HANDLE>(find.value()), &found)) return Failure();
    data.name = found.cFileName;
    data.attributes = found.dwFileAttributes;
    return err::Success;
}

uint32_t Win32Windows::OpenExisting(const std::string& path) {
    const HANDLE file = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failure();
    ::CloseHandle(file);
    return err::Success;
}

uint32_t Win32Windows::ReadFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failure();
    uint32_t e = err::Success;
    char chunk[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
            e = Failure();
            bytes.clear();
            break;
        }
        if (got == 0) break;
        bytes.append(chunk, got);
    }
    ::CloseHandle(file);
    return e;
}

uint32_t Win32Windows::WriteFile(const std::string& path, const std::string& bytes) {
    // Windows refuses to replace a read-only, hidden or system file.
    if (IsProtected(path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
        return err::AccessDenied;
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failure();
    uint32_t e = err::Success;
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD part = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, part, &written, nullptr)) {
            e = Failure();
            break;
        }
        done += written;
    }
    ::CloseHandle(file);
    return e;
}

uint32_t Win32Windows::GetFileVersion(const std::string& path, VersionResource& out) {
    out = VersionResource();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return Failure();
    std::vector<BYTE> block(size, 0);
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return Failure();

    void* value = nullptr;
    UINT length = 0;
    char translationQuery[] = "\\VarFileInfo\\Translation";
    if (!::VerQueryValueA(block.data(), translationQuery, &value, &length) || !value)
        return err::Success;  // a resource without translations holds no strings we read
    const auto* pairs = static_cast<const WORD*>(value);
    for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) {
        const uint16_t language = pairs[i], codePage = pairs[i + 1];
        out.translations.emplace_back(language, codePage);
        char query[64];
        std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\FileVersion", language,
                      codePage);
        void* text = nullptr;
        UINT textLength = 0;
        if (::VerQueryValueA(block.data(), query, &text, &textLength) && text)
            out.strings.emplace_back(query, std::string(static_cast<const char*>(text),
                                                        strnlen(static_cast<const char*>(text),
                                                                textLength)));
    }
    return err::Success;
}

// ---------------------------------------------------------------- spooler

const char* Win32Windows::LocalEnvironment() const {
#ifdef _WIN64
    return "Windows x64";
#else
    return "Windows NT x86";
#endif
}

uint32_t Win32Windows::AddMonitor(const MonitorInfo2& info) {
    MONITOR_INFO_2A record{};
    record.pName = Mutable(info.pName);
    record.pEnvironment = Mutable(info.pEnvironment);
    record.pDLLName = Mutable(info.pDLLName);
    return Result(::AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&record)));
}

uint32_t Win32Windows::DeleteMonitor(const char* environment, const std::string& name) {
    return Result(::DeleteMonitorA(nullptr, Mutable(environment), Mutable(name)));
}

uint32_t Win32Windows::EnumMonitors(std::vector<std::string>& names) {
    return EnumNames<MONITOR_INFO_1A>(names, [](BYTE* data, DWORD size, DWORD* needed,
                                                DWORD* count) {
        return ::EnumMonitorsA(nullptr, 1, data, size, needed, count);
    });
}

uint32_t Win32Windows::AddPrintProcessor(const char* environment, const std::string& pathName,
                                         const std::string& name) {
    return Result(
        ::AddPrintProcessorA(nullptr, Mutable(environment), Mutable(pathName), Mutable(name)));
}

uint32_t Win32Windows::DeletePrintProcessor(const char* environment, const std::string& name) {
    return Result(::DeletePrintProcessorA(nullptr, Mutable(environment), Mutable(name)));
}

uint32_t Win32Windows::EnumPrintProcessors(const char* environment,
                                           std::vector<std::string>& names) {
    return EnumNames<PRINTPROCESSOR_INFO_1A>(
        names, [environment](BYTE* data, DWORD size, DWORD* needed, DWORD* count) {
            return ::EnumPrintProcessorsA(nullptr, Mutable(environment), 1, data, size, needed,
                                          count);
        });
}

uint32_t Win32Windows::AddPrinterDriver(const DriverInfo3& info) {
    DRIVER_INFO_3A record{};
    record.cVersion = info.cVersion;
    record.pName = Mutable(info.pName);
    record.pEnvironment = Mutable(info.pEnvironment);
    record.pDriverPath = Mutable(info.pDriverPath);
    record.pDataFile = Mutable(info.pDataFile);
    record.pConfigFile = Mutable(info.pConfigFile);
    record.pHelpFile = Mutable(info.pHelpFile);
    record.pDependentFiles = Mutable(info.pDependentFiles);
    record.pMonitorName = Mutable(info.pMonitorName);
    record.pDefaultDataType = Mutable(info.pDefaultDataType);
    return Result(::AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&record)));
}

uint32_t Win32Windows::DeletePrinterDriver(const char* server, const char* environment,
                                           const std::string& name) {
    return Result(::DeletePrinterDriverA(Mutable(server), Mutable(environment), Mutable(name)));
}

uint32_t Win32Windows::EnumPrinterDrivers(const char* environment,
                                          std::vector<std::string>& names) {
    return EnumNames<DRIVER_INFO_1A>(
        names, [environment](BYTE* data, DWORD size, DWORD* needed, DWORD* count) {
            return ::EnumPrinterDriversA(nullptr, Mutable(environment), 1, data, size, needed,
                                         count);
        });
}

uint32_t Win32Windows::AddPrinter(const PrinterInfo2& info, Printer& out) {
    out = Printer();
    // A printer without a print processor is refused here: Wine's spooler
    // crashes on it.
    if (!info.pPrintProcessor) return err::InvalidParameter;
    // Wine replaces an existing queue of the same name where Windows refuses
    // with 1802; ask first. A name with a comma would open a job, port or
    // server handle instead of a printer, so only plain names are asked for.
    if (info.pPrinterName && *info.pPrinterName && !std::strchr(info.pPrinterName, ',')) {
        HANDLE existing = nullptr;
        if (::OpenPrinterA(Mutable(info.pPrinterName), &existing, nullptr)) {
            ::ClosePrinter(existing);
            return err::PrinterAlreadyExists;
        }
    }
    PRINTER_INFO_2A record{};
    record.pServerName = Mutable(info.pServerName);
    record.pPrinterName = Mutable(info.pPrinterName);
    record.pShareName = Mutable(info.pShareName);
    record.pPortName = Mutable(info.pPortName);
    record.pDriverName = Mutable(info.pDriverName);
    record.pComment = Mutable(info.pComment);
    record.pLocation = Mutable(info.pLocation);
    record.pDevMode = static_cast<LPDEVMODEA>(info.pDevMode);
    record.pSepFile = Mutable(info.pSepFile);
    record.pPrintProcessor = Mutable(info.pPrintProcessor);
    // Windows takes a missing data type as "RAW"; Wine fails with 87 and
    // leaves half a printer behind, so it is given explicitly.
    record.pDatatype = Mutable(info.pDatatype ? info.pDatatype : "RAW");
    record.pParameters = Mutable(info.pParameters);
    record.pSecurityDescriptor = static_cast<PSECURITY_DESCRIPTOR>(info.pSecurityDescriptor);
    record.Attributes = info.Attributes;
    record.Priority = info.Priority;
    record.DefaultPriority = info.DefaultPriority;
    record.StartTime = info.StartTime;
    record.UntilTime = info.UntilTime;
    record.Status = info.Status;
    record.cJobs = info.cJobs;
    record.AveragePPM = info.AveragePPM;
    const HANDLE printer = ::AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&record));
    if (!printer) return Failure();
    out = Printer(this, Value(printer));
    return err::Success;
}

uint32_t Win32Windows::OpenPrinter(const std::string& name, Printer& out) {
    return OpenPrinterWith(name, PRINTER_ALL_ACCESS, out);
}

uint32_t Win32Windows::OpenPrinterForReading(const std::string& name, Printer& out) {
    return OpenPrinterWith(name, PRINTER_ACCESS_USE, out);
}

uint32_t Win32Windows::OpenPrinterWith(const std::string& name, uint32_t access, Printer& out) {
    out = Printer();
    PRINTER_DEFAULTSA defaults{};
    defaults.DesiredAccess = access;
    HANDLE printer = nullptr;
    if (!::OpenPrinterA(Mutable(name), &printer, &defaults)) return Failure();
    out = Printer(this, Value(printer));
    return err::Success;
}

uint32_t Win32Windows::GetPrinterSize(const Printer& printer, uint32_t& needed) {
    needed = 0;
    if (!printer) return err::InvalidHandle;
    DWORD size = 0;
    ::SetLastError(0);
    const BOOL ok = ::GetPrinterA(As<HANDLE>(printer.value()), 2, nullptr, 0, &size);
    needed = size;
    return ok ? err::Success : Failure();
}

uint32_t Win32Windows::GetPrinter(const Printer& printer, PrinterInfo& out) {
    out = PrinterInfo();
    if (!printer) return err::InvalidHandle;
    std::vector<BYTE> buffer;
    const uint32_t e = ReadSized(buffer, [&](BYTE* data, DWORD size, DWORD* needed) {
        return ::GetPrinterA(As<HANDLE>(printer.value()), 2, data, size, needed);
    });
    if (e != err::Success) return e;
    if (buffer.size() < sizeof(PRINTER_INFO_2A)) return err::CanNotComplete;
    const auto& r = *reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    out.serverName = Text(r.pServerName);
    out.printerName = Text(r.pPrinterName);
    out.shareName = Text(r.pShareName);
    out.portName = Text(r.pPortName);
    out.driverName = Text(r.pDriverName);
    out.comment = Text(r.pComment);
    out.location = Text(r.pLocation);
    out.sepFile = Text(r.pSepFile);
    out.printProcessor = Text(r.pPrintProcessor);
    out.datatype = Text(r.pDatatype);
    out.parameters = Text(r.pParameters);
    out.attributes = r.Attributes;
    out.priority = r.Priority;
    out.defaultPriority = r.DefaultPriority;
    out.startTime = r.StartTime;
    out.untilTime = r.UntilTime;
    out.status = r.Status;
    out.cJobs = r.cJobs;
    out.averagePPM = r.AveragePPM;
    return err::Success;
}

uint32_t Win32Windows::SetPrinter(const Printer& printer, const PrinterInfo& info) {
    if (!printer) return err::InvalidHandle;
    PRINTER_INFO_2A record{};
    // The local spooler reports no server name; an empty one is passed as none.
    record.pServerName = info.serverName.empty() ? nullptr : Mutable(info.serverName);
    record.pPrinterName = Mutable(info.printerName);
    record.pShareName = Mutable(info.shareName);
    record.pPortName = Mutable(info.portName);
    record.pDriverName = Mutable(info.driverName);
    record.pComment = Mutable(info.comment);
    record.pLocation = Mutable(info.location);
    record.pSepFile = Mutable(info.sepFile);
    record.pPrintProcessor = Mutable(info.printProcessor);
    record.pDatatype = Mutable(info.datatype);
    record.pParameters = Mutable(info.parameters);
    record.Attributes = info.attributes;
    record.Priority = info.priority;
    record.DefaultPriority = info.defaultPriority;
    record.StartTime = info.startTime;
    record.UntilTime = info.untilTime;
    record.Status = info.status;
    record.cJobs = info.cJobs;
    record.AveragePPM = info.averagePPM;
    return Result(
        ::SetPrinterA(As<HANDLE>(printer.value()), 2, reinterpret_cast<LPBYTE>(&record), 0));
}

uint32_t Win32Windows::DeletePrinter(const Printer& printer) {
    if (!printer) return err::InvalidHandle;
    return Result(::DeletePrinter(As<HANDLE>(printer.value())));
}

uint32_t Win32Windows::EnumPrinters(std::vector<PrinterInfo5>& printers) {
    printers.clear();
    std::vector<BYTE> buffer;
    DWORD count = 0;
    const uint32_t e = ReadSized(buffer, [&](BYTE* data, DWORD size, DWORD* needed) {
        count = 0;
        return ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 5, data, size, needed, &count);
    });
    if (e != err::Success) return e;
    const auto* records = reinterpret_cast<const PRINTER_INFO_5A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        printers.push_back(
            {Text(records[i].pPrinterName), Text(records[i].pPortName), records[i].Attributes});
    return err::Success;
}

uint32_t Win32Windows::EnumPorts(std::vector<std::string>& names) {
    return EnumNames<PORT_INFO_1A>(names, [](BYTE* data, DWORD size, DWORD* needed,
                                             DWORD* count) {
        return ::EnumPortsA(nullptr, 1, data, size, needed, count);
    });
}

std::unique_ptr<SpoolerLibrary> Win32Windows::LoadSpoolerLibrary(const std::string& name,
                                                                 uint32_t& error) {
    const HMODULE module = ::LoadLibraryA(name.c_str());
    if (!module) {
        error = Failure();
        return nullptr;
    }
    error = err::Success;
    return std::make_unique<Win32SpoolerLibrary>(module);
}

void Win32Windows::BroadcastIniChange(const char* section, bool notifyOnly) {
    const LPARAM lParam = reinterpret_cast<LPARAM>(section);
    if (notifyOnly) {
        ::SendNotifyMessageA(HWND_BROADCAST, WM_WININICHANGE, 0, lParam);
    } else {
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, lParam, SMTO_NORMAL, 1000,
                              &answer);
    }
}

// ---------------------------------------------------------------- services

uint32_t Win32Windows::OpenScManager(ScHandle& out) {
    out = ScHandle();
    const SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    if (!manager) return Failure();
    out = ScHandle(this, Value(manager));
    return err::Success;
}

uint32_t Win32Windows::OpenService(const ScHandle& manager, const std::string& name,
                                   uint32_t access, ScHandle& out) {
    out = ScHandle();
    if (!manager) return err::InvalidHandle;
    const SC_HANDLE service = ::OpenServiceA(As<SC_HANDLE>(manager.value()), name.c_str(), access);
    if (!service) return Failure();
    out = ScHandle(this, Value(service));
    return err::Success;
}

uint32_t Win32Windows::ControlServiceStop(const ScHandle& service) {
    if (!service) return err::InvalidHandle;
    SERVICE_STATUS status{};
    return Result(::ControlService(As<SC_HANDLE>(service.value()), SERVICE_CONTROL_STOP, &status));
}

uint32_t Win32Windows::StartService(const ScHandle& service) {
    if (!service) return err::InvalidHandle;
    return Result(::StartServiceA(As<SC_HANDLE>(service.value()), 0, nullptr));
}

uint32_t Win32Windows::QueryServiceState(const ScHandle& service, uint32_t& state) {
    state = 0;
    if (!service) return err::InvalidHandle;
    SERVICE_STATUS status{};
    if (!::QueryServiceStatus(As<SC_HANDLE>(service.value()), &status)) return Failure();
    state = status.dwCurrentState;
    return err::Success;
}

// ---------------------------------------------------------------- version, token, shutdown

uint32_t Win32Windows::GetVersion(OsVersion& out) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!::GetVersionExA(&info)) return Failure();
    out.platformId = info.dwPlatformId;
    out.major = info.dwMajorVersion;
    out.minor = info.dwMinorVersion;
    out.build = info.dwBuildNumber;
    return err::Success;
}

uint32_t Win32Windows::OpenThreadToken(Token& out) {
    out = Token();
    HANDLE token = nullptr;
    if (!::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, FALSE, &token)) return Failure();
    out = Token(this, Value(token));
    return err::Success;
}

uint32_t Win32Windows::OpenProcessToken(Token& out) {
    out = Token();
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return Failure();
    out = Token(this, Value(token));
    return err::Success;
}

uint32_t Win32Windows::GetTokenGroupsSize(const Token& token, uint32_t& needed) {
    needed = 0;
    if (!token) return err::InvalidHandle;
    DWORD size = 0;
    const BOOL ok = ::GetTokenInformation(As<HANDLE>(token.value()), TokenGroups, nullptr, 0, &size);
    needed = size;
    return ok ? err::Success : Failure();
}

uint32_t Win32Windows::GetTokenGroups(const Token& token, std::vector<std::string>& sids) {
    sids.clear();
    if (!token) return err::InvalidHandle;
    // TOKEN_GROUPS holds pointers: keep the block 8-byte aligned.
    std::vector<uint64_t> block;
    DWORD size = 0;
    bool read = false;
    // The groups can grow between the size query and the read: ask again a
    // few times, and never read a block that was not filled.
    for (int attempt = 0; attempt < 8 && !read; ++attempt) {
        if (::GetTokenInformation(As<HANDLE>(token.value()), TokenGroups,
                                  block.empty() ? nullptr : block.data(),
                                  static_cast<DWORD>(block.size() * sizeof(uint64_t)), &size)) {
            read = true;
            break;
        }
        const uint32_t e = Failure();
        if (e != err::InsufficientBuffer || size <= block.size() * sizeof(uint64_t)) return e;
        block.assign((size + sizeof(uint64_t) - 1) / sizeof(uint64_t), 0);
    }
    if (!read || block.empty()) return err::InsufficientBuffer;
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(block.data());
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
        std::string text;
        if (!SidText(groups->Groups[i].Sid, text)) {
            sids.clear();
            return ERROR_INVALID_SID;
        }
        sids.push_back(std::move(text));
    }
    return err::Success;
}

uint32_t Win32Windows::EnableShutdownPrivilege() {
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

uint32_t Win32Windows::ExitWindows(uint32_t flags, uint32_t reason) {
    return Result(::ExitWindowsEx(flags, reason));
}

// ---------------------------------------------------------------- USB interface library

std::unique_ptr<UsbLibrary> Win32Windows::LoadUsbLibrary(const std::string& name,
                                                         uint32_t& error) {
    const HMODULE module = ::LoadLibraryA(name.c_str());
    if (!module) {
        error = Failure();
        return nullptr;
    }
    error = err::Success;
    return std::make_unique<Win32UsbLibrary>(module);
}

// ---------------------------------------------------------------- clock

void Win32Windows::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

void Win32Windows::GetLocalTime(LocalTime& out) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    out = {now.wYear, now.wMonth, now.wDayOfWeek, now.wDay,
           now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

uint32_t Win32Windows::StartThread(std::function<void()> body, Thread& out) {
    return Thread::Start(std::move(body), out);
}

// ---------------------------------------------------------------- user interface

int Win32Windows::MessageBox(Window owner, const std::string& text, const std::string& caption,
                             uint32_t flags) {
    return ::MessageBoxA(As<HWND>(owner), text.c_str(), caption.c_str(), flags);
}

Window Win32Windows::FindWindow(const std::string& title) {
    return Value(::FindWindowA(nullptr, title.c_str()));
}

void Win32Windows::SetForegroundWindow(Window window) { ::SetForegroundWindow(As<HWND>(window)); }

bool Win32Windows::IsIconic(Window window) { return ::IsIconic(As<HWND>(window)) != FALSE; }

void Win32Windows::RestoreWindow(Window window) { ::ShowWindow(As<HWND>(window), SW_RESTORE); }

uint32_t Win32Windows::CreateMutex(const std::string& name, bool initialOwner, Mutex& out) {
    out = Mutex();
    ::SetLastError(0);
    const HANDLE mutex = ::CreateMutexA(nullptr, initialOwner ? TRUE : FALSE, name.c_str());
    if (!mutex) return Failure();
    const uint32_t e = static_cast<uint32_t>(::GetLastError());
    out = Mutex(this, Value(mutex));
    return e;
}

intptr_t Win32Windows::ShellOpen(const std::string& file) {
    return reinterpret_cast<intptr_t>(
        ::ShellExecuteA(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOW));
}

}  // namespace plat
