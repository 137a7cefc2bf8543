// The records of USB installations under SOFTWARE\TARVELO\ in the local
// machine's registry: PRINTERPORT\ (the supported USB ports and "D1".."D8")
// and PORTNAME\ (each used port's position in the package's device list).
#include <cstdio>
#include <string>
#include <vector>

#include "common/RegistryKey.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "platform/Windows.h"
#include "setup/config/PackageLimits.h"
#include "setup/engine/InstalledKeys.h"
#include "setup/engine/Stages.h"

namespace {

constexpr const char* kDeviceSection = "SUPPORTED-USB-DEVICE";

// A device entry is a port name of at most 29 characters.
constexpr uint32_t kEntrySize = 30;
constexpr uint32_t kPrinterNameCapacity = 200;

}  // namespace

std::vector<std::string> ReadSupportedUsbDevices(plat::Windows& windows) {
    const std::string setupIni = ProgramFolder(windows) + kSetupIniName;
    const std::string countText = windows.profile().GetPrivateProfileString(
        kDeviceSection, "PRNCOUNT", "0", kEntrySize, setupIni);
    int32_t count = IniToInt(countText.c_str());
    if (count < 0) count = 0;
    if (count > kMaxUsbDeviceEntries) count = kMaxUsbDeviceEntries;

    std::vector<std::string> entries;
    entries.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        entries.push_back(windows.profile().GetPrivateProfileString(
            kDeviceSection, std::to_string(i), "0", kEntrySize, setupIni));
    return entries;
}

namespace {

// Opens `path`, creating it first when it is missing.
bool OpenOrCreate(plat::Windows& windows, RegistryKey& key, const char* path) {
    if (key.Open(plat::Root::LocalMachine, path)) return true;
    return RegistryKey::CreateKey(windows, plat::Root::LocalMachine, path) &&
           key.Open(plat::Root::LocalMachine, path);
}

// PORTNAME\<port> = the port's position in the device list, when listed.
void RecordPortPosition(plat::Windows& windows, const std::vector<std::string>& entries,
                        const std::string& portName) {
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] != portName) continue;
        RegistryKey key(windows);
        if (OpenOrCreate(windows, key, kPortNameKey))
            key.SetDword(portName, static_cast<uint32_t>(i));
        return;
    }
}

}  // namespace

void WriteUsbPortRecords(plat::Windows& windows, const char* portName) {
    const std::vector<std::string> entries = ReadSupportedUsbDevices(windows);
    if (portName != nullptr) RecordPortPosition(windows, entries, portName);

    {
        RegistryKey key(windows);
        if (OpenOrCreate(windows, key, kPrinterPortKey))
            for (const char* slot : {"D1", "D2", "D3", "D4", "D5", "D6", "D7", "D8"})
                key.SetDword(slot, 0);
    }
    {
        // A supported port keeps the value it holds (0 once a printer was
        // installed on it); a new one starts at 255.
        RegistryKey key(windows);
        if (OpenOrCreate(windows, key, kPrinterPortKey)) {
            for (const std::string& entry : entries) {
                uint32_t value = 0;
                if (!key.QueryDword(entry, value)) key.SetDword(entry, 255);
            }
        }
    }

    // Bring PORTNAME\ up to date for every USB printer installed so far.
    RegistryKey installed(windows);
    if (!installed.Open(plat::Root::LocalMachine, kInstallPrinterKey)) return;
    for (uint32_t index = 0;; ++index) {
        std::string printerName;
        if (installed.EnumValue(index, printerName, kPrinterNameCapacity) != 0) break;
        RecordPortPosition(windows, entries, UsbPortForPrinterName(printerName));
    }
}

void MarkUsbPortInstalled(plat::Windows& windows, const char* portName) {
    if (portName == nullptr) return;
    RegistryKey key(windows);
    if (OpenOrCreate(windows, key, kPrinterPortKey)) key.SetDword(portName, 0);
}

std::string UsbPortForPrinterName(const std::string& printerName) {
    const size_t open = printerName.find('(');
    if (open == std::string::npos) return "USB_" + printerName;
    std::string port = "USB_" + printerName.substr(0, open) + "_";
    // "(U) 2": the port number stands four places after the parenthesis. A
    // name that ends before it maps to no port number.
    if (open + 4 < printerName.size()) port += printerName[open + 4];
    return port;
}
