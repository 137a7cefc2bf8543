// How long qsetup takes: `check` of the sample package, and `plan` of an
// installation against the engine's whole installation (install_bench's
// BM_InstallUsbTypicalXp, on a machine made the same way).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "qsetup/Cli.h"
#include "qsetup/PackageCheck.h"
#include "qsetup/Plan.h"
#include "qsetup/SimulatedMachine.h"
#include "qsetup/tests/HostPackage.h"
#include "setup/engine/InstallCommand.h"
#include "setup/wizard/SetupStartup.h"

namespace {

// The sample package with its binaries' stand-ins in a temporary folder.
const std::string& HostPackage() {
    static qsetup::test::SamplePackageFolder* folder = new qsetup::test::SamplePackageFolder("bench");
    static const std::string path = folder->Path();
    return path;
}

// The check alone, on the package already mounted.
void BM_CheckSamplePackage(benchmark::State& state) {
    plat::SimWindows w;
    support::MountSamplePackage(w, qsetup::kSimPackage);
    for (auto _ : state) {
        qsetup::CheckReport report = qsetup::CheckPackage(w, qsetup::kSimPackage);
        if (report.Errors() || report.Warnings()) state.SkipWithError("the sample is not clean");
        benchmark::DoNotOptimize(report);
    }
}
BENCHMARK(BM_CheckSamplePackage)->Unit(benchmark::kMillisecond);

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

// The wizard and the installation with the journal, on a fresh machine with
// the package mounted: what install_bench's whole installation does, plus
// the pages and the recording.
void BM_PlanUsbTypicalXp(benchmark::State& state) {
    qsetup::WizardInput input;
    input.model = "KRT-P58";
    input.port = "USB_KRT-P58_1";
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<plat::SimWindows>();
        std::string assumed;
        qsetup::PrepareMachine(*w, HostPackage(), WinXP, 0, assumed);
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
BENCHMARK(BM_PlanUsbTypicalXp)->Unit(benchmark::kMicrosecond)->UseRealTime();

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

}  // namespace

BENCHMARK_MAIN();
