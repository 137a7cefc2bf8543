#include "common/SystemProbes.h"

#include <gtest/gtest.h>

#include <tuple>

#include "simwindows/testing/SimTestWindows.h"

using plat::Root;
namespace err = plat::err;
namespace svc = plat::svc;

namespace {

constexpr const char* kAdmins = "S-1-5-32-544";
constexpr const char* kUsers = "S-1-5-32-545";
constexpr const char* kEveryone = "S-1-1-0";
constexpr const char* kPersisted =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility "
    "Assistant\\Persisted";

// ------------------------------------------------------------ IsUserAdmin

class IsUserAdminTest : public ::testing::Test {
protected:
    plat::SimTestWindows win;
};

TEST_F(IsUserAdminTest, ProcessTokenIsAskedWhenTheThreadHasNone) {
    win.SetThreadGroups(std::nullopt);
    // A filtered (UAC) token lists the group as deny-only; the group list
    // still names it, and only the SID counts.
    win.SetProcessGroups({kEveryone, kUsers, kAdmins});
    EXPECT_TRUE(IsUserAdmin(win));
    win.SetProcessGroups({kEveryone, kUsers});
    EXPECT_FALSE(IsUserAdmin(win));
    win.SetProcessGroups({});
    EXPECT_FALSE(IsUserAdmin(win));
}

TEST_F(IsUserAdminTest, AThreadTokenOfItsOwnDecides) {
    win.SetProcessGroups({kAdmins});
    win.SetThreadGroups(std::vector<std::string>{kUsers});
    EXPECT_FALSE(IsUserAdmin(win));
    win.SetProcessGroups({kUsers});
    win.SetThreadGroups(std::vector<std::string>{kEveryone, kAdmins});
    EXPECT_TRUE(IsUserAdmin(win));
}

TEST_F(IsUserAdminTest, EveryOtherFailureGivesFalse) {
    win.SetThreadGroups(std::nullopt);
    win.SetProcessGroups({kAdmins});

    // Only a thread without a token falls back to the process token.
    win.FailCall("OpenThreadToken", err::AccessDenied);
    EXPECT_FALSE(IsUserAdmin(win));

    win.FailCall("OpenProcessToken", err::AccessDenied);
    EXPECT_FALSE(IsUserAdmin(win));

    win.FailCall("GetTokenGroupsSize", err::InvalidParameter);
    EXPECT_FALSE(IsUserAdmin(win));

    win.FailCall("GetTokenGroups", err::NotEnoughMemory);
    EXPECT_FALSE(IsUserAdmin(win));

    EXPECT_TRUE(IsUserAdmin(win));  // the faults are spent
}

// ------------------------------------------------------------ GetOsClass

struct VersionCase {
    uint32_t platformId, major, minor;
    int32_t setup, uninstall;
};

class OsClassTest : public ::testing::TestWithParam<VersionCase> {
protected:
    plat::SimTestWindows win;
};

TEST_P(OsClassTest, ClassifiesTheVersionForBothPrograms) {
    const VersionCase c = GetParam();
    win.SetVersion({c.platformId, c.major, c.minor, 1000});
    win.SetModuleFileName("C:\\pkg\\Uninstall.exe");
    EXPECT_EQ(GetOsClass(win, ProbeFlavour::Setup), c.setup);
    // Setup's probe never marks; the OS page does that.
    EXPECT_FALSE(win.KeyExists(Root::CurrentUser, kPersisted));

    EXPECT_EQ(GetOsClassAndMarkCompatibility(win), c.uninstall);
    // Uninstall marks itself on every Vista-class system, and only there.
    const auto mark = win.RegText(Root::CurrentUser, kPersisted, "C:\\pkg\\Uninstall.exe");
    if (c.uninstall == WinVista)
        EXPECT_EQ(mark, "1");
    else
        EXPECT_FALSE(mark.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    VersionTable, OsClassTest,
    ::testing::Values(VersionCase{1, 4, 10, Win98, Win98},       // Windows 98
                      VersionCase{1, 4, 90, Win98, Win98},       // Me
                      VersionCase{2, 3, 51, Win98, Win98},       // NT 3.51
                      VersionCase{2, 4, 0, WinNT4, WinNT4},
                      VersionCase{2, 4, 1, Win98, Win98},
                      VersionCase{2, 5, 0, Win2000, Win2000},
                      VersionCase{2, 5, 1, WinXP, WinXP},
                      VersionCase{2, 5, 2, Win2003, Win2003},
                      VersionCase{2, 5, 3, Win98, Win98},
                      VersionCase{2, 6, 0, WinVista, WinVista},
                      VersionCase{2, 6, 1, WinVista, WinVista},  // 7
                      VersionCase{2, 6, 2, WinVista, WinVista},  // 8
                      VersionCase{2, 6, 3, WinVista, WinVista},  // 8.1
                      VersionCase{2, 10, 0, WinVista, WinVista}, // 10 and 11
                      VersionCase{2, 11, 0, WinVista, WinVista},
                      VersionCase{0, 5, 1, Win98, OsUnknown},    // Win32s
                      VersionCase{3, 6, 1, Win98, OsUnknown}));  // CE

TEST(OsClass, AFailedVersionCallCountsAsAnUnknownPlatform) {
    plat::SimTestWindows win;
    win.FailCall("GetVersion", err::InvalidParameter, 2);
    EXPECT_EQ(GetOsClass(win, ProbeFlavour::Setup), Win98);
    EXPECT_EQ(GetOsClass(win, ProbeFlavour::Uninstall), OsUnknown);
}

}  // namespace
