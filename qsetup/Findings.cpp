#include "qsetup/Findings.h"

#include "qsetup/Json.h"

namespace qsetup {

namespace {

const char* SeverityName(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}

}  // namespace

std::string FormatFinding(const Finding& finding) {
    std::string out = finding.file;
    if (finding.line > 0) out += ":" + std::to_string(finding.line);
    out += ": ";
    out += SeverityName(finding.severity);
    out += ": " + finding.text;
    return out;
}

std::string FindingJson(const Finding& finding) {
    return "{\"file\":" + JsonString(finding.file) + ",\"line\":" + std::to_string(finding.line) +
           ",\"severity\":\"" + SeverityName(finding.severity) +
           "\",\"message\":" + JsonString(finding.text) + "}";
}

}  // namespace qsetup
