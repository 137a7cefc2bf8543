#include "qsetup/Findings.h"

#include "common/Text.h"
#include "qsetup/Json.h"

namespace qsetup {

namespace {

const char* SeverityName(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}

}  // namespace

bool Subject::Concerns(const std::string& m, int32_t o, int32_t d, int32_t k) const {
    return AboutInstallations() && (model.empty() || EqualsIgnoringCase(model, m)) &&
           (os < 0 || os == o) && (mode < 0 || mode == d) && (portKind < 0 || portKind == k);
}

std::string FormatFinding(const Finding& finding) {
    std::string out = finding.file;
    if (finding.line > 0) out += ":" + std::to_string(finding.line);
    out += ": ";
    out += SeverityName(finding.severity);
    out += ": " + finding.text;
    return out;
}

std::string FindingJson(const Finding& finding, uint32_t codePage) {
    return "{\"file\":" + JsonString(finding.file, codePage) +
           ",\"line\":" + std::to_string(finding.line) + ",\"severity\":\"" +
           SeverityName(finding.severity) +
           "\",\"message\":" + JsonString(finding.text, codePage) + "}";
}

std::vector<Finding> ErrorsConcerning(const std::vector<Finding>& findings,
                                      const std::string& model, int32_t os, int32_t mode,
                                      int32_t portKind) {
    std::vector<Finding> concerning;
    for (const Finding& f : findings)
        if (f.severity == Severity::Error && f.subject.Concerns(model, os, mode, portKind))
            concerning.push_back(f);
    return concerning;
}

}  // namespace qsetup
