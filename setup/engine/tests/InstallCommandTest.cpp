// The Install command and its worker on the simulated Windows with the sample
// package: what the machine holds afterwards, which messages the user saw,
// and which waits the worker made.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/IniText.h"
#include "setup/engine/tests/InstallMachine.h"
#include "platform/Spooler.h"
#include "platform/Windows.h"

namespace {

using plat::Root;
using namespace seqtest;
namespace mb = plat::mb;
using Sleeps = std::vector<uint32_t>;

class InstallCommandTest : public InstallMachine {
protected:
    // A file copied into a driver directory (the spooler may have moved it
    // into its version folder on registration).
    bool InDriverDir(const std::string& dir, const std::string& file) const {
        return w.FileExists(dir + "\\" + file) || w.FileExists(dir + "\\3\\" + file) ||
               w.FileExists(dir + "\\2\\" + file) || w.FileExists(dir + "\\0\\" + file);
    }

    // Nothing of the installation reached the spooler.
    void ExpectNothingInstalled() const {
        EXPECT_TRUE(w.Printers().empty());
        EXPECT_TRUE(w.Drivers().empty());
        EXPECT_EQ(progress.runs, 0);
        EXPECT_EQ(wizard.minimized, 0);
        EXPECT_EQ(wizard.topmost, 0);
    }

    void ExpectRefusedWith(const WizardChoices& c, const std::vector<std::string>& texts) {
        EXPECT_EQ(Install(c), InstallOutcome::Refused);
        EXPECT_EQ(BoxTexts(), texts);
        for (const auto& box : w.MessageBoxes()) {
            EXPECT_EQ(box.owner, kWizard);
            EXPECT_EQ(box.caption, "Setup");
        }
        ExpectNothingInstalled();
    }

    void ExpectFinishedWith(const WizardChoices& c, const std::string& finalText,
                            int32_t state) {
        EXPECT_EQ(Install(c), InstallOutcome::Finished);
        // The final message, followed by the restart offer on Windows 98/Me.
        auto boxes = w.MessageBoxes();
        if (!boxes.empty() && boxes.back().text == msg::kRestartQuestion) boxes.pop_back();
        ASSERT_FALSE(boxes.empty());
        const auto last = boxes.back();
        EXPECT_EQ(last.text, finalText);
        EXPECT_EQ(last.flags, mb::Ok);
        EXPECT_EQ(last.owner, kWizard);
        EXPECT_EQ(progress.seenState, state);
        EXPECT_EQ(wizard.minimized, 1);
        EXPECT_EQ(wizard.topmost, 1);
    }

    void Outdated(const std::string& key, uint32_t version) {
        w.PutRegDword(Root::LocalMachine, key, "DriverVersion", version);
    }
};

// ---------------------------------------------------------------- the road

TEST_F(InstallCommandTest, ReceiptPrinterOnItsFirstUsbPortUnderXp) {
    w.AttachUsbPrinter(0, 0);
    ExpectFinishedWith(Choices("KRT-P58", "USB_KRT-P58_1"), msg::kInstalledRepower,
                       CompletionSucceeded);

    // ID 0 answers to port 1: no question, nothing written to the printer.
    EXPECT_EQ(w.MessageBoxes().size(), 1u);
    EXPECT_TRUE(w.UsbWrites().empty());

    // The USB monitor from COMMON-MONITOR.XP, with the package's version.
    auto monitors = w.Monitors();
    auto usbMonitor = std::find_if(monitors.begin(), monitors.end(),
                                   [](const auto& m) { return m.name == kUsbMonitor; });
    ASSERT_NE(usbMonitor, monitors.end());
    EXPECT_EQ(usbMonitor->dll, "QSUSBMON.DLL");
    EXPECT_TRUE(w.FileExists(std::string(kSystem) + "\\QSUSBMON.DLL"));
    EXPECT_TRUE(w.FileExists(std::string(kSystem) + "\\QSUSBUI.DLL"));
    EXPECT_EQ(Reg(std::string(kMonitorKey) + kUsbMonitor, "DriverVersion"), "3");

    // The raster driver of KRT-P58.XP from \winnt\.
    auto drivers = w.Drivers();
    ASSERT_EQ(drivers.size(), 1u);
    EXPECT_EQ(drivers[0].name, "Quillset KRT-P58 Receipt Raster");
    EXPECT_EQ(drivers[0].version, 3u);
    for (const char* file : {"QSDRV.DLL", "QSDRVUI.DLL", "QSRCPT.GPD", "QSDRV.HLP", "QSRES.DLL",
                             "QSOEMUI.DLL", "QSOEMUNI.DLL", "QSOEM.INI", "TTFSUB.GPD",
                             "STDNAMES.GPD", "UNIRES.DLL"})
        EXPECT_TRUE(InDriverDir(kDriverDirNT, file)) << file;

    // The queue, named for its port.
    auto printer = w.FindPrinter("KRT-P58(U) 1");
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->portName, "USB_KRT-P58_1");
    EXPECT_EQ(printer->driverName, "Quillset KRT-P58 Receipt Raster");
    EXPECT_EQ(printer->printProcessor, "WinPrint");
    EXPECT_EQ(printer->attributes, 576u);
    EXPECT_EQ(w.Printers().size(), 1u);
    EXPECT_STREQ(session->createdName, "KRT-P58(U) 1");

    // The USB records.
    for (int d = 1; d <= 8; ++d)
        EXPECT_EQ(Reg(kPrinterPortKey, "D" + std::to_string(d)), "0");
    EXPECT_EQ(Reg(kPrinterPortKey, "USB_KRT-P58_1"), "0");
    EXPECT_EQ(Reg(kPrinterPortKey, "USB_KRT-P58_2"), "255");
    EXPECT_EQ(Reg(kPrinterPortKey, "USB_KEM-E20_4"), "255");
    EXPECT_EQ(Reg(kPortNameKey, "USB_KRT-P58_1"), "0");

    // Only the worker's first wait: nothing was outdated.
    EXPECT_EQ(w.Sleeps(), Sleeps{100});
    EXPECT_TRUE(w.ServiceLog().empty());
    EXPECT_TRUE(w.ExitWindowsCalls().empty());
    EXPECT_EQ(progress.lastOs, WinXP);
}

// ---------------------------------------------------------------- refusals

TEST_F(InstallCommandTest, RefusesWithoutAModel) {
    ExpectRefusedWith(Choices("", "LPT1:"), {msg::kNoModuleSelected});
    EXPECT_EQ(w.MessageBoxes()[0].flags, mb::Ok);
}

TEST_F(InstallCommandTest, RefusesServer2003ForAModelWithoutIt) {
    ExpectRefusedWith(Choices("KEM-E10", "LPT1:", Win2003, Embedded), {msg::kNo2003});
    // The same model installs on XP.
    w.ClearMessageBoxes();
    EXPECT_EQ(Install(Choices("KEM-E10", "LPT1:", WinXP, Embedded)), InstallOutcome::Finished);
    EXPECT_TRUE(HasPrinter("KEM-E10(P)"));
}

TEST_F(InstallCommandTest, RefusesAPortOfNoKnownKindBeforeInstallingAnything) {
    ExpectRefusedWith(Choices("KRT-P58", "FILE:"), {msg::kPortNotSupported});
    EXPECT_TRUE(w.DumpValues(Root::LocalMachine, kPrinterPortKey).empty());
    EXPECT_EQ(w.Monitors().size(), 1u);  // the machine's own "Local Port"
}

TEST_F(InstallCommandTest, AdvancedRefusesWithoutAUsbPrinter) {
    auto c = Choices("KRT-P58", "USB_KRT-P58_1");
    c.setupType = SetupAdvanced;
    ExpectRefusedWith(c, {msg::kNoUsbDevice});
}

TEST_F(InstallCommandTest, AdvancedRefusesTwoUsbPrintersWithTheReadersMessageOnly) {
    w.AttachUsbPrinter(0, 0);
    w.AttachUsbPrinter(3, 1);
    auto c = Choices("KRT-P58", "USB_KRT-P58_1");
    c.setupType = SetupAdvanced;
    ExpectRefusedWith(c, {msg::kOneUsbPrinter});
}

TEST_F(InstallCommandTest, NoToTheNameQuestionLeavesEverythingAsItWas) {
    w.AttachUsbPrinter(0, 2);  // answers to port 3
    ExpectRefusedWith(Choices("KRT-P58", "USB_KRT-P58_1"), {msg::kChangePrinterName});
    EXPECT_EQ(w.MessageBoxes()[0].flags, mb::YesNo);
    EXPECT_TRUE(w.UsbWrites().empty());
    EXPECT_TRUE(w.DumpValues(Root::LocalMachine, kPrinterPortKey).empty());
}

TEST_F(InstallCommandTest, AdvancedRefusesWhenThePrinterKeepsItsId) {
    w.AttachUsbPrinter(0, 2);
    w.SetUsbWriteFails(true);
    w.SetDefaultYesNoAnswer(mb::IdYes);
    auto c = Choices("KRT-P58", "USB_KRT-P58_1");
    c.setupType = SetupAdvanced;
    ExpectRefusedWith(c, {msg::kChangePrinterName, msg::kUsbWriteIdError, msg::kSetIdFailed});
}

TEST_F(InstallCommandTest, Nt4RefusesUsbAfterTheIdentityCheckAndTheRecords) {
    w.AttachUsbPrinter(0, 1);
    w.SetDefaultYesNoAnswer(mb::IdYes);
    ExpectRefusedWith(Choices("KRT-P58", "USB_KRT-P58_1", WinNT4),
                      {msg::kChangePrinterName, msg::kNoUsbOnNt4});
    ASSERT_EQ(w.UsbWrites().size(), 1u);
    EXPECT_EQ(w.UsbWrites()[0].bytes.back(), 0);
    EXPECT_EQ(Reg(kPrinterPortKey, "D1"), "0");
    EXPECT_EQ(Reg(kPrinterPortKey, "USB_KRT-P58_1"), "255");
    EXPECT_EQ(Reg(kPortNameKey, "USB_KRT-P58_1"), "0");
}

TEST_F(InstallCommandTest, RunsWholeAgainAfterARefusal) {
    ExpectRefusedWith(Choices("KRT-P58", "FILE:"), {msg::kPortNotSupported});
    EXPECT_EQ(Install(Choices("KRT-P58", "LPT1:")), InstallOutcome::Finished);
    EXPECT_TRUE(HasPrinter("KRT-P58(P)"));
    EXPECT_EQ(BoxTexts().back(), msg::kInstalled);
}

// ---------------------------------------------------------------- the worker's failures

TEST_F(InstallCommandTest, ProcessorDirectoryUnavailableFailsBeforeTheSpoolerStops) {
    Outdated(std::string(kProcKeyNT) + "QSPrint", 1);
    w.FailCall("GetPrintProcessorDirectory", plat::err::AccessDenied);
    ExpectFinishedWith(Choices("KRT-A100", "LPT1:"), msg::kNoProcessorDir, CompletionFailed);
    EXPECT_TRUE(w.ServiceLog().empty());
    EXPECT_TRUE(w.Drivers().empty());
    EXPECT_EQ(w.Sleeps(), Sleeps{100});
}

TEST_F(InstallCommandTest, AFailedReplacementStartsTheSpoolerAgainAndKeepsItsMessage) {
    // Every way the replacement can fail while the spooler is stopped: the
    // spooler comes back with the same starts and waits as after a
    // replacement, and the user reads the failure, not the restart.
    const std::string winnt = std::string(kPkg) + "\\winnt\\";
    struct Case {
        const char* name;
        int outdated;  // UpdateFlags bit of the outdated component
        const char* port;
        const char* failingCall;
        const char* failingArg;
        std::string message;
        bool spoolerNeverRuns;
    };
    const Case cases[] = {
        {"serial monitor copy", UpdateSerialMonitor, "VXCOM2:", "CopyFile", "\\QSCOMMON.DLL",
         std::string(msg::kCopyError) + "QSCOMMON.DLL  er = 5" + winnt + "QSCOMMON.DLL", false},
        {"USB monitor copy", UpdateUsbMonitor, "USB_KRT-A100_1", "CopyFile", "\\QSUSBMON.DLL",
         std::string(msg::kCopyError) + "QSUSBMON.DLL  er = 5" + winnt + "QSUSBMON.DLL", false},
        {"processor copy", UpdatePrintProcessor, "LPT1:", "CopyFile", "\\QSPROC.DLL",
         std::string(msg::kCopyError) + winnt + "QSPROC.DLL", false},
        {"current folder", UpdatePrintProcessor, "LPT1:", "GetCurrentDirectory", "",
         msg::kNoCurrentDir, false},
        {"copy, and the spooler never runs again", UpdateSerialMonitor, "VXCOM2:", "CopyFile",
         "\\QSCOMMON.DLL",
         std::string(msg::kCopyError) + "QSCOMMON.DLL  er = 5" + winnt + "QSCOMMON.DLL", true},
    };
    // KRT-A100's processor is there and current unless a case makes it old.
    w.InstallPrintProcessor("Windows NT x86", "QSPrint", "QSPROC.DLL");
    w.PutRegDword(Root::LocalMachine, std::string(kProcKeyNT) + "QSPrint", "DriverVersion", 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        w.ClearFaults();
        w.ClearSleeps();
        w.ClearServiceLog();
        w.ClearMessageBoxes();
        w.SetSpoolerNeverRuns(c.spoolerNeverRuns);
        w.SetSpoolerState(plat::svc::Running);
        if (c.outdated == UpdateSerialMonitor) {
            w.InstallMonitor(kSerialMonitor, "Windows NT x86", "QSCOMMON.DLL");
            Outdated(std::string(kMonitorKey) + kSerialMonitor, 1);
        } else if (c.outdated == UpdateUsbMonitor) {
            w.InstallMonitor(kUsbMonitor, "Windows NT x86", "QSUSBMON.DLL");
            Outdated(std::string(kMonitorKey) + kUsbMonitor, 1);
        } else {
            Outdated(std::string(kProcKeyNT) + "QSPrint", 1);
        }
        w.FailCall(c.failingCall, plat::err::AccessDenied, -1, c.failingArg);
        session = std::make_unique<InstallSession>(w);
        wizard = RecordingWizard{};
        const int startsBefore = w.CallCount("StartService");
        ExpectFinishedWith(Choices("KRT-A100", c.port), c.message, CompletionFailed);
        EXPECT_EQ(session->installMessage, c.message);
        EXPECT_TRUE(w.Drivers().empty());
        EXPECT_TRUE(w.Printers().empty());
        if (c.spoolerNeverRuns) {
            // Started as often as a replacement starts it; it never came.
            EXPECT_EQ(w.ServiceLog(), (std::vector<std::string>{"stop", "start"}));
            EXPECT_EQ(w.CallCount("StartService") - startsBefore, 3);
            continue;
        }
        EXPECT_EQ(w.ServiceLog(), (std::vector<std::string>{"stop", "start"}));
        EXPECT_EQ(w.SpoolerState(), plat::svc::Running);
        // 100 at the start, 100 and 500 around the stop, 2500 and 1000 after
        // the two starts on Windows XP; the spooler ran at the first poll.
        EXPECT_EQ(w.Sleeps(), (Sleeps{100, 100, 500, 2500, 1000}));
    }
}

TEST_F(InstallCommandTest, AFirstSpoolerStartThatALaterStartMadeGoodStopsAtTheDriverFiles) {
    w.InstallPrintProcessor("Windows NT x86", "QSPrint", "QSPROC.DLL");
    Outdated(std::string(kProcKeyNT) + "QSPrint", 1);
    w.FailCall("StartService", plat::err::ServiceDatabaseLocked);
    ExpectFinishedWith(Choices("KRT-A100", "LPT1:"),
                       "Start spool service error, error code = 1055", CompletionFailed);
    // The processor was replaced and the spooler runs; no driver file went in.
    EXPECT_EQ(Reg(std::string(kProcKeyNT) + "QSPrint", "DriverVersion"), "2");
    EXPECT_EQ(w.SpoolerState(), plat::svc::Running);
    EXPECT_EQ(w.Sleeps(), (Sleeps{100, 100, 500, 2500, 1000}));
    EXPECT_TRUE(w.Drivers().empty());
    EXPECT_FALSE(InDriverDir(kDriverDirNT, "QSDRV.DLL"));
}

TEST_F(InstallCommandTest, ASerialMonitorCopyFailureStopsTheRunAtTheDriverFiles) {
    w.FailCall("CopyFile", plat::err::FileNotFound, 1, "\\QSCOMUI.DLL");
    const std::string text = std::string(msg::kCopyError) + "QSCOMUI.DLL  er = 2" + kPkg +
                             "\\winnt\\QSCOMUI.DLL";
    ExpectFinishedWith(Choices("KRT-A100", "VXCOM1:"), text, CompletionFailed);
    // The monitor and the processor went in; the run stopped at the first
    // driver file and registered nothing.
    auto monitors = w.Monitors();
    EXPECT_TRUE(std::any_of(monitors.begin(), monitors.end(),
                            [](const auto& m) { return m.name == kSerialMonitor; }));
    EXPECT_EQ(Reg(std::string(kMonitorKey) + kSerialMonitor, "DriverVersion"), "2");
    EXPECT_TRUE(w.Drivers().empty());
    EXPECT_TRUE(w.Printers().empty());
}

TEST_F(InstallCommandTest, AKeyThatCannotBeReopenedGetsNoVersionAndNoMessage) {
    // The serial monitor (KRT-P58 prints through WinPrint) and the
    // processor of KRT-A100 (on a parallel port, which needs no monitor).
    struct Case {
        const char* model;
        const char* port;
        std::string key;
        const char* printer;
    };
    for (const Case& c :
         {Case{"KRT-P58", "VXCOM1:", std::string(kMonitorKey) + kSerialMonitor, "KRT-P58(S)"},
          Case{"KRT-A100", "LPT1:", std::string(kProcKeyNT) + "QSPrint", "KRT-A100(P)"}}) {
        SCOPED_TRACE(c.port);
        w.ClearMessageBoxes();
        session = std::make_unique<InstallSession>(w);
        // Missing at the check, then not to be opened after the install.
        w.FailCall("RegOpenKey", plat::err::AccessDenied, 2, c.key);
        EXPECT_EQ(Install(Choices(c.model, c.port)), InstallOutcome::Finished);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kInstalled});
        EXPECT_FALSE(Reg(c.key, "DriverVersion"));
        EXPECT_TRUE(HasPrinter(c.printer));
    }
}

TEST_F(InstallCommandTest, AQueueCreatedWithoutANameFailsTheRun) {
    // A spooler that takes a printer without a name: the run neither makes
    // that printer the default nor reports success.
    struct NamelessSpooler : plat::ForwardingSpooler {
        using ForwardingSpooler::ForwardingSpooler;
        uint32_t AddPrinter(const plat::PrinterInfo2& info, plat::Printer& out) override {
            if (info.pPrinterName != nullptr && info.pPrinterName[0] == '\0') return 0;
            return ForwardingSpooler::AddPrinter(info, out);
        }
    };
    plat::Decorated<NamelessSpooler> spooler(w);
    InstallSession s(spooler);
    s.choices = Choices("KRT-P58", "LPT1:");
    s.choices.setDefault = true;
    CopyBounded(s.model, sizeof s.model, "KRT-P58");
    CopyBounded(s.portName, sizeof s.portName, "LPT1:");
    s.portKind = Parallel;
    s.reader.SetModuleKind(Receipt);
    s.reader.ReadDriverFileTable(s.model, WinXP, s.files, Gdi);
    s.reader.ReadDriverRecord(s.model, WinXP, s.driver, Gdi);
    s.reader.ReadPrinterRecord(s.model, WinXP, s.printer, Gdi);
    s.printer.pPrinterName = s.printerName;  // left empty
    s.printer.pPortName = s.portName;
    std::atomic<int32_t> state{CompletionRunning};
    InstallJob job{spooler, s, state};
    EXPECT_EQ(InstallWorker(job), 0u);
    EXPECT_EQ(state.load(), CompletionFailed);
    EXPECT_EQ(s.installMessage, msg::kInstallFailed);
    EXPECT_EQ(w.Drivers().size(), 1u);  // registered before the queue
    EXPECT_EQ(w.CallCount("SetDefaultPrinter"), 0);
    EXPECT_EQ(w.DefaultPrinter(), "");
}

TEST_F(InstallCommandTest, AWorkerThatCannotStartInstallsNothing) {
    w.FailCall("StartThread", plat::err::NotEnoughMemory);
    ExpectFinishedWith(Choices("KRT-P58", "LPT1:"), msg::kNoMemory, -1);
    EXPECT_EQ(progress.runs, 0);
    EXPECT_TRUE(w.Drivers().empty());
    EXPECT_TRUE(w.Printers().empty());
    EXPECT_TRUE(w.Sleeps().empty());
    // The wizard closes after the message, as after any finished run.
    EXPECT_EQ(w.MessageBoxes().size(), 1u);
}

TEST_F(InstallCommandTest, TypicalUsbStopsSilentlyWhenThePrinterKeepsItsId) {
    w.AttachUsbPrinter(0, 2);  // answers to port 3
    w.SetUsbWriteFails(true);
    w.SetDefaultYesNoAnswer(mb::IdYes);
    // The writer has said why; Typical adds nothing of its own.
    ExpectRefusedWith(Choices("KRT-P58", "USB_KRT-P58_1"),
                      {msg::kChangePrinterName, msg::kUsbWriteIdError});
    EXPECT_TRUE(w.DumpValues(Root::LocalMachine, kPrinterPortKey).empty());
    EXPECT_EQ(w.UsbPrinterId(0), 2);
}

TEST_F(InstallCommandTest, SpoolerThatNeverRunsFailsTheRun) {
    Outdated(std::string(kProcKeyNT) + "QSPrint", 1);
    w.SetSpoolerNeverRuns(true);
    ExpectFinishedWith(Choices("KRT-A100", "LPT1:"), msg::kSpoolerNotRunning, CompletionFailed);
    Sleeps expected{100, 100, 500, 2500, 1000};
    for (int i = 0; i < 10; ++i) expected.push_back(300);
    // The last poll is not followed by a wait.
    Sleeps seen = w.Sleeps();
    ASSERT_GE(seen.size(), 5u);
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + 5, seen.begin()));
    EXPECT_TRUE(std::all_of(seen.begin() + 5, seen.end(), [](uint32_t s) { return s == 300; }));
    EXPECT_TRUE(w.Drivers().empty());
    EXPECT_TRUE(w.Printers().empty());
}

TEST_F(InstallCommandTest, EmptyDriverFileKeyStopsBeforeAnyCopy) {
    const std::string ini = std::string(kPkg) + "\\DRVCONFIG\\setup_receipt.ini";
    w.PutFile(ini, w.FileText(ini).value_or("") +
                       "\r\n[KX-1.XP]\r\nGDIDriverName=Quillset KX-1\r\nGDIDriverPath=QSDRV.DLL\r\n"
                       "GDIDataFile=QSRCPT.GPD\r\nGDIConfigFile=\r\nGDIHelpFile=QSDRV.HLP\r\n"
                       "GDIPrintProcessor=WinPrint\r\n");
    ExpectFinishedWith(Choices("KX-1", "LPT1:"), msg::kLostDriverFiles, CompletionFailed);
    EXPECT_FALSE(InDriverDir(kDriverDirNT, "QSDRV.DLL"));
    EXPECT_TRUE(w.Drivers().empty());
}

// A name that would lead a copy out of its folder, in each key that names a
// file to copy: joined to the folders as it stands it would lead from
// C:\PKG\winnt to C:\ and from the driver folder into the system folder.
struct EscapeCase {
    const char* ini;
    const char* section;
    const char* key;
    const char* port;
};

void PrintTo(const EscapeCase& c, std::ostream* os) { *os << c.section << " " << c.key; }

class EscapingNameTest : public InstallCommandTest,
                         public ::testing::WithParamInterface<EscapeCase> {};

TEST_P(EscapingNameTest, IsRefusedAndNothingOutsideTheFolderChanges) {
    const EscapeCase& c = GetParam();
    const std::string escaping = "..\\..\\..\\QSHELP.DLL";
    const std::string ini = std::string(kPkg) + "\\DRVCONFIG\\" + c.ini;
    w.PutFile(ini, ini::EditProfile(w.FileText(ini).value_or(""), c.section, c.key,
                                          escaping.c_str()));
    w.PutFile("C:\\QSHELP.DLL", "MZ help");
    w.AttachUsbPrinter(0, 0);

    ExpectFinishedWith(Choices("KRT-A100", c.port),
                       "Copy driver files error" + escaping + "  er = 123C:\\PKG\\winnt\\" + escaping,
                       CompletionFailed);
    EXPECT_TRUE(w.Drivers().empty());
    EXPECT_TRUE(w.Printers().empty());
    // No copy of the file anywhere, and no registration that names it.
    EXPECT_EQ(support::FindFiles(w, "C:", "QSHELP.DLL"), std::vector<std::string>{"C:\\QSHELP.DLL"});
    EXPECT_EQ(w.FileText("C:\\QSHELP.DLL"), "MZ help");
    for (const auto& m : w.Monitors()) EXPECT_EQ(m.dll.find("QSHELP"), std::string::npos) << m.name;
    for (const auto& p : w.Processors()) EXPECT_EQ(p.dll.find("QSHELP"), std::string::npos) << p.name;
    EXPECT_EQ(w.SpoolerState(), plat::svc::Running);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCopiedFileKey, EscapingNameTest,
    ::testing::Values(
        EscapeCase{"setup_receipt.ini", "KRT-A100.XP", "GDIConfigFile", "LPT1:"},
        EscapeCase{"setup_receipt.ini", "KRT-A100.XP", "GDIDataFile", "LPT1:"},
        EscapeCase{"setup_receipt.ini", "KRT-A100.XP", "GDIDriverPath", "LPT1:"},
        EscapeCase{"setup_receipt.ini", "KRT-A100.XP", "GDIHelpFile", "LPT1:"},
        EscapeCase{"setup_receipt.ini", "KRT-A100.XP", "GDIDataFileDLLName", "LPT1:"},
        EscapeCase{"setup_receipt.ini", "KRT-A100.XP", "GDIDataOemuiDLL", "LPT1:"},
        EscapeCase{"setup_receipt.ini", "KRT-A100.XP", "GDIDataOemuniDLL", "LPT1:"},
        EscapeCase{"setup_receipt.ini", "KRT-A100.XP", "GDIDataOemuniini", "LPT1:"},
        EscapeCase{"setup_receipt.ini", "KRT-A100.XP", "ControlFontFile", "LPT1:"},
        EscapeCase{"setup_receipt.ini", "KRT-A100.XP", "STDProcessorDLLName", "VXCOM2:"},
        EscapeCase{"setup.ini", "COMMON-MONITOR.XP", "COMMONitorPDLLName", "VXCOM2:"},
        EscapeCase{"setup.ini", "COMMON-MONITOR.XP", "COMMONitorPUIDLLName", "VXCOM2:"},
        EscapeCase{"setup.ini", "COMMON-MONITOR.XP", "USBMONitorPDLLName", "USB_KRT-A100_1"},
        EscapeCase{"setup.ini", "COMMON-MONITOR.XP", "USBMONitorPUIDLLName", "USB_KRT-A100_1"}),
    [](const ::testing::TestParamInfo<EscapeCase>& info) { return std::string(info.param.key); });

TEST_F(InstallCommandTest, AnOutdatedComponentWithAnEscapingNameIsRefusedBeforeTheSpoolerStops) {
    struct Case {
        const char* ini;
        const char* section;
        const char* key;
        std::string versionKey;
    };
    const Case cases[] = {
        {"setup.ini", "COMMON-MONITOR.XP", "COMMONitorPDLLName",
         std::string(kMonitorKey) + kSerialMonitor},
        {"setup_receipt.ini", "KRT-A100.XP", "STDProcessorDLLName",
         std::string(kProcKeyNT) + "QSPrint"},
    };
    w.InstallMonitor(kSerialMonitor, "Windows NT x86", "QSCOMMON.DLL");
    w.InstallPrintProcessor("Windows NT x86", "QSPrint", "QSPROC.DLL");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        w.ClearMessageBoxes();
        Outdated(std::string(kMonitorKey) + kSerialMonitor, 2);
        Outdated(std::string(kProcKeyNT) + "QSPrint", 2);
        Outdated(c.versionKey, 1);
        const std::string ini = std::string(kPkg) + "\\DRVCONFIG\\" + c.ini;
        const std::string text = w.FileText(ini).value_or("");
        w.PutFile(ini, ini::EditProfile(text, c.section, c.key, "..\\QSHELP.DLL"));
        EXPECT_EQ(Install(Choices("KRT-A100", "VXCOM2:")), InstallOutcome::Finished);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                                  "Copy driver files error..\\QSHELP.DLL  er = "
                                  "123C:\\PKG\\winnt\\..\\QSHELP.DLL"});
        EXPECT_EQ(Reg(c.versionKey, "DriverVersion"), "1");
        EXPECT_TRUE(w.ServiceLog().empty());
        EXPECT_EQ(support::FindFiles(w, "C:", "QSHELP.DLL"), std::vector<std::string>{});
        w.PutFile(ini, text);
    }
}

TEST_F(InstallCommandTest, Win98MonitorInUseUnderBothNamesIsFatal) {
    w.SetVersion({1, 4, 90, 3000});
    w.SetLocalEnvironment("Windows 4.0");
    w.PutFolder(std::string(kDriverDir98) + "\\3");
    w.InstallMonitor(kUsbMonitor, "Windows 4.0", "QSUSBMON.DLL");
    Outdated(std::string(kMonitorKey) + kUsbMonitor, 2);
    w.PutFile(std::string(kSystem) + "\\QSUSBMON.DLL", "old");
    w.PutFile(std::string(kSystem) + "\\nQSUSBMON.DLL", "old");
    w.SetFileInUse(std::string(kSystem) + "\\QSUSBMON.DLL", true);
    w.SetFileInUse(std::string(kSystem) + "\\nQSUSBMON.DLL", true);
    w.AttachUsbPrinter(0, 0);
    ExpectFinishedWith(Choices("KRT-P58", "USB_KRT-P58_1", Win98), msg::kFatalReboot,
                       CompletionFailed);
    EXPECT_TRUE(w.ServiceLog().empty());
    EXPECT_TRUE(w.Printers().empty());
    // The restart offer follows the failure as it follows a success.
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{msg::kFatalReboot, msg::kRestartQuestion}));
}

TEST_F(InstallCommandTest, AddPrinterFailureIsReportedAfterTheDriverIsRegistered) {
    w.FailCall("AddPrinter", plat::err::UnknownPort);
    ExpectFinishedWith(Choices("KRT-P58", "LPT1:"), "Add printer errorer = 1796",
                       CompletionFailed);
    EXPECT_EQ(w.Drivers().size(), 1u);
    EXPECT_TRUE(w.Printers().empty());
    EXPECT_STREQ(session->createdName, "");
}

TEST_F(InstallCommandTest, CopiesFromReadOnlyMediaLandWritable) {
    // A package on a CD: every file carries the read-only mark, which a copy
    // hands on.
    std::function<void(const std::string&)> markReadOnly = [&](const std::string& folder) {
        for (const std::string& name : w.ListFolder(folder)) {
            const std::string path = folder + "\\" + name;
            if (w.FolderExists(path))
                markReadOnly(path);
            else
                w.files().SetFileAttributes(path, plat::attr::ReadOnly);
        }
    };
    markReadOnly(kPkg);
    auto c = Choices("KRT-A100", "VXCOM1:");
    c.installFonts = true;
    ExpectFinishedWith(c, msg::kInstalled, CompletionSucceeded);

    const std::string system = kSystem, fonts = "C:\\WINDOWS\\Fonts\\";
    for (const std::string& copy :
         {system + "\\QSCOMMON.DLL", system + "\\QSCOMUI.DLL",
          std::string(kProcDirNT) + "\\QSPROC.DLL", std::string(kDriverDirNT) + "\\QSDRV.DLL",
          std::string(kDriverDirNT) + "\\QSRCPT.GPD", fonts + "QSTCVN3.TTF", fonts + "QSVNI.TTF"}) {
        SCOPED_TRACE(copy);
        const auto attributes = w.Attributes(copy);
        ASSERT_TRUE(attributes.has_value());
        EXPECT_EQ(*attributes & plat::attr::ReadOnly, 0u);
    }
    // The package itself is left as it is.
    EXPECT_EQ(w.Attributes(std::string(kPkg) + "\\winnt\\QSCOMMON.DLL"), plat::attr::ReadOnly);

    // Their replacement later meets no "access denied".
    Outdated(std::string(kMonitorKey) + kSerialMonitor, 1);
    session = std::make_unique<InstallSession>(w);
    wizard = RecordingWizard{};
    ExpectFinishedWith(Choices("KRT-A100", "VXCOM2:"), msg::kInstalled, CompletionSucceeded);
    EXPECT_EQ(Reg(std::string(kMonitorKey) + kSerialMonitor, "DriverVersion"), "2");
    EXPECT_EQ(*w.Attributes(system + "\\QSCOMMON.DLL") & plat::attr::ReadOnly, 0u);
}

// ---------------------------------------------------------------- outdated components

TEST_F(InstallCommandTest, OutdatedSerialMonitorIsReplacedBeforeAnOutdatedProcessor) {
    w.InstallMonitor(kSerialMonitor, "Windows NT x86", "QSCOMMON.DLL");
    Outdated(std::string(kMonitorKey) + kSerialMonitor, 1);
    w.InstallPrintProcessor("Windows NT x86", "QSPrint", "QSPROC.DLL");
    Outdated(std::string(kProcKeyNT) + "QSPrint", 1);
    w.PutFile(std::string(kSystem) + "\\QSCOMMON.DLL", "old");
    w.PutFile(std::string(kProcDirNT) + "\\QSPROC.DLL", "old");

    auto c = Choices("KRT-A100", "VXCOM2:");
    ExpectFinishedWith(c, msg::kInstalled, CompletionSucceeded);

    EXPECT_EQ(w.FileText(std::string(kSystem) + "\\QSCOMMON.DLL").value_or("<missing>"), "MZ");
    EXPECT_EQ(Reg(std::string(kMonitorKey) + kSerialMonitor, "DriverVersion"), "2");
    // The processor waits for a later run.
    EXPECT_EQ(w.FileText(std::string(kProcDirNT) + "\\QSPROC.DLL").value_or("<missing>"), "old");
    EXPECT_EQ(Reg(std::string(kProcKeyNT) + "QSPrint", "DriverVersion"), "1");

    EXPECT_EQ(w.ServiceLog(), (std::vector<std::string>{"stop", "start"}));
    EXPECT_EQ(w.SpoolerState(), plat::svc::Running);
    EXPECT_EQ(w.Sleeps(), (Sleeps{100, 100, 500, 2500, 1000}));

    auto printer = w.FindPrinter("KRT-A100(S)");
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->portName, "VXCOM2:");
    EXPECT_EQ(printer->printProcessor, "QSPrint");
    EXPECT_EQ(Reg(kNtPortsKey, "COM2:"), "9600,n,8,1,p");
}

TEST_F(InstallCommandTest, WaitsAfterTheFirstSpoolerStartFollowTheWindowsVersion) {
    struct Case {
        int32_t os;
        Sleeps sleeps;
    };
    for (const Case& k : {Case{WinNT4, {100, 100, 500, 1000, 1000}},
                          Case{Win2000, {100, 100, 500, 1000, 1000}},
                          Case{Win2003, {100, 100, 500, 2500, 1000}},
                          Case{WinVista, {100, 100, 500, 1000}}}) {
        SCOPED_TRACE(k.os);
        plat::SimTestWindows& m = w;
        m.ClearSleeps();
        m.ClearServiceLog();
        for (const auto& p : m.Printers()) {
            plat::Printer handle;
            ASSERT_EQ(m.spooler().OpenPrinter(p.printerName, handle), 0u);
            m.spooler().DeletePrinter(handle);
        }
        m.InstallPrintProcessor("Windows NT x86", "QSPrint", "QSPROC.DLL");
        Outdated(std::string(kProcKeyNT) + "QSPrint", 1);
        auto fresh = std::make_unique<InstallSession>(w);
        session.swap(fresh);
        EXPECT_EQ(Install(Choices("KRT-A100", "LPT1:", k.os)), InstallOutcome::Finished);
        EXPECT_EQ(w.Sleeps(), k.sleeps);
        EXPECT_EQ(Reg(std::string(kProcKeyNT) + "QSPrint", "DriverVersion"), "2");
        EXPECT_TRUE(HasPrinter("KRT-A100(P)"));
    }
}

TEST_F(InstallCommandTest, FileInUseIsInstalledUnderItsNName) {
    // The USB monitor's DLL is held by the spooler (sharing violation), the
    // serial monitor's is denied: both go in under the "n" name.
    w.PutFile(std::string(kSystem) + "\\QSUSBMON.DLL", "held");
    w.SetFileInUse(std::string(kSystem) + "\\QSUSBMON.DLL", true);
    w.FailCall("CopyFile", plat::err::AccessDenied, 1, "\\QSCOMMON.DLL");
    w.AttachUsbPrinter(0, 0);
    EXPECT_EQ(Install(Choices("KRT-P58", "USB_KRT-P58_1")), InstallOutcome::Finished);
    EXPECT_EQ(BoxTexts().back(), msg::kInstalledRepower);
    EXPECT_TRUE(w.FileExists(std::string(kSystem) + "\\nQSUSBMON.DLL"));
    auto monitors = w.Monitors();
    auto usb = std::find_if(monitors.begin(), monitors.end(),
                            [](const auto& m) { return m.name == kUsbMonitor; });
    ASSERT_NE(usb, monitors.end());
    EXPECT_EQ(usb->dll, "nQSUSBMON.DLL");

    session = std::make_unique<InstallSession>(w);
    w.ClearMessageBoxes();
    EXPECT_EQ(Install(Choices("KRT-P58", "VXCOM1:")), InstallOutcome::Finished);
    EXPECT_EQ(BoxTexts().back(), msg::kInstalled);
    EXPECT_TRUE(w.FileExists(std::string(kSystem) + "\\nQSCOMMON.DLL"));
    monitors = w.Monitors();
    auto serial = std::find_if(monitors.begin(), monitors.end(),
                               [](const auto& m) { return m.name == kSerialMonitor; });
    ASSERT_NE(serial, monitors.end());
    EXPECT_EQ(serial->dll, "nQSCOMMON.DLL");
}

// ---------------------------------------------------------------- Windows 98/Me

class Win98InstallTest : public InstallCommandTest {
protected:
    void SetUp() override {
        InstallCommandTest::SetUp();
        w.SetVersion({1, 4, 10, 2222});
        w.SetLocalEnvironment("Windows 4.0");
        // The control font goes to the driver directory's "3" folder.
        w.PutFolder(std::string(kDriverDir98) + "\\3");
        progress.closeEarly = true;  // the window closes at its 90th step
    }
};

TEST_F(Win98InstallTest, ReceiptPrinterWithItsOwnProcessorAndDmcolor) {
    ExpectFinishedWith(Choices("KRT-A100", "LPT1:", Win98), msg::kInstalled, -1);
    auto drivers = w.Drivers();
    ASSERT_EQ(drivers.size(), 1u);
    EXPECT_EQ(drivers[0].environment, "Windows 4.0");
    EXPECT_EQ(drivers[0].version, 0u);
    for (const char* file : {"QSDRV.DLL", "QSRCPT.GPD", "ICONLIB.DLL", "DMCOLOR.DLL"})
        EXPECT_TRUE(InDriverDir(kDriverDir98, file)) << file;
    // No UNIDRV.DLL in the system folder nor in the backup: the package's copy.
    EXPECT_TRUE(InDriverDir(kDriverDir98, "UNIDRV.DLL"));

    auto processors = w.Processors();
    EXPECT_TRUE(std::any_of(processors.begin(), processors.end(), [](const auto& p) {
        return p.name == "QSPrint" && p.environment == "Windows 4.0";
    }));
    auto printer = w.FindPrinter("KRT-A100(P)");
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->printProcessor, "QSPrint");

    // The final message waited for the worker although the window closed early.
    EXPECT_EQ(progress.runs, 1);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{msg::kInstalled, msg::kRestartQuestion}));
    EXPECT_EQ(w.MessageBoxes()[1].flags, mb::YesNo);
    EXPECT_TRUE(w.ExitWindowsCalls().empty());  // answered No
    EXPECT_EQ(w.Sleeps(), (Sleeps{100, 200}));   // the processor settles after its install
}

TEST_F(Win98InstallTest, UnidrvFromTheSystemBackupOrNotAtAll) {
    w.PutFile("C:\\WINDOWS\\Sysbckup\\UNIDRV.DLL", "backup", plat::attr::ReadOnly);
    EXPECT_EQ(Install(Choices("KRT-P58", "LPT1:", Win98)), InstallOutcome::Finished);
    EXPECT_EQ(w.FileText(std::string(kSystem) + "\\UNIDRV.DLL").value_or("<missing>"), "backup");
    EXPECT_EQ(w.Attributes(std::string(kSystem) + "\\UNIDRV.DLL"), plat::attr::Archive);
    EXPECT_FALSE(InDriverDir(kDriverDir98, "UNIDRV.DLL"));
    EXPECT_FALSE(InDriverDir(kDriverDir98, "DMCOLOR.DLL"));  // not a model that takes it

    // Present in the system folder: neither copy happens.
    session = std::make_unique<InstallSession>(w);
    w.PutFile(std::string(kSystem) + "\\UNIDRV.DLL", "system");
    EXPECT_EQ(Install(Choices("KRT-B200", "LPT2:", Win98)), InstallOutcome::Finished);
    EXPECT_EQ(w.FileText(std::string(kSystem) + "\\UNIDRV.DLL").value_or("<missing>"), "system");
    EXPECT_FALSE(InDriverDir(kDriverDir98, "UNIDRV.DLL"));
    EXPECT_TRUE(InDriverDir(kDriverDir98, "DMCOLOR.DLL"));
    EXPECT_TRUE(HasPrinter("KRT-B200(P)"));
}

TEST_F(Win98InstallTest, RestartOnRequestAndItsFailureStaysUnshown) {
    w.QueueAnswer(mb::IdOk);
    w.QueueAnswer(mb::IdYes);
    EXPECT_EQ(Install(Choices("KRT-P58", "COM2:", Win98)), InstallOutcome::Finished);
    EXPECT_EQ(w.ExitWindowsCalls(), std::vector<uint32_t>{plat::ewx::Reboot});
    EXPECT_TRUE(session->installMessage.empty());

    // Serial settings of Windows 98: win.ini "Ports" (no serial monitor here).
    EXPECT_EQ(w.profile().GetProfileString("Ports", "COM2:", ""), "9600,n,8,1,p");
    EXPECT_TRUE(HasPrinter("KRT-P58(S)"));

    session = std::make_unique<InstallSession>(w);
    w.ClearMessageBoxes();
    w.QueueAnswer(mb::IdOk);
    w.QueueAnswer(mb::IdYes);
    w.FailCall("ExitWindows", plat::err::AccessDenied);
    EXPECT_EQ(Install(Choices("KRT-P58", "LPT1:", Win98)), InstallOutcome::Finished);
    EXPECT_EQ(session->installMessage, msg::kExitWindowsError);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{msg::kInstalled, msg::kRestartQuestion}));
}

// ---------------------------------------------------------------- USB identity

TEST_F(InstallCommandTest, TypicalMovesAnotherIdToTheFirstPort) {
    w.AttachUsbPrinter(0, 2);
    w.SetDefaultYesNoAnswer(mb::IdYes);
    EXPECT_EQ(Install(Choices("KRT-P58", "USB_KRT-P58_1")), InstallOutcome::Finished);
    EXPECT_EQ(BoxTexts(),
              (std::vector<std::string>{msg::kChangePrinterName, msg::kInstalledRepower}));
    ASSERT_EQ(w.UsbWrites().size(), 1u);
    EXPECT_EQ(w.UsbWrites()[0].bytes.size(), 10u);
    EXPECT_EQ(w.UsbWrites()[0].bytes[9], 0);
    EXPECT_EQ(w.UsbPrinterId(0), 0);
    EXPECT_TRUE(HasPrinter("KRT-P58(U) 1"));
}

TEST_F(InstallCommandTest, TypicalWithoutAPrinterGoesOnWithoutAsking) {
    EXPECT_EQ(Install(Choices("KRT-P58", "USB_KRT-P58_2")), InstallOutcome::Finished);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kInstalledRepower});
    EXPECT_TRUE(HasPrinter("KRT-P58(U) 2"));
}

TEST_F(InstallCommandTest, TypicalWithTwoPrintersAsksAndSetsTheFirst) {
    w.AttachUsbPrinter(2, 5);
    w.AttachUsbPrinter(5, 6);
    w.SetDefaultYesNoAnswer(mb::IdYes);
    EXPECT_EQ(Install(Choices("KRT-P58", "USB_KRT-P58_1")), InstallOutcome::Finished);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{msg::kOneUsbPrinter, msg::kChangePrinterName,
                                                     msg::kInstalledRepower}));
    ASSERT_EQ(w.UsbWrites().size(), 1u);
    EXPECT_EQ(w.UsbWrites()[0].deviceIndex, 2);
    EXPECT_EQ(w.UsbPrinterId(2), 0);
    EXPECT_EQ(w.UsbPrinterId(5), 6);
}

TEST_F(InstallCommandTest, AdvancedMovesThePrinterToTheChosenPort) {
    w.AttachUsbPrinter(1, 2);  // answers to port 3
    w.SetDefaultYesNoAnswer(mb::IdYes);
    auto c = Choices("KRT-P58", "USB_KRT-P58_4");
    c.setupType = SetupAdvanced;
    EXPECT_EQ(Install(c), InstallOutcome::Finished);
    ASSERT_EQ(w.UsbWrites().size(), 1u);
    EXPECT_EQ(w.UsbWrites()[0].bytes[9], 3);
    EXPECT_TRUE(HasPrinter("KRT-P58(U) 4"));

    // A printer already on the chosen port is not asked about.
    session = std::make_unique<InstallSession>(w);
    w.ClearMessageBoxes();
    w.AttachUsbPrinter(1, 9);  // 9 modulo 8 answers to port 2
    c.portName = "USB_KRT-P58_2";
    EXPECT_EQ(Install(c), InstallOutcome::Finished);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kInstalledRepower});
    EXPECT_EQ(w.UsbWrites().size(), 1u);
    EXPECT_TRUE(HasPrinter("KRT-P58(U) 2"));
}

// ---------------------------------------------------------------- naming and records

TEST_F(InstallCommandTest, KrtC3IsBoundToItsOwnPortName) {
    w.SetMonitorPorts("QSUSBMON.DLL", {"USB_KRT-C3_4", "USB_KRT-C3_2"});
    auto c = Choices("KRT-C3", "USB_KRT-C3S_2");
    EXPECT_EQ(Install(c), InstallOutcome::Finished);
    auto printer = w.FindPrinter("KRT-C3(U) 2");
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->portName, "USB_KRT-C3_2");
    EXPECT_STREQ(session->altPortName, "USB_KRT-C3_2");
    // The records: PORTNAME for the bound port, PRINTERPORT's 0 for the chosen one.
    EXPECT_EQ(Reg(kPortNameKey, "USB_KRT-C3_2"), "13");
    EXPECT_EQ(Reg(kPrinterPortKey, "USB_KRT-C3S_2"), "0");
    EXPECT_EQ(Reg(kPrinterPortKey, "USB_KRT-C3_2"), "255");

    session = std::make_unique<InstallSession>(w);
    EXPECT_EQ(Install(Choices("KRT-C3", "USB_KRT-C3_4")), InstallOutcome::Finished);
    ASSERT_TRUE(w.FindPrinter("KRT-C3(U) 4"));
    EXPECT_EQ(w.FindPrinter("KRT-C3(U) 4")->portName, "USB_KRT-C3_4");
}

TEST_F(InstallCommandTest, UsbRecordsKeepWhatIsThereAndFollowInstalledPrinters) {
    w.PutRegDword(Root::LocalMachine, kPrinterPortKey, "USB_KRT-A100_2", 0);
    w.PutRegDword(Root::LocalMachine, kPrinterPortKey, "D5", 7);
    w.PutRegString(Root::LocalMachine, "SOFTWARE\\TARVELO\\INSTALLPRINTER", "KRT-A100(U) 4", "");
    EXPECT_EQ(Install(Choices("KRT-P58", "USB_KRT-P58_3")), InstallOutcome::Finished);
    EXPECT_EQ(Reg(kPrinterPortKey, "USB_KRT-A100_2"), "0");
    EXPECT_EQ(Reg(kPrinterPortKey, "D5"), "0");
    EXPECT_EQ(Reg(kPrinterPortKey, "USB_KRT-P58_3"), "0");
    EXPECT_EQ(Reg(kPortNameKey, "USB_KRT-P58_3"), "2");
    EXPECT_EQ(Reg(kPortNameKey, "USB_KRT-A100_4"), "7");
}

TEST_F(InstallCommandTest, ParallelAndSerialPortsWriteNoUsbRecords) {
    EXPECT_EQ(Install(Choices("KRT-P58", "LPT1:")), InstallOutcome::Finished);
    EXPECT_FALSE(w.KeyExists(Root::LocalMachine, kPrinterPortKey));
    EXPECT_FALSE(w.KeyExists(Root::LocalMachine, kPortNameKey));
}

TEST_F(InstallCommandTest, SecondParallelQueueIsNumbered) {
    EXPECT_EQ(Install(Choices("KRT-P58", "LPT1:")), InstallOutcome::Finished);
    session = std::make_unique<InstallSession>(w);
    EXPECT_EQ(Install(Choices("KRT-P58", "LPT1:")), InstallOutcome::Finished);
    EXPECT_TRUE(HasPrinter("KRT-P58(P)"));
    EXPECT_TRUE(HasPrinter("KRT-P58(P)(1)"));
    EXPECT_STREQ(session->createdName, "KRT-P58(P)(1)");
    EXPECT_EQ(BoxTexts().back(), msg::kInstalled);
}

TEST_F(InstallCommandTest, SecondUsbQueueOnThePortIsRefused) {
    EXPECT_EQ(Install(Choices("KRT-P58", "USB_KRT-P58_3")), InstallOutcome::Finished);
    session = std::make_unique<InstallSession>(w);
    EXPECT_EQ(Install(Choices("KRT-P58", "USB_KRT-P58_3")), InstallOutcome::Finished);
    EXPECT_EQ(BoxTexts().back(), msg::kMaxPrintersOnPort);
    EXPECT_EQ(progress.seenState, CompletionFailed);
    EXPECT_EQ(w.Printers().size(), 1u);
    EXPECT_TRUE(HasPrinter("KRT-P58(U) 3"));
}

TEST_F(InstallCommandTest, DefaultPrinterOnRequestWithTheCreatedName) {
    EXPECT_EQ(Install(Choices("KRT-P58", "LPT1:")), InstallOutcome::Finished);
    EXPECT_NE(w.DefaultPrinter(), "KRT-P58(P)");
    session = std::make_unique<InstallSession>(w);
    auto c = Choices("KRT-P58", "LPT1:");
    c.setDefault = true;
    EXPECT_EQ(Install(c), InstallOutcome::Finished);
    EXPECT_EQ(w.DefaultPrinter(), "KRT-P58(P)(1)");
}

TEST_F(InstallCommandTest, SerialSettingsOfTheMakersPortGoToItsComName) {
    auto c = Choices("KTT-T80", "VXCOM3:", WinXP, Ticket);
    c.baudRate = 19200;
    c.parity = 'E';
    c.dataBits = 7;
    c.stopBits = 1.5;
    c.flow = 'x';
    EXPECT_EQ(Install(c), InstallOutcome::Finished);
    EXPECT_EQ(BoxTexts().back(), msg::kInstalled);
    EXPECT_TRUE(HasPrinter("KTT-T80(S)"));
    EXPECT_EQ(Reg(kNtPortsKey, "COM3:"), "19200,e,7,1.5,x");
    EXPECT_FALSE(Reg(kNtPortsKey, "VXCOM3:"));
}

TEST_F(InstallCommandTest, VietnameseFontsComeFirstOnRequest) {
    auto c = Choices("", "LPT1:");
    c.installFonts = true;
    EXPECT_EQ(Install(c), InstallOutcome::Refused);
    // Copied although the installation was then refused.
    EXPECT_TRUE(w.FileExists("C:\\WINDOWS\\Fonts\\QSTCVN3.TTF"));
    EXPECT_TRUE(w.FileExists("C:\\WINDOWS\\Fonts\\QSVNI.TTF"));
}

TEST_F(InstallCommandTest, HeadlessProgressWaitsThroughTheClock) {
    HeadlessProgress headless(w);
    InstallCommand command(w, *session, headless, wizard, MessageContext{kWizard, "Setup"});
    EXPECT_EQ(command.Run(Choices("KRT-P58", "LPT1:")), InstallOutcome::Finished);
    EXPECT_TRUE(HasPrinter("KRT-P58(P)"));
    EXPECT_EQ(BoxTexts().back(), msg::kInstalled);
}

}  // namespace
