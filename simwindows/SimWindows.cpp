#include "simwindows/SimWindows.h"

#include <iterator>

#include "simwindows/SimState.h"

namespace plat {

using Guard = LockGuard;
using State = SimWindows::State;

// ================================================================ construction

SimWindows::SimWindows()
    : SimAreas(*this),
      Windows(registryArea, profileArea, foldersArea, filesArea, spoolerArea, servicesArea,
              systemArea, clockArea, desktopArea, usbArea),
      s_(std::make_unique<State>()) {
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
    s.monitors.push_back({"Local Port", kEnvironmentX86, "localspl.dll"});
    s.processors.push_back({"WinPrint", kEnvironmentX86, "winprint.dll"});
    s.processors.push_back({"WinPrint", kEnvironment40, "winprint.dll"});
    s.MakeKey(s.roots[0], "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Local Port")
        ->values.push_back({"Driver", regtype::Sz, {'l', 'o', 'c', 'a', 'l', 's', 'p', 'l', '.',
                                                    'd', 'l', 'l', 0}});
    s.MakeKey(s.roots[0],
              "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT "
              "x86\\Print Processors\\WinPrint")
        ->values.push_back({"Driver",
                            regtype::Sz,
                            {'w', 'i', 'n', 'p', 'r', 'i', 'n', 't', '.', 'd', 'l', 'l', 0}});
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

// ================================================================ set-up

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
