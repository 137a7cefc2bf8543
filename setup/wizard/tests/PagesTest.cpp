// The four pages' logic on the simulated machine with the sample package.
#include <gtest/gtest.h>

#include <cstdio>

#include "setup/config/PackageLimits.h"
#include "setup/wizard/tests/WizardMachine.h"

namespace {

using namespace wiztest;
namespace mb = plat::mb;

constexpr const char* kSetupIni = "C:\\PKG\\DRVCONFIG\\setup.ini";

// ---------------------------------------------------------------- module page

class ModulePageTest : public WizardMachine {
protected:
    const ComboList& List(int module) const {
        return modules->View().List(ModulePage::kLists[module]);
    }
    bool RadioEnabled(int module) const {
        return modules->View().Enabled(ModulePage::kRadios[module]);
    }
    void Init() {
        modules = std::make_unique<ModulePage>(w);
        modules->Initialize();
    }
};

TEST_F(ModulePageTest, ListsFromTheSamplePackage) {
    Init();
    EXPECT_EQ(List(Receipt).Entries(),
              (std::vector<std::string>{"KRT-P58", "KRT-A100", "KRT-B200", "KRT-C3"}));
    EXPECT_EQ(List(Ticket).Entries(), (std::vector<std::string>{"KTT-T82", "KTT-T80"}));
    EXPECT_EQ(List(Label).Entries(), (std::vector<std::string>{"KLB-L40"}));
    // Embedded is sorted by its control; "KSV-D1" has no kind and is in no list.
    EXPECT_EQ(List(Embedded).Entries(), (std::vector<std::string>{"KEM-E10", "KEM-E20"}));

    // The default (entry 1, a receipt printer) is chosen; only its list is enabled.
    EXPECT_EQ(modules->ModuleIndex(), Receipt);
    EXPECT_EQ(modules->ModelName(), "KRT-P58");
    EXPECT_TRUE(modules->View().Checked(IDC_MODULE_RECEIPT));
    EXPECT_TRUE(modules->View().Enabled(IDC_LIST_RECEIPT));
    EXPECT_FALSE(modules->View().Enabled(IDC_LIST_TICKET));
    EXPECT_FALSE(modules->View().Enabled(IDC_LIST_EMBEDDED));
    EXPECT_TRUE(modules->HasModels());
    EXPECT_FALSE(modules->View().Checked(IDC_SET_DEFAULT));
    for (int m = 0; m < 4; ++m) EXPECT_EQ(List(m).Selection(), 0);
}

TEST_F(ModulePageTest, SwitchingModulesKeepsEachListsChoice) {
    Init();
    modules->ListSelectionChanged(Receipt, 2);
    EXPECT_EQ(modules->ModelName(), "KRT-B200");
    modules->ModuleClicked(Ticket);
    EXPECT_EQ(modules->ModelName(), "KTT-T82");
    EXPECT_EQ(modules->ModuleIndex(), Ticket);
    EXPECT_FALSE(modules->View().Enabled(IDC_LIST_RECEIPT));
    EXPECT_TRUE(modules->View().Enabled(IDC_LIST_TICKET));
    EXPECT_FALSE(modules->View().Checked(IDC_MODULE_RECEIPT));
    modules->ModuleClicked(Receipt);
    EXPECT_EQ(modules->ModelName(), "KRT-B200");
}

TEST_F(ModulePageTest, ChoosingAModuleKeepsSetAsDefault) {
    Init();
    // The check box lies in the radio buttons' id range.
    modules->View().TakeUserCheck(IDC_SET_DEFAULT, true);
    modules->ModuleClicked(Label);
    EXPECT_TRUE(modules->View().Checked(IDC_SET_DEFAULT));
    modules->UpdateData();
    EXPECT_TRUE(modules->SetAsDefault());
}

TEST_F(ModulePageTest, EmptyModulesAndUnknownDefault) {
    w.PutFile(kSetupIni,
              "[DEVICENAME]\r\nDEVICENUMBER=3\r\nDEVICENAME1=A-TicketPrinter\r\n"
              "DEVICENAME2=B-TicketPrinter\r\nDEVICENAME3=C\r\nDEFAULTNAME=3\r\n");
    Init();
    EXPECT_FALSE(RadioEnabled(Receipt));
    EXPECT_TRUE(RadioEnabled(Ticket));
    EXPECT_FALSE(RadioEnabled(Label));
    EXPECT_FALSE(RadioEnabled(Embedded));
    // The default has no kind: nothing is chosen.
    EXPECT_EQ(modules->ModuleIndex(), -1);
    EXPECT_EQ(modules->ModelName(), "");
    for (int id : ModulePage::kRadios) EXPECT_FALSE(modules->View().Checked(id));
    for (int id : ModulePage::kLists) EXPECT_FALSE(modules->View().Enabled(id));
    EXPECT_TRUE(modules->HasModels());
}

TEST_F(ModulePageTest, TabReachesTheModulesAtAChoosableRadio) {
    // Only one radio holds the tab stop: the checked one, else the first that
    // can be chosen; a module without models never holds it alone.
    struct Case {
        const char* ini;   // setup.ini, or nullptr for the sample's
        int clicked;       // module clicked after start, or -1
        int stop;          // the module whose radio holds the tab stop, or -1
    };
    const char* noReceipt =
        "[DEVICENAME]\r\nDEVICENUMBER=2\r\nDEVICENAME1=A-TicketPrinter\r\n"
        "DEVICENAME2=B-LabelPrinter\r\nDEFAULTNAME=%d\r\n";
    char noDefault[200], labelDefault[200];
    std::snprintf(noDefault, sizeof noDefault, noReceipt, 7);
    std::snprintf(labelDefault, sizeof labelDefault, noReceipt, 2);
    for (const Case& c : {Case{nullptr, -1, Receipt}, Case{nullptr, Embedded, Embedded},
                          Case{noDefault, -1, Ticket}, Case{noDefault, Label, Label},
                          Case{labelDefault, -1, Label}, Case{"", -1, -1}}) {
        SCOPED_TRACE(std::string(c.ini ? c.ini : "sample") + " clicked " +
                     std::to_string(c.clicked));
        if (c.ini) w.PutFile(kSetupIni, c.ini);
        Init();
        if (c.clicked >= 0) modules->ModuleClicked(c.clicked);
        for (int m = 0; m < ModulePage::kModules; ++m)
            EXPECT_EQ(modules->View().TabStop(ModulePage::kRadios[m]), m == c.stop) << m;
    }
}

TEST_F(ModulePageTest, DefaultNamePrefixSearchStartsAfterEntryZero) {
    w.PutFile(kSetupIni,
              "[DEVICENAME]\r\nDEVICENUMBER=3\r\nDEVICENAME1=KRT-ReceiptPrinter\r\n"
              "DEVICENAME2=KRT-X-ReceiptPrinter\r\nDEVICENAME3=KRT-Y-ReceiptPrinter\r\n"
              "DEFAULTNAME=1\r\n");
    Init();
    EXPECT_EQ(modules->ModelName(), "KRT-X");
}

TEST_F(ModulePageTest, NoModelsAtAll) {
    w.RemovePath(kSetupIni);
    Init();
    EXPECT_FALSE(modules->HasModels());
    EXPECT_EQ(modules->ModuleIndex(), -1);
    for (int id : ModulePage::kRadios) EXPECT_FALSE(modules->View().Enabled(id));
}

TEST_F(ModulePageTest, AHugeModelCountIsReadNoFurtherThanItsLimit) {
    // One such line used to keep the page reading for hours before the
    // wizard appeared.
    for (const char* count : {"2147483647", "9990"}) {
        w.PutFile(kSetupIni, std::string("[DEVICENAME]\r\nDEVICENUMBER=") + count +
                                 "\r\nDEFAULTNAME=1\r\nDEVICENAME1=KRT-P58-ReceiptPrinter\r\n"
                                 "DEVICENAME999=KTT-T80-TicketPrinter\r\n"
                                 "DEVICENAME1000=KLB-L40-LabelPrinter\r\n");
        const int before = w.CallCount("GetPrivateProfileString");
        Init();
        // The count, entries 1 to the limit, the default and its entry.
        EXPECT_EQ(w.CallCount("GetPrivateProfileString") - before, kMaxModelEntries + 3) << count;
        EXPECT_EQ(List(Receipt).Entries(), std::vector<std::string>{"KRT-P58"});
        EXPECT_EQ(List(Ticket).Entries(), std::vector<std::string>{"KTT-T80"});
        EXPECT_EQ(List(Label).Count(), 0);  // entry 1000 lies beyond the limit
        EXPECT_EQ(modules->ModelName(), "KRT-P58");
    }
}

// ---------------------------------------------------------------- setup-type page

TEST(SetupTypePage, TypicalAdvancedAndTheModelRestriction) {
    SetupTypePage page;
    page.Initialize();
    const PageView& v = page.View();
    EXPECT_TRUE(v.Checked(IDC_TYPICAL));
    EXPECT_EQ(v.Text(IDC_REMARK1), "Install default printer driver");
    EXPECT_FALSE(v.Visible(IDC_REMARK2));
    EXPECT_FALSE(v.Visible(IDC_REMARK3));

    page.AdvancedClicked();
    EXPECT_EQ(page.SetupType(), SetupAdvanced);
    EXPECT_EQ(v.Text(IDC_REMARK1), "Support multi-USB printer");
    EXPECT_EQ(v.Text(IDC_REMARK2), "Support driver mode selection");
    EXPECT_TRUE(v.Visible(IDC_REMARK2));
    EXPECT_FALSE(v.Visible(IDC_REMARK3));
    EXPECT_TRUE(v.Checked(IDC_ADVANCED));

    // A model allowing Advanced keeps the choice.
    page.ApplyModelRestriction(true);
    EXPECT_EQ(page.SetupType(), SetupAdvanced);

    page.TypicalClicked();
    EXPECT_EQ(page.SetupType(), SetupTypical);
    EXPECT_FALSE(v.Visible(IDC_REMARK2));
    EXPECT_EQ(v.Text(IDC_REMARK1), "Install default printer driver");

    page.AdvancedClicked();
    page.ApplyModelRestriction(false);
    EXPECT_EQ(page.SetupType(), SetupTypical);
    EXPECT_TRUE(v.Checked(IDC_TYPICAL));
    EXPECT_FALSE(v.Checked(IDC_ADVANCED));
    EXPECT_FALSE(v.Enabled(IDC_ADVANCED));
    EXPECT_FALSE(v.Visible(IDC_REMARK2));
    page.ApplyModelRestriction(true);
    EXPECT_TRUE(v.Enabled(IDC_ADVANCED));
    EXPECT_EQ(page.SetupType(), SetupTypical);
}

// ---------------------------------------------------------------- OS page

class OsPageTest : public WizardMachine {
protected:
    static constexpr const char* kPersisted =
        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility "
        "Assistant\\Persisted";

    // The one enabled radio button (-1 none, -2 several) and the checked ones.
    void Detect(uint32_t platformId, uint32_t major, uint32_t minor) {
        SetVersion(platformId, major, minor);
        os = std::make_unique<OsPage>();
        os->Initialize(w, state.context);
    }
    int Enabled() const {
        int found = -1;
        for (int id : OsPage::kRadios)
            if (os->View().Enabled(id)) found = found == -1 ? id : -2;
        return found;
    }
    int Checked() const {
        int found = -1;
        for (int id : OsPage::kRadios)
            if (os->View().Checked(id)) found = found == -1 ? id : -2;
        return found;
    }
};

TEST_F(OsPageTest, ClassesOfTheKnownVersions) {
    struct Case {
        uint32_t platformId, major, minor;
        int32_t os;
        int checked;
    };
    const Case cases[] = {
        {1, 4, 10, Win98, IDC_OS_98},     {1, 4, 90, Win98, IDC_OS_98},
        {2, 4, 0, WinNT4, IDC_OS_NT},     {2, 5, 0, Win2000, IDC_OS_2000},
        {2, 5, 1, WinXP, IDC_OS_XP},      {2, 5, 2, Win2003, IDC_OS_2003},
        {2, 6, 0, WinVista, IDC_OS_VISTA}, {2, 6, 1, WinVista, IDC_OS_VISTA},
        {2, 10, 0, WinVista, IDC_OS_VISTA},
        // Windows 95, NT 3.51, 4.x beyond 4.0, 5.x beyond 5.2: nothing checked.
        {1, 4, 0, Win98, -1},             {2, 3, 51, Win98, -1},
        {2, 4, 1, Win98, -1},             {2, 5, 3, Win98, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.platformId) + " " + std::to_string(c.major) + "." +
                     std::to_string(c.minor));
        Detect(c.platformId, c.major, c.minor);
        EXPECT_EQ(os->OsClass(), c.os);
        EXPECT_EQ(Checked(), c.checked);
        EXPECT_EQ(Enabled(), OsPage::kRadios[c.os]);
    }
    EXPECT_TRUE(w.MessageBoxes().empty());
}

TEST_F(OsPageTest, CompatibilityMarksOnXpAndFromVistaOn) {
    const std::string exe = "C:\\PKG\\Setup.exe";
    Detect(2, 5, 0);
    EXPECT_FALSE(w.RegText(plat::Root::CurrentUser, kPersisted, exe).has_value());
    Detect(2, 6, 2);  // Windows 8
    EXPECT_TRUE(w.RegText(plat::Root::CurrentUser, kPersisted, exe).has_value());
}

TEST_F(OsPageTest, UnknownPlatformIsToldAndLeftAtClassZero) {
    Detect(3, 1, 0);
    EXPECT_EQ(os->OsClass(), Win98);
    EXPECT_EQ(Checked(), -1);
    EXPECT_EQ(Enabled(), IDC_OS_98);
    ASSERT_EQ(w.MessageBoxes().size(), 1u);
    const auto box = w.MessageBoxes()[0];
    EXPECT_EQ(box.text, msg::kSystemNotSupported);
    EXPECT_EQ(box.flags, mb::Ok | mb::IconExclamation);
    EXPECT_EQ(box.caption, "Setup");
}

TEST_F(OsPageTest, FontsFlagFollowsTheCheckBox) {
    Detect(2, 5, 1);
    os->UpdateData();
    EXPECT_FALSE(os->InstallFonts());
    os->View().TakeUserCheck(IDC_VIET_FONTS, true);
    os->UpdateData();
    EXPECT_TRUE(os->InstallFonts());
}

// ---------------------------------------------------------------- port page

class PortPageTest : public WizardMachine {
protected:
    void SetUp() override {
        WizardMachine::SetUp();
        port = std::make_unique<PortPage>(state);
        port->Initialize();
        // The package's USB device driver has a version; none is installed.
        w.SetFileVersion("C:\\PKG\\USBDRV2.20\\bulkusb.sys",
                         plat::SimTestWindows::MakeVersion("2.20.0.0"));
    }
    void Build(bool typical, const std::string& model = "KRT-P58", int32_t os = WinXP) {
        port->SetSetupType(typical ? SetupTypical : SetupAdvanced);
        if (typical)
            port->BuildTypicalList(model, os, kReceiptIni);
        else
            port->BuildAdvancedList(model, os, kReceiptIni);
    }
    const PageView& V() const { return port->View(); }
    bool SerialEnabled() const {
        bool all = true, none = true;
        for (int id : {IDC_BAUD, IDC_DATA_BITS, IDC_PARITY, IDC_STOP_BITS, IDC_FLOW}) {
            all = all && V().Enabled(id);
            none = none && !V().Enabled(id);
        }
        EXPECT_TRUE(all || none);
        return all;
    }
    void Choose(const std::string& entry) {
        const auto& e = PortList().Entries();
        const auto it = std::find(e.begin(), e.end(), entry);
        ASSERT_NE(it, e.end()) << entry;
        port->SelectionChanged(IDC_PORT, static_cast<int>(it - e.begin()));
    }
};

TEST_F(PortPageTest, InitialSerialSettings) {
    EXPECT_EQ(V().List(IDC_DATA_BITS).SelectedText(), "8");
    EXPECT_EQ(V().List(IDC_STOP_BITS).SelectedText(), "1");
    EXPECT_EQ(V().List(IDC_PARITY).SelectedText(), "None");
    EXPECT_EQ(V().List(IDC_FLOW).SelectedText(), "Hardware");
    EXPECT_EQ(V().List(IDC_BAUD).Selection(), -1);
    EXPECT_EQ(port->Parity(), 'n');
    EXPECT_EQ(port->Flow(), 'p');
    EXPECT_EQ(port->DataBits(), 8);
    EXPECT_EQ(port->StopBits(), 1.0);
    EXPECT_FALSE(V().Enabled(IDC_RASTER));
    EXPECT_FALSE(V().Visible(IDC_USB_NOTE));
}

TEST_F(PortPageTest, TypicalXpWithoutUsbPrinterPrefersLpt) {
    SetPortKey("KRT-P58", "LPTDEFAULT", "1");
    Build(true);
    EXPECT_EQ(PortList().Entries(),
              (std::vector<std::string>{"LPT1:", "LPT2:", "LPT3:", "USB_KRT-P58_1", "VXCOM1:",
                                        "VXCOM2:", "VXCOM3:", "VXCOM4:", "VXCOM5:", "VXCOM6:",
                                        "VXCOM7:", "VXCOM8:"}));
    EXPECT_EQ(PortList().SelectedText(), "LPT1:");
    EXPECT_EQ(port->PortName(), "LPT1:");
    EXPECT_FALSE(SerialEnabled());
    EXPECT_FALSE(V().Visible(IDC_RASTER));
    EXPECT_TRUE(V().Checked(IDC_RASTER));
    EXPECT_EQ(port->DriverMode(), Gdi);
    EXPECT_EQ(port->UsbPrinterNumber(), -1);
}

TEST_F(PortPageTest, WithoutLptDefaultEntryZeroIsTaken) {
    Build(true);
    EXPECT_EQ(port->PortName(), "LPT1:");
    // Windows 98/Me: COM ports first, and a serial port enables the settings.
    port->SetSetupType(SetupAdvanced);  // a new key: the list is rebuilt
    port->BuildAdvancedList("KRT-P58", Win98, kReceiptIni);
    EXPECT_EQ(PortList().Entries(),
              (std::vector<std::string>{"COM1:", "COM2:", "LPT1:", "USB_KRT-P58_1",
                                        "USB_KRT-P58_2", "USB_KRT-P58_3", "USB_KRT-P58_4"}));
    EXPECT_EQ(port->PortName(), "COM1:");
    EXPECT_TRUE(SerialEnabled());
    EXPECT_FALSE(V().Enabled(IDC_RASTER));
    EXPECT_FALSE(V().Checked(IDC_RASTER));
    EXPECT_EQ(port->DriverMode(), Std);
}

TEST_F(PortPageTest, AdvancedSelectsThePortOfThePrintersId) {
    w.AttachUsbPrinter(0, 10);
    Build(false);
    EXPECT_EQ(port->UsbPrinterNumber(), 3);
    EXPECT_EQ(port->PortName(), "USB_KRT-P58_3");
    EXPECT_EQ(PortList().SelectedText(), "USB_KRT-P58_3");
    EXPECT_FALSE(SerialEnabled());
    EXPECT_TRUE(V().Visible(IDC_RASTER));
    EXPECT_TRUE(V().Enabled(IDC_RASTER));
    EXPECT_TRUE(V().Checked(IDC_RASTER));
}

TEST_F(PortPageTest, AdvancedWithAnIdBeyondFourTakesEntryZero) {
    w.AttachUsbPrinter(0, 13);
    Build(false);
    EXPECT_EQ(port->UsbPrinterNumber(), 6);
    EXPECT_EQ(port->PortName(), "LPT1:");
    EXPECT_EQ(PortList().Selection(), 0);
}

TEST_F(PortPageTest, TypicalWithAUsbPrinterTakesTheUsbPort) {
    w.AttachUsbPrinter(0, 10);
    Build(true);
    EXPECT_EQ(port->PortName(), "USB_KRT-P58_1");
    // The missing USB device driver is pointed out.
    EXPECT_TRUE(V().Visible(IDC_USB_NOTE));
    EXPECT_EQ(V().Text(IDC_USB_NOTE), msg::kInstallUsbDriver);
}

TEST_F(PortPageTest, TwoUsbPrinters) {
    w.AttachUsbPrinter(0, 0);
    w.AttachUsbPrinter(1, 1);
    Build(true);
    EXPECT_EQ(port->PortName(), "USB_KRT-P58_1");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{msg::kOneUsbPrinter});
    // Advanced looks for "_-1": nothing is selected and there is no port.
    Build(false);
    EXPECT_EQ(PortList().Selection(), -1);
    EXPECT_EQ(port->PortName(), "");
    EXPECT_EQ(port->UsbPrinterNumber(), -1);
}

TEST_F(PortPageTest, Nt4HasNoUsbPorts) {
    w.AttachUsbPrinter(0, 0);
    Build(true, "KRT-P58", WinNT4);
    EXPECT_EQ(PortList().FindContaining("USB"), -1);
    EXPECT_EQ(PortList().Count(), 11);
}

TEST_F(PortPageTest, ChoosingPortsSwitchesTheSerialSettingsAndDriver) {
    Build(false);
    Choose("VXCOM2:");
    EXPECT_TRUE(SerialEnabled());
    EXPECT_FALSE(V().Enabled(IDC_RASTER));
    EXPECT_FALSE(V().Checked(IDC_RASTER));
    EXPECT_EQ(port->DriverMode(), Std);
    Choose("LPT2:");
    EXPECT_FALSE(SerialEnabled());
    EXPECT_TRUE(V().Enabled(IDC_RASTER));
    EXPECT_TRUE(V().Checked(IDC_RASTER));
    EXPECT_EQ(port->PortName(), "LPT2:");
    Choose("USB_KRT-P58_2");
    EXPECT_TRUE(V().Visible(IDC_USB_NOTE));
    Choose("LPT3:");
    EXPECT_FALSE(V().Visible(IDC_USB_NOTE));
    // The user unticks the raster driver: update-data takes it.
    port->View().TakeUserCheck(IDC_RASTER, false);
    port->UpdateData();
    EXPECT_EQ(port->DriverMode(), Std);
}

TEST_F(PortPageTest, UsbPortOfAModelNamedWithComStaysUsb) {
    w.PutFile(kReceiptIni, *w.FileText(kReceiptIni) + "\r\n[KCOM-1.PORT]\r\nUSBSUPPORTED=1\r\n");
    port->SetSetupType(SetupAdvanced);
    port->BuildAdvancedList("KCOM-1", WinXP, kReceiptIni);
    Choose("USB_KCOM-1_2");
    EXPECT_FALSE(SerialEnabled());
    EXPECT_EQ(port->DriverMode(), Gdi);
}

TEST_F(PortPageTest, SerialLists) {
    port->SelectionChanged(IDC_BAUD, 9);
    EXPECT_EQ(port->BaudRate(), 115200);
    port->SelectionChanged(IDC_DATA_BITS, 1);
    EXPECT_EQ(port->DataBits(), 6);
    port->SelectionChanged(IDC_PARITY, 2);
    EXPECT_EQ(port->Parity(), 'N');
    port->SelectionChanged(IDC_PARITY, 3);
    EXPECT_EQ(port->Parity(), 'O');
    port->SelectionChanged(IDC_STOP_BITS, 1);
    EXPECT_EQ(port->StopBits(), 1.5);
    port->SelectionChanged(IDC_FLOW, 0);
    EXPECT_EQ(port->Flow(), ' ');
    port->SelectionChanged(IDC_FLOW, 1);
    EXPECT_EQ(port->Flow(), 'x');
    port->SelectionChanged(IDC_FLOW, 2);
    EXPECT_EQ(port->Flow(), 'p');
    // No selection changes nothing.
    port->SelectionChanged(IDC_FLOW, -1);
    EXPECT_EQ(port->Flow(), 'p');
}

TEST_F(PortPageTest, SameModelAndSetupTypeKeepTheList) {
    Build(true);
    Choose("VXCOM3:");
    w.AttachUsbPrinter(0, 0);
    Build(true);
    EXPECT_EQ(port->PortName(), "VXCOM3:");
    EXPECT_EQ(w.CallCount("LoadUsbLibrary"), 1);
    // Another setup type rebuilds it for the same model.
    Build(false);
    EXPECT_EQ(port->PortName(), "USB_KRT-P58_1");
}

TEST_F(PortPageTest, AModelNamedPrinterStillGetsItsList) {
    Build(true, "PRINTER");
    EXPECT_GT(PortList().Count(), 0);
    EXPECT_EQ(port->PortName(), "LPT1:");
}

TEST(BaudEntryIndex, ModelRatesAndTheRest) {
    EXPECT_EQ(BaudEntryIndex(110), 0);
    EXPECT_EQ(BaudEntryIndex(19200), 6);
    EXPECT_EQ(BaudEntryIndex(57600), 8);
    EXPECT_EQ(BaudEntryIndex(115200), 9);
    for (int32_t rate : {38400, 0, 14400, -1, 2147483647}) EXPECT_EQ(BaudEntryIndex(rate), 7);
}

}  // namespace
