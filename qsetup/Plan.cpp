#include "qsetup/Plan.h"

#include <cctype>

#include "common/Text.h"
#include "common/Types.h"
#include "qsetup/HostPackage.h"
#include "qsetup/Json.h"
#include "qsetup/MountedPackage.h"
#include "qsetup/OsNames.h"
#include "setup/wizard/SetupStartup.h"

namespace qsetup {

namespace {

// A path in the package relative to it; any other path as it is.
std::string ShowPath(const std::string& path) { return RelativeTo(kSimPackage, path); }

const char* Outcome(WizardEnd end) {
    switch (end) {
        case WizardEnd::Installed: return "installed";
        case WizardEnd::Failed: return "failed";
        case WizardEnd::Refused:
        case WizardEnd::Unsupported: return "refused";
        case WizardEnd::NotStarted: return "not-started";
        case WizardEnd::BadChoice: return "bad-choice";
    }
    return "?";
}

std::string Choices(const PlanOptions& o) {
    const WizardInput& w = o.wizard;
    std::string text = w.model + " on " + w.port + " under " + OsName(o.os) +
                       (w.advanced ? ", Advanced" : ", Typical");
    if (w.advanced) text += w.raster ? ", raster driver" : ", text driver";
    if (!w.baud.empty() || !w.parity.empty())
        text += ", serial " + w.baud + "," + w.parity + "," + w.dataBits + "," + w.stopBits + "," +
                w.protocol;
    if (w.setDefault) text += ", as the default printer";
    if (w.fonts) text += ", with the Vietnamese fonts";
    return text;
}

}  // namespace

PlanResult RunPlan(const PlanOptions& options) {
    PlanResult result;
    plat::SimWindows machine;
    if (!MountPackage(machine, options.packageDir)) return result;
    PrepareMachine(machine, options.os, options.usbPrinterId, result.machine);
    result.packageRead = true;
    Journal journal;
    RecordingWindows recorder(machine, journal, ShowPath);
    JoinedProgress progress;
    result.wizard = RunWizard(recorder, options.wizard, progress, ApplicationName(machine));
    result.steps = journal.Entries();
    return result;
}

int PlanExitCode(const PlanResult& result) {
    if (!result.packageRead) return 2;
    switch (result.wizard.end) {
        case WizardEnd::Installed: return 0;
        case WizardEnd::BadChoice: return 2;
        default: return 1;
    }
}

std::string PlanText(const PlanOptions& options, const PlanResult& result) {
    std::string out = "qsetup plan: " + Choices(options) + "\n";
    out += "Simulated machine: " + result.machine + ".\n";
    int n = 0;
    for (const JournalEntry& step : result.steps) {
        ++n;
        out += (n < 10 ? "   " : n < 100 ? "  " : " ") + std::to_string(n) + ". " + step.text + "\n";
    }
    const WizardResult& w = result.wizard;
    switch (w.end) {
        case WizardEnd::Installed:
            out += "Result: installed the printer \"" + w.printer + "\"";
            break;
        case WizardEnd::Failed:
            out += "Result: the installation failed";
            break;
        case WizardEnd::Refused:
        case WizardEnd::Unsupported:
            out += "Result: refused; Setup stays open and installs nothing more";
            break;
        case WizardEnd::NotStarted:
            out += "Result: Setup ends before its pages";
            break;
        case WizardEnd::BadChoice:
            out += "Result: " + w.problem;
            break;
    }
    if (w.end == WizardEnd::Installed || w.end == WizardEnd::Failed) {
        out += "; Setup's final message: " + QuotedText(w.message);
        if (w.restartOffered) out += "; then it offers to restart Windows";
    }
    return out + "\n";
}

std::string PlanJson(const PlanOptions& options, const PlanResult& result) {
    const WizardInput& w = options.wizard;
    std::string out = "{\"command\":\"plan\",\"package\":" + JsonString(options.packageDir) +
                      ",\"model\":" + JsonString(w.model) + ",\"os\":" +
                      JsonString(OsOptionName(options.os)) + ",\"port\":" + JsonString(w.port) +
                      ",\"setup\":" + (w.advanced ? "\"Advanced\"" : "\"Typical\"") +
                      ",\"machine\":" + JsonString(result.machine) + ",\"steps\":[";
    int n = 0;
    for (const JournalEntry& step : result.steps) {
        out += std::string(n ? "," : "");
        out += "{\"step\":" + std::to_string(++n) +
               ",\"action\":" + JsonString(step.action);
        for (const auto& [name, value] : step.fields) out += "," + JsonString(name) + ":" + value;
        out += ",\"error\":" + std::to_string(step.error) + ",\"text\":" + JsonString(step.text) + "}";
    }
    const WizardResult& r = result.wizard;
    out += "],\"result\":{\"outcome\":\"" + std::string(Outcome(r.end)) + "\"";
    if (!r.printer.empty()) out += ",\"printer\":" + JsonString(r.printer);
    if (r.end == WizardEnd::Installed || r.end == WizardEnd::Failed)
        out += ",\"message\":" + JsonString(r.message) +
               ",\"restartOffered\":" + (r.restartOffered ? "true" : "false");
    if (!r.problem.empty()) out += ",\"problem\":" + JsonString(r.problem);
    return out + "}}\n";
}

}  // namespace qsetup
