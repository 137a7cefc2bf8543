// The default printer and the serial-port settings.
#include <algorithm>
#include <iterator>
#include <vector>

#include "setup/engine/tests/StagesMachine.h"

namespace stagestest {
namespace {

// ---------------------------------------------------------------- settings string

TEST(SerialSettingsString, FollowsTheSystemsPortSyntax) {
    EXPECT_EQ(SerialSettingsString(9600, 'n', 8, 1, 'p'), "9600,n,8,1,p");
    EXPECT_EQ(SerialSettingsString(9600, 'n', 8, 1.5, 'x'), "9600,n,8,1.5,x");
    EXPECT_EQ(SerialSettingsString(19200, 'e', 7, 2, ' '), "19200,e,7,2, ");
    EXPECT_EQ(SerialSettingsString(115200, 's', 5, 1, ' '), "115200,s,5,1, ");
}

// ---------------------------------------------------------------- device control block

std::vector<uint8_t> Block(int32_t baud, char parity, int32_t dataBits, double stopBits,
                           char flow) {
    uint8_t block[28];
    std::fill(std::begin(block), std::end(block), 0xAA);  // every byte must be written
    BuildDeviceControlBlock(block, baud, parity, dataBits, stopBits, flow);
    return std::vector<uint8_t>(std::begin(block), std::end(block));
}

uint32_t Flags(const std::vector<uint8_t>& block) {
    return uint32_t(block[8]) | uint32_t(block[9]) << 8 | uint32_t(block[10]) << 16 |
           uint32_t(block[11]) << 24;
}

TEST(DeviceControlBlock, LaysOutThePublishedRecord) {
    const std::vector<uint8_t> expected = {
        0x1c, 0x00, 0x00, 0x00,  // DCBlength
        0x80, 0x25, 0x00, 0x00,  // BaudRate 9600
        0x05, 0x10, 0x00, 0x00,  // fBinary, fOutxCtsFlow, fRtsControl = enable
        0x00, 0x00,              // wReserved
        0x00, 0x00, 0x00, 0x00,  // XonLim, XoffLim
        0x08, 0x00, 0x00,        // ByteSize, Parity, StopBits
        0x00, 0x00, 0x00, 0x00, 0x00,  // XonChar, XoffChar, ErrorChar, EofChar, EvtChar
        0x00, 0x00,              // wReserved1
    };
    EXPECT_EQ(Block(9600, 'n', 8, 1, 'p'), expected);
}

TEST(DeviceControlBlock, ParityCodesAndTheirCheckFlags) {
    constexpr uint32_t kCheck = (1u << 1) | (1u << 10);  // fParity, fErrorChar
    struct Case {
        char parity;
        uint8_t code;
        bool checked;
    } cases[] = {{'e', 2, true},  {'o', 1, true},  {'m', 3, true},
                 {'s', 4, true},  {'n', 0, false}, {'q', 0, false}};
    for (const Case& c : cases) {
        const auto block = Block(2400, c.parity, 7, 1, ' ');
        EXPECT_EQ(block[19], c.code) << c.parity;
        EXPECT_EQ(Flags(block) & kCheck, c.checked ? kCheck : 0u) << c.parity;
        EXPECT_EQ(Flags(block) & 1u, 1u) << c.parity;
    }
}

TEST(DeviceControlBlock, StopBitsAndFlowControl) {
    EXPECT_EQ(Block(9600, 'n', 8, 1, ' ')[20], 0);
    EXPECT_EQ(Block(9600, 'n', 8, 1.5, ' ')[20], 1);
    EXPECT_EQ(Block(9600, 'n', 8, 2, ' ')[20], 2);
    EXPECT_EQ(Block(9600, 'n', 8, 3, ' ')[20], 0);

    const auto xon = Block(9600, 'n', 8, 1, 'x');
    EXPECT_EQ(Flags(xon), 0x301u);  // fBinary, fOutX, fInX
    EXPECT_EQ(xon[21], 0x11);
    EXPECT_EQ(xon[22], 0x13);
    const auto none = Block(9600, 'n', 8, 1, ' ');
    EXPECT_EQ(Flags(none), 0x1u);
    EXPECT_EQ(none[21], 0);
    EXPECT_EQ(none[22], 0);
    EXPECT_EQ(Flags(Block(9600, 'n', 8, 1, 'p')), 0x1005u);
}

// ---------------------------------------------------------------- stored settings

class SerialSettingsTest : public StagesMachine {
protected:
    static constexpr const char* kClass = "System\\CurrentControlSet\\Services\\Class\\Ports\\000";
    void SetUp() override {
        // 0000 a parallel port, 0001 and 0002 serial ports, 0003 missing.
        for (int i = 0; i < 3; ++i)
            w.PutRegValue(plat::Root::LocalMachine, kClass + std::to_string(i), "PortSubClass",
                          plat::regtype::Binary, {static_cast<uint8_t>(i == 0 ? 0 : 1)});
    }
    std::optional<plat::sim::RegValueDump> Dcb(int i) const {
        for (const auto& value : w.DumpValues(plat::Root::LocalMachine, kClass + std::to_string(i)))
            if (value.name == "DCB") return value;
        return std::nullopt;
    }
};

TEST_F(SerialSettingsTest, Win98WritesTheBlockToTheNthSerialPortAndWinIni) {
    WriteSerialSettings98(w, 2, "COM2:", 19200, 7, 2, 'e', 'x');
    ASSERT_TRUE(Dcb(2).has_value());
    EXPECT_EQ(Dcb(2)->type, plat::regtype::None);
    uint8_t expected[28];
    BuildDeviceControlBlock(expected, 19200, 'e', 7, 2, 'x');
    EXPECT_EQ(Dcb(2)->data, std::vector<uint8_t>(std::begin(expected), std::end(expected)));
    EXPECT_FALSE(Dcb(0).has_value());
    EXPECT_FALSE(Dcb(1).has_value());
    EXPECT_EQ(w.profile().GetProfileString("Ports", "COM2:", "none"), "19200,e,7,2,x");
    ASSERT_EQ(w.Broadcasts().size(), 1u);
    EXPECT_EQ(w.Broadcasts()[0].section, "Ports");
    EXPECT_TRUE(w.Broadcasts()[0].notifyOnly);
    EXPECT_EQ(w.CallCount("WriteProfileString"), 2);  // the value, then the flush

    WriteSerialSettings98(w, 1, "COM1:", 9600, 8, 1, 'n', ' ');
    EXPECT_TRUE(Dcb(1).has_value());
    // The blank of "no flow control" is written (a profile read trims it).
    EXPECT_NE(File("C:\\WINDOWS\\win.ini")->find("COM1:=9600,n,8,1, \r\n"), std::string::npos);
}

TEST_F(SerialSettingsTest, Win98ThirdPortGetsOnlyItsWinIniEntry) {
    WriteSerialSettings98(w, 3, "COM3:", 4800, 8, 1.5, 'o', 'p');
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(Dcb(i).has_value()) << i;
    EXPECT_EQ(w.profile().GetProfileString("Ports", "COM3:", "none"), "4800,o,8,1.5,p");
}

TEST_F(SerialSettingsTest, NtWritesTheStringToAnExistingPortsKeyOnly) {
    const char* ports = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
    WriteSerialSettingsNT(w, "COM3:", 9600, 8, 1, 'n', 'p');
    EXPECT_FALSE(w.KeyExists(plat::Root::LocalMachine, ports));

    PutString(ports, "COM1:", "9600,n,8,1");
    WriteSerialSettingsNT(w, "COM3:", 9600, 8, 1, 'n', 'p');
    EXPECT_EQ(Reg(ports, "COM3:"), "9600,n,8,1,p");
    EXPECT_EQ(w.profile().GetProfileString("Ports", "COM3:", "none"), "none");
    EXPECT_TRUE(w.Broadcasts().empty());
}

// ---------------------------------------------------------------- default printer

class DefaultPrinterTest : public StagesMachine {
protected:
    void SetUp() override {
        plat::sim::DriverRecordSim driver;
        driver.name = "Quillset Drv";
        driver.environment = "Windows NT x86";
        w.InstallDriver(driver);
        plat::PrinterInfo printer;
        printer.printerName = "KRT-P58(P)";
        printer.driverName = "Quillset Drv";
        printer.portName = "LPT1:";
        printer.printProcessor = "WinPrint";
        w.InstallPrinter(printer);
    }
    void Platform(uint32_t id, uint32_t major) {
        plat::OsVersion version;
        version.platformId = id;
        version.major = major;
        w.SetVersion(version);
    }
};

TEST_F(DefaultPrinterTest, Win98SetsTheAttributeAndTellsWindows) {
    Platform(1, 4);
    EXPECT_TRUE(MakeDefaultPrinter(w, "KRT-P58(P)"));
    EXPECT_EQ(w.DefaultPrinter(), "KRT-P58(P)");
    ASSERT_EQ(w.Broadcasts().size(), 1u);
    EXPECT_EQ(w.Broadcasts()[0].section, "windows");
    EXPECT_FALSE(w.Broadcasts()[0].notifyOnly);
    EXPECT_EQ(w.CallCount("SetPrinter"), 1);
}

TEST_F(DefaultPrinterTest, Win98PrinterThatCantBeReadOrWrittenStaysAsItWas) {
    // The size question, the record and its write-back each may fail; the
    // printer is then not the default and Windows is told nothing.
    Platform(1, 4);
    for (const char* call : {"GetPrinterSize", "GetPrinter", "SetPrinter"}) {
        SCOPED_TRACE(call);
        w.FailCall(call, plat::err::AccessDenied);
        EXPECT_FALSE(MakeDefaultPrinter(w, "KRT-P58(P)"));
        EXPECT_EQ(w.DefaultPrinter(), "");
        EXPECT_EQ(w.FindPrinter("KRT-P58(P)")->attributes & plat::printer_attr::Default, 0u);
        EXPECT_TRUE(w.Broadcasts().empty());
    }
    EXPECT_TRUE(MakeDefaultPrinter(w, "KRT-P58(P)"));
    EXPECT_EQ(w.DefaultPrinter(), "KRT-P58(P)");
}

TEST_F(DefaultPrinterTest, Nt4WritesTheDeviceLineOfWinIni) {
    Platform(2, 4);
    EXPECT_TRUE(MakeDefaultPrinter(w, "KRT-P58(P)"));
    EXPECT_EQ(w.profile().GetProfileString("windows", "device", ""),
              "KRT-P58(P),Quillset Drv,LPT1:");
    ASSERT_EQ(w.Broadcasts().size(), 1u);
    EXPECT_FALSE(w.Broadcasts()[0].section.has_value());
    EXPECT_EQ(w.CallCount("SetPrinter"), 0);
}

TEST_F(DefaultPrinterTest, Nt4PrinterWithoutDriverOrPortIsNotWritten) {
    Platform(2, 4);
    plat::PrinterInfo printer;
    printer.printerName = "Bare";
    printer.driverName = "Quillset Drv";
    w.InstallPrinter(printer);
    EXPECT_FALSE(MakeDefaultPrinter(w, "Bare"));
    EXPECT_EQ(w.CallCount("WriteProfileString"), 0);
    EXPECT_TRUE(w.Broadcasts().empty());
}

TEST_F(DefaultPrinterTest, Windows2000AndLaterAskTheSpoolerLibrary) {
    Platform(2, 5);
    EXPECT_TRUE(MakeDefaultPrinter(w, "KRT-P58(P)"));
    EXPECT_EQ(w.DefaultPrinter(), "KRT-P58(P)");
    EXPECT_EQ(w.CallCount("SetDefaultPrinter"), 1);
    EXPECT_EQ(w.CallCount("WriteProfileString"), 0);
    EXPECT_EQ(w.CallCount("OpenPrinter"), 0);
    ASSERT_EQ(w.Broadcasts().size(), 1u);
    EXPECT_FALSE(w.Broadcasts()[0].section.has_value());

    Platform(2, 6);
    w.SetSpoolerLibrary(true, false, true);
    EXPECT_FALSE(MakeDefaultPrinter(w, "KRT-P58(P)"));
    w.SetSpoolerLibrary(false, true, true);
    EXPECT_FALSE(MakeDefaultPrinter(w, "KRT-P58(P)"));
    EXPECT_EQ(w.Broadcasts().size(), 1u);
}

TEST_F(DefaultPrinterTest, UnknownOrMissingNameFailsEverywhere) {
    for (uint32_t major : {4u, 5u}) {
        for (uint32_t id : {1u, 2u}) {
            Platform(id, major);
            EXPECT_FALSE(MakeDefaultPrinter(w, "No Such Printer")) << id << "." << major;
            EXPECT_FALSE(MakeDefaultPrinter(w, nullptr));
            EXPECT_FALSE(MakeDefaultPrinter(w, ""));
        }
    }
    EXPECT_EQ(w.DefaultPrinter(), "");
    EXPECT_TRUE(w.Broadcasts().empty());
    EXPECT_EQ(w.CallCount("SetPrinter"), 0);
    EXPECT_EQ(w.CallCount("WriteProfileString"), 0);
}

TEST_F(DefaultPrinterTest, AnUnknownPlatformIsLeftAlone) {
    Platform(0, 3);
    EXPECT_TRUE(MakeDefaultPrinter(w, "KRT-P58(P)"));
    EXPECT_EQ(w.DefaultPrinter(), "");
    EXPECT_TRUE(w.Broadcasts().empty());
}

}  // namespace
}  // namespace stagestest
