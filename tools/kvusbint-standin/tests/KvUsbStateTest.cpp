// Test tooling, not part of Setup: the state file of the KvUsbInt.dll
// stand-in, which the installer's USB tests rely on to attach printers and
// to read back the IDs that Setup wrote.
#include "tools/kvusbint-standin/KvUsbState.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using kvusb::FindPrinterId;
using kvusb::WithPrinterId;

TEST(KvUsbStateParse, FindsPrintersByIndex) {
    const std::string state = "0 5\n2 9\n7 -1\n";
    EXPECT_EQ(FindPrinterId(state, 0), 5);
    EXPECT_EQ(FindPrinterId(state, 1), std::nullopt);
    EXPECT_EQ(FindPrinterId(state, 2), 9);
    EXPECT_EQ(FindPrinterId(state, 7), -1);  // attached, but its ID can't be read
    EXPECT_EQ(FindPrinterId("", 0), std::nullopt);
}

TEST(KvUsbStateParse, AcceptsBlanksAndWindowsLineEnds) {
    EXPECT_EQ(FindPrinterId("  3\t 12  \r\n", 3), 12);
    EXPECT_EQ(FindPrinterId("4 6", 4), 6);  // no final line end
}

TEST(KvUsbStateParse, IgnoresLinesThatAreNoPrinter) {
    const std::string state =
        "# attached printers\n"
        "8 1\n"          // index out of range
        "-1 2\n"         // negative index
        "1\n"            // no ID
        "2 x\n"          // ID not a number
        "3 4 5\n"        // trailing text
        "4 99999999999\n"  // ID beyond 32 bits
        "5 1";           // a printer, without a final line end
    for (int index = 0; index < kvusb::kDeviceCount; ++index) {
        if (index == 5) continue;
        EXPECT_EQ(FindPrinterId(state, index), std::nullopt) << "index " << index;
    }
    EXPECT_EQ(FindPrinterId(state, 5), 1);
}

TEST(KvUsbStateParse, FirstLineOfAnIndexCounts) {
    EXPECT_EQ(FindPrinterId("1 4\n1 6\n", 1), 4);
}

TEST(KvUsbStateEdit, ChangesOnlyTheIdOfThatPrinter) {
    const std::string state = "# bench\r\n0 5\r\n 2  9 \r\nnot a printer\n";
    EXPECT_EQ(WithPrinterId(state, 2, 3), "# bench\r\n0 5\r\n 2  3 \r\nnot a printer\n");
    EXPECT_EQ(WithPrinterId(state, 0, 255), "# bench\r\n0 255\r\n 2  9 \r\nnot a printer\n");
}

TEST(KvUsbStateEdit, ChangesTheFirstLineOfADuplicatedIndex) {
    EXPECT_EQ(WithPrinterId("1 4\n1 6\n", 1, 0), "1 0\n1 6\n");
}

TEST(KvUsbStateEdit, RefusesAPrinterThatIsNotAttached) {
    EXPECT_EQ(WithPrinterId("0 5\n", 1, 2), std::nullopt);
    EXPECT_EQ(WithPrinterId("", 0, 2), std::nullopt);
}

class KvUsbStateFile : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kvusb-state-XXXXXX";
        const int fd = mkstemp(pattern);
        ASSERT_GE(fd, 0);
        close(fd);
        path_ = pattern;
    }
    void TearDown() override {
        std::remove(path_.c_str());
        std::remove((path_ + ".new").c_str());
    }
    std::string path_;
};

TEST_F(KvUsbStateFile, ReplacesAndReadsBack) {
    std::string text;
    ASSERT_TRUE(kvusb::ReplaceStateFile(path_, "0 1\n"));
    ASSERT_TRUE(kvusb::ReadStateFile(path_, text));
    EXPECT_EQ(text, "0 1\n");
    ASSERT_TRUE(kvusb::ReplaceStateFile(path_, "0 2\n3 4\n"));
    ASSERT_TRUE(kvusb::ReadStateFile(path_, text));
    EXPECT_EQ(text, "0 2\n3 4\n");
    EXPECT_NE(access((path_ + ".new").c_str(), F_OK), 0) << "temporary file left behind";
}

TEST_F(KvUsbStateFile, MissingFileIsNoState) {
    std::remove(path_.c_str());
    std::string text = "stale";
    EXPECT_FALSE(kvusb::ReadStateFile(path_, text));
    EXPECT_EQ(text, "");
}

TEST_F(KvUsbStateFile, OversizedFileIsRefused) {
    std::string big(kvusb::kMaxStateBytes + 1, '#');
    ASSERT_TRUE(kvusb::ReplaceStateFile(path_, big));
    std::string text;
    EXPECT_FALSE(kvusb::ReadStateFile(path_, text));
    EXPECT_EQ(text, "");
}

TEST_F(KvUsbStateFile, FailedReplaceKeepsTheOldFile) {
    ASSERT_TRUE(kvusb::ReplaceStateFile(path_, "0 1\n"));
    // A folder where the temporary file would go: it can't be written.
    ASSERT_EQ(mkdir((path_ + ".new").c_str(), 0700), 0);
    EXPECT_FALSE(kvusb::ReplaceStateFile(path_, "0 2\n"));
    rmdir((path_ + ".new").c_str());
    std::string text;
    ASSERT_TRUE(kvusb::ReadStateFile(path_, text));
    EXPECT_EQ(text, "0 1\n");
}

}  // namespace
