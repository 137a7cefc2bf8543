// The one seam through which Setup and Uninstall reach Windows: ten areas
// (registry, profile files, folders, files, spooler, services, system,
// clock, desktop, USB library), each an abstract class of its own header.
//
// Every call is shaped after the Win32 call it stands for: ANSI text, and a
// Win32 error number as the result (0 = success; otherwise what GetLastError
// or the registry call would have given). Text outputs are std::string, but
// where the callers rely on a buffer size the size is passed and honoured the
// way Windows honours it (a profile value is cut to size - 1, and so on).
//
// Two implementations: Win32Windows (platform/win32, the real API, Windows
// builds only) and SimWindows (simwindows/, an in-memory machine). The
// contract suite (tests/contract) runs against both and keeps them in step.
//
// plat::Windows holds one object of each area. A function that uses one or
// two areas takes those; one that uses more takes the whole. A decorator
// replaces one area: `win.With(watch)` is `win` with that area swapped.
#pragma once

#include <utility>

#include "platform/Registry.h"
#include "platform/Profile.h"
#include "platform/Folders.h"
#include "platform/Files.h"
#include "platform/Spooler.h"
#include "platform/Services.h"
#include "platform/System.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Usb.h"

namespace plat {

class Windows {
public:
    Windows(Registry& registry, Profile& profile, Folders& folders, Files& files, Spooler& spooler, Services& services, System& system, Clock& clock, Desktop& desktop, Usb& usb)
        : registry_(&registry), profile_(&profile), folders_(&folders), files_(&files), spooler_(&spooler), services_(&services), system_(&system), clock_(&clock), desktop_(&desktop), usb_(&usb) {}
    Windows(const Windows&) = default;
    Windows& operator=(const Windows&) = default;
    virtual ~Windows() = default;

    Registry& registry() const { return *registry_; }
    Profile& profile() const { return *profile_; }
    Folders& folders() const { return *folders_; }
    Files& files() const { return *files_; }
    Spooler& spooler() const { return *spooler_; }
    Services& services() const { return *services_; }
    System& system() const { return *system_; }
    Clock& clock() const { return *clock_; }
    Desktop& desktop() const { return *desktop_; }
    Usb& usb() const { return *usb_; }

    operator Registry&() const { return *registry_; }
    operator Profile&() const { return *profile_; }
    operator Folders&() const { return *folders_; }
    operator Files&() const { return *files_; }
    operator Spooler&() const { return *spooler_; }
    operator Services&() const { return *services_; }
    operator System&() const { return *system_; }
    operator Clock&() const { return *clock_; }
    operator Desktop&() const { return *desktop_; }
    operator Usb&() const { return *usb_; }

    // The same machine with one area replaced.
    Windows With(Registry& registry) const {
        Windows w = *this;
        w.registry_ = &registry;
        return w;
    }
    Windows With(Profile& profile) const {
        Windows w = *this;
        w.profile_ = &profile;
        return w;
    }
    Windows With(Folders& folders) const {
        Windows w = *this;
        w.folders_ = &folders;
        return w;
    }
    Windows With(Files& files) const {
        Windows w = *this;
        w.files_ = &files;
        return w;
    }
    Windows With(Spooler& spooler) const {
        Windows w = *this;
        w.spooler_ = &spooler;
        return w;
    }
    Windows With(Services& services) const {
        Windows w = *this;
        w.services_ = &services;
        return w;
    }
    Windows With(System& system) const {
        Windows w = *this;
        w.system_ = &system;
        return w;
    }
    Windows With(Clock& clock) const {
        Windows w = *this;
        w.clock_ = &clock;
        return w;
    }
    Windows With(Desktop& desktop) const {
        Windows w = *this;
        w.desktop_ = &desktop;
        return w;
    }
    Windows With(Usb& usb) const {
        Windows w = *this;
        w.usb_ = &usb;
        return w;
    }

    // ---- the calls of every area, handed on (while callers move to the areas)
    uint32_t RegOpenKey(Root root, const std::string& path, RegKey& out) { return registry_->RegOpenKey(root, path, out); }
    uint32_t RegOpenKeyForReading(Root root, const std::string& path, RegKey& out) { return registry_->RegOpenKeyForReading(root, path, out); }
    uint32_t RegCreateKey(Root root, const std::string& path, RegKey& out) { return registry_->RegCreateKey(root, path, out); }
    uint32_t RegOpenSubKey(const RegKey& key, const std::string& path, RegKey& out) { return registry_->RegOpenSubKey(key, path, out); }
    uint32_t RegQueryValue(const RegKey& key, const std::string& name, uint32_t* type, std::vector<uint8_t>& data, uint32_t capacity) { return registry_->RegQueryValue(key, name, type, data, capacity); }
    uint32_t RegSetValue(const RegKey& key, const std::string& name, uint32_t type, const void* data, uint32_t size) { return registry_->RegSetValue(key, name, type, data, size); }
    uint32_t RegEnumValue(const RegKey& key, uint32_t index, std::string& name, uint32_t nameCapacity) { return registry_->RegEnumValue(key, index, name, nameCapacity); }
    uint32_t RegEnumKey(const RegKey& key, uint32_t index, std::string& name) { return registry_->RegEnumKey(key, index, name); }
    uint32_t RegDeleteKey(Root root, const std::string& path) { return registry_->RegDeleteKey(root, path); }
    uint32_t RegDeleteValue(const RegKey& key, const std::string& name) { return registry_->RegDeleteValue(key, name); }
    std::string GetPrivateProfileString(const std::string& section, const std::string& key, const std::string& def, uint32_t size, const std::string& path) { return profile_->GetPrivateProfileString(section, key, def, size, path); }
    std::string GetProfileString(const std::string& section, const std::string& key, const std::string& def) { return profile_->GetProfileString(section, key, def); }
    uint32_t WriteProfileString(const char* section, const char* key, const char* value) { return profile_->WriteProfileString(section, key, value); }
    uint32_t GetCurrentDirectory(std::string& out, uint32_t capacity) { return folders_->GetCurrentDirectory(out, capacity); }
    uint32_t SetCurrentDirectory(const std::string& path) { return folders_->SetCurrentDirectory(path); }
    uint32_t GetModuleFileName(std::string& out, uint32_t capacity) { return folders_->GetModuleFileName(out, capacity); }
    uint32_t GetSystemDirectory(std::string& out, uint32_t capacity) { return folders_->GetSystemDirectory(out, capacity); }
    uint32_t GetWindowsDirectory(std::string& out, uint32_t capacity) { return folders_->GetWindowsDirectory(out, capacity); }
    uint32_t GetPrinterDriverDirectory(const char* environment, std::string& out, uint32_t capacity) { return folders_->GetPrinterDriverDirectory(environment, out, capacity); }
    uint32_t GetPrintProcessorDirectory(const char* environment, std::string& out, uint32_t capacity) { return folders_->GetPrintProcessorDirectory(environment, out, capacity); }
    uint32_t CopyFile(const std::string& source, const std::string& target, bool failIfExists) { return files_->CopyFile(source, target, failIfExists); }
    uint32_t GetFileAttributes(const std::string& path, uint32_t& attributes) { return files_->GetFileAttributes(path, attributes); }
    uint32_t SetFileAttributes(const std::string& path, uint32_t attributes) { return files_->SetFileAttributes(path, attributes); }
    uint32_t DeleteFile(const std::string& path) { return files_->DeleteFile(path); }
    uint32_t CreateDirectory(const std::string& path) { return files_->CreateDirectory(path); }
    uint32_t FindFirstFile(const std::string& pattern, FindHandle& out, FindData& data) { return files_->FindFirstFile(pattern, out, data); }
    uint32_t FindNextFile(const FindHandle& find, FindData& data) { return files_->FindNextFile(find, data); }
    uint32_t OpenExisting(const std::string& path) { return files_->OpenExisting(path); }
    uint32_t ReadFile(const std::string& path, std::string& bytes) { return files_->ReadFile(path, bytes); }
    uint32_t WriteFile(const std::string& path, const std::string& bytes) { return files_->WriteFile(path, bytes); }
    uint32_t GetFileVersion(const std::string& path, VersionResource& out) { return files_->GetFileVersion(path, out); }
    const char* LocalEnvironment() const { return spooler_->LocalEnvironment(); }
    uint32_t AddMonitor(const MonitorInfo2& info) { return spooler_->AddMonitor(info); }
    uint32_t DeleteMonitor(const char* environment, const std::string& name) { return spooler_->DeleteMonitor(environment, name); }
    uint32_t EnumMonitors(std::vector<std::string>& names) { return spooler_->EnumMonitors(names); }
    uint32_t AddPrintProcessor(const char* environment, const std::string& pathName, const std::string& name) { return spooler_->AddPrintProcessor(environment, pathName, name); }
    uint32_t DeletePrintProcessor(const char* environment, const std::string& name) { return spooler_->DeletePrintProcessor(environment, name); }
    uint32_t EnumPrintProcessors(const char* environment, std::vector<std::string>& names) { return spooler_->EnumPrintProcessors(environment, names); }
    uint32_t AddPrinterDriver(const DriverInfo3& info) { return spooler_->AddPrinterDriver(info); }
    uint32_t DeletePrinterDriver(const char* server, const char* environment, const std::string& name) { return spooler_->DeletePrinterDriver(server, environment, name); }
    uint32_t EnumPrinterDrivers(const char* environment, std::vector<std::string>& names) { return spooler_->EnumPrinterDrivers(environment, names); }
    uint32_t AddPrinter(const PrinterInfo2& info, Printer& out) { return spooler_->AddPrinter(info, out); }
    uint32_t OpenPrinter(const std::string& name, Printer& out) { return spooler_->OpenPrinter(name, out); }
    uint32_t OpenPrinterForReading(const std::string& name, Printer& out) { return spooler_->OpenPrinterForReading(name, out); }
    uint32_t GetPrinterSize(const Printer& printer, uint32_t& needed) { return spooler_->GetPrinterSize(printer, needed); }
    uint32_t GetPrinter(const Printer& printer, PrinterInfo& out) { return spooler_->GetPrinter(printer, out); }
    uint32_t SetPrinter(const Printer& printer, const PrinterInfo& info) { return spooler_->SetPrinter(printer, info); }
    uint32_t DeletePrinter(const Printer& printer) { return spooler_->DeletePrinter(printer); }
    uint32_t EnumPrinters(std::vector<PrinterInfo5>& printers) { return spooler_->EnumPrinters(printers); }
    uint32_t EnumPorts(std::vector<std::string>& names) { return spooler_->EnumPorts(names); }
    std::unique_ptr<SpoolerLibrary> LoadSpoolerLibrary(const std::string& name, uint32_t& error) { return spooler_->LoadSpoolerLibrary(name, error); }
    uint32_t OpenScManager(ScHandle& out) { return services_->OpenScManager(out); }
    uint32_t OpenService(const ScHandle& manager, const std::string& name, uint32_t access, ScHandle& out) { return services_->OpenService(manager, name, access, out); }
    uint32_t ControlServiceStop(const ScHandle& service) { return services_->ControlServiceStop(service); }
    uint32_t StartService(const ScHandle& service) { return services_->StartService(service); }
    uint32_t QueryServiceState(const ScHandle& service, uint32_t& state) { return services_->QueryServiceState(service, state); }
    uint32_t GetVersion(OsVersion& out) { return system_->GetVersion(out); }
    uint32_t OpenThreadToken(Token& out) { return system_->OpenThreadToken(out); }
    uint32_t OpenProcessToken(Token& out) { return system_->OpenProcessToken(out); }
    uint32_t GetTokenGroupsSize(const Token& token, uint32_t& needed) { return system_->GetTokenGroupsSize(token, needed); }
    uint32_t GetTokenGroups(const Token& token, std::vector<std::string>& sids) { return system_->GetTokenGroups(token, sids); }
    void Sleep(uint32_t milliseconds) { clock_->Sleep(milliseconds); }
    void GetLocalTime(LocalTime& out) { clock_->GetLocalTime(out); }
    uint32_t StartThread(std::function<void()> body, Thread& out) { return clock_->StartThread(std::move(body), out); }
    int MessageBox(Window owner, const std::string& text, const std::string& caption, uint32_t flags) { return desktop_->MessageBox(owner, text, caption, flags); }
    Window FindWindow(const std::string& title) { return desktop_->FindWindow(title); }
    void SetForegroundWindow(Window window) { desktop_->SetForegroundWindow(window); }
    bool IsIconic(Window window) { return desktop_->IsIconic(window); }
    void RestoreWindow(Window window) { desktop_->RestoreWindow(window); }
    uint32_t CreateMutex(const std::string& name, bool initialOwner, Mutex& out) { return desktop_->CreateMutex(name, initialOwner, out); }
    intptr_t ShellOpen(const std::string& file) { return desktop_->ShellOpen(file); }
    void BroadcastIniChange(const char* section, bool notifyOnly) { desktop_->BroadcastIniChange(section, notifyOnly); }
    uint32_t EnableShutdownPrivilege() { return desktop_->EnableShutdownPrivilege(); }
    uint32_t ExitWindows(uint32_t flags, uint32_t reason) { return desktop_->ExitWindows(flags, reason); }
    std::unique_ptr<UsbLibrary> LoadUsbLibrary(const std::string& name, uint32_t& error) { return usb_->LoadUsbLibrary(name, error); }

private:
    Registry* registry_;
    Profile* profile_;
    Folders* folders_;
    Files* files_;
    Spooler* spooler_;
    Services* services_;
    System* system_;
    Clock* clock_;
    Desktop* desktop_;
    Usb* usb_;
};

// A machine with one area replaced by a decorator that it holds: the
// decorator is made first, from the inner machine (which converts to the area
// it decorates) and `args`, and then stands in for that area.
template <class Decorator>
class Decorated : public Decorator, public Windows {
public:
    template <class... Args>
    explicit Decorated(const Windows& inner, Args&&... args)
        : Decorator(inner, std::forward<Args>(args)...),
          Windows(inner.With(static_cast<Decorator&>(*this))) {}
    Decorated(const Decorated&) = delete;
    Decorated& operator=(const Decorated&) = delete;
};

}  // namespace plat
