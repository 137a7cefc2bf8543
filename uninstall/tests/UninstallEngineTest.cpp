// The removal engine on the simulated Windows: the pre-check, the item loop
// in list order, each kind of removal with its failures, the status lines,
// the waits, the records and files that go, and the restart offer.
#include <gtest/gtest.h>

#include <algorithm>

#include "uninstall/UninstallDialogLogic.h"
#include "uninstall/tests/UninstallMachine.h"

namespace {

using namespace unstest;
using Lines = std::vector<std::string>;
using Sleeps = std::vector<uint32_t>;

class UninstallEngineTest : public UninstallMachine {
protected:
    UninstallEngine engine{w, state, ini, view};

    void SetUp() override {
        UninstallMachine::SetUp();
        InstallSystemItems();
        InstallPackageItems();
        FillItemList(w, state, ini, view);
        ASSERT_EQ(Texts(), (Lines{kUsbPrinter, kLptPrinter, kUsbMonitor, kSerialMonitor,
                                           kProcessor}));
        w.ClearSleeps();
        w.ClearServiceLog();
    }

    // Runs the worker on this thread; returns the status lines it added.
    Lines Run() {
        const size_t before = view.StatusLines().size();
        EXPECT_EQ(engine.UninstallWorker(), 1u);
        EXPECT_FALSE(engine.Running());
        const Lines& lines = view.StatusLines();
        return Lines(lines.begin() + static_cast<long>(before), lines.end());
    }

    bool Enabled(int id) { return view.Enabled(id); }
    bool FileThere(const std::string& path) { return w.FileExists(path); }
    bool HasProcessor(const std::string& name) {
        for (const auto& p : w.Processors())
            if (p.name == name) return true;
        return false;
    }
    bool HasMonitor(const std::string& name) {
        const auto names = MonitorNames();
        return std::find(names.begin(), names.end(), name) != names.end();
    }
};

TEST_F(UninstallEngineTest, SelectAllRemovesEverythingInListOrder) {
    SelectAll(view);
    const Lines lines = Run();
    EXPECT_EQ(lines, (Lines{
        "Deleting printer Quillset KRT-P58(U) 1,please wait...",
        "Quillset KRT-P58(U) 1 has been deleted.",
        "Deleting Quillset KRT-P58(U) 1's driver,please wait...",
        "The printer driver has been deleted.",
        "Deleting printer Quillset KTT-20,please wait...",
        "Quillset KTT-20 has been deleted.",
        "Deleting Quillset KTT-20's driver,please wait...",
        "The printer driver has been deleted.",
        "Deleting Quillset USB Port Monitor,please wait...",
        "Quillset USB Port Monitor has been deleted.",
        "Deleting Quillset Serial Port Monitor,please wait...",
        "Quillset Serial Port Monitor has been deleted.",
        "Deleting QSPrint,please wait...",
        "QSPrint has been deleted.",
    }));
    EXPECT_TRUE(view.Items().empty());
    // The system's own items stay.
    EXPECT_EQ(PrinterNames(), Lines{kOtherPrinter});
    EXPECT_EQ(DriverNames(), Lines{"HP LaserJet 0"});
    EXPECT_EQ(MonitorNames(), (Lines{"Local Port", "Standard TCP/IP Port 0"}));
    EXPECT_FALSE(HasProcessor(kProcessor));
    EXPECT_TRUE(HasProcessor("WinPrint"));
    // The DLL files of the monitors and the processor are gone.
    for (const char* dll : {"QSUSBMON.DLL", "QSUSBUI.DLL", "QSCOMMON.DLL", "QSCOMUI.DLL"})
        EXPECT_FALSE(FileThere(kSystem + "\\" + dll)) << dll;
    EXPECT_FALSE(FileThere(ProcessorDir() + "\\QSPROC.DLL"));
    EXPECT_TRUE(FileThere(kSystem + "\\localspl.dll"));
    // The USB records go with the USB monitor; PRINTERPORT stays.
    EXPECT_FALSE(w.KeyExists(Root::LocalMachine, kTarvelo + "\\INSTALLPRINTER"));
    EXPECT_FALSE(w.KeyExists(Root::LocalMachine, kTarvelo + "\\PORTNAME"));
    EXPECT_TRUE(w.KeyExists(Root::LocalMachine, kTarvelo + "\\PRINTERPORT"));
    // A restart is offered after the last line; No requests none.
    EXPECT_EQ(screen.restartShown, 1);
    EXPECT_EQ(screen.statusAtRestart, view.StatusLines().size());
    EXPECT_TRUE(w.ExitWindowsCalls().empty());
    // Only Exit is enabled afterwards.
    EXPECT_FALSE(Enabled(IDC_UNINSTALL));
    EXPECT_FALSE(Enabled(IDC_ITEM_LIST));
    EXPECT_FALSE(Enabled(IDC_SELECT_ALL));
    EXPECT_TRUE(Enabled(kExitButton));
}

TEST_F(UninstallEngineTest, WaitsOfARunAndTheSpoolerRestarts) {
    Tick(kLptPrinter);
    Tick(kProcessor);
    Run();
    EXPECT_EQ(w.Sleeps(), (Sleeps{
        500,                    // item 0, not ticked
        500, 100, 2000, 1000,   // the printer: deleted, spooler restart, pause
        100, 1000,              // its driver
        500, 500,               // the items that moved up into places 1 and 2
        500, 2000, 500,         // the processor: spooler restart, pause
    }));
    EXPECT_EQ(w.ServiceLog(), (Lines{"stop", "start", "stop", "start"}));
}

TEST_F(UninstallEngineTest, DisablesControlsFirstInTheirOrder) {
    Run();
    ASSERT_GE(screen.enableLog.size(), 4u);
    const std::vector<std::pair<int, bool>> first(screen.enableLog.begin(),
                                                  screen.enableLog.begin() + 4);
    EXPECT_EQ(first, (std::vector<std::pair<int, bool>>{
                         {IDC_UNINSTALL, false}, {IDC_ITEM_LIST, false},
                         {IDC_SELECT_ALL, false}, {kExitButton, false}}));
}

TEST_F(UninstallEngineTest, NothingTickedStillVisitsEveryItem) {
    EXPECT_EQ(Run(), Lines{TEXT_107});
    // The line knows the string it was made from.
    EXPECT_EQ(view.StatusLineId(0), IDS_SELECT_ITEMS);
    EXPECT_EQ(w.Sleeps(), Sleeps(5, 500));
    EXPECT_EQ(screen.restartShown, 0);
    EXPECT_EQ(view.Items().size(), 5u);
    for (int id : {IDC_UNINSTALL, IDC_ITEM_LIST, IDC_SELECT_ALL, kExitButton})
        EXPECT_TRUE(Enabled(id)) << id;
}

TEST_F(UninstallEngineTest, RestartYesRequestsAReboot) {
    Tick(kLptPrinter);
    screen.restartAnswer = 1;
    Run();
    EXPECT_TRUE(w.ShutdownPrivilegeEnabled());
    EXPECT_EQ(w.ExitWindowsCalls(), std::vector<uint32_t>{plat::ewx::Reboot});
    // Remaining items: 107 again and the controls back.
    EXPECT_EQ(view.StatusLines().back(), TEXT_107);
    EXPECT_TRUE(Enabled(IDC_UNINSTALL));
}

TEST_F(UninstallEngineTest, RestartNeedsThePrivilegeExceptOnWindows98) {
    Tick(kLptPrinter);
    screen.restartAnswer = 1;
    w.FailCall("EnableShutdownPrivilege", plat::sim::PrivilegeNotHeld);
    Run();
    EXPECT_TRUE(w.ExitWindowsCalls().empty());
    // Windows 98/Me has no privileges to enable.
    w.SetVersion({1, 4, 90, 3000});
    w.FailCall("EnableShutdownPrivilege", plat::sim::PrivilegeNotHeld);
    Tick(kUsbPrinter);
    Run();
    EXPECT_EQ(w.ExitWindowsCalls(), std::vector<uint32_t>{plat::ewx::Reboot});
}

TEST_F(UninstallEngineTest, PreCheckBlocksOnJobsInAnyPrinter) {
    TickAll();
    w.SetPrinterJobs(kOtherPrinter, 2);
    EXPECT_FALSE(engine.OnUninstall());
    EXPECT_EQ(view.StatusLines(), Lines{"Please delete jobs in printer Office Laser 0 first."});
    EXPECT_EQ(w.Sleeps(), Sleeps{100});
    EXPECT_FALSE(engine.Running());
    EXPECT_EQ(view.Items().size(), 5u);
    EXPECT_TRUE(screen.enableLog.empty());
}

TEST_F(UninstallEngineTest, PreCheckFailuresStopBeforeAnyWorker) {
    w.FailCall("OpenPrinter", plat::err::AccessDenied, 1, kOtherPrinter);
    EXPECT_FALSE(engine.PreCheck());
    EXPECT_EQ(view.StatusLines().back(), "Open Office Laser 0 printer error.");
    EXPECT_TRUE(w.Sleeps().empty());
    w.FailCall("GetPrinter", plat::err::NotEnoughMemory);
    EXPECT_FALSE(engine.PreCheck());
    EXPECT_EQ(view.StatusLines().back(), TEXT_116);
    w.FailCall("GetPrinterSize", plat::err::AccessDenied);
    EXPECT_FALSE(engine.PreCheck());
    EXPECT_EQ(view.StatusLines().back(), TEXT_115);
    EXPECT_EQ(w.Sleeps(), (Sleeps{100, 100}));
}

TEST_F(UninstallEngineTest, OnUninstallRunsTheWorkerOnItsOwnThread) {
    Tick(kLptPrinter);
    EXPECT_TRUE(engine.OnUninstall());
    engine.Wait();
    EXPECT_FALSE(engine.Running());
    EXPECT_EQ(PrinterNames(), (Lines{kOtherPrinter, kUsbPrinter}));
    EXPECT_EQ(screen.restartShown, 1);
    // A second run over the list that is left.
    Tick(kUsbPrinter);
    EXPECT_TRUE(engine.OnUninstall());
    engine.Wait();
    EXPECT_EQ(PrinterNames(), Lines{kOtherPrinter});
}

// A screen that asks, at every change of a run, for a second run.
class ReentrantScreen final : public UninstallScreen {
public:
    FakeScreen& inner;
    UninstallEngine* engine = nullptr;
    int secondStarts = 0;
    bool runningWhenExitEnabled = false;
    ReentrantScreen(UninstallView& view, FakeScreen& s) : inner(s) { view.SetScreen(this); }
    void Changed(UninstallView& view) override {
        if (engine && engine->OnUninstall()) ++secondStarts;
        if (view.Enabled(kExitButton) && !exitEnabled_) runningWhenExitEnabled = engine->Running();
        exitEnabled_ = view.Enabled(kExitButton);
        inner.Changed(view);
    }
    int AskRestart() override { return inner.AskRestart(); }

private:
    bool exitEnabled_ = true;
};

TEST_F(UninstallEngineTest, NoSecondWorkerWhileOneRuns) {
    ReentrantScreen reentrant(view, screen);
    UninstallEngine guarded(w, state, ini, view);
    reentrant.engine = &guarded;
    EXPECT_TRUE(guarded.OnUninstall());
    guarded.Wait();
    EXPECT_EQ(reentrant.secondStarts, 0);
    // The run counts as running until it has given every control back, so
    // nothing waits for the worker while it still needs the dialog.
    EXPECT_TRUE(reentrant.runningWhenExitEnabled);
    EXPECT_FALSE(guarded.Running());
    EXPECT_EQ(std::count(view.StatusLines().begin(), view.StatusLines().end(), TEXT_107), 1);
}

TEST_F(UninstallEngineTest, PrinterThatCantBeOpenedStopsTheRun) {
    TickAll();
    w.FailCall("OpenPrinter", plat::err::AccessDenied, 1, kLptPrinter);
    const Lines lines = Run();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Open Quillset KTT-20 printer error.");
    EXPECT_EQ(lines.back(), TEXT_107);
    // The USB printer went; nothing after the failure was visited, and no
    // restart is offered although an item was removed.
    EXPECT_EQ(Texts(), (Lines{kLptPrinter, kUsbMonitor, kSerialMonitor, kProcessor}));
    EXPECT_TRUE(HasMonitor(kUsbMonitor));
    EXPECT_EQ(screen.restartShown, 0);
}

TEST_F(UninstallEngineTest, PrinterWithJobsStopsTheRun) {
    TickAll();
    const Lines lines = [&] {
        w.SetPrinterJobs(kUsbPrinter, 1);
        return Run();
    }();
    EXPECT_EQ(lines, (Lines{"Deleting printer Quillset KRT-P58(U) 1,please wait...",
                            "Quillset KRT-P58(U) 1 can't be deleted,please delete jobs in "
                            "printer first.",
                            TEXT_107}));
    EXPECT_EQ(view.Items().size(), 5u);
    EXPECT_EQ(w.Sleeps(), (Sleeps{500, 100}));
}

TEST_F(UninstallEngineTest, PrinterInfoFailuresStopTheRun) {
    Tick(kUsbPrinter);
    w.FailCall("GetPrinter", plat::err::AccessDenied);
    EXPECT_EQ(Run(), (Lines{"Deleting printer Quillset KRT-P58(U) 1,please wait...", TEXT_115,
                            TEXT_107}));
    w.FailCall("GetPrinter", plat::err::NotEnoughMemory);
    EXPECT_EQ(Run()[1], TEXT_116);
    EXPECT_EQ(PrinterNames().size(), 3u);
}

TEST_F(UninstallEngineTest, FailedPrinterDeletionGoesOnWithTheNextItem) {
    Tick(kUsbPrinter);
    Tick(kLptPrinter);
    w.FailCall("DeletePrinter", plat::err::AccessDenied, 1);
    const Lines lines = Run();
    EXPECT_EQ(lines[1], TEXT_118);
    EXPECT_EQ(lines[2], "Deleting printer Quillset KTT-20,please wait...");
    EXPECT_EQ(PrinterNames(), (Lines{kOtherPrinter, kUsbPrinter}));
    EXPECT_EQ(screen.restartShown, 1);
}

TEST_F(UninstallEngineTest, DriverDeletionAnswers) {
    // A driver that another printer still uses.
    InstallQueue("Second receipt", kUsbDriver, "LPT3:");
    Tick(kUsbPrinter);
    Lines lines = Run();
    EXPECT_EQ(lines[3], TEXT_119);
    // Any other failure: 121 with the error number.
    Tick(kLptPrinter);
    w.FailCall("DeletePrinterDriverEx", plat::err::InvalidParameter);
    lines = Run();
    EXPECT_EQ(lines[3], "Delete printer driver error.    er=87");
}

TEST_F(UninstallEngineTest, DriverCallDependsOnTheSpoolerLibrary) {
    Tick(kUsbPrinter);
    Run();
    EXPECT_EQ(w.CallCount("DeletePrinterDriverEx"), 1);
    EXPECT_EQ(w.CallCount("DeletePrinterDriver"), 0);
    state.spooler.reset();  // "no Winspool lib"
    Tick(kLptPrinter);
    Run();
    EXPECT_EQ(w.CallCount("DeletePrinterDriver"), 1);
    EXPECT_EQ(DriverNames(), Lines{"HP LaserJet 0"});
}

TEST_F(UninstallEngineTest, Nt4AndWindows98KeepTheDriver) {
    state.osClass = WinNT4;
    Tick(kUsbPrinter);
    EXPECT_EQ(Run().size(), 3u);  // 114, 112, 107
    EXPECT_EQ(w.Sleeps(), (Sleeps{500, 100, 2000, 1000, 1000, 500, 500, 500, 500}));
    EXPECT_EQ(DriverNames().size(), 3u);
}

TEST_F(UninstallEngineTest, MonitorInUseIsRetriedOnceAfterASpoolerRestart) {
    Tick(kUsbMonitor);  // its port is still used by the USB printer
    const Lines lines = Run();
    EXPECT_EQ(lines, (Lines{"Deleting Quillset USB Port Monitor,please wait...",
                            "Quillset USB Port Monitor is using,can't be deleted.", TEXT_107}));
    EXPECT_EQ(w.CallCount("DeleteMonitor"), 2);
    EXPECT_EQ(w.Sleeps(), (Sleeps{500, 500, 500, 2000, 500, 100, 500, 500}));
    // Its records and files stay.
    EXPECT_TRUE(w.KeyExists(Root::LocalMachine, kTarvelo + "\\INSTALLPRINTER"));
    EXPECT_TRUE(FileThere(kSystem + "\\QSUSBMON.DLL"));
    EXPECT_EQ(screen.restartShown, 0);
}

TEST_F(UninstallEngineTest, MonitorSecondAttemptCanSucceed) {
    Tick(kSerialMonitor);
    w.FailCall("DeleteMonitor", plat::err::AccessDenied, 1);
    Run();
    EXPECT_FALSE(HasMonitor(kSerialMonitor));
    w.FailCall("DeleteMonitor", plat::err::AccessDenied, 2);
    Tick(kUsbPrinter);
    Tick(kUsbMonitor);
    const Lines lines = Run();
    EXPECT_EQ(lines[4], "Deleting Quillset USB Port Monitor,please wait...");
    EXPECT_EQ(lines[5], "Uninstall Quillset USB Port Monitor error.");
}

TEST_F(UninstallEngineTest, AnItemHoldingAMonitorNameIsHandledAsAMonitor) {
    InstallQueue("Quillset Serial Port Monitor copy", kLptDriver, "LPT3:");
    view.AddItem("Quillset Serial Port Monitor copy");
    Tick("Quillset Serial Port Monitor copy");
    const Lines lines = Run();
    EXPECT_EQ(lines[0], "Deleting Quillset Serial Port Monitor copy,please wait...");
    EXPECT_EQ(lines[1], "Uninstall Quillset Serial Port Monitor copy error.");
}

TEST_F(UninstallEngineTest, ProcessorInUseAndOtherFailures) {
    InstallQueue("Uses QSPrint", "HP LaserJet 0", "LPT3:");
    Tick(kProcessor);
    w.FailCall("DeletePrintProcessor", plat::err::CanNotComplete);
    EXPECT_EQ(Run()[1], "QSPrint is using,can't be deleted.");
    w.FailCall("DeletePrintProcessor", plat::err::AccessDenied);
    EXPECT_EQ(Run()[1], "Uninstall QSPrint error.");
    EXPECT_EQ(w.CallCount("DeletePrintProcessor"), 2);  // no retry
    EXPECT_TRUE(FileThere(ProcessorDir() + "\\QSPROC.DLL"));
}

TEST_F(UninstallEngineTest, WithoutItsFolderNoFileIsDeleted) {
    Tick(kSerialMonitor);
    Tick(kProcessor);
    w.FailCall("GetSystemDirectory", plat::err::AccessDenied);
    w.FailCall("GetPrintProcessorDirectory", plat::err::AccessDenied);
    const Lines lines = Run();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Get system Directory error."), 2);
    EXPECT_EQ(w.CallCount("DeleteFile"), 0);
    EXPECT_FALSE(HasMonitor(kSerialMonitor));
    EXPECT_FALSE(HasProcessor(kProcessor));
}

TEST_F(UninstallEngineTest, ReadOnlyDllsGoAndAFileThatStaysIsReported) {
    // Copied from a CD: the DLLs carry the read-only mark, as does a file of
    // another program beside them.
    for (const char* dll : {"QSCOMMON.DLL", "QSCOMUI.DLL"})
        w.files().SetFileAttributes(kSystem + "\\" + dll, plat::attr::ReadOnly);
    w.PutFile(kSystem + "\\OTHER.DLL", "MZ", plat::attr::ReadOnly);
    w.files().SetFileAttributes(ProcessorDir() + "\\QSPROC.DLL", plat::attr::ReadOnly);
    Tick(kSerialMonitor);
    Tick(kProcessor);
    EXPECT_EQ(Run(), (Lines{"Deleting Quillset Serial Port Monitor,please wait...",
                            "Quillset Serial Port Monitor has been deleted.",
                            "Deleting QSPrint,please wait...", "QSPrint has been deleted.",
                            TEXT_107}));
    for (const char* dll : {"QSCOMMON.DLL", "QSCOMUI.DLL"})
        EXPECT_FALSE(FileThere(kSystem + "\\" + dll)) << dll;
    EXPECT_FALSE(FileThere(ProcessorDir() + "\\QSPROC.DLL"));
    EXPECT_EQ(w.Attributes(kSystem + "\\OTHER.DLL"), plat::attr::ReadOnly);

    // A DLL still held, and one whose mark can't be cleared, stay: each says
    // so with its error; one already gone is no leftover.
    w.PutFile(kSystem + "\\QSCOMMON.DLL", "MZ");
    w.SetFileInUse(kSystem + "\\QSCOMMON.DLL", true);
    w.InstallMonitor(kSerialMonitor, w.spooler().LocalEnvironment(), "QSCOMMON.DLL");
    view.AddItem(kSerialMonitor);
    Tick(kSerialMonitor);
    w.ClearSleeps();
    EXPECT_EQ(Run(), (Lines{"Deleting Quillset Serial Port Monitor,please wait...",
                            "Delete file C:\\WINDOWS\\system32\\QSCOMMON.DLL error.    er=32",
                            "Quillset Serial Port Monitor has been deleted.", TEXT_107}));
    EXPECT_TRUE(FileThere(kSystem + "\\QSCOMMON.DLL"));
    EXPECT_FALSE(HasMonitor(kSerialMonitor));
    EXPECT_EQ(w.Sleeps(), (Sleeps{500, 500, 500, 500, 2000, 500, 100}));

    w.PutFile(ProcessorDir() + "\\QSPROC.DLL", "MZ", plat::attr::ReadOnly);
    w.InstallPrintProcessor(w.spooler().LocalEnvironment(), kProcessor, "QSPROC.DLL");
    view.AddItem(kProcessor);
    Tick(kProcessor);
    w.FailCall("SetFileAttributes", plat::err::AccessDenied);
    const Lines lines = Run();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Delete file " + ProcessorDir() + "\\QSPROC.DLL error.    er=5"),
              lines.end());
    EXPECT_TRUE(FileThere(ProcessorDir() + "\\QSPROC.DLL"));
}

TEST_F(UninstallEngineTest, DllValuesThatNameNoFileDeleteNothing) {
    WriteIni("[KVMONITOR]\nMonitorNUM=1\nMONITORNAME1=Quillset Serial\n"
             "[QuillsetSerialPortMonitor.2K]\nMonitorPDLLName=0\n"
             "MonitorPUIDLLName=..\\QSCOMUI.DLL\n");
    w.PutFile("C:\\WINDOWS\\QSCOMUI.DLL", "MZ");
    Tick(kSerialMonitor);
    Run();
    EXPECT_FALSE(HasMonitor(kSerialMonitor));
    EXPECT_EQ(w.CallCount("DeleteFile"), 0);
    EXPECT_TRUE(FileThere("C:\\WINDOWS\\QSCOMUI.DLL"));
    EXPECT_TRUE(FileThere(kSystem + "\\QSCOMMON.DLL"));
}

TEST_F(UninstallEngineTest, Windows98RefusesMonitorsWhileKvcomPortsAreUsed) {
    state.osClass = Win98;
    InstallQueue("Quillset KTT-20 serial", kLptDriver, "KVCOM1:");
    Tick(kUsbMonitor);
    const Lines lines = Run();
    EXPECT_EQ(lines, (Lines{"Deleting Quillset USB Port Monitor,please wait...",
                            "Quillset USB Port Monitor can't be deleted,please delete jobs in "
                            "printer first.",
                            "Quillset USB Port Monitor is using,can't be deleted.", TEXT_107}));
    EXPECT_EQ(w.CallCount("DeleteMonitor"), 0);
    EXPECT_TRUE(engine.CheckSerialPortsFree() == false);
}

TEST_F(UninstallEngineTest, CheckSerialPortsFreeWithoutKvcomPorts) {
    state.currentItem = kUsbMonitor;
    EXPECT_TRUE(engine.CheckSerialPortsFree());
    w.FailCall("OpenPrinter", plat::err::AccessDenied);
    EXPECT_FALSE(engine.CheckSerialPortsFree());
    EXPECT_EQ(view.StatusLines().back(), "Open Office Laser 0 printer error.");
}

}  // namespace
