// How long qsetup takes: `check` of the sample package, `plan` of an
// installation against the engine's whole installation (install_bench's
// BM_InstallUsbTypicalXp, on a machine made the same way), and `status` and
// `install --ensure` with nothing to do, as a deployment engine runs them on
// every machine, again and again.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "qsetup/Cli.h"
#include "qsetup/HostPackage.h"
#include "qsetup/MountedPackage.h"
#include "qsetup/PackageCheck.h"
#include "qsetup/Plan.h"
#include "qsetup/tests/HostPackage.h"
#include "setup/engine/InstallCommand.h"
#include "setup/wizard/SetupStartup.h"
#include "tests/support/SamplePackage.h"

namespace {

// The sample package with its binaries' stand-ins in a temporary folder.
const std::string& HostPackage() {
    static qsetup::test::SamplePackageFolder* folder = new qsetup::test::SamplePackageFolder("bench");
    static const std::string path = folder->Path();
    return path;
}

// The check alone, on the package already mounted: with every offered
// installation rehearsed (state.range(0) 1), or the reading alone (0).
void BM_CheckSamplePackage(benchmark::State& state) {
    plat::SimTestWindows w;
    support::MountSamplePackage(w, qsetup::kSimPackage);
    for (auto _ : state) {
        qsetup::CheckReport report =
            qsetup::CheckPackage(w, qsetup::kSimPackage, {.rehearse = state.range(0) != 0});
        if (report.Errors() || report.Warnings()) state.SkipWithError("the sample is not clean");
        state.counters["installations"] = report.installations;
        benchmark::DoNotOptimize(report);
    }
}
BENCHMARK(BM_CheckSamplePackage)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

// `qsetup check DIR` as a packaging engineer runs it: the folder read from
// the disk, mounted and checked, the lines formatted.
void BM_CheckCommand(benchmark::State& state) {
    const std::string dir = HostPackage();
    for (auto _ : state) {
        qsetup::StringConsole console;
        const int code = qsetup::Run({"check", dir}, console);
        if (code != 0) state.SkipWithError("the sample is not clean");
        benchmark::DoNotOptimize(console.out);
    }
}
BENCHMARK(BM_CheckCommand)->Unit(benchmark::kMillisecond);

// A fresh Windows XP with the sample package, as qsetup plan makes it.
std::unique_ptr<plat::SimTestWindows> PlanMachine() {
    auto w = std::make_unique<plat::SimTestWindows>();
    std::string assumed;
    qsetup::MountPackage(*w, HostPackage());
    qsetup::PrepareMachine(*w, WinXP, 0, assumed);
    return w;
}

// The wizard and the installation with the journal, on a fresh machine with
// the package mounted.
void BM_PlanUsbTypicalXp(benchmark::State& state) {
    qsetup::WizardInput input;
    input.model = "KRT-P58";
    input.port = "USB_KRT-P58_1";
    for (auto _ : state) {
        state.PauseTiming();
        auto w = PlanMachine();
        state.ResumeTiming();
        qsetup::Journal journal;
        qsetup::RecordingWindows recorder(*w, journal);
        qsetup::JoinedProgress progress;
        const qsetup::WizardResult result =
            qsetup::RunWizard(recorder, input, progress, ApplicationName(*w));
        if (result.end != qsetup::WizardEnd::Installed) state.SkipWithError("not installed");
        benchmark::DoNotOptimize(journal.Entries());
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PlanUsbTypicalXp)->Unit(benchmark::kMicrosecond)->UseRealTime()->MeasureProcessCPUTime();

// The engine's whole installation of the same choices on the same machine
// (install_bench's BM_InstallUsbTypicalXp on the plan's machine): the
// measure the plan is compared with.
void BM_InstallUsbTypicalXpOnThePlansMachine(benchmark::State& state) {
    WizardChoices choices;
    choices.module = Receipt;
    choices.model = "KRT-P58";
    choices.os = WinXP;
    choices.portName = "USB_KRT-P58_1";
    choices.driverMode = Gdi;
    for (auto _ : state) {
        state.PauseTiming();
        auto w = PlanMachine();
        auto session = std::make_unique<InstallSession>(*w);
        state.ResumeTiming();
        qsetup::JoinedProgress progress;
        NoWizardWindow window;
        InstallCommand command(*w, *session, progress, window, MessageContext{});
        command.Run(choices);
        if (session->createdName[0] == '\0') state.SkipWithError("not installed");
        state.PauseTiming();
        session.reset();
        w.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_InstallUsbTypicalXpOnThePlansMachine)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// `qsetup plan` as a packaging engineer runs it, package read included.
void BM_PlanCommand(benchmark::State& state) {
    const std::string dir = HostPackage();
    for (auto _ : state) {
        qsetup::StringConsole console;
        const int code = qsetup::Run(
            {"plan", dir, "--model", "KRT-P58", "--os", "XP", "--port", "USB_KRT-P58_1"}, console);
        if (code != 0) state.SkipWithError("not installed");
        benchmark::DoNotOptimize(console.out);
    }
}
BENCHMARK(BM_PlanCommand)->Unit(benchmark::kMillisecond)->UseRealTime();

qsetup::Host Host(plat::SimTestWindows& w) {
    qsetup::Host host;
    host.machine = &w;
    host.openLog = [](const std::string&) -> qsetup::LogWriter {
        return [](const std::string&) { return true; };
    };
    return host;
}

// A simulated Windows XP with the sample package as qsetup.exe's folder and
// the USB printer installed by `qsetup install`.
std::unique_ptr<plat::SimTestWindows> InstalledMachine(const std::vector<std::string>& choices) {
    auto w = std::make_unique<plat::SimTestWindows>();
    support::SetOsClass(*w, WinXP);
    support::MountSamplePackage(*w, qsetup::kSimPackage);
    support::SetSamplePorts(*w);
    w->SetUsbLibraryPresent(true);
    w->SetModuleFileName(std::string(qsetup::kSimPackage) + "\\qsetup.exe");
    std::vector<std::string> args = {"install", qsetup::kSimPackage};
    args.insert(args.end(), choices.begin(), choices.end());
    qsetup::StringConsole console;
    qsetup::Run(args, console, Host(*w));
    return w;
}

const std::vector<std::string> kUsbChoices = {"--model", "KRT-P58", "--port", "USB_KRT-P58_1",
                                              "--default"};

// `qsetup status` of an installation in place (exit 0).
void BM_StatusInPlace(benchmark::State& state) {
    auto w = InstalledMachine(kUsbChoices);
    std::vector<std::string> args = {"status", qsetup::kSimPackage};
    args.insert(args.end(), kUsbChoices.begin(), kUsbChoices.end());
    for (auto _ : state) {
        qsetup::StringConsole console;
        if (qsetup::Run(args, console, Host(*w)) != 0) state.SkipWithError(console.out.c_str());
        benchmark::DoNotOptimize(console.out);
    }
}
BENCHMARK(BM_StatusInPlace)->Unit(benchmark::kMillisecond)->UseRealTime();

// `qsetup install --ensure` that finds everything in place (exit 0,
// nothing changed).
void BM_EnsureNothingToDo(benchmark::State& state) {
    auto w = InstalledMachine(kUsbChoices);
    std::vector<std::string> args = {"install", qsetup::kSimPackage};
    args.insert(args.end(), kUsbChoices.begin(), kUsbChoices.end());
    args.push_back("--ensure");
    for (auto _ : state) {
        qsetup::StringConsole console;
        if (qsetup::Run(args, console, Host(*w)) != 0 ||
            console.out.find("nothing changed") == std::string::npos)
            state.SkipWithError(console.out.c_str());
        benchmark::DoNotOptimize(console.out);
    }
}
BENCHMARK(BM_EnsureNothingToDo)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
