// The finishing steps of an installation: the default printer and the
// settings of a serial port.
#include <cstdio>
#include <cstring>
#include <string>

#include "common/RegistryKey.h"
#include "platform/Desktop.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "platform/Spooler.h"
#include "platform/System.h"
#include "platform/Windows.h"
#include "setup/engine/InstalledKeys.h"
#include "setup/engine/Stages.h"

namespace {

// The device control block's flag bits and fields (the published DCB layout).
namespace dcb {
constexpr uint32_t fBinary = 1u << 0;
constexpr uint32_t fParity = 1u << 1;
constexpr uint32_t fOutxCtsFlow = 1u << 2;
constexpr uint32_t fOutX = 1u << 8;
constexpr uint32_t fInX = 1u << 9;
constexpr uint32_t fErrorChar = 1u << 10;
constexpr uint32_t RtsControlEnable = 1u << 12;  // fRtsControl (bits 12-13) = 1

constexpr size_t DCBlength = 0, BaudRate = 4, Flags = 8, ByteSize = 18, Parity = 19,
                 StopBits = 20, XonChar = 21, XoffChar = 22;
}  // namespace dcb

void PutDword(uint8_t (&block)[28], size_t offset, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) block[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The printer's level-2 record, read the way the spooler asks for it: the
// size first, then the record. False when the printer can't be read.
bool ReadPrinterRecord(plat::Windows& windows, const plat::Printer& printer,
                       plat::PrinterInfo& info) {
    uint32_t needed = 0;
    const uint32_t error = windows.spooler().GetPrinterSize(printer, needed);
    if ((error != 0 && error != plat::err::InsufficientBuffer) || needed == 0) return false;
    return windows.spooler().GetPrinter(printer, info) == 0;
}

}  // namespace

bool MakeDefaultPrinter(plat::Windows& windows, const char* printerName) {
    // An empty name would let the system pick a printer of its own.
    if (printerName == nullptr || printerName[0] == '\0') return false;
    plat::OsVersion version;
    if (windows.system().GetVersion(version) != 0) return false;

    if (version.platformId == 1) {
        // Windows 95/98/Me: the default printer is an attribute of the printer.
        plat::Printer printer;
        if (windows.spooler().OpenPrinter(printerName, printer) != 0) return false;
        plat::PrinterInfo info;
        if (!ReadPrinterRecord(windows, printer, info)) return false;
        info.attributes |= plat::printer_attr::Default;
        if (windows.spooler().SetPrinter(printer, info) != 0) return false;
        windows.desktop().BroadcastIniChange("windows", false);
        return true;
    }
    if (version.platformId == 2 && version.major < 5) {
        // Windows NT 4.0: win.ini's "device" names the default printer.
        plat::Printer printer;
        if (windows.spooler().OpenPrinter(printerName, printer) != 0) return false;
        plat::PrinterInfo info;
        if (!ReadPrinterRecord(windows, printer, info)) return false;
        if (info.driverName.empty() || info.portName.empty()) return false;
        const std::string device =
            std::string(printerName) + "," + info.driverName + "," + info.portName;
        if (windows.profile().WriteProfileString("windows", "device", device.c_str()) != 0)
            return false;
        windows.desktop().BroadcastIniChange(nullptr, false);
        return true;
    }
    if (version.platformId == 2) {
        uint32_t error = 0;
        auto spooler = windows.spooler().LoadSpoolerLibrary("winspool.drv", error);
        if (!spooler || !spooler->HasSetDefaultPrinter()) return false;
        if (spooler->SetDefaultPrinter(printerName) != 0) return false;
        spooler.reset();
        windows.desktop().BroadcastIniChange(nullptr, false);
        return true;
    }
    return true;
}

std::string SerialSettingsString(int32_t baud, char parity, int32_t dataBits, double stopBits,
                                 char flow) {
    char text[64];
    const char* format = stopBits == 1.5 ? "%d,%c,%d,%.1f,%c" : "%d,%c,%d,%.0f,%c";
    std::snprintf(text, sizeof text, format, static_cast<int>(baud), parity,
                  static_cast<int>(dataBits), stopBits, flow);
    return text;
}

void BuildDeviceControlBlock(uint8_t (&block)[28], int32_t baud, char parity, int32_t dataBits,
                             double stopBits, char flow) {
    std::memset(block, 0, sizeof block);
    PutDword(block, dcb::DCBlength, sizeof block);
    PutDword(block, dcb::BaudRate, static_cast<uint32_t>(baud));
    block[dcb::ByteSize] = static_cast<uint8_t>(dataBits);

    uint32_t flags = dcb::fBinary;
    if (stopBits == 1.5)
        block[dcb::StopBits] = 1;  // ONE5STOPBITS
    else if (stopBits == 2)
        block[dcb::StopBits] = 2;  // TWOSTOPBITS

    if (flow == 'p') {
        flags |= dcb::fOutxCtsFlow | dcb::RtsControlEnable;
    } else if (flow == 'x') {
        flags |= dcb::fOutX | dcb::fInX;
        block[dcb::XonChar] = 0x11;
        block[dcb::XoffChar] = 0x13;
    }

    uint8_t code = 0;
    bool checked = false;
    switch (parity) {
        case 'e': code = 2, checked = true; break;  // EVENPARITY
        case 'o': code = 1, checked = true; break;  // ODDPARITY
        case 'm': code = 3, checked = true; break;  // MARKPARITY
        case 's': code = 4, checked = true; break;  // SPACEPARITY
        case 'n': flags &= ~(dcb::fParity | dcb::fErrorChar); break;
        default: break;
    }
    if (checked) flags |= dcb::fParity | dcb::fErrorChar;
    block[dcb::Parity] = code;
    PutDword(block, dcb::Flags, flags);
}

void WriteSerialSettings98(plat::Windows& windows, int32_t portIndex, const char* portName,
                           int32_t baud, int32_t dataBits, double stopBits, char parity,
                           char flow) {
    if (portName == nullptr) return;
    uint8_t block[28];
    BuildDeviceControlBlock(block, baud, parity, dataBits, stopBits, flow);

    // The port's class key: the first serial one for COM1, the second for COM2.
    int32_t serialSeen = 0;
    for (int i = 0; i < 4 && (portIndex == 1 || portIndex == 2); ++i) {
        RegistryKey key(windows);
        const std::string path =
            "System\\CurrentControlSet\\Services\\Class\\Ports\\000" + std::to_string(i);
        if (!key.Open(plat::Root::LocalMachine, path)) continue;
        uint8_t subClass[3] = {};
        if (!key.QueryValue("PortSubClass", subClass, sizeof subClass) || subClass[0] != 1)
            continue;
        if (++serialSeen == portIndex) {
            key.SetValue("DCB", block, plat::regtype::None, sizeof block);
            break;
        }
    }

    const std::string settings = SerialSettingsString(baud, parity, dataBits, stopBits, flow);
    windows.profile().WriteProfileString("Ports", portName, settings.c_str());
    windows.desktop().BroadcastIniChange("Ports", true);
    windows.profile().WriteProfileString(nullptr, nullptr, nullptr);
}

void WriteSerialSettingsNT(plat::Windows& windows, const char* portName, int32_t baud,
                           int32_t dataBits, double stopBits, char parity, char flow) {
    if (portName == nullptr) return;
    const std::string settings = SerialSettingsString(baud, parity, dataBits, stopBits, flow);
    RegistryKey key(windows);
    if (key.Open(plat::Root::LocalMachine, kNtPortsKey))
        key.SetString(portName, settings);
}
