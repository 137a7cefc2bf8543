// The port monitors: installed when missing, flagged when outdated, replaced.
#include "setup/engine/Messages.h"
#include "setup/engine/tests/StagesMachine.h"

namespace stagestest {
namespace {

constexpr const char* kSerial = "Quillset Serial Port Monitor";
constexpr const char* kUsb = "Quillset USB Port Monitor";

std::string MonitorSection(const char* suffix) {
    return std::string("[COMMON-MONITOR") + suffix +
           "]\nUSBMONitorPName=Quillset USB Port Monitor\nUSBMONitorPDLLName=QSUSBMON.DLL\n"
           "USBMONitorPUIDLLName=QSUSBUI.DLL\nUSBMONitorVersion=5\n"
           "COMMONitorPName=Quillset Serial Port Monitor\nCOMMONitorPDLLName=QSCOMMON.DLL\n"
           "COMMONitorPUIDLLName=QSCOMUI.DLL\nCOMMONitorVersion=7\n";
}

class MonitorsTest : public StagesMachine {
protected:
    void SetUp() override {
        SetUpIni(MonitorSection(".98") + MonitorSection(".NT") + MonitorSection(".XP"));
        for (const char* folder : {"winnt", "win98"})
            for (const char* file : {"QSUSBMON.DLL", "QSUSBUI.DLL", "QSCOMMON.DLL", "QSCOMUI.DLL"})
                PutPackageFile(folder, file);
    }
    int32_t Check(int32_t os, const char* port) {
        return CheckPortMonitors(w, reader, os, port, message);
    }
    bool Registered(const std::string& name, const std::string& dll = {}) const {
        for (const auto& m : w.Monitors())
            if (m.name == name && (dll.empty() || m.dll == dll)) return true;
        return false;
    }
    std::string Key(const char* name) const { return std::string(kMonitors) + name; }
    bool InSystem(const std::string& file) const {
        return w.FileExists(std::string(kSystem) + "\\" + file);
    }

    ModelConfigReader reader{w};
};

TEST_F(MonitorsTest, ParallelPortReadsAndInstallsNothing) {
    EXPECT_EQ(Check(WinXP, "LPT1:"), 0);
    EXPECT_EQ(w.CallCount("GetPrivateProfileString"), 0);
    EXPECT_EQ(w.CallCount("RegOpenKey"), 0);
    EXPECT_EQ(w.CallCount("AddMonitor"), 0);
    EXPECT_EQ(message, "");
}

TEST_F(MonitorsTest, MissingSerialMonitorIsInstalledWithItsVersion) {
    // The maker's serial ports count as serial ports.
    EXPECT_EQ(Check(WinXP, "VXCOM3:"), 0);
    EXPECT_EQ(message, "");
    EXPECT_TRUE(InSystem("QSCOMMON.DLL"));
    EXPECT_TRUE(InSystem("QSCOMUI.DLL"));
    EXPECT_TRUE(Registered(kSerial, "QSCOMMON.DLL"));
    EXPECT_EQ(Reg(Key(kSerial), "DriverVersion"), "7");
    EXPECT_FALSE(Registered(kUsb));
    EXPECT_FALSE(InSystem("QSUSBMON.DLL"));
}

TEST_F(MonitorsTest, MissingUsbMonitorIsInstalledWithItsVersion) {
    EXPECT_EQ(Check(WinXP, "USB_KRT-P58_1"), 0);
    EXPECT_EQ(message, "");
    EXPECT_TRUE(InSystem("QSUSBMON.DLL"));
    EXPECT_TRUE(InSystem("QSUSBUI.DLL"));
    EXPECT_TRUE(Registered(kUsb, "QSUSBMON.DLL"));
    EXPECT_EQ(Reg(Key(kUsb), "DriverVersion"), "5");
    EXPECT_FALSE(Registered(kSerial));
}

TEST_F(MonitorsTest, InstalledMonitorIsFlaggedByItsVersionAndLeftAlone) {
    struct Case {
        const char* port;
        const char* monitor;
        std::optional<uint32_t> installed;
        int32_t expected;
    } cases[] = {
        {"COM1:", kSerial, 6, UpdateSerialMonitor},
        {"COM1:", kSerial, std::nullopt, UpdateSerialMonitor},
        {"COM1:", kSerial, 7, 0},
        {"COM1:", kSerial, 0xFFFFFFFFu, 0},  // the comparison is unsigned
        {"USB_M_2", kUsb, 4, UpdateUsbMonitor},
        {"USB_M_2", kUsb, std::nullopt, UpdateUsbMonitor},
        {"USB_M_2", kUsb, 5, 0},
        {"USB_M_2", kUsb, 9, 0},
    };
    for (const Case& c : cases) {
        w.RemoveKeyTree(plat::Root::LocalMachine, Key(c.monitor));
        PutString(Key(c.monitor), "Driver", "OLD.DLL");
        if (c.installed) PutDword(Key(c.monitor), "DriverVersion", *c.installed);
        EXPECT_EQ(Check(WinXP, c.port), c.expected) << c.port << " " << c.installed.value_or(-1);
    }
    EXPECT_EQ(w.CallCount("CopyFile"), 0);
    EXPECT_EQ(w.CallCount("AddMonitor"), 0);
    EXPECT_EQ(Reg(Key(kUsb), "Driver"), "OLD.DLL");
    EXPECT_EQ(message, "");
}

TEST_F(MonitorsTest, AlreadyInstalledAnswersCountAsSuccess) {
    // The spooler knows the monitor although its key was missing a moment ago.
    for (uint32_t error : {plat::err::PrintMonitorAlreadyInstalled, plat::err::AlreadyExists}) {
        w.RemoveKeyTree(plat::Root::LocalMachine, Key(kSerial));
        PutString(Key(kSerial), "Driver", "QSCOMMON.DLL");
        w.FailCall("RegOpenKey", plat::err::FileNotFound, 1, kSerial);
        w.FailCall("AddMonitor", error);
        EXPECT_EQ(Check(WinXP, "COM1:"), 0) << error;
        EXPECT_EQ(message, "");
        EXPECT_EQ(Reg(Key(kSerial), "DriverVersion"), "7");
    }
}

TEST_F(MonitorsTest, OtherRegistrationFailureFailsTheStageWithItsNumber) {
    w.FailCall("AddMonitor", plat::err::AccessDenied);
    EXPECT_EQ(Check(WinXP, "USB_M_1"), -15);
    EXPECT_EQ(message, "Add monitor error! Erro code is:5");
    EXPECT_FALSE(Reg(Key(kUsb), "DriverVersion").has_value());
}

TEST_F(MonitorsTest, WithoutASectionForTheOsTheMonitorIsNamedZeroAndRefused) {
    EXPECT_EQ(Check(WinVista, "COM1:"), -15);
    EXPECT_EQ(message, "Add monitor error! Erro code is:126");
    EXPECT_EQ(w.CallCount("CopyFile"), 0);  // "0" is no file
}

TEST_F(MonitorsTest, UsbDllInUseIsCopiedUnderANewNameAndRegisteredSo) {
    w.PutFile(std::string(kSystem) + "\\QSUSBMON.DLL", "old");
    w.SetFileInUse(std::string(kSystem) + "\\QSUSBMON.DLL", true);
    EXPECT_EQ(Check(WinXP, "USB_M_1"), 0);
    EXPECT_EQ(message, "");
    EXPECT_EQ(File(std::string(kSystem) + "\\QSUSBMON.DLL"), "old");
    EXPECT_EQ(File(std::string(kSystem) + "\\nQSUSBMON.DLL"), "MZ new");
    EXPECT_TRUE(Registered(kUsb, "nQSUSBMON.DLL"));
    EXPECT_EQ(Reg(Key(kUsb), "DriverVersion"), "5");
}

TEST_F(MonitorsTest, SerialCopyFailureIsToldButTheStageGoesOn) {
    w.RemovePath(std::string(kPkg) + "\\winnt\\QSCOMUI.DLL");
    EXPECT_EQ(Check(WinXP, "COM1:"), 0);
    EXPECT_EQ(message, "Copy driver files errorQSCOMUI.DLL  er = 2C:\\PKG\\winnt\\QSCOMUI.DLL");
    EXPECT_TRUE(Registered(kSerial));
}

TEST_F(MonitorsTest, UsbCopyFailuresAreSilentAndShowInTheRegistration) {
    w.RemovePath(std::string(kPkg) + "\\winnt\\QSUSBUI.DLL");
    EXPECT_EQ(Check(WinXP, "USB_M_1"), 0);
    EXPECT_EQ(message, "");
    EXPECT_TRUE(Registered(kUsb));

    w.RemoveKeyTree(plat::Root::LocalMachine, Key(kUsb));
    ASSERT_EQ(w.spooler().DeleteMonitor(nullptr, kUsb), 0u);
    w.RemovePath(std::string(kSystem) + "\\QSUSBMON.DLL");
    w.RemovePath(std::string(kPkg) + "\\winnt\\QSUSBMON.DLL");
    EXPECT_EQ(Check(WinXP, "USB_M_1"), -15);
    EXPECT_EQ(message, "Add monitor error! Erro code is:126");
}

TEST_F(MonitorsTest, MonitorsByWindowsVersion) {
    // No serial monitor on Windows 98, no USB monitor on NT 4.0.
    EXPECT_EQ(Check(Win98, "COM1:"), 0);
    EXPECT_EQ(Check(WinNT4, "USB_M_1"), 0);
    EXPECT_EQ(w.CallCount("AddMonitor"), 0);
    EXPECT_EQ(w.CallCount("CopyFile"), 0);

    // The NT family registers for the local environment (none named).
    w.FailCall("AddMonitor", 1234, 1, "Windows");
    EXPECT_EQ(Check(WinNT4, "COM1:"), 0);
    EXPECT_TRUE(Registered(kSerial));
}

TEST_F(MonitorsTest, Win98UsbMonitorIsRegisteredForWindows40) {
    w.SetLocalEnvironment("Windows 4.0");
    EXPECT_EQ(Check(Win98, "USB_M_1"), 0);
    EXPECT_EQ(message, "");
    EXPECT_TRUE(Registered(kUsb, "QSUSBMON.DLL"));
    EXPECT_EQ(Reg(Key(kUsb), "DriverVersion"), "5");

    // The environment is passed by name: a failure injected for that name hits.
    w.RemoveKeyTree(plat::Root::LocalMachine, Key(kUsb));
    w.FailCall("AddMonitor", 1234, 1, "Windows 4.0");
    EXPECT_EQ(Check(Win98, "USB_M_1"), -15);
    EXPECT_EQ(message, "Add monitor error! Erro code is:1234");
}

// ---------------------------------------------------------------- replacement

class ReplaceMonitorTest : public MonitorsTest {
protected:
    void SetUp() override {
        MonitorsTest::SetUp();
        for (const char* file : {"QSUSBMON.DLL", "QSCOMMON.DLL"})
            w.PutFile(std::string(kSystem) + "\\" + file, "old");
        PutString(Key(kSerial), "Driver", "QSCOMMON.DLL");
        PutDword(Key(kSerial), "DriverVersion", 6);
        PutString(Key(kUsb), "Driver", "nQSUSBMON.DLL");
        PutDword(Key(kUsb), "DriverVersion", 4);
    }
    MonitorSettings Settings(int32_t os) {
        MonitorSettings settings;
        reader.ReadMonitorSettings(os, settings);
        return settings;
    }
};

TEST_F(ReplaceMonitorTest, NtReplacesTheSerialDllAndItsVersion) {
    EXPECT_TRUE(ReplaceMonitorNT(w, Settings(WinXP), UpdateSerialMonitor, WinXP, message));
    EXPECT_EQ(message, "");
    EXPECT_EQ(File(std::string(kSystem) + "\\QSCOMMON.DLL"), "MZ new");
    EXPECT_EQ(Reg(Key(kSerial), "DriverVersion"), "7");
    EXPECT_EQ(Reg(Key(kSerial), "Driver"), "QSCOMMON.DLL");
    EXPECT_FALSE(w.FileExists(std::string(kSystem) + "\\QSCOMUI.DLL"));
    EXPECT_EQ(File(std::string(kSystem) + "\\QSUSBMON.DLL"), "old");
}

TEST_F(ReplaceMonitorTest, NtReplacesTheUsbDllAndRecordsItsName) {
    EXPECT_TRUE(ReplaceMonitorNT(w, Settings(WinXP), UpdateUsbMonitor, WinXP, message));
    EXPECT_EQ(File(std::string(kSystem) + "\\QSUSBMON.DLL"), "MZ new");
    EXPECT_EQ(Reg(Key(kUsb), "Driver"), "QSUSBMON.DLL");
    EXPECT_EQ(Reg(Key(kUsb), "DriverVersion"), "5");
}

TEST_F(ReplaceMonitorTest, NtReplacementThatCannotCopyFailsAndRecordsNothing) {
    w.SetFileInUse(std::string(kSystem) + "\\QSUSBMON.DLL", true);
    EXPECT_FALSE(ReplaceMonitorNT(w, Settings(WinXP), UpdateUsbMonitor, WinXP, message));
    EXPECT_EQ(message, "Copy driver files errorQSUSBMON.DLL  er = 32C:\\PKG\\winnt\\QSUSBMON.DLL");
    EXPECT_EQ(Reg(Key(kUsb), "DriverVersion"), "4");
    EXPECT_EQ(Reg(Key(kUsb), "Driver"), "nQSUSBMON.DLL");

    message.clear();
    w.RemovePath(std::string(kPkg) + "\\winnt\\QSCOMMON.DLL");
    EXPECT_FALSE(ReplaceMonitorNT(w, Settings(WinXP), UpdateSerialMonitor, WinXP, message));
    EXPECT_EQ(message, "Copy driver files errorQSCOMMON.DLL  er = 2C:\\PKG\\winnt\\QSCOMMON.DLL");
    EXPECT_EQ(Reg(Key(kSerial), "DriverVersion"), "6");
}

TEST_F(ReplaceMonitorTest, Win98CopiesBesideADllInUseAndRecordsTheNewName) {
    w.RemoveKeyTree(plat::Root::LocalMachine, Key(kUsb));
    w.SetFileInUse(std::string(kSystem) + "\\QSUSBMON.DLL", true);
    EXPECT_TRUE(ReplaceUsbMonitor98(w, Settings(Win98), message));
    EXPECT_EQ(message, "");
    EXPECT_EQ(File(std::string(kSystem) + "\\nQSUSBMON.DLL"), "MZ new");
    EXPECT_EQ(Reg(Key(kUsb), "Driver"), "nQSUSBMON.DLL");
    EXPECT_EQ(Reg(Key(kUsb), "DriverVersion"), "5");
}

TEST_F(ReplaceMonitorTest, Win98WithBothNamesInUseAsksForARestart) {
    w.FailCall("CopyFile", plat::err::SharingViolation, 2);
    EXPECT_FALSE(ReplaceUsbMonitor98(w, Settings(Win98), message));
    EXPECT_EQ(message, msg::kFatalReboot);
    EXPECT_EQ(Reg(Key(kUsb), "DriverVersion"), "4");

    message.clear();
    w.FailCall("CopyFile", plat::err::AccessDenied);
    w.FailCall("CopyFile", plat::err::SharingViolation);
    EXPECT_FALSE(ReplaceUsbMonitor98(w, Settings(Win98), message));
    EXPECT_EQ(message, msg::kFatalReboot);
}

TEST_F(ReplaceMonitorTest, Win98CopyFailureRecordsNothing) {
    w.RemovePath(std::string(kPkg) + "\\win98\\QSUSBMON.DLL");
    EXPECT_FALSE(ReplaceUsbMonitor98(w, Settings(Win98), message));
    EXPECT_EQ(message, "Copy driver files errorQSUSBMON.DLL  er = 2C:\\PKG\\win98\\QSUSBMON.DLL");
    EXPECT_EQ(Reg(Key(kUsb), "DriverVersion"), "4");
    EXPECT_EQ(Reg(Key(kUsb), "Driver"), "nQSUSBMON.DLL");
}

}  // namespace
}  // namespace stagestest
