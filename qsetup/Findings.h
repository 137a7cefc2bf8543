// What `qsetup check` reports: one finding per problem, in the form that
// compilers use, so that editors and build servers can jump to the line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qsetup {

enum class Severity { Error, Warning };

// What a finding is about, as values: the installations it concerns are
// those of its model, Windows version, driver mode and port kind (each one
// unset concerns them all); a finding with none of these set concerns no
// installation in particular (Uninstall.ini, the help files).
struct Subject {
    std::string model{};    // a model of setup.ini; "" none
    int32_t os = -1;        // an OsClass; -1 none
    int32_t mode = -1;      // a DriverMode; -1 none
    int32_t portKind = -1;  // a PortKind; -1 none
    bool every = false;     // concerns every installation
    std::string section{};  // the INI section; "" none
    std::string file{};     // the package file, as Finding::file names files; "" none

    bool AboutInstallations() const {
        return every || !model.empty() || os >= 0 || portKind >= 0;
    }
    // Whether an installation of `model` on `os` in `mode` on a port of
    // `portKind` is among those it concerns.
    bool Concerns(const std::string& model, int32_t os, int32_t mode, int32_t portKind) const;
};

struct Finding {
    std::string file;  // relative to the package, with backslashes
    int line = 0;      // 0: the file as a whole
    Severity severity = Severity::Error;
    std::string text;
    Subject subject;
};

// "FILE:LINE: error: TEXT" (without ":LINE" for line 0).
std::string FormatFinding(const Finding& finding);
// One JSON object of the finding; its text is in the package's ANSI code
// page `codePage` (1252, 1250, ... ; see AnsiToUtf8).
std::string FindingJson(const Finding& finding, uint32_t codePage = 1252);

// The errors among `findings` that concern the installation (see Subject).
std::vector<Finding> ErrorsConcerning(const std::vector<Finding>& findings,
                                      const std::string& model, int32_t os, int32_t mode,
                                      int32_t portKind);

}  // namespace qsetup
