// The one seam through which Setup and Uninstall reach Windows.
//
// Every call is shaped after the Win32 call it stands for: ANSI text, and a
// Win32 error number as the result (0 = success; otherwise what GetLastError
// or the registry call would have given). Text outputs are std::string, but
// where the callers rely on a buffer size the size is passed and honoured the
// way Windows honours it (a profile value is cut to size - 1, and so on).
//
// Two implementations: Win32Windows (platform/win32, the real API, Windows
// builds only) and SimWindows (platform/sim, an in-memory machine with fault
// injection for the native tests). The contract suite (tests/contract) runs
// against both and keeps them in step.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Errors.h"
#include "platform/Threads.h"

namespace plat {

class Windows;

// ---------------------------------------------------------------- handles

enum class HandleKind { RegKey, Printer, Find, Service, Token, Mutex };

// Move-only owner of one open handle of the platform. Releasing it calls the
// matching close function of the platform (RegCloseKey, ClosePrinter,
// FindClose, CloseServiceHandle, CloseHandle).
template <HandleKind K>
class Handle {
public:
    Handle() = default;
    Handle(Windows* owner, uintptr_t value) : owner_(owner), value_(value) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle(Handle&& other) noexcept
        : owner_(std::exchange(other.owner_, nullptr)), value_(std::exchange(other.value_, 0)) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) {
            reset();
            owner_ = std::exchange(other.owner_, nullptr);
            value_ = std::exchange(other.value_, 0);
        }
        return *this;
    }
    ~Handle() { reset(); }

    explicit operator bool() const { return owner_ != nullptr; }
    uintptr_t value() const { return value_; }
    // Closes the handle; returns the close call's error number
    // (InvalidHandle when nothing was held).
    uint32_t reset();
    // Gives up ownership without closing (a mutex held for the process's life).
    uintptr_t release() {
        owner_ = nullptr;
        return std::exchange(value_, 0);
    }

private:
    Windows* owner_ = nullptr;
    uintptr_t value_ = 0;
};

using RegKey = Handle<HandleKind::RegKey>;
using Printer = Handle<HandleKind::Printer>;
using FindHandle = Handle<HandleKind::Find>;
using ScHandle = Handle<HandleKind::Service>;  // manager and service handles alike
using Token = Handle<HandleKind::Token>;
using Mutex = Handle<HandleKind::Mutex>;

// A top-level window; 0 is none.
using Window = uintptr_t;

// ---------------------------------------------------------------- records

enum class Root { LocalMachine, CurrentUser, Users };

namespace regtype {
constexpr uint32_t None = 0, Sz = 1, Binary = 3, Dword = 4;
}

namespace attr {
constexpr uint32_t ReadOnly = 0x1, Hidden = 0x2, System = 0x4, Directory = 0x10, Archive = 0x20,
                   Normal = 0x80;
}

struct FindData {
    std::string name;  // file name only, as cFileName
    uint32_t attributes = 0;
};

// The file version resource as VerQueryValueA sees it.
struct VersionResource {
    // "\VarFileInfo\Translation": (language, code page) pairs in order.
    std::vector<std::pair<uint16_t, uint16_t>> translations;
    // String values by their full query, e.g. "\StringFileInfo\040904b0\FileVersion".
    std::vector<std::pair<std::string, std::string>> strings;
};

// MONITOR_INFO_2A. Null pointers are passed as null.
struct MonitorInfo2 {
    const char* pName = nullptr;
    const char* pEnvironment = nullptr;
    const char* pDLLName = nullptr;
};

// DRIVER_INFO_3A in its published field order. pDependentFiles is a list of
// NUL-terminated names ended by an empty name (or null).
struct DriverInfo3 {
    uint32_t cVersion = 0;
    const char* pName = nullptr;
    const char* pEnvironment = nullptr;
    const char* pDriverPath = nullptr;
    const char* pDataFile = nullptr;
    const char* pConfigFile = nullptr;
    const char* pHelpFile = nullptr;
    const char* pDependentFiles = nullptr;
    const char* pMonitorName = nullptr;
    const char* pDefaultDataType = nullptr;
};

// PRINTER_INFO_2A in its published field order, as handed to AddPrinterA.
struct PrinterInfo2 {
    const char* pServerName = nullptr;
    const char* pPrinterName = nullptr;
    const char* pShareName = nullptr;
    const char* pPortName = nullptr;
    const char* pDriverName = nullptr;
    const char* pComment = nullptr;
    const char* pLocation = nullptr;
    void* pDevMode = nullptr;
    const char* pSepFile = nullptr;
    const char* pPrintProcessor = nullptr;
    const char* pDatatype = nullptr;
    const char* pParameters = nullptr;
    void* pSecurityDescriptor = nullptr;
    uint32_t Attributes = 0;
    uint32_t Priority = 0;
    uint32_t DefaultPriority = 0;
    uint32_t StartTime = 0;
    uint32_t UntilTime = 0;
    uint32_t Status = 0;
    uint32_t cJobs = 0;
    uint32_t AveragePPM = 0;
};

// A printer's level-2 information as GetPrinterA returns it (owned copy).
struct PrinterInfo {
    std::string serverName, printerName, shareName, portName, driverName, comment, location,
        sepFile, printProcessor, datatype, parameters;
    uint32_t attributes = 0, priority = 0, defaultPriority = 0, startTime = 0, untilTime = 0,
             status = 0, cJobs = 0, averagePPM = 0;
};

// PRINTER_INFO_5A, the fields that EnumPrintersA level 5 gives.
struct PrinterInfo5 {
    std::string printerName, portName;
    uint32_t attributes = 0;
};

// SYSTEMTIME as GetLocalTime fills it: the local wall-clock time.
struct LocalTime {
    uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;  // month 1..12, dayOfWeek 0 = Sunday
    uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

struct OsVersion {
    uint32_t platformId = 2;  // 1 = Windows 95/98/Me, 2 = NT
    uint32_t major = 5, minor = 1, build = 2600;
};

namespace printer_attr {
constexpr uint32_t Default = 0x4;
}

namespace svc {
// Service access rights and states used by the spooler control.
constexpr uint32_t QueryStatus = 0x4, Start = 0x10, Stop = 0x20;
constexpr uint32_t Stopped = 1, StartPending = 2, StopPending = 3, Running = 4;
}  // namespace svc

namespace mb {
// MessageBox flags and answers.
constexpr uint32_t Ok = 0x0, YesNo = 0x4, IconExclamation = 0x30, IconError = 0x10;
constexpr int IdOk = 1, IdCancel = 2, IdYes = 6, IdNo = 7;
}  // namespace mb

namespace ewx {
constexpr uint32_t Reboot = 0x2;
}

// ---------------------------------------------------------------- libraries

// The spooler library ("winspool.drv"), with its entry points looked up by
// name. Destroying the object frees the library.
class SpoolerLibrary {
public:
    virtual ~SpoolerLibrary() = default;
    virtual bool HasSetDefaultPrinter() const = 0;
    virtual bool HasDeletePrinterDriverEx() const = 0;
    // SetDefaultPrinterA; a false result gives its error number.
    virtual uint32_t SetDefaultPrinter(const char* printerName) = 0;
    // DeletePrinterDriverExA.
    virtual uint32_t DeletePrinterDriverEx(const char* server, const char* environment,
                                           const char* driverName, uint32_t deleteFlag,
                                           uint32_t versionFlag) = 0;
};

// The printer maker's USB interface library ("KvUsbInt.dll"), loaded by name.
// Its entry points use the standard Windows calling convention. Destroying the
// object frees the library.
class UsbLibrary {
public:
    virtual ~UsbLibrary() = default;
    // Whether GetProcAddress finds the entry point ("OpenDeviceX",
    // "CloseDevice", "uWrite", "GetPrinterInternalID", "GetDescriptor").
    virtual bool Has(std::string_view entryPoint) const = 0;
    virtual int32_t OpenDeviceX(int32_t index) = 0;
    virtual void CloseDevice(int32_t handle) = 0;
    virtual int32_t uWrite(int32_t handle, int32_t reserved, const uint8_t* bytes,
                           int32_t count) = 0;
    virtual int32_t GetPrinterInternalID(int32_t handle) = 0;
};

// ---------------------------------------------------------------- the layer

class Windows {
public:
    virtual ~Windows() = default;

    // Closes any handle of the layer (the Handle owners call it).
    virtual uint32_t Release(HandleKind kind, uintptr_t value) = 0;

    // ---- registry (RegOpenKeyExA etc.; KEY_ALL_ACCESS)
    virtual uint32_t RegOpenKey(Root root, const std::string& path, RegKey& out) = 0;
    // The same with KEY_READ, which a user without administrator rights gets
    // on HKEY_LOCAL_MACHINE (the simulation has no access rights: RegOpenKey).
    virtual uint32_t RegOpenKeyForReading(Root root, const std::string& path, RegKey& out) {
        return RegOpenKey(root, path, out);
    }
    // Creates every missing level; succeeds on an existing key.
    virtual uint32_t RegCreateKey(Root root, const std::string& path, RegKey& out) = 0;
    // Opens a sub-key of an open key (RegOpenKeyExA on a non-root handle).
    virtual uint32_t RegOpenSubKey(const RegKey& key, const std::string& path, RegKey& out) = 0;
    // RegQueryValueExA: up to `capacity` bytes into `data` (resized to what
    // was read). Missing value: FileNotFound; larger than capacity: MoreData.
    virtual uint32_t RegQueryValue(const RegKey& key, const std::string& name, uint32_t* type,
                                   std::vector<uint8_t>& data, uint32_t capacity) = 0;
    virtual uint32_t RegSetValue(const RegKey& key, const std::string& name, uint32_t type,
                                 const void* data, uint32_t size) = 0;
    // RegEnumValueA without data. End: NoMoreItems. A name that does not fit
    // in nameCapacity (terminator included): MoreData.
    virtual uint32_t RegEnumValue(const RegKey& key, uint32_t index, std::string& name,
                                  uint32_t nameCapacity) = 0;
    // RegEnumKeyA. End: NoMoreItems.
    virtual uint32_t RegEnumKey(const RegKey& key, uint32_t index, std::string& name) = 0;
    // RegDeleteKeyA: deletes a key without sub-keys.
    virtual uint32_t RegDeleteKey(Root root, const std::string& path) = 0;
    virtual uint32_t RegDeleteValue(const RegKey& key, const std::string& name) = 0;

    // ---- profile files
    // GetPrivateProfileStringA with a non-null section and key: the value,
    // cut to size - 1 characters; `def` when the file, section or key is missing.
    virtual std::string GetPrivateProfileString(const std::string& section,
                                                const std::string& key, const std::string& def,
                                                uint32_t size, const std::string& path) = 0;
    // GetProfileStringA / WriteProfileStringA on win.ini. Null arguments are
    // passed as null (all three null flushes the profile cache).
    virtual std::string GetProfileString(const std::string& section, const std::string& key,
                                         const std::string& def) = 0;
    virtual uint32_t WriteProfileString(const char* section, const char* key,
                                        const char* value) = 0;

    // ---- files and folders
    // The folder reads fail with InsufficientBuffer when the text and its
    // terminator do not fit in `capacity`.
    virtual uint32_t GetCurrentDirectory(std::string& out, uint32_t capacity) = 0;
    virtual uint32_t SetCurrentDirectory(const std::string& path) = 0;
    // GetModuleFileNameA of the running program; cut to capacity - 1.
    virtual uint32_t GetModuleFileName(std::string& out, uint32_t capacity) = 0;
    virtual uint32_t GetSystemDirectory(std::string& out, uint32_t capacity) = 0;
    virtual uint32_t GetWindowsDirectory(std::string& out, uint32_t capacity) = 0;
    // Local machine, level 1; environment null means the local one.
    virtual uint32_t GetPrinterDriverDirectory(const char* environment, std::string& out,
                                               uint32_t capacity) = 0;
    virtual uint32_t GetPrintProcessorDirectory(const char* environment, std::string& out,
                                                uint32_t capacity) = 0;
    virtual uint32_t CopyFile(const std::string& source, const std::string& target,
                              bool failIfExists) = 0;
    virtual uint32_t GetFileAttributes(const std::string& path, uint32_t& attributes) = 0;
    virtual uint32_t SetFileAttributes(const std::string& path, uint32_t attributes) = 0;
    virtual uint32_t DeleteFile(const std::string& path) = 0;
    virtual uint32_t CreateDirectory(const std::string& path) = 0;
    // FindFirstFileA / FindNextFileA. End of a listing: NoMoreFiles.
    virtual uint32_t FindFirstFile(const std::string& pattern, FindHandle& out,
                                   FindData& data) = 0;
    virtual uint32_t FindNextFile(const FindHandle& find, FindData& data) = 0;
    // CreateFileA with no access, read and write sharing, OPEN_EXISTING; the
    // handle is closed at once. Success means the file exists and can be opened.
    virtual uint32_t OpenExisting(const std::string& path) = 0;
    // Whole-file read and write (test set-up, state files of the stand-ins).
    virtual uint32_t ReadFile(const std::string& path, std::string& bytes) = 0;
    virtual uint32_t WriteFile(const std::string& path, const std::string& bytes) = 0;
    // GetFileVersionInfoSizeA + GetFileVersionInfoA + VerQueryValueA. A file
    // without a version resource gives ResourceTypeNotFound-like errors (non-zero).
    virtual uint32_t GetFileVersion(const std::string& path, VersionResource& out) = 0;

    // ---- spooler (local machine)
    // The spooler environment of this machine and build: "Windows NT x86" for
    // a 32-bit program, "Windows x64" for a 64-bit one.
    virtual const char* LocalEnvironment() const = 0;
    virtual uint32_t AddMonitor(const MonitorInfo2& info) = 0;
    virtual uint32_t DeleteMonitor(const char* environment, const std::string& name) = 0;
    virtual uint32_t EnumMonitors(std::vector<std::string>& names) = 0;
    virtual uint32_t AddPrintProcessor(const char* environment, const std::string& pathName,
                                       const std::string& name) = 0;
    virtual uint32_t DeletePrintProcessor(const char* environment, const std::string& name) = 0;
    virtual uint32_t EnumPrintProcessors(const char* environment,
                                         std::vector<std::string>& names) = 0;
    virtual uint32_t AddPrinterDriver(const DriverInfo3& info) = 0;
    virtual uint32_t DeletePrinterDriver(const char* server, const char* environment,
                                         const std::string& name) = 0;
    virtual uint32_t EnumPrinterDrivers(const char* environment,
                                        std::vector<std::string>& names) = 0;
    // AddPrinterA level 2; the returned handle is open.
    virtual uint32_t AddPrinter(const PrinterInfo2& info, Printer& out) = 0;
    // OpenPrinterA with PRINTER_ALL_ACCESS and no defaults.
    virtual uint32_t OpenPrinter(const std::string& name, Printer& out) = 0;
    // The same with PRINTER_ACCESS_USE, enough for GetPrinter level 2 without
    // administrator rights (the simulation: OpenPrinter).
    virtual uint32_t OpenPrinterForReading(const std::string& name, Printer& out) {
        return OpenPrinter(name, out);
    }
    // GetPrinterA level 2 with an empty buffer: InsufficientBuffer and the
    // needed size, as Windows answers.
    virtual uint32_t GetPrinterSize(const Printer& printer, uint32_t& needed) = 0;
    virtual uint32_t GetPrinter(const Printer& printer, PrinterInfo& out) = 0;
    // SetPrinterA level 2, command 0.
    virtual uint32_t SetPrinter(const Printer& printer, const PrinterInfo& info) = 0;
    virtual uint32_t DeletePrinter(const Printer& printer) = 0;
    // EnumPrintersA, PRINTER_ENUM_LOCAL, level 5.
    virtual uint32_t EnumPrinters(std::vector<PrinterInfo5>& printers) = 0;
    // EnumPortsA level 1.
    virtual uint32_t EnumPorts(std::vector<std::string>& names) = 0;
    // LoadLibraryA of the spooler library by name.
    virtual std::unique_ptr<SpoolerLibrary> LoadSpoolerLibrary(const std::string& name,
                                                               uint32_t& error) = 0;
    // WM_WININICHANGE to every top-level window: SendMessageTimeoutA
    // (SMTO_NORMAL, 1000 ms) or, with notifyOnly, SendNotifyMessageA.
    // `section` null passes lParam 0.
    virtual void BroadcastIniChange(const char* section, bool notifyOnly) = 0;

    // ---- service control manager
    virtual uint32_t OpenScManager(ScHandle& out) = 0;
    virtual uint32_t OpenService(const ScHandle& manager, const std::string& name,
                                 uint32_t access, ScHandle& out) = 0;
    virtual uint32_t ControlServiceStop(const ScHandle& service) = 0;
    virtual uint32_t StartService(const ScHandle& service) = 0;
    virtual uint32_t QueryServiceState(const ScHandle& service, uint32_t& state) = 0;

    // ---- version, token, shutdown
    // GetVersionExA with the 148-byte record.
    virtual uint32_t GetVersion(OsVersion& out) = 0;
    // OpenThreadToken (open-as-self false) / OpenProcessToken, TOKEN_QUERY.
    // A thread without a token of its own gives NoToken.
    virtual uint32_t OpenThreadToken(Token& out) = 0;
    virtual uint32_t OpenProcessToken(Token& out) = 0;
    // GetTokenInformation(TokenGroups) with a null buffer: InsufficientBuffer
    // and the needed size.
    virtual uint32_t GetTokenGroupsSize(const Token& token, uint32_t& needed) = 0;
    // The group SIDs in token order, in string form ("S-1-5-32-544").
    virtual uint32_t GetTokenGroups(const Token& token, std::vector<std::string>& sids) = 0;
    // Opens the process token with TOKEN_ADJUST_PRIVILEGES, looks up
    // "SeShutdownPrivilege" and enables it.
    virtual uint32_t EnableShutdownPrivilege() = 0;
    virtual uint32_t ExitWindows(uint32_t flags, uint32_t reason) = 0;

    // ---- USB interface library
    virtual std::unique_ptr<UsbLibrary> LoadUsbLibrary(const std::string& name,
                                                       uint32_t& error) = 0;

    // ---- clock and threads
    virtual void Sleep(uint32_t milliseconds) = 0;
    // GetLocalTime: the wall clock, for the time stamps of a log. Nothing
    // that waits reads it.
    virtual void GetLocalTime(LocalTime& out) = 0;
    // Starts `body` on a new thread (_beginthreadex on Windows); the Win32
    // error number of a failure, and then no thread was started.
    virtual uint32_t StartThread(std::function<void()> body, Thread& out) = 0;

    // ---- user-interface services
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
};

template <HandleKind K>
uint32_t Handle<K>::reset() {
    if (!owner_) return err::InvalidHandle;
    Windows* owner = std::exchange(owner_, nullptr);
    return owner->Release(K, std::exchange(value_, 0));
}

}  // namespace plat
