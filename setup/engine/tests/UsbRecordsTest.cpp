// The USB installation records under SOFTWARE\TARVELO\.
#include "setup/config/PackageLimits.h"
#include "setup/engine/tests/StagesMachine.h"

namespace stagestest {
namespace {

constexpr const char* kPrinterPort = "SOFTWARE\\TARVELO\\PRINTERPORT\\";
constexpr const char* kPortName = "SOFTWARE\\TARVELO\\PORTNAME\\";
constexpr const char* kInstallPrinter = "SOFTWARE\\TARVELO\\INSTALLPRINTER\\";

class UsbRecordsTest : public StagesMachine {
protected:
    void SetUp() override {
        SetUpIni(
            "[SUPPORTED-USB-DEVICE]\nPRNCOUNT=4\n0=USB_KRT-P58_1\n1=USB_KRT-P58_2\n"
            "2=USB_KRT-P58_3\n3=USB_KRT-A100_4\n");
    }
    std::vector<std::string> Names(const char* key) const {
        std::vector<std::string> names;
        for (const auto& value : w.DumpValues(plat::Root::LocalMachine, key))
            names.push_back(value.name + "=" + value.text);
        return names;
    }
};

TEST_F(UsbRecordsTest, WithoutADeviceListOnlyTheSlotsAreWritten) {
    for (const char* ini : {"[SUPPORTED-USB-DEVICE]\nPRNCOUNT=0\n0=USB_KRT-P58_1\n", ""}) {
        w.RemoveKeyTree(plat::Root::LocalMachine, "SOFTWARE\\TARVELO");
        SetUpIni(ini);
        WriteUsbPortRecords(w, "USB_KRT-P58_1");
        EXPECT_EQ(Names(kPrinterPort),
                  (std::vector<std::string>{"D1=0", "D2=0", "D3=0", "D4=0", "D5=0", "D6=0", "D7=0",
                                            "D8=0"}));
        EXPECT_FALSE(w.KeyExists(plat::Root::LocalMachine, kPortName));
    }
}

TEST_F(UsbRecordsTest, ThePortsPositionAndEverySupportedPortAreRecorded) {
    WriteUsbPortRecords(w, "USB_KRT-P58_3");
    EXPECT_EQ(Names(kPortName), std::vector<std::string>{"USB_KRT-P58_3=2"});
    EXPECT_EQ(Names(kPrinterPort),
              (std::vector<std::string>{"D1=0", "D2=0", "D3=0", "D4=0", "D5=0", "D6=0", "D7=0",
                                        "D8=0", "USB_KRT-P58_1=255", "USB_KRT-P58_2=255",
                                        "USB_KRT-P58_3=255", "USB_KRT-A100_4=255"}));
    MarkUsbPortInstalled(w, "USB_KRT-P58_3");
    EXPECT_EQ(Reg(kPrinterPort, "USB_KRT-P58_3"), "0");
}

TEST_F(UsbRecordsTest, AnUnlistedPortGetsNoPosition) {
    WriteUsbPortRecords(w, "USB_KRT-C3_2");
    WriteUsbPortRecords(w, "usb_krt-p58_1");  // names compare with their case
    EXPECT_FALSE(w.KeyExists(plat::Root::LocalMachine, kPortName));
    EXPECT_EQ(Reg(kPrinterPort, "USB_KRT-P58_1"), "255");
}

TEST_F(UsbRecordsTest, ExistingPortValuesAreKeptAndTheSlotsReset) {
    PutDword(kPrinterPort, "USB_KRT-P58_1", 0);
    PutDword(kPrinterPort, "USB_KRT-P58_2", 7);
    PutDword(kPrinterPort, "D3", 1);
    WriteUsbPortRecords(w, "USB_KRT-P58_2");
    EXPECT_EQ(Reg(kPrinterPort, "USB_KRT-P58_1"), "0");
    EXPECT_EQ(Reg(kPrinterPort, "USB_KRT-P58_2"), "7");
    EXPECT_EQ(Reg(kPrinterPort, "USB_KRT-P58_3"), "255");
    EXPECT_EQ(Reg(kPrinterPort, "D3"), "0");
}

TEST_F(UsbRecordsTest, InstalledPrintersRefreshTheirPortPositions) {
    PutDword(kInstallPrinter, "KRT-A100(U) 4", 1);
    PutDword(kInstallPrinter, "KRT-P58(U) 2", 1);
    PutDword(kInstallPrinter, "KRT-Z9(U) 1", 1);  // no longer in the package
    PutDword(kPortName, "USB_KRT-A100_4", 0);
    WriteUsbPortRecords(w, "USB_KRT-P58_1");
    EXPECT_EQ(Names(kPortName),
              (std::vector<std::string>{"USB_KRT-A100_4=3", "USB_KRT-P58_1=0",
                                        "USB_KRT-P58_2=1"}));
}

TEST_F(UsbRecordsTest, AKeyThatCannotBeCreatedIsPassedOverSilently) {
    // Each of the two keys in turn refuses to be made; the other is still
    // written, and nothing is said.
    struct Case {
        const char* refused;
        std::vector<std::string> portName, printerPort;
    };
    const std::vector<std::string> slots = {"D1=0", "D2=0", "D3=0", "D4=0",
                                            "D5=0", "D6=0", "D7=0", "D8=0"};
    std::vector<std::string> allPorts = slots;
    for (const char* port : {"USB_KRT-P58_1=255", "USB_KRT-P58_2=255", "USB_KRT-P58_3=255",
                             "USB_KRT-A100_4=255"})
        allPorts.push_back(port);
    for (const Case& c : {Case{"PORTNAME", {}, allPorts},
                          Case{"PRINTERPORT", {"USB_KRT-P58_2=1"}, {}}}) {
        SCOPED_TRACE(c.refused);
        w.RemoveKeyTree(plat::Root::LocalMachine, "SOFTWARE\\TARVELO");
        w.ClearFaults();
        w.FailCall("RegCreateKey", plat::err::AccessDenied, -1, c.refused);
        WriteUsbPortRecords(w, "USB_KRT-P58_2");
        EXPECT_EQ(Names(kPortName), c.portName);
        EXPECT_EQ(Names(kPrinterPort), c.printerPort);
        EXPECT_TRUE(w.MessageBoxes().empty());
        // The worker's one value goes where its key is.
        MarkUsbPortInstalled(w, "USB_KRT-P58_2");
        if (c.printerPort.empty())
            EXPECT_TRUE(Names(kPrinterPort).empty());
        else
            EXPECT_EQ(Reg(kPrinterPort, "USB_KRT-P58_2"), "0");
    }
}

TEST_F(UsbRecordsTest, ADamagedDeviceCountIsReadNoFurtherThanTheLimit) {
    for (const char* count : {"2000000000", "40960"}) {
        SetUpIni(std::string("[SUPPORTED-USB-DEVICE]\nPRNCOUNT=") + count + "\n0=USB_KRT-P58_1\n");
        const int before = w.CallCount("GetPrivateProfileString");
        WriteUsbPortRecords(w, "USB_KRT-P58_1");
        // The count and the entries 0 to the limit less one.
        EXPECT_EQ(w.CallCount("GetPrivateProfileString") - before, 1 + kMaxUsbDeviceEntries);
        EXPECT_EQ(Reg(kPortName, "USB_KRT-P58_1"), "0");
    }
    SetUpIni("[SUPPORTED-USB-DEVICE]\nPRNCOUNT=-3\n0=USB_KRT-P58_1\n");
    WriteUsbPortRecords(w, "USB_KRT-P58_1");
    EXPECT_EQ(Reg(kPrinterPort, "D8"), "0");
}

TEST_F(UsbRecordsTest, AnEntryTenTimesOverItsLimitIsReadToTwentyNineCharacters) {
    const std::string port = "USB_" + std::string(296, 'K');
    SetUpIni("[SUPPORTED-USB-DEVICE]\nPRNCOUNT=1\n0=" + port + "\n");
    WriteUsbPortRecords(w, port.substr(0, 29).c_str());
    EXPECT_EQ(Reg(kPortName, port.substr(0, 29)), "0");
    EXPECT_EQ(Reg(kPrinterPort, port.substr(0, 29)), "255");
    EXPECT_FALSE(Reg(kPrinterPort, port).has_value());
}

TEST(UsbPortForPrinterName, MapsThePrinterNameBackToItsPort) {
    EXPECT_EQ(UsbPortForPrinterName("KRT-P58(U) 2"), "USB_KRT-P58_2");
    EXPECT_EQ(UsbPortForPrinterName("KRT-P58(U) 2(1)"), "USB_KRT-P58_2");
    EXPECT_EQ(UsbPortForPrinterName("KRT-P58"), "USB_KRT-P58");
    // Names too short for a port number map to no number, and read nothing
    // past their end.
    EXPECT_EQ(UsbPortForPrinterName("KRT-P58(U) "), "USB_KRT-P58_");
    EXPECT_EQ(UsbPortForPrinterName("("), "USB__");
    EXPECT_EQ(UsbPortForPrinterName(""), "USB_");
}

}  // namespace
}  // namespace stagestest
