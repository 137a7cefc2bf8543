// The command line of qsetup: `qsetup VERB [options]`, with --help on each
// verb and exit codes as build servers and deployment tools read them.
#pragma once

#include <string>
#include <vector>

#include "qsetup/Console.h"

namespace qsetup {

enum Exit : int {
    kExitClean = 0,     // done; nothing found
    kExitFindings = 1,  // findings, a refusal or a failure
    kExitUsage = 2,     // bad arguments or an unreadable package
};

// Runs one command; `args` without the program's name.
int Run(const std::vector<std::string>& args, Console& console);

// Checks the package in a folder of this computer: on Windows through the
// real Win32 layer, elsewhere mounted read-only on a simulated Windows.
// False (with `error`) when the folder can't be read.
struct CheckReport;
bool CheckHostPackage(const std::string& dir, CheckReport& report, std::string& error);

}  // namespace qsetup
