// Start-up of Uninstall on the simulated Windows: the single instance, the
// refusal beside Setup, the start-up checks, the search for Uninstall.ini
// (which changes no attributes), the list, Select All and F1.
#include <gtest/gtest.h>

#include "common/ProgramName.h"
#include "uninstall/Messages.h"
#include "uninstall/UninstallDialogLogic.h"
#include "uninstall/tests/UninstallMachine.h"

namespace {

using namespace unstest;
namespace mb = plat::mb;
namespace attr = plat::attr;

class StartUpTest : public UninstallMachine {};

TEST_F(StartUpTest, FirstCopyRunsAndHoldsTheMutex) {
    plat::Mutex mutex;
    EXPECT_EQ(StartUp(w, "Uninstall", mutex), StartUpResult::Run);
    EXPECT_TRUE(mutex);
    EXPECT_TRUE(w.MutexExists("Uninstall"));
    EXPECT_TRUE(w.MessageBoxes().empty());
}

TEST_F(StartUpTest, SecondCopyBringsTheFirstForward) {
    w.OwnMutexElsewhere("Uninstall");
    const plat::Window first = w.AddWindow("Uninstall", /*iconic=*/true);
    plat::Mutex mutex;
    EXPECT_EQ(StartUp(w, "Uninstall", mutex), StartUpResult::SecondCopy);
    EXPECT_EQ(w.ForegroundCalls(), std::vector<plat::Window>{first});
    EXPECT_EQ(w.RestoreCalls(), std::vector<plat::Window>{first});
    EXPECT_TRUE(w.MessageBoxes().empty());
}

TEST_F(StartUpTest, RefusesWhileSetupIsOpen) {
    w.AddWindow("Install Driver for Printers");
    plat::Mutex mutex;
    EXPECT_EQ(StartUp(w, "Uninstall", mutex), StartUpResult::SetupOpen);
    const auto boxes = w.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Please close Quillset program first!");
    EXPECT_EQ(boxes[0].caption, "Uninstall");
    EXPECT_EQ(boxes[0].flags, mb::Ok | mb::IconExclamation);
}

TEST_F(StartUpTest, ARenamedCopyGoesByItsOwnName) {
    w.SetModuleFileName("D:\\Tools\\Remove.Printers.EXE");
    const std::string name = ApplicationName(w, kApplicationName);
    EXPECT_EQ(name, "Remove.Printers");
    // The sample's copy running does not stop it; its own name is its mutex.
    w.OwnMutexElsewhere("Uninstall");
    plat::Mutex mutex;
    EXPECT_EQ(StartUp(w, name, mutex), StartUpResult::Run);
    EXPECT_TRUE(w.MutexExists("Remove.Printers"));
    // Its boxes carry its name, and F1 looks for its help viewer.
    w.AddWindow("Install Driver for Printers");
    plat::SimTestWindows fresh;
    plat::Mutex second;
    fresh.AddWindow("Install Driver for Printers");
    EXPECT_EQ(StartUp(fresh, name, second), StartUpResult::SetupOpen);
    EXPECT_EQ(fresh.MessageBoxes().at(0).caption, "Remove.Printers");
    const plat::Window viewer = w.AddWindow("Remove.Printers Help");
    w.AddWindow("Uninstall Help");
    OpenHelp(w, name);
    EXPECT_TRUE(w.ShellOpens().empty());
    EXPECT_EQ(w.ForegroundCalls(), std::vector<plat::Window>{viewer});
    // Without a module name the sample's name stands.
    w.FailCall("GetModuleFileName", plat::err::InsufficientBuffer);
    EXPECT_EQ(ApplicationName(w, kApplicationName), "Uninstall");
}

class FindIniTest : public UninstallMachine {
protected:
    void SetUp() override {
        UninstallMachine::SetUp();
        state.iniPath = "C:\\PKG";
    }
};

TEST_F(FindIniTest, DrvconfigIsSearchedAfterTheCurrentFolder) {
    EXPECT_EQ(FindUninstallIni(w, state), 0);
    EXPECT_EQ(state.iniPath, "C:\\PKG\\DRVCONFIG\\Uninstall.ini");
    w.PutFile("C:\\PKG\\Uninstall.ini", "[KVMONITOR]\n");
    state.iniPath = "C:\\PKG";
    EXPECT_EQ(FindUninstallIni(w, state), 0);
    EXPECT_EQ(state.iniPath, "C:\\PKG\\Uninstall.ini");
}

TEST_F(FindIniTest, SearchChangesNoAttributes) {
    const uint32_t marked = attr::ReadOnly | attr::Hidden | attr::System;
    w.PutFile("C:\\PKG\\Setup.exe", "MZ", marked);
    w.PutFile("C:\\PKG\\README.txt", "text", attr::ReadOnly);
    w.PutFile("C:\\PKG\\DRVCONFIG\\setup.ini", "[x]\n", attr::Hidden);
    ASSERT_EQ(FindUninstallIni(w, state), 0);
    EXPECT_EQ(w.Attributes("C:\\PKG\\Setup.exe"), marked);
    EXPECT_EQ(w.Attributes("C:\\PKG\\README.txt"), attr::ReadOnly);
    EXPECT_EQ(w.Attributes("C:\\PKG\\DRVCONFIG\\setup.ini"), attr::Hidden);
    EXPECT_EQ(w.CallCount("SetFileAttributes"), 0);
}

TEST_F(FindIniTest, NameTestIsACaseSensitiveSubstring) {
    w.RemovePath("C:\\PKG\\DRVCONFIG\\Uninstall.ini");
    w.PutFile("C:\\PKG\\DRVCONFIG\\uninstall.ini", "[KVMONITOR]\n");
    EXPECT_EQ(FindUninstallIni(w, state), IDS_NO_INI);
    w.PutFile("C:\\PKG\\Uninstall.ini.bak", "");
    state.iniPath = "C:\\PKG";
    EXPECT_EQ(FindUninstallIni(w, state), 0);
    EXPECT_EQ(state.iniPath, "C:\\PKG\\Uninstall.ini");
}

TEST_F(FindIniTest, AFolderThatCantBeListedFailsWith104) {
    w.RemovePath("C:\\PKG\\DRVCONFIG");
    EXPECT_EQ(FindUninstallIni(w, state), IDS_SEARCH_FAILED);
    state.iniPath = "C:\\PKG";
    w.FailCall("FindFirstFile", plat::err::AccessDenied);
    EXPECT_EQ(FindUninstallIni(w, state), IDS_SEARCH_FAILED);
}

TEST_F(FindIniTest, RootFolderGetsNoDoubledSeparator) {
    w.PutFile("C:\\Uninstall.ini", "");
    state.iniPath = "C:\\";
    EXPECT_EQ(FindUninstallIni(w, state), 0);
    EXPECT_EQ(state.iniPath, "C:\\Uninstall.ini");
}

class StartUpChecksTest : public UninstallMachine {
protected:
    bool Run() { return RunStartUpChecks(w, state, ini, view, 0x77); }
    void ExpectFailure(const char* text) {
        EXPECT_FALSE(Run());
        const auto boxes = w.MessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, text);
        EXPECT_EQ(boxes[0].caption, "Error");
        EXPECT_EQ(boxes[0].owner, plat::Window{0x77});
    }
};

TEST_F(StartUpChecksTest, ListsPrintersThenMonitorsThenProcessors) {
    InstallSystemItems();
    InstallPackageItems();
    EXPECT_TRUE(Run());
    EXPECT_EQ(Texts(), (std::vector<std::string>{kUsbPrinter, kLptPrinter, kUsbMonitor,
                                                          kSerialMonitor, kProcessor}));
    EXPECT_EQ(state.iniPath, "C:\\PKG\\DRVCONFIG\\Uninstall.ini");
    EXPECT_EQ(state.osClass, WinXP);
    EXPECT_EQ(view.StatusLines(), std::vector<std::string>{TEXT_107});
    EXPECT_EQ(state.statusText, TEXT_107);
    EXPECT_EQ(view.Instruction(), TEXT_108);
    EXPECT_TRUE(w.MessageBoxes().empty());
}

TEST_F(StartUpChecksTest, ProcessorsComeFromThisProgramsEnvironment) {
    w.SetLocalEnvironment("Windows x64");
    InstallPackageItems();
    w.InstallPrintProcessor("Windows NT x86", "QSPrint32", "QSPROC.DLL");
    EXPECT_TRUE(Run());
    EXPECT_EQ(view.Items().back().text, kProcessor);
    EXPECT_EQ(view.Items().size(), 5u);
}

TEST_F(StartUpChecksTest, TheFillReadsEachListOnceWhateverIsInstalled) {
    InstallSystemItems();
    InstallPackageItems();
    for (int i = 0; i < 300; ++i) {
        plat::PrinterInfo p;
        p.printerName = "Till " + std::to_string(i);
        p.driverName = i % 2 ? kUsbDriver : "HP LaserJet 0";
        p.portName = "LPT1:";
        p.printProcessor = "WinPrint";
        w.InstallPrinter(p);
    }
    auto fill = [&](int32_t os) {
        ClearList();
        state.osClass = os;
        const int before = w.CallCount("GetPrivateProfileString");
        FillItemList(w, state, ini, view);
        return w.CallCount("GetPrivateProfileString") - before;
    };
    // The sample file: three counts and 4 + 2 + 1 entries, read once.
    EXPECT_EQ(fill(WinXP), 3 + 7);
    EXPECT_EQ(view.Items().size(), 2u + 150u + 2u + 1u);
    EXPECT_EQ(fill(Win98), 2 + 6);  // Windows 98/Me has no processor list

    // Full lists: one read per count and per entry.
    std::string text;
    for (const char* list : {"MONITOR", "PROC", "PRINTER"}) {
        const std::string name = list;
        text += "[KV" + name + "]\n" + name + "NUM=" + std::to_string(kMaxListEntries * 10) + "\n";
        for (int k = 1; k <= kMaxListEntries; ++k)
            text += name + "NAME" + std::to_string(k) + "=Fragment" + std::to_string(k) + "\n";
    }
    WriteIni(text);
    EXPECT_EQ(fill(WinXP), 3 * (1 + kMaxListEntries));
    EXPECT_TRUE(view.Items().empty());
}

TEST_F(StartUpChecksTest, NothingInstalledSaysSoAndFails) {
    InstallSystemItems();
    ExpectFailure("No printer to uninstall!");
}

TEST_F(StartUpChecksTest, NonAdministratorIsRefusedFrom2000On) {
    InstallPackageItems();
    w.SetProcessGroups({"S-1-1-0", "S-1-5-32-545"});
    ExpectFailure("You must be logged on the computer as an administrator!");
    // NT 4.0 asks for no rights.
    w.ClearMessageBoxes();
    w.SetVersion({2, 4, 0, 1381});
    ClearList();
    EXPECT_TRUE(Run());
    EXPECT_EQ(state.osClass, WinNT4);
}

TEST_F(StartUpChecksTest, MissingCurrentFolderAndMissingIni) {
    InstallPackageItems();
    w.FailCall("GetCurrentDirectory", plat::err::AccessDenied);
    ExpectFailure("Get system Directory error!");
    w.ClearMessageBoxes();
    w.RemovePath("C:\\PKG\\DRVCONFIG\\Uninstall.ini");
    ExpectFailure("Can't find file Uninstall.ini!");
}

TEST_F(StartUpChecksTest, VistaWritesTheCompatibilityMark) {
    InstallPackageItems();
    w.SetVersion({2, 6, 0, 6000});
    EXPECT_TRUE(Run());
    EXPECT_EQ(state.osClass, WinVista);
    EXPECT_EQ(w.RegText(Root::CurrentUser,
                        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\"
                        "Compatibility Assistant\\Persisted",
                        "C:\\PKG\\Uninstall.exe"),
              "1");
}

TEST_F(StartUpChecksTest, SpoolerLibraryIsLoadedOnceAndKept) {
    state.spooler.reset();
    EXPECT_TRUE(LoadSpooler(w, state, 0x77));
    EXPECT_TRUE(state.HasDeletePrinterDriverEx());
    EXPECT_EQ(w.SpoolerLibraryFrees(), 1);  // the fixture's own copy, replaced
    w.SetSpoolerLibrary(true, true, false);
    state.spooler.reset();
    EXPECT_TRUE(LoadSpooler(w, state, 0x77));
    EXPECT_FALSE(state.HasDeletePrinterDriverEx());
    w.SetSpoolerLibrary(false, false, false);
    state.spooler.reset();
    EXPECT_FALSE(LoadSpooler(w, state, 0x77));
    ASSERT_EQ(w.MessageBoxes().size(), 1u);
    EXPECT_EQ(w.MessageBoxes()[0].text, "no Winspool lib  ");
    EXPECT_EQ(w.MessageBoxes()[0].caption, "Uninstall");
}

TEST_F(StartUpChecksTest, SelectAllTicksEveryItem) {
    for (const char* text : {"a", "b", "c"}) view.AddItem(text);
    SelectAll(view);
    for (const auto& item : view.Items()) EXPECT_TRUE(item.checked);
}

TEST_F(StartUpChecksTest, HelpOpensTheFileUnlessItsViewerIsOpen) {
    // The main dialog's own title is no help viewer.
    w.AddWindow("Uninstall");
    OpenHelp(w, "Uninstall");
    EXPECT_EQ(w.ShellOpens(), std::vector<std::string>{".\\Uninstall_EN.CHM"});
    // The English file can't be opened: the Chinese one is tried.
    w.SetShellOpenResult(2);
    OpenHelp(w, "Uninstall");
    EXPECT_EQ(w.ShellOpens().size(), 3u);
    EXPECT_EQ(w.ShellOpens().back(), ".\\Uninstall_CN.CHM");
    // An open viewer comes forward instead.
    const plat::Window viewer = w.AddWindow("Uninstall Help", /*iconic=*/true);
    OpenHelp(w, "Uninstall");
    EXPECT_EQ(w.ShellOpens().size(), 3u);
    EXPECT_EQ(w.ForegroundCalls().back(), viewer);
    EXPECT_EQ(w.RestoreCalls().back(), viewer);
}

}  // namespace
