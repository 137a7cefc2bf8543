#include "simwindows/VersionLayouts.h"

#include <string>

#include "common/WindowsVersions.h"

namespace plat::sim {

OsVersion VersionOfClass(int32_t osClass) {
    const WindowsVersion* v = WindowsVersionOf(osClass);
    if (!v) return {2, 6, 1, 7601};
    return {v->platformId, v->major, v->minor, v->build};
}

void PutPortRecords(SimWindows& w, int32_t osClass) {
    if (osClass != 0) {
        const char* ports = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
        for (const char* com : {"COM1:", "COM2:", "COM3:", "COM4:"})
            w.PutRegString(Root::LocalMachine, ports, com, "9600,n,8,1");
        for (const char* other : {"FILE:", "LPT1:", "LPT2:", "LPT3:"})
            w.PutRegString(Root::LocalMachine, ports, other, "");
        return;
    }
    const std::string base = "System\\CurrentControlSet\\Services\\Class\\Ports\\000";
    const uint8_t subclass[] = {1, 1, 0};
    for (int i = 0; i < 3; ++i)
        w.PutRegValue(Root::LocalMachine, base + std::to_string(i), "PortSubClass", regtype::Binary,
                      {subclass[i]});
}

}  // namespace plat::sim
