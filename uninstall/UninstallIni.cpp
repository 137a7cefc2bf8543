#include "uninstall/UninstallIni.h"

#include "common/FileNames.h"
#include "common/WindowsVersions.h"
#include "platform/Profile.h"
#include "platform/Spooler.h"
#include "uninstall/Printers.h"

namespace uninstall {

namespace {

// Values longer than this are taken as damaged and read as missing; names,
// fragments and file names are far shorter.
constexpr uint32_t kValueCapacity = 1024;

}  // namespace

int32_t ReadCount(const std::string& value) {
    size_t i = 0;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    long long n = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        n = n * 10 + (value[i] - '0');
        if (n > kMaxListEntries) break;  // no need to read further
    }
    if (negative || n <= 0) return 0;
    return n > kMaxListEntries ? kMaxListEntries : static_cast<int32_t>(n);
}

std::string UninstallIni::Read(const std::string& section, const std::string& key,
                               const std::string& def) const {
    std::string value = windows_.profile().GetPrivateProfileString(section, key, def,
                                                                   kValueCapacity, state_.iniPath);
    // A value that filled the buffer was cut: it is not the file's value.
    if (value.size() >= kValueCapacity - 1) return def;
    return value;
}

std::vector<std::string> UninstallIni::ListEntries(const char* section, const char* countKey,
                                                   const char* entryBase) const {
    std::vector<std::string> entries;
    const int32_t count = ReadCount(Read(section, countKey, "0"));
    for (int32_t k = 1; k <= count; ++k) {
        // A missing entry reads as empty here: it matches nothing, where the
        // default "0" would match every name holding a zero.
        std::string value = Read(section, entryBase + std::to_string(k), "");
        if (!value.empty()) entries.push_back(std::move(value));
    }
    return entries;
}

std::vector<std::string> UninstallIni::MonitorEntries() const {
    return ListEntries("KVMONITOR", "MonitorNUM", "MONITORNAME");
}

std::vector<std::string> UninstallIni::ProcessorEntries() const {
    if (state_.osClass == Win98) return {};
    return ListEntries("KVPROC", "PROCNUM", "PROCNAME");
}

std::vector<std::string> UninstallIni::PrinterEntries() const {
    return ListEntries("KVPRINTER", "PRINTERNUM", "PRINTERNAME");
}

bool UninstallIni::IsListedMonitor(const std::string& name) const {
    return HoldsEntry(name, MonitorEntries());
}

bool UninstallIni::IsListedProcessor(const std::string& name) const {
    return HoldsEntry(name, ProcessorEntries());
}

std::vector<std::string> UninstallIni::Entries(List list) const {
    switch (list) {
        case List::Monitors: return MonitorEntries();
        case List::Processors: return ProcessorEntries();
        case List::Drivers: break;
    }
    return PrinterEntries();
}

std::string UninstallIni::MatchingEntry(List list, const std::string& name) const {
    for (const std::string& entry : Entries(list))
        if (name.find(entry) != std::string::npos) return entry;
    return {};
}

bool UninstallIni::IsListedDriver(const std::string& driverName) const {
    return HoldsEntry(driverName, PrinterEntries());
}

bool UninstallIni::IsListedPrinter(const std::string& printerName) const {
    return IsListedPrinter(printerName, PrinterEntries());
}

bool UninstallIni::IsListedPrinter(const std::string& printerName,
                                   const std::vector<std::string>& printerEntries) const {
    if (printerEntries.empty()) return false;
    plat::Printer printer;
    if (windows_.spooler().OpenPrinter(printerName, printer) != plat::err::Success) return false;
    plat::PrinterInfo info;
    if (ReadPrinterInfo(windows_, printer, info) != PrinterRead::Ok) return false;
    return HoldsEntry(info.driverName, printerEntries);
}

std::string UninstallIni::MonitorSection(const std::string& monitorName) const {
    std::string section;
    for (char c : monitorName)
        if (c != ' ') section += c;
    return section + OsSuffixXpAs2000(state_.osClass);
}

MonitorDlls UninstallIni::MonitorDllNames(const std::string& monitorName) const {
    const std::string section = MonitorSection(monitorName);
    return {Read(section, "MonitorPDLLName", "0"), Read(section, "MonitorPUIDLLName", "0")};
}

std::string UninstallIni::ProcessorDllName(const std::string& processorName) const {
    return Read(processorName + OsSuffixXpAs2000(state_.osClass), "ProcessorDllName", "0");
}

bool HoldsEntry(const std::string& name, const std::vector<std::string>& entries) {
    for (const std::string& entry : entries)
        if (name.find(entry) != std::string::npos) return true;
    return false;
}

bool NamesDllFile(const std::string& value) {
    return !value.empty() && value[0] != '0' && IsPlainFileName(value);
}

}  // namespace uninstall
