// The simulated print spooler and its library "winspool.drv".
#include <algorithm>

#include "simwindows/SimState.h"
#include "simwindows/SimWindows.h"

namespace plat {

using Guard = LockGuard;
using State = SimWindows::State;

namespace {

constexpr uint32_t DpdDeleteUnusedFiles = 1, DpdDeleteSpecificVersion = 2, DpdDeleteAllFiles = 4;

// The port names of a printer's "LPT1:,LPT2:" list.
std::vector<std::string> SplitPorts(std::string_view list) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string_view::npos) end = list.size();
        std::string_view p = list.substr(start, end - start);
        while (!p.empty() && p.front() == ' ') p.remove_prefix(1);
        while (!p.empty() && p.back() == ' ') p.remove_suffix(1);
        if (!p.empty()) out.emplace_back(p);
        start = end + 1;
    }
    return out;
}

std::vector<std::string> DriverFiles(const sim::DriverRecordSim& d) {
    std::vector<std::string> files = {d.driverPath, d.dataFile, d.configFile, d.helpFile};
    files.insert(files.end(), d.dependentFiles.begin(), d.dependentFiles.end());
    files.erase(std::remove(files.begin(), files.end(), std::string()), files.end());
    return files;
}

std::string VersionFolder(const std::string& environment, uint32_t version) {
    if (EqualsIgnoringCase(environment, kEnvironment40)) return "0";
    return std::to_string(version);
}

}  // namespace

// The spooler library "winspool.drv" as loaded by name.
class SimSpoolerLibrary final : public SpoolerLibrary {
public:
    explicit SimSpoolerLibrary(SimWindows& machine) : m_(machine) {}
    ~SimSpoolerLibrary() override {
        Guard lock(m_.mu_);
        ++m_.s_->spoolFrees;
    }
    bool HasSetDefaultPrinter() const override {
        Guard lock(m_.mu_);
        return m_.s_->spoolHasSetDefault;
    }
    bool HasDeletePrinterDriverEx() const override {
        Guard lock(m_.mu_);
        return m_.s_->spoolHasDeleteEx;
    }
    uint32_t SetDefaultPrinter(const char* printerName) override;
    uint32_t DeletePrinterDriverEx(const char* server, const char* environment,
                                   const char* driverName, uint32_t deleteFlag,
                                   uint32_t versionFlag) override;

private:
    SimWindows& m_;
};


namespace {

// Spooler calls need the running service.
uint32_t SpoolerDown(const SimWindows::State& s) {
    return s.spoolerApiNeedsService && s.spoolerState != svc::Running
               ? sim::RpcServerUnavailable
               : 0;
}


bool DriverInUse(const SimWindows::State& s, const std::string& environment,
                 const std::string& name) {
    // Printers use the drivers of the local environment.
    if (!EqualsIgnoringCase(environment, s.localEnv)) return false;
    return std::any_of(s.printers.begin(), s.printers.end(), [&](const SimPrinter& p) {
        return EqualsIgnoringCase(p.info.driverName, name);
    });
}

// Removes drivers; with `deleteFiles` also the files of theirs that no
// remaining driver of the same folder uses.
uint32_t RemoveDrivers(SimWindows::State& s, const char* environment, const std::string& name,
                       std::optional<uint32_t> version, bool deleteFiles) {
    auto envFolder = s.EnvFolder(environment);
    if (!envFolder) return sim::InvalidEnvironment;
    std::string env = s.CanonicalEnv(environment);
    std::vector<size_t> found = DriversNamed(s, env, name, version);
    if (found.empty()) return err::UnknownPrinterDriver;
    if (DriverInUse(s, env, name)) return err::PrinterDriverInUse;
    std::vector<sim::DriverRecordSim> removed;
    for (auto it = found.rbegin(); it != found.rend(); ++it) {
        removed.push_back(s.drivers[*it]);
        s.drivers.erase(s.drivers.begin() + static_cast<long>(*it));
    }
    for (const auto& d : removed) {
        std::string key = std::string(kEnvironmentsKey) + env + "\\Drivers\\Version-" +
                          std::to_string(d.version) + "\\" + d.name;
        if (auto parent = s.FindKey(s.roots[0], key.substr(0, key.rfind('\\')))) {
            auto& keys = parent->keys;
            for (auto k = keys.begin(); k != keys.end(); ++k)
                if (EqualsIgnoringCase((*k)->name, d.name)) {
                    s.MarkDeleted(**k);
                    keys.erase(k);
                    break;
                }
        }
        if (!deleteFiles) continue;
        std::string folder = s.DriverDir(*envFolder) + "\\" + VersionFolder(env, d.version);
        for (const auto& file : DriverFiles(d)) {
            bool shared = std::any_of(s.drivers.begin(), s.drivers.end(), [&](const auto& o) {
                if (!EqualsIgnoringCase(o.environment, env) ||
                    VersionFolder(env, o.version) != VersionFolder(env, d.version))
                    return false;
                auto files = DriverFiles(o);
                return std::any_of(files.begin(), files.end(), [&](const std::string& f) {
                    return EqualsIgnoringCase(f, file);
                });
            });
            if (shared) continue;
            PathParts pp = s.Parse(folder + "\\" + file);
            FsNode* node = s.Lookup(pp);
            // A file that is loaded stays; the spooler removes it later.
            if (node && !node->folder && !node->inUse)
                s.Parent(pp)->children.erase(NameKey(pp.parts.back()));
        }
    }
    return 0;
}

uint32_t CheckPrinterFields(SimWindows::State& s, const std::string& driver,
                            const std::string& processor, const std::string& ports) {
    if (DriversNamed(s, s.localEnv, driver, std::nullopt).empty())
        return err::UnknownPrinterDriver;
    bool knownProcessor = std::any_of(s.processors.begin(), s.processors.end(), [&](const auto& p) {
        return EqualsIgnoringCase(p.name, processor) &&
               EqualsIgnoringCase(p.environment, s.localEnv);
    });
    if (!knownProcessor) return sim::UnknownPrintProcessor;
    std::vector<std::string> list = SplitPorts(ports);
    if (list.empty()) return err::UnknownPort;
    for (const auto& p : list)
        if (!s.PortExists(p)) return err::UnknownPort;
    return 0;
}

bool ValidPrinterName(const std::string& name) {
    return !name.empty() && name.size() < 221 && name.find_first_of("\\,!") == std::string::npos;
}


}  // namespace

// ================================================================ spooler

uint32_t SimSpooler::Release(HandleKind kind, uintptr_t value) {
    return m_.ReleaseHandle(kind, value);
}

const char* SimSpooler::LocalEnvironment() const {
    Guard lock(m_.mu_);
    return m_.s_->localEnv.c_str();
}

uint32_t SimSpooler::AddMonitor(const MonitorInfo2& info) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("AddMonitor", {Str(info.pName), Str(info.pEnvironment),
                                            Str(info.pDLLName)}))
        return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    if (!info.pName || !*info.pName || !info.pDLLName || !*info.pDLLName)
        return err::InvalidParameter;
    if (info.pEnvironment && !EqualsIgnoringCase(info.pEnvironment, s.localEnv))
        return sim::InvalidEnvironment;
    for (const auto& m : s.monitors)
        if (EqualsIgnoringCase(m.name, info.pName)) return err::PrintMonitorAlreadyInstalled;
    // The spooler loads the monitor's DLL from the system folder.
    FsNode* dll = s.Lookup(s.SystemDir() + "\\" + info.pDLLName);
    if (!dll || dll->folder) return err::ModNotFound;
    s.monitors.push_back({info.pName, s.localEnv, info.pDLLName});
    auto key = s.MakeKey(s.roots[0], std::string(kMonitorsKey) + info.pName);
    if (RegValue* v = key->Value("Driver")) v->data = SzBytes(info.pDLLName);
    else key->values.push_back({"Driver", regtype::Sz, SzBytes(info.pDLLName)});
    return 0;
}

uint32_t SimSpooler::DeleteMonitor(const char* environment, const std::string& name) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("DeleteMonitor", {Str(environment), name})) return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    if (environment && !EqualsIgnoringCase(environment, s.localEnv)) return sim::InvalidEnvironment;
    auto it = std::find_if(s.monitors.begin(), s.monitors.end(),
                           [&](const SimMonitor& m) { return EqualsIgnoringCase(m.name, name); });
    if (it == s.monitors.end()) return err::UnknownPrintMonitor;
    for (const auto& port : s.MonitorPortsOf(*it))
        for (const auto& p : s.printers)
            for (const auto& used : SplitPorts(p.info.portName))
                if (EqualsIgnoringCase(used, port)) return err::PrintMonitorInUse;
    s.monitors.erase(it);
    std::string parentPath = std::string(kMonitorsKey);
    parentPath.pop_back();
    if (auto parent = s.FindKey(s.roots[0], parentPath)) {
        auto& keys = parent->keys;
        for (auto k = keys.begin(); k != keys.end(); ++k)
            if (EqualsIgnoringCase((*k)->name, name)) {
                s.MarkDeleted(**k);
                keys.erase(k);
                break;
            }
    }
    return 0;
}

uint32_t SimSpooler::EnumMonitors(std::vector<std::string>& names) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("EnumMonitors")) return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    names.clear();
    for (const auto& m : s.monitors) names.push_back(m.name);
    return 0;
}

uint32_t SimSpooler::AddPrintProcessor(const char* environment, const std::string& pathName,
                                       const std::string& name) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("AddPrintProcessor", {Str(environment), pathName, name})) return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    if (name.empty() || pathName.empty()) return err::InvalidParameter;
    auto folder = s.EnvFolder(environment);
    if (!folder) return sim::InvalidEnvironment;
    std::string env = s.CanonicalEnv(environment);
    for (const auto& p : s.processors)
        if (EqualsIgnoringCase(p.name, name) && EqualsIgnoringCase(p.environment, env))
            return err::PrintProcessorAlreadyInstalled;
    FsNode* dll = s.Lookup(s.ProcessorDir(*folder) + "\\" + pathName);
    if (!dll || dll->folder) return err::FileNotFound;
    s.processors.push_back({name, env, pathName});
    auto key = s.MakeKey(s.roots[0], std::string(kEnvironmentsKey) + env + "\\Print Processors\\" +
                                         name);
    if (RegValue* v = key->Value("Driver")) v->data = SzBytes(pathName);
    else key->values.push_back({"Driver", regtype::Sz, SzBytes(pathName)});
    return 0;
}

uint32_t SimSpooler::DeletePrintProcessor(const char* environment, const std::string& name) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("DeletePrintProcessor", {Str(environment), name})) return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    if (!s.EnvFolder(environment)) return sim::InvalidEnvironment;
    std::string env = s.CanonicalEnv(environment);
    auto it = std::find_if(s.processors.begin(), s.processors.end(), [&](const SimProcessor& p) {
        return EqualsIgnoringCase(p.name, name) && EqualsIgnoringCase(p.environment, env);
    });
    if (it == s.processors.end()) return sim::UnknownPrintProcessor;
    if (EqualsIgnoringCase(env, s.localEnv))
        for (const auto& p : s.printers)
            if (EqualsIgnoringCase(p.info.printProcessor, name)) return err::CanNotComplete;
    s.processors.erase(it);
    if (auto parent = s.FindKey(s.roots[0], std::string(kEnvironmentsKey) + env +
                                                "\\Print Processors")) {
        auto& keys = parent->keys;
        for (auto k = keys.begin(); k != keys.end(); ++k)
            if (EqualsIgnoringCase((*k)->name, name)) {
                s.MarkDeleted(**k);
                keys.erase(k);
                break;
            }
    }
    return 0;
}

uint32_t SimSpooler::EnumPrintProcessors(const char* environment,
                                         std::vector<std::string>& names) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("EnumPrintProcessors", {Str(environment)})) return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    if (!s.EnvFolder(environment)) return sim::InvalidEnvironment;
    std::string env = s.CanonicalEnv(environment);
    names.clear();
    for (const auto& p : s.processors)
        if (EqualsIgnoringCase(p.environment, env)) names.push_back(p.name);
    return 0;
}

uint32_t SimSpooler::AddPrinterDriver(const DriverInfo3& info) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("AddPrinterDriver",
                             {Str(info.pName), Str(info.pEnvironment), Str(info.pDriverPath),
                              Str(info.pDataFile), Str(info.pConfigFile)}))
        return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    if (!info.pName || !*info.pName || !info.pDriverPath || !info.pDataFile || !info.pConfigFile)
        return err::InvalidParameter;
    auto envFolder = s.EnvFolder(info.pEnvironment);
    if (!envFolder) return sim::InvalidEnvironment;
    std::string env = s.CanonicalEnv(info.pEnvironment);
    bool win40 = EqualsIgnoringCase(env, kEnvironment40);
    if (win40 ? info.cVersion != 0 : (info.cVersion != 2 && info.cVersion != 3))
        return err::InvalidParameter;

    sim::DriverRecordSim d;
    d.name = info.pName;
    d.environment = env;
    d.version = info.cVersion;
    d.monitorName = Str(info.pMonitorName);
    d.defaultDataType = Str(info.pDefaultDataType);
    std::vector<std::string> given = {info.pDriverPath, info.pDataFile, info.pConfigFile};
    if (info.pHelpFile && *info.pHelpFile) given.push_back(info.pHelpFile);
    if (info.pDependentFiles)
        for (const char* p = info.pDependentFiles; *p; p += std::char_traits<char>::length(p) + 1)
            given.push_back(p);

    // Every file must be where it is named, in the driver folder, or already
    // in the version's folder; all are then copied into the version's folder.
    std::string driverDir = s.DriverDir(*envFolder);
    std::string versionDir = driverDir + "\\" + VersionFolder(env, info.cVersion);
    std::vector<FsNode*> sources;
    for (const auto& file : given) {
        if (file.empty()) return err::InvalidParameter;
        std::string base = BaseName(file);
        FsNode* node = nullptr;
        if (file.find_first_of("\\/:") != std::string::npos) node = s.Lookup(file);
        if (!node) node = s.Lookup(driverDir + "\\" + base);
        if (!node) node = s.Lookup(versionDir + "\\" + base);
        if (!node || node->folder) return err::FileNotFound;
        sources.push_back(node);
    }
    // Copy the sources first: a file may be copied over another source.
    std::vector<std::pair<std::string, FsNode>> copies;
    for (size_t i = 0; i < given.size(); ++i) {
        FsNode copy;
        copy.name = BaseName(given[i]);
        copy.bytes = sources[i]->bytes;
        copy.attributes = (sources[i]->attributes & ~attr::Directory) | attr::Archive;
        copy.version = sources[i]->version;
        copies.emplace_back(copy.name, std::move(copy));
    }
    FsNode* folder = s.MakeFolders(versionDir);
    for (auto& [base, copy] : copies) {
        auto node = std::make_unique<FsNode>(std::move(copy));
        folder->children[NameKey(base)] = std::move(node);
    }
    d.driverPath = BaseName(given[0]);
    d.dataFile = BaseName(given[1]);
    d.configFile = BaseName(given[2]);
    size_t next = 3;
    if (info.pHelpFile && *info.pHelpFile) d.helpFile = BaseName(given[next++]);
    for (; next < given.size(); ++next) d.dependentFiles.push_back(BaseName(given[next]));

    // A second add of the same driver replaces it.
    for (size_t i : DriversNamed(s, env, d.name, d.version)) {
        s.drivers[i] = d;
        return 0;
    }
    s.drivers.push_back(d);
    auto key = s.MakeKey(s.roots[0], std::string(kEnvironmentsKey) + env + "\\Drivers\\Version-" +
                                         std::to_string(d.version) + "\\" + d.name);
    key->values.push_back({"Driver", regtype::Sz, SzBytes(d.driverPath)});
    return 0;
}

uint32_t SimSpooler::DeletePrinterDriver(const char* server, const char* environment,
                                         const std::string& name) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("DeletePrinterDriver", {Str(server), Str(environment), name})) return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    return RemoveDrivers(s, environment, name, std::nullopt, false);
}

uint32_t SimSpooler::EnumPrinterDrivers(const char* environment, std::vector<std::string>& names) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("EnumPrinterDrivers", {Str(environment)})) return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    if (!s.EnvFolder(environment)) return sim::InvalidEnvironment;
    std::string env = s.CanonicalEnv(environment);
    names.clear();
    for (const auto& d : s.drivers)
        if (EqualsIgnoringCase(d.environment, env)) names.push_back(d.name);
    return 0;
}

uint32_t SimSpooler::AddPrinter(const PrinterInfo2& info, Printer& out) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("AddPrinter", {Str(info.pPrinterName), Str(info.pDriverName),
                                            Str(info.pPortName), Str(info.pPrintProcessor)}))
        return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    std::string name = Str(info.pPrinterName);
    if (!ValidPrinterName(name)) return err::InvalidPrinterName;
    if (s.Printer(name)) return err::PrinterAlreadyExists;
    if (uint32_t e = CheckPrinterFields(s, Str(info.pDriverName), Str(info.pPrintProcessor),
                                        Str(info.pPortName)))
        return e;
    SimPrinter p;
    p.id = s.nextPrinterId++;
    PrinterInfo& i = p.info;
    i.printerName = name;
    i.shareName = Str(info.pShareName);
    i.portName = Str(info.pPortName);
    i.driverName = Str(info.pDriverName);
    i.comment = Str(info.pComment);
    i.location = Str(info.pLocation);
    i.sepFile = Str(info.pSepFile);
    i.printProcessor = Str(info.pPrintProcessor);
    i.datatype = info.pDatatype && *info.pDatatype ? info.pDatatype : "RAW";
    i.parameters = Str(info.pParameters);
    i.attributes = info.Attributes & ~printer_attr::Default;
    i.priority = info.Priority;
    i.defaultPriority = info.DefaultPriority;
    i.startTime = info.StartTime;
    i.untilTime = info.UntilTime;
    s.printers.push_back(p);
    if (info.Attributes & printer_attr::Default) s.SetDefault(name);
    uintptr_t h = s.NewHandle();
    s.printerHandles[h] = p.id;
    out = Printer(this, h);
    return 0;
}

uint32_t SimSpooler::OpenPrinter(const std::string& name, Printer& out) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("OpenPrinter", {name})) return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    SimPrinter* p = s.Printer(name);
    if (!p) return err::InvalidPrinterName;
    uintptr_t h = s.NewHandle();
    s.printerHandles[h] = p->id;
    out = Printer(this, h);
    return 0;
}

uint32_t SimSpooler::GetPrinterSize(const Printer& printer, uint32_t& needed) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("GetPrinterSize")) return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    SimPrinter* p = s.PrinterOf(printer);
    if (!p) return err::InvalidHandle;
    const PrinterInfo& i = p->info;
    // PRINTER_INFO_2A followed by its strings.
    uint32_t size = 136;
    for (const std::string* t : {&i.serverName, &i.printerName, &i.shareName, &i.portName,
                                 &i.driverName, &i.comment, &i.location, &i.sepFile,
                                 &i.printProcessor, &i.datatype, &i.parameters})
        size += static_cast<uint32_t>(t->size()) + 1;
    needed = size;
    return err::InsufficientBuffer;
}

uint32_t SimSpooler::GetPrinter(const Printer& printer, PrinterInfo& out) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("GetPrinter")) return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    SimPrinter* p = s.PrinterOf(printer);
    if (!p) return err::InvalidHandle;
    out = Visible(s, *p);
    return 0;
}

uint32_t SimSpooler::SetPrinter(const Printer& printer, const PrinterInfo& info) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("SetPrinter", {info.printerName, info.driverName, info.portName}))
        return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    SimPrinter* p = s.PrinterOf(printer);
    if (!p) return err::InvalidHandle;
    if (!EqualsIgnoringCase(info.printerName, p->info.printerName)) {
        if (!ValidPrinterName(info.printerName)) return err::InvalidPrinterName;
        if (s.Printer(info.printerName)) return err::PrinterAlreadyExists;
    }
    if (uint32_t e = CheckPrinterFields(s, info.driverName, info.printProcessor, info.portName))
        return e;
    bool wasDefault = EqualsIgnoringCase(s.defaultPrinter, p->info.printerName);
    PrinterInfo& i = p->info;
    uint32_t status = i.status, jobs = i.cJobs;
    i = info;
    i.serverName.clear();
    i.status = status;  // the queue's state and jobs are the spooler's own
    i.cJobs = jobs;
    if (i.datatype.empty()) i.datatype = "RAW";
    i.attributes &= ~printer_attr::Default;
    if ((info.attributes & printer_attr::Default) || wasDefault) s.SetDefault(i.printerName);
    return 0;
}

uint32_t SimSpooler::DeletePrinter(const Printer& printer) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("DeletePrinter")) return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    SimPrinter* p = s.PrinterOf(printer);
    if (!p) return err::InvalidHandle;
    if (EqualsIgnoringCase(s.defaultPrinter, p->info.printerName)) {
        s.defaultPrinter.clear();
        std::string ini = s.windowsDir + "\\win.ini";
        if (FsNode* node = s.Lookup(ini))
            node->bytes = ini::EditProfile(node->bytes, "windows", "device", nullptr);
    }
    uintptr_t id = p->id;
    s.printers.erase(std::remove_if(s.printers.begin(), s.printers.end(),
                                    [&](const SimPrinter& x) { return x.id == id; }),
                     s.printers.end());
    return 0;
}

uint32_t SimSpooler::EnumPrinters(std::vector<PrinterInfo5>& printers) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("EnumPrinters")) return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    printers.clear();
    for (const auto& p : s.printers) {
        PrinterInfo v = Visible(s, p);
        printers.push_back({v.printerName, v.portName, v.attributes});
    }
    return 0;
}

uint32_t SimSpooler::EnumPorts(std::vector<std::string>& names) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("EnumPorts")) return e;
    if (uint32_t e = SpoolerDown(s)) return e;
    names = s.Ports();
    return 0;
}

std::unique_ptr<SpoolerLibrary> SimSpooler::LoadSpoolerLibrary(const std::string& name,
                                                               uint32_t& error) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    error = s.Enter("LoadSpoolerLibrary", {name});
    if (error) return nullptr;
    if (!EqualsIgnoringCase(name, "winspool.drv") || !s.spoolLibLoads) {
        error = err::ModNotFound;
        return nullptr;
    }
    ++s.spoolLoads;
    return std::make_unique<SimSpoolerLibrary>(m_);
}

uint32_t SimSpoolerLibrary::SetDefaultPrinter(const char* printerName) {
    Guard lock(m_.mu_);
    SimWindows::State& s = *m_.s_;
    if (uint32_t e = s.Enter("SetDefaultPrinter", {Str(printerName)})) return e;
    if (!s.spoolHasSetDefault) return err::ProcNotFound;
    if (uint32_t e = SpoolerDown(s)) return e;
    if (!printerName || !*printerName) {
        // Windows then picks a printer of its own: the first.
        if (s.printers.empty()) return err::InvalidPrinterName;
        s.SetDefault(s.printers.front().info.printerName);
        return 0;
    }
    SimPrinter* p = s.Printer(printerName);
    if (!p) return err::InvalidPrinterName;
    s.SetDefault(p->info.printerName);
    return 0;
}

uint32_t SimSpoolerLibrary::DeletePrinterDriverEx(const char* server, const char* environment,
                                                  const char* driverName, uint32_t deleteFlag,
                                                  uint32_t versionFlag) {
    Guard lock(m_.mu_);
    SimWindows::State& s = *m_.s_;
    if (uint32_t e = s.Enter("DeletePrinterDriverEx",
                             {Str(server), Str(environment), Str(driverName)}))
        return e;
    if (!s.spoolHasDeleteEx) return err::ProcNotFound;
    if (uint32_t e = SpoolerDown(s)) return e;
    if (!driverName || !*driverName) return err::InvalidParameter;
    if (deleteFlag & ~(DpdDeleteUnusedFiles | DpdDeleteSpecificVersion | DpdDeleteAllFiles))
        return err::InvalidParameter;
    std::optional<uint32_t> version;
    if (deleteFlag & DpdDeleteSpecificVersion) version = versionFlag;
    return RemoveDrivers(s, environment, driverName, version,
                         (deleteFlag & (DpdDeleteUnusedFiles | DpdDeleteAllFiles)) != 0);
}

// ================================================================ set-up

void SimWindows::SetMonitorPorts(const std::string& dll, std::vector<std::string> ports) {
    Guard lock(mu_);
    s_->monitorPorts[Lower(dll)] = std::move(ports);
}

}  // namespace plat
