// The Win32 layer's own checks, run under Wine: buffer sizes at their
// limits, the answers the layer gives where Wine would differ from Windows,
// and the entry points of the loaded libraries. The behaviour shared with the
// simulated Windows is the contract suite's.
#include "platform/win32/WindowsApi.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/Win32Windows.h"

namespace {

using namespace plat;

class Win32Smoke : public ::testing::Test {
protected:
    Win32Windows w;
};

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST_F(Win32Smoke, LocalEnvironmentMatchesTheBuild) {
    std::string folder;
    ASSERT_EQ(err::Success,
              w.folders().GetPrinterDriverDirectory(w.spooler().LocalEnvironment(), folder, 260));
#ifdef _WIN64
    EXPECT_STREQ("Windows x64", w.spooler().LocalEnvironment());
    EXPECT_TRUE(EndsWith(folder, "\\x64")) << folder;
#else
    EXPECT_STREQ("Windows NT x86", w.spooler().LocalEnvironment());
    EXPECT_TRUE(EndsWith(folder, "\\W32X86")) << folder;
#endif
    std::string local;
    ASSERT_EQ(err::Success, w.folders().GetPrinterDriverDirectory(nullptr, local, 260));
    EXPECT_EQ(folder, local);
}

// Each folder read fails with InsufficientBuffer when the text and its
// terminator do not fit, and succeeds when they just fit.
TEST_F(Win32Smoke, FolderReadsHonourTheCapacity) {
    using Read = uint32_t (Folders::*)(std::string&, uint32_t);
    const std::vector<std::pair<const char*, Read>> reads = {
        {"GetCurrentDirectory", &Folders::GetCurrentDirectory},
        {"GetSystemDirectory", &Folders::GetSystemDirectory},
        {"GetWindowsDirectory", &Folders::GetWindowsDirectory},
    };
    for (const auto& [name, read] : reads) {
        SCOPED_TRACE(name);
        std::string full;
        ASSERT_EQ(err::Success, (w.folders().*read)(full, 260));
        ASSERT_FALSE(full.empty());
        const auto length = static_cast<uint32_t>(full.size());
        std::string out = "stale";
        EXPECT_EQ(err::InsufficientBuffer, (w.folders().*read)(out, length));
        EXPECT_EQ("", out);
        EXPECT_EQ(err::InsufficientBuffer, (w.folders().*read)(out, 0));
        EXPECT_EQ(err::Success, (w.folders().*read)(out, length + 1));
        EXPECT_EQ(full, out);
    }

    std::string folder;
    ASSERT_EQ(err::Success, w.folders().GetPrintProcessorDirectory(nullptr, folder, 260));
    const auto length = static_cast<uint32_t>(folder.size());
    std::string out;
    EXPECT_EQ(err::InsufficientBuffer,
              w.folders().GetPrintProcessorDirectory(nullptr, out, length));
    EXPECT_EQ(err::Success, w.folders().GetPrintProcessorDirectory(nullptr, out, length + 1));
    EXPECT_EQ(folder, out);

    std::string module;
    ASSERT_EQ(err::Success, w.folders().GetModuleFileName(module, 260));
    EXPECT_TRUE(EndsWith(module, "win32_smoke.exe")) << module;
    EXPECT_EQ(err::Success,
              w.folders().GetModuleFileName(out, static_cast<uint32_t>(module.size() + 1)));
    EXPECT_EQ(module, out);
    w.folders().GetModuleFileName(out, 5);
    EXPECT_EQ(module.substr(0, 4), out);
}

TEST_F(Win32Smoke, RegistryBuffersAtTheirLimits) {
    const std::string path = "Software\\QuillsetWin32Smoke";
    RegKey key;
    ASSERT_EQ(err::Success, w.registry().RegCreateKey(Root::CurrentUser, path, key));
    ASSERT_EQ(err::Success, w.registry().RegSetValue(key, "Text", regtype::Sz, "abc", 4));

    std::vector<uint8_t> data = {1, 2, 3};
    uint32_t type = 99;
    EXPECT_EQ(err::MoreData, w.registry().RegQueryValue(key, "Text", &type, data, 0));
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(err::MoreData, w.registry().RegQueryValue(key, "Text", nullptr, data, 3));
    EXPECT_EQ(err::Success, w.registry().RegQueryValue(key, "Text", &type, data, 4));
    EXPECT_EQ(regtype::Sz, type);
    EXPECT_EQ((std::vector<uint8_t>{'a', 'b', 'c', 0}), data);
    EXPECT_EQ(err::FileNotFound, w.registry().RegQueryValue(key, "Missing", nullptr, data, 4));

    std::string name;
    EXPECT_EQ(err::MoreData, w.registry().RegEnumValue(key, 0, name, 4));
    EXPECT_EQ(err::Success, w.registry().RegEnumValue(key, 0, name, 5));
    EXPECT_EQ("Text", name);
    EXPECT_EQ(err::NoMoreItems, w.registry().RegEnumValue(key, 1, name, 260));

    RegKey missing;
    EXPECT_EQ(err::FileNotFound,
              w.registry().RegOpenKey(Root::CurrentUser, path + "\\Missing", missing));
    EXPECT_FALSE(missing);
    EXPECT_EQ(err::Success, key.reset());
    EXPECT_EQ(err::Success, w.registry().RegDeleteKey(Root::CurrentUser, path));
}

// Wine leaves read-only files to the host's permissions, which do not stop
// root; the layer refuses to replace them as Windows does.
TEST_F(Win32Smoke, ProtectedFilesAreNotReplaced) {
    std::string folder;
    ASSERT_EQ(err::Success, w.folders().GetWindowsDirectory(folder, 260));
    const std::string source = folder + "\\qsmoke-src.txt", readOnly = folder + "\\qsmoke-ro.txt",
                      hidden = folder + "\\qsmoke-hidden.txt";
    ASSERT_EQ(err::Success, w.files().WriteFile(source, "new"));
    ASSERT_EQ(err::Success, w.files().WriteFile(readOnly, "old"));
    ASSERT_EQ(err::Success, w.files().WriteFile(hidden, "old"));
    ASSERT_EQ(err::Success, w.files().SetFileAttributes(readOnly, attr::ReadOnly));
    ASSERT_EQ(err::Success, w.files().SetFileAttributes(hidden, attr::Hidden));

    EXPECT_EQ(err::AccessDenied, w.files().CopyFile(source, readOnly, false));
    EXPECT_EQ(err::FileExists, w.files().CopyFile(source, readOnly, true));
    EXPECT_EQ(err::AccessDenied, w.files().CopyFile(source, hidden, false));
    EXPECT_EQ(err::AccessDenied, w.files().WriteFile(readOnly, "x"));
    for (const auto& path : {readOnly, hidden}) {
        std::string bytes;
        ASSERT_EQ(err::Success, w.files().ReadFile(path, bytes));
        EXPECT_EQ("old", bytes) << path;
    }

    ASSERT_EQ(err::Success, w.files().SetFileAttributes(readOnly, attr::Normal));
    EXPECT_EQ(err::Success, w.files().CopyFile(source, readOnly, false));
    for (const auto& path : {source, readOnly, hidden}) {
        w.files().SetFileAttributes(path, attr::Normal);
        EXPECT_EQ(err::Success, w.files().DeleteFile(path)) << path;
    }
}

TEST_F(Win32Smoke, ProfileFlushAnswersSuccess) {
    EXPECT_EQ(err::Success, w.profile().WriteProfileString(nullptr, nullptr, nullptr));
}

// A driver without files, which Wine's spooler accepts, so that printers can
// be added.
class Win32Printers : public Win32Smoke {
protected:
    static constexpr const char* kDriver = "Quillset Smoke Driver";
    static constexpr const char* kPrinter = "Quillset Smoke Printer";

    void SetUp() override {
        DriverInfo3 driver;
        driver.cVersion = 3;
        driver.pName = kDriver;
        driver.pEnvironment = w.spooler().LocalEnvironment();
        driver.pDriverPath = "QSMOKE.DLL";
        driver.pDataFile = "QSMOKE.GPD";
        driver.pConfigFile = "QSMOKEUI.DLL";
        ASSERT_EQ(err::Success, w.spooler().AddPrinterDriver(driver));
    }
    void TearDown() override {
        Printer printer;
        if (w.spooler().OpenPrinter(kPrinter, printer) == err::Success)
            w.spooler().DeletePrinter(printer);
        printer.reset();
        w.spooler().DeletePrinterDriver(nullptr, w.spooler().LocalEnvironment(), kDriver);
    }
    PrinterInfo2 Record(const char* port = "LPT1:") const {
        PrinterInfo2 info;
        info.pPrinterName = kPrinter;
        info.pPortName = port;
        info.pDriverName = kDriver;
        info.pPrintProcessor = "winprint";
        return info;
    }
};

TEST_F(Win32Printers, AddedPrinterReadsBackWithRawAsDefaultDataType) {
    Printer printer;
    ASSERT_EQ(err::Success, w.spooler().AddPrinter(Record(), printer));
    ASSERT_TRUE(printer);
    uint32_t needed = 0;
    EXPECT_EQ(err::InsufficientBuffer, w.spooler().GetPrinterSize(printer, needed));
    EXPECT_GT(needed, 0u);
    PrinterInfo info;
    ASSERT_EQ(err::Success, w.spooler().GetPrinter(printer, info));
    EXPECT_EQ(kPrinter, info.printerName);
    EXPECT_EQ("LPT1:", info.portName);
    EXPECT_EQ(kDriver, info.driverName);
    EXPECT_EQ("winprint", info.printProcessor);
    EXPECT_EQ("RAW", info.datatype);

    info.comment = "changed";
    EXPECT_EQ(err::Success, w.spooler().SetPrinter(printer, info));
    PrinterInfo again;
    ASSERT_EQ(err::Success, w.spooler().GetPrinter(printer, again));
    EXPECT_EQ("changed", again.comment);
    EXPECT_EQ("LPT1:", again.portName);

    std::vector<PrinterInfo5> printers;
    ASSERT_EQ(err::Success, w.spooler().EnumPrinters(printers));
    bool listed = false;
    for (const auto& p : printers) listed = listed || (p.printerName == kPrinter && p.portName == "LPT1:");
    EXPECT_TRUE(listed);
}

TEST_F(Win32Printers, ExistingNameIsRefusedAndTheQueueKept) {
    Printer first;
    ASSERT_EQ(err::Success, w.spooler().AddPrinter(Record("LPT1:"), first));
    Printer second;
    EXPECT_EQ(err::PrinterAlreadyExists, w.spooler().AddPrinter(Record("LPT2:"), second));
    EXPECT_FALSE(second);
    PrinterInfo info;
    ASSERT_EQ(err::Success, w.spooler().GetPrinter(first, info));
    EXPECT_EQ("LPT1:", info.portName);
}

TEST_F(Win32Printers, MissingPrintProcessorIsRefusedWithoutAPrinter) {
    PrinterInfo2 info = Record();
    info.pPrintProcessor = nullptr;
    Printer printer;
    EXPECT_EQ(err::InvalidParameter, w.spooler().AddPrinter(info, printer));
    EXPECT_FALSE(printer);
    EXPECT_EQ(err::InvalidPrinterName, w.spooler().OpenPrinter(kPrinter, printer));
}

TEST_F(Win32Smoke, SpoolerLibraryFindsItsEntryPoints) {
    uint32_t error = 99;
    auto spooler = w.spooler().LoadSpoolerLibrary("winspool.drv", error);
    ASSERT_TRUE(spooler);
    EXPECT_EQ(err::Success, error);
    EXPECT_TRUE(spooler->HasSetDefaultPrinter());
    EXPECT_TRUE(spooler->HasDeletePrinterDriverEx());
    EXPECT_NE(err::Success, spooler->SetDefaultPrinter("Quillset No Such Printer"));

    auto missing = w.spooler().LoadSpoolerLibrary("QuillsetNoSuchLibrary.dll", error);
    EXPECT_FALSE(missing);
    EXPECT_EQ(err::ModNotFound, error);
}

TEST_F(Win32Smoke, UsbLibraryPassesTheArgumentsThrough) {
    uint32_t error = 99;
    auto usb = w.usb().LoadUsbLibrary("UsbProbe.dll", error);
    ASSERT_TRUE(usb) << error;
    for (const char* entry : {"OpenDeviceX", "CloseDevice", "uWrite", "GetPrinterInternalID",
                              "GetDescriptor"})
        EXPECT_TRUE(usb->Has(entry)) << entry;
    EXPECT_FALSE(usb->Has("NoSuchEntry"));

    EXPECT_EQ(0, usb->OpenDeviceX(0));
    EXPECT_EQ(-1, usb->OpenDeviceX(1));
    const int32_t device = usb->OpenDeviceX(3);
    EXPECT_EQ(0x5A03, device);
    EXPECT_EQ(9, usb->GetPrinterInternalID(device));
    const uint8_t command[10] = {0x1B, 1, 2, 3, 4, 5, 0x1D, 'I', ' ', 2};
    EXPECT_EQ((0x1B << 16) | (2 << 8) | 10, usb->uWrite(device, 0, command, 10));
    EXPECT_EQ(-1, usb->uWrite(device, 1, command, 10));
    usb->CloseDevice(-1);
    EXPECT_EQ(-1, usb->GetPrinterInternalID(-100));
    usb->CloseDevice(device);
    EXPECT_EQ(device, usb->GetPrinterInternalID(-100));

    auto missing = w.usb().LoadUsbLibrary("QuillsetNoSuchUsb.dll", error);
    EXPECT_FALSE(missing);
    EXPECT_EQ(err::ModNotFound, error);
}

TEST_F(Win32Smoke, SecondMutexOfANameReportsItAndStillHoldsAHandle) {
    Mutex first, second;
    ASSERT_EQ(err::Success, w.desktop().CreateMutex("QuillsetSmokeMutex", false, first));
    EXPECT_EQ(err::AlreadyExists, w.desktop().CreateMutex("QuillsetSmokeMutex", false, second));
    EXPECT_TRUE(second);
    EXPECT_EQ(err::Success, second.reset());
    EXPECT_EQ(err::Success, first.reset());
    Mutex fresh;
    EXPECT_EQ(err::Success, w.desktop().CreateMutex("QuillsetSmokeMutex", true, fresh));
}

TEST_F(Win32Smoke, TokenAndVersion) {
    Token token;
    EXPECT_EQ(err::NoToken, w.system().OpenThreadToken(token));
    EXPECT_FALSE(token);
    ASSERT_EQ(err::Success, w.system().OpenProcessToken(token));
    uint32_t needed = 0;
    EXPECT_EQ(err::InsufficientBuffer, w.system().GetTokenGroupsSize(token, needed));
    EXPECT_GT(needed, 0u);
    std::vector<std::string> sids;
    ASSERT_EQ(err::Success, w.system().GetTokenGroups(token, sids));
    EXPECT_NE(sids.end(), std::find(sids.begin(), sids.end(), "S-1-5-32-544"));
    // The texts are those of ConvertSidToStringSidA (which the programs
    // cannot import: Windows NT 4.0 lacks it), group by group.
    HANDLE process = nullptr;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &process));
    std::vector<uint64_t> block(needed / sizeof(uint64_t) + 1);
    DWORD size = 0;
    ASSERT_TRUE(::GetTokenInformation(process, TokenGroups, block.data(),
                                      static_cast<DWORD>(block.size() * sizeof(uint64_t)), &size));
    ::CloseHandle(process);
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(block.data());
    std::vector<std::string> expected;
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
        LPSTR text = nullptr;
        ASSERT_TRUE(::ConvertSidToStringSidA(groups->Groups[i].Sid, &text));
        expected.emplace_back(text);
        ::LocalFree(text);
    }
    EXPECT_EQ(expected, sids);
    EXPECT_EQ(err::Success, w.desktop().EnableShutdownPrivilege());

    OsVersion version;
    version.platformId = 0;
    ASSERT_EQ(err::Success, w.system().GetVersion(version));
    EXPECT_EQ(2u, version.platformId);
    EXPECT_GE(version.major, 5u);
}

TEST_F(Win32Smoke, FileVersionOfASystemLibrary) {
    std::string system;
    ASSERT_EQ(err::Success, w.folders().GetSystemDirectory(system, 260));
    VersionResource version;
    ASSERT_EQ(err::Success, w.files().GetFileVersion(system + "\\kernel32.dll", version));
    ASSERT_FALSE(version.translations.empty());
    ASSERT_FALSE(version.strings.empty());
    EXPECT_EQ(0u, version.strings[0].first.find("\\StringFileInfo\\"));
    EXPECT_TRUE(EndsWith(version.strings[0].first, "\\FileVersion"));
    EXPECT_FALSE(version.strings[0].second.empty());

    std::string windows;
    ASSERT_EQ(err::Success, w.folders().GetWindowsDirectory(windows, 260));
    EXPECT_NE(err::Success, w.files().GetFileVersion(windows + "\\win.ini", version));
    EXPECT_TRUE(version.translations.empty());
    EXPECT_EQ(err::FileNotFound,
              w.files().GetFileVersion(windows + "\\QuillsetMissing.dll", version));
}

}  // namespace
