// What a run did to Windows, in order: decorators over the areas of a
// plat::Windows that hand every call on and report the calls that change the
// machine (and the waits and message boxes) to a sink, one entry each.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "platform/Services.h"
#include "platform/Spooler.h"
#include "platform/Usb.h"
#include "platform/Windows.h"

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

// The machine with a recording part over each area whose calls change it
// (registry, profile, files, spooler, services, desktop) or that the journal
// shows (the clock's waits, the USB library's writes); the parts share the
// sink and the names of the open handles.
class RecordingWindows final : public plat::Windows {
public:
    // `showPath` turns a path into the form the entries show (for instance a
    // path in the package relative to it).
    RecordingWindows(const plat::Windows& inner, JournalSink& sink,
                     std::function<std::string(const std::string&)> showPath = {});
    RecordingWindows(const RecordingWindows&) = delete;
    RecordingWindows& operator=(const RecordingWindows&) = delete;

    // Used by the parts and the library wrappers.
    void Add(JournalEntry entry);

private:
    struct RegistryPart final : plat::ForwardingRegistry {
        RegistryPart(const plat::Windows& inner, RecordingWindows& r)
            : ForwardingRegistry(inner), r_(r) {}
        uint32_t Release(plat::HandleKind kind, uintptr_t value) override;
        uint32_t RegOpenKey(plat::Root root, const std::string& path, plat::RegKey& out) override;
        uint32_t RegCreateKey(plat::Root root, const std::string& path, plat::RegKey& out) override;
        uint32_t RegOpenSubKey(const plat::RegKey& key, const std::string& path,
                               plat::RegKey& out) override;
        uint32_t RegSetValue(const plat::RegKey& key, const std::string& name, uint32_t type,
                             const void* data, uint32_t size) override;
        uint32_t RegDeleteKey(plat::Root root, const std::string& path) override;
        uint32_t RegDeleteValue(const plat::RegKey& key, const std::string& name) override;
        RecordingWindows& r_;
    };
    struct ProfilePart final : plat::ForwardingProfile {
        ProfilePart(const plat::Windows& inner, RecordingWindows& r)
            : ForwardingProfile(inner), r_(r) {}
        uint32_t WriteProfileString(const char* section, const char* key,
                                    const char* value) override;
        RecordingWindows& r_;
    };
    struct FilesPart final : plat::ForwardingFiles {
        FilesPart(const plat::Windows& inner, RecordingWindows& r)
            : ForwardingFiles(inner), r_(r) {}
        uint32_t CopyFile(const std::string& source, const std::string& target,
                          bool failIfExists) override;
        uint32_t DeleteFile(const std::string& path) override;
        uint32_t CreateDirectory(const std::string& path) override;
        uint32_t WriteFile(const std::string& path, const std::string& bytes) override;
        RecordingWindows& r_;
    };
    struct SpoolerPart final : plat::ForwardingSpooler {
        SpoolerPart(const plat::Windows& inner, RecordingWindows& r)
            : ForwardingSpooler(inner), r_(r) {}
        uint32_t Release(plat::HandleKind kind, uintptr_t value) override;
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
        RecordingWindows& r_;
    };
    struct ServicesPart final : plat::ForwardingServices {
        ServicesPart(const plat::Windows& inner, RecordingWindows& r)
            : ForwardingServices(inner), r_(r) {}
        uint32_t Release(plat::HandleKind kind, uintptr_t value) override;
        uint32_t OpenService(const plat::ScHandle& manager, const std::string& name,
                             uint32_t access, plat::ScHandle& out) override;
        uint32_t ControlServiceStop(const plat::ScHandle& service) override;
        uint32_t StartService(const plat::ScHandle& service) override;
        RecordingWindows& r_;
    };
    struct DesktopPart final : plat::ForwardingDesktop {
        DesktopPart(const plat::Windows& inner, RecordingWindows& r)
            : ForwardingDesktop(inner), r_(r) {}
        void BroadcastIniChange(const char* section, bool notifyOnly) override;
        uint32_t ExitWindows(uint32_t flags, uint32_t reason) override;
        int MessageBox(plat::Window owner, const std::string& text, const std::string& caption,
                       uint32_t flags) override;
        RecordingWindows& r_;
    };
    struct ClockPart final : plat::ForwardingClock {
        ClockPart(const plat::Windows& inner, RecordingWindows& r)
            : ForwardingClock(inner), r_(r) {}
        void Sleep(uint32_t milliseconds) override;
        RecordingWindows& r_;
    };
    struct UsbPart final : plat::Usb {
        UsbPart(const plat::Windows& inner, RecordingWindows& r) : inner_(inner), r_(r) {}
        std::unique_ptr<plat::UsbLibrary> LoadUsbLibrary(const std::string& name,
                                                         uint32_t& error) override;
        plat::Usb& inner_;
        RecordingWindows& r_;
    };

    std::string Show(const std::string& path) const;
    std::string NameOf(uintptr_t handle) const;
    void Remember(uintptr_t handle, std::string name);
    void Forget(uintptr_t handle);

    JournalSink& sink_;
    std::function<std::string(const std::string&)> showPath_;
    mutable plat::Lock mu_;
    // Registry keys by their full path, printers and services by name.
    std::map<uintptr_t, std::string> names_;
    RegistryPart registry_;
    ProfilePart profile_;
    FilesPart files_;
    SpoolerPart spooler_;
    ServicesPart services_;
    DesktopPart desktop_;
    ClockPart clock_;
    UsbPart usb_;
};

}  // namespace qsetup
