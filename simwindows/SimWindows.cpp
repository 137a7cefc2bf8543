#include "simwindows/SimWindows.h"

#include <iterator>

#include "simwindows/SimState.h"

namespace plat {

using Guard = LockGuard;
using State = SimWindows::State;

// ================================================================ construction

SimWindows::SimWindows()
    : SimAreas(*this), Windows(registryArea, profileArea, foldersArea, filesArea, spoolerArea, servicesArea, systemArea, clockArea, desktopArea, usbArea), s_(std::make_unique<State>()) {
    State& s = *s_;
    for (const char* folder :
         {"C:\\PKG", "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3",
          "C:\\WINDOWS\\system32\\spool\\drivers\\win40\\0",
          "C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86",
          "C:\\WINDOWS\\system32\\spool\\prtprocs\\win40", "C:\\WINDOWS\\Fonts",
          "C:\\WINDOWS\\Temp"})
        s.MakeFolders(folder);
    s.PutFile("C:\\PKG\\Setup.exe", "MZ", attr::Archive);
    s.PutFile("C:\\WINDOWS\\win.ini", "[windows]\r\nload=\r\nrun=\r\n", attr::Archive);
    s.PutFile("C:\\WINDOWS\\system32\\localspl.dll", "MZ", attr::Archive);
    s.PutFile("C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86\\winprint.dll", "MZ",
              attr::Archive);
    s.monitors.push_back({"Local Port", "Windows NT x86", "localspl.dll"});
    s.processors.push_back({"WinPrint", "Windows NT x86", "winprint.dll"});
    s.processors.push_back({"WinPrint", "Windows 4.0", "winprint.dll"});
    s.MakeKey(s.roots[0], "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Local Port")
        ->values.push_back({"Driver", regtype::Sz, {'l', 'o', 'c', 'a', 'l', 's', 'p', 'l', '.',
                                                    'd', 'l', 'l', 0}});
    s.MakeKey(s.roots[0], "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT "
                          "x86\\Print Processors\\WinPrint")
        ->values.push_back(
            {"Driver", regtype::Sz, {'w', 'i', 'n', 'p', 'r', 'i', 'n', 't', '.', 'd', 'l', 'l', 0}});
    s.MakeKey(s.roots[1], "Software");
    s.MakeKey(s.roots[0], "SOFTWARE");
}

SimWindows::~SimWindows() = default;

void SimWindows::SetCallHook(sim::CallHook* hook) {
    Guard lock(mu_);
    s_->hook = hook;
}

uint32_t SimWindows::ReleaseHandle(HandleKind kind, uintptr_t value) {
    Guard lock(mu_);
    State& s = *s_;
    auto erase = [&](auto& map) -> uint32_t {
        return map.erase(value) ? err::Success : err::InvalidHandle;
    };
    switch (kind) {
        case HandleKind::RegKey: return erase(s.keys);
        case HandleKind::Printer: return erase(s.printerHandles);
        case HandleKind::Find: return erase(s.finds);
        case HandleKind::Service: return erase(s.services);
        case HandleKind::Token: return erase(s.tokens);
        case HandleKind::Mutex: {
            auto it = s.mutexHandles.find(value);
            if (it == s.mutexHandles.end()) return err::InvalidHandle;
            auto m = s.mutexes.find(it->second);
            if (m != s.mutexes.end() && m->second > 0 && --m->second == 0) s.mutexes.erase(m);
            s.mutexHandles.erase(it);
            return 0;
        }
    }
    return err::InvalidHandle;
}

// ================================================================ registry

uint32_t SimRegistry::Release(HandleKind kind, uintptr_t value) {
    return m_.ReleaseHandle(kind, value);
}

uint32_t SimFiles::Release(HandleKind kind, uintptr_t value) {
    return m_.ReleaseHandle(kind, value);
}

uint32_t SimSpooler::Release(HandleKind kind, uintptr_t value) {
    return m_.ReleaseHandle(kind, value);
}

uint32_t SimServices::Release(HandleKind kind, uintptr_t value) {
    return m_.ReleaseHandle(kind, value);
}

uint32_t SimSystem::Release(HandleKind kind, uintptr_t value) {
    return m_.ReleaseHandle(kind, value);
}

uint32_t SimDesktop::Release(HandleKind kind, uintptr_t value) {
    return m_.ReleaseHandle(kind, value);
}


uint32_t SimRegistry::RegOpenKey(Root root, const std::string& path, RegKey& out) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegOpenKey", {path})) return e;
    auto node = s.FindKey(s.roots[static_cast<int>(root)], path);
    if (!node) return err::FileNotFound;
    uintptr_t h = s.NewHandle();
    s.keys[h] = {node};
    out = RegKey(this, h);
    return 0;
}

uint32_t SimRegistry::RegCreateKey(Root root, const std::string& path, RegKey& out) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegCreateKey", {path})) return e;
    auto node = s.MakeKey(s.roots[static_cast<int>(root)], path);
    uintptr_t h = s.NewHandle();
    s.keys[h] = {node};
    out = RegKey(this, h);
    return 0;
}

uint32_t SimRegistry::RegOpenSubKey(const RegKey& key, const std::string& path, RegKey& out) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegOpenSubKey", {path})) return e;
    std::shared_ptr<RegNode> from;
    if (uint32_t e = s.KeyOf(key, from)) return e;
    auto node = s.FindKey(from, path);
    if (!node) return err::FileNotFound;
    uintptr_t h = s.NewHandle();
    s.keys[h] = {node};
    out = RegKey(this, h);
    return 0;
}

uint32_t SimRegistry::RegQueryValue(const RegKey& key, const std::string& name, uint32_t* type,
                                   std::vector<uint8_t>& data, uint32_t capacity) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegQueryValue", {name})) return e;
    std::shared_ptr<RegNode> node;
    if (uint32_t e = s.KeyOf(key, node)) return e;
    RegValue* v = node->Value(name);
    if (!v) return err::FileNotFound;
    if (type) *type = v->type;
    if (v->data.size() > capacity) {
        data.clear();
        return err::MoreData;
    }
    data = v->data;
    return 0;
}

uint32_t SimRegistry::RegSetValue(const RegKey& key, const std::string& name, uint32_t type,
                                 const void* data, uint32_t size) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegSetValue", {name})) return e;
    std::shared_ptr<RegNode> node;
    if (uint32_t e = s.KeyOf(key, node)) return e;
    if (!data && size) return err::InvalidParameter;
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::vector<uint8_t> copy(bytes, bytes + size);
    if (RegValue* v = node->Value(name)) {
        v->type = type;
        v->data = std::move(copy);
    } else {
        node->values.push_back({name, type, std::move(copy)});
    }
    return 0;
}

uint32_t SimRegistry::RegEnumValue(const RegKey& key, uint32_t index, std::string& name,
                                  uint32_t nameCapacity) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegEnumValue")) return e;
    std::shared_ptr<RegNode> node;
    if (uint32_t e = s.KeyOf(key, node)) return e;
    if (index >= node->values.size()) return err::NoMoreItems;
    const std::string& n = node->values[index].name;
    if (n.size() + 1 > nameCapacity) return err::MoreData;
    name = n;
    return 0;
}

uint32_t SimRegistry::RegEnumKey(const RegKey& key, uint32_t index, std::string& name) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegEnumKey")) return e;
    std::shared_ptr<RegNode> node;
    if (uint32_t e = s.KeyOf(key, node)) return e;
    if (index >= node->keys.size()) return err::NoMoreItems;
    name = node->keys[index]->name;
    return 0;
}

uint32_t SimRegistry::RegDeleteKey(Root root, const std::string& path) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegDeleteKey", {path})) return e;
    std::vector<std::string> parts = SplitKeyPath(path);
    if (parts.empty()) return err::AccessDenied;
    std::string last = parts.back();
    parts.pop_back();
    std::shared_ptr<RegNode> parent = s.roots[static_cast<int>(root)];
    for (const auto& p : parts) {
        parent = parent->ChildShared(p);
        if (!parent) return err::FileNotFound;
    }
    auto it = std::find_if(parent->keys.begin(), parent->keys.end(),
                           [&](const auto& k) { return SameName(k->name, last); });
    if (it == parent->keys.end()) return err::FileNotFound;
    if (!(*it)->keys.empty()) return err::AccessDenied;
    (*it)->deleted = true;
    parent->keys.erase(it);
    return 0;
}

uint32_t SimRegistry::RegDeleteValue(const RegKey& key, const std::string& name) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("RegDeleteValue", {name})) return e;
    std::shared_ptr<RegNode> node;
    if (uint32_t e = s.KeyOf(key, node)) return e;
    auto it = std::find_if(node->values.begin(), node->values.end(),
                           [&](const RegValue& v) { return SameName(v.name, name); });
    if (it == node->values.end()) return err::FileNotFound;
    node->values.erase(it);
    return 0;
}

// ================================================================ profiles

namespace {

// The indexes of the texts that the machines of this process read, for the
// many fresh machines that read the same package; a few dozen at most.
std::shared_ptr<const sim::ProfileIndex> SharedProfileIndex(const std::string& text) {
    static Lock* lock = new Lock;
    static auto* indexes = new std::map<std::string, std::shared_ptr<const sim::ProfileIndex>>;
    LockGuard guard(*lock);
    auto it = indexes->find(text);
    if (it != indexes->end()) return it->second;
    if (indexes->size() >= 64) indexes->clear();
    auto index = std::make_shared<const sim::ProfileIndex>(text);
    indexes->emplace(text, index);
    return index;
}

}  // namespace

std::string SimProfile::GetPrivateProfileString(const std::string& section,
                                                const std::string& key, const std::string& def,
                                                uint32_t size, const std::string& path) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    // A bare file name stands in the Windows folder.
    const std::string full =
        path.find_first_of("\\/") == std::string::npos ? s.windowsDir + "\\" + path : path;
    if (s.Enter("GetPrivateProfileString", {section, key, path}))
        return sim::ProfileAnswer(std::nullopt, def, size);
    FsNode* node = s.Lookup(full);
    if (!node || node->folder) return sim::ProfileAnswer(std::nullopt, def, size);
    if (!s.profileIndexing) return sim::ProfileString(node->bytes, section, key, def, size);
    // The same answer from an index of the text, made again when it changed.
    auto cached = s.profileIndexes.find(LowerText(full));
    if (cached == s.profileIndexes.end() || cached->second.first != node->bytes)
        cached = s.profileIndexes
                     .insert_or_assign(LowerText(full),
                                       std::pair(node->bytes, SharedProfileIndex(node->bytes)))
                     .first;
    return sim::ProfileAnswer(cached->second.second->Find(section, key), def, size);
}

std::string SimProfile::GetProfileString(const std::string& section, const std::string& key,
                                         const std::string& def) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    std::optional<std::string> text;
    if (!s.Enter("GetProfileString", {section, key})) text = s.ReadText(s.windowsDir + "\\win.ini");
    // The callers' buffers hold 260 characters at most.
    return sim::ProfileString(text, section, key, def, 4096);
}

uint32_t SimProfile::WriteProfileString(const char* section, const char* key, const char* value) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("WriteProfileString", {Str(section), Str(key), Str(value)}))
        return e;
    if (!section && !key && !value) return 0;  // flushes the cache: nothing to do here
    if (!section) return err::InvalidParameter;
    std::string ini = s.windowsDir + "\\win.ini";
    FsNode* node = s.Lookup(ini);
    if (node && node->folder) return err::AccessDenied;
    if (node && node->attributes & attr::ReadOnly) return err::AccessDenied;
    if (s.InReadOnlyMount(s.Parse(ini))) return err::AccessDenied;
    if (node && node->inUse) return err::SharingViolation;
    std::string text = sim::EditProfile(node ? node->bytes : std::string(), section, key, value);
    if (node) node->bytes = std::move(text);
    else if (!s.PutFile(ini, std::move(text), attr::Archive)) return err::PathNotFound;
    // Windows keeps the default printer in "windows"/"device".
    if (key && value && SameName(section, "windows") && SameName(key, "device")) {
        std::string v = value;
        s.defaultPrinter = v.substr(0, v.find(','));
    }
    return 0;
}

// ================================================================ folders

uint32_t SimFolders::GetCurrentDirectory(std::string& out, uint32_t capacity) {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("GetCurrentDirectory")) return e;
    return State::Give(m_.s_->currentDir, out, capacity);
}

uint32_t SimFolders::SetCurrentDirectory(const std::string& path) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("SetCurrentDirectory", {path})) return e;
    PathParts pp = s.Parse(path);
    FsNode* node = s.Lookup(pp);
    if (!node) return s.MissingError(pp);
    if (!node->folder) return 267;  // ERROR_DIRECTORY
    std::string full = s.FullPath(pp);
    if (full.size() > 3 && full.back() == '\\') full.pop_back();
    s.currentDir = full;
    return 0;
}

uint32_t SimFolders::GetModuleFileName(std::string& out, uint32_t capacity) {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("GetModuleFileName")) return e;
    if (capacity == 0) return err::InsufficientBuffer;
    // A name that does not fit is cut to capacity - 1 and reported, as from
    // Vista on (and as the Win32 layer answers on every version).
    out = m_.s_->moduleFile.substr(0, std::min<size_t>(m_.s_->moduleFile.size(), capacity - 1));
    return m_.s_->moduleFile.size() + 1 > capacity ? err::InsufficientBuffer : err::Success;
}

uint32_t SimFolders::GetSystemDirectory(std::string& out, uint32_t capacity) {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("GetSystemDirectory")) return e;
    return State::Give(m_.s_->SystemDir(), out, capacity);
}

uint32_t SimFolders::GetWindowsDirectory(std::string& out, uint32_t capacity) {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("GetWindowsDirectory")) return e;
    return State::Give(m_.s_->windowsDir, out, capacity);
}

uint32_t SimFolders::GetPrinterDriverDirectory(const char* environment, std::string& out,
                                               uint32_t capacity) {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("GetPrinterDriverDirectory", {Str(environment)})) return e;
    auto folder = m_.s_->EnvFolder(environment);
    if (!folder) return sim::InvalidEnvironment;
    return State::Give(m_.s_->DriverDir(*folder), out, capacity);
}

uint32_t SimFolders::GetPrintProcessorDirectory(const char* environment, std::string& out,
                                                uint32_t capacity) {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("GetPrintProcessorDirectory", {Str(environment)})) return e;
    auto folder = m_.s_->EnvFolder(environment);
    if (!folder) return sim::InvalidEnvironment;
    return State::Give(m_.s_->ProcessorDir(*folder), out, capacity);
}

// ================================================================ files

uint32_t SimFiles::CopyFile(const std::string& source, const std::string& target,
                              bool failIfExists) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("CopyFile", {source, target})) return e;
    PathParts sp = s.Parse(source), tp = s.Parse(target);
    FsNode* src = s.Lookup(sp);
    if (!src) return s.MissingError(sp);
    if (src->folder) return err::AccessDenied;
    FsNode* parent = s.Parent(tp);
    if (!parent) return err::PathNotFound;
    if (s.InReadOnlyMount(tp)) return err::AccessDenied;
    FsNode* dst = parent->Child(tp.parts.back());
    if (dst == src) return err::SharingViolation;
    if (dst) {
        if (failIfExists) return err::FileExists;
        if (dst->folder) return err::AccessDenied;
        if (dst->attributes & (attr::ReadOnly | attr::Hidden)) return err::AccessDenied;
        if (dst->inUse || s.LoadedBySpooler(tp)) return err::SharingViolation;
    }
    auto copy = std::make_unique<FsNode>();
    copy->name = dst ? dst->name : tp.parts.back();
    copy->bytes = src->bytes;
    copy->attributes = (src->attributes & ~attr::Directory) | attr::Archive;
    copy->version = src->version;
    parent->children[NameKey(tp.parts.back())] = std::move(copy);
    return 0;
}

uint32_t SimFiles::GetFileAttributes(const std::string& path, uint32_t& attributes) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("GetFileAttributes", {path})) return e;
    PathParts pp = s.Parse(path);
    FsNode* node = s.Lookup(pp);
    if (!node) return s.MissingError(pp);
    attributes = node->folder ? (node->attributes | attr::Directory)
                              : (node->attributes ? node->attributes : attr::Normal);
    return 0;
}

uint32_t SimFiles::SetFileAttributes(const std::string& path, uint32_t attributes) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("SetFileAttributes", {path})) return e;
    PathParts pp = s.Parse(path);
    FsNode* node = s.Lookup(pp);
    if (!node) return s.MissingError(pp);
    if (s.InReadOnlyMount(pp)) return err::AccessDenied;
    uint32_t keep = attr::ReadOnly | attr::Hidden | attr::System | attr::Archive;
    attributes &= keep;
    node->attributes = node->folder ? (attributes | attr::Directory) : attributes;
    return 0;
}

uint32_t SimFiles::DeleteFile(const std::string& path) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("DeleteFile", {path})) return e;
    PathParts pp = s.Parse(path);
    FsNode* node = s.Lookup(pp);
    if (!node) return s.MissingError(pp);
    if (node->folder) return err::AccessDenied;
    if (node->attributes & attr::ReadOnly || s.InReadOnlyMount(pp)) return err::AccessDenied;
    if (node->inUse || s.LoadedBySpooler(pp)) return err::SharingViolation;
    s.Parent(pp)->children.erase(NameKey(pp.parts.back()));
    return 0;
}

uint32_t SimFiles::CreateDirectory(const std::string& path) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("CreateDirectory", {path})) return e;
    PathParts pp = s.Parse(path);
    if (!pp.ok) return err::PathNotFound;
    if (pp.parts.empty()) return s.Drive(pp.drive) ? err::AccessDenied : err::PathNotFound;
    if (s.Lookup(pp)) return err::AlreadyExists;
    FsNode* parent = s.Parent(pp);
    if (!parent) return err::PathNotFound;
    if (s.InReadOnlyMount(pp)) return err::AccessDenied;
    auto node = std::make_unique<FsNode>();
    node->name = pp.parts.back();
    node->folder = true;
    node->attributes = attr::Directory;
    parent->children[NameKey(pp.parts.back())] = std::move(node);
    return 0;
}

uint32_t SimFiles::FindFirstFile(const std::string& pattern, FindHandle& out, FindData& data) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("FindFirstFile", {pattern})) return e;
    std::string p = pattern;
    std::replace(p.begin(), p.end(), '/', '\\');
    size_t slash = p.rfind('\\');
    std::string folder = slash == std::string::npos ? std::string(".") : p.substr(0, slash + 1);
    std::string mask = slash == std::string::npos ? p : p.substr(slash + 1);
    if (mask.empty()) return err::FileNotFound;
    PathParts fp = s.Parse(folder.size() == 3 && folder[1] == ':' ? folder : folder);
    FsNode* dir = s.Lookup(fp);
    if (!dir || !dir->folder) return err::PathNotFound;
    FindState state;
    if (!fp.parts.empty()) {
        // A folder other than a drive's root lists "." and ".." first.
        for (const char* dot : {".", ".."})
            if (WildMatch(mask, dot)) state.entries.push_back({dot, attr::Directory});
    }
    bool wild = mask.find_first_of("*?") != std::string::npos;
    for (const auto& [lower, child] : dir->children) {
        if (wild ? WildMatch(mask, child->name) : SameName(mask, child->name)) {
            uint32_t a = child->folder ? (child->attributes | attr::Directory)
                                       : (child->attributes ? child->attributes : attr::Normal);
            state.entries.push_back({child->name, a});
        }
    }
    if (state.entries.empty()) return err::FileNotFound;
    data = state.entries[0];
    state.next = 1;
    uintptr_t h = s.NewHandle();
    s.finds[h] = std::move(state);
    out = FindHandle(this, h);
    return 0;
}

uint32_t SimFiles::FindNextFile(const FindHandle& find, FindData& data) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("FindNextFile")) return e;
    auto it = s.finds.find(find.value());
    if (!find || it == s.finds.end()) return err::InvalidHandle;
    if (it->second.next >= it->second.entries.size()) return err::NoMoreFiles;
    data = it->second.entries[it->second.next++];
    return 0;
}

uint32_t SimFiles::OpenExisting(const std::string& path) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("OpenExisting", {path})) return e;
    PathParts pp = s.Parse(path);
    FsNode* node = s.Lookup(pp);
    if (!node) return s.MissingError(pp);
    if (node->folder) return err::AccessDenied;
    return 0;
}

uint32_t SimFiles::ReadFile(const std::string& path, std::string& bytes) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("ReadFile", {path})) return e;
    PathParts pp = s.Parse(path);
    FsNode* node = s.Lookup(pp);
    if (!node) return s.MissingError(pp);
    if (node->folder) return err::AccessDenied;
    bytes = node->bytes;
    return 0;
}

uint32_t SimFiles::WriteFile(const std::string& path, const std::string& bytes) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("WriteFile", {path})) return e;
    PathParts pp = s.Parse(path);
    FsNode* parent = s.Parent(pp);
    if (!parent) return err::PathNotFound;
    if (s.InReadOnlyMount(pp)) return err::AccessDenied;
    if (FsNode* node = parent->Child(pp.parts.back())) {
        if (node->folder || node->attributes & (attr::ReadOnly | attr::Hidden))
            return err::AccessDenied;
        if (node->inUse || s.LoadedBySpooler(pp)) return err::SharingViolation;
        node->bytes = bytes;
        node->attributes |= attr::Archive;
        return 0;
    }
    s.PutFile(path, bytes, attr::Archive);
    return 0;
}

uint32_t SimFiles::GetFileVersion(const std::string& path, VersionResource& out) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("GetFileVersion", {path})) return e;
    PathParts pp = s.Parse(path);
    FsNode* node = s.Lookup(pp);
    if (!node) return s.MissingError(pp);
    if (node->folder || !node->version) return sim::ResourceTypeNotFound;
    out = *node->version;
    return 0;
}

// ================================================================ version, token, shutdown

uint32_t SimSystem::GetVersion(OsVersion& out) {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("GetVersion")) return e;
    out = m_.s_->version;
    return 0;
}

uint32_t SimSystem::OpenThreadToken(Token& out) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("OpenThreadToken")) return e;
    if (!s.threadGroups) return err::NoToken;
    uintptr_t h = s.NewHandle();
    s.tokens[h] = {*s.threadGroups};
    out = Token(this, h);
    return 0;
}

uint32_t SimSystem::OpenProcessToken(Token& out) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("OpenProcessToken")) return e;
    uintptr_t h = s.NewHandle();
    s.tokens[h] = {s.processGroups};
    out = Token(this, h);
    return 0;
}

uint32_t SimSystem::GetTokenGroupsSize(const Token& token, uint32_t& needed) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("GetTokenGroupsSize")) return e;
    auto it = s.tokens.find(token.value());
    if (!token || it == s.tokens.end()) return err::InvalidHandle;
    // TOKEN_GROUPS: a count, then a SID pointer and attributes per group,
    // then the SIDs (8 bytes of header and 4 per sub-authority).
    uint32_t size = 4 + 8 * static_cast<uint32_t>(it->second.sids.size());
    for (const auto& sid : it->second.sids)
        size += 8 + 4 * static_cast<uint32_t>(std::count(sid.begin(), sid.end(), '-') - 2);
    needed = size;
    return err::InsufficientBuffer;
}

uint32_t SimSystem::GetTokenGroups(const Token& token, std::vector<std::string>& sids) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("GetTokenGroups")) return e;
    auto it = s.tokens.find(token.value());
    if (!token || it == s.tokens.end()) return err::InvalidHandle;
    sids = it->second.sids;
    return 0;
}

uint32_t SimDesktop::EnableShutdownPrivilege() {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("EnableShutdownPrivilege")) return e;
    m_.s_->shutdownPrivilege = true;
    return 0;
}

uint32_t SimDesktop::ExitWindows(uint32_t flags, uint32_t reason) {
    (void)reason;
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("ExitWindows")) return e;
    if (!m_.s_->shutdownPrivilege && m_.s_->version.platformId == 2) return sim::PrivilegeNotHeld;
    m_.s_->exitWindows.push_back(flags);
    return 0;
}

// ================================================================ clock and UI

void SimClock::Sleep(uint32_t milliseconds) {
    {
        Guard lock(m_.mu_);
        m_.s_->Enter("Sleep");
        m_.s_->sleeps.push_back(milliseconds);
        m_.s_->clockMs += milliseconds;
    }
    // A wait returns at once here; let the other threads run, so that a
    // thread polling in a loop of waits can't starve the one it waits for
    // (the machine's lock is not fair on every platform).
    YieldThread();
}

namespace {

// A count of days since 2000-01-01 as a date in the proleptic Gregorian
// calendar (after H. Hinnant's civil-date algorithms).
void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z += 730425;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2);
}

}  // namespace

void SimClock::GetLocalTime(LocalTime& out) {
    Guard lock(m_.mu_);
    m_.s_->Enter("GetLocalTime");
    const int64_t ms = m_.s_->clockMs;
    const int64_t days = ms >= 0 ? ms / 86400000 : (ms - 86399999) / 86400000;
    const int64_t rest = ms - days * 86400000;
    int64_t year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    out.year = static_cast<uint16_t>(year);
    out.month = static_cast<uint16_t>(month);
    out.day = static_cast<uint16_t>(day);
    out.dayOfWeek = static_cast<uint16_t>(((days % 7) + 7 + 6) % 7);  // 2000-01-01 was a Saturday
    out.hour = static_cast<uint16_t>(rest / 3600000);
    out.minute = static_cast<uint16_t>(rest / 60000 % 60);
    out.second = static_cast<uint16_t>(rest / 1000 % 60);
    out.milliseconds = static_cast<uint16_t>(rest % 1000);
}

uint32_t SimClock::StartThread(std::function<void()> body, Thread& out) {
    {
        Guard lock(m_.mu_);
        if (uint32_t e = m_.s_->Enter("StartThread")) return e;
    }
    return Thread::Start(std::move(body), out);
}

int SimDesktop::MessageBox(Window owner, const std::string& text, const std::string& caption,
                           uint32_t flags) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (s.Enter("MessageBox", {text, caption})) return 0;
    sim::MessageBoxCall call{owner, text, caption, flags, 0, s.answers.empty()};
    if (!s.answers.empty()) {
        call.answer = s.answers.front();
        s.answers.erase(s.answers.begin());
    } else {
        call.answer = (flags & 0xF) == mb::YesNo ? s.defaultYesNo : mb::IdOk;
    }
    s.boxes.push_back(call);
    return call.answer;
}

Window SimDesktop::FindWindow(const std::string& title) {
    Guard lock(m_.mu_);
    if (m_.s_->Enter("FindWindow", {title})) return 0;
    for (const auto& w : m_.s_->windows)
        if (w.title == title) return w.handle;
    return 0;
}

void SimDesktop::SetForegroundWindow(Window window) {
    Guard lock(m_.mu_);
    m_.s_->Enter("SetForegroundWindow");
    m_.s_->foreground.push_back(window);
}

bool SimDesktop::IsIconic(Window window) {
    Guard lock(m_.mu_);
    m_.s_->Enter("IsIconic");
    for (const auto& w : m_.s_->windows)
        if (w.handle == window) return w.iconic;
    return false;
}

void SimDesktop::RestoreWindow(Window window) {
    Guard lock(m_.mu_);
    m_.s_->Enter("RestoreWindow");
    m_.s_->restored.push_back(window);
    for (auto& w : m_.s_->windows)
        if (w.handle == window) w.iconic = false;
}

uint32_t SimDesktop::CreateMutex(const std::string& name, bool initialOwner, Mutex& out) {
    (void)initialOwner;
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    if (uint32_t e = s.Enter("CreateMutex", {name})) return e;
    std::string key = LowerText(name);
    uint32_t result = 0;
    auto it = s.mutexes.find(key);
    if (it != s.mutexes.end()) {
        result = err::AlreadyExists;
        if (it->second >= 0) ++it->second;
    } else {
        s.mutexes[key] = 1;
    }
    uintptr_t h = s.NewHandle();
    s.mutexHandles[h] = key;
    out = Mutex(this, h);
    return result;
}

intptr_t SimDesktop::ShellOpen(const std::string& file) {
    Guard lock(m_.mu_);
    if (uint32_t e = m_.s_->Enter("ShellOpen", {file})) return static_cast<intptr_t>(e);
    m_.s_->shellOpens.push_back(file);
    return m_.s_->shellResult;
}

// ================================================================ the tests' side

void SimWindows::SetProfileIndexing(bool on) {
    Guard lock(mu_);
    s_->profileIndexing = on;
    s_->profileIndexes.clear();
}

void SimWindows::PutFile(const std::string& path, const std::string& bytes, uint32_t attributes) {
    Guard lock(mu_);
    s_->PutFile(path, bytes, attributes);
}

void SimWindows::PutFolder(const std::string& path) {
    Guard lock(mu_);
    s_->MakeFolders(path);
}

bool SimWindows::FileExists(const std::string& path) const {
    Guard lock(mu_);
    FsNode* n = s_->Lookup(path);
    return n && !n->folder;
}

void SimWindows::RemovePath(const std::string& path) {
    Guard lock(mu_);
    PathParts pp = s_->Parse(path);
    if (FsNode* parent = s_->Parent(pp)) parent->children.erase(NameKey(pp.parts.back()));
}

void SimWindows::SetReadOnlyMount(const std::string& simPath, bool readOnly) {
    Guard lock(mu_);
    if (FsNode* node = s_->Lookup(simPath); node && node->folder) node->readOnlyMount = readOnly;
}

void SimWindows::SetModuleFileName(const std::string& path) {
    Guard lock(mu_);
    s_->moduleFile = path;
}

void SimWindows::SetCurrentFolder(const std::string& path) {
    Guard lock(mu_);
    PathParts pp = s_->Parse(path);
    if (!pp.ok) return;
    s_->MakeFolders(pp, pp.parts.size());
    s_->currentDir = s_->FullPath(pp);
    if (s_->currentDir.size() > 3 && s_->currentDir.back() == '\\') s_->currentDir.pop_back();
}

void SimWindows::SetLocalEnvironment(const std::string& environment) {
    Guard lock(mu_);
    s_->localEnv = environment;
}

void SimWindows::PutRegValue(Root root, const std::string& path, const std::string& name,
                             uint32_t type, const std::vector<uint8_t>& data) {
    Guard lock(mu_);
    auto node = s_->MakeKey(s_->roots[static_cast<int>(root)], path);
    if (RegValue* v = node->Value(name)) {
        v->type = type;
        v->data = data;
    } else {
        node->values.push_back({name, type, data});
    }
}

void SimWindows::PutRegString(Root root, const std::string& path, const std::string& name,
                              const std::string& value) {
    std::vector<uint8_t> data(value.begin(), value.end());
    data.push_back(0);
    PutRegValue(root, path, name, regtype::Sz, data);
}

void SimWindows::PutRegDword(Root root, const std::string& path, const std::string& name,
                             uint32_t value) {
    PutRegValue(root, path, name, regtype::Dword,
                {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)});
}

void SimWindows::SetVersion(const OsVersion& version) {
    Guard lock(mu_);
    s_->version = version;
}

void SimWindows::SetUsbLibraryPresent(bool present) {
    Guard lock(mu_);
    s_->usbPresent = present;
}

void SimWindows::AttachUsbPrinter(int index, int32_t internalId) {
    Guard lock(mu_);
    if (index >= 0 && index < 8) s_->usb[index] = {true, internalId};
}

}  // namespace plat
