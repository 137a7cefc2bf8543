// The simulated files.
#include "simwindows/SimState.h"
#include "simwindows/SimWindows.h"

namespace plat {

using Guard = LockGuard;
using State = SimWindows::State;

uint32_t SimFiles::Release(HandleKind kind, uintptr_t value) {
    return m_.ReleaseHandle(kind, value);
}

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
        if (wild ? WildMatch(mask, child->name) : EqualsIgnoringCase(mask, child->name)) {
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

}  // namespace plat
