// A simulated machine with the sample installation package mounted at C:\PKG
// (the program's folder and the current folder), driver binaries stood in
// for in every Windows-version folder, and a way to run the Install command
// on it without a window.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <memory>
#include <string>
#include <vector>

#include "setup/engine/InstallCommand.h"
#include "setup/engine/Messages.h"
#include "simwindows/testing/SimTestWindows.h"
#include "tests/support/SamplePackage.h"

namespace seqtest {

inline constexpr const char* kPkg = "C:\\PKG";
inline constexpr const char* kSystem = "C:\\WINDOWS\\system32";
inline constexpr const char* kDriverDirNT = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86";
inline constexpr const char* kDriverDir98 = "C:\\WINDOWS\\system32\\spool\\drivers\\win40";
inline constexpr const char* kProcDirNT = "C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86";
inline constexpr const char* kMonitorKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";
inline constexpr const char* kProcKeyNT =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print "
    "Processors\\";
inline constexpr const char* kUsbMonitor = "Quillset USB Port Monitor";
inline constexpr const char* kSerialMonitor = "Quillset Serial Port Monitor";
inline constexpr const char* kPrinterPortKey = "SOFTWARE\\TARVELO\\PRINTERPORT";
inline constexpr const char* kPortNameKey = "SOFTWARE\\TARVELO\\PORTNAME";
inline constexpr const char* kNtPortsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";

// The progress window of the tests: waits for the worker's word without
// touching the machine's clock, so that the recorded waits are the worker's
// alone. With `closeEarly` it returns at once, as the window on Windows 98/Me
// does when its bar reaches 90 before the worker is done.
class WaitingProgress final : public ProgressHost {
public:
    void RunModal(std::atomic<int32_t>& state, int32_t os) override {
        ++runs;
        lastOs = os;
        if (closeEarly) return;
        // Polls rather than std::atomic::wait, whose mingw build can miss
        // a wake-up and hang the test under Wine.
        while (state.load() == CompletionRunning)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        seenState = state.load();
    }
    bool closeEarly = false;
    int runs = 0;
    int32_t lastOs = -1;
    int32_t seenState = -1;
};

class RecordingWizard final : public WizardWindow {
public:
    void ShowMinimized() override { ++minimized; }
    void MakeTopmost() override { ++topmost; }
    int minimized = 0, topmost = 0;
};

class InstallMachine : public ::testing::Test {
protected:
    static constexpr plat::Window kWizard = 0x5150;

    void SetUp() override {
        ASSERT_GT(support::MountPackageForInstall(w, kPkg), 0);
        const std::vector<std::string> usbPorts = support::UsbPorts(
            {"KRT-P58", "KRT-A100", "KRT-B200", "KRT-C3", "KTT-T80", "KLB-L40", "KEM-E20"});
        const std::vector<std::string> comPorts = support::SerialMonitorPorts();
        w.SetMonitorPorts("QSUSBMON.DLL", usbPorts);
        w.SetMonitorPorts("nQSUSBMON.DLL", usbPorts);
        w.SetMonitorPorts("QSCOMMON.DLL", comPorts);
        w.SetMonitorPorts("nQSCOMMON.DLL", comPorts);
        w.PutRegString(plat::Root::LocalMachine, kNtPortsKey, "COM1:", "9600,n,8,1");
        w.SetUsbLibraryPresent(true);
        session = std::make_unique<InstallSession>(w);
    }

    // The choices of a Typical installation of a receipt model on Windows XP.
    static WizardChoices Choices(const std::string& model, const std::string& port,
                                 int32_t os = WinXP, int32_t module = Receipt) {
        WizardChoices c;
        c.module = module;
        c.model = model;
        c.os = os;
        c.portName = port;
        c.setupType = SetupTypical;
        // The port page picks the raster driver for every port but a serial one.
        c.driverMode = port.find("COM") != std::string::npos ? Std : Gdi;
        return c;
    }

    InstallOutcome Install(const WizardChoices& c) {
        InstallCommand command(w, *session, progress, wizard, MessageContext{kWizard, "Setup"});
        return command.Run(c);
    }

    std::vector<std::string> BoxTexts() const { return support::MessageTexts(w); }

    std::optional<std::string> Reg(const std::string& path, const std::string& name) const {
        return w.RegText(plat::Root::LocalMachine, path, name);
    }

    bool HasPrinter(const std::string& name) const { return w.FindPrinter(name).has_value(); }

    plat::SimTestWindows w;
    std::unique_ptr<InstallSession> session;
    WaitingProgress progress;
    RecordingWizard wizard;
};

}  // namespace seqtest
