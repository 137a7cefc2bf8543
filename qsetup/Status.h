// What of an installation is on a machine: the state that `qsetup install`
// with the same choices would leave, taken from its rehearsal on a fresh
// simulated Windows, compared item by item with the machine, which is only
// read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Spooler.h"
#include "platform/Windows.h"

namespace qsetup {

// What the installation makes, as far as a second look can tell.
struct WantedState {
    bool known = false;  // the rehearsal reached the printer queue
    // The queue: its name on a fresh machine, the port it is bound to, its driver.
    std::string printer, port, driver;
    // The driver's environment (empty: the machine's own) and its files.
    std::string driverEnvironment;
    std::vector<std::string> driverFiles;
    // A port monitor or the print processor, with the version the package
    // records for it.
    struct Component {
        std::string name, key;
        uint32_t version = 0;
    };
    std::vector<Component> monitors, processors;
    // The USB records under SOFTWARE\TARVELO; `exact`: the value must be
    // `data`, else it must only be there.
    struct Record {
        std::string key, name;
        uint32_t data = 0;
        bool exact = false;
    };
    std::vector<Record> usbRecords;
    bool setDefault = false;
    // The serial settings: the value named `serialPort` ("COM2:") of NT's
    // "Ports" key, or of win.ini's [Ports] on Windows 98/Me. Empty: none asked.
    std::string serialPort, serialValue;
    bool serialInWinIni = false;
};

// The spooler calls of a rehearsal that show what the installation makes.
class CaptureSpooler : public plat::ForwardingSpooler {
public:
    CaptureSpooler(plat::Spooler& inner, WantedState& wanted)
        : ForwardingSpooler(inner), wanted_(wanted) {}
    uint32_t AddMonitor(const plat::MonitorInfo2& info) override;
    uint32_t AddPrintProcessor(const char* environment, const std::string& pathName,
                               const std::string& name) override;
    uint32_t AddPrinterDriver(const plat::DriverInfo3& info) override;
    uint32_t AddPrinter(const plat::PrinterInfo2& info, plat::Printer& out) override;

private:
    WantedState& wanted_;
};
using CaptureWindows = plat::Decorated<CaptureSpooler>;

// After the rehearsal on `sim`: the versions, records and settings it left
// there. `os` is the class installed for, `port` the chosen port.
void FinishWanted(plat::Windows& sim, int32_t os, const std::string& port, bool serialAsked,
                  WantedState& wanted);

struct StatusItem {
    const char* item;     // "queue", "driver", "monitor", "processor", "usb", "default", "serial"
    bool ok = true;
    std::string differs;  // what differs, for people
};

struct StatusReport {
    std::vector<StatusItem> items;
    std::string queue;  // the queue found, "" when none
    bool InPlace() const;
};

// Compares `machine` with the wanted state; reads only.
StatusReport CompareWithMachine(plat::Windows& machine, const WantedState& wanted, int32_t os);

// "queue: ok" or "queue: none bound to ...", one line each.
std::string StatusLines(const StatusReport& report);
// The items as a JSON array.
std::string StatusItemsJson(const StatusReport& report);

// The spooler's queue of the installation: AddPrinter of the installation's
// queue opens the queue found instead, so that a second run makes no
// numbered name and no USB port refuses it.
class KeepQueueSpooler : public plat::ForwardingSpooler {
public:
    KeepQueueSpooler(plat::Spooler& inner, const WantedState& wanted, std::string found)
        : ForwardingSpooler(inner), wanted_(wanted), found_(std::move(found)) {}
    uint32_t AddPrinter(const plat::PrinterInfo2& info, plat::Printer& out) override;
    bool Kept() const { return kept_; }

private:
    const WantedState& wanted_;
    std::string found_;
    bool kept_ = false;
};
using KeepQueueWindows = plat::Decorated<KeepQueueSpooler>;

}  // namespace qsetup
