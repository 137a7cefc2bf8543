// Reads the installation package's INI files into the spooler records of one
// installation: the driver record, the printer record, the monitor settings
// and the driver file table; also the model list and two small values.
//
// Every value lands in a buffer of the reader; the records point into those
// buffers, so a record is valid while its reader lives and until the next
// read of the same kind. Missing files, sections and keys read as "0".
#pragma once

#include <cstdint>
#include <string>

#include "common/Types.h"
#include "platform/Platform.h"

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
    static constexpr size_t DriverPath = 0, DataFile = 200, ConfigFile = 400, HelpFile = 600,
                            ProcessorDll = 1900, DataFileDll = 2100, OemuniDll = 2300,
                            OemuniIni = 2500, OemuiDll = 2700, ControlFontFile = 2900;
    char block[kSize] = {};

    void Clear();
    const char* Field(size_t offset) const { return block + offset; }
    char* Field(size_t offset) { return block + offset; }
};

class ModelConfigReader {
public:
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
    void ReadMonitorSettings(int32_t os, MonitorSettings& settings);
    int32_t ReadProcessorVersion();
    int32_t ReadModelCount();
    // Reads model entry `index` into `buffer` (200 characters) and returns its
    // ModuleKind with the kind suffix cut off, or -1 when it has none.
    int32_t ReadModelEntry(int32_t index, char* buffer);
    // `buffer` holds 260 characters.
    int32_t ReadDefaultModel(char* buffer);

    const char* SetupIniPath() const { return setupIni_; }
    const char* CurrentIniPath() const { return currentIni_; }
    const char* ModuleIniPath(int32_t kind) const;

private:
    // ... implementation-defined buffers: driver name, data file, driver path,
    // help file, config file, data-file DLL, Oemui DLL, Oemuni DLL, Oemuni INI,
    // the dependent-file list (no fixed limit), the monitor names and DLLs,
    // printer driver name, attributes text, processor name, printer name (260),
    // and the INI paths.
    plat::Windows& windows_;
    int32_t moduleKind_ = -1;
    char currentIni_[200] = {};
    char setupIni_[200] = {};
};

// The program folder: the running program's file name up to and including
// its last backslash (empty when it holds none).
std::string ProgramFolder(plat::Windows& windows);

// Composes the paths of setup.ini and of the module INI for a module index,
// in the capitalised form of the module file names ("DRVCONFIG\setup_Ticket.ini").
// Each buffer holds 200 characters; for a module outside 0..3 the module path
// is the program folder alone.
void BuildConfigPaths(plat::Windows& windows, int32_t module, char* setupIniPath,
                      char* moduleIniPath);

// Decimal conversion as the package readers use it: optional leading blanks
// and sign, then digits up to the first other character; no digits gives 0.
int32_t IniToInt(const char* text);
