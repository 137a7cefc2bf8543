// A simulated machine with the sample package's Uninstall.ini and what Setup
// leaves behind (USB and serial monitors, the QSPrint processor, two queues
// with their drivers, the USB records), next to the system's own monitors,
// processor and an unrelated printer; and the dialog's view without a window.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "simwindows/testing/SimTestWindows.h"
#include "tests/support/SamplePackage.h"
#include "uninstall/Messages.h"
#include "uninstall/UninstallEngine.h"
#include "uninstall/UninstallIni.h"
#include "uninstall/UninstallState.h"
#include "uninstall/UninstallView.h"

namespace unstest {

using namespace uninstall;
using plat::Root;

// What the dialog's window would show of the view: each change of a
// control's enabled state in order, and the restart question with its answer.
class FakeScreen final : public UninstallScreen {
public:
    explicit FakeScreen(UninstallView& view) : view_(view) { view.SetScreen(this); }

    std::vector<std::pair<int, bool>> enableLog;
    int restartAnswer = kRestartNo;
    int restartShown = 0;
    // Status lines seen when the restart dialog was shown.
    size_t statusAtRestart = 0;

    void Changed(UninstallView& view) override {
        for (auto& [id, enabled] : enabled_)
            if (view.Enabled(id) != enabled) {
                enabled = view.Enabled(id);
                enableLog.emplace_back(id, enabled);
            }
    }
    int AskRestart() override {
        ++restartShown;
        statusAtRestart = view_.StatusLines().size();
        return restartAnswer;
    }

private:
    UninstallView& view_;
    std::vector<std::pair<int, bool>> enabled_ = {{IDC_UNINSTALL, true}, {IDC_ITEM_LIST, true},
                                                  {IDC_SELECT_ALL, true}, {kExitButton, true}};
};

inline std::string HostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline const std::string kUsbMonitor = "Quillset USB Port Monitor";
inline const std::string kSerialMonitor = "Quillset Serial Port Monitor";
inline const std::string kProcessor = "QSPrint";
inline const std::string kUsbPrinter = "Quillset KRT-P58(U) 1";
inline const std::string kLptPrinter = "Quillset KTT-20";
inline const std::string kUsbDriver = "Quillset KRT-P58 Receipt";
inline const std::string kLptDriver = "Quillset KTT-20 Ticket";
inline const std::string kOtherPrinter = "Office Laser 0";
inline const std::string kSystem = "C:\\WINDOWS\\system32";
inline const std::string kTarvelo = "SOFTWARE\\TARVELO";

class UninstallMachine : public ::testing::Test {
protected:
    plat::SimTestWindows w;
    UninstallState state;
    UninstallIni ini{w, state};
    UninstallView view;
    FakeScreen screen{view};

    void SetUp() override {
        w.SetModuleFileName("C:\\PKG\\Uninstall.exe");
        w.SetCurrentFolder("C:\\PKG");
        w.PutFile("C:\\PKG\\DRVCONFIG\\Uninstall.ini",
                  HostFile(std::string(KV_SOURCE_PACKAGE_DIR) + "/DRVCONFIG/Uninstall.ini"));
        state.iniPath = "C:\\PKG\\DRVCONFIG\\Uninstall.ini";
        state.osClass = WinXP;
        uint32_t error = 0;
        state.spooler = w.spooler().LoadSpoolerLibrary("Winspool.drv", error);
    }

    std::string ProcessorDir() {
        std::string dir;
        w.folders().GetPrintProcessorDirectory(nullptr, dir, 256);
        return dir;
    }

    // The system's own spooler content and an unrelated printer.
    void InstallSystemItems() {
        w.PutFile(kSystem + "\\localspl.dll", "MZ");
        w.InstallMonitor("Local Port", w.spooler().LocalEnvironment(), "localspl.dll");
        w.InstallMonitor("Standard TCP/IP Port 0", w.spooler().LocalEnvironment(), "tcpmon.dll");
        w.InstallPrintProcessor(w.spooler().LocalEnvironment(), "WinPrint", "winprint.dll");
        InstallQueue(kOtherPrinter, "HP LaserJet 0", "LPT2:");
    }

    void InstallQueue(const std::string& name, const std::string& driver,
                      const std::string& port) {
        support::InstallQueue(w, name, driver, port);
    }

    // What Setup installed: both monitors with their DLLs, the processor with
    // its DLL, a USB and a parallel queue, and the USB records.
    void InstallPackageItems() {
        for (const char* dll : {"QSUSBMON.DLL", "QSUSBUI.DLL", "QSCOMMON.DLL", "QSCOMUI.DLL"})
            w.PutFile(kSystem + "\\" + dll, "MZ");
        w.SetMonitorPorts("QSUSBMON.DLL", {"USB_KRT-P58_1"});
        w.SetMonitorPorts("QSCOMMON.DLL", {"KVCOM1:"});
        w.InstallMonitor(kUsbMonitor, w.spooler().LocalEnvironment(), "QSUSBMON.DLL");
        w.InstallMonitor(kSerialMonitor, w.spooler().LocalEnvironment(), "QSCOMMON.DLL");
        w.PutFile(ProcessorDir() + "\\QSPROC.DLL", "MZ");
        w.InstallPrintProcessor(w.spooler().LocalEnvironment(), kProcessor, "QSPROC.DLL");
        InstallQueue(kUsbPrinter, kUsbDriver, "USB_KRT-P58_1");
        InstallQueue(kLptPrinter, kLptDriver, "LPT1:");
        w.PutRegDword(Root::LocalMachine, kTarvelo + "\\INSTALLPRINTER", kUsbPrinter, 0);
        w.PutRegDword(Root::LocalMachine, kTarvelo + "\\PORTNAME", "USB_KRT-P58_1", 0);
        w.PutRegDword(Root::LocalMachine, kTarvelo + "\\PRINTERPORT", "USB_KRT-P58_1", 0);
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& item : view.Items()) texts.push_back(item.text);
        return texts;
    }
    void Tick(const std::string& text) {
        for (int i = 0; i < view.ItemCount(); ++i)
            if (view.ItemText(i) == text) view.CheckItem(i);
    }
    void TickAll() {
        for (int i = 0; i < view.ItemCount(); ++i) view.CheckItem(i);
    }
    void ClearList() {
        while (view.ItemCount() > 0) view.DeleteItem(0);
    }

    void WriteIni(const std::string& text) {
        w.PutFile(state.iniPath, text);
    }

    std::vector<std::string> MonitorNames() const {
        std::vector<std::string> names;
        for (const auto& m : w.Monitors()) names.push_back(m.name);
        return names;
    }
    std::vector<std::string> PrinterNames() const {
        std::vector<std::string> names;
        for (const auto& p : w.Printers()) names.push_back(p.printerName);
        return names;
    }
    std::vector<std::string> DriverNames() const {
        std::vector<std::string> names;
        for (const auto& d : w.Drivers()) names.push_back(d.name);
        return names;
    }
};

}  // namespace unstest
