#include <cstring>
#include <string>
#include <vector>

#include "setup/config/PackageLimits.h"
#include "setup/config/tests/ReaderFixture.h"

namespace {

using Strings = std::vector<std::string>;
using namespace std::string_literals;

// One section of a module INI.
std::string Section(const std::string& name, const std::string& keys) {
    return "[" + name + "]\r\n" + keys + "\r\n";
}

// The section of the dependent-file example: A.GPD, B.DLL and three "0"s.
const std::string kDdkKeys =
    "GDIDriverName=Raster A\r\nGDIDataFile=A.GPD\r\nGDIDriverPath=D.DLL\r\n"
    "GDIConfigFile=UI.DLL\r\nGDIHelpFile=H.HLP\r\nGDIDataFileDLLName=0\r\n"
    "GDIDataOemuiDLL=B.DLL\r\nGDIDataOemuniDLL=0\r\nGDIDataOemuniini=0\r\n"
    "STDDriverName=Text A\r\nSTDDataFile=T.GPD\r\nSTD2KDDKDEV=1\r\nGDI2KDDKDEV=1\r\n";

class ModelConfigReaderTest : public ReaderTest {};

TEST_F(ModelConfigReaderTest, BuildsItsPathsFromTheProgramFolder) {
    ModelConfigReader reader(sim);
    EXPECT_STREQ(reader.SetupIniPath(), "C:\\PKG\\DRVCONFIG\\setup.ini");
    EXPECT_STREQ(reader.ModuleIniPath(Receipt), "C:\\PKG\\DRVCONFIG\\setup_receipt.ini");
    EXPECT_STREQ(reader.ModuleIniPath(Ticket), "C:\\PKG\\DRVCONFIG\\setup_ticket.ini");
    EXPECT_STREQ(reader.ModuleIniPath(Label), "C:\\PKG\\DRVCONFIG\\setup_lable.ini");
    EXPECT_STREQ(reader.ModuleIniPath(Embedded), "C:\\PKG\\DRVCONFIG\\setup_embedded.ini");
    EXPECT_STREQ(reader.ModuleIniPath(4), "");
    EXPECT_STREQ(reader.ModuleIniPath(-1), "");
    EXPECT_STREQ(reader.CurrentIniPath(), "");
}

TEST_F(ModelConfigReaderTest, OsClassChoosesSectionVersionAndEnvironment) {
    const char* suffixes[] = {".98", ".NT", ".2K", ".XP", ".2003", ".Vista"};
    std::string ini;
    for (const char* s : suffixes) ini += Section(std::string("M") + s, std::string("GDIDriverName=D") + s);
    PutIni("setup_receipt.ini", ini);
    ModelConfigReader reader(sim);
    reader.SetModuleKind(Receipt);

    const uint32_t versions[] = {0, 2, 3, 3, 3, 3};
    for (int32_t os = Win98; os <= WinVista; ++os) {
        SCOPED_TRACE(os);
        DriverRecord record{};
        record.pEnvironment = "stale";
        reader.ReadDriverRecord("M", os, record, Gdi);
        EXPECT_EQ(record.cVersion, versions[os]);
        EXPECT_EQ(record.pName, std::string("D") + suffixes[os]);
        if (os == Win98) {
            EXPECT_STREQ(record.pEnvironment, "Windows 4.0");
        } else {
            EXPECT_EQ(record.pEnvironment, nullptr);
        }
        EXPECT_EQ(record.pMonitorName, nullptr);
        EXPECT_EQ(record.pDefaultDataType, nullptr);
        EXPECT_STREQ(reader.CurrentIniPath(), "C:\\PKG\\DRVCONFIG\\setup_receipt.ini");
    }
    // An unknown class touches no version and reads no section.
    for (int32_t os : {-1, 6, 1000}) {
        DriverRecord record{};
        record.cVersion = 77;
        reader.ReadDriverRecord("M", os, record, Gdi);
        EXPECT_EQ(record.cVersion, 77u);
        EXPECT_STREQ(record.pName, "0");
        EXPECT_EQ(record.pEnvironment, nullptr);
        EXPECT_EQ(Names(record.pDependentFiles), Strings{});
    }
}

TEST_F(ModelConfigReaderTest, DriverRecordPointsAtTheModesKeys) {
    PutIni("setup_receipt.ini",
           Section("M.XP",
                   "STDDriverName=Text\r\nSTDDataFile=S.GPD\r\nSTDDriverPath=SD.DLL\r\n"
                   "STDConfigFile=SU.DLL\r\nSTDHelpFile=S.HLP\r\n"
                   "GDIDriverName=Raster\r\nGDIDataFile=G.GPD\r\nGDIDriverPath=GD.DLL\r\n"
                   "GDIConfigFile=GU.DLL\r\nGDIHelpFile=G.HLP\r\n"));
    ModelConfigReader reader(sim);
    reader.SetModuleKind(Receipt);
    DriverRecord std{}, gdi{};
    reader.ReadDriverRecord("M", WinXP, std, Std);
    EXPECT_STREQ(std.pName, "Text");
    EXPECT_STREQ(std.pDataFile, "S.GPD");
    EXPECT_STREQ(std.pDriverPath, "SD.DLL");
    EXPECT_STREQ(std.pConfigFile, "SU.DLL");
    EXPECT_STREQ(std.pHelpFile, "S.HLP");
    reader.ReadDriverRecord("M", WinXP, gdi, Gdi);
    EXPECT_STREQ(gdi.pName, "Raster");
    EXPECT_STREQ(gdi.pDataFile, "G.GPD");
    EXPECT_STREQ(gdi.pDriverPath, "GD.DLL");
    EXPECT_STREQ(gdi.pConfigFile, "GU.DLL");
    EXPECT_STREQ(gdi.pHelpFile, "G.HLP");
}

TEST_F(ModelConfigReaderTest, DependentFilesFollowTheGdiSwitchAndTheOsClass) {
    PutIni("setup_receipt.ini", Section("M.XP", kDdkKeys) + Section("M.NT", kDdkKeys) +
                                    Section("M.98", kDdkKeys) + Section("M.Vista", kDdkKeys) +
                                    Section("N.XP", "STDDataFile=T.GPD\r\nSTD2KDDKDEV=1\r\nGDI2KDDKDEV=0") +
                                    Section("P.XP", "STDDataFile=T.GPD\r\nSTDDataOemuiDLL=U.DLL\r\nGDI2KDDKDEV=1"));
    ModelConfigReader reader(sim);
    reader.SetModuleKind(Receipt);

    DriverRecord record{};
    reader.ReadDriverRecord("M", WinXP, record, Gdi);
    const Strings expected = {"A.GPD", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD", "B.DLL"};
    EXPECT_EQ(Names(record.pDependentFiles), expected);
    // The list ends with two NULs right after the last name.
    EXPECT_EQ(std::memcmp(record.pDependentFiles,
                          "A.GPD\0TTFSUB.GPD\0UNIRES.DLL\0STDNAMES.GPD\0B.DLL\0\0", 48),
              0);
    reader.ReadDriverRecord("M", WinVista, record, Gdi);
    EXPECT_EQ(Names(record.pDependentFiles), expected);

    // No list before Windows 2000.
    for (int32_t os : {WinNT4, Win98}) {
        reader.ReadDriverRecord("M", os, record, Gdi);
        ASSERT_NE(record.pDependentFiles, nullptr);
        EXPECT_EQ(record.pDependentFiles[0], '\0');
    }
    // STD2KDDKDEV plays no part in the list.
    reader.ReadDriverRecord("N", WinXP, record, Std);
    EXPECT_EQ(Names(record.pDependentFiles), Strings{});
    // The GDI switch builds the list in STD mode too, from the STD names.
    reader.ReadDriverRecord("P", WinXP, record, Std);
    EXPECT_EQ(Names(record.pDependentFiles),
              (Strings{"T.GPD", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD", "U.DLL"}));
}

TEST_F(ModelConfigReaderTest, DependentFilesKeepOrderAndSkipEmptyNames) {
    PutIni("setup_receipt.ini",
           Section("ALL.2K",
                   "GDIDataFile=A.GPD\r\nGDIDataFileDLLName=R.DLL\r\nGDIDataOemuiDLL=UI.DLL\r\n"
                   "GDIDataOemuniDLL=UNI.DLL\r\nGDIDataOemuniini=OEM.INI\r\nGDI2KDDKDEV= 7") +
               // Empty values would end the list early and hide the core files.
               Section("EMPTY.2K", "GDIDataFile=\r\nGDIDataOemuiDLL=\r\nGDIDataOemuniDLL=X.DLL\r\nGDI2KDDKDEV=1") +
               // A name "0..." means no file; the data file goes in whatever it holds.
               Section("ZERO.2K", "GDIDataFile=0A.GPD\r\nGDIDataOemuiDLL=0B.DLL\r\nGDI2KDDKDEV=1"));
    ModelConfigReader reader(sim);
    reader.SetModuleKind(Receipt);
    DriverRecord record{};
    reader.ReadDriverRecord("ALL", Win2000, record, Gdi);
    EXPECT_EQ(Names(record.pDependentFiles),
              (Strings{"A.GPD", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD", "R.DLL", "UI.DLL",
                       "UNI.DLL", "OEM.INI"}));
    reader.ReadDriverRecord("EMPTY", Win2000, record, Gdi);
    EXPECT_EQ(Names(record.pDependentFiles),
              (Strings{"TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD", "X.DLL"}));
    reader.ReadDriverRecord("ZERO", Win2000, record, Gdi);
    EXPECT_EQ(Names(record.pDependentFiles),
              (Strings{"0A.GPD", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD"}));
}

TEST_F(ModelConfigReaderTest, DependentFilesHaveNoFixedLimit) {
    const std::string longName(198, 'L');
    PutIni("setup_receipt.ini",
           Section("M.XP", "GDIDataFile=" + longName + "\r\nGDIDataFileDLLName=" + longName +
                               "\r\nGDIDataOemuiDLL=" + longName + "\r\nGDIDataOemuniDLL=" +
                               longName + "\r\nGDIDataOemuniini=" + longName +
                               "\r\nGDI2KDDKDEV=1"));
    ModelConfigReader reader(sim);
    reader.SetModuleKind(Receipt);
    DriverRecord record{};
    reader.ReadDriverRecord("M", WinXP, record, Gdi);
    const Strings names = Names(record.pDependentFiles);
    ASSERT_EQ(names.size(), 8u);
    EXPECT_EQ(names[0], longName);
    EXPECT_EQ(names[7], longName);
}

TEST_F(ModelConfigReaderTest, DdkFlagLooksAtTheFirstCharacterOfTheModesKey) {
    PutIni("setup_receipt.ini",
           Section("TEN.XP", "STD2KDDKDEV=10\r\nGDI2KDDKDEV=01") +
               Section("ONE.XP", "STD2KDDKDEV=01\r\nGDI2KDDKDEV=1") +
               Section("NONE.XP", "STDDriverName=x"));
    ModelConfigReader reader(sim);
    reader.SetModuleKind(Receipt);
    EXPECT_TRUE(reader.IsDdkDriver("TEN", WinXP, Std));
    EXPECT_FALSE(reader.IsDdkDriver("TEN", WinXP, Gdi));
    EXPECT_FALSE(reader.IsDdkDriver("ONE", WinXP, Std));
    EXPECT_TRUE(reader.IsDdkDriver("ONE", WinXP, Gdi));
    EXPECT_FALSE(reader.IsDdkDriver("NONE", WinXP, Std));
    EXPECT_FALSE(reader.IsDdkDriver("TEN", WinXP, 2));
    EXPECT_FALSE(reader.IsDdkDriver("TEN", 6, Std));
    EXPECT_FALSE(reader.IsDdkDriver("TEN", WinNT4, Std));  // no section TEN.NT
}

TEST_F(ModelConfigReaderTest, PrinterRecordSharesTheDriverNameEntry) {
    // A section with only GDIDriverName: the queue names the registered driver.
    PutIni("setup_receipt.ini", Section("ONLY.XP", "GDIDriverName=Quillset Raster") +
                                    Section("FULL.XP", "STDDRIVERNAME=Text Q\r\nSTDPrintProcessor=QSPrint\r\n"
                                                       "ATTRIBUTES=  576 bits\r\nGDIPrintProcessor=WinPrint") +
                                    Section("NEG.XP", "ATTRIBUTES=-1"));
    ModelConfigReader reader(sim);
    reader.SetModuleKind(Receipt);
    DriverRecord driver{};
    PrinterRecord printer{};
    reader.ReadDriverRecord("ONLY", WinXP, driver, Gdi);
    reader.ReadPrinterRecord("ONLY", WinXP, printer, Gdi);
    EXPECT_STREQ(driver.pName, "Quillset Raster");
    EXPECT_STREQ(printer.pDriverName, "Quillset Raster");
    EXPECT_STREQ(printer.pPrintProcessor, "0");
    EXPECT_EQ(printer.Attributes, 0u);
    EXPECT_STREQ(printer.pPrinterName, "ONLY");
    EXPECT_EQ(printer.pPortName, nullptr);

    PrinterRecord full{};
    reader.ReadPrinterRecord("FULL", WinXP, full, Std);
    EXPECT_STREQ(full.pDriverName, "Text Q");
    EXPECT_STREQ(full.pPrintProcessor, "QSPrint");
    EXPECT_EQ(full.Attributes, 576u);
    reader.ReadPrinterRecord("FULL", WinXP, full, Gdi);
    EXPECT_STREQ(full.pPrintProcessor, "WinPrint");
    reader.ReadPrinterRecord("NEG", WinXP, full, Gdi);
    EXPECT_EQ(full.Attributes, 0xFFFFFFFFu);
}

TEST_F(ModelConfigReaderTest, PrinterNameHasRoomForTheInstallationsSuffixes) {
    const std::string model(200, 'M');
    ModelConfigReader reader(sim);
    reader.SetModuleKind(Receipt);
    PrinterRecord printer{};
    reader.ReadPrinterRecord(model.c_str(), WinXP, printer, Std);
    EXPECT_EQ(printer.pPrinterName, model);
    EXPECT_EQ(printer.pPrinterName, reader.PrinterNameBuffer());
    std::strcat(reader.PrinterNameBuffer(), "(U) 1(99)");
    EXPECT_EQ(printer.pPrinterName, model + "(U) 1(99)");
    // A name beyond the buffer is cut, never written past it.
    const std::string huge(400, 'H');
    reader.ReadPrinterRecord(huge.c_str(), WinXP, printer, Std);
    EXPECT_EQ(std::string(printer.pPrinterName), huge.substr(0, 259));
}

TEST_F(ModelConfigReaderTest, DriverFileTableFillsItsFieldsAndNothingElse) {
    PutIni("setup_receipt.ini",
           Section("M.XP",
                   "GDIDataFile=DF\r\nGDIConfigFile=CF\r\nGDIHelpFile=HF\r\nGDIProcessorDLLName=PD\r\n"
                   "GDIDriverPath=DP\r\nGDIDataFileDLLName=DD\r\nGDIDataOemuiDLL=OU\r\n"
                   "GDIDataOemuniDLL=ON\r\nGDIDataOemuniini=OI\r\nControlFontFile=CFF\r\n"
                   "STDDataFile=SDF"));
    ModelConfigReader reader(sim);
    reader.SetModuleKind(Receipt);
    DriverFileTable table;
    std::memset(table.block, 'x', sizeof table.block);
    reader.ReadDriverFileTable("M", WinXP, table, Gdi);
    const std::pair<size_t, const char*> fields[] = {
        {DriverFileTable::DriverPath, "DP"},  {DriverFileTable::DataFile, "DF"},
        {DriverFileTable::ConfigFile, "CF"},  {DriverFileTable::HelpFile, "HF"},
        {DriverFileTable::ProcessorDll, "PD"}, {DriverFileTable::DataFileDll, "DD"},
        {DriverFileTable::OemuniDll, "ON"},   {DriverFileTable::OemuniIni, "OI"},
        {DriverFileTable::OemuiDll, "OU"},    {DriverFileTable::ControlFontFile, "CFF"}};
    for (const auto& [offset, value] : fields) EXPECT_STREQ(table.Field(offset), value) << offset;
    // The fields the reader does not own keep their bytes.
    for (size_t i = 800; i < 1900; ++i) ASSERT_EQ(table.block[i], 'x') << i;
    EXPECT_EQ(table.block[DriverFileTable::ControlFontFile + 4], 'x');

    reader.ReadDriverFileTable("M", WinXP, table, Std);
    EXPECT_STREQ(table.Field(DriverFileTable::DataFile), "SDF");
    EXPECT_STREQ(table.Field(DriverFileTable::ConfigFile), "0");
    EXPECT_STREQ(table.Field(DriverFileTable::ControlFontFile), "CFF");

    // An unknown mode reads nothing into the table.
    table.Clear();
    reader.ReadDriverFileTable("M", WinXP, table, 5);
    for (char c : table.block) ASSERT_EQ(c, '\0');
}

TEST_F(ModelConfigReaderTest, UnknownModeKeepsTheLastValues) {
    PutIni("setup_receipt.ini", Section("M.XP", "GDIDriverName=G\r\nGDIDataFile=G.GPD"));
    ModelConfigReader reader(sim);
    reader.SetModuleKind(Receipt);
    DriverRecord record{};
    reader.ReadDriverRecord("M", WinXP, record, Gdi);
    DriverRecord other{};
    reader.ReadDriverRecord("M", WinXP, other, 7);
    EXPECT_STREQ(other.pName, "G");
    EXPECT_STREQ(other.pDataFile, "G.GPD");
    EXPECT_EQ(other.cVersion, 3u);
}

TEST_F(ModelConfigReaderTest, MissingSectionReadsEveryKeyAsZero) {
    PutIni("setup_embedded.ini", Section("E.XP", "GDIDriverName=E\r\nGDI2KDDKDEV=1"));
    ModelConfigReader reader(sim);
    reader.SetModuleKind(Embedded);
    DriverRecord driver{};
    PrinterRecord printer{};
    DriverFileTable table;
    reader.ReadDriverRecord("E", Win2003, driver, Gdi);
    reader.ReadPrinterRecord("E", Win2003, printer, Gdi);
    reader.ReadDriverFileTable("E", Win2003, table, Gdi);
    for (const char* text : std::initializer_list<const char*>{driver.pName, driver.pDataFile, driver.pDriverPath, driver.pConfigFile,
                             driver.pHelpFile, printer.pDriverName, printer.pPrintProcessor,
                             table.Field(DriverFileTable::DriverPath),
                             table.Field(DriverFileTable::ControlFontFile)}) {
        EXPECT_STREQ(text, "0");
    }
    EXPECT_EQ(driver.cVersion, 3u);
    EXPECT_EQ(Names(driver.pDependentFiles), Strings{});
    EXPECT_EQ(printer.Attributes, 0u);
    EXPECT_FALSE(reader.IsDdkDriver("E", Win2003, Gdi));
}

TEST_F(ModelConfigReaderTest, ModuleKindChoosesTheModuleIni) {
    // Stored under the wizard's capitalised name: the same file.
    PutIni("setup_Ticket.ini", Section("T.XP", "STDDriverName=Ticket driver"));
    PutIni("setup_lable.ini", Section("T.XP", "STDDriverName=Label driver"));
    ModelConfigReader reader(sim);
    DriverRecord record{};
    reader.SetModuleKind(Ticket);
    reader.ReadDriverRecord("T", WinXP, record, Std);
    EXPECT_STREQ(record.pName, "Ticket driver");
    EXPECT_STREQ(reader.CurrentIniPath(), "C:\\PKG\\DRVCONFIG\\setup_ticket.ini");
    reader.SetModuleKind(Label);
    reader.ReadDriverRecord("T", WinXP, record, Std);
    EXPECT_STREQ(record.pName, "Label driver");

    char setupPath[200], modulePath[200];
    BuildConfigPaths(sim, Ticket, setupPath, modulePath);
    EXPECT_EQ(sim.profile().GetPrivateProfileString("T.XP", "STDDriverName", "0", 200, modulePath),
              "Ticket driver");

    // A kind outside 0..3 chooses no file: everything reads "0".
    for (int32_t kind : {-1, 4}) {
        reader.SetModuleKind(kind);
        reader.ReadDriverRecord("T", WinXP, record, Std);
        EXPECT_STREQ(reader.CurrentIniPath(), "");
        EXPECT_STREQ(record.pName, "0");
    }
}

TEST_F(ModelConfigReaderTest, LongValuesAreCutToTheirLimitLessOne) {
    // Ten times over the longest limit, 199.
    const std::string v(1990, 'v');
    PutIni("setup_receipt.ini",
           Section("M.XP", "GDIDriverName=" + v + "\r\nGDIDataFile=" + v + "\r\nGDIDataOemuniini=" + v +
                               "\r\nGDIPrintProcessor=" + v + "\r\nControlFontFile=" + v +
                               "\r\nATTRIBUTES=" + std::string(47, '0') + "99" +
                               "\r\nGDI2KDDKDEV=000000001\r\nSTD2KDDKDEV=0001"));
    PutIni("setup.ini",
           Section("COMMON-MONITOR.XP",
                   "USBMONitorPName=" + v + "\r\nUSBMONitorPDLLName=" + v + "\r\nUSBMONitorPUIDLLName=" +
                       v + "\r\nUSBMONitorVersion=123456789\r\nCOMMONitorPName=" + v +
                       "\r\nCOMMONitorVersion=-12345678") +
               Section("ProcessorVersion", "DriverVersion=21474836479") +
               Section("DEVICENAME", "DEVICENUMBER=" + std::string(27, '0') + "12\r\nDEFAULTNAME=" +
                                         std::string(257, '0') + "12\r\nDEVICENAME1=A\r\n"
                                         "DEVICENAME12=B-TicketPrinter\r\n"
                                         "DEVICENAME2=" + std::string(185, 'n') + "-LabelPrinter\r\n"
                                         "DEVICENAME3=" + std::string(186, 'n') + "-LabelPrinter"));
    ModelConfigReader reader(sim);
    reader.SetModuleKind(Receipt);

    DriverRecord driver{};
    reader.ReadDriverRecord("M", WinXP, driver, Gdi);
    EXPECT_EQ(std::string(driver.pName), v.substr(0, 48));
    EXPECT_EQ(std::string(driver.pDataFile), v.substr(0, 198));
    // GDI2KDDKDEV is cut to 8 characters: "00000000" is no switch.
    EXPECT_EQ(Names(driver.pDependentFiles), Strings{});
    // The DDK flag reads 3 characters: "000".
    EXPECT_FALSE(reader.IsDdkDriver("M", WinXP, Std));

    PrinterRecord printer{};
    reader.ReadPrinterRecord("M", WinXP, printer, Gdi);
    EXPECT_EQ(std::string(printer.pDriverName), v.substr(0, 48));
    EXPECT_EQ(std::string(printer.pPrintProcessor), v.substr(0, 48));
    EXPECT_EQ(printer.Attributes, 9u);  // 48 characters: 47 zeros and a 9

    DriverFileTable table;
    reader.ReadDriverFileTable("M", WinXP, table, Gdi);
    EXPECT_EQ(std::string(table.Field(DriverFileTable::OemuniIni)), v.substr(0, 198));
    EXPECT_EQ(std::string(table.Field(DriverFileTable::ControlFontFile)), v.substr(0, 198));

    MonitorSettings settings;
    reader.ReadMonitorSettings(WinXP, settings);
    EXPECT_EQ(std::string(settings.usbMonitor.pName), v.substr(0, 48));
    EXPECT_EQ(std::string(settings.usbMonitor.pDLLName), v.substr(0, 198));
    EXPECT_EQ(std::string(settings.usbUiDllName), v.substr(0, 48));
    EXPECT_EQ(settings.usbVersion, 12345678);
    EXPECT_EQ(std::string(settings.serialMonitor.pName), v.substr(0, 48));
    EXPECT_EQ(settings.serialVersion, -1234567);

    EXPECT_EQ(reader.ReadProcessorVersion(), 2147483647);  // 10 characters
    EXPECT_EQ(reader.ReadModelCount(), 1);                 // 28 characters: 27 zeros and a 1

    char buffer[260];
    // DEFAULTNAME keeps 258 characters: 257 zeros and a 1.
    EXPECT_EQ(reader.ReadDefaultModel(buffer), -1);
    EXPECT_STREQ(buffer, "A");
    // 185 + 13 = 198 characters fit whole; one more cuts the suffix away.
    EXPECT_EQ(reader.ReadModelEntry(2, buffer), Label);
    EXPECT_EQ(std::string(buffer), std::string(185, 'n'));
    EXPECT_EQ(reader.ReadModelEntry(3, buffer), -1);
    EXPECT_EQ(std::string(buffer), std::string(186, 'n') + "-LabelPrinte");
}

TEST_F(ModelConfigReaderTest, NumbersTenTimesOverTheirLimitAreReadToTheLimit) {
    // A 1 followed by zeros: the reader keeps limit - 1 characters of it.
    auto number = [](size_t limit) { return "1" + std::string(10 * limit - 1, '0'); };
    PutIni("setup_receipt.ini", Section("M.XP", "ATTRIBUTES=" + number(49) + "\r\nGDI2KDDKDEV=" +
                                                    number(9) + "\r\nSTD2KDDKDEV=" + number(4) +
                                                    "\r\nGDIDataFile=D.GPD"));
    PutIni("setup.ini",
           Section("COMMON-MONITOR.XP", "USBMONitorVersion=" + number(9) +
                                            "\r\nCOMMONitorVersion=" + number(9)) +
               Section("ProcessorVersion", "DriverVersion=" + number(11)) +
               Section("DEVICENAME", "DEVICENUMBER=" + number(29) + "\r\nDEFAULTNAME=" +
                                         number(259) + "\r\nDEVICENAME1=R-ReceiptPrinter"));
    ModelConfigReader reader(sim);
    reader.SetModuleKind(Receipt);
    PrinterRecord printer{};
    reader.ReadPrinterRecord("M", WinXP, printer, Gdi);
    EXPECT_EQ(printer.Attributes, 2147483647u);  // 48 digits: beyond the range
    DriverRecord driver{};
    reader.ReadDriverRecord("M", WinXP, driver, Gdi);
    EXPECT_EQ(Names(driver.pDependentFiles).size(), 4u);  // "10000000" is set
    EXPECT_TRUE(reader.IsDdkDriver("M", WinXP, Std));     // "100"
    MonitorSettings settings;
    reader.ReadMonitorSettings(WinXP, settings);
    EXPECT_EQ(settings.usbVersion, 10000000);
    EXPECT_EQ(settings.serialVersion, 10000000);
    EXPECT_EQ(reader.ReadProcessorVersion(), 1000000000);
    EXPECT_EQ(reader.ReadModelCount(), kMaxModelEntries);
    char name[ModelConfigReader::kPrinterNameSize];
    EXPECT_EQ(reader.ReadDefaultModel(name), -1);  // entry 2147483647 is missing
    EXPECT_STREQ(name, "0");
}

TEST_F(ModelConfigReaderTest, MonitorSettingsComeFromSetupIniBySuffix) {
    PutIni("setup.ini",
           Section("COMMON-MONITOR.98",
                   "USBMONitorPName=USB98\r\nUSBMONitorPDLLName=U98.DLL\r\nUSBMONitorPUIDLLName=UI98.DLL\r\n"
                   "USBMONitorVersion=3\r\nCOMMONitorPName=COM98\r\nCOMMONitorPDLLName=C98.DLL\r\n"
                   "COMMONitorPUIDLLName=CUI98.DLL\r\nCOMMONitorVersion=2") +
               Section("COMMON-MONITOR.XP", "USBMONitorPName=USBXP\r\nUSBMONitorVersion=x") +
               Section("COMMON-MONITOR", "USBMONitorPName=bare"));
    ModelConfigReader reader(sim);
    reader.SetModuleKind(7);  // the monitors do not depend on the module
    MonitorSettings settings;
    reader.ReadMonitorSettings(Win98, settings);
    EXPECT_STREQ(settings.usbMonitor.pName, "USB98");
    EXPECT_STREQ(settings.usbMonitor.pDLLName, "U98.DLL");
    EXPECT_STREQ(settings.usbMonitor.pEnvironment, "Windows 4.0");
    EXPECT_STREQ(settings.usbUiDllName, "UI98.DLL");
    EXPECT_EQ(settings.usbVersion, 3);
    EXPECT_STREQ(settings.serialMonitor.pName, "COM98");
    EXPECT_STREQ(settings.serialMonitor.pDLLName, "C98.DLL");
    EXPECT_STREQ(settings.serialMonitor.pEnvironment, "Windows 4.0");
    EXPECT_STREQ(settings.serialUiDllName, "CUI98.DLL");
    EXPECT_EQ(settings.serialVersion, 2);

    MonitorSettings xp;
    reader.ReadMonitorSettings(WinXP, xp);
    EXPECT_STREQ(xp.usbMonitor.pName, "USBXP");
    EXPECT_EQ(xp.usbMonitor.pEnvironment, nullptr);
    EXPECT_EQ(xp.serialMonitor.pEnvironment, nullptr);
    EXPECT_EQ(xp.usbVersion, 0);
    EXPECT_STREQ(xp.serialMonitor.pName, "0");
    EXPECT_EQ(xp.serialVersion, 0);

    MonitorSettings bare;
    reader.ReadMonitorSettings(9, bare);
    EXPECT_STREQ(bare.usbMonitor.pName, "bare");
}

TEST_F(ModelConfigReaderTest, ModelListFilesEntriesByTheirSuffix) {
    PutIni("setup.ini", Section("DEVICENAME",
                                "DEVICENUMBER=6\r\nDEFAULTNAME=3\r\nDEVICENAME1=R1-ReceiptPrinter\r\n"
                                "DEVICENAME2=T2-TicketPrinter\r\nDEVICENAME3=L3-LabelPrinter\r\n"
                                "DEVICENAME4=E4-EmbeddedPrinter\r\nDEVICENAME5=Plain\r\n"
                                "DEVICENAME6=X-LabelPrinter-TicketPrinter\r\n"
                                "DEVICENAME7=Y-TicketPrinter-ReceiptPrinter\r\n"
                                "DEVICENAME10=Ten-ReceiptPrinter"));
    ModelConfigReader reader(sim);
    EXPECT_EQ(reader.ReadModelCount(), 6);
    char buffer[200];
    const std::pair<int32_t, const char*> entries[] = {
        {Receipt, "R1"}, {Ticket, "T2"}, {Label, "L3"}, {Embedded, "E4"}, {-1, "Plain"},
        // The suffixes are tried in a fixed order, not by their place.
        {Ticket, "X-LabelPrinter"}, {Receipt, "Y-TicketPrinter"}};
    for (int32_t i = 0; i < 7; ++i) {
        EXPECT_EQ(reader.ReadModelEntry(i + 1, buffer), entries[i].first) << i + 1;
        EXPECT_STREQ(buffer, entries[i].second);
    }
    EXPECT_EQ(reader.ReadModelEntry(10, buffer), Receipt);
    EXPECT_STREQ(buffer, "Ten");
    EXPECT_EQ(reader.ReadModelEntry(0, buffer), -1);
    EXPECT_STREQ(buffer, "0");
    EXPECT_EQ(reader.ReadModelEntry(-1, buffer), -1);

    char name[260];
    EXPECT_EQ(reader.ReadDefaultModel(name), Label);
    EXPECT_STREQ(name, "L3");
}

TEST_F(ModelConfigReaderTest, DefaultModelAbsentReadsEntryZero) {
    PutIni("setup.ini", Section("DEVICENAME", "DEVICENUMBER=1\r\nDEVICENAME1=R1-ReceiptPrinter"));
    ModelConfigReader reader(sim);
    char name[260];
    std::memset(name, 'x', sizeof name);
    EXPECT_EQ(reader.ReadDefaultModel(name), -1);
    EXPECT_STREQ(name, "0");
}

TEST_F(ModelConfigReaderTest, MissingSetupIniGivesAnEmptyPackage) {
    ModelConfigReader reader(sim);
    EXPECT_EQ(reader.ReadModelCount(), 0);
    EXPECT_EQ(reader.ReadProcessorVersion(), 0);
    MonitorSettings settings;
    reader.ReadMonitorSettings(WinXP, settings);
    EXPECT_STREQ(settings.usbMonitor.pName, "0");
    EXPECT_STREQ(settings.serialMonitor.pDLLName, "0");
    EXPECT_EQ(settings.usbVersion, 0);
}

TEST_F(ModelConfigReaderTest, BinaryModuleIniReadsWithoutHarm) {
    std::string bytes;
    for (int i = 0; i < 5000; ++i) bytes += static_cast<char>((i * 131 + 7) % 256);
    bytes += "\r\n[M.XP]\r\nGDIDriverName=Bin\0ary\r\nGDIDataFile="s + std::string(100000, 'z') +
             "\r\nGDI2KDDKDEV=1\r\n";
    bytes.insert(bytes.begin() + 10, '\0');
    PutIni("setup_receipt.ini", bytes);
    ModelConfigReader reader(sim);
    reader.SetModuleKind(Receipt);
    DriverRecord record{};
    reader.ReadDriverRecord("M", WinXP, record, Gdi);
    EXPECT_LT(std::strlen(record.pName), 49u);
    EXPECT_LT(std::strlen(record.pDataFile), 199u);
    PrinterRecord printer{};
    reader.ReadPrinterRecord("M", WinXP, printer, Gdi);
    EXPECT_LT(std::strlen(printer.pDriverName), 49u);
}

TEST_F(ModelConfigReaderTest, RecordsStayValidAcrossUnrelatedReads) {
    PutIni("setup_receipt.ini", Section("M.XP", "GDIDriverName=Raster\r\nGDIDataFile=A.GPD\r\nGDI2KDDKDEV=1"));
    PutIni("setup.ini", Section("COMMON-MONITOR.XP", "USBMONitorPName=U"));
    ModelConfigReader reader(sim);
    reader.SetModuleKind(Receipt);
    DriverRecord driver{};
    reader.ReadDriverRecord("M", WinXP, driver, Gdi);
    DriverFileTable table;
    reader.ReadDriverFileTable("N", WinNT4, table, Std);
    PrinterRecord printer{};
    reader.ReadPrinterRecord("N", WinNT4, printer, Std);
    MonitorSettings settings;
    reader.ReadMonitorSettings(WinXP, settings);
    reader.ReadProcessorVersion();
    reader.IsDdkDriver("N", Win98, Std);
    EXPECT_STREQ(driver.pName, "Raster");
    EXPECT_EQ(Names(driver.pDependentFiles).size(), 4u);
}

}  // namespace
