// The model's print processor: installed when missing, flagged when
// outdated, replaced.
#include "setup/engine/Messages.h"
#include "setup/engine/tests/StagesMachine.h"

namespace stagestest {
namespace {

class PrintProcessorTest : public StagesMachine {
protected:
    void SetUp() override {
        SetUpIni("[ProcessorVersion]\nDriverVersion=3\n");
        for (const char* folder : {"winnt", "win98", "win2003"})
            PutPackageFile(folder, "QSPROC.DLL", std::string("MZ ") + folder);
    }
    int32_t Check(int32_t os, const char* name, const char* dll = "QSPROC.DLL") {
        return CheckPrintProcessor(w, os, name, dll, message);
    }
    bool Registered(const std::string& name, const std::string& environment) const {
        for (const auto& p : w.Processors())
            if (p.name == name && p.environment == environment) return true;
        return false;
    }
};

TEST_F(PrintProcessorTest, TheSystemsWinPrintNeedsNothing) {
    EXPECT_EQ(Check(WinXP, "WinPrint"), 0);
    EXPECT_EQ(w.CallCount("RegOpenKey"), 0);
    EXPECT_EQ(w.CallCount("CopyFile"), 0);
    EXPECT_EQ(w.CallCount("AddPrintProcessor"), 0);
    EXPECT_FALSE(Reg(std::string(kProcessorsNT) + "WinPrint", "DriverVersion").has_value());
}

TEST_F(PrintProcessorTest, WinPrintInAnotherCaseIsAProcessorOfTheModel) {
    // The registry finds the system's key, which carries no version of ours.
    EXPECT_EQ(Check(WinXP, "winprint"), UpdatePrintProcessor);
    EXPECT_EQ(w.CallCount("RegOpenKey"), 1);
}

TEST_F(PrintProcessorTest, InstalledProcessorIsFlaggedByItsVersion) {
    const std::string key = std::string(kProcessorsNT) + "QSPrint";
    PutString(key, "Driver", "QSPROC.DLL");
    EXPECT_EQ(Check(WinXP, "QSPrint"), UpdatePrintProcessor);  // no version value
    PutDword(key, "DriverVersion", 2);
    EXPECT_EQ(Check(WinXP, "QSPrint"), UpdatePrintProcessor);
    PutDword(key, "DriverVersion", 3);
    EXPECT_EQ(Check(WinXP, "QSPrint"), 0);
    PutDword(key, "DriverVersion", 4);
    EXPECT_EQ(Check(WinXP, "QSPrint"), 0);
    EXPECT_EQ(w.CallCount("AddPrintProcessor"), 0);
    EXPECT_EQ(w.CallCount("CopyFile"), 0);
    EXPECT_EQ(message, "");
}

TEST_F(PrintProcessorTest, MissingProcessorIsInstalledWithThePackagesVersion) {
    EXPECT_EQ(Check(WinXP, "QSPrint"), 0);
    EXPECT_EQ(message, "");
    EXPECT_EQ(File(std::string(kProcDir) + "\\QSPROC.DLL"), "MZ winnt");
    EXPECT_TRUE(Registered("QSPrint", "Windows NT x86"));
    EXPECT_EQ(Reg(std::string(kProcessorsNT) + "QSPrint", "DriverVersion"), "3");
    EXPECT_EQ(w.Sleeps(), std::vector<uint32_t>{200});
}

TEST_F(PrintProcessorTest, ProcessorKeyLiesUnderTheMachinesOwnEnvironment) {
    w.SetLocalEnvironment("Windows x64");
    w.PutFolder("C:\\WINDOWS\\system32\\spool\\prtprocs\\x64");
    const std::string x64 =
        "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Print "
        "Processors\\QSPrint";
    EXPECT_EQ(Check(WinXP, "QSPrint"), 0);
    EXPECT_TRUE(Registered("QSPrint", "Windows x64"));
    EXPECT_EQ(Reg(x64, "DriverVersion"), "3");

    // The version is read where it was written.
    PutDword(std::string(kProcessorsNT) + "QSPrint", "DriverVersion", 1);
    EXPECT_EQ(Check(WinXP, "QSPrint"), 0);
    PutDword(x64, "DriverVersion", 1);
    EXPECT_EQ(Check(WinXP, "QSPrint"), UpdatePrintProcessor);
}

TEST_F(PrintProcessorTest, Win98ProcessorIsRegisteredForWindows40) {
    w.SetLocalEnvironment("Windows 4.0");
    EXPECT_EQ(Check(Win98, "QSPrint"), 0);
    EXPECT_EQ(File("C:\\WINDOWS\\system32\\spool\\prtprocs\\win40\\QSPROC.DLL"), "MZ win98");
    EXPECT_TRUE(Registered("QSPrint", "Windows 4.0"));
    EXPECT_EQ(Reg(std::string(kProcessors98) + "QSPrint", "DriverVersion"), "3");
}

TEST_F(PrintProcessorTest, EveryRegistrationFailureIsFatal) {
    struct Case {
        uint32_t error;
        int32_t result;
    } cases[] = {{plat::err::InvalidParameter, 87},
                 {plat::err::AlreadyExists, 183},
                 {plat::err::PrintProcessorAlreadyInstalled, 3005},
                 {plat::err::AccessDenied, 0}};
    for (const Case& c : cases) {
        w.FailCall("AddPrintProcessor", c.error);
        EXPECT_EQ(RegisterPrintProcessor(w, "QSPrint", "QSPROC.DLL", WinXP), c.result);
        w.FailCall("AddPrintProcessor", c.error);
        message.clear();
        EXPECT_EQ(Check(WinXP, "QSPrint"), -14) << c.error;
        EXPECT_EQ(message, "Add printer processor error\nFatal error, try rebooting the system.");
    }
    EXPECT_FALSE(Reg(std::string(kProcessorsNT) + "QSPrint", "DriverVersion").has_value());
    EXPECT_TRUE(w.Sleeps().empty());
    EXPECT_EQ(RegisterPrintProcessor(w, "QSPrint", "QSPROC.DLL", WinXP), 1);
}

TEST_F(PrintProcessorTest, AbsentProcessorKeysAreNotSkippedButRefused) {
    // A model without processor keys reads "0" for both names.
    EXPECT_EQ(Check(WinXP, "0", "0"), -14);
    EXPECT_EQ(message, msg::kAddProcessorError);
    EXPECT_EQ(w.CallCount("CopyFile"), 0);
    EXPECT_EQ(w.CallCount("AddPrintProcessor"), 1);

    // A failed copy is silent; the registration tells.
    message.clear();
    EXPECT_EQ(Check(WinXP, "QSPrint", "MISSING.DLL"), -14);
    EXPECT_EQ(message, msg::kAddProcessorError);
}

// ---------------------------------------------------------------- replacement

TEST_F(PrintProcessorTest, NtReplacementCopiesFromTheOsFolderAndRecordsTheVersion) {
    const std::string key = std::string(kProcessorsNT) + "QSPrint";
    PutDword(key, "DriverVersion", 1);
    const std::string target = "D:\\PROCS";
    w.PutFile(target + "\\QSPROC.DLL", "old", plat::attr::ReadOnly);
    EXPECT_TRUE(ReplacePrintProcessorNT(w, Win2003, "QSPrint", "QSPROC.DLL", target, 3, message));
    EXPECT_EQ(message, "");
    EXPECT_EQ(File(target + "\\QSPROC.DLL"), "MZ win2003");
    EXPECT_EQ(Reg(key, "DriverVersion"), "3");
}

TEST_F(PrintProcessorTest, NtReplacementFailuresKeepTheOldVersion) {
    const std::string key = std::string(kProcessorsNT) + "QSPrint";
    PutDword(key, "DriverVersion", 1);
    EXPECT_FALSE(ReplacePrintProcessorNT(w, WinXP, "QSPrint", "GONE.DLL", kProcDir, 3, message));
    EXPECT_EQ(message, "Copy driver files errorC:\\PKG\\winnt\\GONE.DLL");

    w.FailCall("GetCurrentDirectory", 8);
    EXPECT_FALSE(ReplacePrintProcessorNT(w, WinXP, "QSPrint", "QSPROC.DLL", kProcDir, 3, message));
    EXPECT_EQ(message, msg::kNoCurrentDir);
    EXPECT_EQ(Reg(key, "DriverVersion"), "1");
}

TEST_F(PrintProcessorTest, Win98ReplacementCopiesBesideADllInUse) {
    w.SetLocalEnvironment("Windows 4.0");
    const std::string dir = "C:\\WINDOWS\\system32\\spool\\prtprocs\\win40";
    w.PutFile(dir + "\\QSPROC.DLL", "old");
    w.SetFileInUse(dir + "\\QSPROC.DLL", true);
    EXPECT_TRUE(ReplacePrintProcessor98(w, "QSPrint", "QSPROC.DLL", 3, message));
    EXPECT_EQ(message, "");
    EXPECT_EQ(File(dir + "\\nQSPROC.DLL"), "MZ win98");
    const std::string key = std::string(kProcessors98) + "QSPrint";
    EXPECT_EQ(Reg(key, "Driver"), "nQSPROC.DLL");
    EXPECT_EQ(Reg(key, "DriverVersion"), "3");

    // Both names held: only a restart helps.
    w.FailCall("CopyFile", plat::err::SharingViolation, 2);
    PutDword(key, "DriverVersion", 2);
    EXPECT_FALSE(ReplacePrintProcessor98(w, "QSPrint", "QSPROC.DLL", 3, message));
    EXPECT_EQ(message, msg::kFatalReboot);
    EXPECT_EQ(Reg(key, "DriverVersion"), "2");
}

TEST_F(PrintProcessorTest, Win98ReplacementWithAFreeDllKeepsItsName) {
    w.SetLocalEnvironment("Windows 4.0");
    EXPECT_TRUE(ReplacePrintProcessor98(w, "QSPrint", "QSPROC.DLL", 3, message));
    const std::string key = std::string(kProcessors98) + "QSPrint";
    EXPECT_EQ(Reg(key, "Driver"), "QSPROC.DLL");
    EXPECT_EQ(Reg(key, "DriverVersion"), "3");
}

}  // namespace
}  // namespace stagestest
