// The unattended installation and removal for deployment tools: `qsetup
// install`, `qsetup uninstall` and `qsetup list` on the real Windows, through
// the wizard's page logic and Install command and the Uninstall engine, with
// every message turned into a line and the exit codes of Windows Installer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Windows.h"
#include "qsetup/DeployOutput.h"
#include "qsetup/WizardRun.h"

namespace qsetup {

// The exit codes that deployment tools read (Windows Installer's).
enum DeployExit : int {
    kDeployDone = 0,
    kDeployNotAdmin = 5,        // ERROR_ACCESS_DENIED: not an administrator
    kDeployBadInput = 2,        // bad arguments or package: nothing was changed
    kDeployNotListed = 1,       // uninstall: a named item is not in Uninstall's list
    kDeployDiffers = 1,         // status: something differs
    kDeployDeclined = 1602,     // a question was answered No
    kDeployFailed = 1603,       // the installation or a removal failed
    kDeployBusy = 1618,         // Setup or Uninstall runs
    kDeployRestart = 3010,      // done; Windows must be restarted
};

// The package as the run finds it: its folder on `machine` (a full Windows
// path without a trailing backslash) and the names of its two programs.
struct PackageOnMachine {
    std::string root;
    std::string setupProgram = "Setup.exe";
    std::string uninstallProgram = "Uninstall.exe";
};
// Makes `dir` the current folder of `machine` and gives its full path (Setup's
// readers take absolute paths from the program folder); "" when it can't be
// entered.
std::string EnterFolder(plat::Windows& machine, const std::string& dir);
// Looks the programs' names up as the package spells them.
PackageOnMachine FindPrograms(plat::Windows& machine, const std::string& root);

struct InstallOptions {
    WizardInput wizard;
    int32_t os = -1;     // -1: the running Windows ("auto")
    bool setId = false;  // allow changing the USB printer's ID
    // Converge: first look as `status` does; change nothing when all is in
    // place, else install keeping a queue of the model's driver on the port.
    bool ensure = false;
    bool serialAsked = false;  // --serial was given
};

// Installs as the wizard's Install would on `machine`, refusing before any
// change what the wizard would not offer or the package can't do there.
int RunInstall(plat::Windows& machine, const PackageOnMachine& package,
               const InstallOptions& options, DeployOutput& out);

// How an installation ended, from the run's values alone: the exit code and
// the summary line. The texts of Setup's messages only fill the summary.
struct InstallEnd {
    int code;
    std::string summary;
};
InstallEnd EndOfInstall(const WizardResult& result, bool declined, bool restartWanted,
                        const std::string& lastMessage);

// What of that installation is on `machine`, item by item, printed as lines
// (or the document's "items"); reads only. 0 all in place, 1 something
// differs, 2 bad choices or package, 1618 Setup or Uninstall runs.
int RunStatus(plat::Windows& machine, const PackageOnMachine& package,
              const InstallOptions& options, DeployOutput& out);

struct UninstallOptions {
    bool all = false;
    std::vector<std::string> items;  // names of the list's items
    bool ensure = false;             // an item already gone is no error
};

// Removes the chosen items of Uninstall's list with the Uninstall engine.
int RunUninstall(plat::Windows& machine, const PackageOnMachine& package,
                 const UninstallOptions& options, DeployOutput& out);

struct ListedItem {
    std::string name;
    const char* kind;  // "printer", "monitor", "processor"
};
// What Uninstall would offer on `machine`; false (with `error`) when it finds
// no Uninstall.ini.
bool ListItems(plat::Windows& machine, const PackageOnMachine& package,
               std::vector<ListedItem>& items, std::string& error);

}  // namespace qsetup
