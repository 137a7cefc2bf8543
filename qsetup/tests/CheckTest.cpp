// The package check on broken copies of the sample package: each fault gives
// its line, at the file and line where it can be mended.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "qsetup/PackageCheck.h"
#include "tests/support/SamplePackage.h"

namespace qsetup {
namespace {

constexpr const char* kPkg = "C:\\PKG";

std::string Path(const std::string& rel) { return std::string(kPkg) + "\\" + rel; }

// The 1-based line of the first line starting with `key` + "=" after the
// line `section` (the section's own line when `key` is empty).
int LineOf(const std::string& text, const std::string& section, const std::string& key) {
    int line = 0;
    bool inSection = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string l = text.substr(start, end - start);
        if (!l.empty() && l.back() == '\r') l.pop_back();
        ++line;
        if (l == section) {
            if (key.empty()) return line;
            inSection = true;
        } else if (inSection && l.rfind(key + "=", 0) == 0) {
            return line;
        }
        start = end + 1;
    }
    return -1;
}

// Replaces the first `from` in the file, after `after` when given.
void Replace(plat::SimTestWindows& w, const std::string& rel, const std::string& from,
             const std::string& to, const std::string& after = {}) {
    std::string text = w.FileText(Path(rel)).value_or("");
    const size_t at = text.find(from, after.empty() ? 0 : text.find(after));
    ASSERT_NE(at, std::string::npos) << from << " in " << rel;
    text.replace(at, from.size(), to);
    w.PutFile(Path(rel), text);
}

std::vector<std::string> Lines(const CheckReport& report) {
    std::vector<std::string> lines;
    for (const Finding& f : report.findings) lines.push_back(FormatFinding(f));
    return lines;
}

class CheckTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_GT(support::MountSamplePackage(w, kPkg), 10); }
    plat::SimTestWindows w;
};

// The whole file in UTF-16LE with its byte-order mark, as Notepad saves "Unicode".
std::string Utf16(const std::string& ansi) {
    std::string out = "\xff\xfe";
    for (char c : ansi) out += std::string{c, '\0'};
    return out;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

TEST_F(CheckTest, TheSamplePackageIsClean) {
    const CheckReport report = CheckPackage(w, kPkg);
    EXPECT_EQ(Lines(report), std::vector<std::string>{});
    EXPECT_EQ(report.models, 9);
    EXPECT_EQ(report.installations, 271);
}

// Files that Windows reads as meant stay clean, however unusual.
TEST_F(CheckTest, UnusualButValidFilesStayClean) {
    using Edit = std::function<std::string(std::string)>;
    const struct {
        const char* what;
        const char* file;
        Edit edit;
        bool rehearse;
    } cases[] = {
        {"LF line endings", "DRVCONFIG\\setup.ini",
         [](std::string t) { return ReplaceAll(t, "\r\n", "\n"); }, false},
        {"bare CR line endings", "DRVCONFIG\\setup_receipt.ini",
         [](std::string t) { return ReplaceAll(t, "\r\n", "\r"); }, true},
        {"tabs and blanks around keys and values", "DRVCONFIG\\setup_ticket.ini",
         [](std::string t) { return ReplaceAll(ReplaceAll(t, "=", " \t=\t "), "\r\n", " \t\r\n\t"); },
         false},
        {"quoted values", "DRVCONFIG\\setup_lable.ini",
         [](std::string t) {
             return ReplaceAll(t, "DriverName=Quillset KLB-L40 Label", "DriverName=\"Quillset KLB-L40 Label");
         },
         false},
        {"Windows-1252 letters in names and comments", "DRVCONFIG\\setup_embedded.ini",
         [](std::string t) {
             return "; Imprimantes int\xe9gr\xe9" "es \x80\r\n" +
                    ReplaceAll(t, "DriverName=Quillset KEM-E20", "DriverName=Quillset KEM-E20 \xc9" "dition");
         },
         false},
        {"a byte-order mark before a comment", "DRVCONFIG\\setup_receipt.ini",
         [](std::string t) { return ReplaceAll(t, "\r\n[KRT-A100.XP]", "\r\n\xef\xbb\xbf; XP\r\n[KRT-A100.XP]"); },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        plat::SimTestWindows m;
        ASSERT_GT(support::MountSamplePackage(m, kPkg), 10);
        const std::string before = m.FileText(Path(c.file)).value_or("");
        const std::string after = c.edit(before);
        ASSERT_NE(after, before);
        m.PutFile(Path(c.file), after);
        EXPECT_EQ(Lines(CheckPackage(m, kPkg, {.rehearse = c.rehearse})), std::vector<std::string>{});
    }
}

TEST_F(CheckTest, EachFaultGivesItsLine) {
    using Break = std::function<void(plat::SimTestWindows&)>;
    auto remove = [](const char* rel) -> Break {
        return [rel](plat::SimTestWindows& m) { m.RemovePath(Path(rel)); };
    };
    auto replace = [](const char* rel, std::string from, std::string to,
                      std::string after = {}) -> Break {
        return [=](plat::SimTestWindows& m) { Replace(m, rel, from, to, after); };
    };
    const std::string name49 = "Quillset KLB-L40 Label Raster with a long name 49";
    ASSERT_EQ(name49.size(), 49u);
    struct Case {
        const char* what;
        Break breakIt;
        const char* file;     // of the expected finding
        const char* section;  // its line: the section header ("" for line 0, "*" any line)
        const char* key;      // and the key under it ("" for the header itself)
        std::string text;     // severity and text
        bool rehearse = false;  // with every offered installation rehearsed
    };
    const Case cases[] = {
        {"a driver DLL missing", remove("winnt\\QSDRV.DLL"), "DRVCONFIG\\setup_receipt.ini",
         "[KRT-P58.XP]", "GDIDriverPath",
         "error: [KRT-P58.XP] GDIDriverPath \"QSDRV.DLL\" not found in winnt\\"},
        {"a data file missing", remove("winnt\\QSTKT.GPD"), "DRVCONFIG\\setup_ticket.ini",
         "[KTT-T80.XP]", "STDDataFile",
         "error: [KTT-T80.XP] STDDataFile \"QSTKT.GPD\" not found in winnt\\"},
        {"a configuration DLL missing", remove("Vista\\QSDRVUI.DLL"),
         "DRVCONFIG\\setup_receipt.ini", "[KRT-A100.Vista]", "GDIConfigFile",
         "error: [KRT-A100.Vista] GDIConfigFile \"QSDRVUI.DLL\" not found in Vista\\"},
        {"a help file missing", remove("win98\\QSDRV.HLP"), "DRVCONFIG\\setup_lable.ini",
         "[KLB-L40.98]", "GDIHelpFile",
         "error: [KLB-L40.98] GDIHelpFile \"QSDRV.HLP\" not found in win98\\"},
        {"a resource DLL missing", remove("win2003\\QSRES.DLL"), "DRVCONFIG\\setup_receipt.ini",
         "[KRT-P58.2003]", "STDDataFileDLLName",
         "error: [KRT-P58.2003] STDDataFileDLLName \"QSRES.DLL\" not found in win2003\\"},
        {"an OEM plug-in missing", remove("winnt\\QSOEMUI.DLL"), "DRVCONFIG\\setup_receipt.ini",
         "[KRT-P58.2K]", "GDIDataOemuiDLL",
         "error: [KRT-P58.2K] GDIDataOemuiDLL \"QSOEMUI.DLL\" not found in winnt\\"},
        {"a control font missing", remove("winnt\\QSFONT.TTF"), "DRVCONFIG\\setup_receipt.ini",
         "[KRT-A100.NT]", "ControlFontFile",
         "error: [KRT-A100.NT] ControlFontFile \"QSFONT.TTF\" not found in winnt\\"},
        {"a print processor missing", remove("winnt\\QSPROC.DLL"),
         "DRVCONFIG\\setup_receipt.ini", "[KRT-A100.XP]", "STDProcessorDLLName",
         "error: [KRT-A100.XP] STDProcessorDLLName \"QSPROC.DLL\" not found in winnt\\"},
        {"a dependent file missing", remove("winnt\\UNIRES.DLL"), "DRVCONFIG\\setup_receipt.ini",
         "[KRT-P58.XP]", "GDI2KDDKDEV",
         "error: [KRT-P58.XP] dependent file \"UNIRES.DLL\" not found in winnt\\ (GDI2KDDKDEV "
         "asks for the dependent files)"},
        {"a monitor DLL missing", remove("win2003\\QSUSBMON.DLL"), "DRVCONFIG\\setup.ini",
         "[COMMON-MONITOR.2003]", "USBMONitorPDLLName",
         "error: [COMMON-MONITOR.2003] USBMONitorPDLLName \"QSUSBMON.DLL\" not found in "
         "win2003\\"},
        {"a monitor's UI DLL missing", remove("Vista\\QSCOMUI.DLL"), "DRVCONFIG\\setup.ini",
         "[COMMON-MONITOR.Vista]", "COMMONitorPUIDLLName",
         "error: [COMMON-MONITOR.Vista] COMMONitorPUIDLLName \"QSCOMUI.DLL\" not found in "
         "Vista\\"},
        {"a Windows 98 core file missing", remove("win98\\ICONLIB.DLL"), "win98\\ICONLIB.DLL", "",
         "", "error: missing: every Windows 98/Me installation copies it and ends with its copy error"},
        {"a section missing for a supported Server 2003",
         replace("DRVCONFIG\\setup_ticket.ini", "[KTT-T80.2003]", "[KTT-T80.2003x]"),
         "DRVCONFIG\\setup_ticket.ini", "[KTT-T80.PORT]", "System2003Supported",
         "error: [KTT-T80.2003] is missing, though [KTT-T80.PORT] System2003Supported says the "
         "model supports Windows Server 2003: Setup would install a driver named \"0\" there"},
        {"a section missing for XP",
         replace("DRVCONFIG\\setup_embedded.ini", "[KEM-E20.XP]", "[KEM-E20 XP]"),
         "DRVCONFIG\\setup_embedded.ini", "", "",
         "error: [KEM-E20.XP] is missing: Setup would install a driver named \"0\" on Windows XP"},
        {"a driver name one over its limit",
         replace("DRVCONFIG\\setup_lable.ini", "GDIDriverName=Quillset KLB-L40 Label Raster",
                 "GDIDriverName=" + name49),
         "DRVCONFIG\\setup_lable.ini", "[KLB-L40.98]", "GDIDriverName",
         "error: [KLB-L40.98] GDIDriverName is 49 bytes long, over its limit of 48 bytes: it "
         "would be read as \"" + name49.substr(0, 48) + "\""},
        {"a USB port name over the device list's limit",
         replace("DRVCONFIG\\setup.ini", "27=USB_KEM-E20_4", "27=USB_KEM-E20_4_and_far_too_long"),
         "DRVCONFIG\\setup.ini", "[SUPPORTED-USB-DEVICE]", "27",
         "error: [SUPPORTED-USB-DEVICE] 27 is 30 bytes long, over its limit of 29 bytes: it would "
         "be read as \"USB_KEM-E20_4_and_far_too_lon\""},
        {"Uninstall.ini misses a monitor",
         replace("DRVCONFIG\\Uninstall.ini", "MONITORNAME2=Quillset Serial Port",
                 "MONITORNAME2=Quilset Serial"),
         "DRVCONFIG\\Uninstall.ini", "[KVMONITOR]", "",
         "error: [KVMONITOR] no MONITORNAMEn is part of \"Quillset Serial Port Monitor\", the "
         "monitor Setup installs: Uninstall would not offer to remove it"},
        {"Uninstall.ini names WinPrint",
         replace("DRVCONFIG\\Uninstall.ini", "PROCNAME1=QSPrint", "PROCNAME1=Print"),
         "DRVCONFIG\\Uninstall.ini", "[KVPROC]", "PROCNAME1",
         "error: [KVPROC] PROCNAME1 \"Print\" is part of \"WinPrint\", the print processor of "
         "Windows itself: Uninstall would offer to remove it"},
        {"Uninstall.ini deletes another monitor DLL",
         replace("DRVCONFIG\\Uninstall.ini",
                 "[QuillsetUSBPortMonitor.2K]\r\nMonitorPDLLName=QSUSBMON.DLL",
                 "[QuillsetUSBPortMonitor.2K]\r\nMonitorPDLLName=QSUSB.DLL"),
         "DRVCONFIG\\Uninstall.ini", "[QuillsetUSBPortMonitor.2K]", "",
         "error: [QuillsetUSBPortMonitor.2K] names \"QSUSB.DLL\" and \"QSUSBUI.DLL\", but Setup "
         "installs \"QSUSBMON.DLL\" and \"QSUSBUI.DLL\" for \"Quillset USB Port Monitor\" on "
         "Windows 2000: Uninstall would delete the wrong files"},
        {"a baud rate the port page lacks",
         replace("DRVCONFIG\\setup_receipt.ini", "BaudRate=9600", "BaudRate=14400"),
         "DRVCONFIG\\setup_receipt.ini", "[KRT-P58.PORT]", "BaudRate",
         "error: [KRT-P58.PORT] BaudRate 14400 is not a rate of the port page's list: it shows "
         "38400 instead"},
        {"a port key that is no number",
         replace("DRVCONFIG\\setup_ticket.ini", "[KTT-T80.PORT]\r\nAdvancedSetup=1",
                 "[KTT-T80.PORT]\r\nAdvancedSetup=yes"),
         "DRVCONFIG\\setup_ticket.ini", "[KTT-T80.PORT]", "AdvancedSetup",
         "error: [KTT-T80.PORT] AdvancedSetup \"yes\" is not a number: it reads as 0"},
        {"a USB port of a model not in the device list",
         replace("DRVCONFIG\\setup.ini", "USB_KRT-A100_2", "USB_KRT-A100_5"),
         "DRVCONFIG\\setup.ini", "[SUPPORTED-USB-DEVICE]", "PRNCOUNT",
         "error: USB port \"USB_KRT-A100_2\" is not in [SUPPORTED-USB-DEVICE]: Setup records no "
         "position for it"},
        {"a DDK driver without its resource DLL",
         replace("DRVCONFIG\\setup_lable.ini", "GDIDataFileDLLName=QSRES.DLL",
                 "GDIDataFileDLLName=", "[KLB-L40.XP]"),
         "DRVCONFIG\\setup_lable.ini", "[KLB-L40.XP]", "GDIDataFileDLLName",
         "error: [KLB-L40.XP] GDIDataFileDLLName is empty for a DDK driver (GDI2KDDKDEV is 1): "
         "Setup stops with \"Lost of driver files, can't continue\""},
        {"a model that is not offered",
         replace("DRVCONFIG\\setup.ini", "DEVICENAME6=KTT-T80-TicketPrinter", "DEVICENAME6=KTT-T80"),
         "DRVCONFIG\\setup_ticket.ini", "[KTT-T80.98]", "",
         "warning: [KTT-T80.98] is never read: no ticket model of that name is offered by "
         "DRVCONFIG\\setup.ini"},
        {"a key given twice",
         replace("DRVCONFIG\\setup_receipt.ini", "[KRT-A100.XP]\r\n",
                 "[KRT-A100.XP]\r\nATTRIBUTES=576\r\n"),
         "DRVCONFIG\\setup_receipt.ini", "*", "",
         "warning: [KRT-A100.XP] ATTRIBUTES is repeated (first at line "},
        {"the list count over its limit",
         replace("DRVCONFIG\\setup.ini", "DEVICENUMBER=10", "DEVICENUMBER=1000"),
         "DRVCONFIG\\setup.ini", "[DEVICENAME]", "DEVICENUMBER",
         "error: [DEVICENAME] DEVICENAME11 to DEVICENAME999 are missing (DEVICENUMBER is 999)"},
        {"the uninstaller's list over its limit",
         replace("DRVCONFIG\\Uninstall.ini", "PRINTERNUM=4", "PRINTERNUM=100"),
         "DRVCONFIG\\Uninstall.ini", "[KVPRINTER]", "PRINTERNUM",
         "error: [KVPRINTER] PRINTERNUM 100 is over the limit of 99 entries: Uninstall reads only "
         "the first 99"},
        {"a bitmap cut short",
         [](plat::SimTestWindows& m) {
             std::string bmp = m.FileText(Path("DRVCONFIG\\Left.bmp")).value_or("");
             m.PutFile(Path("DRVCONFIG\\Left.bmp"), bmp.substr(0, bmp.size() / 2));
         },
         "DRVCONFIG\\Left.bmp", "", "", "error: not a bitmap Windows can load (cut short: "},
        {"the help file missing", remove("POS.CHM"), "POS.CHM", "", "",
         "error: missing: F1 in the wizard opens no help"},
        {"both of Uninstall's help files missing",
         [](plat::SimTestWindows& m) {
             m.RemovePath(Path("Uninstall_EN.CHM"));
             m.RemovePath(Path("Uninstall_CN.CHM"));
         },
         "Uninstall_EN.CHM", "", "", "error: missing, and Uninstall_CN.CHM too: F1 in Uninstall opens no help"},
        {"a font folder missing", remove("VNI Font"), "VNI Font\\", "", "",
         "error: missing or empty: \"Install Vietnamese Font\" copies no font"},
        {"the USB device driver missing", remove("USBDRV2.20"), "USBDRV2.20\\bulkusb.sys", "", "",
         "error: missing: the port page can't tell that the USB device driver needs installing"},
        {"Uninstall.ini missing", remove("DRVCONFIG\\Uninstall.ini"), "DRVCONFIG\\Uninstall.ini",
         "", "", "error: missing: Uninstall says \"Can't find file Uninstall.ini!\" and removes nothing"},
        {"a monitor name with a backslash",
         replace("DRVCONFIG\\setup.ini", "COMMONitorPName=Quillset Serial Port Monitor",
                 "COMMONitorPName=Quillset\\Serial", "[COMMON-MONITOR.XP]"),
         "DRVCONFIG\\setup.ini", "[COMMON-MONITOR.XP]", "COMMONitorPName",
         "error: [COMMON-MONITOR.XP] COMMONitorPName \"Quillset\\Serial\" holds \"\\\": Windows "
         "keeps it under a registry key of that name, where \"\\\" starts a sub-key"},
        {"a print processor name with a backslash",
         replace("DRVCONFIG\\setup_receipt.ini", "STDPrintProcessor=QSPrint",
                 "STDPrintProcessor=..\\QSPrint", "[KRT-A100.XP]"),
         "DRVCONFIG\\setup_receipt.ini", "[KRT-A100.XP]", "STDPrintProcessor",
         "error: [KRT-A100.XP] STDPrintProcessor \"..\\QSPrint\" holds \"\\\": Windows keeps it "
         "under a registry key of that name, where \"\\\" starts a sub-key"},
        {"the Unidrv files registered but not copied in text mode",
         replace("DRVCONFIG\\setup_lable.ini", "STD2KDDKDEV=1", "STD2KDDKDEV=0", "[KLB-L40.XP]"),
         "DRVCONFIG\\setup_lable.ini", "[KLB-L40.XP]", "STD2KDDKDEV",
         "error: [KLB-L40.XP] STD2KDDKDEV is \"0\", yet GDI2KDDKDEV lists TTFSUB.GPD, UNIRES.DLL "
         "and STDNAMES.GPD as dependent files of the text driver: they are registered without "
         "being copied, and a Windows that lacks them refuses the driver (\"Add printer driver "
         "error   er = 2\"); it breaks 4 of 271 offered installations: KLB-L40 text driver on XP",
         true},
        {"a data file outside its folder",
         replace("DRVCONFIG\\setup_receipt.ini", "STDDataFile=QSRCPT.GPD",
                 "STDDataFile=..\\winnt\\QSRCPT.GPD", "[KRT-P58.XP]"),
         "DRVCONFIG\\setup_receipt.ini", "[KRT-P58.XP]", "STDDataFile",
         "error: [KRT-P58.XP] STDDataFile \"..\\winnt\\QSRCPT.GPD\" is not a plain file name (a "
         "folder, drive or device, or a character Windows refuses): Setup refuses to copy it and "
         "stops with its copy error; it breaks 4 of 271 offered installations: KRT-P58 text "
         "driver on XP",
         true},
        {"a monitor DLL in a folder",
         replace("DRVCONFIG\\setup.ini", "COMMONitorPDLLName=QSCOMMON.DLL",
                 "COMMONitorPDLLName=winnt\\QSCOMMON.DLL", "[COMMON-MONITOR.XP]"),
         "DRVCONFIG\\setup.ini", "[COMMON-MONITOR.XP]", "COMMONitorPDLLName",
         "error: [COMMON-MONITOR.XP] COMMONitorPDLLName \"winnt\\QSCOMMON.DLL\" is not a plain "
         "file name"},
        {"a help file that is a device",
         replace("DRVCONFIG\\setup_receipt.ini", "STDHelpFile=QSDRV.HLP", "STDHelpFile=NUL",
                 "[KRT-A100.2K]"),
         "DRVCONFIG\\setup_receipt.ini", "[KRT-A100.2K]", "STDHelpFile",
         "error: [KRT-A100.2K] STDHelpFile \"NUL\" is not a plain file name"},
        {"a control character in a driver name",
         replace("DRVCONFIG\\setup_ticket.ini", "GDIDriverName=", "GDIDriverName=\x01",
                 "[KTT-T80.XP]"),
         "DRVCONFIG\\setup_ticket.ini", "[KTT-T80.XP]", "GDIDriverName",
         "error: [KTT-T80.XP] GDIDriverName \"\x01"},
        {"a number with a comment after it",
         replace("DRVCONFIG\\setup_receipt.ini", "BaudRate=9600", "BaudRate=9600 ; default"),
         "DRVCONFIG\\setup_receipt.ini", "[KRT-P58.PORT]", "BaudRate",
         "warning: [KRT-P58.PORT] BaudRate \"9600 ; default\" holds its comment: it reads as "
         "9600 as meant, but a comment belongs on a line of its own"},
        {"setup.ini saved as UTF-16",
         [](plat::SimTestWindows& m) {
             m.PutFile(Path("DRVCONFIG\\setup.ini"),
                       Utf16(m.FileText(Path("DRVCONFIG\\setup.ini")).value_or("")));
         },
         "DRVCONFIG\\setup.ini", "", "",
         "error: setup.ini is UTF-16 (\"Unicode\" in Notepad): Windows 2000 and later read it"},
        {"a byte-order mark before a section header",
         replace("DRVCONFIG\\setup_ticket.ini", "\r\n[KTT-T80.XP]", "\r\n\xef\xbb\xbf[KTT-T80.XP]"),
         "DRVCONFIG\\setup_ticket.ini", "*", "",
         "error: a UTF-8 byte-order mark (the bytes EF BB BF"},
        {"a section header without its ]",
         replace("DRVCONFIG\\setup_receipt.ini", "[KRT-A100.XP]", "[KRT-A100.XP"),
         "DRVCONFIG\\setup_receipt.ini", "*", "",
         "error: this section header has no \"]\": Windows reads the line as a key"},
        {"a model entry with a blank",
         replace("DRVCONFIG\\setup.ini", "DEVICENAME3=KRT-B200-ReceiptPrinter",
                 "DEVICENAME3=KRT B200-ReceiptPrinter"),
         "DRVCONFIG\\setup.ini", "[DEVICENAME]", "DEVICENAME3",
         "error: [DEVICENAME] DEVICENAME3 offers the model \"KRT B200\", a name with a blank in it"},
        {"a model listed without its sections",
         replace("DRVCONFIG\\setup.ini", "DEVICENAME3=KRT-B200-ReceiptPrinter",
                 "DEVICENAME3=KRT-B300-ReceiptPrinter"),
         "DRVCONFIG\\setup.ini", "[DEVICENAME]", "DEVICENAME3",
         "error: [DEVICENAME] offers \"KRT-B300\", but DRVCONFIG\\setup_receipt.ini has no section of "
         "it"},
        {"a module INI missing", remove("DRVCONFIG\\setup_lable.ini"), "DRVCONFIG\\setup.ini",
         "[DEVICENAME]", "DEVICENAME7",
         "error: \"KLB-L40\" is a label model, but DRVCONFIG\\setup_lable.ini is missing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat::SimTestWindows m;
        ASSERT_GT(support::MountSamplePackage(m, kPkg), 10);
        c.breakIt(m);
        const CheckReport report = CheckPackage(m, kPkg, {.rehearse = c.rehearse});
        std::string prefix = c.file;
        const bool anyLine = std::string(c.section) == "*";
        if (*c.section && !anyLine) {
            const std::string text = m.FileText(Path(c.file)).value_or("");
            prefix += ":" + std::to_string(LineOf(text, c.section, c.key));
        }
        const std::vector<std::string> lines = Lines(report);
        const bool found = std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
            if (anyLine)
                return l.rfind(prefix + ":", 0) == 0 && l.find(": " + c.text) != std::string::npos;
            return l.rfind(prefix + ": " + c.text, 0) == 0;
        });
        EXPECT_TRUE(found) << "expected: " << prefix << ": " << c.text << "\ngot:\n"
                           << ::testing::PrintToString(lines);
        EXPECT_EQ(report.Errors() > 0, c.text.rfind("error", 0) == 0);
    }
}

TEST_F(CheckTest, TheCheckChangesNothingAndReadsTheFilesItNames) {
    const auto before = w.ListFolder(kPkg);
    const std::string setup = w.FileText(Path("DRVCONFIG\\setup.ini")).value_or("");
    CheckPackage(w, kPkg);
    EXPECT_EQ(w.ListFolder(kPkg), before);
    EXPECT_EQ(w.FileText(Path("DRVCONFIG\\setup.ini")), setup);
    EXPECT_EQ(w.CallCount("CopyFile") + w.CallCount("WriteFile") + w.CallCount("DeleteFile") +
                  w.CallCount("SetFileAttributes") + w.CallCount("RegSetValue"),
              0);
}

TEST(Bitmap, WhatWindowsLoads) {
    // A 2 x 2 bitmap: rows of 8 bytes at 24 bits.
    auto make = [](uint32_t header, uint32_t bits, uint32_t compression) {
        std::string bmp(54 + 16, '\0');
        auto put = [&](size_t at, uint32_t v, int n) {
            for (int i = 0; i < n; ++i) bmp[at + i] = static_cast<char>(v >> (8 * i));
        };
        bmp[0] = 'B';
        bmp[1] = 'M';
        put(2, 70, 4);
        put(10, 54, 4);
        put(14, header, 4);
        put(18, 2, 4);
        put(22, 2, 4);
        put(26, 1, 2);
        put(28, bits, 2);
        put(30, compression, 4);
        return bmp;
    };
    std::string why;
    EXPECT_TRUE(IsLoadableBitmap(make(40, 24, 0), why)) << why;
    const struct {
        std::string bytes;
        const char* why;
    } bad[] = {
        {make(40, 24, 0).substr(0, 60), "cut short: 60 bytes hold 0 of its 2 rows"},
        {"PM" + make(40, 24, 0).substr(2), "no bitmap file header"},
        {make(40, 7, 0), "1 planes of 7 bits"},
        {make(64, 24, 0), "a bitmap header of 64 bytes"},
        {make(40, 24, 1), "compression 1 with 24 bits"},
        {std::string(), "no bitmap file header"},
    };
    for (const auto& b : bad) {
        EXPECT_FALSE(IsLoadableBitmap(b.bytes, why));
        EXPECT_EQ(why, b.why);
    }
}

}  // namespace
}  // namespace qsetup
