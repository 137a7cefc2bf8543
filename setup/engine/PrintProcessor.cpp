// The model's own print processor: installed when missing, flagged when the
// installed one is older than the package's, and replaced.
#include <cstring>
#include <string>

#include "common/FileAttributes.h"
#include "common/FileNames.h"
#include "common/RegistryKey.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Registry.h"
#include "platform/Spooler.h"
#include "platform/Windows.h"
#include "setup/engine/InstalledKeys.h"
#include "setup/engine/Messages.h"
#include "setup/engine/Stages.h"

namespace {

constexpr uint32_t kPathCapacity = 256;

const char* OrEmpty(const char* text) { return text ? text : ""; }
bool IsEmpty(const char* text) { return text == nullptr || text[0] == '\0'; }

}  // namespace

std::string ProcessorKey(plat::Windows& windows, int32_t os, const std::string& processorName) {
    const char* environment =
        os == Win98 ? kWin98Environment : windows.spooler().LocalEnvironment();
    return std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\") +
           environment + "\\Print Processors\\" + processorName;
}

int32_t CheckPrintProcessor(plat::Windows& windows, int32_t os, const char* processorName,
                            const char* dllName, std::string& message) {
    const int32_t version = ModelConfigReader(windows).ReadProcessorVersion();
    // The system's own processor needs nothing from the package.
    if (processorName != nullptr && std::strcmp(processorName, "WinPrint") == 0) return 0;

    // The spooler loads the DLL by the name it is registered with: a name
    // that leads out of the processor folder is neither copied nor
    // registered, and the stage fails before anything is written (also for
    // a replacement, which would run with the spooler stopped).
    const bool refused = !IsEmpty(dllName) && !IsPlainFileName(dllName);
    auto refuse = [&] {
        message = RefusedFileText(windows, dllName, os, false);
        return -14;
    };

    const std::string path = ProcessorKey(windows, os, OrEmpty(processorName));
    RegistryKey key(windows);
    if (key.Open(plat::Root::LocalMachine, path)) {
        uint32_t installed = 0;
        const bool recorded = key.QueryDword("DriverVersion", installed);
        if (IsCurrentVersion(recorded, installed, version)) return 0;
        return refused ? refuse() : UpdatePrintProcessor;
    }

    if (refused) return refuse();
    // A copy that fails shows in the registration that follows.
    if (!IsEmpty(dllName)) {
        std::string discarded;
        CopyPackageFile(windows, dllName, DestProcessorDir, os, false, discarded);
    }
    if (RegisterPrintProcessor(windows, processorName, dllName, os) != 1) {
        message = msg::kAddProcessorError;
        return -14;
    }
    if (key.Open(plat::Root::LocalMachine, path))
        key.SetDword("DriverVersion", static_cast<uint32_t>(version));
    windows.clock().Sleep(200);
    return 0;
}

int32_t RegisterPrintProcessor(plat::Windows& windows, const char* processorName,
                               const char* dllName, int32_t os) {
    const char* environment = os == Win98 ? kWin98Environment : nullptr;
    const uint32_t error =
        windows.spooler().AddPrintProcessor(environment, OrEmpty(dllName), OrEmpty(processorName));
    if (error == 0) return 1;
    if (error == plat::err::InvalidParameter || error == plat::err::AlreadyExists ||
        error == plat::err::PrintProcessorAlreadyInstalled)
        return static_cast<int32_t>(error);
    return 0;
}

bool ReplacePrintProcessorNT(plat::Windows& windows, int32_t os, const char* processorName,
                             const char* dllName, const std::string& processorDir,
                             int32_t version, std::string& message) {
    if (!IsEmpty(dllName) && !IsPlainFileName(dllName)) {
        message = RefusedFileText(windows, dllName, os, false);
        return false;
    }
    std::string working;
    if (windows.folders().GetCurrentDirectory(working, kPathCapacity) != 0) {
        message = msg::kNoCurrentDir;
        return false;
    }
    const char* folder = OsFolder(os);
    const std::string source = working + (folder ? folder : "\\") + OrEmpty(dllName);
    const std::string target = processorDir + "\\" + OrEmpty(dllName);
    // A read-only copy left behind must not block the overwrite.
    windows.files().SetFileAttributes(target, plat::attr::Archive);
    if (CopyFileWritable(windows, source, target, false) != 0) {
        message = std::string(msg::kCopyError) + source;
        return false;
    }
    RegistryKey key(windows);
    if (key.Open(plat::Root::LocalMachine, ProcessorKey(windows, os, OrEmpty(processorName))))
        key.SetDword("DriverVersion", static_cast<uint32_t>(version));
    return true;
}

bool ReplacePrintProcessor98(plat::Windows& windows, const char* processorName,
                             const char* dllName, int32_t version, std::string& message) {
    return ReplaceDll98(windows, ProcessorKey(windows, Win98, OrEmpty(processorName)), dllName,
                        DestProcessorDir, version, message);
}
