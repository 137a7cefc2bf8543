// The registry area of the platform layer (RegOpenKeyExA etc.).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Forwarding.h"
#include "platform/Handles.h"

namespace plat {

enum class Root { LocalMachine, CurrentUser, Users };

namespace regtype {
constexpr uint32_t None = 0, Sz = 1, Binary = 3, Dword = 4;
}

class Registry : public HandleOwner {
public:
    virtual ~Registry() = default;

    // RegOpenKeyExA with KEY_ALL_ACCESS.
    virtual uint32_t RegOpenKey(Root root, const std::string& path, RegKey& out) = 0;
    // The same with KEY_READ, which a user without administrator rights gets
    // on HKEY_LOCAL_MACHINE (the simulation has no access rights: RegOpenKey).
    virtual uint32_t RegOpenKeyForReading(Root root, const std::string& path, RegKey& out) {
        return RegOpenKey(root, path, out);
    }
    // Creates every missing level; succeeds on an existing key.
    virtual uint32_t RegCreateKey(Root root, const std::string& path, RegKey& out) = 0;
    // Opens a sub-key of an open key (RegOpenKeyExA on a non-root handle).
    virtual uint32_t RegOpenSubKey(const RegKey& key, const std::string& path, RegKey& out) = 0;
    // RegQueryValueExA: up to `capacity` bytes into `data` (resized to what
    // was read). Missing value: FileNotFound; larger than capacity: MoreData.
    virtual uint32_t RegQueryValue(const RegKey& key, const std::string& name, uint32_t* type,
                                   std::vector<uint8_t>& data, uint32_t capacity) = 0;
    virtual uint32_t RegSetValue(const RegKey& key, const std::string& name, uint32_t type,
                                 const void* data, uint32_t size) = 0;
    // RegEnumValueA without data. End: NoMoreItems. A name that does not fit
    // in nameCapacity (terminator included): MoreData.
    virtual uint32_t RegEnumValue(const RegKey& key, uint32_t index, std::string& name,
                                  uint32_t nameCapacity) = 0;
    // RegEnumKeyA. End: NoMoreItems.
    virtual uint32_t RegEnumKey(const RegKey& key, uint32_t index, std::string& name) = 0;
    // RegDeleteKeyA: deletes a key without sub-keys.
    virtual uint32_t RegDeleteKey(Root root, const std::string& path) = 0;
    virtual uint32_t RegDeleteValue(const RegKey& key, const std::string& name) = 0;
};

// Hands every call to another registry: the base of a decorator that
// changes or watches a few. The keys the inner one opens are handed out as
// this one's own, so that their release comes through here as well.
class ForwardingRegistry : public Forwarding<Registry> {
public:
    using Forwarding::Forwarding;

    uint32_t RegOpenKey(Root root, const std::string& path, RegKey& out) override {
        RegKey inner;
        return Adopt(inner_.RegOpenKey(root, path, inner), this, inner, out);
    }
    uint32_t RegOpenKeyForReading(Root root, const std::string& path, RegKey& out) override {
        RegKey inner;
        return Adopt(inner_.RegOpenKeyForReading(root, path, inner), this, inner, out);
    }
    uint32_t RegCreateKey(Root root, const std::string& path, RegKey& out) override {
        RegKey inner;
        return Adopt(inner_.RegCreateKey(root, path, inner), this, inner, out);
    }
    uint32_t RegOpenSubKey(const RegKey& key, const std::string& path, RegKey& out) override {
        RegKey inner;
        return Adopt(inner_.RegOpenSubKey(key, path, inner), this, inner, out);
    }
    uint32_t RegQueryValue(const RegKey& key, const std::string& name, uint32_t* type,
                           std::vector<uint8_t>& data, uint32_t capacity) override {
        return inner_.RegQueryValue(key, name, type, data, capacity);
    }
    uint32_t RegSetValue(const RegKey& key, const std::string& name, uint32_t type,
                         const void* data, uint32_t size) override {
        return inner_.RegSetValue(key, name, type, data, size);
    }
    uint32_t RegEnumValue(const RegKey& key, uint32_t index, std::string& name,
                          uint32_t nameCapacity) override {
        return inner_.RegEnumValue(key, index, name, nameCapacity);
    }
    uint32_t RegEnumKey(const RegKey& key, uint32_t index, std::string& name) override {
        return inner_.RegEnumKey(key, index, name);
    }
    uint32_t RegDeleteKey(Root root, const std::string& path) override {
        return inner_.RegDeleteKey(root, path);
    }
    uint32_t RegDeleteValue(const RegKey& key, const std::string& name) override {
        return inner_.RegDeleteValue(key, name);
    }

};

}  // namespace plat
