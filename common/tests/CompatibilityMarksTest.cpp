#include "common/CompatibilityMarks.h"

#include <gtest/gtest.h>

#include "simwindows/testing/SimTestWindows.h"

using plat::Root;
namespace err = plat::err;

namespace {

constexpr const char* kPersisted =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility "
    "Assistant\\Persisted";
constexpr const char* kProtectedStorage = "Software\\Microsoft\\Protected Storage System Provider";
constexpr const char* kProgram = "C:\\Driver Package\\Setup.exe";

// 46 characters, like a real user's SID.
const std::string kUserSid = "S-1-5-21-1004336348-1177238915-682003330-1001";

std::string UserMarkPath(const std::string& hive) { return hive + "\\" + kPersisted; }

class CompatibilityMarksTest : public ::testing::Test {
protected:
    CompatibilityMarksTest() { win.SetModuleFileName(kProgram); }
    plat::SimTestWindows win;
};

TEST_F(CompatibilityMarksTest, CurrentUserMarkIsADwordOneNamedByTheProgramsPath) {
    MarkCompatibilityPersisted(win);
    MarkCompatibilityPersisted(win);  // again: the same value, once
    const auto values = win.DumpValues(Root::CurrentUser, kPersisted);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, kProgram);
    EXPECT_EQ(values[0].type, plat::regtype::Dword);
    EXPECT_EQ(values[0].text, "1");

    // Started from another folder: a second entry.
    win.SetModuleFileName("D:\\Setup.exe");
    MarkCompatibilityPersisted(win);
    EXPECT_EQ(win.DumpValues(Root::CurrentUser, kPersisted).size(), 2u);
    EXPECT_EQ(win.RegText(Root::CurrentUser, kPersisted, "D:\\Setup.exe"), "1");
}

TEST_F(CompatibilityMarksTest, NoProgramPathMeansNoMark) {
    // Without a name the mark would land on the key's default value.
    win.FailCall("GetModuleFileName", err::InsufficientBuffer, 2);
    MarkCompatibilityPersisted(win);
    MarkCompatibilityPersistedAllUsers(win);
    EXPECT_TRUE(win.DumpValues(Root::CurrentUser, kPersisted).empty());
}

TEST_F(CompatibilityMarksTest, AllUsersMarksEveryLongHiveNameExceptClasses) {
    const std::string exactly30(30, 'S');
    const std::string exactly31(31, 'S');
    const std::string classes = kUserSid + "_Classes";
    for (const std::string& sub : {kUserSid, classes, exactly30, exactly31, std::string("S-1-5-18")})
        win.PutRegDword(Root::CurrentUser, std::string(kProtectedStorage) + "\\" + sub, "x", 0);

    MarkCompatibilityPersistedAllUsers(win);

    EXPECT_EQ(win.RegText(Root::Users, UserMarkPath(kUserSid), kProgram), "1");
    EXPECT_EQ(win.RegText(Root::Users, UserMarkPath(exactly31), kProgram), "1");
    EXPECT_FALSE(win.KeyExists(Root::Users, UserMarkPath(exactly30)));
    EXPECT_FALSE(win.KeyExists(Root::Users, UserMarkPath(classes)));
    EXPECT_FALSE(win.KeyExists(Root::Users, UserMarkPath("S-1-5-18")));
    // The current user's own list is not touched by this one.
    EXPECT_FALSE(win.KeyExists(Root::CurrentUser, kPersisted));
}

TEST_F(CompatibilityMarksTest, AllUsersWithoutTheProtectedStorageKeyWritesNothing) {
    MarkCompatibilityPersistedAllUsers(win);
    EXPECT_TRUE(win.SubKeys(Root::Users, "").empty());
    EXPECT_FALSE(win.KeyExists(Root::CurrentUser, kPersisted));

    // An empty list writes nothing either.
    win.PutRegDword(Root::CurrentUser, kProtectedStorage, "x", 0);
    MarkCompatibilityPersistedAllUsers(win);
    EXPECT_TRUE(win.SubKeys(Root::Users, "").empty());
}

TEST_F(CompatibilityMarksTest, AllUsersGoesOnAfterAUserWhoseHiveCannotBeWritten) {
    const std::string second = "S-1-5-21-1004336348-1177238915-682003330-1002";
    win.PutRegDword(Root::CurrentUser, std::string(kProtectedStorage) + "\\" + kUserSid, "x", 0);
    win.PutRegDword(Root::CurrentUser, std::string(kProtectedStorage) + "\\" + second, "x", 0);
    win.FailCall("RegCreateKey", err::AccessDenied, 1, "1001");
    MarkCompatibilityPersistedAllUsers(win);
    EXPECT_FALSE(win.KeyExists(Root::Users, UserMarkPath(kUserSid)));
    EXPECT_EQ(win.RegText(Root::Users, UserMarkPath(second), kProgram), "1");
}

}  // namespace
