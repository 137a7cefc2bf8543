// The testing part of the simulated Windows: fault injection, call counts,
// the answers of message boxes, direct set-up of what the programs only
// meet (the spooler's records, the service, USB printers, other programs'
// windows and mutexes), and read-backs of what the programs did. Test
// targets only link it; the programs carry the machine alone.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simwindows/SimWindows.h"

namespace plat {

namespace sim {

// Fault injection: the named call fails with `error` (`times` times; a
// negative count always), optionally only when one of its text arguments
// contains `whenArgContains` (without regard to case). A call that fails by
// injection changes nothing.
struct Fault {
    std::string call;
    uint32_t error = 0;
    int times = 1;
    std::string whenArgContains;
};

}  // namespace sim

class SimTestWindows final : public SimWindows, private sim::CallHook {
public:
    SimTestWindows();
    ~SimTestWindows() override;

    // ---- fault injection
    void Inject(sim::Fault fault);
    // Shorthand: `call` fails with `error` once (times 1), n times, or always (-1).
    void FailCall(const std::string& call, uint32_t error, int times = 1,
                  const std::string& whenArgContains = {});
    void ClearFaults();
    // How many times a call of the seam was made (injected failures included).
    int CallCount(const std::string& call) const;

    // ---- files and folders
    bool FolderExists(const std::string& path) const;
    // The bytes of a file; nullopt when missing.
    std::optional<std::string> FileText(const std::string& path) const;
    std::optional<uint32_t> Attributes(const std::string& path) const;
    // Names in a folder (files and sub-folders), in listing order.
    std::vector<std::string> ListFolder(const std::string& path) const;
    // Every file of every drive by its full path ("C:\\PKG\\Setup.exe"), with
    // its bytes.
    std::map<std::string, std::string> AllFiles() const;
    // A file in use: a copy onto it and its deletion fail with 32.
    void SetFileInUse(const std::string& path, bool inUse);
    void SetFileVersion(const std::string& path, const VersionResource& version);
    // A version resource with one translation and its FileVersion string.
    static VersionResource MakeVersion(const std::string& fileVersion, uint16_t language = 0x0409,
                                       uint16_t codePage = 0x04b0);

    // ---- registry
    bool KeyExists(Root root, const std::string& path) const;
    // The values of a key in insertion order; empty when the key is missing.
    // (Sub-keys are kept sorted without regard to case, as Windows lists them.)
    std::vector<sim::RegValueDump> DumpValues(Root root, const std::string& path) const;
    // One value as text (see RegValueDump::text); nullopt when missing.
    std::optional<std::string> RegText(Root root, const std::string& path,
                                       const std::string& name) const;
    std::vector<std::string> SubKeys(Root root, const std::string& path) const;
    // Removes a key with everything below it.
    void RemoveKeyTree(Root root, const std::string& path);

    // ---- version, token, shutdown
    void SetProcessGroups(std::vector<std::string> sids);
    // A token of the thread's own (nullopt: none, OpenThreadToken gives 1008).
    void SetThreadGroups(std::optional<std::vector<std::string>> sids);
    bool ShutdownPrivilegeEnabled() const;
    // Flags of each ExitWindows call.
    std::vector<uint32_t> ExitWindowsCalls() const;

    // ---- clock
    std::vector<uint32_t> Sleeps() const;
    void ClearSleeps();
    // The local time the machine's clock shows before any wait (by default
    // Monday 2024-06-03 09:00:00.000); each Sleep moves it on by its length.
    void SetLocalTime(const LocalTime& time);

    // ---- user interface
    // Answers for the next message boxes, in order.
    void QueueAnswer(int answer);
    // The answer of a Yes/No box when the queue is empty (mb::IdNo unless set);
    // any other box answers mb::IdOk.
    void SetDefaultYesNoAnswer(int answer);
    std::vector<sim::MessageBoxCall> MessageBoxes() const;
    void ClearMessageBoxes();
    // A top-level window of another program; returns its handle.
    Window AddWindow(const std::string& title, bool iconic = false);
    void RemoveWindow(Window window);
    std::vector<Window> ForegroundCalls() const;
    std::vector<Window> RestoreCalls() const;
    // A mutex held by another process.
    void OwnMutexElsewhere(const std::string& name);
    bool MutexExists(const std::string& name) const;
    void SetShellOpenResult(intptr_t result);
    std::vector<std::string> ShellOpens() const;

    // ---- spooler
    // Direct set-up, without the spooler's checks.
    void InstallMonitor(const std::string& name, const std::string& environment,
                        const std::string& dll);
    void InstallPrintProcessor(const std::string& environment, const std::string& name,
                               const std::string& dll);
    void InstallDriver(const sim::DriverRecordSim& driver);
    void InstallPrinter(const PrinterInfo& printer);
    std::vector<sim::MonitorRecord> Monitors() const;
    std::vector<sim::ProcessorRecord> Processors() const;
    std::vector<sim::DriverRecordSim> Drivers() const;
    std::vector<PrinterInfo> Printers() const;
    std::optional<PrinterInfo> FindPrinter(const std::string& name) const;
    void SetPrinterJobs(const std::string& name, uint32_t jobs);
    void SetPrinterStatus(const std::string& name, uint32_t status);
    std::string DefaultPrinter() const;
    // The spooler library "winspool.drv": whether it loads and which of its
    // entry points it has.
    void SetSpoolerLibrary(bool loads, bool hasSetDefaultPrinter, bool hasDeletePrinterDriverEx);
    std::vector<sim::BroadcastCall> Broadcasts() const;
    // Loads and frees of the spooler library.
    int SpoolerLibraryLoads() const;
    int SpoolerLibraryFrees() const;
    // Whether the spooler calls fail with 1722 while the "Spooler" service is
    // not running, as they do on Windows (on by default).
    void SetSpoolerApiNeedsService(bool needs);
    // Whether the DLLs of the installed monitors (system folder) and print
    // processors (their folder) are held loaded while the spooler is not
    // stopped, so that a copy onto them or their deletion fails with 32 as on
    // Windows (off by default; SetFileInUse marks single files).
    void SetSpoolerDllsInUse(bool inUse);

    // ---- service control manager
    void SetSpoolerState(uint32_t state);
    uint32_t SpoolerState() const;
    // The spooler starts (StartService succeeds) but never reaches RUNNING.
    void SetSpoolerNeverRuns(bool never);
    // "stop" and "start" for each transition, in order.
    std::vector<std::string> ServiceLog() const;
    void ClearServiceLog();

    // ---- USB interface library "KvUsbInt.dll"
    void DetachUsbPrinter(int index);
    std::optional<int32_t> UsbPrinterId(int index) const;
    // Makes an entry point missing ("OpenDeviceX", "CloseDevice", "uWrite",
    // "GetPrinterInternalID", "GetDescriptor").
    void SetUsbEntryMissing(const std::string& entryPoint, bool missing);
    // What OpenDeviceX answers at an index without a printer: 0 or -1.
    void SetUsbNoDeviceResult(int32_t result);
    void SetUsbReadIdFails(bool fails);
    void SetUsbWriteFails(bool fails);
    // The five code bytes a set-ID command must carry (bytes 1..5); without
    // one, any code is taken.
    void SetUsbSetIdCode(std::optional<std::array<uint8_t, 5>> code);
    std::vector<sim::UsbWrite> UsbWrites() const;
    std::vector<int32_t> UsbCloseCalls() const;
    int UsbLoads() const;
    int UsbFrees() const;

private:
    // Counts the call and answers an injected failure (0: none); under the
    // machine's lock.
    uint32_t Enter(const std::string& call, std::initializer_list<std::string_view> args) override;

    std::vector<sim::Fault> faults_;
    std::map<std::string, int> calls_;
};

}  // namespace plat
