// The state of the simulated Windows, shared by its source files and its
// testing part. Internal to simwindows/: others use the methods of SimWindows
// and SimTestWindows.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/IniText.h"
#include "common/Text.h"
#include "simwindows/SimWindows.h"

namespace plat::sim::detail {

// The key of a file name in its folder: upper case, so that a listing comes
// in the order NTFS keeps ("_x" after "A").
inline std::string NameKey(std::string_view s) { return Upper(std::string(s)); }

inline std::vector<std::string> SplitKeyPath(std::string_view path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Windows' wildcard match of a file name: '*' any run, '?' one character,
// without regard to case; "*.*" matches every name.
inline bool WildMatch(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*" || pattern == "*") return true;
    size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || EqualsIgnoringCase(pattern.substr(p, 1), name.substr(n, 1)))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    // "name.*" also matches "name" without extension.
    if (p + 2 == pattern.size() && pattern[p] == '.' && pattern[p + 1] == '*') return true;
    return p == pattern.size();
}

inline std::string Hex(const std::vector<uint8_t>& data) {
    std::string out;
    char buf[4];
    for (uint8_t b : data) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        out += buf;
    }
    return out;
}

inline std::string ValueText(uint32_t type, const std::vector<uint8_t>& data) {
    if (type == regtype::Sz) {
        std::string s(data.begin(), data.end());
        size_t nul = s.find('\0');
        return nul == std::string::npos ? s : s.substr(0, nul);
    }
    if (type == regtype::Dword && data.size() == 4) {
        uint32_t v = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                     uint32_t(data[3]) << 24;
        return std::to_string(v);
    }
    return Hex(data);
}

inline const char* Str(const char* s) { return s ? s : ""; }


struct RegValue {
    std::string name;
    uint32_t type = 0;
    std::vector<uint8_t> data;
};

struct RegNode {
    std::string name;
    std::vector<RegValue> values;
    std::vector<std::shared_ptr<RegNode>> keys;
    bool deleted = false;

    RegNode* Child(std::string_view n) const {
        for (const auto& k : keys)
            if (EqualsIgnoringCase(k->name, n)) return k.get();
        return nullptr;
    }
    std::shared_ptr<RegNode> ChildShared(std::string_view n) const {
        for (const auto& k : keys)
            if (EqualsIgnoringCase(k->name, n)) return k;
        return nullptr;
    }
    RegValue* Value(std::string_view n) {
        for (auto& v : values)
            if (EqualsIgnoringCase(v.name, n)) return &v;
        return nullptr;
    }
};

struct FsNode {
    std::string name;
    bool folder = false;
    uint32_t attributes = attr::Archive;
    std::string bytes;
    bool inUse = false;
    // A folder mounted read-only: nothing below it may be written, renamed
    // or deleted (a package on a read-only share).
    bool readOnlyMount = false;
    std::optional<VersionResource> version;
    // Keyed by NameKey: the listing order.
    std::map<std::string, std::unique_ptr<FsNode>> children;

    FsNode* Child(std::string_view n) const {
        auto it = children.find(NameKey(n));
        return it == children.end() ? nullptr : it->second.get();
    }
};

struct PathParts {
    bool ok = false;
    char drive = 0;
    std::vector<std::string> parts;
};

struct SimMonitor {
    std::string name, environment, dll;
};
struct SimProcessor {
    std::string name, environment, dll;
};

struct SimPrinter {
    uintptr_t id = 0;
    PrinterInfo info;
};

struct KeyHandle {
    std::shared_ptr<RegNode> node;
};

struct FindState {
    std::vector<FindData> entries;
    size_t next = 0;
};

struct ServiceHandle {
    bool manager = false;
    std::string name;
    uint32_t access = 0;
};

struct TokenHandle {
    std::vector<std::string> sids;
};

struct SimWindow {
    Window handle = 0;
    std::string title;
    bool iconic = false;
};

struct UsbDevice {
    bool attached = false;
    int32_t id = 0;
};

}  // namespace plat::sim::detail

namespace plat {

using namespace sim::detail;

struct SimWindows::State {
    // ---- the testing part's watch on the calls
    sim::CallHook* hook = nullptr;

    // ---- registry
    std::shared_ptr<RegNode> roots[3] = {std::make_shared<RegNode>(), std::make_shared<RegNode>(),
                                         std::make_shared<RegNode>()};

    // ---- files
    std::map<char, std::unique_ptr<FsNode>> drives;
    std::string currentDir = "C:\\PKG";
    std::string moduleFile = "C:\\PKG\\Setup.exe";
    std::string windowsDir = "C:\\WINDOWS";
    std::string localEnv = kEnvironmentX86;

    // ---- handles
    uintptr_t nextHandle = 0x1000;
    std::map<uintptr_t, KeyHandle> keys;
    std::map<uintptr_t, FindState> finds;
    std::map<uintptr_t, uintptr_t> printerHandles;  // handle -> printer id
    uintptr_t nextPrinterId = 1;
    std::map<uintptr_t, ServiceHandle> services;
    std::map<uintptr_t, TokenHandle> tokens;
    std::map<uintptr_t, std::string> mutexHandles;

    // ---- spooler
    std::vector<SimMonitor> monitors;
    std::vector<SimProcessor> processors;
    std::vector<sim::DriverRecordSim> drivers;
    std::vector<SimPrinter> printers;
    std::map<std::string, std::vector<std::string>> monitorPorts = {
        {"localspl.dll", {"LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:", "COM3:", "COM4:", "FILE:"}}};
    std::string defaultPrinter;
    bool spoolLibLoads = true, spoolHasSetDefault = true, spoolHasDeleteEx = true;
    std::vector<sim::BroadcastCall> broadcasts;
    bool spoolerApiNeedsService = true;
    bool spoolerDllsInUse = false;
    // Profile files read through an index of their text (SetProfileIndexing),
    // by lower-case path: the text it was made of, and the index (shared
    // with the other machines of the process that read the same text).
    bool profileIndexing = false;
    std::map<std::string, std::pair<std::string, std::shared_ptr<const ini::ProfileIndex>>>
        profileIndexes;
    int spoolLoads = 0, spoolFrees = 0;

    // ---- service
    uint32_t spoolerState = svc::Running;
    bool spoolerNeverRuns = false;
    std::vector<std::string> serviceLog;

    // ---- version, token, shutdown
    OsVersion version;
    std::vector<std::string> processGroups = {"S-1-1-0", sim::kAdministratorsSid,
                                              "S-1-5-32-545", "S-1-5-4", "S-1-5-11"};
    std::optional<std::vector<std::string>> threadGroups;
    bool shutdownPrivilege = false;
    std::vector<uint32_t> exitWindows;

    // ---- clock and UI
    std::vector<uint32_t> sleeps;
    // The clock: milliseconds since 2000-01-01 00:00 local time; waits move
    // it. It starts at Monday 2024-06-03 09:00.
    int64_t clockMs = 770720400000;
    std::vector<int> answers;
    int defaultYesNo = mb::IdNo;
    std::vector<sim::MessageBoxCall> boxes;
    std::vector<SimWindow> windows;
    Window nextWindow = 0x10010;
    std::vector<Window> foreground, restored;
    std::map<std::string, int> mutexes;  // lower-case name -> open handles (-1: elsewhere)
    intptr_t shellResult = 42;
    std::vector<std::string> shellOpens;

    // ---- USB
    bool usbPresent = false;
    std::array<UsbDevice, 8> usb{};
    std::map<std::string, bool> usbMissing;
    int32_t usbNoDevice = 0;
    bool usbReadFails = false, usbWriteFails = false;
    std::optional<std::array<uint8_t, 5>> usbCode;
    std::vector<sim::UsbWrite> usbWrites;
    std::vector<int32_t> usbCloses;
    int usbLoads = 0, usbFrees = 0;
    // Open device handles of the library: handle -> device index.
    std::map<int32_t, int> usbHandles;
    int32_t nextUsbHandle = 0x100;

    // ================================================================ helpers

    // Lets the testing part see the call and answer a failure (0: none).
    uint32_t Enter(const std::string& call, std::initializer_list<std::string_view> args = {}) {
        return hook ? hook->Enter(call, args) : 0;
    }

    uintptr_t NewHandle() { return nextHandle += 4; }

    // ---- registry helpers
    std::shared_ptr<RegNode> RootKey(plat::Root r) { return roots[static_cast<int>(r)]; }

    std::shared_ptr<RegNode> FindKey(std::shared_ptr<RegNode> from, std::string_view path) {
        for (const std::string& part : SplitKeyPath(path)) {
            from = from->ChildShared(part);
            if (!from) return nullptr;
        }
        return from;
    }
    std::shared_ptr<RegNode> MakeKey(std::shared_ptr<RegNode> from, std::string_view path) {
        for (const std::string& part : SplitKeyPath(path)) {
            auto next = from->ChildShared(part);
            if (!next) {
                next = std::make_shared<RegNode>();
                next->name = part;
                // Sub-keys are kept sorted without regard to case, as the
                // hives keep them (and RegEnumKey lists them).
                auto at = std::find_if(from->keys.begin(), from->keys.end(), [&](const auto& k) {
                    return Upper(k->name) > Upper(part);
                });
                from->keys.insert(at, next);
            }
            from = next;
        }
        return from;
    }
    // The node of an open key handle, or an error.
    uint32_t KeyOf(const RegKey& key, std::shared_ptr<RegNode>& node) {
        auto it = keys.find(key.value());
        if (!key || it == keys.end()) return err::InvalidHandle;
        if (it->second.node->deleted) return sim::KeyDeleted;
        node = it->second.node;
        return 0;
    }
    void MarkDeleted(RegNode& node) {
        node.deleted = true;
        for (auto& k : node.keys) MarkDeleted(*k);
    }

    // ---- file helpers
    PathParts Parse(std::string_view path) const {
        PathParts out;
        std::string p(path);
        std::replace(p.begin(), p.end(), '/', '\\');
        if (p.size() >= 2 && p[1] == ':') {
            if (p.size() > 2 && p[2] != '\\') {
                // "C:name" is relative to that drive's folder: take the root.
                p.insert(2, "\\");
            }
        } else if (!p.empty() && p[0] == '\\') {
            if (p.size() > 1 && p[1] == '\\') return out;  // UNC: no such network here
            p = currentDir.substr(0, 2) + p;
        } else {
            p = currentDir + "\\" + p;
        }
        if (p.size() < 2 || !std::isalpha(static_cast<unsigned char>(p[0]))) return out;
        out.drive = static_cast<char>(std::toupper(static_cast<unsigned char>(p[0])));
        for (std::string& part : SplitKeyPath(std::string_view(p).substr(2))) {
            // Trailing dots and blanks of a name are dropped, as Windows does.
            while (!part.empty() && (part.back() == ' ' || (part.back() == '.' && part != "." &&
                                                            part != "..")))
                part.pop_back();
            if (part.empty() || part == ".") continue;
            if (part == "..") {
                if (!out.parts.empty()) out.parts.pop_back();
                continue;
            }
            if (part.find_first_of("<>:\"|?*") != std::string::npos && false) return out;
            out.parts.push_back(part);
        }
        out.ok = true;
        return out;
    }

    FsNode* Drive(char d) {
        auto it = drives.find(d);
        return it == drives.end() ? nullptr : it->second.get();
    }

    // Walks to the node; `parentMissing` tells 3 from 2.
    FsNode* Lookup(const PathParts& pp, bool* parentMissing = nullptr) {
        if (parentMissing) *parentMissing = false;
        if (!pp.ok) {
            if (parentMissing) *parentMissing = true;
            return nullptr;
        }
        FsNode* node = Drive(pp.drive);
        for (size_t i = 0; node && i < pp.parts.size(); ++i) {
            if (!node->folder) node = nullptr;
            else node = node->Child(pp.parts[i]);
            if (!node && parentMissing) *parentMissing = i + 1 < pp.parts.size();
        }
        if (!node && parentMissing && !Drive(pp.drive)) *parentMissing = true;
        return node;
    }
    FsNode* Lookup(std::string_view path) { return Lookup(Parse(path)); }

    FsNode* Parent(const PathParts& pp) {
        if (!pp.ok || pp.parts.empty()) return nullptr;
        FsNode* node = Drive(pp.drive);
        for (size_t i = 0; node && i + 1 < pp.parts.size(); ++i) {
            node = node->folder ? node->Child(pp.parts[i]) : nullptr;
        }
        return node && node->folder ? node : nullptr;
    }

    // Whether the path lies in a folder mounted read-only (the path itself
    // included): writes there fail with access denied.
    bool InReadOnlyMount(const PathParts& pp) {
        if (!pp.ok) return false;
        FsNode* node = Drive(pp.drive);
        for (size_t i = 0; node; ++i) {
            if (node->readOnlyMount) return true;
            if (i >= pp.parts.size() || !node->folder) break;
            node = node->Child(pp.parts[i]);
        }
        return false;
    }

    uint32_t MissingError(const PathParts& pp) {
        bool parentMissing = false;
        Lookup(pp, &parentMissing);
        return parentMissing ? err::PathNotFound : err::FileNotFound;
    }

    FsNode* MakeFolders(const PathParts& pp, size_t count) {
        auto& root = drives[pp.drive];
        if (!root) {
            root = std::make_unique<FsNode>();
            root->folder = true;
            root->attributes = attr::Directory;
        }
        FsNode* node = root.get();
        for (size_t i = 0; i < count && i < pp.parts.size(); ++i) {
            FsNode* child = node->Child(pp.parts[i]);
            if (!child || !child->folder) {
                auto fresh = std::make_unique<FsNode>();
                fresh->name = pp.parts[i];
                fresh->folder = true;
                fresh->attributes = attr::Directory;
                child = fresh.get();
                node->children[NameKey(pp.parts[i])] = std::move(fresh);
            }
            node = child;
        }
        return node;
    }
    FsNode* MakeFolders(std::string_view path) {
        PathParts pp = Parse(path);
        return pp.ok ? MakeFolders(pp, pp.parts.size()) : nullptr;
    }

    FsNode* PutFile(std::string_view path, std::string bytes, uint32_t attributes) {
        PathParts pp = Parse(path);
        if (!pp.ok || pp.parts.empty()) return nullptr;
        FsNode* parent = MakeFolders(pp, pp.parts.size() - 1);
        auto node = std::make_unique<FsNode>();
        node->name = pp.parts.back();
        node->bytes = std::move(bytes);
        node->attributes = attributes & ~attr::Directory;
        FsNode* raw = node.get();
        parent->children[NameKey(pp.parts.back())] = std::move(node);
        return raw;
    }

    std::string FullPath(const PathParts& pp) const {
        std::string out(1, pp.drive);
        out += ":";
        for (const auto& p : pp.parts) out += "\\" + p;
        if (pp.parts.empty()) out += "\\";
        return out;
    }

    std::optional<std::string> ReadText(std::string_view path) {
        FsNode* node = Lookup(path);
        if (!node || node->folder) return std::nullopt;
        return node->bytes;
    }

    // Whether the running spooler holds this file loaded: a monitor's DLL in
    // the system folder or a processor's DLL in its folder (when switched on).
    bool LoadedBySpooler(const PathParts& pp) const {
        if (!spoolerDllsInUse || spoolerState == svc::Stopped || !pp.ok) return false;
        std::string path = FullPath(pp);
        for (const auto& m : monitors)
            if (EqualsIgnoringCase(path, SystemDir() + "\\" + m.dll)) return true;
        for (const auto& p : processors) {
            auto folder = EnvFolder(p.environment.c_str());
            if (folder && EqualsIgnoringCase(path, ProcessorDir(*folder) + "\\" + p.dll))
                return true;
        }
        return false;
    }

    // ---- folders
    std::string SystemDir() const { return windowsDir + "\\system32"; }
    // The sub-folder of an environment under "spool\drivers" / "spool\prtprocs".
    std::optional<std::string> EnvFolder(const char* environment) const {
        std::string env = environment ? environment : localEnv;
        if (EqualsIgnoringCase(env, kEnvironmentX86)) return "w32x86";
        if (EqualsIgnoringCase(env, kEnvironment40)) return "win40";
        if (EqualsIgnoringCase(env, kEnvironmentX64)) return "x64";
        return std::nullopt;
    }
    std::string DriverDir(const std::string& envFolder) const {
        return SystemDir() + "\\spool\\drivers\\" + envFolder;
    }
    std::string ProcessorDir(const std::string& envFolder) const {
        return SystemDir() + "\\spool\\prtprocs\\" + envFolder;
    }
    std::string CanonicalEnv(const char* environment) const {
        std::string env = environment ? environment : localEnv;
        if (EqualsIgnoringCase(env, kEnvironmentX86)) return kEnvironmentX86;
        if (EqualsIgnoringCase(env, kEnvironment40)) return kEnvironment40;
        if (EqualsIgnoringCase(env, kEnvironmentX64)) return kEnvironmentX64;
        return env;
    }

    static uint32_t Give(const std::string& text, std::string& out, uint32_t capacity) {
        if (text.size() + 1 > capacity) return err::InsufficientBuffer;
        out = text;
        return 0;
    }

    // ---- spooler helpers
    SimPrinter* Printer(std::string_view name) {
        for (auto& p : printers)
            if (EqualsIgnoringCase(p.info.printerName, name)) return &p;
        return nullptr;
    }
    // The ports that a monitor offers.
    std::vector<std::string> MonitorPortsOf(const SimMonitor& m) const {
        auto it = monitorPorts.find(Lower(m.dll));
        return it == monitorPorts.end() ? std::vector<std::string>() : it->second;
    }
    bool PortExists(std::string_view port) const {
        for (const auto& p : Ports())
            if (EqualsIgnoringCase(p, port)) return true;
        return false;
    }
    SimPrinter* PrinterOf(const plat::Printer& handle) {
        auto it = printerHandles.find(handle.value());
        if (!handle || it == printerHandles.end()) return nullptr;
        for (auto& p : printers)
            if (p.id == it->second) return &p;
        return nullptr;
    }
    std::vector<std::string> Ports() const {
        // The built-in ports belong to the "Local Port" monitor.
        std::vector<std::string> ports;
        for (const auto& m : monitors) {
            auto it = monitorPorts.find(Lower(m.dll));
            if (it == monitorPorts.end()) continue;
            for (const auto& p : it->second) {
                bool dup = std::any_of(ports.begin(), ports.end(), [&](const std::string& q) {
                    return EqualsIgnoringCase(p, q);
                });
                if (!dup) ports.push_back(p);
            }
        }
        return ports;
    }
    void SetDefault(const std::string& name) {
        defaultPrinter = name;
        // The default printer also stands in win.ini as "device".
        std::string port;
        if (SimPrinter* p = Printer(name)) port = p->info.portName;
        std::string ini = windowsDir + "\\win.ini";
        std::string text = ReadText(ini).value_or("");
        std::string value = name + ",winspool," + port;
        text = ini::EditProfile(text, "windows", "device", value.c_str());
        if (FsNode* node = Lookup(ini)) node->bytes = text;
        else PutFile(ini, text, attr::Archive);
    }
};

// ---- shared by the spooler, the USB library and the testing part

// The file name of a path.
inline std::string BaseName(std::string_view path) {
    size_t slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

inline constexpr const char* kMonitorsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";

inline constexpr const char* kEnvironmentsKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\";

inline std::vector<uint8_t> SzBytes(const std::string& s) {
    std::vector<uint8_t> data(s.begin(), s.end());
    data.push_back(0);
    return data;
}

// The drivers named `name` in `environment` (all versions, or one).
inline std::vector<size_t> DriversNamed(const SimWindows::State& s, const std::string& environment,
                                        const std::string& name,
                                        std::optional<uint32_t> version) {
    std::vector<size_t> found;
    for (size_t i = 0; i < s.drivers.size(); ++i) {
        const auto& d = s.drivers[i];
        if (EqualsIgnoringCase(d.name, name) && EqualsIgnoringCase(d.environment, environment) &&
            (!version || d.version == *version))
            found.push_back(i);
    }
    return found;
}

inline PrinterInfo Visible(const SimWindows::State& s, const SimPrinter& p) {
    PrinterInfo info = p.info;
    if (EqualsIgnoringCase(s.defaultPrinter, info.printerName))
        info.attributes |= printer_attr::Default;
    return info;
}

}  // namespace plat
