// The simulated machine's registry, file system, profiles and fault
// injection: the answers the core relies on beyond what Wine can confirm.
#include <gtest/gtest.h>

#include "simwindows/testing/SimTestWindows.h"
#include "tests/support/SamplePackage.h"

namespace plat {
namespace {

std::vector<std::string> Listing(SimTestWindows& w, const std::string& pattern,
                                 uint32_t* firstError) {
    std::vector<std::string> names;
    FindHandle find;
    FindData data;
    *firstError = w.files().FindFirstFile(pattern, find, data);
    if (*firstError) return names;
    names.push_back(data.name);
    while (w.files().FindNextFile(find, data) == err::Success) names.push_back(data.name);
    EXPECT_EQ(w.files().FindNextFile(find, data), err::NoMoreFiles);
    return names;
}

TEST(SimRegistry, KeysAndValuesCompareWithoutCaseAndEnumerateInInsertionOrder) {
    SimTestWindows w;
    RegKey key;
    ASSERT_EQ(w.registry().RegCreateKey(Root::LocalMachine, "SOFTWARE\\Tarvelo\\Ports", key), 0u);
    for (const char* name : {"Zeta", "alpha", "Mid"}) {
        uint32_t v = 7;
        ASSERT_EQ(w.registry().RegSetValue(key, name, regtype::Dword, &v, 4), 0u);
    }
    RegKey again;
    ASSERT_EQ(w.registry().RegOpenKey(Root::LocalMachine, "software\\TARVELO\\ports", again), 0u);
    std::vector<std::string> names;
    std::string name;
    for (uint32_t i = 0; w.registry().RegEnumValue(again, i, name, 260) == 0; ++i)
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Zeta", "alpha", "Mid"}));
    EXPECT_EQ(w.registry().RegEnumValue(again, 3, name, 260), err::NoMoreItems);
    // The name and its terminator must fit.
    EXPECT_EQ(w.registry().RegEnumValue(again, 0, name, 4), err::MoreData);
    EXPECT_EQ(w.registry().RegEnumValue(again, 0, name, 5), 0u);

    std::vector<uint8_t> data;
    uint32_t type = 0;
    EXPECT_EQ(w.registry().RegQueryValue(again, "ZETA", &type, data, 4), 0u);
    EXPECT_EQ(type, regtype::Dword);
    EXPECT_EQ(w.registry().RegQueryValue(again, "zeta", &type, data, 3), err::MoreData);
    EXPECT_EQ(w.registry().RegQueryValue(again, "none", &type, data, 4), err::FileNotFound);
    RegKey missing;
    EXPECT_EQ(w.registry().RegOpenKey(Root::LocalMachine, "SOFTWARE\\Nobody", missing),
              err::FileNotFound);
    EXPECT_FALSE(missing);
    // A second create opens what exists and keeps its values.
    RegKey created;
    EXPECT_EQ(w.registry().RegCreateKey(Root::LocalMachine, "Software\\TARVELO\\PORTS", created),
              0u);
    EXPECT_EQ(w.DumpValues(Root::LocalMachine, "SOFTWARE\\Tarvelo\\Ports").size(), 3u);
    EXPECT_EQ(w.RegText(Root::LocalMachine, "SOFTWARE\\Tarvelo\\Ports", "mid"), "7");
}

TEST(SimRegistry, DeleteKeyRefusesSubKeysAndInvalidatesOpenHandles) {
    SimTestWindows w;
    w.PutRegString(Root::CurrentUser, "Software\\A\\B", "v", "x");
    RegKey open;
    ASSERT_EQ(w.registry().RegOpenKey(Root::CurrentUser, "Software\\A\\B", open), 0u);
    EXPECT_EQ(w.registry().RegDeleteKey(Root::CurrentUser, "Software\\A"), err::AccessDenied);
    EXPECT_EQ(w.registry().RegDeleteKey(Root::CurrentUser, "Software\\A\\C"), err::FileNotFound);
    EXPECT_EQ(w.registry().RegDeleteKey(Root::CurrentUser, "software\\a\\b"), 0u);
    std::vector<uint8_t> data;
    EXPECT_EQ(w.registry().RegQueryValue(open, "v", nullptr, data, 10), sim::KeyDeleted);
    uint32_t v = 1;
    EXPECT_EQ(w.registry().RegSetValue(open, "w", regtype::Dword, &v, 4), sim::KeyDeleted);
    EXPECT_FALSE(w.KeyExists(Root::CurrentUser, "Software\\A\\B"));
    // A new key of the same name is a new key: the old handle stays dead.
    w.PutRegString(Root::CurrentUser, "Software\\A\\B", "v", "y");
    EXPECT_EQ(w.registry().RegQueryValue(open, "v", nullptr, data, 10), sim::KeyDeleted);
    EXPECT_EQ(open.reset(), 0u);
    EXPECT_EQ(open.reset(), err::InvalidHandle);
    // The roots are apart.
    EXPECT_FALSE(w.KeyExists(Root::LocalMachine, "Software\\A"));
    EXPECT_FALSE(w.KeyExists(Root::Users, "Software\\A"));
}

TEST(SimFiles, PathsResolveWithoutCaseAndRelativeToTheCurrentFolder) {
    SimTestWindows w;
    w.PutFile("C:\\PKG\\DRVCONFIG\\setup.ini", "[a]\r\n");
    EXPECT_TRUE(w.FileExists("c:\\pkg\\drvconfig\\SETUP.INI"));
    EXPECT_TRUE(w.FileExists("DRVCONFIG\\setup.ini"));
    EXPECT_TRUE(w.FileExists(".\\DRVCONFIG\\..\\DRVCONFIG\\setup.ini"));
    EXPECT_TRUE(w.FileExists("C:/PKG/DRVCONFIG/setup.ini"));
    EXPECT_TRUE(w.FileExists("\\PKG\\DRVCONFIG\\setup.ini"));
    ASSERT_EQ(w.folders().SetCurrentDirectory("c:\\pkg\\drvconfig\\"), 0u);
    std::string cur;
    ASSERT_EQ(w.folders().GetCurrentDirectory(cur, 260), 0u);
    // Windows keeps the case the folder was named with; the trailing
    // backslash goes.
    EXPECT_EQ(cur, "C:\\pkg\\drvconfig");
    EXPECT_EQ(w.folders().GetCurrentDirectory(cur, static_cast<uint32_t>(cur.size())),
              err::InsufficientBuffer);
    EXPECT_TRUE(w.FileExists("setup.ini"));
    EXPECT_EQ(w.folders().SetCurrentDirectory("C:\\Nowhere\\Deep"), err::PathNotFound);
    EXPECT_EQ(w.folders().SetCurrentDirectory("C:\\Nowhere"), err::FileNotFound);
    EXPECT_FALSE(w.FileExists("\\\\server\\share\\setup.ini"));
}

TEST(SimFiles, CopyAnswersAsWindowsDoes) {
    SimTestWindows w;
    w.PutFile("C:\\PKG\\winnt\\QSUSBMON.DLL", "new");
    w.PutFile("C:\\WINDOWS\\system32\\QSUSBMON.DLL", "old");
    const std::string src = "C:\\PKG\\winnt\\QSUSBMON.DLL", dst = "C:\\WINDOWS\\system32\\QSUSBMON.DLL";
    EXPECT_EQ(w.files().CopyFile("C:\\PKG\\winnt\\NONE.DLL", dst, false), err::FileNotFound);
    EXPECT_EQ(w.files().CopyFile("C:\\PKG\\none\\NONE.DLL", dst, false), err::PathNotFound);
    EXPECT_EQ(w.files().CopyFile(src, "C:\\WINDOWS\\nofolder\\x.dll", false), err::PathNotFound);
    EXPECT_EQ(w.files().CopyFile(src, dst, true), err::FileExists);
    w.SetFileInUse(dst, true);
    EXPECT_EQ(w.files().CopyFile(src, dst, false), err::SharingViolation);
    EXPECT_EQ(w.files().DeleteFile(dst), err::SharingViolation);
    w.SetFileInUse(dst, false);
    ASSERT_EQ(w.files().SetFileAttributes(dst, attr::ReadOnly), 0u);
    EXPECT_EQ(w.files().CopyFile(src, dst, false), err::AccessDenied);
    EXPECT_EQ(w.files().DeleteFile(dst), err::AccessDenied);
    EXPECT_EQ(w.FileText(dst), "old");
    ASSERT_EQ(w.files().SetFileAttributes(dst, attr::Normal), 0u);
    w.SetFileVersion(src, SimTestWindows::MakeVersion("3.1.0.0"));
    ASSERT_EQ(w.files().CopyFile(src, dst, false), 0u);
    EXPECT_EQ(w.FileText(dst), "new");
    VersionResource v;
    ASSERT_EQ(w.files().GetFileVersion(dst, v), 0u);
    ASSERT_EQ(v.strings.size(), 1u);
    EXPECT_EQ(v.strings[0].first, "\\StringFileInfo\\040904b0\\FileVersion");
    EXPECT_EQ(v.strings[0].second, "3.1.0.0");
    EXPECT_EQ(w.files().GetFileVersion("C:\\PKG\\Setup.exe", v), sim::ResourceTypeNotFound);
    // A copy onto itself is refused, and the file stays.
    EXPECT_NE(w.files().CopyFile(src, "c:\\pkg\\WINNT\\qsusbmon.dll", false), 0u);
    EXPECT_EQ(w.FileText(src), "new");
    EXPECT_EQ(w.files().DeleteFile(dst), 0u);
    EXPECT_EQ(w.files().DeleteFile(dst), err::FileNotFound);
    EXPECT_EQ(w.files().OpenExisting(dst), err::FileNotFound);
    EXPECT_EQ(w.files().OpenExisting("C:\\none\\x"), err::PathNotFound);
}

TEST(SimFiles, FindListsDotsOutsideTheRootThenEntriesByName) {
    SimTestWindows w;
    w.PutFile("C:\\F\\b.DLL", "");
    w.PutFile("C:\\F\\A.dll", "");
    w.PutFile("C:\\F\\c.txt", "");
    w.PutFile("C:\\F\\noext", "");
    w.PutFolder("C:\\F\\Sub");
    w.PutFile("C:\\F\\_u", "");
    uint32_t e = 0;
    // NTFS keeps names in upper-case order: "_" after the letters.
    EXPECT_EQ(Listing(w, "C:\\F\\*", &e),
              (std::vector<std::string>{".", "..", "A.dll", "b.DLL", "c.txt", "noext", "Sub", "_u"}));
    EXPECT_EQ(Listing(w, "c:\\f\\*.*", &e).size(), 8u);
    EXPECT_EQ(Listing(w, "C:\\F\\*.dll", &e), (std::vector<std::string>{"A.dll", "b.DLL"}));
    EXPECT_EQ(Listing(w, "C:\\F\\?.txt", &e), (std::vector<std::string>{"c.txt"}));
    EXPECT_EQ(Listing(w, "C:\\F\\NOEXT", &e), (std::vector<std::string>{"noext"}));
    Listing(w, "C:\\F\\*.sys", &e);
    EXPECT_EQ(e, err::FileNotFound);
    Listing(w, "C:\\G\\*.*", &e);
    EXPECT_EQ(e, err::PathNotFound);
    auto root = Listing(w, "C:\\*", &e);
    ASSERT_FALSE(root.empty());
    EXPECT_NE(root.front(), ".");
    FindData data;
    FindHandle find;
    ASSERT_EQ(w.files().FindFirstFile("C:\\F\\Sub*", find, data), 0u);
    EXPECT_TRUE(data.attributes & attr::Directory);
}

TEST(SimFiles, MountHostFolderLoadsTheSamplePackage) {
    SimTestWindows w;
    const std::string source = support::SourceDir();
    int n = w.MountHostFolder(source + "/package", "C:\\PKG");
    ASSERT_GT(n, 5);
    EXPECT_TRUE(w.FileExists("C:\\PKG\\DRVCONFIG\\setup.ini"));
    EXPECT_NE(w.profile().GetPrivateProfileString("DEVICENAME", "DEVICENUMBER", "0", 200,
                                        "C:\\PKG\\DRVCONFIG\\setup.ini"),
              "0");
    EXPECT_EQ(w.MountHostFolder("/no/such/folder", "C:\\X"), -1);
    EXPECT_FALSE(w.FolderExists("C:\\X"));
}

TEST(SimFiles, ReadOnlyMountCanBeCopiedFromButNotWritten) {
    SimTestWindows w;
    const std::string source = support::SourceDir();
    ASSERT_GT(w.MountHostFolder(source + "/package", "C:\\RO", SimTestWindows::Mount::ReadOnly), 5);
    const std::string ini = "C:\\RO\\DRVCONFIG\\setup.ini";
    const std::string before = w.FileText(ini).value_or("");
    EXPECT_EQ(w.files().CopyFile(ini, "C:\\WINDOWS\\setup.ini", false), 0u);
    EXPECT_EQ(w.FileText("C:\\WINDOWS\\setup.ini"), before);
    // Below the mount, every change is refused, however the path is spelt.
    EXPECT_EQ(w.files().CopyFile("C:\\WINDOWS\\win.ini", ini, false), err::AccessDenied);
    EXPECT_EQ(w.files().CopyFile("C:\\WINDOWS\\win.ini", "c:\\ro\\new.ini", false),
              err::AccessDenied);
    EXPECT_EQ(w.files().WriteFile("C:\\RO\\x\\..\\DRVCONFIG\\setup.ini", "x"), err::AccessDenied);
    EXPECT_EQ(w.files().DeleteFile(ini), err::AccessDenied);
    EXPECT_EQ(w.files().SetFileAttributes(ini, attr::ReadOnly), err::AccessDenied);
    EXPECT_EQ(w.files().CreateDirectory("C:\\RO\\NEW"), err::AccessDenied);
    EXPECT_EQ(w.files().SetFileAttributes("C:\\RO", attr::Hidden), err::AccessDenied);
    EXPECT_EQ(w.FileText(ini), before);
    EXPECT_FALSE(w.FolderExists("C:\\RO\\NEW"));
    // Beside the mount, nothing changes.
    EXPECT_EQ(w.files().WriteFile("C:\\ROX.TXT", "x"), 0u);
}

TEST(SimProfile, WinIniEditsKeepOtherLinesAndFlushIsANoOp) {
    SimTestWindows w;
    w.PutFile("C:\\WINDOWS\\win.ini", "; comment\r\n[windows]\r\nload=\r\n[Ports]\r\nCOM1:=9600,n,8,1\r\n");
    EXPECT_EQ(w.profile().WriteProfileString(nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(w.FileText("C:\\WINDOWS\\win.ini"),
              "; comment\r\n[windows]\r\nload=\r\n[Ports]\r\nCOM1:=9600,n,8,1\r\n");
    ASSERT_EQ(w.profile().WriteProfileString("ports", "com1:", "19200,n,8,1,x"), 0u);
    ASSERT_EQ(w.profile().WriteProfileString("Ports", "COM5:", "9600,n,8,1"), 0u);
    ASSERT_EQ(w.profile().WriteProfileString("Devices", "P", "winspool,LPT1:"), 0u);
    EXPECT_EQ(w.profile().GetProfileString("PORTS", "COM1:", "0"), "19200,n,8,1,x");
    EXPECT_EQ(w.profile().GetProfileString("Ports", "COM5:", "0"), "9600,n,8,1");
    EXPECT_EQ(w.profile().GetProfileString("devices", "p", "0"), "winspool,LPT1:");
    EXPECT_EQ(w.profile().GetProfileString("windows", "load", "0"), "");
    ASSERT_EQ(w.profile().WriteProfileString("Ports", "COM5:", nullptr), 0u);
    EXPECT_EQ(w.profile().GetProfileString("Ports", "COM5:", "gone"), "gone");
    ASSERT_EQ(w.profile().WriteProfileString("Ports", nullptr, nullptr), 0u);
    EXPECT_EQ(w.profile().GetProfileString("Ports", "COM1:", "gone"), "gone");
    EXPECT_EQ(w.profile().GetProfileString("windows", "load", "0"), "");
    EXPECT_EQ(w.FileText("C:\\WINDOWS\\win.ini")->rfind("; comment\r\n", 0), 0u);
    // "device" names the default printer.
    ASSERT_EQ(w.profile().WriteProfileString("windows", "device", "Q(U) 1,winspool,USB_Q_1"), 0u);
    EXPECT_EQ(w.DefaultPrinter(), "Q(U) 1");
}

TEST(SimFaults, InjectedFailuresCountDownFilterByArgumentAndChangeNothing) {
    SimTestWindows w;
    w.PutFile("C:\\PKG\\a.dll", "a");
    w.FailCall("CopyFile", err::SharingViolation, 1, "qsusbmon.dll");
    EXPECT_EQ(w.files().CopyFile("C:\\PKG\\a.dll", "C:\\WINDOWS\\other.dll", false), 0u);
    EXPECT_EQ(w.files().CopyFile("C:\\PKG\\a.dll", "C:\\WINDOWS\\QSUSBMON.DLL", false),
              err::SharingViolation);
    EXPECT_FALSE(w.FileExists("C:\\WINDOWS\\QSUSBMON.DLL"));
    EXPECT_EQ(w.files().CopyFile("C:\\PKG\\a.dll", "C:\\WINDOWS\\QSUSBMON.DLL", false), 0u);

    w.FailCall("RegCreateKey", err::AccessDenied, 2);
    RegKey key;
    EXPECT_EQ(w.registry().RegCreateKey(Root::LocalMachine, "SOFTWARE\\X", key), err::AccessDenied);
    EXPECT_EQ(w.registry().RegCreateKey(Root::LocalMachine, "SOFTWARE\\X", key), err::AccessDenied);
    EXPECT_FALSE(w.KeyExists(Root::LocalMachine, "SOFTWARE\\X"));
    EXPECT_EQ(w.registry().RegCreateKey(Root::LocalMachine, "SOFTWARE\\X", key), 0u);

    w.FailCall("GetSystemDirectory", err::NotEnoughMemory, -1);
    std::string dir;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(w.folders().GetSystemDirectory(dir, 260), err::NotEnoughMemory);
    EXPECT_EQ(w.CallCount("GetSystemDirectory"), 3);
    w.ClearFaults();
    EXPECT_EQ(w.folders().GetSystemDirectory(dir, 260), 0u);
    EXPECT_EQ(dir, "C:\\WINDOWS\\system32");

    // A failed profile read gives the default, as a missing file does.
    w.PutFile("C:\\PKG\\s.ini", "[s]\r\nk=v\r\n");
    w.FailCall("GetPrivateProfileString", 1, 1, "s.ini");
    EXPECT_EQ(w.profile().GetPrivateProfileString("s", "k", "0", 200, "C:\\PKG\\s.ini"), "0");
    EXPECT_EQ(w.profile().GetPrivateProfileString("s", "k", "0", 200, "C:\\PKG\\s.ini"), "v");
    w.Inject({"MessageBox", 0, 0, ""});  // zero times: ignored
    EXPECT_EQ(w.desktop().MessageBox(0, "t", "c", mb::Ok), mb::IdOk);
}

TEST(SimFolders, DefaultLayoutAndEnvironments) {
    SimTestWindows w;
    std::string s;
    ASSERT_EQ(w.folders().GetWindowsDirectory(s, 260), 0u);
    EXPECT_EQ(s, "C:\\WINDOWS");
    ASSERT_EQ(w.folders().GetPrinterDriverDirectory(nullptr, s, 260), 0u);
    EXPECT_EQ(s, "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86");
    EXPECT_TRUE(w.FolderExists(s + "\\3"));
    ASSERT_EQ(w.folders().GetPrinterDriverDirectory("Windows 4.0", s, 260), 0u);
    EXPECT_EQ(s, "C:\\WINDOWS\\system32\\spool\\drivers\\win40");
    ASSERT_EQ(w.folders().GetPrintProcessorDirectory("Windows NT x86", s, 260), 0u);
    EXPECT_EQ(s, "C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86");
    ASSERT_EQ(w.folders().GetPrintProcessorDirectory("Windows 4.0", s, 260), 0u);
    EXPECT_EQ(s, "C:\\WINDOWS\\system32\\spool\\prtprocs\\win40");
    EXPECT_EQ(w.folders().GetPrintProcessorDirectory("Windows NT x86", s, 10),
              err::InsufficientBuffer);
    EXPECT_EQ(w.folders().GetPrinterDriverDirectory("Plan 9", s, 260), sim::InvalidEnvironment);
    EXPECT_TRUE(w.FolderExists("C:\\WINDOWS\\Fonts"));
    EXPECT_STREQ(w.spooler().LocalEnvironment(), "Windows NT x86");
    ASSERT_EQ(w.folders().GetModuleFileName(s, 260), 0u);
    EXPECT_EQ(s, "C:\\PKG\\Setup.exe");
    EXPECT_EQ(w.folders().GetModuleFileName(s, 7), err::InsufficientBuffer);
    EXPECT_EQ(s, "C:\\PKG");
    w.SetModuleFileName("D:\\Drivers\\Uninstall.exe");
    w.SetCurrentFolder("D:\\Drivers");
    ASSERT_EQ(w.folders().GetModuleFileName(s, 260), 0u);
    EXPECT_EQ(s, "D:\\Drivers\\Uninstall.exe");
    ASSERT_EQ(w.folders().GetCurrentDirectory(s, 260), 0u);
    EXPECT_EQ(s, "D:\\Drivers");
}

}  // namespace
}  // namespace plat

namespace plat {
namespace {

// The simulated clock across a month, a year and a leap day.
TEST(SimClock, LocalTimeFollowsTheCalendar) {
    SimTestWindows w;
    LocalTime t;
    w.clock().GetLocalTime(t);
    EXPECT_EQ(std::vector<int>({t.year, t.month, t.day, t.dayOfWeek, t.hour, t.minute}),
              std::vector<int>({2024, 6, 3, 1, 9, 0}));
    w.SetLocalTime({2024, 2, 0, 28, 23, 59, 59, 999});
    w.clock().Sleep(1);
    w.clock().GetLocalTime(t);
    EXPECT_EQ(std::vector<int>({t.year, t.month, t.day, t.dayOfWeek, t.hour, t.second, t.milliseconds}),
              std::vector<int>({2024, 2, 29, 4, 0, 0, 0}));
    w.SetLocalTime({1999, 12, 0, 31, 23, 59, 59, 500});
    w.clock().Sleep(700);
    w.clock().GetLocalTime(t);
    EXPECT_EQ(std::vector<int>({t.year, t.month, t.day, t.dayOfWeek, t.milliseconds}),
              std::vector<int>({2000, 1, 1, 6, 200}));
}

}  // namespace
}  // namespace plat
