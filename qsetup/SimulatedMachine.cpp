#include "qsetup/SimulatedMachine.h"

#include <set>
#include <vector>

#include "common/Types.h"
#include "platform/sim/SimMachine.h"
#include "setup/config/ModelConfigReader.h"
#include "setup/engine/Stages.h"

namespace qsetup {

namespace {

constexpr const char* kOsNames[6] = {"Windows 98/Me", "Windows NT 4.0",      "Windows 2000",
                                     "Windows XP",    "Windows Server 2003", "Windows Vista"};

// The USB ports the USB monitor offers: the package's device list and the
// four ports of each model that supports USB.
std::vector<std::string> UsbPorts(plat::Windows& w) {
    std::vector<std::string> ports = ReadSupportedUsbDevices(w);
    std::set<std::string> seen(ports.begin(), ports.end());
    ModelConfigReader reader(w);
    const int32_t count = reader.ReadModelCount();
    for (int32_t i = 1; i <= count; ++i) {
        char model[ModelConfigReader::kFieldSize] = {};
        const int32_t kind = reader.ReadModelEntry(i, model);
        if (kind < 0) continue;
        char setupIni[ModelConfigReader::kFieldSize], moduleIni[ModelConfigReader::kFieldSize];
        BuildConfigPaths(w, kind, setupIni, moduleIni);
        if (ReadPortSectionKey(w, moduleIni, std::string(model) + ".PORT", portkey::kUsbSupported) == 0)
            continue;
        for (int n = 1; n <= 4; ++n) {
            const std::string port = "USB_" + std::string(model) + "_" + std::to_string(n);
            if (seen.insert(port).second) ports.push_back(port);
        }
    }
    return ports;
}

}  // namespace

std::string PackageFileName(plat::Windows& windows, const std::string& root,
                            const std::string& name) {
    plat::FindHandle find;
    plat::FindData data;
    if (windows.FindFirstFile(root + "\\" + name, find, data) == plat::err::Success &&
        !(data.attributes & plat::attr::Directory))
        return data.name;
    return name;
}

bool PrepareMachine(plat::SimWindows& w, const std::string& hostDir, int32_t os,
                    std::optional<int32_t> usbPrinterId, std::string& assumed) {
    const plat::OsVersion version = plat::sim::VersionOfClass(os);
    w.SetVersion(version);
    plat::sim::PutPortRecords(w, os);
    if (os == Win98) w.SetLocalEnvironment(kWin98Environment);
    if (!MountPackage(w, hostDir)) return false;

    ModelConfigReader reader(w);
    MonitorSettings monitors;
    reader.ReadMonitorSettings(os, monitors);
    std::vector<std::string> serial;
    for (int i = 1; i <= 8; ++i) serial.push_back("VXCOM" + std::to_string(i) + ":");
    const std::vector<std::string> usb = UsbPorts(w);
    const std::string serialDll = monitors.serialMonitor.pDLLName;
    const std::string usbDll = monitors.usbMonitor.pDLLName;
    // A DLL in use is installed under its "n" name; it offers the same ports.
    for (const std::string& dll : {serialDll, "n" + serialDll}) w.SetMonitorPorts(dll, serial);
    for (const std::string& dll : {usbDll, "n" + usbDll}) w.SetMonitorPorts(dll, usb);
    const bool usbLibrary = w.FileExists(std::string(kSimPackage) + "\\KvUsbInt.dll");
    w.SetUsbLibraryPresent(usbLibrary);
    if (usbPrinterId) w.AttachUsbPrinter(0, *usbPrinterId);

    std::vector<std::string> ports;
    w.EnumPorts(ports);
    std::string local;
    for (const std::string& p : ports) local += (local.empty() ? "" : " ") + p;
    assumed = std::string("a fresh ") + kOsNames[os >= 0 && os <= 5 ? os : 3] + " (" +
              (version.platformId == 1 ? "" : "NT ") + std::to_string(version.major) + "." +
              std::to_string(version.minor) + " build " + std::to_string(version.build) +
              "), the user an administrator, the spooler running, no printer installed; ports " +
              local + "; once added, the serial monitor " + serialDll +
              " offers VXCOM1: to VXCOM8: and the USB monitor " + usbDll + " " +
              std::to_string(usb.size()) + " USB ports; " +
              (usbPrinterId ? "one USB printer of the maker attached, internal ID " +
                                  std::to_string(*usbPrinterId)
                            : std::string("no USB printer attached")) +
              (usbLibrary ? "" : "; no KvUsbInt.dll in the package");
    return true;
}

}  // namespace qsetup
