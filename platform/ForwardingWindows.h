// A plat::Windows that hands every call to another one: the base of the
// decorators that change or watch a few calls and leave the rest alone.
//
// The handles the inner layer opens are handed out as this layer's own, so
// that their release comes through Release here as well (a decorator that
// keeps something per handle sees it go); the value stays the inner one.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace plat {

class ForwardingWindows : public Windows {
public:
    explicit ForwardingWindows(Windows& inner) : inner_(inner) {}

    Windows& Inner() const { return inner_; }

    uint32_t Release(HandleKind kind, uintptr_t value) override {
        return inner_.Release(kind, value);
    }

    uint32_t RegOpenKey(Root root, const std::string& path, RegKey& out) override {
        RegKey inner;
        return Adopt(inner_.RegOpenKey(root, path, inner), inner, out);
    }
    uint32_t RegOpenKeyForReading(Root root, const std::string& path, RegKey& out) override {
        RegKey inner;
        return Adopt(inner_.RegOpenKeyForReading(root, path, inner), inner, out);
    }
    uint32_t RegCreateKey(Root root, const std::string& path, RegKey& out) override {
        RegKey inner;
        return Adopt(inner_.RegCreateKey(root, path, inner), inner, out);
    }
    uint32_t RegOpenSubKey(const RegKey& key, const std::string& path, RegKey& out) override {
        RegKey inner;
        return Adopt(inner_.RegOpenSubKey(key, path, inner), inner, out);
    }
    uint32_t RegQueryValue(const RegKey& key, const std::string& name, uint32_t* type,
                           std::vector<uint8_t>& data, uint32_t capacity) override {
        return inner_.RegQueryValue(key, name, type, data, capacity);
    }
    uint32_t RegSetValue(const RegKey& key, const std::string& name, uint32_t type,
                         const void* data, uint32_t size) override {
        return inner_.RegSetValue(key, name, type, data, size);
    }
    uint32_t RegEnumValue(const RegKey& key, uint32_t index, std::string& name,
                          uint32_t nameCapacity) override {
        return inner_.RegEnumValue(key, index, name, nameCapacity);
    }
    uint32_t RegEnumKey(const RegKey& key, uint32_t index, std::string& name) override {
        return inner_.RegEnumKey(key, index, name);
    }
    uint32_t RegDeleteKey(Root root, const std::string& path) override {
        return inner_.RegDeleteKey(root, path);
    }
    uint32_t RegDeleteValue(const RegKey& key, const std::string& name) override {
        return inner_.RegDeleteValue(key, name);
    }

    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& def, uint32_t size,
                                        const std::string& path) override {
        return inner_.GetPrivateProfileString(section, key, def, size, path);
    }
    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& def) override {
        return inner_.GetProfileString(section, key, def);
    }
    uint32_t WriteProfileString(const char* section, const char* key, const char* value) override {
        return inner_.WriteProfileString(section, key, value);
    }

    uint32_t GetCurrentDirectory(std::string& out, uint32_t capacity) override {
        return inner_.GetCurrentDirectory(out, capacity);
    }
    uint32_t SetCurrentDirectory(const std::string& path) override {
        return inner_.SetCurrentDirectory(path);
    }
    uint32_t GetModuleFileName(std::string& out, uint32_t capacity) override {
        return inner_.GetModuleFileName(out, capacity);
    }
    uint32_t GetSystemDirectory(std::string& out, uint32_t capacity) override {
        return inner_.GetSystemDirectory(out, capacity);
    }
    uint32_t GetWindowsDirectory(std::string& out, uint32_t capacity) override {
        return inner_.GetWindowsDirectory(out, capacity);
    }
    uint32_t GetPrinterDriverDirectory(const char* environment, std::string& out,
                                       uint32_t capacity) override {
        return inner_.GetPrinterDriverDirectory(environment, out, capacity);
    }
    uint32_t GetPrintProcessorDirectory(const char* environment, std::string& out,
                                        uint32_t capacity) override {
        return inner_.GetPrintProcessorDirectory(environment, out, capacity);
    }
    uint32_t CopyFile(const std::string& source, const std::string& target,
                      bool failIfExists) override {
        return inner_.CopyFile(source, target, failIfExists);
    }
    uint32_t GetFileAttributes(const std::string& path, uint32_t& attributes) override {
        return inner_.GetFileAttributes(path, attributes);
    }
    uint32_t SetFileAttributes(const std::string& path, uint32_t attributes) override {
        return inner_.SetFileAttributes(path, attributes);
    }
    uint32_t DeleteFile(const std::string& path) override { return inner_.DeleteFile(path); }
    uint32_t CreateDirectory(const std::string& path) override {
        return inner_.CreateDirectory(path);
    }
    uint32_t FindFirstFile(const std::string& pattern, FindHandle& out, FindData& data) override {
        FindHandle inner;
        return Adopt(inner_.FindFirstFile(pattern, inner, data), inner, out);
    }
    uint32_t FindNextFile(const FindHandle& find, FindData& data) override {
        return inner_.FindNextFile(find, data);
    }
    uint32_t OpenExisting(const std::string& path) override { return inner_.OpenExisting(path); }
    uint32_t ReadFile(const std::string& path, std::string& bytes) override {
        return inner_.ReadFile(path, bytes);
    }
    uint32_t WriteFile(const std::string& path, const std::string& bytes) override {
        return inner_.WriteFile(path, bytes);
    }
    uint32_t GetFileVersion(const std::string& path, VersionResource& out) override {
        return inner_.GetFileVersion(path, out);
    }

    const char* LocalEnvironment() const override { return inner_.LocalEnvironment(); }
    uint32_t AddMonitor(const MonitorInfo2& info) override { return inner_.AddMonitor(info); }
    uint32_t DeleteMonitor(const char* environment, const std::string& name) override {
        return inner_.DeleteMonitor(environment, name);
    }
    uint32_t EnumMonitors(std::vector<std::string>& names) override {
        return inner_.EnumMonitors(names);
    }
    uint32_t AddPrintProcessor(const char* environment, const std::string& pathName,
                               const std::string& name) override {
        return inner_.AddPrintProcessor(environment, pathName, name);
    }
    uint32_t DeletePrintProcessor(const char* environment, const std::string& name) override {
        return inner_.DeletePrintProcessor(environment, name);
    }
    uint32_t EnumPrintProcessors(const char* environment,
                                 std::vector<std::string>& names) override {
        return inner_.EnumPrintProcessors(environment, names);
    }
    uint32_t AddPrinterDriver(const DriverInfo3& info) override {
        return inner_.AddPrinterDriver(info);
    }
    uint32_t DeletePrinterDriver(const char* server, const char* environment,
                                 const std::string& name) override {
        return inner_.DeletePrinterDriver(server, environment, name);
    }
    uint32_t EnumPrinterDrivers(const char* environment, std::vector<std::string>& names) override {
        return inner_.EnumPrinterDrivers(environment, names);
    }
    uint32_t AddPrinter(const PrinterInfo2& info, Printer& out) override {
        Printer inner;
        return Adopt(inner_.AddPrinter(info, inner), inner, out);
    }
    uint32_t OpenPrinter(const std::string& name, Printer& out) override {
        Printer inner;
        return Adopt(inner_.OpenPrinter(name, inner), inner, out);
    }
    uint32_t OpenPrinterForReading(const std::string& name, Printer& out) override {
        Printer inner;
        return Adopt(inner_.OpenPrinterForReading(name, inner), inner, out);
    }
    uint32_t GetPrinterSize(const Printer& printer, uint32_t& needed) override {
        return inner_.GetPrinterSize(printer, needed);
    }
    uint32_t GetPrinter(const Printer& printer, PrinterInfo& out) override {
        return inner_.GetPrinter(printer, out);
    }
    uint32_t SetPrinter(const Printer& printer, const PrinterInfo& info) override {
        return inner_.SetPrinter(printer, info);
    }
    uint32_t DeletePrinter(const Printer& printer) override {
        return inner_.DeletePrinter(printer);
    }
    uint32_t EnumPrinters(std::vector<PrinterInfo5>& printers) override {
        return inner_.EnumPrinters(printers);
    }
    uint32_t EnumPorts(std::vector<std::string>& names) override { return inner_.EnumPorts(names); }
    std::unique_ptr<SpoolerLibrary> LoadSpoolerLibrary(const std::string& name,
                                                       uint32_t& error) override {
        return inner_.LoadSpoolerLibrary(name, error);
    }
    void BroadcastIniChange(const char* section, bool notifyOnly) override {
        inner_.BroadcastIniChange(section, notifyOnly);
    }

    uint32_t OpenScManager(ScHandle& out) override {
        ScHandle inner;
        return Adopt(inner_.OpenScManager(inner), inner, out);
    }
    uint32_t OpenService(const ScHandle& manager, const std::string& name, uint32_t access,
                         ScHandle& out) override {
        ScHandle inner;
        return Adopt(inner_.OpenService(manager, name, access, inner), inner, out);
    }
    uint32_t ControlServiceStop(const ScHandle& service) override {
        return inner_.ControlServiceStop(service);
    }
    uint32_t StartService(const ScHandle& service) override { return inner_.StartService(service); }
    uint32_t QueryServiceState(const ScHandle& service, uint32_t& state) override {
        return inner_.QueryServiceState(service, state);
    }

    uint32_t GetVersion(OsVersion& out) override { return inner_.GetVersion(out); }
    uint32_t OpenThreadToken(Token& out) override {
        Token inner;
        return Adopt(inner_.OpenThreadToken(inner), inner, out);
    }
    uint32_t OpenProcessToken(Token& out) override {
        Token inner;
        return Adopt(inner_.OpenProcessToken(inner), inner, out);
    }
    uint32_t GetTokenGroupsSize(const Token& token, uint32_t& needed) override {
        return inner_.GetTokenGroupsSize(token, needed);
    }
    uint32_t GetTokenGroups(const Token& token, std::vector<std::string>& sids) override {
        return inner_.GetTokenGroups(token, sids);
    }
    uint32_t EnableShutdownPrivilege() override { return inner_.EnableShutdownPrivilege(); }
    uint32_t ExitWindows(uint32_t flags, uint32_t reason) override {
        return inner_.ExitWindows(flags, reason);
    }

    std::unique_ptr<UsbLibrary> LoadUsbLibrary(const std::string& name, uint32_t& error) override {
        return inner_.LoadUsbLibrary(name, error);
    }

    void Sleep(uint32_t milliseconds) override { inner_.Sleep(milliseconds); }
    void GetLocalTime(LocalTime& out) override { inner_.GetLocalTime(out); }
    uint32_t StartThread(std::function<void()> body, Thread& out) override {
        return inner_.StartThread(std::move(body), out);
    }

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
        return Adopt(inner_.CreateMutex(name, initialOwner, inner), inner, out);
    }
    intptr_t ShellOpen(const std::string& file) override { return inner_.ShellOpen(file); }

protected:
    // Hands an inner handle out as this layer's own (an empty one stays empty).
    template <HandleKind K>
    uint32_t Adopt(uint32_t error, Handle<K>& inner, Handle<K>& out) {
        if (inner)
            out = Handle<K>(this, inner.release());
        else
            out = Handle<K>();
        return error;
    }

private:
    Windows& inner_;
};

}  // namespace plat
