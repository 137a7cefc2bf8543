// Uninstall.ini: which port monitors, print processors and printer drivers
// belong to the package, and which DLL files each monitor and processor
// brings, per Windows version.
//
//   [KVMONITOR]  MonitorNUM, MONITORNAME1..n   fragments of monitor names
//   [KVPROC]     PROCNUM,    PROCNAME1..n      fragments of processor names
//   [KVPRINTER]  PRINTERNUM, PRINTERNAME1..n   fragments of printer driver names
//   [<monitor name without blanks><suffix>]  MonitorPDLLName, MonitorPUIDLLName
//   [<processor name><suffix>]               ProcessorDllName
//
// The file is read anew on every call; nothing is cached. The fill of the
// list reads each list once (MonitorEntries and the like) and matches every
// installed item against it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Windows.h"
#include "uninstall/UninstallState.h"

namespace uninstall {

// The number at the start of a count value, as atoi reads it (leading blanks
// and a sign allowed; no digits give 0), limited to kMaxListEntries.
int32_t ReadCount(const std::string& value);

// More entries than this in one list are not read.
inline constexpr int32_t kMaxListEntries = 99;

struct MonitorDlls {
    std::string monitorDll;  // MonitorPDLLName
    std::string uiDll;       // MonitorPUIDLLName
};

class UninstallIni {
public:
    // Reads the file named by state.iniPath, for state.osClass.
    UninstallIni(plat::Windows& windows, const UninstallState& state)
        : windows_(windows), state_(state) {}

    // The name holds one of the [KVMONITOR] entries (case-sensitive).
    bool IsListedMonitor(const std::string& name) const;
    // Likewise [KVPROC]; never on Windows 98/Me.
    bool IsListedProcessor(const std::string& name) const;
    // The printer's driver name holds one of the [KVPRINTER] entries. A
    // printer that can't be opened or read is not listed.
    bool IsListedPrinter(const std::string& printerName) const;
    // The same against entries read before; no entries: the printer is not
    // even opened.
    bool IsListedPrinter(const std::string& printerName,
                         const std::vector<std::string>& printerEntries) const;

    // The entries of each list as ListEntries reads them: one read for the
    // count and one per entry. Windows 98/Me has no processor entries.
    std::vector<std::string> MonitorEntries() const;
    std::vector<std::string> ProcessorEntries() const;
    std::vector<std::string> PrinterEntries() const;
    // The same test on a driver name.
    bool IsListedDriver(const std::string& driverName) const;

    // The three lists and the entry of one that a name holds first (in entry
    // order); empty when none does.
    enum class List { Monitors, Processors, Drivers };
    std::vector<std::string> Entries(List list) const;
    std::string MatchingEntry(List list, const std::string& name) const;

    // The monitor's section: its name without blanks, then the OS suffix.
    std::string MonitorSection(const std::string& monitorName) const;
    // The monitor's DLL names from its section; "0" for a missing key.
    MonitorDlls MonitorDllNames(const std::string& monitorName) const;
    // The processor's DLL name from its section; "0" for a missing key.
    std::string ProcessorDllName(const std::string& processorName) const;

    // The entries of one list that can match: a missing or empty entry
    // matches nothing and is left out. Entry k is read under the key
    // `entryBase` followed by k in decimal.
    std::vector<std::string> ListEntries(const char* section, const char* countKey,
                                         const char* entryBase) const;

private:
    std::string Read(const std::string& section, const std::string& key,
                     const std::string& def) const;

    plat::Windows& windows_;
    const UninstallState& state_;
};

// The name holds one of the entries (case-sensitive).
bool HoldsEntry(const std::string& name, const std::vector<std::string>& entries);

// A DLL value that names a file to delete: not empty, not beginning with "0",
// and a plain file name (no folder, no drive, no device: IsPlainFileName), so
// that a deletion never leaves the folder it is meant for.
bool NamesDllFile(const std::string& value);

}  // namespace uninstall
