// The simulated spooler, service control, token, USB library, user interface
// and the machine's thread safety.
#include <gtest/gtest.h>

#include <thread>

#include "simwindows/testing/SimTestWindows.h"

namespace plat {
namespace {

constexpr const char* kSys = "C:\\WINDOWS\\system32";
constexpr const char* kDrv = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86";
constexpr const char* kProc = "C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86";
constexpr const char* kMonKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";

// A machine with the USB monitor and a driver "Q" ready for a printer.
struct Spooler : ::testing::Test {
    SimTestWindows w;
    void SetUp() override {
        w.PutFile(std::string(kSys) + "\\QSUSBMON.DLL", "MZ");
        w.SetMonitorPorts("QSUSBMON.DLL", {"USB_Q_1", "USB_Q_2"});
        for (const char* f : {"Q.GPD", "UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL", "Q.HLP"})
            w.PutFile(std::string(kDrv) + "\\" + f, f);
    }
    uint32_t AddUsbMonitor() {
        MonitorInfo2 m{"Quillset USB Port Monitor", "Windows NT x86", "QSUSBMON.DLL"};
        return w.spooler().AddMonitor(m);
    }
    uint32_t AddDriver(const char* name = "Q", const char* deps = "UNIRES.DLL\0\0") {
        DriverInfo3 d;
        d.cVersion = 3;
        d.pName = name;
        d.pEnvironment = "Windows NT x86";
        d.pDriverPath = "UNIDRV.DLL";
        d.pDataFile = "Q.GPD";
        d.pConfigFile = "UNIDRVUI.DLL";
        d.pHelpFile = "Q.HLP";
        d.pDependentFiles = deps;
        return w.spooler().AddPrinterDriver(d);
    }
    uint32_t AddPrinter(const char* name, const char* port, Printer& out,
                        const char* driver = "Q", const char* proc = "WinPrint") {
        PrinterInfo2 p;
        p.pPrinterName = name;
        p.pPortName = port;
        p.pDriverName = driver;
        p.pPrintProcessor = proc;
        p.pDatatype = "RAW";
        return w.spooler().AddPrinter(p, out);
    }
};

TEST_F(Spooler, MonitorsNeedTheirDllRegisterTheirKeyAndPortsAndRefuseRemovalInUse) {
    MonitorInfo2 missing{"Serial", "Windows NT x86", "QSCOMMON.DLL"};
    EXPECT_EQ(w.spooler().AddMonitor(missing), err::ModNotFound);
    ASSERT_EQ(AddUsbMonitor(), 0u);
    EXPECT_EQ(AddUsbMonitor(), err::PrintMonitorAlreadyInstalled);
    EXPECT_EQ(w.RegText(Root::LocalMachine, std::string(kMonKey) + "Quillset USB Port Monitor",
                        "Driver"),
              "QSUSBMON.DLL");
    std::vector<std::string> ports;
    ASSERT_EQ(w.spooler().EnumPorts(ports), 0u);
    EXPECT_EQ(ports.front(), "LPT1:");
    EXPECT_EQ(ports.back(), "USB_Q_2");

    ASSERT_EQ(AddDriver(), 0u);
    Printer p;
    ASSERT_EQ(AddPrinter("Q(U) 2", "USB_Q_2", p), 0u);
    RegKey key;
    ASSERT_EQ(w.registry().RegOpenKey(Root::LocalMachine,
                                      std::string(kMonKey) + "Quillset USB Port Monitor", key),
              0u);
    EXPECT_EQ(w.spooler().DeleteMonitor(nullptr, "Quillset USB Port Monitor"),
              err::PrintMonitorInUse);
    EXPECT_EQ(w.spooler().DeleteMonitor(nullptr, "Nobody"), err::UnknownPrintMonitor);
    ASSERT_EQ(w.spooler().DeletePrinter(p), 0u);
    ASSERT_EQ(w.spooler().DeleteMonitor(nullptr, "quillset usb port monitor"), 0u);
    EXPECT_FALSE(w.KeyExists(Root::LocalMachine, std::string(kMonKey) + "Quillset USB Port Monitor"));
    std::vector<uint8_t> data;
    EXPECT_EQ(w.registry().RegQueryValue(key, "Driver", nullptr, data, 100), sim::KeyDeleted);
    ASSERT_EQ(w.spooler().EnumPorts(ports), 0u);
    EXPECT_EQ(ports.back(), "FILE:");
}

TEST_F(Spooler, LoadedDllsAreInUseWhileTheSpoolerRunsWhenSwitchedOn) {
    const std::string dll = std::string(kSys) + "\\QSUSBMON.DLL";
    w.PutFile("C:\\PKG\\QSUSBMON.DLL", "new");
    ASSERT_EQ(AddUsbMonitor(), 0u);
    EXPECT_EQ(w.files().CopyFile("C:\\PKG\\QSUSBMON.DLL", dll, false), 0u);  // off by default
    w.SetSpoolerDllsInUse(true);
    EXPECT_EQ(w.files().CopyFile("C:\\PKG\\QSUSBMON.DLL", dll, false), err::SharingViolation);
    EXPECT_EQ(w.files().DeleteFile(dll), err::SharingViolation);
    EXPECT_EQ(w.files().DeleteFile(std::string(kProc) + "\\winprint.dll"), err::SharingViolation);
    ScHandle scm, spooler;
    ASSERT_EQ(w.services().OpenScManager(scm), 0u);
    ASSERT_EQ(w.services().OpenService(scm, "Spooler", svc::Stop | svc::Start, spooler), 0u);
    ASSERT_EQ(w.services().ControlServiceStop(spooler), 0u);
    EXPECT_EQ(w.files().CopyFile("C:\\PKG\\QSUSBMON.DLL", dll, false), 0u);
    ASSERT_EQ(w.services().StartService(spooler), 0u);
    EXPECT_EQ(w.files().DeleteFile(dll), err::SharingViolation);
}

TEST_F(Spooler, ProcessorsLiveInTheirEnvironmentsFolder) {
    EXPECT_EQ(w.spooler().AddPrintProcessor(nullptr, "QSPROC.DLL", "QsProc"), err::FileNotFound);
    w.PutFile(std::string(kProc) + "\\QSPROC.DLL", "MZ");
    EXPECT_EQ(w.spooler().AddPrintProcessor("Windows 4.0", "QSPROC.DLL", "QsProc"),
              err::FileNotFound);
    ASSERT_EQ(w.spooler().AddPrintProcessor(nullptr, "QSPROC.DLL", "QsProc"), 0u);
    EXPECT_EQ(w.spooler().AddPrintProcessor("Windows NT x86", "QSPROC.DLL", "qsproc"),
              err::PrintProcessorAlreadyInstalled);
    EXPECT_EQ(w.RegText(Root::LocalMachine,
                        "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT "
                        "x86\\Print Processors\\QsProc",
                        "Driver"),
              "QSPROC.DLL");
    std::vector<std::string> names;
    ASSERT_EQ(w.spooler().EnumPrintProcessors(nullptr, names), 0u);
    EXPECT_EQ(names, (std::vector<std::string>{"WinPrint", "QsProc"}));
    ASSERT_EQ(AddDriver(), 0u);
    Printer p;
    ASSERT_EQ(AddPrinter("Q", "LPT1:", p, "Q", "QsProc"), 0u);
    EXPECT_EQ(w.spooler().DeletePrintProcessor(nullptr, "QsProc"), err::CanNotComplete);
    EXPECT_EQ(w.spooler().DeletePrintProcessor(nullptr, "Other"), sim::UnknownPrintProcessor);
    ASSERT_EQ(w.spooler().DeletePrinter(p), 0u);
    EXPECT_EQ(w.spooler().DeletePrintProcessor(nullptr, "QsProc"), 0u);
}

TEST_F(Spooler, DriversCopyTheirFilesAndDeleteUnusedOnesOnRequest) {
    DriverInfo3 bad;
    bad.cVersion = 3;
    bad.pName = "Q";
    bad.pEnvironment = "Windows NT x86";
    bad.pDriverPath = "UNIDRV.DLL";
    bad.pDataFile = "NONE.GPD";
    bad.pConfigFile = "UNIDRVUI.DLL";
    EXPECT_EQ(w.spooler().AddPrinterDriver(bad), err::FileNotFound);
    bad.pDataFile = "Q.GPD";
    bad.cVersion = 0;
    EXPECT_EQ(w.spooler().AddPrinterDriver(bad), err::InvalidParameter);
    EXPECT_TRUE(w.Drivers().empty());

    ASSERT_EQ(AddDriver("Q"), 0u);
    for (const char* f : {"Q.GPD", "UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL", "Q.HLP"})
        EXPECT_TRUE(w.FileExists(std::string(kDrv) + "\\3\\" + f)) << f;
    ASSERT_EQ(AddDriver("Q"), 0u);  // a second add replaces
    ASSERT_EQ(AddDriver("R", "\0"), 0u);
    EXPECT_EQ(w.Drivers().size(), 2u);

    Printer p;
    ASSERT_EQ(AddPrinter("Q", "LPT1:", p), 0u);
    EXPECT_EQ(w.spooler().DeletePrinterDriver(nullptr, nullptr, "Q"), err::PrinterDriverInUse);
    EXPECT_EQ(w.spooler().DeletePrinterDriver(nullptr, nullptr, "Z"), err::UnknownPrinterDriver);
    ASSERT_EQ(w.spooler().DeletePrinter(p), 0u);

    uint32_t error = 0;
    auto lib = w.spooler().LoadSpoolerLibrary("Winspool.drv", error);
    ASSERT_TRUE(lib);
    ASSERT_TRUE(lib->HasDeletePrinterDriverEx());
    ASSERT_EQ(lib->DeletePrinterDriverEx(nullptr, nullptr, "Q", 1, 0), 0u);
    // UNIRES.DLL was Q's alone; the rest is R's too.
    EXPECT_FALSE(w.FileExists(std::string(kDrv) + "\\3\\UNIRES.DLL"));
    EXPECT_TRUE(w.FileExists(std::string(kDrv) + "\\3\\Q.GPD"));
    EXPECT_TRUE(w.FileExists(std::string(kDrv) + "\\3\\UNIDRV.DLL"));
    EXPECT_EQ(lib->DeletePrinterDriverEx(nullptr, nullptr, "Q", 1, 0), err::UnknownPrinterDriver);
    lib.reset();
    EXPECT_EQ(w.SpoolerLibraryLoads(), 1);
    EXPECT_EQ(w.SpoolerLibraryFrees(), 1);
    w.SetSpoolerLibrary(false, true, true);
    EXPECT_FALSE(w.spooler().LoadSpoolerLibrary("winspool.drv", error));
    EXPECT_EQ(error, err::ModNotFound);
}

TEST_F(Spooler, PrintersCheckTheirPartsAndTrackTheDefault) {
    ASSERT_EQ(AddDriver(), 0u);
    Printer p;
    EXPECT_EQ(AddPrinter("Q", "LPT1:", p, "Nope"), err::UnknownPrinterDriver);
    EXPECT_EQ(AddPrinter("Q", "LPT1:", p, "Q", "Nope"), sim::UnknownPrintProcessor);
    EXPECT_EQ(AddPrinter("Q", "USB_Q_1", p), err::UnknownPort);
    EXPECT_EQ(AddPrinter("", "LPT1:", p), err::InvalidPrinterName);
    EXPECT_FALSE(p);
    ASSERT_EQ(AddPrinter("Q", "LPT1:", p), 0u);
    EXPECT_TRUE(p);
    Printer second;
    EXPECT_EQ(AddPrinter("q", "LPT2:", second), err::PrinterAlreadyExists);
    EXPECT_EQ(w.spooler().OpenPrinter("Nobody", second), err::InvalidPrinterName);
    ASSERT_EQ(w.spooler().OpenPrinter("Q", second), 0u);

    uint32_t needed = 0;
    EXPECT_EQ(w.spooler().GetPrinterSize(second, needed), err::InsufficientBuffer);
    EXPECT_GT(needed, 0u);
    PrinterInfo info;
    ASSERT_EQ(w.spooler().GetPrinter(second, info), 0u);
    EXPECT_EQ(info.portName, "LPT1:");
    EXPECT_EQ(info.datatype, "RAW");
    EXPECT_EQ(w.DefaultPrinter(), "");
    info.attributes |= printer_attr::Default;
    info.portName = "COM1:";
    ASSERT_EQ(w.spooler().SetPrinter(second, info), 0u);
    EXPECT_EQ(w.DefaultPrinter(), "Q");
    EXPECT_EQ(w.profile().GetProfileString("windows", "device", ""), "Q,winspool,COM1:");
    info.portName = "USB_Q_9";
    EXPECT_EQ(w.spooler().SetPrinter(second, info), err::UnknownPort);
    EXPECT_EQ(w.FindPrinter("Q")->portName, "COM1:");

    w.SetPrinterJobs("Q", 3);
    w.SetPrinterStatus("Q", 0x2);  // PRINTER_STATUS_ERROR
    std::vector<PrinterInfo5> list;
    ASSERT_EQ(w.spooler().EnumPrinters(list), 0u);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_TRUE(list[0].attributes & printer_attr::Default);
    ASSERT_EQ(w.spooler().GetPrinter(p, info), 0u);
    EXPECT_EQ(info.cJobs, 3u);
    EXPECT_EQ(info.status, 0x2u);
    // SetPrinter leaves the queue's own state alone.
    info.cJobs = 0;
    info.status = 0;
    ASSERT_EQ(w.spooler().SetPrinter(p, info), 0u);
    EXPECT_EQ(w.FindPrinter("Q")->cJobs, 3u);
    EXPECT_EQ(w.FindPrinter("Q")->status, 0x2u);

    uint32_t error = 0;
    auto lib = w.spooler().LoadSpoolerLibrary("winspool.drv", error);
    ASSERT_TRUE(lib);
    EXPECT_EQ(lib->SetDefaultPrinter("Nobody"), err::InvalidPrinterName);
    ASSERT_EQ(w.spooler().DeletePrinter(p), 0u);
    EXPECT_EQ(w.spooler().GetPrinter(second, info), err::InvalidHandle);
    EXPECT_EQ(w.DefaultPrinter(), "");
    w.SetSpoolerLibrary(true, false, false);
    EXPECT_FALSE(lib->HasSetDefaultPrinter());
    EXPECT_EQ(lib->SetDefaultPrinter("Q"), err::ProcNotFound);
}

TEST_F(Spooler, StoppedSpoolerRefusesCallsAndTheServiceLogsTransitions) {
    ScHandle scm, spooler, none;
    ASSERT_EQ(w.services().OpenScManager(scm), 0u);
    EXPECT_EQ(w.services().OpenService(scm, "NoSuch", svc::Start, none), err::ServiceDoesNotExist);
    ASSERT_EQ(w.services().OpenService(scm, "Spooler", svc::Start | svc::Stop | svc::QueryStatus,
                                       spooler),
              0u);
    EXPECT_EQ(w.services().StartService(spooler), err::ServiceAlreadyRunning);
    ASSERT_EQ(w.services().ControlServiceStop(spooler), 0u);
    EXPECT_EQ(w.services().ControlServiceStop(spooler), err::ServiceNotActive);
    std::vector<std::string> ports;
    EXPECT_EQ(w.spooler().EnumPorts(ports), sim::RpcServerUnavailable);
    EXPECT_EQ(AddUsbMonitor(), sim::RpcServerUnavailable);
    EXPECT_TRUE(w.Monitors().size() == 1);
    w.SetSpoolerNeverRuns(true);
    ASSERT_EQ(w.services().StartService(spooler), 0u);
    uint32_t state = 0;
    ASSERT_EQ(w.services().QueryServiceState(spooler, state), 0u);
    EXPECT_EQ(state, svc::StartPending);
    EXPECT_EQ(w.services().StartService(spooler), err::ServiceAlreadyRunning);
    EXPECT_EQ(w.ServiceLog(), (std::vector<std::string>{"stop", "start"}));
    ScHandle queryOnly;
    ASSERT_EQ(w.services().OpenService(scm, "spooler", svc::QueryStatus, queryOnly), 0u);
    EXPECT_EQ(w.services().ControlServiceStop(queryOnly), err::AccessDenied);
    EXPECT_EQ(w.services().OpenService(spooler, "Spooler", svc::Start, none), err::InvalidHandle);
}

TEST(SimSystem, TokensVersionAndShutdown) {
    SimTestWindows w;
    Token t;
    EXPECT_EQ(w.system().OpenThreadToken(t), err::NoToken);
    ASSERT_EQ(w.system().OpenProcessToken(t), 0u);
    uint32_t size = 0;
    EXPECT_EQ(w.system().GetTokenGroupsSize(t, size), err::InsufficientBuffer);
    EXPECT_GE(size, 4u + 5 * 8);
    std::vector<std::string> sids;
    ASSERT_EQ(w.system().GetTokenGroups(t, sids), 0u);
    EXPECT_NE(std::find(sids.begin(), sids.end(), sim::kAdministratorsSid), sids.end());
    w.SetThreadGroups(std::vector<std::string>{"S-1-1-0"});
    Token thread;
    ASSERT_EQ(w.system().OpenThreadToken(thread), 0u);
    ASSERT_EQ(w.system().GetTokenGroups(thread, sids), 0u);
    EXPECT_EQ(sids, std::vector<std::string>{"S-1-1-0"});

    OsVersion v;
    ASSERT_EQ(w.system().GetVersion(v), 0u);
    EXPECT_EQ(v.platformId, 2u);
    EXPECT_EQ(v.major, 5u);
    EXPECT_EQ(v.minor, 1u);
    EXPECT_EQ(w.desktop().ExitWindows(ewx::Reboot, 0), sim::PrivilegeNotHeld);
    ASSERT_EQ(w.desktop().EnableShutdownPrivilege(), 0u);
    ASSERT_EQ(w.desktop().ExitWindows(ewx::Reboot, 0), 0u);
    EXPECT_EQ(w.ExitWindowsCalls(), std::vector<uint32_t>{ewx::Reboot});
}

TEST(SimSystem, UsbLibraryOpensAttachedPrintersAndTakesTheSetIdCommand) {
    SimTestWindows w;
    uint32_t error = 0;
    EXPECT_FALSE(w.usb().LoadUsbLibrary("KvUsbInt.dll", error));
    EXPECT_EQ(error, err::ModNotFound);
    w.SetUsbLibraryPresent(true);
    w.AttachUsbPrinter(2, 9);
    w.SetUsbSetIdCode(std::array<uint8_t, 5>{1, 2, 3, 4, 5});
    {
        auto lib = w.usb().LoadUsbLibrary("KvUsbInt.dll", error);
        ASSERT_TRUE(lib);
        EXPECT_TRUE(lib->Has("GetDescriptor"));
        EXPECT_FALSE(lib->Has("Other"));
        EXPECT_EQ(lib->OpenDeviceX(0), 0);
        int32_t h = lib->OpenDeviceX(2);
        EXPECT_GT(h, 0);
        EXPECT_EQ(lib->GetPrinterInternalID(h), 9);
        const uint8_t wrongCode[10] = {0x1B, 9, 9, 9, 9, 9, 0x1D, 0x49, 0x20, 1};
        EXPECT_EQ(lib->uWrite(h, 0, wrongCode, 10), 10);
        EXPECT_EQ(w.UsbPrinterId(2), 9);
        const uint8_t setId[10] = {0x1B, 1, 2, 3, 4, 5, 0x1D, 0x49, 0x20, 1};
        EXPECT_EQ(lib->uWrite(h, 0, setId, 10), 10);
        EXPECT_EQ(w.UsbPrinterId(2), 1);
        w.SetUsbWriteFails(true);
        EXPECT_EQ(lib->uWrite(h, 0, setId, 10), 0);
        w.SetUsbReadIdFails(true);
        EXPECT_LT(lib->GetPrinterInternalID(h), 0);
        lib->CloseDevice(h);
        lib->CloseDevice(0);
        lib->CloseDevice(-1);
        w.SetUsbNoDeviceResult(-1);
        EXPECT_EQ(lib->OpenDeviceX(7), -1);
        w.SetUsbEntryMissing("GetDescriptor", true);
        EXPECT_FALSE(lib->Has("GetDescriptor"));
    }
    EXPECT_EQ(w.UsbWrites().size(), 2u);
    EXPECT_EQ(w.UsbWrites()[1].deviceIndex, 2);
    EXPECT_EQ(w.UsbCloseCalls().size(), 3u);
    EXPECT_EQ(w.UsbCloseCalls()[1], 0);
    EXPECT_EQ(w.UsbLoads(), 1);
    EXPECT_EQ(w.UsbFrees(), 1);
}

TEST(SimSystem, MessageBoxesWindowsMutexesAndShell) {
    SimTestWindows w;
    w.QueueAnswer(mb::IdYes);
    EXPECT_EQ(w.desktop().MessageBox(0, "Restart?", "Setup", mb::YesNo), mb::IdYes);
    EXPECT_EQ(w.desktop().MessageBox(0, "Restart?", "Setup", mb::YesNo | mb::IconExclamation),
              mb::IdNo);
    w.SetDefaultYesNoAnswer(mb::IdYes);
    EXPECT_EQ(w.desktop().MessageBox(0, "Again?", "Setup", mb::YesNo), mb::IdYes);
    EXPECT_EQ(w.desktop().MessageBox(7, "Done", "Setup", mb::Ok), mb::IdOk);
    auto boxes = w.MessageBoxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_FALSE(boxes[0].queueWasEmpty);
    EXPECT_TRUE(boxes[1].queueWasEmpty);
    EXPECT_EQ(boxes[3].owner, 7u);

    EXPECT_EQ(w.desktop().FindWindow("Uninstall"), 0u);
    Window u = w.AddWindow("Uninstall", true);
    EXPECT_EQ(w.desktop().FindWindow("Uninstall"), u);
    EXPECT_EQ(w.desktop().FindWindow("uninstall"), 0u);  // the whole title, exactly
    EXPECT_TRUE(w.desktop().IsIconic(u));
    w.desktop().RestoreWindow(u);
    w.desktop().SetForegroundWindow(u);
    EXPECT_FALSE(w.desktop().IsIconic(u));
    EXPECT_EQ(w.RestoreCalls(), std::vector<Window>{u});
    EXPECT_EQ(w.ForegroundCalls(), std::vector<Window>{u});

    Mutex a, b, c;
    EXPECT_EQ(w.desktop().CreateMutex("Uninstall", true, a), 0u);
    EXPECT_EQ(w.desktop().CreateMutex("Uninstall", true, b), err::AlreadyExists);
    EXPECT_TRUE(b);
    a.reset();
    b.reset();
    EXPECT_FALSE(w.MutexExists("Uninstall"));
    w.OwnMutexElsewhere("Setup");
    EXPECT_EQ(w.desktop().CreateMutex("Setup", true, c), err::AlreadyExists);
    c.reset();
    EXPECT_TRUE(w.MutexExists("Setup"));

    EXPECT_GT(w.desktop().ShellOpen(".\\POS.CHM"), 32);
    w.SetShellOpenResult(2);
    EXPECT_EQ(w.desktop().ShellOpen(".\\POS.CHM"), 2);
    EXPECT_EQ(w.ShellOpens().size(), 2u);
}

// The installation worker runs on its own thread while the test thread reads
// the records: the machine stays whole.
TEST(SimSystem, ConcurrentCallsKeepTheMachineConsistent) {
    SimTestWindows w;
    constexpr int kRounds = 300;
    std::thread worker([&] {
        for (int i = 0; i < kRounds; ++i) {
            RegKey key;
            ASSERT_EQ(w.registry().RegCreateKey(Root::LocalMachine,
                                                "SOFTWARE\\T\\K" + std::to_string(i % 7), key),
                      0u);
            uint32_t v = static_cast<uint32_t>(i);
            ASSERT_EQ(w.registry().RegSetValue(key, "V" + std::to_string(i), regtype::Dword, &v, 4),
                      0u);
            ASSERT_EQ(w.files().WriteFile("C:\\WINDOWS\\Temp\\f" + std::to_string(i % 5), "x"), 0u);
            w.clock().Sleep(100);
        }
    });
    size_t seen = 0;
    for (int i = 0; i < kRounds; ++i) {
        seen = std::max(seen, w.Sleeps().size());
        (void)w.SubKeys(Root::LocalMachine, "SOFTWARE\\T");
        (void)w.ListFolder("C:\\WINDOWS\\Temp");
        std::string text;
        (void)w.profile().GetProfileString("windows", "load", "0");
    }
    worker.join();
    EXPECT_EQ(w.Sleeps().size(), static_cast<size_t>(kRounds));
    size_t values = 0;
    for (int k = 0; k < 7; ++k)
        values += w.DumpValues(Root::LocalMachine, "SOFTWARE\\T\\K" + std::to_string(k)).size();
    EXPECT_EQ(values, static_cast<size_t>(kRounds));
    EXPECT_EQ(w.ListFolder("C:\\WINDOWS\\Temp").size(), 5u);
    w.ClearSleeps();
    EXPECT_TRUE(w.Sleeps().empty());
}

}  // namespace
}  // namespace plat
