// The USB printer's internal ID, read and written through the USB library.
#include <array>

#include "setup/engine/Messages.h"
#include "setup/engine/UsbCommand.h"
#include "setup/engine/tests/StagesMachine.h"

namespace stagestest {
namespace {

constexpr plat::Window kOwner = 0x7070;

class UsbIdentityTest : public StagesMachine {
protected:
    void SetUp() override {
        w.SetUsbLibraryPresent(true);
        std::array<uint8_t, 5> code;
        std::copy(std::begin(usbcmd::kSetIdPreamble), std::end(usbcmd::kSetIdPreamble),
                  code.begin());
        w.SetUsbSetIdCode(code);
    }
    int32_t Read() { return ReadPrinterId(w, context); }
    bool Write(int32_t port) { return WritePrinterId(w, context, port); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& box : w.MessageBoxes()) texts.push_back(box.text);
        return texts;
    }
    // Every library loaded was freed again.
    void ExpectFreed(int loads) const {
        EXPECT_EQ(w.UsbLoads(), loads);
        EXPECT_EQ(w.UsbFrees(), loads);
    }

    MessageContext context{kOwner, "Install Driver"};
};

TEST_F(UsbIdentityTest, NoPrinterReadsAsMinusOneSilently) {
    EXPECT_EQ(Read(), -1);
    EXPECT_TRUE(w.MessageBoxes().empty());
    // Every answer of the count, "no device" included, is closed again.
    EXPECT_EQ(w.UsbCloseCalls(), std::vector<int32_t>(8, 0));
    ExpectFreed(1);

    w.SetUsbNoDeviceResult(-1);
    EXPECT_EQ(Read(), -1);
    EXPECT_EQ(w.UsbCloseCalls().size(), 16u);
    EXPECT_EQ(w.UsbCloseCalls().back(), -1);
    ExpectFreed(2);
}

TEST_F(UsbIdentityTest, OnePrinterGivesItsIdAndEveryHandleIsClosed) {
    w.AttachUsbPrinter(3, 9);
    EXPECT_EQ(Read(), 9);
    EXPECT_TRUE(w.MessageBoxes().empty());
    const auto closes = w.UsbCloseCalls();
    ASSERT_EQ(closes.size(), 9u);
    for (int i : {0, 1, 2, 4, 5, 6, 7}) EXPECT_EQ(closes[i], 0) << i;
    EXPECT_NE(closes[3], 0);  // the count's handle
    EXPECT_NE(closes[8], 0);  // the handle the ID was read from
    EXPECT_NE(closes[8], closes[3]);
    ExpectFreed(1);
}

TEST_F(UsbIdentityTest, TwoPrintersAreRefusedWithTheirHandlesClosed) {
    w.AttachUsbPrinter(1, 0);
    w.AttachUsbPrinter(5, 2);
    EXPECT_EQ(Read(), -2);
    ASSERT_EQ(w.MessageBoxes().size(), 1u);
    const auto box = w.MessageBoxes()[0];
    EXPECT_EQ(box.text, "Connect just one USB printer to host");
    EXPECT_EQ(box.owner, kOwner);
    EXPECT_EQ(box.caption, "Install Driver");
    EXPECT_EQ(box.flags, plat::mb::Ok);
    const auto closes = w.UsbCloseCalls();
    ASSERT_EQ(closes.size(), 6u);  // the count stops at the second printer
    EXPECT_NE(closes[1], 0);
    EXPECT_NE(closes[5], 0);
    EXPECT_EQ(w.CallCount("GetPrinterInternalID"), 0);
    ExpectFreed(1);
}

TEST_F(UsbIdentityTest, LibraryProblemsOnRead) {
    w.AttachUsbPrinter(0, 4);
    for (const char* entry : {"OpenDeviceX", "GetDescriptor"}) {
        w.SetUsbEntryMissing(entry, true);
        EXPECT_EQ(Read(), -1) << entry;
        w.SetUsbEntryMissing(entry, false);
    }
    EXPECT_EQ(Texts(), (std::vector<std::string>{"open function error", "open function error"}));
    for (const char* entry : {"GetPrinterInternalID", "CloseDevice"}) {
        w.SetUsbEntryMissing(entry, true);
        EXPECT_EQ(Read(), -1) << entry;
        w.SetUsbEntryMissing(entry, false);
    }
    EXPECT_EQ(w.MessageBoxes().size(), 2u);
    EXPECT_EQ(w.CallCount("OpenDeviceX"), 0);
    ExpectFreed(4);

    w.SetUsbLibraryPresent(false);
    EXPECT_EQ(Read(), -1);
    EXPECT_EQ(Texts().back(), "Can not load KvUsbInt.dll");
}

TEST_F(UsbIdentityTest, FailingIdReadIsToldAndTheDeviceClosed) {
    w.AttachUsbPrinter(6, 1);
    w.SetUsbReadIdFails(true);
    EXPECT_EQ(Read(), -1);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Get Device ID error"});
    EXPECT_EQ(w.UsbCloseCalls().size(), 9u);
    EXPECT_NE(w.UsbCloseCalls().back(), 0);
    ExpectFreed(1);
}

TEST_F(UsbIdentityTest, WriteSendsTheTenByteCommandWithThePortLessOne) {
    w.AttachUsbPrinter(2, 0);
    EXPECT_TRUE(Write(3));
    ASSERT_EQ(w.UsbWrites().size(), 1u);
    const auto write = w.UsbWrites()[0];
    EXPECT_EQ(write.deviceIndex, 2);
    std::vector<uint8_t> expected = {0x1B};
    expected.insert(expected.end(), std::begin(usbcmd::kSetIdPreamble),
                    std::end(usbcmd::kSetIdPreamble));
    expected.insert(expected.end(), {0x1D, 0x49, 0x20, 0x02});
    EXPECT_EQ(write.bytes, expected);
    EXPECT_EQ(w.UsbPrinterId(2), 2);
    EXPECT_EQ(w.UsbCloseCalls().size(), 1u);
    EXPECT_TRUE(w.MessageBoxes().empty());
    ExpectFreed(1);

    EXPECT_TRUE(Write(8));
    EXPECT_EQ(w.UsbPrinterId(2), 7);
}

TEST_F(UsbIdentityTest, PortNumbersOutsideOneToEightTouchNothing) {
    w.AttachUsbPrinter(0, 0);
    for (int32_t port : {0, 9, -1, 257, 264})
        EXPECT_FALSE(Write(port)) << port;
    EXPECT_EQ(w.UsbLoads(), 0);
    EXPECT_TRUE(w.MessageBoxes().empty());
    EXPECT_EQ(w.UsbPrinterId(0), 0);
}

TEST_F(UsbIdentityTest, WriteFailuresAreToldAndCloseTheDevice) {
    EXPECT_FALSE(Write(1));
    EXPECT_EQ(Texts(), std::vector<std::string>{"Can not find USB device."});
    EXPECT_TRUE(w.UsbWrites().empty());

    w.AttachUsbPrinter(4, 5);
    w.SetUsbWriteFails(true);
    EXPECT_FALSE(Write(1));
    EXPECT_EQ(Texts().back(), "write ID error");
    EXPECT_EQ(w.UsbCloseCalls().size(), 1u);
    EXPECT_EQ(w.UsbPrinterId(4), 5);

    for (const char* entry : {"OpenDeviceX", "uWrite", "CloseDevice"}) {
        w.SetUsbEntryMissing(entry, true);
        EXPECT_FALSE(Write(1)) << entry;
        EXPECT_EQ(Texts().back(), "open function error");
        w.SetUsbEntryMissing(entry, false);
    }
    ExpectFreed(5);

    w.SetUsbLibraryPresent(false);
    EXPECT_FALSE(Write(1));
    EXPECT_EQ(Texts().back(), "Can not load KvUsbInt.dll");
}

}  // namespace
}  // namespace stagestest
