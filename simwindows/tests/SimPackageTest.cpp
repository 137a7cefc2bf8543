// The sample package on the simulated machine: what an installation does at
// the seam, step by step, with the package's own INI values.
#include <gtest/gtest.h>

#include "tests/support/SamplePackage.h"

namespace plat {
namespace {

TEST(SimPackage, AnInstallationOfTheSamplePackageRunsThroughTheSeam) {
    SimTestWindows w;
    support::SetOsClass(w, WinXP);
    ASSERT_GT(support::MountSamplePackage(w), 10);
    support::SetSamplePorts(w);
    const std::string ini = "DRVCONFIG\\setup.ini", module = "DRVCONFIG\\setup_receipt.ini";
    std::string monitor =
        w.profile().GetPrivateProfileString("COMMON-MONITOR.XP", "USBMONitorPName", "0", 200, ini);
    std::string dll = w.profile().GetPrivateProfileString("COMMON-MONITOR.XP", "USBMONitorPDLLName",
                                                          "0", 200, ini);
    ASSERT_EQ(dll, "QSUSBMON.DLL");

    std::string sys, drv, cur;
    ASSERT_EQ(w.folders().GetSystemDirectory(sys, 256), 0u);
    ASSERT_EQ(w.folders().GetPrinterDriverDirectory(nullptr, drv, 256), 0u);
    ASSERT_EQ(w.folders().GetCurrentDirectory(cur, 256), 0u);
    ASSERT_EQ(w.files().CopyFile(cur + "\\winnt\\" + dll, sys + "\\" + dll, false), 0u);
    MonitorInfo2 m{monitor.c_str(), w.spooler().LocalEnvironment(), dll.c_str()};
    ASSERT_EQ(w.spooler().AddMonitor(m), 0u);

    const std::string s = "KRT-P58.XP";
    auto get = [&](const char* key) {
        return w.profile().GetPrivateProfileString(s, key, "0", 200, module);
    };
    std::vector<std::string> files = {get("STDDriverPath"),      get("STDDataFile"),
                                      get("STDConfigFile"),      get("STDHelpFile"),
                                      get("STDDataFileDLLName"), get("STDDataOemuiDLL"),
                                      get("STDDataOemuniDLL"),   get("STDDataOemuniini")};
    for (const auto& f : files)
        ASSERT_EQ(w.files().CopyFile(cur + "\\winnt\\" + f, drv + "\\" + f, false), 0u) << f;
    std::string deps;
    for (size_t i = 4; i < files.size(); ++i) deps += files[i] + '\0';
    deps += '\0';
    std::string name = get("STDDriverName");
    DriverInfo3 d;
    d.cVersion = 3;
    d.pName = name.c_str();
    d.pEnvironment = w.spooler().LocalEnvironment();
    d.pDriverPath = files[0].c_str();
    d.pDataFile = files[1].c_str();
    d.pConfigFile = files[2].c_str();
    d.pHelpFile = files[3].c_str();
    d.pDependentFiles = deps.c_str();
    ASSERT_EQ(w.spooler().AddPrinterDriver(d), 0u);
    EXPECT_TRUE(w.FileExists(drv + "\\3\\QSRCPT.GPD"));

    std::vector<std::string> ports;
    ASSERT_EQ(w.spooler().EnumPorts(ports), 0u);
    ASSERT_NE(std::find(ports.begin(), ports.end(), "USB_KRT-P58_1"), ports.end());
    PrinterInfo2 p;
    std::string queue = "KRT-P58(U) 1", proc = get("STDPrintProcessor");
    p.pPrinterName = queue.c_str();
    p.pPortName = "USB_KRT-P58_1";
    p.pDriverName = name.c_str();
    p.pPrintProcessor = proc.c_str();
    p.Attributes = static_cast<uint32_t>(std::stoul(get("ATTRIBUTES")));
    Printer printer;
    ASSERT_EQ(w.spooler().AddPrinter(p, printer), 0u);
    uint32_t error = 0;
    auto spooler = w.spooler().LoadSpoolerLibrary("winspool.drv", error);
    ASSERT_TRUE(spooler);
    ASSERT_EQ(spooler->SetDefaultPrinter(queue.c_str()), 0u);
    EXPECT_EQ(w.DefaultPrinter(), queue);
    EXPECT_EQ(w.spooler().DeleteMonitor(nullptr, monitor), err::PrintMonitorInUse);
}

TEST(SimPackage, VersionsOfEachClassAndWindows98PortKeys) {
    SimTestWindows w;
    support::SetOsClass(w, Win98);
    OsVersion v;
    ASSERT_EQ(w.system().GetVersion(v), 0u);
    EXPECT_EQ(v.platformId, 1u);
    EXPECT_EQ(w.RegText(Root::LocalMachine,
                        "System\\CurrentControlSet\\Services\\Class\\Ports\\0001", "PortSubClass"),
              "01");
    support::SetOsClass(w, WinVista);
    ASSERT_EQ(w.system().GetVersion(v), 0u);
    EXPECT_EQ(v.major, 6u);
    EXPECT_EQ(v.minor, 0u);
    EXPECT_TRUE(w.KeyExists(Root::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports"));
}

}  // namespace
}  // namespace plat
