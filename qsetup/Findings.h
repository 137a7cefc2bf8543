// What `qsetup check` reports: one finding per problem, in the form that
// compilers use, so that editors and build servers can jump to the line.
#pragma once

#include <string>
#include <vector>

namespace qsetup {

enum class Severity { Error, Warning };

struct Finding {
    std::string file;  // relative to the package, with backslashes
    int line = 0;      // 0: the file as a whole
    Severity severity = Severity::Error;
    std::string text;
};

// "FILE:LINE: error: TEXT" (without ":LINE" for line 0).
std::string FormatFinding(const Finding& finding);
// One JSON object of the finding.
std::string FindingJson(const Finding& finding);

}  // namespace qsetup
