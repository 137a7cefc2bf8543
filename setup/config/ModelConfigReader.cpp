// The package reader: per-OS sections of the module INIs and setup.ini.
#include "setup/config/ModelConfigReader.h"

#include <algorithm>
#include <cstring>

#include "platform/Profile.h"
#include "platform/Windows.h"
#include "setup/config/PackageLimits.h"

namespace {

constexpr const char* kDefault = "0";

// The key prefix of a driver mode; nullptr for a mode that reads no driver keys.
const char* ModePrefix(int32_t mode) {
    if (mode == Std) return "STD";
    if (mode == Gdi) return "GDI";
    return nullptr;
}

// Copies text into a buffer of `capacity` characters, cut to fit.
void CopyCut(char* out, size_t capacity, const char* text, size_t length) {
    if (capacity == 0) return;
    const size_t n = std::min(length, capacity - 1);
    std::memcpy(out, text, n);
    out[n] = '\0';
}

void ComposePath(char* out, const std::string& folder, const char* name) {
    std::memset(out, 0, ModelConfigReader::kFieldSize);
    const size_t nameLength = std::strlen(name);
    // A path that does not fit stays empty: its reads give the defaults
    // rather than reading a file of a cut-off name.
    if (folder.size() + nameLength + 1 > ModelConfigReader::kFieldSize) return;
    std::memcpy(out, folder.data(), folder.size());
    std::memcpy(out + folder.size(), name, nameLength + 1);
}

}  // namespace

void DriverFileTable::Clear() { std::memset(block, 0, sizeof block); }

ModelConfigReader::ModelConfigReader(plat::Windows& windows) : windows_(windows) {
    const std::string folder = ProgramFolder(windows_);
    ComposePath(setupIni_, folder, kSetupIniName);
    ComposePath(receiptIni_, folder, kPackageModules[Receipt].iniName);
    ComposePath(ticketIni_, folder, kPackageModules[Ticket].iniName);
    ComposePath(labelIni_, folder, kPackageModules[Label].iniName);
    ComposePath(embeddedIni_, folder, kPackageModules[Embedded].iniName);
}

const char* ModelConfigReader::ModuleIniPath(int32_t kind) const {
    switch (kind) {
        case Receipt: return receiptIni_;
        case Ticket: return ticketIni_;
        case Label: return labelIni_;
        case Embedded: return embeddedIni_;
        default: return "";
    }
}

void ModelConfigReader::Read(const std::string& section, const char* key, uint32_t limit,
                             const char* path, char* out, size_t capacity) {
    if (section.empty() || !path || path[0] == '\0') {
        // No section or no file chosen: the key is missing.
        const std::string value(kDefault, limit > 1 ? 1 : 0);
        CopyCut(out, capacity, value.c_str(), value.size());
        return;
    }
    const std::string value =
        windows_.profile().GetPrivateProfileString(section, key, kDefault, limit, path);
    // The profile reader cuts to limit - 1; an embedded NUL ends the text.
    const size_t length = std::min({std::strlen(value.c_str()), value.size(),
                                    static_cast<size_t>(limit > 0 ? limit - 1 : 0)});
    CopyCut(out, capacity, value.c_str(), length);
}

std::string ModelConfigReader::BeginPerOsRead(const char* model, int32_t os) {
    std::string section;
    if (const char* suffix = OsSuffix(os)) {
        section = model ? model : "";
        section += suffix;
    }
    std::memset(currentIni_, 0, sizeof currentIni_);
    const char* path = ModuleIniPath(moduleKind_);
    CopyCut(currentIni_, sizeof currentIni_, path, std::strlen(path));
    return section;
}

void ModelConfigReader::ReadDriverKeys(const std::string& section, const char* prefix) {
    const std::string p = prefix;
    Read(section, (p + "DriverName").c_str(), 49, currentIni_, driverName_);
    Read(section, (p + "DataFile").c_str(), 199, currentIni_, dataFile_);
    Read(section, (p + "DriverPath").c_str(), 199, currentIni_, driverPath_);
    Read(section, (p + "HelpFile").c_str(), 199, currentIni_, helpFile_);
    Read(section, (p + "ConfigFile").c_str(), 199, currentIni_, configFile_);
    Read(section, (p + "DataFileDLLName").c_str(), 199, currentIni_, dataFileDll_);
    Read(section, (p + "DataOemuiDLL").c_str(), 199, currentIni_, oemuiDll_);
    Read(section, (p + "DataOemuniDLL").c_str(), 199, currentIni_, oemuniDll_);
    Read(section, (p + "DataOemuniini").c_str(), 199, currentIni_, oemuniIni_);
}

void ModelConfigReader::ReadDriverFileTable(const char* model, int32_t os, DriverFileTable& table,
                                            int32_t mode) {
    const std::string section = BeginPerOsRead(model, os);
    const char* prefix = ModePrefix(mode);
    if (!prefix) return;
    for (const FileTableKey& e : kFileTableKeys) {
        const std::string key = (e.prefixed ? std::string(prefix) : std::string()) + e.word;
        Read(section, key.c_str(), 199, currentIni_, table.Field(e.offset),
             DriverFileTable::kFieldSize);
    }
}

void ModelConfigReader::ReadDriverRecord(const char* model, int32_t os, DriverRecord& record,
                                         int32_t mode) {
    // A class outside the table leaves the version as it was.
    if (const WindowsVersion* v = WindowsVersionOf(os)) record.cVersion = v->driverVersion;
    const std::string section = BeginPerOsRead(model, os);
    // An unknown mode reads no driver keys: the record then takes what the
    // buffers hold from the last read.
    if (const char* prefix = ModePrefix(mode)) ReadDriverKeys(section, prefix);

    record.pEnvironment = OsEnvironment(os);
    record.pName = driverName_;
    record.pDriverPath = driverPath_;
    record.pDataFile = dataFile_;
    record.pConfigFile = configFile_;
    record.pHelpFile = helpFile_;

    // The dependent-file switch is GDI2KDDKDEV in both driver modes.
    char ddk[kFieldSize] = {};
    Read(section, "GDI2KDDKDEV", 9, currentIni_, ddk);
    dependentFiles_.assign(2, '\0');
    if (UnidrvSupportOf(os, ddk, false).registered) {
        dependentFiles_.clear();
        // An empty name would end the list early and hide the names after
        // it, so empty names are left out.
        auto add = [this](const char* name) {
            if (name[0] == '\0') return;
            dependentFiles_ += name;
            dependentFiles_ += '\0';
        };
        auto addOptional = [&add](const char* name) {
            if (name[0] != '0') add(name);
        };
        add(dataFile_);
        for (const char* file : kUnidrvSupportFiles) add(file);
        addOptional(dataFileDll_);
        addOptional(oemuiDll_);
        addOptional(oemuniDll_);
        addOptional(oemuniIni_);
        dependentFiles_ += '\0';
        if (dependentFiles_.size() < 2) dependentFiles_.assign(2, '\0');
    }
    record.pDependentFiles = dependentFiles_.c_str();
}

void ModelConfigReader::ReadPrinterRecord(const char* model, int32_t os, PrinterRecord& record,
                                          int32_t mode) {
    const std::string section = BeginPerOsRead(model, os);
    if (const char* prefix = ModePrefix(mode)) {
        const std::string p = prefix;
        Read(section, (p + "DRIVERNAME").c_str(), 49, currentIni_, printerDriverName_);
        Read(section, (p + "PrintProcessor").c_str(), 49, currentIni_, printProcessor_);
        Read(section, "ATTRIBUTES", 49, currentIni_, attributesText_);
    }
    record.Attributes = static_cast<uint32_t>(IniToInt(attributesText_));
    record.pDriverName = printerDriverName_;
    record.pPrintProcessor = printProcessor_;
    const char* name = model ? model : "";
    std::memset(printerName_, 0, sizeof printerName_);
    CopyCut(printerName_, sizeof printerName_, name, std::strlen(name));
    record.pPrinterName = printerName_;
}

UnidrvSupport UnidrvSupportOf(int32_t os, const char* dependentSwitch, bool ddk) {
    UnidrvSupport support;
    if (os < Win2000 || os > WinVista) return support;
    support.registered = dependentSwitch != nullptr && IniToInt(dependentSwitch) != 0;
    support.copied = ddk;
    return support;
}

UnidrvSupport ModelConfigReader::ReadUnidrvSupport(const char* model, int32_t os, int32_t mode) {
    const bool ddk = IsDdkDriver(model, os, mode);
    char dependentSwitch[kFieldSize] = {};
    Read(BeginPerOsRead(model, os), "GDI2KDDKDEV", 9, currentIni_, dependentSwitch);
    return UnidrvSupportOf(os, dependentSwitch, ddk);
}

bool ModelConfigReader::IsDdkDriver(const char* model, int32_t os, int32_t mode) {
    const std::string section = BeginPerOsRead(model, os);
    char flag[8] = {};
    if (mode == Std) {
        Read(section, "STD2KDDKDEV", 4, currentIni_, flag);
    } else if (mode == Gdi) {
        Read(section, "GDI2KDDKDEV", 4, currentIni_, flag);
    } else {
        return false;
    }
    return flag[0] == '1';
}

void ModelConfigReader::ReadMonitorSettings(int32_t os, MonitorSettings& settings) {
    std::string section = "COMMON-MONITOR";
    if (const char* suffix = OsSuffix(os)) section += suffix;
    char number[kFieldSize] = {};

    Read(section, "USBMONitorPName", 49, setupIni_, usbMonitorName_);
    Read(section, "USBMONitorPDLLName", 199, setupIni_, usbMonitorDll_);
    Read(section, "USBMONitorPUIDLLName", 49, setupIni_, settings.usbUiDllName);
    Read(section, "USBMONitorVersion", 9, setupIni_, number);
    settings.usbVersion = IniToInt(number);

    Read(section, "COMMONitorPName", 49, setupIni_, serialMonitorName_);
    Read(section, "COMMONitorPDLLName", 199, setupIni_, serialMonitorDll_);
    Read(section, "COMMONitorPUIDLLName", 49, setupIni_, settings.serialUiDllName);
    Read(section, "COMMONitorVersion", 9, setupIni_, number);
    settings.serialVersion = IniToInt(number);

    const char* environment = OsEnvironment(os);
    settings.usbMonitor = {usbMonitorName_, environment, usbMonitorDll_};
    settings.serialMonitor = {serialMonitorName_, environment, serialMonitorDll_};
}

int32_t ModelConfigReader::ReadProcessorVersion() {
    char number[kFieldSize] = {};
    Read("ProcessorVersion", "DriverVersion", 11, setupIni_, number);
    return IniToInt(number);
}

int32_t ModelConfigReader::ReadModelCount() {
    char number[kFieldSize] = {};
    Read("DEVICENAME", "DEVICENUMBER", 29, setupIni_, number);
    const int32_t count = IniToInt(number);
    return count > kMaxModelEntries ? kMaxModelEntries : count;
}

int32_t ModelConfigReader::ReadModelEntry(int32_t index, char* buffer) {
    const std::string key = "DEVICENAME" + std::to_string(index);
    Read("DEVICENAME", key.c_str(), 199, setupIni_, buffer, kFieldSize);
    // The suffixes are tried in this order, whatever their place in the text.
    for (int32_t kind = Receipt; kind <= Embedded; ++kind) {
        if (char* found = std::strstr(buffer, kPackageModules[kind].entrySuffix)) {
            *found = '\0';
            return kind;
        }
    }
    return -1;
}

int32_t ModelConfigReader::ReadDefaultModel(char* buffer) {
    Read("DEVICENAME", "DEFAULTNAME", 259, setupIni_, buffer, kPrinterNameSize);
    return ReadModelEntry(IniToInt(buffer), buffer);
}
