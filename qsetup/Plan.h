// `qsetup plan`: what Setup would do, step by step, for one model, port and
// Windows version: the wizard and the installation run on a fresh simulated
// Windows with the package mounted, and every change they make is listed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "qsetup/Journal.h"
#include "qsetup/WizardRun.h"

namespace qsetup {

struct PlanOptions {
    std::string packageDir;  // a folder of this computer
    int32_t os = 3;          // OsClass of the simulated machine
    WizardInput wizard;
    std::optional<int32_t> usbPrinterId;
};

struct PlanResult {
    bool packageRead = false;
    std::string machine;  // what the simulated machine assumed
    std::vector<JournalEntry> steps;
    WizardResult wizard;
};

PlanResult RunPlan(const PlanOptions& options);

// 0 installed; 1 refused, failed or not started; 2 a choice the wizard does
// not offer (or an unreadable package).
int PlanExitCode(const PlanResult& result);

std::string PlanText(const PlanOptions& options, const PlanResult& result);
std::string PlanJson(const PlanOptions& options, const PlanResult& result);

// "98", "NT4", "2000", "XP", "2003", "Vista" by OsClass.
const char* OsOptionName(int32_t os);

}  // namespace qsetup
