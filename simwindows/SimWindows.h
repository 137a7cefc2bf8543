// The simulated Windows: an in-memory machine behind the platform areas.
// qsetup runs Setup's code on it for plan, check and the rehearsal before an
// installation; the tests run the core on it.
//
// The machine holds a registry (HKLM, HKCU, HKU), a file system with drive
// letters, the print spooler (monitors, processors, drivers, printers, ports),
// the "Spooler" service, the version, the tokens, the USB interface library,
// the clock and the user-interface services. Every call of an area answers as
// Windows answers, with the same error numbers. The set-up calls below lay a
// machine out; fault injection, call counts and the read-backs of what
// happened are the testing part's (simwindows/testing/SimTestWindows.h).
//
// One lock guards the whole machine: a worker thread may run the core while
// another thread waits on it or reads the records.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace plat {

namespace sim {

// Further Win32 error numbers that only the simulation produces.
constexpr uint32_t KeyDeleted = 1018;             // ERROR_KEY_DELETED
constexpr uint32_t ResourceTypeNotFound = 1813;   // ERROR_RESOURCE_TYPE_NOT_FOUND
constexpr uint32_t InvalidEnvironment = 1805;     // ERROR_INVALID_ENVIRONMENT
constexpr uint32_t DirNotEmpty = 145;             // ERROR_DIR_NOT_EMPTY
constexpr uint32_t InvalidName = 123;             // ERROR_INVALID_NAME
constexpr uint32_t UnknownPrintProcessor = 1798;  // ERROR_UNKNOWN_PRINTPROCESSOR
constexpr uint32_t RpcServerUnavailable = 1722;   // RPC_S_SERVER_UNAVAILABLE
constexpr uint32_t PrivilegeNotHeld = 1314;       // ERROR_PRIVILEGE_NOT_HELD

// The group SID of the local Administrators.
inline constexpr const char* kAdministratorsSid = "S-1-5-32-544";

// A value of the registry as the tests see it.
struct RegValueDump {
    std::string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    // The data as text: REG_SZ without its terminator, REG_DWORD in decimal,
    // anything else as hex bytes.
    std::string text;
};

struct MonitorRecord {
    std::string name, environment, dll;
};

struct ProcessorRecord {
    std::string name, environment, dll;
};

struct DriverRecordSim {
    std::string name, environment;
    uint32_t version = 3;
    // File names as given to AddPrinterDriver (as full paths or bare names).
    std::string driverPath, dataFile, configFile, helpFile, monitorName, defaultDataType;
    std::vector<std::string> dependentFiles;
};

struct MessageBoxCall {
    Window owner = 0;
    std::string text, caption;
    uint32_t flags = 0;
    int answer = 0;
    bool queueWasEmpty = false;  // answered by the default, not the queue
};

struct BroadcastCall {
    std::optional<std::string> section;
    bool notifyOnly = false;
};

struct UsbWrite {
    int32_t deviceIndex = -1;  // the printer written to
    std::vector<uint8_t> bytes;
};

// Where the testing part of the simulation watches the calls: each call of
// an area enters here first, under the machine's lock; a non-zero answer is
// the error the call fails with, changing nothing. The machine alone has
// none and every call goes ahead.
class CallHook {
public:
    virtual uint32_t Enter(const std::string& call,
                           std::initializer_list<std::string_view> args) = 0;

protected:
    ~CallHook() = default;
};

}  // namespace sim

class SimWindows;

// The areas of the simulated Windows; each hands its calls to the machine.
class SimRegistry final : public Registry {
public:
    explicit SimRegistry(SimWindows& machine) : m_(machine) {}
    uint32_t Release(HandleKind kind, uintptr_t value) override;
    uint32_t RegOpenKey(Root root, const std::string& path, RegKey& out) override;
    uint32_t RegCreateKey(Root root, const std::string& path, RegKey& out) override;
    uint32_t RegOpenSubKey(const RegKey& key, const std::string& path, RegKey& out) override;
    uint32_t RegQueryValue(const RegKey& key, const std::string& name, uint32_t* type,
                           std::vector<uint8_t>& data, uint32_t capacity) override;
    uint32_t RegSetValue(const RegKey& key, const std::string& name, uint32_t type,
                         const void* data, uint32_t size) override;
    uint32_t RegEnumValue(const RegKey& key, uint32_t index, std::string& name,
                          uint32_t nameCapacity) override;
    uint32_t RegEnumKey(const RegKey& key, uint32_t index, std::string& name) override;
    uint32_t RegDeleteKey(Root root, const std::string& path) override;
    uint32_t RegDeleteValue(const RegKey& key, const std::string& name) override;

private:
    SimWindows& m_;
};

class SimProfile final : public Profile {
public:
    explicit SimProfile(SimWindows& machine) : m_(machine) {}
    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& def, uint32_t size,
                                        const std::string& path) override;
    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& def) override;
    uint32_t WriteProfileString(const char* section, const char* key, const char* value) override;

private:
    SimWindows& m_;
};

class SimFolders final : public Folders {
public:
    explicit SimFolders(SimWindows& machine) : m_(machine) {}
    uint32_t GetCurrentDirectory(std::string& out, uint32_t capacity) override;
    uint32_t SetCurrentDirectory(const std::string& path) override;
    uint32_t GetModuleFileName(std::string& out, uint32_t capacity) override;
    uint32_t GetSystemDirectory(std::string& out, uint32_t capacity) override;
    uint32_t GetWindowsDirectory(std::string& out, uint32_t capacity) override;
    uint32_t GetPrinterDriverDirectory(const char* environment, std::string& out,
                                       uint32_t capacity) override;
    uint32_t GetPrintProcessorDirectory(const char* environment, std::string& out,
                                        uint32_t capacity) override;

private:
    SimWindows& m_;
};

class SimFiles final : public Files {
public:
    explicit SimFiles(SimWindows& machine) : m_(machine) {}
    uint32_t Release(HandleKind kind, uintptr_t value) override;
    uint32_t CopyFile(const std::string& source, const std::string& target,
                      bool failIfExists) override;
    uint32_t GetFileAttributes(const std::string& path, uint32_t& attributes) override;
    uint32_t SetFileAttributes(const std::string& path, uint32_t attributes) override;
    uint32_t DeleteFile(const std::string& path) override;
    uint32_t CreateDirectory(const std::string& path) override;
    uint32_t FindFirstFile(const std::string& pattern, FindHandle& out, FindData& data) override;
    uint32_t FindNextFile(const FindHandle& find, FindData& data) override;
    uint32_t OpenExisting(const std::string& path) override;
    uint32_t ReadFile(const std::string& path, std::string& bytes) override;
    uint32_t WriteFile(const std::string& path, const std::string& bytes) override;
    uint32_t GetFileVersion(const std::string& path, VersionResource& out) override;

private:
    SimWindows& m_;
};

class SimSpooler final : public Spooler {
public:
    explicit SimSpooler(SimWindows& machine) : m_(machine) {}
    uint32_t Release(HandleKind kind, uintptr_t value) override;
    const char* LocalEnvironment() const override;
    uint32_t AddMonitor(const MonitorInfo2& info) override;
    uint32_t DeleteMonitor(const char* environment, const std::string& name) override;
    uint32_t EnumMonitors(std::vector<std::string>& names) override;
    uint32_t AddPrintProcessor(const char* environment, const std::string& pathName,
                               const std::string& name) override;
    uint32_t DeletePrintProcessor(const char* environment, const std::string& name) override;
    uint32_t EnumPrintProcessors(const char* environment,
                                 std::vector<std::string>& names) override;
    uint32_t AddPrinterDriver(const DriverInfo3& info) override;
    uint32_t DeletePrinterDriver(const char* server, const char* environment,
                                 const std::string& name) override;
    uint32_t EnumPrinterDrivers(const char* environment, std::vector<std::string>& names) override;
    uint32_t AddPrinter(const PrinterInfo2& info, Printer& out) override;
    uint32_t OpenPrinter(const std::string& name, Printer& out) override;
    uint32_t GetPrinterSize(const Printer& printer, uint32_t& needed) override;
    uint32_t GetPrinter(const Printer& printer, PrinterInfo& out) override;
    uint32_t SetPrinter(const Printer& printer, const PrinterInfo& info) override;
    uint32_t DeletePrinter(const Printer& printer) override;
    uint32_t EnumPrinters(std::vector<PrinterInfo5>& printers) override;
    uint32_t EnumPorts(std::vector<std::string>& names) override;
    std::unique_ptr<SpoolerLibrary> LoadSpoolerLibrary(const std::string& name,
                                                       uint32_t& error) override;

private:
    SimWindows& m_;
};

class SimServices final : public Services {
public:
    explicit SimServices(SimWindows& machine) : m_(machine) {}
    uint32_t Release(HandleKind kind, uintptr_t value) override;
    uint32_t OpenScManager(ScHandle& out) override;
    uint32_t OpenService(const ScHandle& manager, const std::string& name, uint32_t access,
                         ScHandle& out) override;
    uint32_t ControlServiceStop(const ScHandle& service) override;
    uint32_t StartService(const ScHandle& service) override;
    uint32_t QueryServiceState(const ScHandle& service, uint32_t& state) override;

private:
    SimWindows& m_;
};

class SimSystem final : public System {
public:
    explicit SimSystem(SimWindows& machine) : m_(machine) {}
    uint32_t Release(HandleKind kind, uintptr_t value) override;
    uint32_t GetVersion(OsVersion& out) override;
    uint32_t OpenThreadToken(Token& out) override;
    uint32_t OpenProcessToken(Token& out) override;
    uint32_t GetTokenGroupsSize(const Token& token, uint32_t& needed) override;
    uint32_t GetTokenGroups(const Token& token, std::vector<std::string>& sids) override;

private:
    SimWindows& m_;
};

class SimClock final : public Clock {
public:
    explicit SimClock(SimWindows& machine) : m_(machine) {}
    void Sleep(uint32_t milliseconds) override;
    void GetLocalTime(LocalTime& out) override;
    uint32_t StartThread(std::function<void()> body, Thread& out) override;

private:
    SimWindows& m_;
};

class SimDesktop final : public Desktop {
public:
    explicit SimDesktop(SimWindows& machine) : m_(machine) {}
    uint32_t Release(HandleKind kind, uintptr_t value) override;
    void BroadcastIniChange(const char* section, bool notifyOnly) override;
    uint32_t EnableShutdownPrivilege() override;
    uint32_t ExitWindows(uint32_t flags, uint32_t reason) override;
    int MessageBox(Window owner, const std::string& text, const std::string& caption,
                   uint32_t flags) override;
    Window FindWindow(const std::string& title) override;
    void SetForegroundWindow(Window window) override;
    bool IsIconic(Window window) override;
    void RestoreWindow(Window window) override;
    uint32_t CreateMutex(const std::string& name, bool initialOwner, Mutex& out) override;
    intptr_t ShellOpen(const std::string& file) override;

private:
    SimWindows& m_;
};

class SimUsb final : public Usb {
public:
    explicit SimUsb(SimWindows& machine) : m_(machine) {}
    std::unique_ptr<UsbLibrary> LoadUsbLibrary(const std::string& name, uint32_t& error) override;

private:
    SimWindows& m_;
};

namespace detail {
// The areas, constructed before the composite takes their addresses.
struct SimAreas {
    explicit SimAreas(SimWindows& machine)
        : registryArea(machine),
          profileArea(machine),
          foldersArea(machine),
          filesArea(machine),
          spoolerArea(machine),
          servicesArea(machine),
          systemArea(machine),
          clockArea(machine),
          desktopArea(machine),
          usbArea(machine) {}
    SimRegistry registryArea;
    SimProfile profileArea;
    SimFolders foldersArea;
    SimFiles filesArea;
    SimSpooler spoolerArea;
    SimServices servicesArea;
    SimSystem systemArea;
    SimClock clockArea;
    SimDesktop desktopArea;
    SimUsb usbArea;
};
}  // namespace detail

class SimWindows : private detail::SimAreas, public Windows {
public:
    SimWindows();
    ~SimWindows() override;
    SimWindows(const SimWindows&) = delete;
    SimWindows& operator=(const SimWindows&) = delete;

    // ================================================================ set-up
    // ---- profile files
    // On: GetPrivateProfileString answers from an index of the file's text,
    // made once for each text, instead of reading the text on every call.
    // The answers are the same; a file read thousands of times (a fuzzed
    // package) costs one reading. Off by default.
    void SetProfileIndexing(bool on);

    // ---- files and folders
    // Creates the file (and every missing folder above it) with these bytes,
    // replacing one that exists whatever its attributes.
    void PutFile(const std::string& path, const std::string& bytes,
                 uint32_t attributes = attr::Archive);
    void PutFolder(const std::string& path);
    bool FileExists(const std::string& path) const;
    // Removes a file or a whole folder tree, whatever its state.
    void RemovePath(const std::string& path);
    // Loads a folder tree of the host into the simulated file system; returns
    // the number of files loaded, -1 when the host folder can't be read.
    // Read-only, nothing below `simPath` can be written, created, deleted or
    // have its attributes changed (access denied), as on a read-only share;
    // copies from it work. The tests' own PutFile and RemovePath still can.
    enum class Mount { ReadWrite, ReadOnly };
    int MountHostFolder(const std::string& hostPath, const std::string& simPath,
                        Mount mount = Mount::ReadWrite);
    // Makes a folder (and everything below it) read-only as a read-only
    // mount is, or writable again.
    void SetReadOnlyMount(const std::string& simPath, bool readOnly);
    void SetModuleFileName(const std::string& path);
    // Sets the current folder, creating it when missing.
    void SetCurrentFolder(const std::string& path);
    // The spooler environment of this machine ("Windows NT x86" by default).
    void SetLocalEnvironment(const std::string& environment);

    // ---- registry
    void PutRegValue(Root root, const std::string& path, const std::string& name, uint32_t type,
                     const std::vector<uint8_t>& data);
    // REG_SZ with its terminator.
    void PutRegString(Root root, const std::string& path, const std::string& name,
                      const std::string& value);
    void PutRegDword(Root root, const std::string& path, const std::string& name,
                     uint32_t value);

    // ---- version, token, shutdown
    void SetVersion(const OsVersion& version);

    // ---- spooler
    // Ports that a monitor DLL offers once its monitor is added.
    void SetMonitorPorts(const std::string& dll, std::vector<std::string> ports);

    // ---- USB interface library "KvUsbInt.dll"
    void SetUsbLibraryPresent(bool present);
    // A printer at a device index 0..7 with its internal ID.
    void AttachUsbPrinter(int index, int32_t internalId);

    // The machine's state; its definition is internal to simwindows/.
    struct State;

private:
    friend class SimRegistry;
    friend class SimProfile;
    friend class SimFolders;
    friend class SimFiles;
    friend class SimSpooler;
    friend class SimServices;
    friend class SimSystem;
    friend class SimClock;
    friend class SimDesktop;
    friend class SimUsb;
    friend class SimSpoolerLibrary;
    friend class SimUsbLibrary;

    friend class SimTestWindows;

    // Watches every call from now on (null: none).
    void SetCallHook(sim::CallHook* hook);
    // Closes a handle of any area.
    uint32_t ReleaseHandle(HandleKind kind, uintptr_t value);

    mutable Lock mu_;
    std::unique_ptr<State> s_;
};

}  // namespace plat
