#include "qsetup/Status.h"

#include <algorithm>

#include "common/RegistryKey.h"
#include "common/Text.h"
#include "common/Types.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "qsetup/Json.h"
#include "setup/engine/InstalledKeys.h"

namespace qsetup {

namespace {

constexpr uint32_t kPathCapacity = 260;

std::string Str(const char* text) { return text ? text : ""; }

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The "DriverVersion" of a component's key: false when the key is missing;
// `has` false when it has no version value.
bool ReadVersion(plat::Windows& machine, const std::string& key, uint32_t& version, bool& has) {
    RegistryKey k(machine);
    if (!k.OpenForReading(plat::Root::LocalMachine, key)) return false;
    has = k.QueryDword("DriverVersion", version);
    return true;
}

// "monitor: version 1 installed, the package has 2", or "" when current by
// the installation's own rule.
std::string CompareComponent(plat::Windows& machine, const std::string& key,
                             const WantedState::Component& c) {
    uint32_t installed = 0;
    bool has = false;
    if (!ReadVersion(machine, key, installed, has)) return Quoted(c.name) + " is not installed";
    if (IsCurrentVersion(has, installed, static_cast<int32_t>(c.version))) return {};
    if (!has) return Quoted(c.name) + " has no version, the package has " + std::to_string(c.version);
    return "version " + std::to_string(installed) + " installed, the package has " +
           std::to_string(c.version);
}

// The queue of the wanted driver bound to the wanted port; the one of the
// wanted name first.
std::string FindQueue(plat::Windows& machine, const WantedState& wanted) {
    std::vector<plat::PrinterInfo5> printers;
    if (machine.spooler().EnumPrinters(printers) != plat::err::Success) return {};
    std::stable_partition(printers.begin(), printers.end(), [&](const plat::PrinterInfo5& p) {
        return EqualsIgnoringCase(p.printerName, wanted.printer);
    });
    for (const plat::PrinterInfo5& p : printers) {
        if (!EqualsIgnoringCase(p.portName, wanted.port)) continue;
        plat::Printer handle;
        plat::PrinterInfo info;
        if (machine.spooler().OpenPrinterForReading(p.printerName, handle) != plat::err::Success ||
            machine.spooler().GetPrinter(handle, info) != plat::err::Success)
            continue;
        if (EqualsIgnoringCase(info.driverName, wanted.driver)) return p.printerName;
    }
    return {};
}

std::string CompareDriver(plat::Windows& machine, const WantedState& wanted, int32_t os) {
    const char* env = wanted.driverEnvironment.empty() ? nullptr : wanted.driverEnvironment.c_str();
    const std::string envName = env ? env : machine.spooler().LocalEnvironment();
    std::vector<std::string> drivers;
    machine.spooler().EnumPrinterDrivers(env, drivers);
    const bool registered = std::any_of(drivers.begin(), drivers.end(), [&](const std::string& d) {
        return EqualsIgnoringCase(d, wanted.driver);
    });
    if (!registered) return Quoted(wanted.driver) + " is not registered for " + envName;
    std::string folder;
    if (machine.folders().GetPrinterDriverDirectory(env, folder, kPathCapacity) !=
        plat::err::Success)
        return "the printer-driver folder can't be read";
    for (const std::string& file : wanted.driverFiles) {
        // The spooler of the NT family keeps a registered driver's files in
        // the folder of its version, "3".
        uint32_t attributes = 0;
        if (machine.files().GetFileAttributes(folder + "\\" + file, attributes) ==
            plat::err::Success)
            continue;
        if (os != Win98 && machine.files().GetFileAttributes(folder + "\\3\\" + file, attributes) ==
                               plat::err::Success)
            continue;
        return file + " is missing from " + folder;
    }
    return {};
}

std::string CompareUsbRecords(plat::Windows& machine, const WantedState& wanted) {
    for (const WantedState::Record& r : wanted.usbRecords) {
        RegistryKey key(machine);
        uint32_t data = 0;
        const std::string name = r.key + "\\" + r.name;
        if (!key.OpenForReading(plat::Root::LocalMachine, std::string(kTarveloKey) + r.key) ||
            !key.QueryDword(r.name, data))
            return name + " is missing";
        if (r.exact && data != r.data)
            return name + " is " + std::to_string(data) + ", the installation writes " +
                   std::to_string(r.data);
    }
    return {};
}

std::string ReadSerial(plat::Windows& machine, const WantedState& wanted, bool& found) {
    found = false;
    if (wanted.serialInWinIni) {
        const std::string value =
            machine.profile().GetProfileString("Ports", wanted.serialPort, "\x01");
        found = value != "\x01";
        return value;
    }
    RegistryKey key(machine);
    char buffer[200] = {};
    if (!key.OpenForReading(plat::Root::LocalMachine, kNtPortsKey) ||
        !key.QueryString(wanted.serialPort, buffer, sizeof buffer))
        return {};
    found = true;
    return buffer;
}

}  // namespace

uint32_t CaptureSpooler::AddMonitor(const plat::MonitorInfo2& info) {
    const uint32_t e = ForwardingSpooler::AddMonitor(info);
    if (e == plat::err::Success) wanted_.monitors.push_back({Str(info.pName), {}, 0});
    return e;
}

uint32_t CaptureSpooler::AddPrintProcessor(const char* environment, const std::string& pathName,
                                           const std::string& name) {
    const uint32_t e = ForwardingSpooler::AddPrintProcessor(environment, pathName, name);
    if (e == plat::err::Success) wanted_.processors.push_back({name, {}, 0});
    return e;
}

uint32_t CaptureSpooler::AddPrinterDriver(const plat::DriverInfo3& info) {
    const uint32_t e = ForwardingSpooler::AddPrinterDriver(info);
    if (e != plat::err::Success) return e;
    wanted_.driverEnvironment = Str(info.pEnvironment);
    wanted_.driverFiles.clear();
    for (const char* file : {info.pDriverPath, info.pDataFile, info.pConfigFile, info.pHelpFile})
        if (file && *file) wanted_.driverFiles.push_back(BaseName(file));
    return e;
}

uint32_t CaptureSpooler::AddPrinter(const plat::PrinterInfo2& info, plat::Printer& out) {
    const uint32_t e = ForwardingSpooler::AddPrinter(info, out);
    if (e == plat::err::Success) {
        wanted_.known = true;
        wanted_.printer = Str(info.pPrinterName);
        wanted_.port = Str(info.pPortName);
        wanted_.driver = Str(info.pDriverName);
    }
    return e;
}

void FinishWanted(plat::Windows& sim, int32_t os, const std::string& port, bool serialAsked,
                  WantedState& wanted) {
    for (WantedState::Component& m : wanted.monitors) m.key = MonitorKey(m.name);
    for (WantedState::Component& p : wanted.processors) p.key = ProcessorKey(sim, os, p.name);
    for (auto* list : {&wanted.monitors, &wanted.processors})
        for (WantedState::Component& c : *list) {
            bool has = false;
            ReadVersion(sim, c.key, c.version, has);
        }
    // The USB records: what a fresh machine holds after the installation.
    // PRINTERPORT's 0 for the chosen port and PORTNAME's positions must be
    // as written; the other values only there (another installation may
    // have set them since).
    for (const char* sub : {"PRINTERPORT", "PORTNAME"}) {
        RegistryKey key(sim);
        if (!key.OpenForReading(plat::Root::LocalMachine, std::string(kTarveloKey) + sub)) continue;
        std::string name;
        for (uint32_t i = 0; key.EnumValue(i, name, 201) == plat::err::Success; ++i) {
            uint32_t data = 0;
            if (!key.QueryDword(name, data)) continue;
            const bool reset = name.size() == 2 && name[0] == 'D' && name[1] >= '1' && name[1] <= '8';
            const bool exact = std::string(sub) == "PORTNAME" || (data == 0 && !reset);
            wanted.usbRecords.push_back({sub, name, data, exact});
        }
    }
    const size_t com = port.find("COM");
    if (serialAsked && com != std::string::npos) {
        wanted.serialPort = port.substr(com);
        wanted.serialInWinIni = os == Win98;
        bool found = false;
        wanted.serialValue = ReadSerial(sim, wanted, found);
        if (!found) wanted.serialPort.clear();
    }
}

bool StatusReport::InPlace() const {
    return std::all_of(items.begin(), items.end(), [](const StatusItem& i) { return i.ok; });
}

StatusReport CompareWithMachine(plat::Windows& machine, const WantedState& wanted, int32_t os) {
    StatusReport report;
    auto add = [&](const char* item, std::string differs) {
        report.items.push_back({item, differs.empty(), std::move(differs)});
    };
    report.queue = FindQueue(machine, wanted);
    add("queue", report.queue.empty() ? "none bound to " + wanted.port + " with driver " +
                                            Quoted(wanted.driver)
                                      : std::string());
    add("driver", CompareDriver(machine, wanted, os));
    for (const WantedState::Component& m : wanted.monitors)
        add("monitor", CompareComponent(machine, m.key, m));
    for (const WantedState::Component& p : wanted.processors)
        add("processor", CompareComponent(machine, ProcessorKey(machine, os, p.name), p));
    if (!wanted.usbRecords.empty()) add("usb", CompareUsbRecords(machine, wanted));
    if (wanted.setDefault) {
        // The default printer as win.ini's [windows] "device" names it:
        // "NAME,DRIVER,PORT".
        const std::string queue = report.queue.empty() ? wanted.printer : report.queue;
        const std::string device = machine.profile().GetProfileString("windows", "device", "");
        const std::string current = device.substr(0, device.find(','));
        add("default", EqualsIgnoringCase(current, queue)
                           ? std::string()
                           : (current.empty() ? std::string("no default printer")
                                              : "the default printer is " + Quoted(current)) +
                                 ", not " + Quoted(queue));
    }
    if (!wanted.serialPort.empty()) {
        bool found = false;
        const std::string value = ReadSerial(machine, wanted, found);
        add("serial", !found ? wanted.serialPort + " has no settings, the installation writes " +
                                   wanted.serialValue
                      : value != wanted.serialValue
                          ? wanted.serialPort + " is " + value + ", the installation writes " +
                                wanted.serialValue
                          : std::string());
    }
    return report;
}

std::string StatusLines(const StatusReport& report) {
    std::string out;
    for (const StatusItem& i : report.items)
        out += std::string(i.item) + ": " + (i.ok ? std::string("ok") : i.differs) + "\n";
    return out;
}

std::string StatusItemsJson(const StatusReport& report) {
    std::string out = "[";
    for (size_t n = 0; n < report.items.size(); ++n) {
        const StatusItem& i = report.items[n];
        out += std::string(n ? "," : "") + "{\"item\":\"" + i.item +
               "\",\"ok\":" + (i.ok ? "true" : "false");
        if (!i.ok) out += ",\"differs\":" + JsonString(i.differs);
        out += "}";
    }
    return out + "]";
}

uint32_t KeepQueueSpooler::AddPrinter(const plat::PrinterInfo2& info, plat::Printer& out) {
    if (!found_.empty() && EqualsIgnoringCase(Str(info.pPortName), wanted_.port) &&
        EqualsIgnoringCase(Str(info.pDriverName), wanted_.driver)) {
        const uint32_t e = OpenPrinter(found_, out);
        if (e == plat::err::Success) {
            kept_ = true;
            return e;
        }
    }
    return ForwardingSpooler::AddPrinter(info, out);
}

}  // namespace qsetup
