// The real Windows behind the platform seam: each call is the ANSI Win32 call
// it stands for, with the Win32 error number as its result. Windows builds
// only. One class per area (platform/win32/Win32<Area>.cpp), and their
// composite. This header does not include <windows.h>, so the core can hold a
// Win32Windows without seeing the Win32 name macros.
#pragma once

#include "platform/Platform.h"

namespace plat {

class Win32Registry final : public Registry {
public:
    uint32_t Release(HandleKind kind, uintptr_t value) override;
    uint32_t RegOpenKey(Root root, const std::string& path, RegKey& out) override;
    uint32_t RegOpenKeyForReading(Root root, const std::string& path, RegKey& out) override;
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
};

class Win32Profile final : public Profile {
public:
    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& def, uint32_t size,
                                        const std::string& path) override;
    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& def) override;
    uint32_t WriteProfileString(const char* section, const char* key,
                                const char* value) override;
};

class Win32Folders final : public Folders {
public:
    uint32_t GetCurrentDirectory(std::string& out, uint32_t capacity) override;
    uint32_t SetCurrentDirectory(const std::string& path) override;
    uint32_t GetModuleFileName(std::string& out, uint32_t capacity) override;
    uint32_t GetSystemDirectory(std::string& out, uint32_t capacity) override;
    uint32_t GetWindowsDirectory(std::string& out, uint32_t capacity) override;
    uint32_t GetPrinterDriverDirectory(const char* environment, std::string& out,
                                       uint32_t capacity) override;
    uint32_t GetPrintProcessorDirectory(const char* environment, std::string& out,
                                        uint32_t capacity) override;
};

class Win32Files final : public Files {
public:
    uint32_t Release(HandleKind kind, uintptr_t value) override;
    uint32_t CopyFile(const std::string& source, const std::string& target,
                      bool failIfExists) override;
    uint32_t GetFileAttributes(const std::string& path, uint32_t& attributes) override;
    uint32_t SetFileAttributes(const std::string& path, uint32_t attributes) override;
    uint32_t DeleteFile(const std::string& path) override;
    uint32_t CreateDirectory(const std::string& path) override;
    uint32_t FindFirstFile(const std::string& pattern, FindHandle& out,
                           FindData& data) override;
    uint32_t FindNextFile(const FindHandle& find, FindData& data) override;
    uint32_t OpenExisting(const std::string& path) override;
    uint32_t ReadFile(const std::string& path, std::string& bytes) override;
    uint32_t WriteFile(const std::string& path, const std::string& bytes) override;
    uint32_t GetFileVersion(const std::string& path, VersionResource& out) override;
};

class Win32Spooler final : public Spooler {
public:
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
    uint32_t EnumPrinterDrivers(const char* environment,
                                std::vector<std::string>& names) override;
    uint32_t AddPrinter(const PrinterInfo2& info, Printer& out) override;
    uint32_t OpenPrinter(const std::string& name, Printer& out) override;
    uint32_t OpenPrinterForReading(const std::string& name, Printer& out) override;
    uint32_t GetPrinterSize(const Printer& printer, uint32_t& needed) override;
    uint32_t GetPrinter(const Printer& printer, PrinterInfo& out) override;
    uint32_t SetPrinter(const Printer& printer, const PrinterInfo& info) override;
    uint32_t DeletePrinter(const Printer& printer) override;
    uint32_t EnumPrinters(std::vector<PrinterInfo5>& printers) override;
    uint32_t EnumPorts(std::vector<std::string>& names) override;
    std::unique_ptr<SpoolerLibrary> LoadSpoolerLibrary(const std::string& name,
                                                       uint32_t& error) override;

private:
    uint32_t OpenPrinterWith(const std::string& name, uint32_t access, Printer& out);
};

class Win32Services final : public Services {
public:
    uint32_t Release(HandleKind kind, uintptr_t value) override;
    uint32_t OpenScManager(ScHandle& out) override;
    uint32_t OpenService(const ScHandle& manager, const std::string& name, uint32_t access,
                         ScHandle& out) override;
    uint32_t ControlServiceStop(const ScHandle& service) override;
    uint32_t StartService(const ScHandle& service) override;
    uint32_t QueryServiceState(const ScHandle& service, uint32_t& state) override;
};

class Win32System final : public System {
public:
    uint32_t Release(HandleKind kind, uintptr_t value) override;
    uint32_t GetVersion(OsVersion& out) override;
    uint32_t OpenThreadToken(Token& out) override;
    uint32_t OpenProcessToken(Token& out) override;
    uint32_t GetTokenGroupsSize(const Token& token, uint32_t& needed) override;
    uint32_t GetTokenGroups(const Token& token, std::vector<std::string>& sids) override;
};

class Win32Clock final : public Clock {
public:
    void Sleep(uint32_t milliseconds) override;
    void GetLocalTime(LocalTime& out) override;
    uint32_t StartThread(std::function<void()> body, Thread& out) override;
};

class Win32Desktop final : public Desktop {
public:
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
};

class Win32Usb final : public Usb {
public:
    std::unique_ptr<UsbLibrary> LoadUsbLibrary(const std::string& name,
                                               uint32_t& error) override;
};

namespace detail {
// The areas, constructed before the composite takes their addresses.
struct Win32Areas {
    Win32Registry registryArea;
    Win32Profile profileArea;
    Win32Folders foldersArea;
    Win32Files filesArea;
    Win32Spooler spoolerArea;
    Win32Services servicesArea;
    Win32System systemArea;
    Win32Clock clockArea;
    Win32Desktop desktopArea;
    Win32Usb usbArea;
};
}  // namespace detail

class Win32Windows final : private detail::Win32Areas, public Windows {
public:
    Win32Windows()
        : Windows(registryArea, profileArea, foldersArea, filesArea, spoolerArea, servicesArea,
                  systemArea, clockArea, desktopArea, usbArea) {}
    Win32Windows(const Win32Windows&) = delete;
    Win32Windows& operator=(const Win32Windows&) = delete;
};

}  // namespace plat
