// Copies of package files into the system's folders, the core Unidrv files,
// and the registration of the printer driver.
#include <cstdio>
#include <cstring>
#include <string>

#include "common/FileAttributes.h"
#include "common/FileNames.h"
#include "common/RegistryKey.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Registry.h"
#include "platform/Spooler.h"
#include "platform/Windows.h"
#include "setup/engine/Messages.h"
#include "setup/engine/ModelRules.h"
#include "setup/engine/Stages.h"

namespace {

// Capacity of the folder buffers the copies work with.
constexpr uint32_t kPathCapacity = 256;
constexpr uint32_t kWindowsPathCapacity = 260;

// An INI file name that stands for "no file": the default "0", and any name
// whose first character is the digit 0.
bool IsNoFile(const char* name) { return name != nullptr && name[0] == '0'; }

bool IsEmpty(const char* name) { return name == nullptr || name[0] == '\0'; }

std::string WithNumber(const char* format, uint32_t number) {
    char text[32];
    std::snprintf(text, sizeof text, format, static_cast<int>(number));
    return text;
}

// The destination folder of a copy, or false with its text in `message`.
bool DestinationFolder(plat::Windows& windows, int32_t destination, std::string& folder,
                       std::string& message) {
    switch (destination) {
        case DestDriverDir:
        case DestDriverDir3:
            if (windows.folders().GetPrinterDriverDirectory(nullptr, folder, kPathCapacity) != 0) {
                message = msg::kNoDriverDir;
                return false;
            }
            if (destination == DestDriverDir3) folder += "\\3";
            return true;
        case DestProcessorDir:
            if (windows.folders().GetPrintProcessorDirectory(nullptr, folder, kPathCapacity) != 0) {
                message = msg::kNoProcessorDir;
                return false;
            }
            return true;
        case DestSystemDir:
            if (windows.folders().GetSystemDirectory(folder, kPathCapacity) != 0) {
                message = msg::kNoSystemDir;
                return false;
            }
            return true;
        default:
            message = msg::kBadDirectoryType;
            return false;
    }
}

int32_t CopyFromPackage(plat::Windows& windows, const char* fileName, int32_t destination,
                        int32_t os, bool rename, bool reportBlocked, std::string& message) {
    if (fileName == nullptr || IsNoFile(fileName)) return 0;
    if (!IsPlainFileName(fileName)) {
        message = RefusedFileText(windows, fileName, os, rename);
        return 0;
    }

    std::string folder;
    if (!DestinationFolder(windows, destination, folder, message)) return 0;

    std::string working;
    if (windows.folders().GetCurrentDirectory(working, kPathCapacity) != 0) {
        message = msg::kNoCurrentDir;
        return 0;
    }
    const char* osFolder = OsFolder(os);
    const std::string source = working + (osFolder ? osFolder : "\\") + fileName;
    const std::string targetName = (rename ? std::string("n") : std::string()) + fileName;
    const std::string target = folder + "\\" + targetName;

    // A read-only copy left by an earlier installation must not block the
    // overwrite; a target that does not exist yet is no failure here.
    windows.files().SetFileAttributes(target, plat::attr::Archive);

    // A package on read-only media would hand its read-only mark on.
    const uint32_t error = CopyFileWritable(windows, source, target, false);
    if (error == 0) return 1;
    const bool blocked =
        error == plat::err::SharingViolation || error == plat::err::AccessDenied;
    if (!blocked || reportBlocked)
        message =
            std::string(msg::kCopyError) + targetName + WithNumber("  er = %d", error) + source;
    return blocked ? static_cast<int32_t>(error) : 0;
}

}  // namespace

std::string RefusedFileText(plat::Windows& windows, const char* fileName, int32_t os,
                            bool rename) {
    // The source path as the copy would have formed it; without a working
    // folder the path starts at the OS folder.
    std::string working;
    if (windows.folders().GetCurrentDirectory(working, kPathCapacity) != 0) working.clear();
    const char* osFolder = OsFolder(os);
    const std::string name = fileName ? fileName : "";
    return std::string(msg::kCopyError) + (rename ? "n" : "") + name +
           WithNumber("  er = %d", kInvalidNameError) + working + (osFolder ? osFolder : "\\") +
           name;
}

int32_t CopyPackageFile(plat::Windows& windows, const char* fileName, int32_t destination,
                        int32_t os, bool rename, std::string& message) {
    return CopyFromPackage(windows, fileName, destination, os, rename, false, message);
}

int32_t ReplacePackageFile(plat::Windows& windows, const char* fileName, int32_t destination,
                           int32_t os, std::string& message) {
    return CopyFromPackage(windows, fileName, destination, os, false, true, message);
}

bool ReplaceDll98(plat::Windows& windows, const std::string& keyPath, const char* dllName,
                  int32_t destination, int32_t version, std::string& message) {
    RegistryKey key(windows);
    if (!key.Open(plat::Root::LocalMachine, keyPath) &&
        RegistryKey::CreateKey(windows, plat::Root::LocalMachine, keyPath))
        key.Open(plat::Root::LocalMachine, keyPath);

    std::string dll = dllName ? dllName : "";
    int32_t copied = CopyPackageFile(windows, dll.c_str(), destination, Win98, false, message);
    if (CopyBlocked(copied)) {
        // The running spooler holds the old DLL: the new one goes beside it.
        copied = CopyPackageFile(windows, dll.c_str(), destination, Win98, true, message);
        if (CopyBlocked(copied)) {
            message = msg::kFatalReboot;
            return false;
        }
        if (copied == 1) dll = "n" + dll;
    }
    // Only a DLL that was really copied is recorded as the new version.
    if (copied != 1) return message.empty();
    key.SetString("Driver", dll);
    key.SetDword("DriverVersion", static_cast<uint32_t>(version));
    return true;
}

void CopyCoreDriverFiles(plat::Windows& windows, int32_t os, bool ddk, std::string& message) {
    if (os == Win98) {
        CopyPackageFile(windows, "ICONLIB.DLL", DestDriverDir, os, false, message);

        std::string system, windowsFolder;
        if (windows.folders().GetSystemDirectory(system, kPathCapacity) != 0 ||
            windows.folders().GetWindowsDirectory(windowsFolder, kWindowsPathCapacity) != 0) {
            message = msg::kNoMemory;
            return;
        }
        const std::string installed = system + "\\UNIDRV.DLL";
        if (windows.files().OpenExisting(installed) == 0) return;
        // The system keeps a backup of its own Unidrv; the package's copy is
        // the last resort.
        const std::string backup = windowsFolder + "\\Sysbckup\\UNIDRV.DLL";
        if (CopyFileWritable(windows, backup, installed, true) != 0)
            CopyPackageFile(windows, "UNIDRV.DLL", DestDriverDir, os, false, message);
        return;
    }
    if (UnidrvSupportOf(os, nullptr, ddk).copied) {
        // The support files are usually present already; a failed copy of
        // one of them does not stop the installation.
        std::string ignored;
        for (const char* file : kUnidrvSupportFiles)
            CopyPackageFile(windows, file, DestDriverDir, os, false, ignored);
    }
}

bool RegisterDriver(plat::Windows& windows, const DriverRecord& record, std::string& message) {
    const uint32_t error = windows.spooler().AddPrinterDriver(record);
    if (error == 0) return true;
    message = std::string(msg::kAddDriverError) + WithNumber("   er = %d", error);
    return false;
}

bool InstallDriverFiles(plat::Windows& windows, ModelConfigReader& reader, const char* model,
                        int32_t os, int32_t mode, const DriverFileTable& table,
                        const DriverRecord& record, std::string& message) {
    const char* configFile = table.Field(DriverFileTable::ConfigFile);
    const char* dataFile = table.Field(DriverFileTable::DataFile);
    const char* driverPath = table.Field(DriverFileTable::DriverPath);
    const char* helpFile = table.Field(DriverFileTable::HelpFile);
    if (IsEmpty(configFile) || IsEmpty(dataFile) || IsEmpty(driverPath) || IsEmpty(helpFile)) {
        message = msg::kLostDriverFiles;
        return false;
    }

    // Every copy goes to the printer-driver folder; the run stops at the
    // first copy after which a text stands (also one left by an earlier stage).
    auto copy = [&](const char* file, int32_t destination) {
        CopyPackageFile(windows, file, destination, os, false, message);
        return message.empty();
    };
    for (const char* file : {configFile, dataFile, driverPath, helpFile})
        if (!copy(file, DestDriverDir)) return false;
    for (size_t offset : {DriverFileTable::DataFileDll, DriverFileTable::OemuiDll,
                          DriverFileTable::OemuniDll, DriverFileTable::OemuniIni}) {
        const char* file = table.Field(offset);
        if (IsEmpty(file) || IsNoFile(file)) continue;
        if (!copy(file, DestDriverDir)) return false;
    }
    const char* fontFile = table.Field(DriverFileTable::ControlFontFile);
    if (!IsEmpty(fontFile) && !IsNoFile(fontFile) && !copy(fontFile, DestDriverDir3))
        return false;

    const bool ddk = reader.IsDdkDriver(model, os, mode);
    CopyCoreDriverFiles(windows, os, ddk, message);

    if (os == Win98 && model != nullptr && TakesDmColor(model)) {
        CopyPackageFile(windows, kDmColorDll, DestDriverDir, os, false, message);
        if (!message.empty()) return false;
    }

    if (ddk && IsEmpty(table.Field(DriverFileTable::DataFileDll))) {
        message = msg::kLostDriverFiles;
        return false;
    }
    return RegisterDriver(windows, record, message);
}
