#include <gtest/gtest.h>

#include <string>

#include "simwindows/testing/SimTestWindows.h"
#include "setup/engine/Messages.h"
#include "setup/engine/PrinterQueue.h"

namespace {

TEST(PrinterNaming, PortKindByNameInTestOrder) {
    EXPECT_EQ(DerivePortKind("USB_KRT-P58_1"), Usb);
    EXPECT_EQ(DerivePortKind("USB_COM_LPT"), Usb);  // USB_ wins over COM and LPT
    EXPECT_EQ(DerivePortKind("COM2:"), Serial);
    EXPECT_EQ(DerivePortKind("VXCOM3:"), Serial);
    EXPECT_EQ(DerivePortKind("LPTCOM:"), Serial);  // COM is tested before LPT
    EXPECT_EQ(DerivePortKind("LPT1:"), Parallel);
    EXPECT_EQ(DerivePortKind("FILE:"), -1);
    EXPECT_EQ(DerivePortKind("usb_krt_1"), -1);  // the tests are case-sensitive
    EXPECT_EQ(DerivePortKind("com1:"), -1);
    EXPECT_EQ(DerivePortKind(""), -1);
    EXPECT_EQ(DerivePortKind(nullptr), -1);
}

TEST(PrinterNaming, PrinterIdGivesPortNumber) {
    EXPECT_EQ(PrinterIdToPortNumber(0), 1);
    EXPECT_EQ(PrinterIdToPortNumber(2), 3);
    EXPECT_EQ(PrinterIdToPortNumber(7), 8);
    EXPECT_EQ(PrinterIdToPortNumber(9), 2);
    EXPECT_EQ(PrinterIdToPortNumber(-1), 0);
    EXPECT_EQ(PrinterIdToPortNumber(-2), -1);
}

TEST(PrinterNaming, UsbPortNumberIsTheLastMarkFound) {
    EXPECT_EQ(UsbPortNumber("USB_KRT-P58_3"), 3);
    EXPECT_EQ(UsbPortNumber("USB_KRT_4_1"), 4);  // "_4" is tested after "_1"
    EXPECT_EQ(UsbPortNumber("USB_KRT-P58_5"), 0);
    EXPECT_EQ(UsbPortNumber("LPT1:"), 0);
}

TEST(PrinterNaming, SuffixesFollowThePort) {
    char name[kPrinterNameSize] = "KRT-P58";
    AppendUsbSuffixes(name, sizeof name, "USB_KRT-P58_3");
    EXPECT_STREQ(name, "KRT-P58(U) 3");

    char odd[kPrinterNameSize] = "M";
    AppendUsbSuffixes(odd, sizeof odd, "USB_M_2_1");
    EXPECT_STREQ(odd, "M(U) 1(U) 2");

    char serial[kPrinterNameSize] = "KRT-A100";
    AppendPortSuffix(serial, sizeof serial, Serial);
    EXPECT_STREQ(serial, "KRT-A100(S)");
    char parallel[kPrinterNameSize] = "KRT-A100";
    AppendPortSuffix(parallel, sizeof parallel, Parallel);
    EXPECT_STREQ(parallel, "KRT-A100(P)");
    char usb[kPrinterNameSize] = "KRT-A100";
    AppendPortSuffix(usb, sizeof usb, Usb);
    EXPECT_STREQ(usb, "KRT-A100");
}

TEST(PrinterNaming, KrtC3PortTakesTheLastCharacter) {
    EXPECT_EQ(BoundUsbPort("USB_KRT-C3_4"), "USB_KRT-C3_4");
    EXPECT_EQ(BoundUsbPort("USB_KRT-C3S_2"), "USB_KRT-C3_2");
    EXPECT_EQ(BoundUsbPort("USB_KRT-P58_2"), "USB_KRT-P58_2");
}

TEST(PrinterNaming, BoundedTextNeverOverruns) {
    char small[8] = "abc";
    AppendBounded(small, sizeof small, "defghijk");
    EXPECT_STREQ(small, "abcdefg");
    AppendBounded(small, sizeof small, "x");
    EXPECT_STREQ(small, "abcdefg");
    CopyBounded(small, sizeof small, "0123456789");
    EXPECT_STREQ(small, "0123456");
}

class PrinterQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::sim::DriverRecordSim driver;
        driver.name = "Quillset KRT-P58 Receipt";
        driver.environment = "Windows NT x86";
        w.InstallDriver(driver);
        record.pPortName = "LPT1:";
        record.pDriverName = "Quillset KRT-P58 Receipt";
        record.pPrintProcessor = "WinPrint";
    }
    void Existing(const std::string& name) {
        plat::PrinterInfo p;
        p.printerName = name;
        p.portName = "LPT1:";
        p.driverName = "Quillset KRT-P58 Receipt";
        p.printProcessor = "WinPrint";
        w.InstallPrinter(p);
    }
    bool Create(const char* name, bool keepName) {
        CopyBounded(buffer, sizeof buffer, name);
        return CreatePrinterQueue(w, record, buffer, keepName, message);
    }

    plat::SimTestWindows w;
    PrinterRecord record{};
    char buffer[kPrinterNameSize] = {};
    std::string message;
};

TEST_F(PrinterQueueTest, TakenNameIsNumbered) {
    ASSERT_TRUE(Create("KRT-P58(P)", false));
    EXPECT_STREQ(buffer, "KRT-P58(P)");
    EXPECT_EQ(record.pPrinterName, buffer);

    ASSERT_TRUE(Create("KRT-P58(P)", false));
    EXPECT_STREQ(buffer, "KRT-P58(P)(1)");
    Existing("KRT-P58(P)(2)");
    ASSERT_TRUE(Create("KRT-P58(P)", false));
    EXPECT_STREQ(buffer, "KRT-P58(P)(3)");
    EXPECT_TRUE(message.empty());
    ASSERT_TRUE(w.FindPrinter("KRT-P58(P)(3)"));
    EXPECT_EQ(w.FindPrinter("KRT-P58(P)(3)")->portName, "LPT1:");
}

TEST_F(PrinterQueueTest, TakenNameIsRefusedWhenKept) {
    ASSERT_TRUE(Create("KRT-P58(U) 3", true));
    EXPECT_FALSE(Create("KRT-P58(U) 3", true));
    EXPECT_EQ(message, msg::kMaxPrintersOnPort);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(w.Printers().size(), 1u);
}

TEST_F(PrinterQueueTest, AllNumbersTakenIsRefused) {
    Existing("N");
    for (int i = 1; i <= 98; ++i) Existing("N(" + std::to_string(i) + ")");
    EXPECT_FALSE(Create("N", false));
    EXPECT_EQ(message, msg::kMaxPrintersOnPort);
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(w.FindPrinter("N(99)"));
}

TEST_F(PrinterQueueTest, OtherErrorsAreReportedWithTheirNumber) {
    w.FailCall("AddPrinter", plat::err::UnknownPrinterDriver);
    EXPECT_FALSE(Create("KRT-P58(P)", false));
    EXPECT_EQ(message, "Add printer errorer = 1797");
    EXPECT_STREQ(buffer, "");

    // A failure other than a taken name while numbering ends the numbering.
    message.clear();
    Existing("M(P)");
    w.FailCall("AddPrinter", plat::err::AccessDenied, 1, "M(P)(1)");
    EXPECT_FALSE(Create("M(P)", false));
    EXPECT_EQ(message, "Add printer errorer = 5");
    EXPECT_FALSE(w.FindPrinter("M(P)(2)"));
}

TEST(ProbePorts, FailureReadsAsNoMemory) {
    plat::SimTestWindows w;
    std::string message;
    EXPECT_TRUE(ProbePorts(w, message));
    EXPECT_TRUE(message.empty());
    w.FailCall("EnumPorts", plat::err::AccessDenied);
    EXPECT_FALSE(ProbePorts(w, message));
    EXPECT_EQ(message, msg::kNoMemory);
}

}  // namespace
