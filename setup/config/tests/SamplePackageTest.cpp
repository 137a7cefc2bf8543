// The reader on the sample installation package of the source tree.
#include <cstring>
#include <string>
#include <vector>

#include "setup/config/tests/ReaderFixture.h"

namespace {

class SamplePackageTest : public ReaderTest {
protected:
    void SetUp() override {
        if (sim.MountHostFolder(KV_SOURCE_PACKAGE_DIR, "C:\\PKG") <= 0) {
            GTEST_SKIP() << "no sample package at " << KV_SOURCE_PACKAGE_DIR;
        }
    }

    struct Model {
        std::string name;
        int32_t kind;
    };
    std::vector<Model> Offered(ModelConfigReader& reader) {
        std::vector<Model> models;
        char buffer[200];
        for (int32_t i = 1; i <= reader.ReadModelCount(); ++i) {
            const int32_t kind = reader.ReadModelEntry(i, buffer);
            if (kind >= 0) models.push_back({buffer, kind});
        }
        return models;
    }
};

TEST_F(SamplePackageTest, OffersItsModelsUnderTheirModules) {
    ModelConfigReader reader(sim);
    const std::vector<Model> models = Offered(reader);
    ASSERT_FALSE(models.empty());
    bool kinds[4] = {};
    for (const Model& m : models) {
        EXPECT_EQ(m.name.find("Printer"), std::string::npos) << m.name;
        kinds[m.kind] = true;
    }
    for (bool seen : kinds) EXPECT_TRUE(seen);
    char name[260];
    EXPECT_GE(reader.ReadDefaultModel(name), 0);
    EXPECT_STRNE(name, "0");
}

TEST_F(SamplePackageTest, EveryModelHasDriverAndQueueForWindowsXp) {
    ModelConfigReader reader(sim);
    for (const Model& m : Offered(reader)) {
        SCOPED_TRACE(m.name);
        reader.SetModuleKind(m.kind);
        for (int32_t mode : {Std, Gdi}) {
            DriverRecord driver{};
            PrinterRecord printer{};
            DriverFileTable table;
            reader.ReadDriverFileTable(m.name.c_str(), WinXP, table, mode);
            reader.ReadDriverRecord(m.name.c_str(), WinXP, driver, mode);
            reader.ReadPrinterRecord(m.name.c_str(), WinXP, printer, mode);
            EXPECT_STRNE(driver.pName, "0");
            EXPECT_LT(std::strlen(driver.pName), 49u);
            EXPECT_STREQ(printer.pDriverName, driver.pName);
            EXPECT_STRNE(printer.pPrintProcessor, "0");
            EXPECT_STREQ(printer.pPrinterName, m.name.c_str());
            EXPECT_STREQ(table.Field(DriverFileTable::DataFile), driver.pDataFile);
            // The files the installation copies are in the package's folder.
            for (size_t field : {DriverFileTable::DataFile, DriverFileTable::HelpFile}) {
                EXPECT_TRUE(sim.FileExists(std::string("C:\\PKG\\winnt\\") + table.Field(field)))
                    << table.Field(field);
            }
            if (driver.pDependentFiles[0] != '\0') {
                for (const std::string& file : Names(driver.pDependentFiles)) {
                    if (file.ends_with(".DLL")) continue;  // built with the tools
                    EXPECT_TRUE(sim.FileExists("C:\\PKG\\winnt\\" + file)) << file;
                }
            }
        }
    }
}

TEST_F(SamplePackageTest, MonitorsAndProcessorVersion) {
    ModelConfigReader reader(sim);
    for (int32_t os = Win98; os <= WinVista; ++os) {
        MonitorSettings settings;
        reader.ReadMonitorSettings(os, settings);
        EXPECT_STREQ(settings.usbMonitor.pName, "Quillset USB Port Monitor");
        EXPECT_STREQ(settings.usbMonitor.pDLLName, "QSUSBMON.DLL");
        EXPECT_STREQ(settings.serialMonitor.pName, "Quillset Serial Port Monitor");
        EXPECT_STREQ(settings.serialMonitor.pDLLName, "QSCOMMON.DLL");
        EXPECT_GT(settings.usbVersion, 0);
        EXPECT_GT(settings.serialVersion, 0);
    }
    EXPECT_GT(reader.ReadProcessorVersion(), 0);
}

TEST_F(SamplePackageTest, AModelWithoutAServer2003SectionReadsZero) {
    ModelConfigReader reader(sim);
    bool found = false;
    for (const Model& m : Offered(reader)) {
        std::string ini;
        sim.files().ReadFile(reader.ModuleIniPath(m.kind), ini);
        if (ini.find("[" + m.name + ".2003]") != std::string::npos) continue;
        found = true;
        reader.SetModuleKind(m.kind);
        DriverRecord driver{};
        reader.ReadDriverRecord(m.name.c_str(), Win2003, driver, Gdi);
        EXPECT_STREQ(driver.pName, "0") << m.name;
        EXPECT_EQ(driver.pDependentFiles[0], '\0');
    }
    EXPECT_TRUE(found) << "the package has every model for Server 2003";
}

}  // namespace
