#include <climits>
#include <cstring>
#include <string>

#include "setup/config/tests/ReaderFixture.h"

namespace {

class ConfigPathsTest : public ReaderTest {
protected:
    void Build(int32_t module) {
        std::memset(setupPath, 'x', sizeof setupPath);
        std::memset(modulePath, 'x', sizeof modulePath);
        BuildConfigPaths(sim, module, setupPath, modulePath);
    }
    char setupPath[200];
    char modulePath[200];
};

TEST_F(ConfigPathsTest, ProgramFolderEndsWithTheLastBackslash) {
    EXPECT_EQ(ProgramFolder(sim), "C:\\PKG\\");
    sim.SetModuleFileName("D:\\a b\\c.d\\Setup.exe");
    EXPECT_EQ(ProgramFolder(sim), "D:\\a b\\c.d\\");
    sim.SetModuleFileName("Setup.exe");
    EXPECT_EQ(ProgramFolder(sim), "");
}

TEST_F(ConfigPathsTest, UnreadableProgramNameGivesNoFolder) {
    // A name too long for its buffer would give a cut-off folder.
    sim.SetModuleFileName("C:\\" + std::string(250, 'p') + "\\Setup.exe");
    EXPECT_EQ(ProgramFolder(sim), "");
    sim.SetModuleFileName("C:\\PKG\\Setup.exe");
    sim.FailCall("GetModuleFileName", plat::err::InsufficientBuffer);
    EXPECT_EQ(ProgramFolder(sim), "");
    EXPECT_EQ(ProgramFolder(sim), "C:\\PKG\\");
}

TEST_F(ConfigPathsTest, BuildsTheCapitalisedModulePaths) {
    const char* names[] = {"setup_receipt.ini", "setup_Ticket.ini", "setup_Lable.ini",
                           "setup_Embedded.ini"};
    for (int32_t module = 0; module < 4; ++module) {
        Build(module);
        EXPECT_STREQ(setupPath, "C:\\PKG\\DRVCONFIG\\setup.ini");
        EXPECT_EQ(std::string(modulePath), std::string("C:\\PKG\\DRVCONFIG\\") + names[module]);
        EXPECT_EQ(std::string("DRVCONFIG\\") + names[module], ModuleIniName(module));
        // The buffers are cleared whole.
        for (size_t i = std::strlen(modulePath); i < sizeof modulePath; ++i) ASSERT_EQ(modulePath[i], '\0');
        for (size_t i = std::strlen(setupPath); i < sizeof setupPath; ++i) ASSERT_EQ(setupPath[i], '\0');
    }
    for (int32_t module : {-1, 4, 100}) {
        Build(module);
        EXPECT_STREQ(setupPath, "C:\\PKG\\DRVCONFIG\\setup.ini");
        EXPECT_STREQ(modulePath, "C:\\PKG\\");
        EXPECT_EQ(ModuleIniName(module), nullptr);
    }
}

TEST_F(ConfigPathsTest, CapitalisedAndReaderFormsNameTheSameFile) {
    PutIni("setup_lable.ini", "[L.PORT]\r\nAdvancedSetup=1\r\n");
    Build(Label);
    EXPECT_EQ(
        sim.profile().GetPrivateProfileString("L.PORT", "AdvancedSetup", "0", 200, modulePath),
        "1");
    ModelConfigReader reader(sim);
    EXPECT_EQ(sim.profile().GetPrivateProfileString("L.PORT", "AdvancedSetup", "0", 200,
                                          reader.ModuleIniPath(Label)),
              "1");
}

TEST_F(ConfigPathsTest, PathsThatDoNotFitStayEmpty) {
    // Folder of 174 characters: setup.ini (19) fits in 199, the embedded INI (28) does not.
    const std::string folder = "C:\\" + std::string(170, 'f') + "\\";
    sim.SetModuleFileName(folder + "Setup.exe");
    Build(Embedded);
    EXPECT_EQ(std::string(setupPath), folder + "DRVCONFIG\\setup.ini");
    EXPECT_STREQ(modulePath, "");
    for (char c : modulePath) ASSERT_EQ(c, '\0');

    ModelConfigReader reader(sim);
    EXPECT_EQ(std::string(reader.SetupIniPath()), folder + "DRVCONFIG\\setup.ini");
    EXPECT_STREQ(reader.ModuleIniPath(Embedded), "");
    // The reader then reads nothing from a cut-off name.
    sim.PutFile(folder + "DRVCONFIG\\setup_embedde", "[E.XP]\r\nGDIDriverName=wrong\r\n");
    reader.SetModuleKind(Embedded);
    DriverRecord record{};
    reader.ReadDriverRecord("E", WinXP, record, Gdi);
    EXPECT_STREQ(record.pName, "0");
}

TEST_F(ConfigPathsTest, ProgramWithoutFolderUsesRelativePaths) {
    sim.SetModuleFileName("Setup.exe");
    Build(Receipt);
    EXPECT_STREQ(setupPath, "DRVCONFIG\\setup.ini");
    EXPECT_STREQ(modulePath, "DRVCONFIG\\setup_receipt.ini");
    Build(9);
    EXPECT_STREQ(modulePath, "");
}

TEST(IniToInt, ConvertsLeadingDecimalDigits) {
    EXPECT_EQ(IniToInt("42"), 42);
    EXPECT_EQ(IniToInt("  \t-17abc"), -17);
    EXPECT_EQ(IniToInt("+8"), 8);
    EXPECT_EQ(IniToInt("0x1F"), 0);
    EXPECT_EQ(IniToInt("abc"), 0);
    EXPECT_EQ(IniToInt(""), 0);
    EXPECT_EQ(IniToInt("-"), 0);
    EXPECT_EQ(IniToInt("- 5"), 0);
    EXPECT_EQ(IniToInt(nullptr), 0);
    EXPECT_EQ(IniToInt("2147483647"), INT32_MAX);
    EXPECT_EQ(IniToInt("-2147483648"), INT32_MIN);
    // Beyond the range: the nearest end, never an overflow.
    EXPECT_EQ(IniToInt("2147483648"), INT32_MAX);
    EXPECT_EQ(IniToInt("99999999999999999999999999"), INT32_MAX);
    EXPECT_EQ(IniToInt("-99999999999999999999999999"), INT32_MIN);
}

}  // namespace
