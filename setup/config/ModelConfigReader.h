// Reads the installation package's INI files into the spooler records of one
// installation: the driver record, the printer record, the monitor settings
// and the driver file table; also the model list and two small values.
//
// Every value lands in a buffer of the reader; the records point into those
// buffers, so a record is valid while its reader lives and until the next
// read of the same kind. Missing files, sections and keys read as "0".
//
// Each key is read with a limit L: the value is cut to L - 1 characters, as
// the profile reader cuts a value to its buffer size less the terminator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/Types.h"
#include "platform/Spooler.h"
#include "platform/Windows.h"

// The monitor settings of the COMMON-MONITOR section.
struct MonitorSettings {
    plat::MonitorInfo2 serialMonitor;
    plat::MonitorInfo2 usbMonitor;
    char serialUiDllName[200] = {};
    char usbUiDllName[200] = {};
    int32_t serialVersion = 0;
    int32_t usbVersion = 0;
};

// The driver file table: a block of 3100 characters made of 200-character
// text fields at fixed offsets. Offsets of the fields the reader fills:
struct DriverFileTable {
    static constexpr size_t kSize = 3100;
    static constexpr size_t kFieldSize = 200;
    static constexpr size_t DriverPath = 0, DataFile = 200, ConfigFile = 400, HelpFile = 600,
                            ProcessorDll = 1900, DataFileDll = 2100, OemuniDll = 2300,
                            OemuniIni = 2500, OemuiDll = 2700, ControlFontFile = 2900;
    char block[kSize] = {};

    void Clear();
    const char* Field(size_t offset) const { return block + offset; }
    char* Field(size_t offset) { return block + offset; }
};

// The Unidrv support files a DDK driver takes along, in the order of its
// dependent-file list.
inline constexpr const char* kUnidrvSupportFiles[3] = {"TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD"};

// What a driver section does with the Unidrv support files.
struct UnidrvSupport {
    bool registered = false;  // listed as the driver's dependent files
    bool copied = false;      // copied from the package's folder beforehand
    // The spooler then finds them only where an earlier driver left them: on
    // a fresh Windows it refuses the driver ("Add printer driver error er = 2").
    bool RegisteredWithoutCopy() const { return registered && !copied; }
};

// The one rule on the support files: only on Windows 2000 to Vista, they are
// registered when GDI2KDDKDEV (`dependentSwitch`, the switch of both driver
// modes) reads as a number other than 0, and copied when the mode's own
// switch (STD2KDDKDEV or GDI2KDDKDEV) starts with "1" (`ddk`).
UnidrvSupport UnidrvSupportOf(int32_t os, const char* dependentSwitch, bool ddk);

class ModelConfigReader {
public:
    // The driver file table's fields and the words that name their keys:
    // the mode's prefix ("STD" or "GDI") and the word, except for the control
    // font, whose key has no prefix.
    struct FileTableKey {
        const char* word;
        size_t offset;
        bool prefixed;
    };
    static constexpr FileTableKey kFileTableKeys[] = {
        {"DataFile", DriverFileTable::DataFile, true},
        {"ConfigFile", DriverFileTable::ConfigFile, true},
        {"HelpFile", DriverFileTable::HelpFile, true},
        {"ProcessorDLLName", DriverFileTable::ProcessorDll, true},
        {"DriverPath", DriverFileTable::DriverPath, true},
        {"DataFileDLLName", DriverFileTable::DataFileDll, true},
        {"DataOemuiDLL", DriverFileTable::OemuiDll, true},
        {"DataOemuniDLL", DriverFileTable::OemuniDll, true},
        {"DataOemuniini", DriverFileTable::OemuniIni, true},
        {"ControlFontFile", DriverFileTable::ControlFontFile, false},
    };

    // Capacity of the text fields and the INI paths, terminator included.
    static constexpr size_t kFieldSize = 200;
    // Capacity of the printer name the printer record points at; the
    // installation appends "(U) 1", "(S)", "(P)" and "(n)" to it in place.
    static constexpr size_t kPrinterNameSize = 260;

    // Builds the five INI paths from the program folder (the folder of the
    // running program, up to and including its last backslash).
    explicit ModelConfigReader(plat::Windows& windows);
    virtual ~ModelConfigReader() = default;
    ModelConfigReader(const ModelConfigReader&) = delete;
    ModelConfigReader& operator=(const ModelConfigReader&) = delete;

    void SetModuleKind(int32_t kind) { moduleKind_ = kind; }
    int32_t ModuleKind() const { return moduleKind_; }

    void ReadDriverFileTable(const char* model, int32_t os, DriverFileTable& table, int32_t mode);
    void ReadDriverRecord(const char* model, int32_t os, DriverRecord& record, int32_t mode);
    void ReadPrinterRecord(const char* model, int32_t os, PrinterRecord& record, int32_t mode);
    bool IsDdkDriver(const char* model, int32_t os, int32_t mode);
    // What the model's section for `os` does with the Unidrv support files
    // in `mode` (see UnidrvSupportOf).
    UnidrvSupport ReadUnidrvSupport(const char* model, int32_t os, int32_t mode);
    void ReadMonitorSettings(int32_t os, MonitorSettings& settings);
    int32_t ReadProcessorVersion();
    // DEVICENUMBER, at most kMaxModelEntries (setup/config/PackageLimits.h).
    int32_t ReadModelCount();
    // Reads model entry `index` into `buffer` (200 characters) and returns its
    // ModuleKind with the kind suffix cut off, or -1 when it has none.
    int32_t ReadModelEntry(int32_t index, char* buffer);
    // `buffer` holds 260 characters.
    int32_t ReadDefaultModel(char* buffer);

    const char* SetupIniPath() const { return setupIni_; }
    const char* CurrentIniPath() const { return currentIni_; }
    // The module INI of a ModuleKind in the reader's lower-case form; "" for a
    // kind outside 0..3.
    const char* ModuleIniPath(int32_t kind) const;

    // The printer name the last ReadPrinterRecord pointed the record at
    // (kPrinterNameSize characters), for the installation to extend in place.
    char* PrinterNameBuffer() { return printerName_; }

private:
    // Forms the section of a per-OS read ("" for an OsClass outside 0..5) and
    // points the current INI path at the module INI of the module kind.
    std::string BeginPerOsRead(const char* model, int32_t os);
    // One profile read with the default "0", cut to limit - 1 characters
    // (and never beyond the buffer). An empty section or path reads as the
    // default without touching the file system.
    void Read(const std::string& section, const char* key, uint32_t limit, const char* path,
              char* out, size_t capacity);
    template <size_t N>
    void Read(const std::string& section, const char* key, uint32_t limit, const char* path,
              char (&out)[N]) {
        Read(section, key, limit, path, out, N);
    }
    // Reads the nine driver keys of a mode ("STD" or "GDI") into fields 1 to 9.
    void ReadDriverKeys(const std::string& section, const char* prefix);

    plat::Windows& windows_;

    // The driver record's fields.
    char driverName_[kFieldSize] = {};
    char dataFile_[kFieldSize] = {};
    char driverPath_[kFieldSize] = {};
    char helpFile_[kFieldSize] = {};
    char configFile_[kFieldSize] = {};
    char dataFileDll_[kFieldSize] = {};
    char oemuiDll_[kFieldSize] = {};
    char oemuniDll_[kFieldSize] = {};
    char oemuniIni_[kFieldSize] = {};
    // NUL-terminated names ended by an empty name; grows as needed.
    std::string dependentFiles_ = std::string(2, '\0');

    // The monitor settings' names.
    char usbMonitorName_[kFieldSize] = {};
    char usbMonitorDll_[kFieldSize] = {};
    char serialMonitorName_[kFieldSize] = {};
    char serialMonitorDll_[kFieldSize] = {};

    // The printer record's fields.
    char printerDriverName_[kFieldSize] = {};
    char attributesText_[kFieldSize] = {};
    char printProcessor_[kFieldSize] = {};
    char printerName_[kPrinterNameSize] = {};

    int32_t moduleKind_ = -1;

    char currentIni_[kFieldSize] = {};
    char receiptIni_[kFieldSize] = {};
    char ticketIni_[kFieldSize] = {};
    char labelIni_[kFieldSize] = {};
    char embeddedIni_[kFieldSize] = {};
    char setupIni_[kFieldSize] = {};
};

// The program folder: the running program's file name up to and including
// its last backslash (empty when it holds none, or when the name can't be
// read whole into its 200-character buffer).
std::string ProgramFolder(plat::Windows& windows);

// The package's modules, by ModuleKind.
struct PackageModule {
    const char* iniName;        // the module INI as the package reader names it
    const char* wizardIniName;  // the same file as the wizard and the port page name it
    const char* entrySuffix;    // of the module's model entries in setup.ini
    const char* word;           // the module as the package check names it to people
};
inline constexpr PackageModule kPackageModules[] = {
    {"DRVCONFIG\\setup_receipt.ini", "DRVCONFIG\\setup_receipt.ini", "-ReceiptPrinter", "receipt"},
    {"DRVCONFIG\\setup_ticket.ini", "DRVCONFIG\\setup_Ticket.ini", "-TicketPrinter", "ticket"},
    {"DRVCONFIG\\setup_lable.ini", "DRVCONFIG\\setup_Lable.ini", "-LabelPrinter", "label"},
    {"DRVCONFIG\\setup_embedded.ini", "DRVCONFIG\\setup_Embedded.ini", "-EmbeddedPrinter",
     "embedded"},
};
inline constexpr int32_t kModuleCount = sizeof kPackageModules / sizeof kPackageModules[0];

// The package's setup.ini, beside the module INIs.
inline constexpr const char* kSetupIniName = "DRVCONFIG\\setup.ini";

// The port section of a model in its module INI: "<model>.PORT".
inline std::string PortSection(const std::string& model) { return model + ".PORT"; }

// The module INI of a module index in the capitalised form that the wizard
// and the port page use ("DRVCONFIG\setup_Ticket.ini"); nullptr outside 0..3.
// File names compare without regard to case: it names the same file as the
// reader's lower-case form.
const char* ModuleIniName(int32_t module);

// Composes the paths of setup.ini and of the module INI for a module index,
// in the capitalised form of the module file names ("DRVCONFIG\setup_Ticket.ini").
// Each buffer holds 200 characters; for a module outside 0..3 the module path
// is the program folder alone. A path that would not fit is left empty, so
// that nothing reads a file of a cut-off name.
void BuildConfigPaths(plat::Windows& windows, int32_t module, char* setupIniPath,
                      char* moduleIniPath);

// The keys of a model's port section "<model>.PORT" in its module INI.
namespace portkey {
inline constexpr const char* kAdvancedSetup = "AdvancedSetup";
inline constexpr const char* kSystem2003Supported = "System2003Supported";
inline constexpr const char* kSystemVistaSupported = "SystemVistaSupported";
inline constexpr const char* kBaudRate = "BaudRate";
inline constexpr const char* kUsbSupported = "USBSUPPORTED";
inline constexpr const char* kLptDefault = "LPTDEFAULT";
}  // namespace portkey

// A key of a port section as the wizard reads it: straight from the module
// INI at `moduleIniPath`, section `section` ("<model>.PORT"), the default
// "0", 200 characters, read as a decimal number.
int32_t ReadPortSectionKey(plat::Windows& windows, const std::string& moduleIniPath,
                           const std::string& section, const char* key);

// Decimal conversion as the package readers use it: optional leading blanks
// and sign, then digits up to the first other character; no digits gives 0.
// A number beyond the 32-bit range gives the nearest end of the range.
int32_t IniToInt(const char* text);
