// Package file copies, the core Unidrv files and the driver registration.
#include <cstring>

#include "setup/engine/Messages.h"
#include "setup/engine/tests/StagesMachine.h"
#include "tests/support/SamplePackage.h"

namespace stagestest {
namespace {

class CopyPackageFileTest : public StagesMachine {};

TEST_F(CopyPackageFileTest, CopiesIntoEachDestinationFromTheOsFolder) {
    PutPackageFile("winnt", "A.DLL", "nt");
    PutPackageFile("win98", "A.DLL", "98");
    PutPackageFile("win2003", "A.DLL", "2003");
    PutPackageFile("Vista", "A.DLL", "vista");

    EXPECT_EQ(CopyPackageFile(w, "A.DLL", DestDriverDir, WinXP, false, message), 1);
    EXPECT_EQ(File(std::string(kDriverDir) + "\\A.DLL"), "nt");
    EXPECT_EQ(CopyPackageFile(w, "A.DLL", DestProcessorDir, Win98, false, message), 1);
    EXPECT_EQ(File(std::string(kProcDir) + "\\A.DLL"), "98");
    EXPECT_EQ(CopyPackageFile(w, "A.DLL", DestSystemDir, Win2003, false, message), 1);
    EXPECT_EQ(File(std::string(kSystem) + "\\A.DLL"), "2003");
    EXPECT_EQ(CopyPackageFile(w, "A.DLL", DestDriverDir3, WinVista, false, message), 1);
    EXPECT_EQ(File(std::string(kDriverDir) + "\\3\\A.DLL"), "vista");
    EXPECT_EQ(message, "");
}

TEST_F(CopyPackageFileTest, RenameFlagPutsAnNInFrontOfTheTargetName) {
    PutPackageFile("win98", "ICONLIB.DLL");
    EXPECT_EQ(CopyPackageFile(w, "ICONLIB.DLL", DestSystemDir, Win98, true, message), 1);
    EXPECT_TRUE(w.FileExists(std::string(kSystem) + "\\nICONLIB.DLL"));
    EXPECT_FALSE(w.FileExists(std::string(kSystem) + "\\ICONLIB.DLL"));
}

TEST_F(CopyPackageFileTest, NameBeginningWithZeroIsNoFileButEmptyNameFails) {
    PutPackageFile("winnt", "0A.DLL");
    for (const char* name : {"0", "0A.DLL", "0..\\..\\A.DLL"}) {
        EXPECT_EQ(CopyPackageFile(w, name, DestDriverDir, WinXP, false, message), 0) << name;
        EXPECT_EQ(message, "");
    }
    EXPECT_EQ(w.CallCount("CopyFile"), 0);
    EXPECT_FALSE(w.FileExists(std::string(kDriverDir) + "\\0A.DLL"));

    // An empty name is no "no file": it names no file either, and fails.
    EXPECT_EQ(CopyPackageFile(w, "", DestDriverDir, WinXP, false, message), 0);
    EXPECT_EQ(message, "Copy driver files error  er = 123C:\\PKG\\winnt\\");
}

TEST_F(CopyPackageFileTest, NamesThatAreNoPlainFileNameAreRefusedBeforeAnythingIsWritten) {
    w.PutFile("C:\\QSHELP.DLL", "MZ help");
    PutPackageFile("winnt", "SUB\\A.DLL");
    const char* names[] = {"..\\..\\..\\QSHELP.DLL", "SUB\\A.DLL", "SUB/A.DLL", "\\QSHELP.DLL",
                           "C:QSHELP.DLL", "C:\\QSHELP.DLL", "..", ".", "NUL", "LPT1.DLL"};
    for (const char* name : names) {
        for (bool rename : {false, true}) {
            message.clear();
            EXPECT_EQ(CopyPackageFile(w, name, DestSystemDir, Win2003, rename, message), 0) << name;
            EXPECT_EQ(message, std::string("Copy driver files error") + (rename ? "n" : "") + name +
                                   "  er = 123C:\\PKG\\win2003\\" + name);
            message.clear();
            EXPECT_EQ(ReplacePackageFile(w, name, DestDriverDir3, WinXP, message), 0) << name;
            EXPECT_EQ(message, std::string("Copy driver files error") + name +
                                   "  er = 123C:\\PKG\\winnt\\" + name);
        }
    }
    EXPECT_EQ(w.CallCount("CopyFile"), 0);
    EXPECT_EQ(w.CallCount("SetFileAttributes"), 0);
    EXPECT_EQ(support::FindFiles(w, "C:\\WINDOWS", "QSHELP.DLL"), std::vector<std::string>{});
    EXPECT_EQ(support::FindFiles(w, "C:\\WINDOWS", "A.DLL"), std::vector<std::string>{});

    // Without a working folder the text names the file all the same.
    w.FailCall("GetCurrentDirectory", 3);
    EXPECT_EQ(CopyPackageFile(w, "..\\A.DLL", DestDriverDir, WinXP, false, message), 0);
    EXPECT_EQ(message, "Copy driver files error..\\A.DLL  er = 123\\winnt\\..\\A.DLL");
}

TEST_F(CopyPackageFileTest, FailureTextIsTargetNameErrorAndSourcePath) {
    PutPackageFile("winnt", "OTHER.DLL");
    EXPECT_EQ(CopyPackageFile(w, "QSDRV.DLL", DestDriverDir, WinXP, false, message), 0);
    EXPECT_EQ(message, "Copy driver files errorQSDRV.DLL  er = 2C:\\PKG\\winnt\\QSDRV.DLL");

    PutPackageFile("win98", "ICONLIB.DLL");
    w.FailCall("CopyFile", 112);
    EXPECT_EQ(CopyPackageFile(w, "ICONLIB.DLL", DestDriverDir, Win98, true, message), 0);
    EXPECT_EQ(message, "Copy driver files errornICONLIB.DLL  er = 112C:\\PKG\\win98\\ICONLIB.DLL");
}

TEST_F(CopyPackageFileTest, TargetInUseOrAccessDeniedIsReturnedWithoutText) {
    PutPackageFile("winnt", "MON.DLL");
    w.PutFile(std::string(kSystem) + "\\MON.DLL", "old");
    w.SetFileInUse(std::string(kSystem) + "\\MON.DLL", true);
    EXPECT_EQ(CopyPackageFile(w, "MON.DLL", DestSystemDir, WinXP, false, message), 32);
    EXPECT_EQ(message, "");
    EXPECT_EQ(File(std::string(kSystem) + "\\MON.DLL"), "old");

    w.FailCall("CopyFile", 5);
    EXPECT_EQ(CopyPackageFile(w, "MON.DLL", DestDriverDir, WinXP, false, message), 5);
    EXPECT_EQ(message, "");
}

TEST_F(CopyPackageFileTest, ReadOnlyTargetIsOverwritten) {
    PutPackageFile("winnt", "QSDRV.DLL", "new");
    w.PutFile(std::string(kDriverDir) + "\\QSDRV.DLL", "old", plat::attr::ReadOnly);
    EXPECT_EQ(CopyPackageFile(w, "QSDRV.DLL", DestDriverDir, WinXP, false, message), 1);
    EXPECT_EQ(File(std::string(kDriverDir) + "\\QSDRV.DLL"), "new");
}

TEST_F(CopyPackageFileTest, FolderFailuresHaveTheirOwnTexts) {
    PutPackageFile("winnt", "A.DLL");
    struct Case {
        const char* call;
        int32_t destination;
        const char* text;
    } cases[] = {
        {"GetPrinterDriverDirectory", DestDriverDir, msg::kNoDriverDir},
        {"GetPrinterDriverDirectory", DestDriverDir3, msg::kNoDriverDir},
        {"GetPrintProcessorDirectory", DestProcessorDir, msg::kNoProcessorDir},
        {"GetSystemDirectory", DestSystemDir, msg::kNoSystemDir},
        {"GetCurrentDirectory", DestSystemDir, msg::kNoCurrentDir},
    };
    for (const Case& c : cases) {
        message.clear();
        w.FailCall(c.call, 8);
        EXPECT_EQ(CopyPackageFile(w, "A.DLL", c.destination, WinXP, false, message), 0) << c.call;
        EXPECT_EQ(message, c.text) << c.call;
    }
    message.clear();
    EXPECT_EQ(CopyPackageFile(w, "A.DLL", 12345, WinXP, false, message), 0);
    EXPECT_EQ(message, msg::kBadDirectoryType);
    EXPECT_EQ(w.CallCount("CopyFile"), 0);
}

TEST_F(CopyPackageFileTest, ReplacePackageFileTellsATargetInUse) {
    PutPackageFile("winnt", "MON.DLL");
    w.PutFile(std::string(kSystem) + "\\MON.DLL", "old");
    w.SetFileInUse(std::string(kSystem) + "\\MON.DLL", true);
    EXPECT_EQ(ReplacePackageFile(w, "MON.DLL", DestSystemDir, WinXP, message), 32);
    EXPECT_EQ(message, "Copy driver files errorMON.DLL  er = 32C:\\PKG\\winnt\\MON.DLL");
}

// ---------------------------------------------------------------- core files

class CoreDriverFilesTest : public StagesMachine {
protected:
    void SetUp() override {
        // A Windows 98 machine: the driver folder is the "Windows 4.0" one.
        w.SetLocalEnvironment("Windows 4.0");
        PutPackageFile("win98", "ICONLIB.DLL");
        PutPackageFile("win98", "UNIDRV.DLL", "package unidrv");
    }
    static constexpr const char* kDriverDir98 = "C:\\WINDOWS\\system32\\spool\\drivers\\win40";
};

TEST_F(CoreDriverFilesTest, Win98WithUnidrvInTheSystemFolderCopiesOnlyIconlib) {
    w.PutFile(std::string(kSystem) + "\\UNIDRV.DLL", "system unidrv");
    w.PutFile("C:\\WINDOWS\\Sysbckup\\UNIDRV.DLL", "backup unidrv");
    CopyCoreDriverFiles(w, Win98, false, message);
    EXPECT_EQ(message, "");
    EXPECT_TRUE(w.FileExists(std::string(kDriverDir98) + "\\ICONLIB.DLL"));
    EXPECT_EQ(File(std::string(kSystem) + "\\UNIDRV.DLL"), "system unidrv");
    EXPECT_FALSE(w.FileExists(std::string(kDriverDir98) + "\\UNIDRV.DLL"));
    EXPECT_EQ(w.CallCount("CopyFile"), 1);
}

TEST_F(CoreDriverFilesTest, Win98WithoutUnidrvTakesTheSystemBackupFirst) {
    w.PutFile("C:\\WINDOWS\\Sysbckup\\UNIDRV.DLL", "backup unidrv");
    CopyCoreDriverFiles(w, Win98, false, message);
    EXPECT_EQ(message, "");
    EXPECT_EQ(File(std::string(kSystem) + "\\UNIDRV.DLL"), "backup unidrv");
    EXPECT_FALSE(w.FileExists(std::string(kDriverDir98) + "\\UNIDRV.DLL"));
}

TEST_F(CoreDriverFilesTest, Win98WithoutUnidrvOrBackupTakesThePackagesCopy) {
    CopyCoreDriverFiles(w, Win98, false, message);
    EXPECT_EQ(message, "");
    EXPECT_EQ(File(std::string(kDriverDir98) + "\\UNIDRV.DLL"), "package unidrv");
    EXPECT_FALSE(w.FileExists(std::string(kSystem) + "\\UNIDRV.DLL"));

    // Without the package's copy either, the failure is told.
    w.RemovePath(std::string(kDriverDir98) + "\\UNIDRV.DLL");
    w.RemovePath(std::string(kPkg) + "\\win98\\UNIDRV.DLL");
    CopyCoreDriverFiles(w, Win98, false, message);
    EXPECT_EQ(message, "Copy driver files errorUNIDRV.DLL  er = 2C:\\PKG\\win98\\UNIDRV.DLL");
}

TEST_F(CoreDriverFilesTest, Win98WithoutItsFoldersSaysMemory) {
    w.FailCall("GetWindowsDirectory", 8);
    CopyCoreDriverFiles(w, Win98, false, message);
    EXPECT_EQ(message, msg::kNoMemory);
    EXPECT_FALSE(w.FileExists(std::string(kDriverDir98) + "\\UNIDRV.DLL"));
}

TEST_F(StagesMachine, DdkSupportFilesOnlyFrom2000OnAndTheirFailuresAreSilent) {
    for (const char* file : {"TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL"})
        PutPackageFile("winnt", file);
    CopyCoreDriverFiles(w, WinNT4, true, message);
    CopyCoreDriverFiles(w, WinXP, false, message);
    EXPECT_EQ(w.CallCount("CopyFile"), 0);

    w.FailCall("CopyFile", 2, 1, "TTFSUB.GPD");
    CopyCoreDriverFiles(w, WinXP, true, message);
    EXPECT_EQ(message, "");
    EXPECT_FALSE(w.FileExists(std::string(kDriverDir) + "\\TTFSUB.GPD"));
    EXPECT_TRUE(w.FileExists(std::string(kDriverDir) + "\\STDNAMES.GPD"));
    EXPECT_TRUE(w.FileExists(std::string(kDriverDir) + "\\UNIRES.DLL"));
}

// ---------------------------------------------------------------- driver files

class InstallDriverFilesTest : public StagesMachine {
protected:
    void SetUp() override {
        w.PutFile(kReceiptIni,
                  "[M.XP]\nGDI2KDDKDEV=1\n[M.98]\nGDI2KDDKDEV=0\n[KRT-A100.98]\n"
                  "[KRT-B200 Plus.98]\n[KRT-A100.XP]\n");
        reader.SetModuleKind(Receipt);
        for (const char* folder : {"winnt", "win98"})
            for (const char* file : {"CFG.DLL", "DATA.GPD", "DRV.DLL", "HELP.HLP", "RES.DLL",
                                     "OEMUI.DLL", "OEMUNI.DLL", "OEM.INI", "FONT.TTF",
                                     "TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL", "ICONLIB.DLL",
                                     "DMCOLOR.DLL"})
                PutPackageFile(folder, file);
        w.PutFile(std::string(kSystem) + "\\UNIDRV.DLL", "MZ");
        Set(DriverFileTable::ConfigFile, "CFG.DLL");
        Set(DriverFileTable::DataFile, "DATA.GPD");
        Set(DriverFileTable::DriverPath, "DRV.DLL");
        Set(DriverFileTable::HelpFile, "HELP.HLP");
        Set(DriverFileTable::DataFileDll, "RES.DLL");
        Set(DriverFileTable::OemuiDll, "0");
        Set(DriverFileTable::OemuniDll, "OEMUNI.DLL");
        Set(DriverFileTable::OemuniIni, "0");
        Set(DriverFileTable::ControlFontFile, "FONT.TTF");
        record.cVersion = 3;
        record.pName = "Quillset M";
        record.pDriverPath = "DRV.DLL";
        record.pDataFile = "DATA.GPD";
        record.pConfigFile = "CFG.DLL";
        record.pHelpFile = "HELP.HLP";
    }
    void Set(size_t field, const char* text) { std::strcpy(table.Field(field), text); }
    bool Install(const char* model, int32_t os) {
        return InstallDriverFiles(w, reader, model, os, Gdi, table, record, message);
    }
    bool InDriverDir(const std::string& name) const {
        return w.FileExists(std::string(kDriverDir) + "\\" + name);
    }

    ModelConfigReader reader{w};
    DriverFileTable table;
    DriverRecord record;
};

TEST_F(InstallDriverFilesTest, CopiesTheModelsFilesAndRegistersTheDriver) {
    ASSERT_TRUE(Install("M", WinXP)) << message;
    EXPECT_EQ(message, "");
    for (const char* file : {"CFG.DLL", "DATA.GPD", "DRV.DLL", "HELP.HLP", "RES.DLL",
                             "OEMUNI.DLL", "TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL"})
        EXPECT_TRUE(InDriverDir(file)) << file;
    EXPECT_FALSE(InDriverDir("OEMUI.DLL"));
    EXPECT_FALSE(InDriverDir("0"));
    EXPECT_TRUE(InDriverDir("3\\FONT.TTF"));
    EXPECT_FALSE(InDriverDir("FONT.TTF"));
    ASSERT_EQ(w.Drivers().size(), 1u);
    EXPECT_EQ(w.Drivers()[0].name, "Quillset M");
}

TEST_F(InstallDriverFilesTest, AnEmptyMainFileStopsBeforeAnyCopy) {
    for (size_t field : {DriverFileTable::ConfigFile, DriverFileTable::DataFile,
                         DriverFileTable::DriverPath, DriverFileTable::HelpFile}) {
        SetUp();
        Set(field, "");
        message.clear();
        EXPECT_FALSE(Install("M", WinXP));
        EXPECT_EQ(message, msg::kLostDriverFiles);
    }
    EXPECT_EQ(w.CallCount("CopyFile"), 0);
    EXPECT_TRUE(w.Drivers().empty());
}

TEST_F(InstallDriverFilesTest, StopsAtTheFirstFailedCopyAndAtAnEarlierText) {
    w.RemovePath(std::string(kPkg) + "\\winnt\\DATA.GPD");
    EXPECT_FALSE(Install("M", WinXP));
    EXPECT_EQ(message, "Copy driver files errorDATA.GPD  er = 2C:\\PKG\\winnt\\DATA.GPD");
    EXPECT_TRUE(InDriverDir("CFG.DLL"));
    EXPECT_FALSE(InDriverDir("DRV.DLL"));

    // A text left by an earlier stage stops the run at the first copy.
    SetUp();
    w.RemovePath(std::string(kDriverDir) + "\\CFG.DLL");
    message = "Copy driver files errorQSCOMMON.DLL  er = 2C:\\PKG\\winnt\\QSCOMMON.DLL";
    EXPECT_FALSE(Install("M", WinXP));
    EXPECT_EQ(message, "Copy driver files errorQSCOMMON.DLL  er = 2C:\\PKG\\winnt\\QSCOMMON.DLL");
    EXPECT_TRUE(InDriverDir("CFG.DLL"));
    EXPECT_FALSE(InDriverDir("DRV.DLL"));
    EXPECT_TRUE(w.Drivers().empty());
}

TEST_F(InstallDriverFilesTest, DriverFileInUseIsPassedOver) {
    w.PutFile(std::string(kDriverDir) + "\\DRV.DLL", "old");
    w.SetFileInUse(std::string(kDriverDir) + "\\DRV.DLL", true);
    EXPECT_TRUE(Install("M", WinXP)) << message;
    EXPECT_EQ(File(std::string(kDriverDir) + "\\DRV.DLL"), "old");
}

TEST_F(InstallDriverFilesTest, DdkDriverNeedsItsResourceDll) {
    Set(DriverFileTable::DataFileDll, "");
    EXPECT_FALSE(Install("M", WinXP));
    EXPECT_EQ(message, msg::kLostDriverFiles);
    EXPECT_TRUE(w.Drivers().empty());
}

TEST_F(InstallDriverFilesTest, RegistrationFailureTellsTheErrorNumber) {
    w.FailCall("AddPrinterDriver", 1797);
    EXPECT_FALSE(Install("M", WinXP));
    EXPECT_EQ(message, "Add printer driver error   er = 1797");
}

class DmColorTest : public InstallDriverFilesTest {
protected:
    void SetUp() override {
        InstallDriverFilesTest::SetUp();
        w.SetLocalEnvironment("Windows 4.0");
        record.cVersion = 0;
        record.pEnvironment = kWin98Environment;
        w.PutFolder(std::string(kDriverDir98) + "\\3");
    }
    bool InDriverDir98(const std::string& name) const {
        return w.FileExists(std::string(kDriverDir98) + "\\" + name);
    }
    static constexpr const char* kDriverDir98 = "C:\\WINDOWS\\system32\\spool\\drivers\\win40";
};

TEST_F(DmColorTest, ColourModelsOnWin98TakeDmcolor) {
    EXPECT_TRUE(Install("KRT-A100", Win98)) << message;
    EXPECT_TRUE(InDriverDir98("DMCOLOR.DLL"));
    w.RemovePath(std::string(kDriverDir98) + "\\DMCOLOR.DLL");
    EXPECT_TRUE(Install("KRT-B200 Plus", Win98)) << message;
    EXPECT_TRUE(InDriverDir98("DMCOLOR.DLL"));
    w.RemovePath(std::string(kDriverDir98) + "\\DMCOLOR.DLL");
    EXPECT_TRUE(Install("M", Win98)) << message;
    EXPECT_FALSE(InDriverDir98("DMCOLOR.DLL"));
}

TEST_F(DmColorTest, MissingDmcolorOrAnEarlierCoreTextFailsTheColourModel) {
    w.RemovePath(std::string(kPkg) + "\\win98\\DMCOLOR.DLL");
    EXPECT_FALSE(Install("KRT-A100", Win98));
    EXPECT_EQ(message, "Copy driver files errorDMCOLOR.DLL  er = 2C:\\PKG\\win98\\DMCOLOR.DLL");
    EXPECT_TRUE(w.Drivers().empty());

    // A core-file text fails a colour model only; other models go on.
    SetUp();
    w.RemovePath(std::string(kPkg) + "\\win98\\ICONLIB.DLL");
    message.clear();
    EXPECT_FALSE(Install("KRT-A100", Win98));
    EXPECT_EQ(message, "Copy driver files errorICONLIB.DLL  er = 2C:\\PKG\\win98\\ICONLIB.DLL");
    message.clear();
    EXPECT_TRUE(Install("M", Win98));
    EXPECT_EQ(message, "Copy driver files errorICONLIB.DLL  er = 2C:\\PKG\\win98\\ICONLIB.DLL");
    EXPECT_EQ(w.Drivers().size(), 1u);
}

TEST_F(InstallDriverFilesTest, DmcolorIsNotForTheNtFamily) {
    EXPECT_TRUE(Install("KRT-A100", WinXP)) << message;
    EXPECT_FALSE(InDriverDir("DMCOLOR.DLL"));
}

}  // namespace
}  // namespace stagestest
