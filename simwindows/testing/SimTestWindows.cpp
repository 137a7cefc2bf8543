#include "simwindows/testing/SimTestWindows.h"

#include "simwindows/SimState.h"

namespace plat {

using Guard = LockGuard;
using State = SimWindows::State;

namespace {

// Days since 2000-01-01 of a date in the proleptic Gregorian calendar (after
// H. Hinnant's civil-date algorithms).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 730425;
}

}  // namespace

SimTestWindows::SimTestWindows() { SetCallHook(this); }

SimTestWindows::~SimTestWindows() { SetCallHook(nullptr); }

uint32_t SimTestWindows::Enter(const std::string& call,
                               std::initializer_list<std::string_view> args) {
    ++calls_[call];
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->call != call) continue;
        bool match = it->whenArgContains.empty();
        for (std::string_view a : args)
            if (!match && ContainsIgnoringCase(a, it->whenArgContains)) match = true;
        if (!match) continue;
        uint32_t error = it->error;
        if (it->times > 0 && --it->times == 0) faults_.erase(it);
        return error;
    }
    return 0;
}

void SimTestWindows::InstallMonitor(const std::string& name, const std::string& environment,
                                const std::string& dll) {
    Guard lock(mu_);
    State& s = *s_;
    auto& m = s.monitors;
    m.erase(std::remove_if(m.begin(), m.end(),
                           [&](const auto& x) { return EqualsIgnoringCase(x.name, name); }),
            m.end());
    m.push_back({name, environment, dll});
    auto key = s.MakeKey(s.roots[0], std::string(kMonitorsKey) + name);
    if (RegValue* v = key->Value("Driver")) v->data = SzBytes(dll);
    else key->values.push_back({"Driver", regtype::Sz, SzBytes(dll)});
}

void SimTestWindows::InstallPrintProcessor(const std::string& environment, const std::string& name,
                                       const std::string& dll) {
    Guard lock(mu_);
    State& s = *s_;
    std::string env = s.CanonicalEnv(environment.c_str());
    auto& p = s.processors;
    p.erase(std::remove_if(p.begin(), p.end(), [&](const auto& x) {
                return EqualsIgnoringCase(x.name, name) && EqualsIgnoringCase(x.environment, env);
            }),
            p.end());
    p.push_back({name, env, dll});
    auto key = s.MakeKey(s.roots[0], std::string(kEnvironmentsKey) + env + "\\Print Processors\\" +
                                         name);
    if (RegValue* v = key->Value("Driver")) v->data = SzBytes(dll);
    else key->values.push_back({"Driver", regtype::Sz, SzBytes(dll)});
}

void SimTestWindows::InstallDriver(const sim::DriverRecordSim& driver) {
    Guard lock(mu_);
    State& s = *s_;
    sim::DriverRecordSim d = driver;
    d.environment = s.CanonicalEnv(d.environment.empty() ? nullptr : d.environment.c_str());
    for (size_t i : DriversNamed(s, d.environment, d.name, d.version)) {
        s.drivers[i] = d;
        return;
    }
    s.drivers.push_back(d);
}

void SimTestWindows::InstallPrinter(const PrinterInfo& printer) {
    Guard lock(mu_);
    State& s = *s_;
    if (SimPrinter* p = s.Printer(printer.printerName)) {
        p->info = printer;
    } else {
        SimPrinter fresh;
        fresh.id = s.nextPrinterId++;
        fresh.info = printer;
        s.printers.push_back(fresh);
    }
    if (printer.attributes & printer_attr::Default) s.SetDefault(printer.printerName);
    s.Printer(printer.printerName)->info.attributes &= ~printer_attr::Default;
}

std::vector<sim::MonitorRecord> SimTestWindows::Monitors() const {
    Guard lock(mu_);
    std::vector<sim::MonitorRecord> out;
    for (const auto& m : s_->monitors) out.push_back({m.name, m.environment, m.dll});
    return out;
}

std::vector<sim::ProcessorRecord> SimTestWindows::Processors() const {
    Guard lock(mu_);
    std::vector<sim::ProcessorRecord> out;
    for (const auto& p : s_->processors) out.push_back({p.name, p.environment, p.dll});
    return out;
}

std::vector<sim::DriverRecordSim> SimTestWindows::Drivers() const {
    Guard lock(mu_);
    return s_->drivers;
}

std::vector<PrinterInfo> SimTestWindows::Printers() const {
    Guard lock(mu_);
    std::vector<PrinterInfo> out;
    for (const auto& p : s_->printers) out.push_back(Visible(*s_, p));
    return out;
}

std::optional<PrinterInfo> SimTestWindows::FindPrinter(const std::string& name) const {
    Guard lock(mu_);
    if (SimPrinter* p = s_->Printer(name)) return Visible(*s_, *p);
    return std::nullopt;
}

void SimTestWindows::SetPrinterJobs(const std::string& name, uint32_t jobs) {
    Guard lock(mu_);
    if (SimPrinter* p = s_->Printer(name)) p->info.cJobs = jobs;
}

void SimTestWindows::SetPrinterStatus(const std::string& name, uint32_t status) {
    Guard lock(mu_);
    if (SimPrinter* p = s_->Printer(name)) p->info.status = status;
}

std::string SimTestWindows::DefaultPrinter() const {
    Guard lock(mu_);
    return s_->defaultPrinter;
}

void SimTestWindows::SetSpoolerLibrary(bool loads, bool hasSetDefaultPrinter,
                                   bool hasDeletePrinterDriverEx) {
    Guard lock(mu_);
    s_->spoolLibLoads = loads;
    s_->spoolHasSetDefault = hasSetDefaultPrinter;
    s_->spoolHasDeleteEx = hasDeletePrinterDriverEx;
}

std::vector<sim::BroadcastCall> SimTestWindows::Broadcasts() const {
    Guard lock(mu_);
    return s_->broadcasts;
}

int SimTestWindows::SpoolerLibraryLoads() const {
    Guard lock(mu_);
    return s_->spoolLoads;
}

int SimTestWindows::SpoolerLibraryFrees() const {
    Guard lock(mu_);
    return s_->spoolFrees;
}

void SimTestWindows::SetSpoolerApiNeedsService(bool needs) {
    Guard lock(mu_);
    s_->spoolerApiNeedsService = needs;
}

void SimTestWindows::SetSpoolerDllsInUse(bool inUse) {
    Guard lock(mu_);
    s_->spoolerDllsInUse = inUse;
}

void SimTestWindows::SetLocalTime(const LocalTime& t) {
    Guard lock(mu_);
    s_->clockMs = DaysFromCivil(t.year, t.month, t.day) * 86400000 +
                  ((t.hour * 60 + t.minute) * 60 + t.second) * int64_t{1000} + t.milliseconds;
}

void SimTestWindows::Inject(sim::Fault fault) {
    Guard lock(mu_);
    if (fault.times != 0) faults_.push_back(std::move(fault));
}

void SimTestWindows::FailCall(const std::string& call, uint32_t error, int times,
                          const std::string& whenArgContains) {
    Inject({call, error, times, whenArgContains});
}

void SimTestWindows::ClearFaults() {
    Guard lock(mu_);
    faults_.clear();
}

int SimTestWindows::CallCount(const std::string& call) const {
    Guard lock(mu_);
    auto it = calls_.find(call);
    return it == calls_.end() ? 0 : it->second;
}

bool SimTestWindows::FolderExists(const std::string& path) const {
    Guard lock(mu_);
    FsNode* n = s_->Lookup(path);
    return n && n->folder;
}

std::optional<std::string> SimTestWindows::FileText(const std::string& path) const {
    Guard lock(mu_);
    return s_->ReadText(path);
}

std::optional<uint32_t> SimTestWindows::Attributes(const std::string& path) const {
    Guard lock(mu_);
    FsNode* n = s_->Lookup(path);
    if (!n) return std::nullopt;
    return n->attributes;
}

std::vector<std::string> SimTestWindows::ListFolder(const std::string& path) const {
    Guard lock(mu_);
    std::vector<std::string> names;
    FsNode* n = s_->Lookup(path);
    if (n && n->folder)
        for (const auto& [lower, child] : n->children) names.push_back(child->name);
    return names;
}

std::map<std::string, std::string> SimTestWindows::AllFiles() const {
    Guard lock(mu_);
    std::map<std::string, std::string> files;
    auto walk = [&files](auto& self, const FsNode& folder, const std::string& path) -> void {
        for (const auto& [key, child] : folder.children) {
            const std::string full = path + "\\" + child->name;
            if (child->folder) self(self, *child, full);
            else files.emplace(full, child->bytes);
        }
    };
    for (const auto& [letter, root] : s_->drives)
        if (root) walk(walk, *root, std::string(1, letter) + ":");
    return files;
}

void SimTestWindows::SetFileInUse(const std::string& path, bool inUse) {
    Guard lock(mu_);
    if (FsNode* n = s_->Lookup(path)) n->inUse = inUse;
}

void SimTestWindows::SetFileVersion(const std::string& path, const VersionResource& version) {
    Guard lock(mu_);
    if (FsNode* n = s_->Lookup(path)) n->version = version;
}

VersionResource SimTestWindows::MakeVersion(const std::string& fileVersion, uint16_t language,
                                        uint16_t codePage) {
    VersionResource v;
    v.translations.push_back({language, codePage});
    char block[16];
    std::snprintf(block, sizeof block, "%04x%04x", language, codePage);
    v.strings.push_back({std::string("\\StringFileInfo\\") + block + "\\FileVersion", fileVersion});
    return v;
}

bool SimTestWindows::KeyExists(Root root, const std::string& path) const {
    Guard lock(mu_);
    return s_->FindKey(s_->roots[static_cast<int>(root)], path) != nullptr;
}

std::vector<sim::RegValueDump> SimTestWindows::DumpValues(Root root,
                                                          const std::string& path) const {
    Guard lock(mu_);
    std::vector<sim::RegValueDump> out;
    if (auto node = s_->FindKey(s_->roots[static_cast<int>(root)], path))
        for (const auto& v : node->values)
            out.push_back({v.name, v.type, v.data, ValueText(v.type, v.data)});
    return out;
}

std::optional<std::string> SimTestWindows::RegText(Root root, const std::string& path,
                                               const std::string& name) const {
    Guard lock(mu_);
    auto node = s_->FindKey(s_->roots[static_cast<int>(root)], path);
    if (!node) return std::nullopt;
    RegValue* v = node->Value(name);
    if (!v) return std::nullopt;
    return ValueText(v->type, v->data);
}

std::vector<std::string> SimTestWindows::SubKeys(Root root, const std::string& path) const {
    Guard lock(mu_);
    std::vector<std::string> out;
    if (auto node = s_->FindKey(s_->roots[static_cast<int>(root)], path))
        for (const auto& k : node->keys) out.push_back(k->name);
    return out;
}

void SimTestWindows::RemoveKeyTree(Root root, const std::string& path) {
    Guard lock(mu_);
    std::vector<std::string> parts = SplitKeyPath(path);
    if (parts.empty()) return;
    std::string last = parts.back();
    parts.pop_back();
    std::shared_ptr<RegNode> parent = s_->roots[static_cast<int>(root)];
    for (const auto& p : parts)
        if (!(parent = parent->ChildShared(p))) return;
    auto it = std::find_if(parent->keys.begin(), parent->keys.end(),
                           [&](const auto& k) { return EqualsIgnoringCase(k->name, last); });
    if (it == parent->keys.end()) return;
    s_->MarkDeleted(**it);
    parent->keys.erase(it);
}

void SimTestWindows::SetProcessGroups(std::vector<std::string> sids) {
    Guard lock(mu_);
    s_->processGroups = std::move(sids);
}

void SimTestWindows::SetThreadGroups(std::optional<std::vector<std::string>> sids) {
    Guard lock(mu_);
    s_->threadGroups = std::move(sids);
}

bool SimTestWindows::ShutdownPrivilegeEnabled() const {
    Guard lock(mu_);
    return s_->shutdownPrivilege;
}

std::vector<uint32_t> SimTestWindows::ExitWindowsCalls() const {
    Guard lock(mu_);
    return s_->exitWindows;
}

std::vector<uint32_t> SimTestWindows::Sleeps() const {
    Guard lock(mu_);
    return s_->sleeps;
}

void SimTestWindows::ClearSleeps() {
    Guard lock(mu_);
    s_->sleeps.clear();
}

void SimTestWindows::QueueAnswer(int answer) {
    Guard lock(mu_);
    s_->answers.push_back(answer);
}

void SimTestWindows::SetDefaultYesNoAnswer(int answer) {
    Guard lock(mu_);
    s_->defaultYesNo = answer;
}

std::vector<sim::MessageBoxCall> SimTestWindows::MessageBoxes() const {
    Guard lock(mu_);
    return s_->boxes;
}

void SimTestWindows::ClearMessageBoxes() {
    Guard lock(mu_);
    s_->boxes.clear();
}

Window SimTestWindows::AddWindow(const std::string& title, bool iconic) {
    Guard lock(mu_);
    Window h = s_->nextWindow += 0x10;
    s_->windows.push_back({h, title, iconic});
    return h;
}

void SimTestWindows::RemoveWindow(Window window) {
    Guard lock(mu_);
    auto& w = s_->windows;
    w.erase(
        std::remove_if(w.begin(), w.end(), [&](const SimWindow& x) { return x.handle == window; }),
        w.end());
}

std::vector<Window> SimTestWindows::ForegroundCalls() const {
    Guard lock(mu_);
    return s_->foreground;
}

std::vector<Window> SimTestWindows::RestoreCalls() const {
    Guard lock(mu_);
    return s_->restored;
}

void SimTestWindows::OwnMutexElsewhere(const std::string& name) {
    Guard lock(mu_);
    s_->mutexes[Lower(name)] = -1;
}

bool SimTestWindows::MutexExists(const std::string& name) const {
    Guard lock(mu_);
    return s_->mutexes.count(Lower(name)) != 0;
}

void SimTestWindows::SetShellOpenResult(intptr_t result) {
    Guard lock(mu_);
    s_->shellResult = result;
}

std::vector<std::string> SimTestWindows::ShellOpens() const {
    Guard lock(mu_);
    return s_->shellOpens;
}

void SimTestWindows::SetSpoolerState(uint32_t state) {
    Guard lock(mu_);
    s_->spoolerState = state;
}

uint32_t SimTestWindows::SpoolerState() const {
    Guard lock(mu_);
    return s_->spoolerState;
}

void SimTestWindows::SetSpoolerNeverRuns(bool never) {
    Guard lock(mu_);
    s_->spoolerNeverRuns = never;
}

std::vector<std::string> SimTestWindows::ServiceLog() const {
    Guard lock(mu_);
    return s_->serviceLog;
}

void SimTestWindows::ClearServiceLog() {
    Guard lock(mu_);
    s_->serviceLog.clear();
}

void SimTestWindows::DetachUsbPrinter(int index) {
    Guard lock(mu_);
    if (index >= 0 && index < 8) s_->usb[index] = {};
}

std::optional<int32_t> SimTestWindows::UsbPrinterId(int index) const {
    Guard lock(mu_);
    if (index < 0 || index >= 8 || !s_->usb[index].attached) return std::nullopt;
    return s_->usb[index].id;
}

void SimTestWindows::SetUsbEntryMissing(const std::string& entryPoint, bool missing) {
    Guard lock(mu_);
    s_->usbMissing[entryPoint] = missing;
}

void SimTestWindows::SetUsbNoDeviceResult(int32_t result) {
    Guard lock(mu_);
    s_->usbNoDevice = result;
}

void SimTestWindows::SetUsbReadIdFails(bool fails) {
    Guard lock(mu_);
    s_->usbReadFails = fails;
}

void SimTestWindows::SetUsbWriteFails(bool fails) {
    Guard lock(mu_);
    s_->usbWriteFails = fails;
}

void SimTestWindows::SetUsbSetIdCode(std::optional<std::array<uint8_t, 5>> code) {
    Guard lock(mu_);
    s_->usbCode = code;
}

std::vector<sim::UsbWrite> SimTestWindows::UsbWrites() const {
    Guard lock(mu_);
    return s_->usbWrites;
}

std::vector<int32_t> SimTestWindows::UsbCloseCalls() const {
    Guard lock(mu_);
    return s_->usbCloses;
}

int SimTestWindows::UsbLoads() const {
    Guard lock(mu_);
    return s_->usbLoads;
}

int SimTestWindows::UsbFrees() const {
    Guard lock(mu_);
    return s_->usbFrees;
}

}  // namespace plat
