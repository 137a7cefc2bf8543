#include "qsetup/MountedPackage.h"

#include <set>
#include <vector>

#include "common/Types.h"
#include "platform/Files.h"
#include "platform/Spooler.h"
#include "platform/System.h"
#include "platform/Windows.h"
#include "qsetup/OsNames.h"
#include "setup/config/ModelConfigReader.h"
#include "setup/engine/Stages.h"
#include "setup/wizard/PortPage.h"
#include "simwindows/VersionLayouts.h"

namespace qsetup {

namespace {

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
        if (ReadPortSectionKey(w, moduleIni, PortSection(model), portkey::kUsbSupported) == 0)
            continue;
        for (int n = 1; n <= 4; ++n) {
            const std::string port = UsbPortName(model, n);
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
    if (windows.files().FindFirstFile(root + "\\" + name, find, data) == plat::err::Success &&
        !(data.attributes & plat::attr::Directory))
        return data.name;
    return name;
}

namespace {

bool ReadTree(plat::Windows& from, const std::string& source, const std::string& target,
              PackageImage& image) {
    image.folders.push_back(target);
    plat::FindHandle find;
    plat::FindData entry;
    if (from.files().FindFirstFile(source + "\\*.*", find, entry) != plat::err::Success)
        return false;
    do {
        if (entry.name == "." || entry.name == "..") continue;
        const std::string s = source + "\\" + entry.name, t = target + "\\" + entry.name;
        if (entry.attributes & plat::attr::Directory) {
            if (!ReadTree(from, s, t, image)) return false;
        } else {
            // A file that can't be read (a program running from the package)
            // is there all the same: what matters of it is its name.
            std::string bytes;
            if (from.files().ReadFile(s, bytes) != plat::err::Success) bytes.clear();
            image.files.emplace_back(t, std::move(bytes));
        }
    } while (from.files().FindNextFile(find, entry) == plat::err::Success);
    return true;
}

}  // namespace

void FinishMount(plat::SimWindows& w) {
    w.SetReadOnlyMount(kSimPackage, true);
    w.SetModuleFileName(std::string(kSimPackage) + "\\" +
                        PackageFileName(w, kSimPackage, "Setup.exe"));
    w.SetCurrentFolder(kSimPackage);
}

bool ReadPackageImage(plat::Windows& from, const std::string& root, PackageImage& image) {
    image = {};
    return ReadTree(from, root, kSimPackage, image);
}

void PutPackageImage(const PackageImage& image, plat::SimWindows& w) {
    // The machine's own placeholder of the program goes: the package's counts.
    w.RemovePath(std::string(kSimPackage) + "\\Setup.exe");
    for (const std::string& folder : image.folders) w.PutFolder(folder);
    for (const auto& [path, bytes] : image.files) w.PutFile(path, bytes);
    FinishMount(w);
}

bool CopyPackage(plat::Windows& from, const std::string& root, plat::SimWindows& w) {
    PackageImage image;
    if (!ReadPackageImage(from, root, image)) return false;
    PutPackageImage(image, w);
    return true;
}

void PrepareMachine(plat::SimWindows& w, int32_t os, std::optional<int32_t> usbPrinterId,
                    std::string& assumed) {
    const plat::OsVersion version = plat::sim::VersionOfClass(os);
    w.SetVersion(version);
    plat::sim::PutPortRecords(w, os);
    if (const char* environment = OsEnvironment(os)) w.SetLocalEnvironment(environment);

    ModelConfigReader reader(w);
    MonitorSettings monitors;
    reader.ReadMonitorSettings(os, monitors);
    std::vector<std::string> serial;
    for (int i = 1; i <= kVxComPorts; ++i) serial.push_back(VxComPortName(i));
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
    w.spooler().EnumPorts(ports);
    std::string local;
    for (const std::string& p : ports) local += (local.empty() ? "" : " ") + p;
    assumed = std::string("a fresh ") + OsName(os) + " (" +
              (version.platformId == 1 ? "" : "NT ") + std::to_string(version.major) + "." +
              std::to_string(version.minor) + " build " + std::to_string(version.build) +
              "), the user an administrator, the spooler running, no printer installed; ports " +
              local + "; once added, the serial monitor " + serialDll +
              " offers " + VxComPortName(1) + " to " + VxComPortName(kVxComPorts) + " and the USB monitor " + usbDll + " " +
              std::to_string(usb.size()) + " USB ports; " +
              (usbPrinterId ? "one USB printer of the maker attached, internal ID " +
                                  std::to_string(*usbPrinterId)
                            : std::string("no USB printer attached")) +
              (usbLibrary ? "" : "; no KvUsbInt.dll in the package");
}

}  // namespace qsetup
