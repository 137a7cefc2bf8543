#include "common/RegistryKey.h"

#include <gtest/gtest.h>

#include <cstring>

#include "simwindows/testing/SimTestWindows.h"

using plat::Root;
namespace err = plat::err;

namespace {

constexpr const char* kPath = "SOFTWARE\\TARVELO\\PORTNAME";

class RegistryKeyTest : public ::testing::Test {
protected:
    plat::SimTestWindows win;
};

TEST_F(RegistryKeyTest, OpenOnMissingPathFailsLeavesKeyClosedAndCreatesNothing) {
    RegistryKey key(win);
    EXPECT_FALSE(key.Open(Root::LocalMachine, kPath));
    EXPECT_FALSE(key.IsOpen());
    EXPECT_EQ(key.LastError(), err::FileNotFound);
    EXPECT_FALSE(win.KeyExists(Root::LocalMachine, kPath));

    uint32_t error = 0;
    EXPECT_FALSE(key.SetDword("USB_X_1", 1, &error));
    // No call reached the registry: the error says so instead of a stale 0.
    EXPECT_EQ(error, err::InvalidHandle);
    EXPECT_FALSE(win.KeyExists(Root::LocalMachine, kPath));
    EXPECT_FALSE(key.Close());
}

TEST_F(RegistryKeyTest, OpenWhileHeldClosesTheOldKeyAlsoWhenTheNewOpenFails) {
    win.PutRegDword(Root::LocalMachine, kPath, "A", 7);
    RegistryKey key(win);
    ASSERT_TRUE(key.Open(Root::LocalMachine, kPath));
    EXPECT_FALSE(key.Open(Root::LocalMachine, "SOFTWARE\\Nowhere"));
    EXPECT_FALSE(key.IsOpen());
    // Nothing may land in the key held before.
    EXPECT_FALSE(key.SetDword("B", 1));
    EXPECT_EQ(win.DumpValues(Root::LocalMachine, kPath).size(), 1u);

    // And an open over an open key moves to the new one.
    win.PutRegDword(Root::CurrentUser, "Software\\Other", "C", 1);
    ASSERT_TRUE(key.Open(Root::LocalMachine, kPath));
    ASSERT_TRUE(key.Open(Root::CurrentUser, "Software\\Other"));
    EXPECT_TRUE(key.SetDword("D", 2));
    EXPECT_EQ(win.RegText(Root::CurrentUser, "Software\\Other", "D"), "2");
    EXPECT_FALSE(win.RegText(Root::LocalMachine, kPath, "D").has_value());
}

TEST_F(RegistryKeyTest, CloseTwiceAndDestructorRelease) {
    win.PutRegDword(Root::LocalMachine, kPath, "A", 7);
    RegistryKey key(win);
    ASSERT_TRUE(key.Open(Root::LocalMachine, kPath));
    EXPECT_TRUE(key.Close());
    EXPECT_FALSE(key.Close());
    EXPECT_FALSE(key.IsOpen());
}

TEST_F(RegistryKeyTest, SetStringWritesTheTerminatorAlsoForAnEmptyText) {
    win.PutRegDword(Root::LocalMachine, kPath, "A", 7);
    RegistryKey key(win);
    ASSERT_TRUE(key.Open(Root::LocalMachine, kPath));
    ASSERT_TRUE(key.SetString("Empty", ""));
    ASSERT_TRUE(key.SetString("Port", "USB_X_1"));

    bool sawEmpty = false, sawPort = false;
    for (const auto& v : win.DumpValues(Root::LocalMachine, kPath)) {
        if (v.name == "Empty") {
            sawEmpty = true;
            EXPECT_EQ(v.type, plat::regtype::Sz);
            EXPECT_EQ(v.data, std::vector<uint8_t>{0});
        } else if (v.name == "Port") {
            sawPort = true;
            EXPECT_EQ(v.type, plat::regtype::Sz);
            EXPECT_EQ(v.data.size(), 8u);
            EXPECT_EQ(v.data.back(), 0);
        }
    }
    EXPECT_TRUE(sawEmpty && sawPort);
}

TEST_F(RegistryKeyTest, LastErrorIsThePlatformsNumberForTheLatestCall) {
    win.PutRegDword(Root::LocalMachine, kPath, "A", 7);
    RegistryKey key(win);
    ASSERT_TRUE(key.Open(Root::LocalMachine, kPath));
    EXPECT_EQ(key.LastError(), err::Success);

    win.FailCall("RegSetValue", err::AccessDenied);
    uint32_t error = 0;
    EXPECT_FALSE(key.SetDword("B", 1, &error));
    EXPECT_EQ(error, err::AccessDenied);
    EXPECT_EQ(key.LastError(), err::AccessDenied);
    EXPECT_FALSE(win.RegText(Root::LocalMachine, kPath, "B").has_value());

    EXPECT_TRUE(key.SetString("B", "x", &error));
    EXPECT_EQ(error, err::Success);

    uint32_t value = 0;
    EXPECT_FALSE(key.QueryDword("Missing", value, &error));
    EXPECT_EQ(error, err::FileNotFound);
    EXPECT_EQ(key.LastError(), err::FileNotFound);
}

TEST_F(RegistryKeyTest, QueryDwordReadsAndLeavesTheTargetAloneOnFailure) {
    win.PutRegDword(Root::LocalMachine, kPath, "DriverVersion", 0x01020304);
    win.PutRegValue(Root::LocalMachine, kPath, "Short", plat::regtype::Binary, {0x05, 0x01});
    RegistryKey key(win);
    ASSERT_TRUE(key.Open(Root::LocalMachine, kPath));

    uint32_t value = 0;
    EXPECT_TRUE(key.QueryDword("DriverVersion", value));
    EXPECT_EQ(value, 0x01020304u);

    value = 0xFFFFFFFF;
    EXPECT_TRUE(key.QueryDword("Short", value));
    EXPECT_EQ(value, 0x0105u);

    value = 42;
    EXPECT_FALSE(key.QueryDword("Missing", value));
    EXPECT_EQ(value, 42u);

    // Closed: no call, no change.
    key.Close();
    uint32_t error = 0;
    EXPECT_FALSE(key.QueryDword("DriverVersion", value, &error));
    EXPECT_EQ(value, 42u);
    EXPECT_EQ(error, err::InvalidHandle);
}

TEST_F(RegistryKeyTest, QueryStringAlwaysLeavesATerminatedBuffer) {
    win.PutRegString(Root::LocalMachine, kPath, "Name", "USB_X_1");
    win.PutRegValue(Root::LocalMachine, kPath, "Bare4", plat::regtype::Sz, {'a', 'b', 'c', 'd'});
    win.PutRegValue(Root::LocalMachine, kPath, "Bare2", plat::regtype::Sz, {'a', 'b'});
    RegistryKey key(win);
    ASSERT_TRUE(key.Open(Root::LocalMachine, kPath));

    char buffer[8];
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_TRUE(key.QueryString("Name", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "USB_X_1");

    // Too long for the buffer with its terminator: fails, buffer empty.
    std::memset(buffer, 'Z', sizeof buffer);
    uint32_t error = 0;
    EXPECT_FALSE(key.QueryString("Name", buffer, 4, &error));
    EXPECT_EQ(error, err::MoreData);
    EXPECT_EQ(buffer[0], '\0');

    // Stored without a terminator: filling the buffer exactly is refused,
    // a shorter one gets its terminator added.
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_FALSE(key.QueryString("Bare4", buffer, 4, &error));
    EXPECT_EQ(error, err::MoreData);
    EXPECT_EQ(buffer[0], '\0');
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_TRUE(key.QueryString("Bare2", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "ab");

    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_FALSE(key.QueryString("Missing", buffer, sizeof buffer, &error));
    EXPECT_EQ(error, err::FileNotFound);
    EXPECT_EQ(buffer[0], '\0');

    EXPECT_FALSE(key.QueryString("Name", nullptr, 0, &error));
    EXPECT_EQ(error, err::InvalidParameter);
}

TEST_F(RegistryKeyTest, CreateKeyMakesEveryLevelAndKeepsTheValuesOfAnExistingKey) {
    EXPECT_TRUE(RegistryKey::CreateKey(win, Root::LocalMachine, "SOFTWARE\\TARVELO\\A\\B"));
    EXPECT_TRUE(win.KeyExists(Root::LocalMachine, "SOFTWARE\\TARVELO\\A\\B"));

    win.PutRegDword(Root::LocalMachine, kPath, "USB_X_1", 3);
    win.PutRegString(Root::LocalMachine, kPath, "Text", "keep");
    EXPECT_TRUE(RegistryKey::CreateKey(win, Root::LocalMachine, kPath));
    EXPECT_EQ(win.RegText(Root::LocalMachine, kPath, "USB_X_1"), "3");
    EXPECT_EQ(win.RegText(Root::LocalMachine, kPath, "Text"), "keep");

    win.FailCall("RegCreateKey", err::AccessDenied);
    EXPECT_FALSE(RegistryKey::CreateKey(win, Root::LocalMachine, "SOFTWARE\\Denied"));
    EXPECT_FALSE(win.KeyExists(Root::LocalMachine, "SOFTWARE\\Denied"));
}

TEST_F(RegistryKeyTest, EnumValueWalksToTheEndAndRefusesAClosedKey) {
    win.PutRegDword(Root::LocalMachine, kPath, "First", 1);
    win.PutRegDword(Root::LocalMachine, kPath, "SecondLongerName", 2);
    RegistryKey key(win);

    // A closed key must not answer "a value was returned", or a caller that
    // enumerates until a failure would never stop.
    std::string name = "untouched";
    EXPECT_EQ(key.EnumValue(0, name, 200), err::InvalidHandle);
    EXPECT_EQ(name, "untouched");

    ASSERT_TRUE(key.Open(Root::LocalMachine, kPath));
    EXPECT_EQ(key.EnumValue(0, name, 200), err::Success);
    EXPECT_EQ(name, "First");
    EXPECT_EQ(key.EnumValue(1, name, 200), err::Success);
    EXPECT_EQ(name, "SecondLongerName");
    EXPECT_EQ(key.EnumValue(2, name, 200), err::NoMoreItems);
    EXPECT_EQ(key.EnumValue(1000, name, 200), err::NoMoreItems);
    EXPECT_EQ(name, "SecondLongerName");

    // A name that does not fit with its terminator.
    EXPECT_EQ(key.EnumValue(1, name, 5), err::MoreData);
}

}  // namespace
