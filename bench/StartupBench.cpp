// How long the two programs take to read the package before their windows
// appear, on the simulated Windows (which reads the whole INI text for every
// profile read, as Windows does), and how many profile reads that takes:
//   - Setup's module page on the sample package and on a setup.ini whose
//     DEVICENUMBER is 2147483647;
//   - Uninstall's list fill with the sample Uninstall.ini, with a 1 MB
//     Uninstall.ini (full lists behind 1 MB of other sections), and with
//     1,000 installed printers; beside it the same fill made with one look-up
//     per installed item, as the list was filled before.
// The counter "reads" is the profile reads of one iteration.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "setup/wizard/ModulePage.h"
#include "simwindows/testing/SimTestWindows.h"
#include "tests/support/SamplePackage.h"
#include "uninstall/UninstallDialogLogic.h"
#include "uninstall/UninstallIni.h"

namespace {

constexpr const char* kSetupIni = "C:\\PKG\\DRVCONFIG\\setup.ini";
constexpr const char* kUninstallIni = "C:\\PKG\\DRVCONFIG\\Uninstall.ini";

int Reads(const plat::SimTestWindows& w) { return w.CallCount("GetPrivateProfileString"); }

// ---------------------------------------------------------------- Setup

void ModulePageOpens(benchmark::State& state, bool hugeCount) {
    plat::SimTestWindows w;
    support::MountSamplePackage(w);
    if (hugeCount) {
        std::string ini = w.FileText(kSetupIni).value_or("");
        const size_t at = ini.find("DEVICENUMBER=10");
        ini.replace(at, 15, "DEVICENUMBER=2147483647");
        w.PutFile(kSetupIni, ini);
    }
    int reads = 0;
    for (auto _ : state) {
        const int before = Reads(w);
        ModulePage page(w);
        page.Initialize();
        benchmark::DoNotOptimize(page.ModelName());
        reads = Reads(w) - before;
    }
    state.counters["reads"] = reads;
}

void BM_ModulePageSamplePackage(benchmark::State& state) { ModulePageOpens(state, false); }
void BM_ModulePageDeviceNumber2147483647(benchmark::State& state) { ModulePageOpens(state, true); }
BENCHMARK(BM_ModulePageSamplePackage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ModulePageDeviceNumber2147483647)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------- Uninstall

void InstallPrinter(plat::SimTestWindows& w, const std::string& name, const std::string& driver) {
    plat::PrinterInfo p;
    p.printerName = name;
    p.driverName = driver;
    p.portName = "LPT1:";
    p.printProcessor = "WinPrint";
    w.InstallPrinter(p);
}

// A machine after Setup: the package's monitors and processor, two of its
// printers and one other, and `printers` more queues (every other one of the
// package).
std::unique_ptr<plat::SimTestWindows> UninstallMachine(int printers, const std::string& ini) {
    auto w = std::make_unique<plat::SimTestWindows>();
    w->SetCurrentFolder("C:\\PKG");
    w->PutFile(kUninstallIni, ini);
    const std::string env = w->spooler().LocalEnvironment();
    w->InstallMonitor("Quillset USB Port Monitor", env, "QSUSBMON.DLL");
    w->InstallMonitor("Quillset Serial Port Monitor", env, "QSCOMMON.DLL");
    w->InstallPrintProcessor(env, "QSPrint", "QSPROC.DLL");
    InstallPrinter(*w, "Quillset KRT-P58(U) 1", "Quillset KRT-P58 Receipt");
    InstallPrinter(*w, "Quillset KTT-T80(P)", "Quillset KTT-T80 Ticket");
    InstallPrinter(*w, "Office Laser", "HP LaserJet");
    for (int i = 0; i < printers; ++i)
        InstallPrinter(*w, "Till " + std::to_string(i),
                       i % 2 ? "Quillset KRT-A100 Receipt" : "HP LaserJet");
    return w;
}

std::string SampleUninstallIni() {
    std::ifstream in(support::SourceDir() + "/package/DRVCONFIG/Uninstall.ini", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// 1 MB: other sections first, then three lists of 99 entries (the sample's
// fragments first), so that every read goes through the whole text.
std::string LargeUninstallIni() {
    std::string text;
    for (int s = 0; text.size() < (1u << 20) - 16000; ++s) {
        text += "[Other" + std::to_string(s) + ".2K]\r\n";
        for (int k = 0; k < 20; ++k)
            text += "MonitorPDLLName" + std::to_string(k) + "=SOMEFILE" + std::to_string(k) + ".DLL\r\n";
    }
    const char* lists[][3] = {{"KVMONITOR", "MonitorNUM", "MONITORNAME"},
                              {"KVPROC", "PROCNUM", "PROCNAME"},
                              {"KVPRINTER", "PRINTERNUM", "PRINTERNAME"}};
    const char* first[] = {"Quillset USB Port", "QSPrint", "Quillset KRT-"};
    for (int l = 0; l < 3; ++l) {
        text += std::string("[") + lists[l][0] + "]\r\n" + lists[l][1] + "=99\r\n";
        text += std::string(lists[l][2]) + "1=" + first[l] + "\r\n";
        for (int k = 2; k <= 99; ++k)
            text += lists[l][2] + std::to_string(k) + "=Fragment" + std::to_string(k) + "\r\n";
    }
    return text;
}

void Fill(benchmark::State& state, int printers, const std::string& ini, bool perItem) {
    auto w = UninstallMachine(printers, ini);
    uninstall::UninstallState s;
    s.iniPath = kUninstallIni;
    s.osClass = WinXP;
    uninstall::UninstallIni lists(*w, s);
    int reads = 0, items = 0;
    for (auto _ : state) {
        const int before = Reads(*w);
        uninstall::UninstallView view;
        if (perItem) {
            // One look-up of the file per installed item.
            std::vector<plat::PrinterInfo5> queues;
            w->spooler().EnumPrinters(queues);
            for (const auto& q : queues)
                if (lists.IsListedPrinter(q.printerName)) view.AddItem(q.printerName);
            std::vector<std::string> monitors, processors;
            w->spooler().EnumMonitors(monitors);
            for (const auto& m : monitors)
                if (lists.IsListedMonitor(m)) view.AddItem(m);
            w->spooler().EnumPrintProcessors(w->spooler().LocalEnvironment(), processors);
            for (const auto& p : processors)
                if (lists.IsListedProcessor(p)) view.AddItem(p);
        } else {
            uninstall::FillItemList(*w, s, lists, view);
        }
        reads = Reads(*w) - before;
        items = view.ItemCount();
    }
    state.counters["reads"] = reads;
    state.counters["items"] = items;
}

void BM_UninstallFillSample(benchmark::State& state) {
    Fill(state, 0, SampleUninstallIni(), state.range(0));
}
void BM_UninstallFill1MBIni(benchmark::State& state) {
    Fill(state, 0, LargeUninstallIni(), state.range(0));
}
void BM_UninstallFill1000Printers(benchmark::State& state) {
    Fill(state, 1000, SampleUninstallIni(), state.range(0));
}
// Argument 0: the fill as it is; 1: one look-up per installed item.
BENCHMARK(BM_UninstallFillSample)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UninstallFill1MBIni)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UninstallFill1000Printers)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
