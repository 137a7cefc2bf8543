// Helpers for the core's native tests: a simulated Windows of a given
// version with the sample installation package in place.
//
//   plat::SimTestWindows w;
//   support::SetOsClass(w, WinXP);
//   support::MountSamplePackage(w);        // C:\PKG, the program's folder
//   support::SetSamplePorts(w);            // the ports the package's monitors offer
//
// Header only; include it from a test that links simwindows_testing.
#pragma once

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/Types.h"
#include "simwindows/VersionLayouts.h"
#include "simwindows/testing/SimTestWindows.h"

namespace support {

// The root of the source tree: the build's KV_SOURCE_DIR, else found from
// this file's path (tests/support/ in it), which a build that maps source
// paths (a compiler cache, -ffile-prefix-map) makes relative.
inline std::string SourceDir() {
#ifdef KV_SOURCE_DIR
    return KV_SOURCE_DIR;
#else
    std::string path = __FILE__;
    for (int i = 0; i < 3; ++i) {
        size_t slash = path.find_last_of("/\\");
        if (slash == std::string::npos) return ".";
        path.resize(slash);
    }
    return path.empty() ? "/" : path;
#endif
}

// The version numbers that GetOsClass takes for each class.
inline plat::OsVersion VersionOf(int32_t os) { return plat::sim::VersionOfClass(os); }

// Makes the machine report the version of `os`, with the serial ports'
// records of that family.
inline void SetOsClass(plat::SimTestWindows& w, int32_t os) {
    w.SetVersion(VersionOf(os));
    plat::sim::PutPortRecords(w, os);
}

// The binaries that the build lays into the sample package, as stand-ins:
// the monitors, the driver's DLLs and the processor in each NT folder, the
// Windows 98 files in win98\, KvUsbInt.dll beside Setup.exe.
inline void PutSampleBinaries(plat::SimTestWindows& w, const std::string& at = "C:\\PKG") {
    const char* nt[] = {"QSUSBMON.DLL", "QSUSBUI.DLL", "QSCOMMON.DLL", "QSCOMUI.DLL",
                        "QSDRV.DLL",    "QSDRVUI.DLL", "QSRES.DLL",    "QSOEMUI.DLL",
                        "QSOEMUNI.DLL", "UNIRES.DLL",  "QSPROC.DLL"};
    for (const char* folder : {"winnt", "win2003", "Vista"})
        for (const char* file : nt) w.PutFile(at + "\\" + folder + "\\" + file, std::string("MZ ") + file);
    const char* w98[] = {"QSDRV.DLL", "QSDRVUI.DLL", "QSPROC.DLL", "QSUSBMON.DLL", "QSUSBUI.DLL",
                         "ICONLIB.DLL", "UNIDRV.DLL", "DMCOLOR.DLL"};
    for (const char* file : w98) w.PutFile(at + "\\win98\\" + file, std::string("MZ ") + file);
    w.PutFile(at + "\\KvUsbInt.dll", "MZ KvUsbInt.dll");
    w.PutFile(at + "\\Uninstall.exe", "MZ Uninstall.exe");
}

// Loads package/ of the source tree at `at`, adds the binaries' stand-ins,
// and makes `at` the program's folder and the current folder. Returns the
// number of files loaded from the host (-1 when package/ can't be read).
inline int MountSamplePackage(plat::SimTestWindows& w, const std::string& at = "C:\\PKG") {
    int n = w.MountHostFolder(SourceDir() + "/package", at);
    if (n < 0) return n;
    PutSampleBinaries(w, at);
    w.SetModuleFileName(at + "\\Setup.exe");
    w.SetCurrentFolder(at);
    return n;
}

// Loads package/ of the source tree at `at` with a stand-in, the bytes "MZ",
// for every binary that a model's files may name, in each Windows-version
// folder: whatever an installation copies is there. Returns the number of
// files loaded from the host (-1 when package/ can't be read).
inline int MountPackageForInstall(plat::SimTestWindows& w, const std::string& at = "C:\\PKG") {
    int n = w.MountHostFolder(SourceDir() + "/package", at);
    if (n < 0) return n;
    for (const char* folder : {"win98", "winnt", "win2003", "Vista"})
        for (const char* file :
             {"QSDRV.DLL", "QSDRVUI.DLL", "QSPROC.DLL", "QSUSBMON.DLL", "QSUSBUI.DLL",
              "QSCOMMON.DLL", "QSCOMUI.DLL", "QSRES.DLL", "QSOEMUI.DLL", "QSOEMUNI.DLL",
              "UNIRES.DLL", "ICONLIB.DLL", "DMCOLOR.DLL", "UNIDRV.DLL"})
            w.PutFile(at + "\\" + folder + "\\" + file, "MZ");
    return n;
}

// The USB ports of the models, as the USB monitor offers them once added:
// "USB_<model>_1" to "USB_<model>_<count>".
inline std::vector<std::string> UsbPorts(const std::vector<std::string>& models, int count = 4) {
    std::vector<std::string> ports;
    for (const auto& m : models)
        for (int i = 1; i <= count; ++i) ports.push_back("USB_" + m + "_" + std::to_string(i));
    return ports;
}

// "VXCOM1:" to "VXCOM8:", the serial monitor's ports.
inline std::vector<std::string> SerialMonitorPorts() {
    std::vector<std::string> ports;
    for (int i = 1; i <= 8; ++i) ports.push_back("VXCOM" + std::to_string(i) + ":");
    return ports;
}

// The ports of the sample package's monitors: QSUSBMON.DLL offers the USB
// ports of the models in setup.ini's "SUPPORTED-USB-DEVICE", QSCOMMON.DLL
// the VXCOM ports.
inline void SetSamplePorts(plat::SimTestWindows& w, const std::string& at = "C:\\PKG") {
    std::string ini = at + "\\DRVCONFIG\\setup.ini";
    std::vector<std::string> usb;
    int count =
        std::atoi(w.profile()
                      .GetPrivateProfileString("SUPPORTED-USB-DEVICE", "PRNCOUNT", "0", 12, ini)
                      .c_str());
    for (int i = 0; i < count; ++i)
        usb.push_back(w.profile().GetPrivateProfileString("SUPPORTED-USB-DEVICE", std::to_string(i),
                                                          "", 200, ini));
    w.SetMonitorPorts("QSUSBMON.DLL", usb);
    w.SetMonitorPorts("QSCOMMON.DLL", SerialMonitorPorts());
}

// The texts of the message boxes shown so far.
inline std::vector<std::string> MessageTexts(const plat::SimTestWindows& w) {
    std::vector<std::string> texts;
    for (const auto& box : w.MessageBoxes()) texts.push_back(box.text);
    return texts;
}

// A printer queue on `port` with its driver, as Setup leaves one behind.
inline void InstallQueue(plat::SimTestWindows& w, const std::string& name,
                         const std::string& driver, const std::string& port = "LPT1:") {
    plat::sim::DriverRecordSim d;
    d.name = driver;
    d.environment = w.spooler().LocalEnvironment();
    d.driverPath = "QSDRV.DLL";
    w.InstallDriver(d);
    plat::PrinterInfo p;
    p.printerName = name;
    p.driverName = driver;
    p.portName = port;
    p.printProcessor = "WinPrint";
    w.InstallPrinter(p);
}

// Every file named `name` (without regard to case) in the folder tree below
// `folder`, as full paths.
inline std::vector<std::string> FindFiles(const plat::SimTestWindows& w, const std::string& folder,
                                          const std::string& name) {
    auto lower = [](std::string text) {
        for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    };
    std::vector<std::string> found;
    for (const std::string& entry : w.ListFolder(folder)) {
        const std::string path = folder + "\\" + entry;
        if (w.FolderExists(path)) {
            for (std::string& inner : FindFiles(w, path, name)) found.push_back(std::move(inner));
        } else if (lower(entry) == lower(name)) {
            found.push_back(path);
        }
    }
    return found;
}

}  // namespace support
