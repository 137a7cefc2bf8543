// The command line of qsetup: `qsetup VERB [options]`, with --help on each
// verb and exit codes as build servers and deployment tools read them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Windows.h"
#include "qsetup/Console.h"
#include "qsetup/DeployOutput.h"

namespace qsetup {

enum Exit : int {
    kExitClean = 0,     // done; nothing found
    kExitFindings = 1,  // findings, a refusal or a failure
    kExitUsage = 2,     // bad arguments or an unreadable package
};

// The machine that install, uninstall and list act on, and how a log is
// opened: by default the running Windows and the file of that name.
struct Host {
    plat::Windows* machine = nullptr;
    std::function<LogWriter(const std::string& path)> openLog;
    // Set when install, uninstall or status made its output (and log).
    bool* prepared = nullptr;
};

// Runs one command; `args` without the program's name.
int Run(const std::vector<std::string>& args, Console& console, const Host& host = {});

}  // namespace qsetup
