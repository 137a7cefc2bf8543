// The wizard host's moves between the pages, the checks between them, the
// hand-over to the Install command, F1 and the start-up checks.
#include <gtest/gtest.h>

#include "common/IniText.h"
#include "setup/wizard/SetupStartup.h"
#include "setup/wizard/tests/WizardMachine.h"

namespace {

using namespace wiztest;
namespace mb = plat::mb;

class WizardHostTest : public WizardMachine {
protected:
    const PageView& Buttons() const { return host->View(); }
    std::string OkText() const { return Buttons().Text(WizardHost::kButtonOk); }
};

TEST_F(WizardHostTest, FirstDisplay) {
    StartWizard();
    EXPECT_EQ(host->Current(), 0);
    EXPECT_EQ(frames.Visible(), 0);
    EXPECT_EQ(Buttons().Text(WizardHost::kButtonBack), "<<Back (&B)");
    EXPECT_EQ(OkText(), "Next (&N)>>");
    EXPECT_EQ(Buttons().Text(WizardHost::kButtonCancel), "Cancel (&C)");
    EXPECT_FALSE(Buttons().Enabled(WizardHost::kButtonBack));
    EXPECT_TRUE(Buttons().Enabled(WizardHost::kButtonOk));
    EXPECT_EQ(host->CaptionOf(1), "\xd1\xa1\xd4\xf1\xb0\xb2\xd7\xb0\xc4\xa3\xca\xbd");
    EXPECT_EQ(host->TemplateOf(3), IDD_PORT_PAGE);
}

TEST_F(WizardHostTest, WithoutModelsOnlyCancelLeaves) {
    w.RemovePath("C:\\PKG\\DRVCONFIG\\setup.ini");
    StartWizard();
    EXPECT_FALSE(Buttons().Enabled(WizardHost::kButtonOk));
    EXPECT_FALSE(Buttons().Enabled(WizardHost::kButtonBack));
    EXPECT_TRUE(Buttons().Enabled(WizardHost::kButtonCancel));
}

TEST_F(WizardHostTest, PagesInOrderWithTheirButtons) {
    StartWizard();
    host->Next(frames);
    EXPECT_EQ(frames.Visible(), 1);
    EXPECT_TRUE(Buttons().Enabled(WizardHost::kButtonBack));
    EXPECT_EQ(OkText(), "Next (&N)>>");
    host->Next(frames);
    EXPECT_EQ(frames.Visible(), 2);
    host->Next(frames);
    EXPECT_EQ(frames.Visible(), 3);
    EXPECT_EQ(OkText(), "Install (&I)");
    EXPECT_EQ(host->View().TakeFocus(), WizardHost::kButtonOk);

    host->Back(frames);
    EXPECT_EQ(frames.Visible(), 2);
    EXPECT_EQ(OkText(), "Next (&N)>>");
    host->Back(frames);
    host->Back(frames);
    EXPECT_EQ(host->Current(), 0);
    EXPECT_FALSE(Buttons().Enabled(WizardHost::kButtonBack));
    // Back on page 0 stays there.
    host->Back(frames);
    EXPECT_EQ(host->Current(), 0);
    // Every page left had its data read first.
    EXPECT_EQ(frames.updates[0], 1);
    EXPECT_EQ(frames.updates[3], 1);
}

TEST_F(WizardHostTest, AFailingUpdateDataKeepsThePage) {
    StartWizard();
    frames.refuseUpdate = true;
    host->Next(frames);
    EXPECT_EQ(host->Current(), 0);
    EXPECT_EQ(frames.Visible(), 0);
}

TEST_F(WizardHostTest, ModelWithoutAdvancedSetupForcesTypical) {
    StartWizard();
    ChooseModel(Ticket, "KTT-T80");  // AdvancedSetup=1
    host->Next(frames);
    EXPECT_TRUE(setupType->View().Enabled(IDC_ADVANCED));
    setupType->AdvancedClicked();
    host->Back(frames);
    ChooseModel(Ticket, "KTT-T82");  // AdvancedSetup=0
    host->Next(frames);
    EXPECT_FALSE(setupType->View().Enabled(IDC_ADVANCED));
    EXPECT_TRUE(setupType->View().Checked(IDC_TYPICAL));
    EXPECT_EQ(setupType->SetupType(), SetupTypical);
    NextToPortPage();
    EXPECT_EQ(host->Choices().setupType, SetupTypical);
    EXPECT_FALSE(port->View().Visible(IDC_RASTER));
}

TEST_F(WizardHostTest, AdvancedChoiceReachesThePortPage) {
    StartWizard();
    host->Next(frames);
    setupType->AdvancedClicked();
    NextToPortPage();
    EXPECT_EQ(host->Choices().setupType, SetupAdvanced);
    EXPECT_EQ(state.setupType, SetupAdvanced);
    EXPECT_EQ(port->SetupType(), SetupAdvanced);
    EXPECT_EQ(PortList().FindContaining("USB_KRT-P58_4"), 6);
    EXPECT_TRUE(port->View().Visible(IDC_RASTER));
}

TEST_F(WizardHostTest, ArrivalCollectsTheChoices) {
    StartWizard();
    ChooseModel(Receipt, "KRT-B200");
    modules->View().TakeUserCheck(IDC_SET_DEFAULT, true);
    NextToPortPage();
    const WizardChoices& c = host->Choices();
    EXPECT_EQ(c.module, Receipt);
    EXPECT_EQ(c.model, "KRT-B200");
    EXPECT_TRUE(c.setDefault);
    EXPECT_EQ(c.os, WinXP);
    EXPECT_STREQ(host->SetupIniPath(), "C:\\PKG\\DRVCONFIG\\setup.ini");
    EXPECT_STREQ(host->ModuleIniPath(), "C:\\PKG\\DRVCONFIG\\setup_receipt.ini");
    // KRT-B200's BaudRate 115200 was applied on leaving the OS page.
    EXPECT_EQ(port->View().List(IDC_BAUD).SelectedText(), "115200");
    EXPECT_EQ(port->BaudRate(), 115200);
}

TEST_F(WizardHostTest, PortKeysTenTimesOverTheirLimitAreReadToTheLimit) {
    // 2000 characters: the reader keeps 199 of them, all zeros.
    const std::string text = w.FileText(kReceiptIni).value_or("");
    std::string ini = text;
    for (const char* key : {"AdvancedSetup", "BaudRate"})
        ini = ini::EditProfile(ini, "KRT-B200.PORT", key,
                                     (std::string(1994, '0') + "115200").c_str());
    w.PutFile(kReceiptIni, ini);
    StartWizard();
    ChooseModel(Receipt, "KRT-B200");
    host->Next(frames);
    EXPECT_FALSE(setupType->View().Enabled(IDC_ADVANCED));
    NextToPortPage();
    EXPECT_EQ(port->BaudRate(), 38400);
}

TEST_F(WizardHostTest, BaudRateIsReappliedOnlyAfterGoingBackPastTheOsPage) {
    StartWizard();
    NextToPortPage();
    EXPECT_EQ(port->BaudRate(), 9600);  // KRT-P58
    port->SelectionChanged(IDC_BAUD, 1);
    host->Back(frames);  // 3 -> 2
    host->Next(frames);
    EXPECT_EQ(port->BaudRate(), 300);
    host->Back(frames);  // 3 -> 2
    host->Back(frames);  // 2 -> 1: armed
    host->Next(frames);
    host->Next(frames);
    EXPECT_EQ(port->BaudRate(), 9600);
    EXPECT_EQ(port->View().List(IDC_BAUD).SelectedText(), "9600");
}

TEST_F(WizardHostTest, AbsentBaudRateShowsAndGives38400) {
    RemovePortKey("KRT-P58", "BaudRate");
    StartWizard();
    NextToPortPage();
    EXPECT_EQ(port->View().List(IDC_BAUD).SelectedText(), "38400");
    EXPECT_EQ(port->BaudRate(), 38400);
    host->CollectForInstall(frames);
    EXPECT_EQ(host->Choices().baudRate, 38400);
}

TEST_F(WizardHostTest, Server2003RefusedForAModelWithoutIt) {
    SetVersion(2, 5, 2);
    SetPortKey("KRT-P58", "System2003Supported", "0");
    StartWizard();
    host->Next(frames);
    host->Next(frames);
    host->Next(frames);
    EXPECT_EQ(host->Current(), 2);
    EXPECT_EQ(frames.Visible(), 2);
    EXPECT_TRUE(Buttons().Enabled(WizardHost::kButtonBack));
    ASSERT_EQ(w.MessageBoxes().size(), 1u);
    const auto box = w.MessageBoxes()[0];
    EXPECT_EQ(box.text, "This printer not support WINDOWS SEVER 2003");
    EXPECT_EQ(box.flags, mb::Ok | mb::IconExclamation);
    EXPECT_EQ(box.owner, kWizardWindow);
    EXPECT_EQ(box.caption, "Setup");
}

TEST_F(WizardHostTest, VistaAndLaterRefusedForAModelWithoutVista) {
    SetVersion(2, 10, 0);
    StartWizard();
    ChooseModel(Receipt, "KRT-B200");  // SystemVistaSupported=0
    host->Next(frames);
    host->Next(frames);
    host->Next(frames);
    EXPECT_EQ(host->Current(), 2);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kNoVista});
    // Another model goes through.
    host->Back(frames);
    host->Back(frames);
    ChooseModel(Receipt, "KRT-P58");
    NextToPortPage();
    EXPECT_EQ(host->Choices().os, WinVista);
}

TEST_F(WizardHostTest, NoModuleChosenReadsEverythingAsZero) {
    w.PutFile("C:\\PKG\\DRVCONFIG\\setup.ini",
              "[DEVICENAME]\r\nDEVICENUMBER=1\r\nDEVICENAME1=A-TicketPrinter\r\nDEFAULTNAME=7\r\n");
    StartWizard();
    host->Next(frames);
    EXPECT_FALSE(setupType->View().Enabled(IDC_ADVANCED));
    NextToPortPage();
    EXPECT_EQ(port->View().List(IDC_BAUD).SelectedText(), "38400");
    EXPECT_EQ(state.moduleIniPath, "C:\\PKG\\");
    // Install refuses: no model.
    HeadlessProgress progress(w);
    NoWizardWindow window;
    EXPECT_EQ(host->Install(frames, progress, window), InstallOutcome::Refused);
    EXPECT_EQ(BoxTexts().back(), msg::kNoModuleSelected);
}

TEST_F(WizardHostTest, TypicalInstallationOnLpt1) {
    StartWizard();
    NextToPortPage();
    EXPECT_EQ(port->PortName(), "LPT1:");
    HeadlessProgress progress(w);
    NoWizardWindow window;
    EXPECT_EQ(host->Install(frames, progress, window), InstallOutcome::Finished);
    EXPECT_EQ(BoxTexts().back(), msg::kInstalled);
    const auto printer = w.FindPrinter("KRT-P58(P)");
    ASSERT_TRUE(printer.has_value());
    EXPECT_EQ(printer->portName, "LPT1:");
    // Install read every page's data once more.
    for (int i = 0; i < 4; ++i) EXPECT_GE(frames.updates[i], 1);
}

TEST_F(WizardHostTest, NoMoveNorSecondInstallWhileAnInstallationRuns) {
    // The progress window of this test tries what a user's queued clicks
    // would while the worker runs: Back, a second Install.
    struct Meddling final : ProgressHost {
        void RunModal(std::atomic<int32_t>& state, int32_t) override {
            installing = host->Installing();
            host->Back(*frames);
            page = host->Current();
            HeadlessProgress inner(*w);
            NoWizardWindow window;
            second = host->Install(*frames, inner, window);
            while (state.load() == CompletionRunning) w->clock().Sleep(100);
        }
        WizardHost* host = nullptr;
        FakeFrames* frames = nullptr;
        plat::SimTestWindows* w = nullptr;
        bool installing = false;
        int page = -1;
        InstallOutcome second = InstallOutcome::Finished;
    } meddling;
    StartWizard();
    meddling.host = host.get();
    meddling.frames = &frames;
    meddling.w = &w;
    NextToPortPage();
    NoWizardWindow window;
    EXPECT_EQ(host->Install(frames, meddling, window), InstallOutcome::Finished);
    EXPECT_TRUE(meddling.installing);
    EXPECT_EQ(meddling.page, 3);
    EXPECT_EQ(meddling.second, InstallOutcome::Refused);
    EXPECT_EQ(w.Printers().size(), 1u);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kInstalled});
    // Done, and after a refusal too: the wizard answers again.
    EXPECT_FALSE(host->Installing());
    host->Back(frames);
    EXPECT_EQ(host->Current(), 2);
    host->Next(frames);
    port->SelectionChanged(IDC_PORT, -1);  // no port: refused
    HeadlessProgress progress(w);
    EXPECT_EQ(host->Install(frames, progress, window), InstallOutcome::Refused);
    EXPECT_FALSE(host->Installing());
}

TEST_F(WizardHostTest, GreyedBackDoesNotOpenTheWayToNext) {
    w.RemovePath("C:\\PKG\\DRVCONFIG\\setup.ini");
    StartWizard();
    host->Back(frames);
    EXPECT_FALSE(Buttons().Enabled(WizardHost::kButtonOk));
    EXPECT_EQ(host->Current(), 0);
}

TEST_F(WizardHostTest, PictureOnlyFromTheCurrentFolder) {
    StartWizard();
    EXPECT_EQ(host->PicturePath(), "C:\\PKG\\DRVCONFIG\\Left.bmp");
    // Started from another folder: the picture beside the program does not count.
    w.SetCurrentFolder("C:\\Users\\shop");
    EXPECT_EQ(host->PicturePath(), "");
    w.PutFolder("C:\\Users\\shop\\DRVCONFIG\\Left.bmp");  // a folder of that name
    EXPECT_EQ(host->PicturePath(), "");
    w.SetCurrentFolder("C:\\");
    w.PutFile("C:\\DRVCONFIG\\Left.bmp", "BM");
    EXPECT_EQ(host->PicturePath(), "C:\\DRVCONFIG\\Left.bmp");
    w.FailCall("GetCurrentDirectory", plat::err::AccessDenied);
    EXPECT_EQ(host->PicturePath(), "");
}

TEST_F(WizardHostTest, SerialInstallationGetsThePagesSettings) {
    StartWizard();
    NextToPortPage();
    const auto& e = PortList().Entries();
    port->SelectionChanged(IDC_PORT,
                           static_cast<int>(std::find(e.begin(), e.end(), "VXCOM2:") - e.begin()));
    port->SelectionChanged(IDC_BAUD, 6);     // 19200
    port->SelectionChanged(IDC_PARITY, 0);   // Even
    port->SelectionChanged(IDC_FLOW, 1);     // Xon/Xoff
    const WizardChoices c = host->CollectForInstall(frames);
    EXPECT_EQ(c.portName, "VXCOM2:");
    EXPECT_EQ(c.driverMode, Std);
    EXPECT_EQ(c.baudRate, 19200);
    EXPECT_EQ(c.parity, 'E');
    EXPECT_EQ(c.flow, 'x');
    EXPECT_EQ(c.dataBits, 8);
    EXPECT_EQ(c.stopBits, 1.0);
}

TEST_F(WizardHostTest, HelpBringsTheViewerForwardOrOpensTheFile) {
    StartWizard();
    // The wizard's own window is no help viewer.
    w.AddWindow(wiztext::kWizardTitle);
    host->Help();
    EXPECT_EQ(w.ShellOpens(), std::vector<std::string>{".\\POS.CHM"});
    const plat::Window viewer = w.AddWindow("VX900 Printer Driver Installer", true);
    host->Help();
    EXPECT_EQ(w.ShellOpens().size(), 1u);
    EXPECT_EQ(w.ForegroundCalls(), std::vector<plat::Window>{viewer});
    EXPECT_EQ(w.RestoreCalls(), std::vector<plat::Window>{viewer});
}

TEST_F(WizardHostTest, AdministratorCheckFromWindows2000On) {
    StartWizard();
    w.SetProcessGroups({"S-1-5-32-545"});
    EXPECT_FALSE(host->CheckAdministrator());
    ASSERT_EQ(w.MessageBoxes().size(), 1u);
    EXPECT_EQ(w.MessageBoxes()[0].text, msg::kNotAdministrator);
    EXPECT_EQ(w.MessageBoxes()[0].flags, mb::Ok);
    EXPECT_EQ(w.MessageBoxes()[0].owner, kWizardWindow);
    SetVersion(2, 4, 0);
    EXPECT_TRUE(host->CheckAdministrator());
    SetVersion(2, 5, 0);
    w.SetProcessGroups({"S-1-5-32-544"});
    EXPECT_TRUE(host->CheckAdministrator());
}

// ---------------------------------------------------------------- start-up

TEST(SetupStartup, FirstCopyRunsAndHoldsItsMutex) {
    plat::SimTestWindows w;
    w.SetModuleFileName("C:\\PKG\\Setup.exe");
    const std::string name = ApplicationName(w);
    EXPECT_EQ(name, "Setup");
    plat::Mutex mutex;
    EXPECT_EQ(CheckStartup(w, name, mutex), StartupVerdict::Run);
    EXPECT_TRUE(w.MutexExists("Setup"));
    EXPECT_TRUE(w.MessageBoxes().empty());
}

TEST(SetupStartup, SecondCopyBringsTheFirstForward) {
    plat::SimTestWindows w;
    w.OwnMutexElsewhere("Setup");
    const plat::Window first = w.AddWindow("Install Driver for Printers", true);
    w.AddWindow("Install Driver for Printers ");
    plat::Mutex mutex;
    EXPECT_EQ(CheckStartup(w, "Setup", mutex), StartupVerdict::OtherCopy);
    EXPECT_EQ(w.ForegroundCalls(), std::vector<plat::Window>{first});
    EXPECT_EQ(w.RestoreCalls(), std::vector<plat::Window>{first});
    EXPECT_TRUE(w.MessageBoxes().empty());
}

TEST(SetupStartup, SecondCopyWithoutAWindowOnlyEnds) {
    plat::SimTestWindows w;
    w.OwnMutexElsewhere("Setup");
    plat::Mutex mutex;
    EXPECT_EQ(CheckStartup(w, "Setup", mutex), StartupVerdict::OtherCopy);
    EXPECT_TRUE(w.ForegroundCalls().empty());
}

TEST(SetupStartup, RefusesBesideUninstallAndRenamedCopiesAreSeparate) {
    plat::SimTestWindows w;
    w.SetModuleFileName("D:\\x.y\\Setup2.EXE");
    EXPECT_EQ(ApplicationName(w), "Setup2");
    w.OwnMutexElsewhere("Setup");
    w.AddWindow("Uninstall program");  // not the exact title
    plat::Mutex mutex;
    EXPECT_EQ(CheckStartup(w, "Setup2", mutex), StartupVerdict::Run);
    w.AddWindow("Uninstall");
    plat::SimTestWindows fresh;
    plat::Mutex other;
    fresh.AddWindow("Uninstall");
    EXPECT_EQ(CheckStartup(fresh, "Setup", other), StartupVerdict::UninstallOpen);
    ASSERT_EQ(fresh.MessageBoxes().size(), 1u);
    EXPECT_EQ(fresh.MessageBoxes()[0].text, "Please close Uninstall program first!");
    EXPECT_EQ(fresh.MessageBoxes()[0].flags, mb::Ok | mb::IconExclamation);
    EXPECT_EQ(fresh.MessageBoxes()[0].caption, "Setup");
}

}  // namespace
