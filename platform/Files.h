// The files area of the platform layer: copy, attributes, deletion, folders,
// listings, whole-file reads and writes, version resources.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/Forwarding.h"
#include "platform/Handles.h"

namespace plat {

namespace attr {
constexpr uint32_t ReadOnly = 0x1, Hidden = 0x2, System = 0x4, Directory = 0x10, Archive = 0x20,
                   Normal = 0x80;
}

struct FindData {
    std::string name;  // file name only, as cFileName
    uint32_t attributes = 0;
};

// The file version resource as VerQueryValueA sees it.
struct VersionResource {
    // "\VarFileInfo\Translation": (language, code page) pairs in order.
    std::vector<std::pair<uint16_t, uint16_t>> translations;
    // String values by their full query, e.g. "\StringFileInfo\040904b0\FileVersion".
    std::vector<std::pair<std::string, std::string>> strings;
};

class Files : public HandleOwner {
public:
    virtual ~Files() = default;

    virtual uint32_t CopyFile(const std::string& source, const std::string& target,
                              bool failIfExists) = 0;
    virtual uint32_t GetFileAttributes(const std::string& path, uint32_t& attributes) = 0;
    virtual uint32_t SetFileAttributes(const std::string& path, uint32_t attributes) = 0;
    virtual uint32_t DeleteFile(const std::string& path) = 0;
    virtual uint32_t CreateDirectory(const std::string& path) = 0;
    // FindFirstFileA / FindNextFileA. End of a listing: NoMoreFiles.
    virtual uint32_t FindFirstFile(const std::string& pattern, FindHandle& out,
                                   FindData& data) = 0;
    virtual uint32_t FindNextFile(const FindHandle& find, FindData& data) = 0;
    // CreateFileA with no access, read and write sharing, OPEN_EXISTING; the
    // handle is closed at once. Success means the file exists and can be opened.
    virtual uint32_t OpenExisting(const std::string& path) = 0;
    // Whole-file read and write (test set-up, state files of the stand-ins).
    virtual uint32_t ReadFile(const std::string& path, std::string& bytes) = 0;
    virtual uint32_t WriteFile(const std::string& path, const std::string& bytes) = 0;
    // GetFileVersionInfoSizeA + GetFileVersionInfoA + VerQueryValueA. A file
    // without a version resource gives ResourceTypeNotFound-like errors (non-zero).
    virtual uint32_t GetFileVersion(const std::string& path, VersionResource& out) = 0;
};

// Hands every call to another files area: the base of a decorator. Listings
// the inner one opens are handed out as this one's own.
class ForwardingFiles : public Forwarding<Files> {
public:
    using Forwarding::Forwarding;

    uint32_t CopyFile(const std::string& source, const std::string& target,
                      bool failIfExists) override {
        return inner_.CopyFile(source, target, failIfExists);
    }
    uint32_t GetFileAttributes(const std::string& path, uint32_t& attributes) override {
        return inner_.GetFileAttributes(path, attributes);
    }
    uint32_t SetFileAttributes(const std::string& path, uint32_t attributes) override {
        return inner_.SetFileAttributes(path, attributes);
    }
    uint32_t DeleteFile(const std::string& path) override { return inner_.DeleteFile(path); }
    uint32_t CreateDirectory(const std::string& path) override {
        return inner_.CreateDirectory(path);
    }
    uint32_t FindFirstFile(const std::string& pattern, FindHandle& out, FindData& data) override {
        FindHandle inner;
        return Adopt(inner_.FindFirstFile(pattern, inner, data), this, inner, out);
    }
    uint32_t FindNextFile(const FindHandle& find, FindData& data) override {
        return inner_.FindNextFile(find, data);
    }
    uint32_t OpenExisting(const std::string& path) override { return inner_.OpenExisting(path); }
    uint32_t ReadFile(const std::string& path, std::string& bytes) override {
        return inner_.ReadFile(path, bytes);
    }
    uint32_t WriteFile(const std::string& path, const std::string& bytes) override {
        return inner_.WriteFile(path, bytes);
    }
    uint32_t GetFileVersion(const std::string& path, VersionResource& out) override {
        return inner_.GetFileVersion(path, out);
    }

};

}  // namespace plat
