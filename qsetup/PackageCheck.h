// `qsetup check`: whether an installation package is sound, asked of the
// very readers that Setup and Uninstall use. Each problem is one finding at
// the file and line where it can be mended.
//
// An error is something that makes Setup or Uninstall fail or do the wrong
// thing on some Windows version (a missing file or section, a value that a
// reader would cut, a list that leaves out what Setup installs), or a part
// of the package that is missing. A warning is something that Setup never
// reads or reads otherwise than it looks (a repeated section or key, a
// section of a model that is not offered, an unused list entry).
//
// The check only reads; it never changes a file.
#pragma once

#include <string>
#include <vector>

#include "platform/Windows.h"
#include "qsetup/Findings.h"

namespace qsetup {

struct CheckReport {
    std::vector<Finding> findings;  // by file, then line
    int models = 0;                 // the models that setup.ini offers
    int installations = 0;          // the offered installations rehearsed
    int Errors() const;
    int Warnings() const;
};

// Checks the package in the folder `root` (a Windows path without a trailing
// backslash), which must be the program folder of `windows` (its
// GetModuleFileName answers a file in `root`) and its current folder.
//
// With `rehearse`, every installation the wizard offers is also rehearsed on
// fresh simulated machines (see Rehearsal.h): each failing one is an error,
// at the finding that explains it or else where the rehearsal shows.
struct CheckOptions {
    bool rehearse = true;
};
CheckReport CheckPackage(plat::Windows& windows, const std::string& root,
                         const CheckOptions& options = {});

// Whether `bytes` is a bitmap file that Windows loads (LoadImage from a
// file); otherwise why not.
bool IsLoadableBitmap(const std::string& bytes, std::string& why);

}  // namespace qsetup
