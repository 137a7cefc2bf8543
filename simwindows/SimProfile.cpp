// The simulated profile files (the INI text rules are common/IniText).
#include "simwindows/SimState.h"
#include "simwindows/SimWindows.h"

namespace plat {

using Guard = LockGuard;
using State = SimWindows::State;

namespace {

// The indexes of the texts that the machines of this process read, for the
// many fresh machines that read the same package; a few dozen at most.
std::shared_ptr<const ini::ProfileIndex> SharedProfileIndex(const std::string& text) {
    static Lock* lock = new Lock;
    static auto* indexes = new std::map<std::string, std::shared_ptr<const ini::ProfileIndex>>;
    LockGuard guard(*lock);
    auto it = indexes->find(text);
    if (it != indexes->end()) return it->second;
    if (indexes->size() >= 64) indexes->clear();
    auto index = std::make_shared<const ini::ProfileIndex>(text);
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
        return ini::ProfileAnswer(std::nullopt, def, size);
    FsNode* node = s.Lookup(full);
    if (!node || node->folder) return ini::ProfileAnswer(std::nullopt, def, size);
    if (!s.profileIndexing) return ini::ProfileString(node->bytes, section, key, def, size);
    // The same answer from an index of the text, made again when it changed.
    auto cached = s.profileIndexes.find(Lower(full));
    if (cached == s.profileIndexes.end() || cached->second.first != node->bytes)
        cached = s.profileIndexes
                     .insert_or_assign(Lower(full),
                                       std::pair(node->bytes, SharedProfileIndex(node->bytes)))
                     .first;
    return ini::ProfileAnswer(cached->second.second->Find(section, key), def, size);
}

std::string SimProfile::GetProfileString(const std::string& section, const std::string& key,
                                         const std::string& def) {
    Guard lock(m_.mu_);
    State& s = *m_.s_;
    std::optional<std::string> text;
    if (!s.Enter("GetProfileString", {section, key})) text = s.ReadText(s.windowsDir + "\\win.ini");
    // The callers' buffers hold 260 characters at most.
    return ini::ProfileString(text, section, key, def, 4096);
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
    std::string text = ini::EditProfile(node ? node->bytes : std::string(), section, key, value);
    if (node) node->bytes = std::move(text);
    else if (!s.PutFile(ini, std::move(text), attr::Archive)) return err::PathNotFound;
    // Windows keeps the default printer in "windows"/"device".
    if (key && value && EqualsIgnoringCase(section, "windows") &&
        EqualsIgnoringCase(key, "device")) {
        std::string v = value;
        s.defaultPrinter = v.substr(0, v.find(','));
    }
    return 0;
}

}  // namespace plat
