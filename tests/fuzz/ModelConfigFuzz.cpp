// The model configuration reader over a whole model, with setup.ini and a
// module INI from the input: the module page's lists and default, every
// record of the first models for the chosen Windows version and driver mode,
// the monitor settings, the processor version, the USB port records, and the
// copies of the files that the records name.
//
// Header bytes: 0 OsClass (-1..6), 1 driver mode (0..2), 2 module kind of
// the module INI (-1..4), 3 bit 0: write the USB port records. Then
// setup.ini, a form feed, the module INI.
//
// Checked: no read beyond a limit or a buffer, the count of profile reads
// bounded by the package limits, and no copy that writes outside its folder.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "simwindows/testing/SimTestWindows.h"
#include "setup/config/ModelConfigReader.h"
#include "setup/config/PackageLimits.h"
#include "setup/engine/Stages.h"
#include "setup/wizard/ModulePage.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

using fuzz::Check;

constexpr const char* kPkg = "C:\\PKG";
constexpr const char* kDriverDir = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86";
constexpr const char* kProcessorDir = "C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86";
constexpr const char* kSystemDir = "C:\\WINDOWS\\system32";

// A text of `capacity` characters ends within it.
bool Ends(const char* text, size_t capacity) { return std::memchr(text, '\0', capacity) != nullptr; }

bool Within(const char* text, size_t limit) {
    return text == nullptr || std::strlen(text) <= limit;
}

// A package with a file in each Windows-version folder, and files that a
// name leading out of its folder would reach.
void MountPackage(plat::SimTestWindows& w) {
    w.SetModuleFileName(std::string(kPkg) + "\\Setup.exe");
    w.SetCurrentFolder(kPkg);
    for (const char* folder : {"win98", "winnt", "win2003", "Vista"})
        for (const char* file : {"QSDRV.DLL", "QSRCPT.GPD", "QSPROC.DLL", "QSUSBMON.DLL"})
            w.PutFile(std::string(kPkg) + "\\" + folder + "\\" + file, "MZ");
    w.PutFile("C:\\QSHELP.DLL", "MZ help");
    w.PutFile(std::string(kPkg) + "\\QSHELP.DLL", "MZ help");
    w.PutFile(std::string(kSystemDir) + "\\kernel32.dll", "MZ kernel");
}

// The copies of `names` into one folder write only into that folder, or
// nothing.
void CopiesStayInTheirFolder(plat::SimTestWindows& w, const std::vector<const char*>& names,
                             int32_t destination, const std::string& folder, int32_t os) {
    const std::map<std::string, std::string> before = w.AllFiles();
    for (const char* name : names) {
        std::string message;
        CopyPackageFile(w, name, destination, os, false, message);
    }
    const std::map<std::string, std::string> after = w.AllFiles();
    for (const auto& [path, bytes] : after) {
        auto old = before.find(path);
        if (old != before.end() && old->second == bytes) continue;
        const size_t slash = path.rfind('\\');
        Check(slash != std::string::npos && path.substr(0, slash) == folder,
              "a copy writes only into its folder");
    }
    Check(before.size() <= after.size(), "a copy removes nothing");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int32_t os = static_cast<int32_t>(fuzz::Byte(data, size, 0) % 8) - 1;
    const int32_t mode = fuzz::Byte(data, size, 1) % 3;
    const int32_t kind = static_cast<int32_t>(fuzz::Byte(data, size, 2) % 6) - 1;
    const bool usbRecords = fuzz::Byte(data, size, 3) & 1;
    const std::vector<std::string> parts = fuzz::Parts(data, size, 4, 2);

    plat::SimTestWindows w;
    // The package is read thousands of times over: from an index of each file.
    w.SetProfileIndexing(true);
    MountPackage(w);
    w.PutFile(std::string(kPkg) + "\\DRVCONFIG\\setup.ini", parts[0]);
    for (const char* name : {"setup_receipt.ini", "setup_ticket.ini", "setup_lable.ini",
                             "setup_embedded.ini"})
        w.PutFile(std::string(kPkg) + "\\DRVCONFIG\\" + name, parts[1]);

    // The module page: the count, the entries up to the limit, the default.
    ModulePage page(w);
    page.Initialize();
    Check(w.CallCount("GetPrivateProfileString") <= kMaxModelEntries + 3,
          "the module page reads no more than the model limit");
    Check(page.ModelName().size() < ModulePage::kModelSize, "the model name fits");
    Check(page.ModuleIndex() >= -1 && page.ModuleIndex() <= 3, "a module index or -1");

    ModelConfigReader reader(w);
    reader.SetModuleKind(kind);
    Check(reader.ReadModelCount() <= kMaxModelEntries, "the model count is bounded");
    std::vector<std::string> models{page.ModelName(), std::string(300, 'M')};
    char entry[ModelConfigReader::kFieldSize];
    for (int32_t i = 1; i <= 2; ++i) {
        std::memset(entry, 'x', sizeof entry);
        if (reader.ReadModelEntry(i, entry) >= 0) models.emplace_back(entry);
        Check(Ends(entry, sizeof entry), "a model entry ends in its buffer");
    }
    char defaultName[ModelConfigReader::kPrinterNameSize];
    reader.ReadDefaultModel(defaultName);
    Check(Ends(defaultName, sizeof defaultName), "the default model ends in its buffer");

    bool copied = false;
    for (const std::string& model : models) {
        DriverFileTable table;
        reader.ReadDriverFileTable(model.c_str(), os, table, mode);
        DriverRecord driver{};
        reader.ReadDriverRecord(model.c_str(), os, driver, mode);
        PrinterRecord printer{};
        reader.ReadPrinterRecord(model.c_str(), os, printer, mode);
        reader.IsDdkDriver(model.c_str(), os, mode);

        for (size_t offset = 0; offset + DriverFileTable::kFieldSize <= DriverFileTable::kSize;
             offset += DriverFileTable::kFieldSize)
            Check(Ends(table.Field(offset), DriverFileTable::kFieldSize), "a table field ends");
        Check(Within(driver.pName, 48) && Within(driver.pDataFile, 198) &&
                  Within(driver.pDriverPath, 198) && Within(driver.pConfigFile, 198) &&
                  Within(driver.pHelpFile, 198),
              "driver record fields within their limits");
        Check(Within(printer.pDriverName, 48) && Within(printer.pPrintProcessor, 48) &&
                  Within(printer.pPrinterName, ModelConfigReader::kPrinterNameSize - 1),
              "printer record fields within their limits");
        // The dependent-file list ends with an empty name.
        const char* list = driver.pDependentFiles;
        Check(list != nullptr, "a dependent-file list");
        size_t names = 0;
        for (const char* p = list; *p; p += std::strlen(p) + 1) Check(++names <= 8, "at most 8 names");

        // The files that the first model's records name are copied within
        // their folders or refused.
        if (copied || model.empty()) continue;
        copied = true;
        CopiesStayInTheirFolder(
            w,
            {table.Field(DriverFileTable::ConfigFile), table.Field(DriverFileTable::DataFile),
             table.Field(DriverFileTable::DriverPath), table.Field(DriverFileTable::HelpFile),
             table.Field(DriverFileTable::DataFileDll), table.Field(DriverFileTable::OemuiDll),
             table.Field(DriverFileTable::OemuniDll), table.Field(DriverFileTable::OemuniIni)},
            DestDriverDir, kDriverDir, os);
        CopiesStayInTheirFolder(w, {table.Field(DriverFileTable::ControlFontFile)}, DestDriverDir3,
                                std::string(kDriverDir) + "\\3", os);
        CopiesStayInTheirFolder(w, {table.Field(DriverFileTable::ProcessorDll)}, DestProcessorDir,
                                kProcessorDir, os);
    }

    MonitorSettings settings;
    reader.ReadMonitorSettings(os, settings);
    Check(Within(settings.usbMonitor.pName, 48) && Within(settings.usbMonitor.pDLLName, 198) &&
              Within(settings.serialMonitor.pName, 48) &&
              Within(settings.serialMonitor.pDLLName, 198) && Ends(settings.usbUiDllName, 200) &&
              std::strlen(settings.usbUiDllName) <= 48 && std::strlen(settings.serialUiDllName) <= 48,
          "monitor settings within their limits");
    CopiesStayInTheirFolder(w,
                            {settings.usbMonitor.pDLLName, settings.usbUiDllName,
                             settings.serialMonitor.pDLLName, settings.serialUiDllName},
                            DestSystemDir, kSystemDir, os);
    reader.ReadProcessorVersion();

    if (usbRecords) {
        const int before = w.CallCount("GetPrivateProfileString");
        WriteUsbPortRecords(w, "USB_KRT-P58_1");
        Check(w.CallCount("GetPrivateProfileString") - before <= 1 + kMaxUsbDeviceEntries,
              "the USB device list is read no further than its limit");
    }
    return 0;
}
