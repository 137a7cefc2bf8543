// The look-ups on Uninstall.ini: list membership, the DLL sections per
// Windows version, counts, and the entries that must match nothing.
#include <gtest/gtest.h>

#include "uninstall/tests/UninstallMachine.h"

namespace {

using namespace unstest;

class UninstallIniTest : public UninstallMachine {};

TEST(OsSuffixTest, EachClassHasItsSection) {
    EXPECT_STREQ(OsSuffixXpAs2000(Win98), ".98");
    EXPECT_STREQ(OsSuffixXpAs2000(WinNT4), ".NT");
    EXPECT_STREQ(OsSuffixXpAs2000(Win2000), ".2K");
    EXPECT_STREQ(OsSuffixXpAs2000(WinXP), ".2K");
    EXPECT_STREQ(OsSuffixXpAs2000(Win2003), ".2003");
    EXPECT_STREQ(OsSuffixXpAs2000(WinVista), ".Vista");
    EXPECT_STREQ(OsSuffixXpAs2000(OsUnknown), ".Vista");
}

TEST(ReadCountTest, ReadsLikeAtoiAndStaysBounded) {
    EXPECT_EQ(ReadCount("2"), 2);
    EXPECT_EQ(ReadCount("  3 entries"), 3);
    EXPECT_EQ(ReadCount("+4"), 4);
    EXPECT_EQ(ReadCount("-4"), 0);
    EXPECT_EQ(ReadCount("none"), 0);
    EXPECT_EQ(ReadCount(""), 0);
    EXPECT_EQ(ReadCount("12"), 12);
    EXPECT_EQ(ReadCount("99999999999999999999999"), kMaxListEntries);
}

TEST_F(UninstallIniTest, SamplePackageNamesItsOwnItemsOnly) {
    EXPECT_TRUE(ini.IsListedMonitor(kUsbMonitor));
    EXPECT_TRUE(ini.IsListedMonitor(kSerialMonitor));
    EXPECT_FALSE(ini.IsListedMonitor("Local Port"));
    EXPECT_FALSE(ini.IsListedMonitor("quillset usb port monitor"));  // case counts
    EXPECT_TRUE(ini.IsListedProcessor(kProcessor));
    EXPECT_TRUE(ini.IsListedProcessor("QSPrint64"));  // a fragment of the name
    EXPECT_FALSE(ini.IsListedProcessor("WinPrint"));
}

TEST_F(UninstallIniTest, PrintersAreRecognisedByTheirDriver) {
    InstallSystemItems();
    InstallPackageItems();
    InstallQueue("My receipts", kUsbDriver, "LPT3:");
    EXPECT_TRUE(ini.IsListedPrinter(kUsbPrinter));
    EXPECT_TRUE(ini.IsListedPrinter(kLptPrinter));
    EXPECT_TRUE(ini.IsListedPrinter("My receipts"));
    EXPECT_FALSE(ini.IsListedPrinter(kOtherPrinter));
    EXPECT_FALSE(ini.IsListedPrinter("No such printer"));
    // A printer whose information can't be read is not listed.
    w.FailCall("GetPrinter", 5);
    EXPECT_FALSE(ini.IsListedPrinter(kUsbPrinter));
}

TEST_F(UninstallIniTest, Windows98ListsNoProcessor) {
    state.osClass = Win98;
    EXPECT_FALSE(ini.IsListedProcessor(kProcessor));
    EXPECT_TRUE(ini.IsListedMonitor(kUsbMonitor));
}

TEST_F(UninstallIniTest, MissingOrEmptyEntriesMatchNothing) {
    // MONITORNAME2 is missing (it would read "0"), PROCNAME1 is empty, and
    // PRINTERNAME2 is missing: none of them may claim the system's items.
    WriteIni("[KVMONITOR]\nMonitorNUM=2\nMONITORNAME1=Quillset USB\n"
             "[KVPROC]\nPROCNUM=1\nPROCNAME1=\n"
             "[KVPRINTER]\nPRINTERNUM=2\nPRINTERNAME1=Quillset KRT-\n");
    InstallSystemItems();
    EXPECT_TRUE(ini.IsListedMonitor(kUsbMonitor));
    EXPECT_FALSE(ini.IsListedMonitor("Standard TCP/IP Port 0"));
    EXPECT_FALSE(ini.IsListedMonitor("Local Port"));
    EXPECT_FALSE(ini.IsListedProcessor("WinPrint"));
    EXPECT_FALSE(ini.IsListedPrinter(kOtherPrinter));
    // A present "0" keeps its meaning.
    WriteIni("[KVMONITOR]\nMonitorNUM=1\nMONITORNAME1=0\n");
    EXPECT_TRUE(ini.IsListedMonitor("Standard TCP/IP Port 0"));
    EXPECT_FALSE(ini.IsListedMonitor("Local Port"));
}

TEST_F(UninstallIniTest, NoSectionOrNoFileListsNothing) {
    WriteIni("[KVPROC]\nPROCNUM=1\nPROCNAME1=QSPrint\n");
    EXPECT_FALSE(ini.IsListedMonitor(kUsbMonitor));
    EXPECT_TRUE(ini.IsListedProcessor(kProcessor));
    state.iniPath = "C:\\PKG\\missing.ini";
    EXPECT_FALSE(ini.IsListedProcessor(kProcessor));
}

TEST_F(UninstallIniTest, LongListsUseDecimalKeys) {
    std::string text = "[KVMONITOR]\nMonitorNUM=11\n";
    for (int k = 1; k <= 11; ++k)
        text += "MONITORNAME" + std::to_string(k) + "=Monitor" + std::string(1, char('A' + k - 1)) + "\n";
    // The key that a single-character suffix gives entry 10 is not read.
    text += "MONITORNAME:=Local\n";
    WriteIni(text);
    EXPECT_TRUE(ini.IsListedMonitor("MonitorA"));
    EXPECT_TRUE(ini.IsListedMonitor("MonitorI"));
    EXPECT_TRUE(ini.IsListedMonitor("MonitorJ"));  // MONITORNAME10
    EXPECT_TRUE(ini.IsListedMonitor("MonitorK"));  // MONITORNAME11
    EXPECT_FALSE(ini.IsListedMonitor("Local Port"));
    EXPECT_EQ(ini.ListEntries("KVMONITOR", "MonitorNUM", "MONITORNAME").size(), 11u);
}

TEST_F(UninstallIniTest, HugeCountsAreBounded) {
    WriteIni("[KVMONITOR]\nMonitorNUM=2147483647\nMONITORNAME1=Quillset\n");
    EXPECT_TRUE(ini.IsListedMonitor(kUsbMonitor));
    EXPECT_LE(w.CallCount("GetPrivateProfileString"), 1 + kMaxListEntries);
}

TEST_F(UninstallIniTest, DllSectionsFollowTheWindowsVersion) {
    WriteIni("[QuillsetUSBPortMonitor.2K]\nMonitorPDLLName=USB2K.DLL\nMonitorPUIDLLName=UI2K.DLL\n"
             "[QuillsetUSBPortMonitor.Vista]\nMonitorPDLLName=USBV.DLL\n"
             "[Q S Print.2K]\nProcessorDllName=PROC2K.DLL\n"
             "[QSPrint.2K]\nProcessorDllName=WRONG.DLL\n");
    state.osClass = WinXP;
    MonitorDlls dlls = ini.MonitorDllNames(kUsbMonitor);
    EXPECT_EQ(dlls.monitorDll, "USB2K.DLL");
    EXPECT_EQ(dlls.uiDll, "UI2K.DLL");
    // A processor keeps its blanks in its section name.
    EXPECT_EQ(ini.ProcessorDllName("Q S Print"), "PROC2K.DLL");
    state.osClass = OsUnknown;
    dlls = ini.MonitorDllNames(kUsbMonitor);
    EXPECT_EQ(dlls.monitorDll, "USBV.DLL");
    EXPECT_EQ(dlls.uiDll, "0");  // missing: no file
    EXPECT_EQ(ini.ProcessorDllName("Q S Print"), "0");
}

TEST_F(UninstallIniTest, NamesAndValuesTenTimesOverTheirBuffersOverrunNothing) {
    // The 30-character buffers of the file's format: fragments, names and
    // DLL values of 300 characters are read whole; the section of a
    // 240-character monitor name (23 fit beside ".Vista") is found.
    const std::string monitor = "Quillset " + std::string(231, 'M');
    const std::string dll = std::string(296, 'D') + ".DLL";
    WriteIni("[KVMONITOR]\nMonitorNUM=" + std::string(290, '9') + "\nMONITORNAME1=" +
             monitor.substr(0, 300) + "\n[Quillset" + std::string(231, 'M') + ".Vista]\nMonitorPDLLName=" + dll +
             "\nMonitorPUIDLLName=" + std::string(10240, 'U') + "\n");
    state.osClass = WinVista;
    EXPECT_TRUE(ini.IsListedMonitor(monitor));
    EXPECT_FALSE(ini.IsListedMonitor(monitor.substr(0, 239)));
    EXPECT_EQ(ini.MonitorEntries().size(), 1u);
    const MonitorDlls dlls = ini.MonitorDllNames(monitor);
    EXPECT_EQ(dlls.monitorDll, dll);
    EXPECT_TRUE(NamesDllFile(dlls.monitorDll));
    // Beyond the reader's 1024 characters a value is taken as damaged.
    EXPECT_EQ(dlls.uiDll, "0");
}

TEST(NamesDllFileTest, OnlyBareFileNamesAreDeleted) {
    EXPECT_TRUE(NamesDllFile("QSUSBMON.DLL"));
    EXPECT_FALSE(NamesDllFile(""));
    EXPECT_FALSE(NamesDllFile("0"));
    EXPECT_FALSE(NamesDllFile("0QS.DLL"));
    EXPECT_FALSE(NamesDllFile("..\\..\\boot.ini"));
    EXPECT_FALSE(NamesDllFile("C:KERNEL32.DLL"));
    EXPECT_FALSE(NamesDllFile("drivers/x.sys"));
    EXPECT_FALSE(NamesDllFile(".."));
}

}  // namespace
