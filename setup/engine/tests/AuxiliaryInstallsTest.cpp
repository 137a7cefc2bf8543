// The Vietnamese fonts, file version texts and the USB device driver check.
#include "setup/engine/tests/StagesMachine.h"

namespace stagestest {
namespace {

constexpr const char* kFonts = "C:\\WINDOWS\\Fonts\\";

class FontsTest : public StagesMachine {};

TEST_F(FontsTest, CopiesBothFoldersWithoutOverwriting) {
    w.PutFile("C:\\PKG\\TCVN3 Font\\A.TTF", "tcvn a");
    w.PutFile("C:\\PKG\\TCVN3 Font\\B.TTF", "tcvn b");
    w.PutFolder("C:\\PKG\\TCVN3 Font\\Extra");
    w.PutFile("C:\\PKG\\VNI Font\\C.TTF", "vni c");
    w.PutFile(std::string(kFonts) + "B.TTF", "the user's own");

    EXPECT_TRUE(InstallVietnameseFonts(w));
    EXPECT_EQ(File(std::string(kFonts) + "A.TTF"), "tcvn a");
    EXPECT_EQ(File(std::string(kFonts) + "B.TTF"), "the user's own");
    EXPECT_EQ(File(std::string(kFonts) + "C.TTF"), "vni c");
    EXPECT_FALSE(w.FolderExists(std::string(kFonts) + "Extra"));
}

TEST_F(FontsTest, WithoutTheFirstFolderNothingIsCopied) {
    w.PutFile("C:\\PKG\\VNI Font\\C.TTF", "vni c");
    EXPECT_FALSE(InstallVietnameseFonts(w));
    EXPECT_FALSE(w.FileExists(std::string(kFonts) + "C.TTF"));

    // The second folder missing is a failure too, after the first was copied.
    w.RemovePath("C:\\PKG\\VNI Font");
    w.PutFile("C:\\PKG\\TCVN3 Font\\A.TTF", "tcvn a");
    EXPECT_FALSE(InstallVietnameseFonts(w));
    EXPECT_TRUE(w.FileExists(std::string(kFonts) + "A.TTF"));
}

TEST_F(FontsTest, UnreadableFoldersFail) {
    w.PutFile("C:\\PKG\\TCVN3 Font\\A.TTF", "tcvn a");
    w.FailCall("GetWindowsDirectory", 8);
    EXPECT_FALSE(InstallVietnameseFonts(w));
    w.FailCall("GetCurrentDirectory", 8);
    EXPECT_FALSE(InstallVietnameseFonts(w));
    EXPECT_EQ(w.CallCount("CopyFile"), 0);
}

// ---------------------------------------------------------------- versions

class VersionTest : public StagesMachine {
protected:
    static constexpr const char* kPackageDriver = "C:\\PKG\\USBDRV2.20\\bulkusb.sys";
    static constexpr const char* kInstalledDriver = "C:\\WINDOWS\\system32\\drivers\\bulkusb.sys";
    void PutDriver(const char* path, const std::string& version) {
        w.PutFile(path, "driver");
        w.SetFileVersion(path, plat::SimTestWindows::MakeVersion(version));
    }
};

TEST_F(VersionTest, VersionStringOfTheFirstTranslation) {
    w.PutFile("C:\\A.SYS", "x");
    EXPECT_EQ(GetFileVersionString(w, "C:\\A.SYS"), "0.0.0.0");  // no resource
    EXPECT_EQ(GetFileVersionString(w, "C:\\MISSING.SYS"), "0.0.0.0");

    plat::VersionResource resource;
    resource.translations = {{0x0409, 0x04b0}, {0x0407, 0x04e4}};
    resource.strings = {{"\\StringFileInfo\\040704e4\\FileVersion", "9.9.9.9"},
                        {"\\StringFileInfo\\040904B0\\FileVersion", "5.1.2600.0"}};
    w.SetFileVersion("C:\\A.SYS", resource);
    EXPECT_EQ(GetFileVersionString(w, "C:\\A.SYS"), "5.1.2600.0");

    resource.strings = {{"\\StringFileInfo\\040904b0\\FileVersion", ""}};
    w.SetFileVersion("C:\\A.SYS", resource);
    EXPECT_EQ(GetFileVersionString(w, "C:\\A.SYS"), "0.0.0.0");
    resource.translations.clear();
    w.SetFileVersion("C:\\A.SYS", resource);
    EXPECT_EQ(GetFileVersionString(w, "C:\\A.SYS"), "0.0.0.0");
}

TEST_F(VersionTest, UsbDeviceDriverComparedPartByPart) {
    struct Case {
        const char* package;
        const char* installed;  // nullptr: not installed
        int32_t expected;
    } cases[] = {
        {"2.2.0.0", "2.1.0.0", 1},   {"2.2.0.0", "2.2.0.0", 0},   {"2.2.0.0", "2.3.0.0", 0},
        {"2.2.0.0", nullptr, -1},    {"2.10.0.0", "2.9.0.0", 1},  {"2.9.0.0", "2.10.0.0", 0},
        {"2.2.0.0", "2, 1, 0, 0", 1}, {"2.2.0.0", "2.2", 0},      {"2.2.0.1", "2.2", 1},
        {"2.2.0.0", "0.0.0.0", -1},
    };
    for (const Case& c : cases) {
        w.RemovePath(kInstalledDriver);
        PutDriver(kPackageDriver, c.package);
        if (c.installed) PutDriver(kInstalledDriver, c.installed);
        EXPECT_EQ(CheckUsbDeviceDriver(w), c.expected)
            << c.package << " over " << (c.installed ? c.installed : "none");
    }
}

TEST_F(VersionTest, NoDriverOnEitherSideIsNothingToDo) {
    EXPECT_EQ(CheckUsbDeviceDriver(w), 0);
    PutDriver(kInstalledDriver, "2.2.0.0");
    EXPECT_EQ(CheckUsbDeviceDriver(w), 0);  // the package carries none
}

}  // namespace
}  // namespace stagestest
