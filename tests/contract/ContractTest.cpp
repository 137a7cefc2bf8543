// The behaviour of Windows that the core relies on, checked against both
// implementations of the platform: the simulated Windows (natively) and the
// Win32 layer (under Wine). Each case works in a scratch folder under the
// Windows folder's Temp and in scratch keys under
// HKCU\Software\QuillsetContract, and removes what it made.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "tests/contract/ContractPlatform.h"

namespace {

using namespace plat;
using contract::IsSimulation;

constexpr const char* kContractKey = "Software\\QuillsetContract";

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool ContainsNoCase(const std::vector<std::string>& names, const std::string& name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return Lower(n) == Lower(name); });
}

std::vector<uint8_t> Bytes(const std::string& s, bool terminator = true) {
    std::vector<uint8_t> out(s.begin(), s.end());
    if (terminator) out.push_back(0);
    return out;
}

class Contract : public ::testing::Test {
protected:
    std::unique_ptr<Windows> w = contract::MakePlatform();
    std::string dir;  // the scratch folder, without a trailing backslash
    std::string key;  // the scratch key under HKCU

    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::string windows;
        ASSERT_EQ(w->folders().GetWindowsDirectory(windows, 260), err::Success);
        std::string temp = windows + "\\Temp";
        uint32_t e = w->files().CreateDirectory(temp);
        ASSERT_TRUE(e == err::Success || e == err::AlreadyExists) << e;
        dir = temp + "\\contract-" + name;
        e = w->files().CreateDirectory(dir);
        ASSERT_TRUE(e == err::Success || e == err::AlreadyExists) << e;
        ClearFolder(dir);
        key = std::string(kContractKey) + "\\" + name;
        DeleteKeyTree(Root::CurrentUser, key);
    }

    void TearDown() override {
        ClearFolder(dir);
        DeleteKeyTree(Root::CurrentUser, key);
        // The common parent goes once no case holds a key under it.
        w->registry().RegDeleteKey(Root::CurrentUser, kContractKey);
    }

    // Deletes the files of a folder and of its sub-folders (the folders stay:
    // the platform has no call to remove one).
    void ClearFolder(const std::string& folder) {
        std::vector<std::string> files, folders;
        {
            FindHandle find;
            FindData data;
            if (w->files().FindFirstFile(folder + "\\*", find, data) != err::Success) return;
            do {
                if (data.name == "." || data.name == "..") continue;
                (data.attributes & attr::Directory ? folders : files).push_back(data.name);
            } while (w->files().FindNextFile(find, data) == err::Success);
        }
        for (const auto& f : files) {
            w->files().SetFileAttributes(folder + "\\" + f, attr::Normal);
            w->files().DeleteFile(folder + "\\" + f);
        }
        for (const auto& f : folders) ClearFolder(folder + "\\" + f);
    }

    void DeleteKeyTree(Root root, const std::string& path) {
        std::vector<std::string> subs;
        {
            RegKey k;
            if (w->registry().RegOpenKey(root, path, k) != err::Success) return;
            std::string name;
            for (uint32_t i = 0; w->registry().RegEnumKey(k, i, name) == err::Success; ++i)
                subs.push_back(name);
        }
        for (const auto& s : subs) DeleteKeyTree(root, path + "\\" + s);
        w->registry().RegDeleteKey(root, path);
    }

    void Put(const std::string& name, const std::string& bytes) {
        ASSERT_EQ(w->files().WriteFile(dir + "\\" + name, bytes), err::Success);
    }

    std::string Profile(const std::string& section, const std::string& k, uint32_t size = 200,
                        const std::string& file = "c.ini", const std::string& def = "dflt") {
        return w->profile().GetPrivateProfileString(section, k, def, size, dir + "\\" + file);
    }

    std::vector<std::string> List(const std::string& pattern, uint32_t* error) {
        std::vector<std::string> names;
        FindHandle find;
        FindData data;
        *error = w->files().FindFirstFile(pattern, find, data);
        if (*error != err::Success) return names;
        names.push_back(data.name);
        uint32_t e;
        while ((e = w->files().FindNextFile(find, data)) == err::Success)
            names.push_back(data.name);
        EXPECT_EQ(e, err::NoMoreFiles);
        return names;
    }
};

// ================================================================ registry

TEST_F(Contract, RegistryCreateOpensWhatExistsAndOpenOfAMissingKeyGives2) {
    RegKey a, b, c, missing;
    ASSERT_EQ(w->registry().RegCreateKey(Root::CurrentUser, key + "\\Level1\\Level2", a),
              err::Success);
    uint32_t one = 1;
    ASSERT_EQ(w->registry().RegSetValue(a, "Kept", regtype::Dword, &one, 4), err::Success);
    ASSERT_EQ(w->registry().RegCreateKey(Root::CurrentUser, key + "\\LEVEL1\\level2", b),
              err::Success);
    std::vector<uint8_t> data;
    EXPECT_EQ(w->registry().RegQueryValue(b, "kept", nullptr, data, 4), err::Success);
    ASSERT_EQ(w->registry().RegOpenKey(Root::CurrentUser, key + "\\level1", c), err::Success);
    RegKey sub;
    EXPECT_EQ(w->registry().RegOpenSubKey(c, "LEVEL2", sub), err::Success);
    EXPECT_EQ(w->registry().RegOpenSubKey(c, "Nowhere", missing), err::FileNotFound);
    EXPECT_EQ(w->registry().RegOpenKey(Root::CurrentUser, key + "\\Nowhere", missing),
              err::FileNotFound);
    EXPECT_FALSE(missing);
    // Opened for reading: the same values, the same answer for a missing key.
    RegKey reading;
    ASSERT_EQ(
        w->registry().RegOpenKeyForReading(Root::CurrentUser, key + "\\level1\\LEVEL2", reading),
        err::Success);
    EXPECT_EQ(w->registry().RegQueryValue(reading, "Kept", nullptr, data, 4), err::Success);
    EXPECT_EQ(w->registry().RegOpenKeyForReading(Root::CurrentUser, key + "\\Nowhere", missing),
              err::FileNotFound);
}

TEST_F(Contract, RegistryValuesKeepTypeAndBytesAndReportMissingAndMoreData) {
    RegKey k;
    ASSERT_EQ(w->registry().RegCreateKey(Root::CurrentUser, key, k), err::Success);
    std::vector<uint8_t> sz = Bytes("USB_Q_1"), bin = {1, 0, 255, 7};
    uint32_t dword = 0x12345678;
    ASSERT_EQ(w->registry().RegSetValue(k, "Sz", regtype::Sz, sz.data(),
                                        static_cast<uint32_t>(sz.size())),
              err::Success);
    ASSERT_EQ(w->registry().RegSetValue(k, "Dword", regtype::Dword, &dword, 4), err::Success);
    ASSERT_EQ(w->registry().RegSetValue(k, "Bin", regtype::Binary, bin.data(), 4), err::Success);
    ASSERT_EQ(w->registry().RegSetValue(k, "None", regtype::None, nullptr, 0), err::Success);

    uint32_t type = 99;
    std::vector<uint8_t> data;
    ASSERT_EQ(w->registry().RegQueryValue(k, "SZ", &type, data, 100), err::Success);
    EXPECT_EQ(type, regtype::Sz);
    EXPECT_EQ(data, sz);
    ASSERT_EQ(w->registry().RegQueryValue(k, "dword", &type, data, 4), err::Success);
    EXPECT_EQ(type, regtype::Dword);
    EXPECT_EQ(data, (std::vector<uint8_t>{0x78, 0x56, 0x34, 0x12}));
    ASSERT_EQ(w->registry().RegQueryValue(k, "Bin", &type, data, 10), err::Success);
    EXPECT_EQ(type, regtype::Binary);
    EXPECT_EQ(data, bin);
    ASSERT_EQ(w->registry().RegQueryValue(k, "None", &type, data, 10), err::Success);
    EXPECT_EQ(type, regtype::None);
    EXPECT_TRUE(data.empty());

    EXPECT_EQ(w->registry().RegQueryValue(k, "Sz", &type, data, 3), err::MoreData);
    EXPECT_EQ(w->registry().RegQueryValue(k, "Missing", &type, data, 100), err::FileNotFound);
    // Setting again replaces the value's type and bytes.
    ASSERT_EQ(w->registry().RegSetValue(k, "Sz", regtype::Dword, &dword, 4), err::Success);
    ASSERT_EQ(w->registry().RegQueryValue(k, "Sz", &type, data, 100), err::Success);
    EXPECT_EQ(type, regtype::Dword);
    ASSERT_EQ(w->registry().RegDeleteValue(k, "sz"), err::Success);
    EXPECT_EQ(w->registry().RegDeleteValue(k, "sz"), err::FileNotFound);
    EXPECT_EQ(w->registry().RegQueryValue(k, "Sz", &type, data, 100), err::FileNotFound);
}

TEST_F(Contract, RegistryEnumerationEndsWith259) {
    RegKey k;
    ASSERT_EQ(w->registry().RegCreateKey(Root::CurrentUser, key, k), err::Success);
    uint32_t v = 1;
    for (const char* name : {"PORTNAME", "INSTALLPRINTER", "Another"})
        ASSERT_EQ(w->registry().RegSetValue(k, name, regtype::Dword, &v, 4), err::Success);
    for (const char* sub : {"Beta", "alpha", "Gamma"}) {
        RegKey s;
        ASSERT_EQ(w->registry().RegCreateKey(Root::CurrentUser, key + "\\" + sub, s), err::Success);
    }
    // The values' order is Windows' insertion order and Wine's sorted one:
    // the core relies on neither, only on the set and the end.
    std::set<std::string> values;
    std::string name;
    uint32_t i = 0;
    for (; w->registry().RegEnumValue(k, i, name, 260) == err::Success; ++i) values.insert(name);
    EXPECT_EQ(i, 3u);
    EXPECT_EQ(w->registry().RegEnumValue(k, i, name, 260), err::NoMoreItems);
    EXPECT_EQ(values, (std::set<std::string>{"PORTNAME", "INSTALLPRINTER", "Another"}));
    // A name that does not fit with its terminator.
    EXPECT_EQ(w->registry().RegEnumValue(k, 0, name, 3), err::MoreData);

    std::vector<std::string> subs;
    for (i = 0; w->registry().RegEnumKey(k, i, name) == err::Success; ++i) subs.push_back(name);
    EXPECT_EQ(w->registry().RegEnumKey(k, i, name), err::NoMoreItems);
    // Sub-keys come sorted without regard to case on both.
    EXPECT_EQ(subs, (std::vector<std::string>{"alpha", "Beta", "Gamma"}));
}

TEST_F(Contract, RegistryDeleteKeyTakesLeavesOnly) {
    RegKey leaf;
    ASSERT_EQ(w->registry().RegCreateKey(Root::CurrentUser, key + "\\Parent\\Leaf", leaf),
              err::Success);
    EXPECT_EQ(w->registry().RegDeleteKey(Root::CurrentUser, key + "\\Parent"), err::AccessDenied);
    EXPECT_EQ(w->registry().RegDeleteKey(Root::CurrentUser, key + "\\Parent\\Other"),
              err::FileNotFound);
    ASSERT_EQ(w->registry().RegDeleteKey(Root::CurrentUser, key + "\\PARENT\\leaf"), err::Success);
    RegKey again;
    EXPECT_EQ(w->registry().RegOpenKey(Root::CurrentUser, key + "\\Parent\\Leaf", again),
              err::FileNotFound);
    // The handle still open on the deleted key no longer works.
    uint32_t v = 1;
    EXPECT_EQ(w->registry().RegSetValue(leaf, "x", regtype::Dword, &v, 4), 1018u);
    EXPECT_EQ(w->registry().RegDeleteKey(Root::CurrentUser, key + "\\Parent"), err::Success);
}

// ================================================================ files

TEST_F(Contract, CopyFileOverwritesOnRequestAndAnswersMissingAndReadOnly) {
    Put("src.dll", std::string("MZ\0\1\2", 5));
    Put("old.dll", "old");
    const std::string src = dir + "\\src.dll", dst = dir + "\\old.dll";
    EXPECT_EQ(w->files().CopyFile(src, dst, true), err::FileExists);
    std::string bytes;
    ASSERT_EQ(w->files().ReadFile(dst, bytes), err::Success);
    EXPECT_EQ(bytes, "old");
    ASSERT_EQ(w->files().CopyFile(src, dst, false), err::Success);
    ASSERT_EQ(w->files().ReadFile(dst, bytes), err::Success);
    EXPECT_EQ(bytes, std::string("MZ\0\1\2", 5));
    ASSERT_EQ(w->files().CopyFile(src, dir + "\\NEW.DLL", true), err::Success);
    EXPECT_EQ(w->files().CopyFile(dir + "\\none.dll", dst, false), err::FileNotFound);
    EXPECT_EQ(w->files().CopyFile(src, dir + "\\nofolder\\x.dll", false), err::PathNotFound);
    ASSERT_EQ(w->files().SetFileAttributes(dst, attr::ReadOnly), err::Success);
    // Windows refuses to copy onto a read-only (or hidden) file. Wine leaves it
    // to the host's permissions, which do not stop root; the Win32 layer checks.
    EXPECT_EQ(w->files().CopyFile(src, dst, false), err::AccessDenied);

    // A copy takes the source's read-only mark with it (a package on a CD).
    ASSERT_EQ(w->files().SetFileAttributes(src, attr::ReadOnly), err::Success);
    ASSERT_EQ(w->files().CopyFile(src, dir + "\\FROMCD.DLL", true), err::Success);
    uint32_t attributes = 0;
    ASSERT_EQ(w->files().GetFileAttributes(dir + "\\FROMCD.DLL", attributes), err::Success);
    EXPECT_EQ(attributes & attr::ReadOnly, attr::ReadOnly);
    EXPECT_EQ(w->files().DeleteFile(dir + "\\FROMCD.DLL"), err::AccessDenied);
}

TEST_F(Contract, AttributesAndDeletion) {
    Put("a.txt", "a");
    const std::string a = dir + "\\a.txt";
    uint32_t attributes = 0;
    ASSERT_EQ(w->files().SetFileAttributes(a, attr::ReadOnly | attr::Hidden), err::Success);
    ASSERT_EQ(w->files().GetFileAttributes(dir + "\\A.TXT", attributes), err::Success);
    EXPECT_EQ(attributes & (attr::ReadOnly | attr::Hidden | attr::Directory),
              attr::ReadOnly | attr::Hidden);
    EXPECT_EQ(w->files().DeleteFile(a), err::AccessDenied);
    ASSERT_EQ(w->files().SetFileAttributes(a, attr::Normal), err::Success);
    ASSERT_EQ(w->files().GetFileAttributes(a, attributes), err::Success);
    EXPECT_EQ(attributes & attr::ReadOnly, 0u);
    ASSERT_EQ(w->files().DeleteFile(a), err::Success);
    EXPECT_EQ(w->files().DeleteFile(a), err::FileNotFound);
    EXPECT_EQ(w->files().GetFileAttributes(a, attributes), err::FileNotFound);
    EXPECT_EQ(w->files().GetFileAttributes(dir + "\\none\\a.txt", attributes), err::PathNotFound);
    ASSERT_EQ(w->files().GetFileAttributes(dir, attributes), err::Success);
    EXPECT_TRUE(attributes & attr::Directory);
    EXPECT_EQ(w->files().OpenExisting(a), err::FileNotFound);
    EXPECT_EQ(w->files().OpenExisting(dir + "\\none\\a.txt"), err::PathNotFound);
    Put("b.txt", "");
    EXPECT_EQ(w->files().OpenExisting(dir + "\\B.txt"), err::Success);
}

TEST_F(Contract, CreateDirectoryAnswersExistingAndMissingParent) {
    EXPECT_EQ(w->files().CreateDirectory(dir + "\\sub"), err::Success);
    EXPECT_EQ(w->files().CreateDirectory(dir + "\\SUB"), err::AlreadyExists);
    EXPECT_EQ(w->files().CreateDirectory(dir + "\\none\\deeper"), err::PathNotFound);
}

TEST_F(Contract, FindListsDotsFirstThenMatchesWithoutCase) {
    ASSERT_TRUE(w->files().CreateDirectory(dir + "\\f") == err::Success ||
                w->files().CreateDirectory(dir + "\\f") == err::AlreadyExists);
    for (const char* name : {"f\\a.dll", "f\\B.DLL", "f\\c.txt"}) Put(name, "x");
    uint32_t e = 0;
    std::vector<std::string> all = List(dir + "\\f\\*", &e);
    ASSERT_EQ(e, err::Success);
    ASSERT_GE(all.size(), 2u);
    EXPECT_EQ(all[0], ".");
    EXPECT_EQ(all[1], "..");
    EXPECT_EQ(std::set<std::string>(all.begin() + 2, all.end()),
              (std::set<std::string>{"a.dll", "B.DLL", "c.txt"}));
    EXPECT_EQ(List(dir + "\\f\\*.*", &e).size(), 5u);
    std::vector<std::string> dlls = List(dir + "\\f\\*.DLL", &e);
    EXPECT_EQ(std::set<std::string>(dlls.begin(), dlls.end()),
              (std::set<std::string>{"a.dll", "B.DLL"}));
    List(dir + "\\f\\*.sys", &e);
    EXPECT_EQ(e, err::FileNotFound);
    List(dir + "\\none\\*.*", &e);
    EXPECT_EQ(e, err::PathNotFound);
}

TEST_F(Contract, FoldersAndModuleName) {
    std::string s;
    ASSERT_EQ(w->folders().GetSystemDirectory(s, 260), err::Success);
    uint32_t attributes = 0;
    ASSERT_EQ(w->files().GetFileAttributes(s, attributes), err::Success);
    EXPECT_TRUE(attributes & attr::Directory);
    EXPECT_EQ(w->folders().GetSystemDirectory(s, 3), err::InsufficientBuffer);
    std::string current;
    ASSERT_EQ(w->folders().GetCurrentDirectory(current, 260), err::Success);
    EXPECT_EQ(w->folders().GetCurrentDirectory(s, 2), err::InsufficientBuffer);
    ASSERT_EQ(w->folders().SetCurrentDirectory(dir), err::Success);
    Put("here.txt", "x");
    EXPECT_EQ(w->files().OpenExisting("here.txt"), err::Success);
    ASSERT_EQ(w->folders().SetCurrentDirectory(current), err::Success);
    EXPECT_EQ(w->folders().SetCurrentDirectory(dir + "\\none\\deeper"), err::PathNotFound);

    ASSERT_EQ(w->folders().GetModuleFileName(s, 260), err::Success);
    EXPECT_EQ(Lower(s.substr(s.size() - 4)), ".exe");
    // A name that does not fit is cut to capacity - 1 and reported.
    std::string cut;
    EXPECT_EQ(w->folders().GetModuleFileName(cut, 6), err::InsufficientBuffer);
    EXPECT_EQ(cut, s.substr(0, 5));

    ASSERT_EQ(w->folders().GetPrinterDriverDirectory(nullptr, s, 260), err::Success);
    EXPECT_NE(Lower(s).find("\\spool\\drivers\\"), std::string::npos);
    ASSERT_EQ(w->folders().GetPrintProcessorDirectory(nullptr, s, 260), err::Success);
    EXPECT_NE(Lower(s).find("\\spool\\prtprocs\\"), std::string::npos);
    EXPECT_EQ(w->folders().GetPrintProcessorDirectory(nullptr, s, 5), err::InsufficientBuffer);
}

// ================================================================ profiles

TEST_F(Contract, ProfileNamesCompareWithoutCase) {
    Put("c.ini", "[Section]\r\nKey=value\r\n");
    EXPECT_EQ(Profile("SECTION", "key"), "value");
    EXPECT_EQ(Profile("section", "KEY"), "value");
    EXPECT_EQ(w->profile().GetPrivateProfileString("Section", "Key", "d", 200, dir + "\\C.INI"),
              "value");
}

TEST_F(Contract, ProfileFirstOfRepeatedSectionsAndKeysWins) {
    Put("c.ini", "[S]\r\nk=first\r\nk=second\r\n[T]\r\nk=t\r\n[s]\r\nk=third\r\nonly=later\r\n");
    EXPECT_EQ(Profile("S", "k"), "first");
    EXPECT_EQ(Profile("T", "k"), "t");
    if (IsSimulation()) {
        // Windows reads the first section of a name only.
        EXPECT_EQ(Profile("S", "only"), "dflt");
    }
}

TEST_F(Contract, ProfileTrimsBlanksAroundNamesAndValues) {
    Put("c.ini", "  [ Sec ]  \r\n  key one  =   a value  \r\n\tk2\t=\tv2\t\r\n");
    EXPECT_EQ(Profile("Sec", "key one"), "a value");
    EXPECT_EQ(Profile("Sec", "k2"), "v2");
}

TEST_F(Contract, ProfileValuesLoseMatchingQuotes) {
    Put("c.ini",
        "[Q]\r\nd=\"quoted value\"\r\ns='single'\r\nm=\"mixed'\r\no=\"open\r\ne=\"\"\r\n"
        "inner=a\"b\"c\r\n");
    EXPECT_EQ(Profile("Q", "d"), "quoted value");
    EXPECT_EQ(Profile("Q", "s"), "single");
    EXPECT_EQ(Profile("Q", "m"), "\"mixed'");
    EXPECT_EQ(Profile("Q", "o"), "\"open");
    EXPECT_EQ(Profile("Q", "e"), "");
    EXPECT_EQ(Profile("Q", "inner"), "a\"b\"c");
}

TEST_F(Contract, ProfileCommentsAndLinesWithoutEqualsAreNoKeys) {
    Put("c.ini", "[C]\r\n;k=commented\r\n; [D]\r\nbare\r\nk=real\r\n");
    EXPECT_EQ(Profile("C", "k"), "real");
    EXPECT_EQ(Profile("C", "bare"), "dflt");
    EXPECT_EQ(Profile("D", "k"), "dflt");
}

TEST_F(Contract, ProfileValueIsCutToSizeLessOne) {
    Put("c.ini", "[V]\r\nk=abcdefghij\r\n");
    EXPECT_EQ(Profile("V", "k", 4), "abc");
    EXPECT_EQ(Profile("V", "k", 11), "abcdefghij");
    EXPECT_EQ(Profile("V", "k", 10), "abcdefghi");
    EXPECT_EQ(Profile("V", "k", 1), "");
    EXPECT_EQ(Profile("V", "k", 0), "");
    EXPECT_EQ(Profile("V", "none", 3), "df");
}

TEST_F(Contract, ProfileDefaultsForMissingFileSectionAndKey) {
    Put("c.ini", "[A]\r\nk=v\r\n");
    EXPECT_EQ(Profile("A", "k", 200, "missing.ini"), "dflt");
    EXPECT_EQ(Profile("B", "k"), "dflt");
    EXPECT_EQ(Profile("A", "x"), "dflt");
    // The default loses its trailing blanks.
    EXPECT_EQ(Profile("A", "x", 200, "c.ini", "0  "), "0");
    EXPECT_EQ(w->profile().GetPrivateProfileString("A", "k", "0", 200, dir + "\\none\\c.ini"), "0");
}

TEST_F(Contract, ProfileReadsLfOnlyAndCrLfFilesAlike) {
    Put("lf.ini", "[A]\nk=lf\nk2 = two\n");
    Put("c.ini", "[A]\r\nk=crlf\r\n");
    EXPECT_EQ(Profile("A", "k", 200, "lf.ini"), "lf");
    EXPECT_EQ(Profile("A", "k2", 200, "lf.ini"), "two");
    EXPECT_EQ(Profile("A", "k"), "crlf");
}

TEST_F(Contract, WinIniWritesReadsAndFlushes) {
    const char* section = "QuillsetContract";
    ASSERT_EQ(w->profile().WriteProfileString(section, "Port", "9600,n,8,1"), err::Success);
    ASSERT_EQ(w->profile().WriteProfileString(section, "Other", "x"), err::Success);
    // All three null flush the profile cache. WriteProfileStringA then always
    // returns FALSE; the platform answers success.
    EXPECT_EQ(w->profile().WriteProfileString(nullptr, nullptr, nullptr), err::Success);
    EXPECT_EQ(w->profile().GetProfileString("quillsetcontract", "PORT", "0"), "9600,n,8,1");
    ASSERT_EQ(w->profile().WriteProfileString(section, "Port", "19200,n,8,1"), err::Success);
    EXPECT_EQ(w->profile().GetProfileString(section, "Port", "0"), "19200,n,8,1");
    ASSERT_EQ(w->profile().WriteProfileString(section, "Port", nullptr), err::Success);
    EXPECT_EQ(w->profile().GetProfileString(section, "Port", "0"), "0");
    EXPECT_EQ(w->profile().GetProfileString(section, "Other", "0"), "x");
    ASSERT_EQ(w->profile().WriteProfileString(section, nullptr, nullptr), err::Success);
    EXPECT_EQ(w->profile().GetProfileString(section, "Other", "0"), "0");
}

// ================================================================ system

TEST_F(Contract, VersionTokenAndAdministrators) {
    OsVersion v;
    ASSERT_EQ(w->system().GetVersion(v), err::Success);
    EXPECT_EQ(v.platformId, 2u);
    EXPECT_GE(v.major, 5u);

    Token thread, process;
    EXPECT_EQ(w->system().OpenThreadToken(thread), err::NoToken);
    ASSERT_EQ(w->system().OpenProcessToken(process), err::Success);
    uint32_t needed = 0;
    EXPECT_EQ(w->system().GetTokenGroupsSize(process, needed), err::InsufficientBuffer);
    EXPECT_GT(needed, 4u);
    std::vector<std::string> sids;
    ASSERT_EQ(w->system().GetTokenGroups(process, sids), err::Success);
    EXPECT_NE(std::find(sids.begin(), sids.end(), "S-1-5-32-544"), sids.end());
}

TEST_F(Contract, MutexesWindowsAndLibraries) {
    Mutex first, second;
    const std::string name = "QuillsetContract-" + std::to_string(reinterpret_cast<uintptr_t>(this));
    EXPECT_EQ(w->desktop().CreateMutex(name, true, first), err::Success);
    EXPECT_EQ(w->desktop().CreateMutex(name, true, second), err::AlreadyExists);
    EXPECT_TRUE(second);
    EXPECT_EQ(w->desktop().FindWindow("Quillset contract: no such window"), 0u);

    uint32_t error = 0;
    auto spooler = w->spooler().LoadSpoolerLibrary("winspool.drv", error);
    ASSERT_TRUE(spooler) << error;
    EXPECT_TRUE(spooler->HasSetDefaultPrinter());
    EXPECT_TRUE(spooler->HasDeletePrinterDriverEx());
    EXPECT_FALSE(w->spooler().LoadSpoolerLibrary("QuillsetNoSuch.drv", error));
    EXPECT_EQ(error, err::ModNotFound);
    EXPECT_FALSE(w->usb().LoadUsbLibrary("QuillsetNoSuchUsb.dll", error));
    EXPECT_EQ(error, err::ModNotFound);
}

// The local time is a plausible date and time that a wait does not set back
// (the simulated clock moves by exactly the wait).
TEST_F(Contract, LocalTimeIsADateAndTimeThatWaitsMoveOn) {
    LocalTime before, after;
    w->clock().GetLocalTime(before);
    w->clock().Sleep(30);
    w->clock().GetLocalTime(after);
    for (const LocalTime& t : {before, after}) {
        EXPECT_GE(t.year, 2000);
        EXPECT_TRUE(t.month >= 1 && t.month <= 12) << t.month;
        EXPECT_TRUE(t.day >= 1 && t.day <= 31) << t.day;
        EXPECT_LE(t.dayOfWeek, 6);
        EXPECT_LE(t.hour, 23);
        EXPECT_LE(t.minute, 59);
        EXPECT_LE(t.second, 59);
        EXPECT_LE(t.milliseconds, 999);
    }
    auto ms = [](const LocalTime& t) {
        return ((((t.year * 13 + t.month) * 32 + t.day) * 24 + t.hour) * 60 + t.minute) * 60000LL +
               t.second * 1000 + t.milliseconds;
    };
    EXPECT_GE(ms(after), ms(before) + (IsSimulation() ? 30 : 0));
    if (IsSimulation()) {
        EXPECT_EQ(ms(after) - ms(before), 30);
    }
}

// A started thread runs to its end before Join returns, and two threads
// counting under one lock lose no count.
TEST_F(Contract, ThreadsJoinAndLocksExclude) {
    Lock lock;
    int count = 0;
    auto body = [&] {
        for (int i = 0; i < 20000; ++i) {
            LockGuard guard(lock);
            ++count;
        }
    };
    Thread first, second;
    ASSERT_EQ(w->clock().StartThread(body, first), err::Success);
    ASSERT_EQ(w->clock().StartThread(body, second), err::Success);
    EXPECT_TRUE(first.Joinable());
    first.Join();
    second.Join();
    EXPECT_FALSE(first.Joinable());
    EXPECT_EQ(count, 40000);
}

// ================================================================ spooler

// The "Spooler" service's answers, whatever its state at the start (Wine's
// starts stopped, Windows' runs); the state is put back at the end.
TEST_F(Contract, SpoolerServiceStartsAndStopsOnce) {
    ScHandle manager, spooler, none;
    ASSERT_EQ(w->services().OpenScManager(manager), err::Success);
    EXPECT_EQ(w->services().OpenService(manager, "QuillsetNoSuchService", svc::QueryStatus, none),
              err::ServiceDoesNotExist);
    ASSERT_EQ(w->services().OpenService(manager, "Spooler",
                                        svc::Start | svc::Stop | svc::QueryStatus, spooler),
              err::Success);
    uint32_t initial = 0, state = 0;
    ASSERT_EQ(w->services().QueryServiceState(spooler, initial), err::Success);
    if (initial == svc::Running) {
        ASSERT_EQ(w->services().ControlServiceStop(spooler), err::Success);
    }
    ASSERT_EQ(w->services().QueryServiceState(spooler, state), err::Success);
    EXPECT_EQ(state, svc::Stopped);
    EXPECT_EQ(w->services().ControlServiceStop(spooler), err::ServiceNotActive);
    ASSERT_EQ(w->services().StartService(spooler), err::Success);
    ASSERT_EQ(w->services().QueryServiceState(spooler, state), err::Success);
    EXPECT_EQ(state, svc::Running);
    EXPECT_EQ(w->services().StartService(spooler), err::ServiceAlreadyRunning);
    if (initial == svc::Stopped) {
        EXPECT_EQ(w->services().ControlServiceStop(spooler), err::Success);
    }
}

// The spooler calls below need the spooler running on Windows.
class SpoolerContract : public Contract {
protected:
    void SetUp() override {
        Contract::SetUp();
        ScHandle manager, spooler;
        ASSERT_EQ(w->services().OpenScManager(manager), err::Success);
        ASSERT_EQ(
            w->services().OpenService(manager, "Spooler", svc::Start | svc::QueryStatus, spooler),
            err::Success);
        uint32_t e = w->services().StartService(spooler);
        ASSERT_TRUE(e == err::Success || e == err::ServiceAlreadyRunning) << e;
    }
};

TEST_F(SpoolerContract, PortsAndProcessorsHaveTheBuiltInOnes) {
    std::vector<std::string> names;
    ASSERT_EQ(w->spooler().EnumPorts(names), err::Success);
    EXPECT_TRUE(ContainsNoCase(names, "LPT1:"));
    ASSERT_EQ(w->spooler().EnumPrintProcessors(nullptr, names), err::Success);
    // "WinPrint" on Windows, "winprint" on Wine.
    EXPECT_TRUE(ContainsNoCase(names, "winprint"));
    ASSERT_EQ(w->spooler().EnumMonitors(names), err::Success);
    EXPECT_FALSE(names.empty());
}

TEST_F(SpoolerContract, UnknownPrintersDriversAndMonitorsAreRefused) {
    Printer p;
    EXPECT_EQ(w->spooler().OpenPrinter("Quillset Contract No Such Printer", p),
              err::InvalidPrinterName);
    EXPECT_FALSE(p);
    EXPECT_EQ(w->spooler().OpenPrinterForReading("Quillset Contract No Such Printer", p),
              err::InvalidPrinterName);
    EXPECT_FALSE(p);

    PrinterInfo2 info;
    info.pPrinterName = "Quillset Contract Printer";
    info.pPortName = "LPT1:";
    info.pDriverName = "Quillset Contract No Such Driver";
    info.pPrintProcessor = "WinPrint";
    info.pDatatype = "RAW";
    // Windows answers 1797; Wine 87. Neither leaves a printer behind.
    uint32_t added = w->spooler().AddPrinter(info, p);
    EXPECT_NE(added, err::Success);
    if (IsSimulation()) {
        EXPECT_EQ(added, err::UnknownPrinterDriver);
    }
    EXPECT_FALSE(p);
    EXPECT_EQ(w->spooler().OpenPrinter("Quillset Contract Printer", p), err::InvalidPrinterName);

    // A monitor whose DLL can't be loaded.
    MonitorInfo2 monitor{"Quillset Contract Monitor", w->spooler().LocalEnvironment(),
                         "QuillsetContractNone.dll"};
    EXPECT_EQ(w->spooler().AddMonitor(monitor), err::ModNotFound);
    std::vector<std::string> names;
    ASSERT_EQ(w->spooler().EnumMonitors(names), err::Success);
    EXPECT_FALSE(ContainsNoCase(names, "Quillset Contract Monitor"));
    EXPECT_EQ(w->spooler().DeleteMonitor(nullptr, "Quillset Contract Monitor"),
              err::UnknownPrintMonitor);
    // Windows answers 1797 for a driver it does not know; Wine 3000.
    uint32_t deleted =
        w->spooler().DeletePrinterDriver(nullptr, nullptr, "Quillset Contract No Such Driver");
    EXPECT_NE(deleted, err::Success);
    if (IsSimulation()) {
        EXPECT_EQ(deleted, err::UnknownPrinterDriver);
    }
}

}  // namespace
