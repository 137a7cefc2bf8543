// How long one installation takes on the simulated Windows, without the
// waits that it records (the simulated clock does not wait), and how long the
// package reads of one installation take.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <memory>
#include <string>

#include "setup/config/ModelConfigReader.h"
#include "setup/engine/InstallCommand.h"
#include "simwindows/testing/SimTestWindows.h"
#include "tests/support/SamplePackage.h"

namespace {

constexpr const char* kPkg = "C:\\PKG";

class WaitingProgress final : public ProgressHost {
public:
    void RunModal(std::atomic<int32_t>& state, int32_t) override {
        // Polls rather than std::atomic::wait, whose mingw build can miss
        // a wake-up and hang the test under Wine.
        while (state.load() == CompletionRunning)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
};

std::unique_ptr<plat::SimTestWindows> Machine(int32_t os = WinXP) {
    auto w = std::make_unique<plat::SimTestWindows>();
    if (os == Win98) {
        w->SetVersion(support::VersionOf(Win98));
        w->SetLocalEnvironment(kWin98Environment);
        w->PutFolder("C:\\WINDOWS\\system32\\spool\\drivers\\win40\\3");
    }
    support::MountPackageForInstall(*w, kPkg);
    w->SetMonitorPorts("QSUSBMON.DLL", {"USB_KRT-P58_1", "USB_KRT-A100_2"});
    w->SetMonitorPorts("QSCOMMON.DLL", {"VXCOM1:", "VXCOM2:"});
    w->SetUsbLibraryPresent(true);
    w->AttachUsbPrinter(0, 0);
    return w;
}

WizardChoices Choices(const char* model, const char* port, int32_t os) {
    WizardChoices c;
    c.module = Receipt;
    c.model = model;
    c.os = os;
    c.portName = port;
    c.driverMode = Gdi;
    return c;
}

// One whole installation on a fresh machine: the command's checks, the
// records, the worker thread and every stage.
void InstallOnFreshMachine(benchmark::State& state, const char* model, const char* port,
                           int32_t os) {
    WaitingProgress progress;
    NoWizardWindow wizard;
    for (auto _ : state) {
        state.PauseTiming();
        auto w = Machine(os);
        auto session = std::make_unique<InstallSession>(*w);
        state.ResumeTiming();
        InstallCommand command(*w, *session, progress, wizard, MessageContext{});
        InstallOutcome outcome = command.Run(Choices(model, port, os));
        benchmark::DoNotOptimize(outcome);
        state.PauseTiming();
        if (session->createdName[0] == '\0') {
            state.SkipWithError("installation failed");
            break;
        }
        session.reset();
        w.reset();
        state.ResumeTiming();
    }
}

void BM_InstallUsbTypicalXp(benchmark::State& state) {
    InstallOnFreshMachine(state, "KRT-P58", "USB_KRT-P58_1", WinXP);
}
BENCHMARK(BM_InstallUsbTypicalXp)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_InstallSerialWithProcessorXp(benchmark::State& state) {
    InstallOnFreshMachine(state, "KRT-A100", "VXCOM2:", WinXP);
}
BENCHMARK(BM_InstallSerialWithProcessorXp)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_InstallParallelWin98(benchmark::State& state) {
    InstallOnFreshMachine(state, "KRT-A100", "LPT1:", Win98);
}
BENCHMARK(BM_InstallParallelWin98)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The package reads of one installation: the three records of the command,
// the port section's Server 2003 key, and the worker's monitor settings,
// processor version and DDK flag.
void BM_PackageReadsOfOneInstallation(benchmark::State& state) {
    auto w = Machine();
    ModelConfigReader reader(*w);
    DriverFileTable table;
    DriverRecord driver{};
    PrinterRecord printer{};
    MonitorSettings monitors;
    char setupIni[200], moduleIni[200];
    for (auto _ : state) {
        reader.SetModuleKind(Receipt);
        table.Clear();
        reader.ReadDriverFileTable("KRT-A100", WinXP, table, Gdi);
        reader.ReadDriverRecord("KRT-A100", WinXP, driver, Gdi);
        reader.ReadPrinterRecord("KRT-A100", WinXP, printer, Gdi);
        BuildConfigPaths(*w, Receipt, setupIni, moduleIni);
        auto supported = w->profile().GetPrivateProfileString(
            "KRT-A100.PORT", "System2003Supported", "0", 200, moduleIni);
        reader.ReadMonitorSettings(WinXP, monitors);
        int32_t version = reader.ReadProcessorVersion();
        bool ddk = reader.IsDdkDriver("KRT-A100", WinXP, Gdi);
        benchmark::DoNotOptimize(supported);
        benchmark::DoNotOptimize(version);
        benchmark::DoNotOptimize(ddk);
        benchmark::DoNotOptimize(driver.pName);
    }
}
BENCHMARK(BM_PackageReadsOfOneInstallation)->Unit(benchmark::kMicrosecond);

// The worst case of the queue's naming: 98 numbered names already taken.
void BM_CreateQueueWithAllNumbersTaken(benchmark::State& state) {
    plat::SimTestWindows w;
    plat::sim::DriverRecordSim d;
    d.name = "D";
    d.environment = "Windows NT x86";
    w.InstallDriver(d);
    plat::PrinterInfo p;
    p.portName = "LPT1:";
    p.driverName = "D";
    p.printProcessor = "WinPrint";
    p.printerName = "N";
    w.InstallPrinter(p);
    for (int i = 1; i <= 98; ++i) {
        p.printerName = "N(" + std::to_string(i) + ")";
        w.InstallPrinter(p);
    }
    PrinterRecord record{};
    record.pPortName = "LPT1:";
    record.pDriverName = "D";
    record.pPrintProcessor = "WinPrint";
    char name[kPrinterNameSize];
    std::string message;
    for (auto _ : state) {
        CopyBounded(name, sizeof name, "N");
        bool created = CreatePrinterQueue(w, record, name, false, message);
        benchmark::DoNotOptimize(created);
    }
}
BENCHMARK(BM_CreateQueueWithAllNumbersTaken)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
