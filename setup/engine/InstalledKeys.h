// The registry keys in which an installation leaves its components and
// records, for the stages that write them and for a later look at what a
// machine holds (qsetup status).
#pragma once

#include <cstdint>
#include <string>

#include "common/MakerKeys.h"
#include "platform/Windows.h"

// A port monitor's key, with its "DriverVersion" value.
inline constexpr const char* kMonitorsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";
// The NT family's serial settings, one value per port ("COM2:").
inline constexpr const char* kNtPortsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";

inline std::string MonitorKey(const std::string& monitorName) { return kMonitorsKey + monitorName; }

// The print processor's key under the environment of its driver family: the
// machine's own for the NT family, "Windows 4.0" for Windows 98/Me.
std::string ProcessorKey(plat::Windows& windows, int32_t os, const std::string& processorName);

// Whether an installed monitor or processor is as new as the package's: a
// component without a version value was installed by other means and
// counts as outdated.
inline bool IsCurrentVersion(bool recorded, uint32_t installed, int32_t packageVersion) {
    return recorded && installed >= static_cast<uint32_t>(packageVersion);
}
