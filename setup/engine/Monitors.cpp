// The serial and USB port monitors of the package: installed when missing,
// flagged when the installed one is older than the package's, and replaced.
#include <cstdio>
#include <cstring>
#include <string>

#include "common/FileNames.h"
#include "common/RegistryKey.h"
#include "platform/Registry.h"
#include "platform/Spooler.h"
#include "platform/Windows.h"
#include "setup/engine/InstalledKeys.h"
#include "setup/engine/Messages.h"
#include "setup/engine/Stages.h"

namespace {

bool IsEmpty(const char* text) { return text == nullptr || text[0] == '\0'; }
const char* OrEmpty(const char* text) { return text ? text : ""; }

// One monitor of the check: `flag` when it is installed and older than the
// package's, 0 when it is current or was installed now, -1 when its
// registration failed or a file name was refused (text in `message`).
// `copyMessage` takes the texts of the file copies.
int32_t CheckMonitor(plat::Windows& windows, const plat::MonitorInfo2& monitor,
                     const char* uiDllName, int32_t version, int32_t os, int32_t flag,
                     std::string& copyMessage, std::string& message) {
    std::string dll = OrEmpty(monitor.pDLLName);
    // The spooler loads the DLL by the name it is registered with: a name
    // that leads out of the system folder is neither copied nor registered,
    // and the stage fails before anything is written (also for a
    // replacement, which would run with the spooler stopped).
    auto refuse = [&](const char* name) {
        message = RefusedFileText(windows, name, os, false);
        return -1;
    };

    RegistryKey key(windows);
    const std::string path = MonitorKey(OrEmpty(monitor.pName));
    if (key.Open(plat::Root::LocalMachine, path)) {
        uint32_t installed = 0;
        const bool recorded = key.QueryDword("DriverVersion", installed);
        if (IsCurrentVersion(recorded, installed, version)) return 0;
        return IsPlainFileName(dll) ? flag : refuse(dll.c_str());
    }

    if (!IsPlainFileName(dll)) return refuse(dll.c_str());
    if (!IsEmpty(uiDllName) && uiDllName[0] != '0' && !IsPlainFileName(uiDllName))
        return refuse(uiDllName);
    // A DLL still loaded from an earlier installation is copied under a new
    // name and registered under it.
    if (CopyBlocked(CopyPackageFile(windows, dll.c_str(), DestSystemDir, os, false, copyMessage))) {
        CopyPackageFile(windows, dll.c_str(), DestSystemDir, os, true, copyMessage);
        dll = "n" + dll;
    }
    if (!IsEmpty(uiDllName))
        CopyPackageFile(windows, uiDllName, DestSystemDir, os, false, copyMessage);

    if (!RegisterMonitor(windows, OrEmpty(monitor.pName), monitor.pEnvironment, dll.c_str(),
                         message))
        return -1;
    if (key.Open(plat::Root::LocalMachine, path))
        key.SetDword("DriverVersion", static_cast<uint32_t>(version));
    return 0;
}

}  // namespace

int32_t CheckPortMonitors(plat::Windows& windows, ModelConfigReader& reader, int32_t os,
                          const char* portName, std::string& message) {
    if (portName == nullptr || std::strstr(portName, "LPT") != nullptr) return 0;

    MonitorSettings settings;
    reader.ReadMonitorSettings(os, settings);

    int32_t result = 0;
    if (std::strstr(portName, "COM") != nullptr && !IsEmpty(settings.serialMonitor.pDLLName) &&
        os != Win98) {
        const int32_t serial =
            CheckMonitor(windows, settings.serialMonitor, settings.serialUiDllName,
                         settings.serialVersion, os, UpdateSerialMonitor, message, message);
        if (serial < 0) return -15;
        if (serial != 0) result = serial;
    }
    if (std::strstr(portName, "USB_") != nullptr && !IsEmpty(settings.usbMonitor.pDLLName) &&
        os != WinNT4) {
        // The USB monitor's copies report nothing; a missing file shows in
        // its registration.
        std::string discarded;
        const int32_t usb = CheckMonitor(windows, settings.usbMonitor, settings.usbUiDllName,
                                         settings.usbVersion, os, UpdateUsbMonitor, discarded,
                                         message);
        if (usb < 0) return -15;
        if (usb != 0) result = usb;
    }
    return result;
}

bool RegisterMonitor(plat::Windows& windows, const char* name, const char* environment,
                     const char* dllName, std::string& message) {
    plat::MonitorInfo2 info;
    info.pName = name;
    info.pEnvironment = environment;
    info.pDLLName = dllName;
    const uint32_t error = windows.spooler().AddMonitor(info);
    if (error == 0 || error == plat::err::PrintMonitorAlreadyInstalled ||
        error == plat::err::AlreadyExists)
        return true;
    char number[32];
    std::snprintf(number, sizeof number, "%d", static_cast<int>(error));
    message = std::string(msg::kAddMonitorError) + " Erro code is:" + number;
    return false;
}

bool ReplaceMonitorNT(plat::Windows& windows, const MonitorSettings& settings, int32_t flag,
                      int32_t os, std::string& message) {
    const bool usb = flag == UpdateUsbMonitor;
    if (!usb && flag != UpdateSerialMonitor) return true;
    const plat::MonitorInfo2& monitor = usb ? settings.usbMonitor : settings.serialMonitor;
    const int32_t version = usb ? settings.usbVersion : settings.serialVersion;
    const char* dll = OrEmpty(monitor.pDLLName);
    // The "Driver" value names the DLL that the spooler loads.
    if (!IsPlainFileName(dll)) {
        message = RefusedFileText(windows, dll, os, false);
        return false;
    }

    // With the spooler stopped the DLL must be free; one still held by
    // another program leaves the old monitor in place, and that is a failure.
    ReplacePackageFile(windows, dll, DestSystemDir, os, message);
    if (!message.empty()) return false;

    RegistryKey key(windows);
    if (key.Open(plat::Root::LocalMachine, MonitorKey(OrEmpty(monitor.pName)))) {
        if (usb) key.SetString("Driver", dll);
        key.SetDword("DriverVersion", static_cast<uint32_t>(version));
    }
    return true;
}

bool ReplaceUsbMonitor98(plat::Windows& windows, const MonitorSettings& settings,
                         std::string& message) {
    const plat::MonitorInfo2& monitor = settings.usbMonitor;
    return ReplaceDll98(windows, MonitorKey(OrEmpty(monitor.pName)), monitor.pDLLName, DestSystemDir,
                        settings.usbVersion, message);
}
