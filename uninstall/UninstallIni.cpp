#include "uninstall/UninstallIni.h"

#include "uninstall/Printers.h"

namespace uninstall {

namespace {

// Values longer than this are taken as damaged and read as missing; names,
// fragments and file names are far shorter.
constexpr uint32_t kValueCapacity = 1024;

}  // namespace

const char* OsSuffix(int32_t osClass) {
    switch (osClass) {
        case Win98: return ".98";
        case WinNT4: return ".NT";
        case Win2000:
        case WinXP: return ".2K";  // XP shares the Windows 2000 sections
        case Win2003: return ".2003";
        default: return ".Vista";  // Vista and any other platform
    }
}

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
    std::string value =
        windows_.GetPrivateProfileString(section, key, def, kValueCapacity, state_.iniPath);
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

std::string UninstallIni::MatchingEntry(List list, const std::string& name) const {
    static constexpr const char* kLists[3][3] = {{"KVMONITOR", "MonitorNUM", "MONITORNAME"},
                                                 {"KVPROC", "PROCNUM", "PROCNAME"},
                                                 {"KVPRINTER", "PRINTERNUM", "PRINTERNAME"}};
    const auto& l = kLists[static_cast<int>(list)];
    for (const std::string& entry : ListEntries(l[0], l[1], l[2]))
        if (name.find(entry) != std::string::npos) return entry;
    return {};
}

bool UninstallIni::IsListedMonitor(const std::string& name) const {
    return !MatchingEntry(List::Monitors, name).empty();
}

bool UninstallIni::IsListedProcessor(const std::string& name) const {
    if (state_.osClass == Win98) return false;
    return !MatchingEntry(List::Processors, name).empty();
}

bool UninstallIni::IsListedDriver(const std::string& driverName) const {
    return !MatchingEntry(List::Drivers, driverName).empty();
}

bool UninstallIni::IsListedPrinter(const std::string& printerName) const {
    plat::Printer printer;
    if (windows_.OpenPrinter(printerName, printer) != plat::err::Success) return false;
    plat::PrinterInfo info;
    if (ReadPrinterInfo(windows_, printer, info) != PrinterRead::Ok) return false;
    return IsListedDriver(info.driverName);
}

MonitorDlls UninstallIni::MonitorDllNames(const std::string& monitorName) const {
    std::string section;
    for (char c : monitorName)
        if (c != ' ') section += c;
    section += OsSuffix(state_.osClass);
    return {Read(section, "MonitorPDLLName", "0"), Read(section, "MonitorPUIDLLName", "0")};
}

std::string UninstallIni::ProcessorDllName(const std::string& processorName) const {
    return Read(processorName + OsSuffix(state_.osClass), "ProcessorDllName", "0");
}

bool NamesDllFile(const std::string& value) {
    if (value.empty() || value[0] == '0') return false;
    if (value.find_first_of("\\/:") != std::string::npos) return false;
    return value != "." && value != "..";
}

}  // namespace uninstall
