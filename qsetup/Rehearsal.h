// Every installation that Setup's wizard offers for a package, rehearsed on
// fresh simulated machines through the same page logic and Install command
// as `qsetup plan`: each model on each Windows version whose OS page lets it
// on, each port kind its port page lists (the first port of each kind), the
// setup types and driver modes the pages offer. A USB port is rehearsed with
// a USB printer of the maker attached whose internal ID picks that port.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Windows.h"
#include "qsetup/WizardRun.h"

namespace qsetup {

// Where a failing rehearsal went wrong, as far as the calls it made tell.
struct FailedCall {
    enum Kind { None, Copy, Monitor, Processor, Driver, Printer } kind = None;
    std::string fileName;  // Copy: the name of the file copied
};

struct Rehearsal {
    WizardInput input;
    int32_t os = -1;
    int32_t portKind = -1;
    WizardResult result;
    // A rehearsal that did not install: what Setup said last, and the call
    // that failed.
    std::string message;
    FailedCall failed;

    bool Installed() const { return result.end == WizardEnd::Installed; }
};

// The rehearsals of the package in the folder `root` of `from`; empty when
// the package can't be read or its wizard offers nothing.
std::vector<Rehearsal> RehearseOffered(plat::Windows& from, const std::string& root);

}  // namespace qsetup
