// What a run did to Windows, in order: a decorator over plat::Windows that
// hands every call on and reports the calls that change the machine (and
// the waits and message boxes) to a sink, one entry each.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/ForwardingWindows.h"

namespace qsetup {

// A text in double quotes, its line breaks written as \n (one line).
std::string QuotedText(const std::string& text);

struct JournalEntry {
    // "wait", "service", "copy", "file", "folder", "monitor", "processor",
    // "driver", "printer", "registry", "profile", "broadcast",
    // "default-printer", "usb", "message", "restart".
    std::string action;
    // Further fields, each with its value as a JSON literal, in order.
    std::vector<std::pair<std::string, std::string>> fields;
    // The entry as one line for people.
    std::string text;
    // The call's Win32 error number; 0 for success.
    uint32_t error = 0;
};

class JournalSink {
public:
    virtual ~JournalSink() = default;
    // Called on the thread that made the call.
    virtual void Record(const JournalEntry& entry) = 0;
};

// Keeps the entries in order.
class Journal final : public JournalSink {
public:
    void Record(const JournalEntry& entry) override;
    std::vector<JournalEntry> Entries() const;

private:
    mutable plat::Lock mu_;
    std::vector<JournalEntry> entries_;
};

class RecordingWindows final : public plat::ForwardingWindows {
public:
    // `showPath` turns a path into the form the entries show (for instance a
    // path in the package relative to it).
    RecordingWindows(plat::Windows& inner, JournalSink& sink,
                     std::function<std::string(const std::string&)> showPath = {});

    uint32_t Release(plat::HandleKind kind, uintptr_t value) override;

    uint32_t RegOpenKey(plat::Root root, const std::string& path, plat::RegKey& out) override;
    uint32_t RegCreateKey(plat::Root root, const std::string& path, plat::RegKey& out) override;
    uint32_t RegOpenSubKey(const plat::RegKey& key, const std::string& path,
                           plat::RegKey& out) override;
    uint32_t RegSetValue(const plat::RegKey& key, const std::string& name, uint32_t type,
                         const void* data, uint32_t size) override;
    uint32_t RegDeleteKey(plat::Root root, const std::string& path) override;
    uint32_t RegDeleteValue(const plat::RegKey& key, const std::string& name) override;
    uint32_t WriteProfileString(const char* section, const char* key, const char* value) override;

    uint32_t CopyFile(const std::string& source, const std::string& target,
                      bool failIfExists) override;
    uint32_t DeleteFile(const std::string& path) override;
    uint32_t CreateDirectory(const std::string& path) override;
    uint32_t WriteFile(const std::string& path, const std::string& bytes) override;

    uint32_t AddMonitor(const plat::MonitorInfo2& info) override;
    uint32_t DeleteMonitor(const char* environment, const std::string& name) override;
    uint32_t AddPrintProcessor(const char* environment, const std::string& pathName,
                               const std::string& name) override;
    uint32_t DeletePrintProcessor(const char* environment, const std::string& name) override;
    uint32_t AddPrinterDriver(const plat::DriverInfo3& info) override;
    uint32_t DeletePrinterDriver(const char* server, const char* environment,
                                 const std::string& name) override;
    uint32_t AddPrinter(const plat::PrinterInfo2& info, plat::Printer& out) override;
    uint32_t OpenPrinter(const std::string& name, plat::Printer& out) override;
    uint32_t SetPrinter(const plat::Printer& printer, const plat::PrinterInfo& info) override;
    uint32_t DeletePrinter(const plat::Printer& printer) override;
    std::unique_ptr<plat::SpoolerLibrary> LoadSpoolerLibrary(const std::string& name,
                                                             uint32_t& error) override;
    void BroadcastIniChange(const char* section, bool notifyOnly) override;

    uint32_t OpenService(const plat::ScHandle& manager, const std::string& name, uint32_t access,
                         plat::ScHandle& out) override;
    uint32_t ControlServiceStop(const plat::ScHandle& service) override;
    uint32_t StartService(const plat::ScHandle& service) override;

    uint32_t ExitWindows(uint32_t flags, uint32_t reason) override;
    std::unique_ptr<plat::UsbLibrary> LoadUsbLibrary(const std::string& name,
                                                     uint32_t& error) override;
    void Sleep(uint32_t milliseconds) override;
    int MessageBox(plat::Window owner, const std::string& text, const std::string& caption,
                   uint32_t flags) override;

    // Used by the library wrappers.
    void Add(JournalEntry entry);

private:
    std::string Show(const std::string& path) const;
    std::string NameOf(uintptr_t handle) const;
    void Remember(uintptr_t handle, std::string name);

    JournalSink& sink_;
    std::function<std::string(const std::string&)> showPath_;
    mutable plat::Lock mu_;
    // Registry keys by their full path, printers and services by name.
    std::map<uintptr_t, std::string> names_;
};

}  // namespace qsetup
