// Owner of one open registry key, with the error number of its latest open,
// query or set call remembered for the caller.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Registry.h"

class RegistryKey {
public:
    explicit RegistryKey(plat::Registry& registry) : registry_(registry) {}
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Closes any key held (also when the new open fails), then opens `path`
    // with full access. Never creates.
    bool Open(plat::Root root, const std::string& path);
    // The same for reading only (KEY_READ): what a user without
    // administrator rights may do on HKEY_LOCAL_MACHINE.
    bool OpenForReading(plat::Root root, const std::string& path);
    // False when no key is held.
    bool Close();
    bool IsOpen() const { return static_cast<bool>(key_); }

    // Reads up to `size` bytes of the value's data into `buffer`.
    bool QueryValue(const std::string& name, void* buffer, uint32_t size);
    // A value of fewer than four bytes is zero-extended; on failure `value`
    // is left alone.
    bool QueryDword(const std::string& name, uint32_t& value, uint32_t* error = nullptr);
    // The buffer is emptied first and always ends terminated within `size`;
    // a text that does not fit with its terminator fails with MoreData and
    // leaves the buffer empty.
    bool QueryString(const std::string& name, char* buffer, uint32_t size,
                     uint32_t* error = nullptr);
    bool SetValue(const std::string& name, const void* data, uint32_t type, uint32_t size);
    bool SetDword(const std::string& name, uint32_t value, uint32_t* error = nullptr);
    // REG_SZ with its terminator (an empty text writes one byte).
    bool SetString(const std::string& name, const std::string& text, uint32_t* error = nullptr);
    // The registry call's own result: 0 when a value was returned,
    // NoMoreItems at the end, MoreData for a name longer than nameCapacity - 1.
    // With no key held: InvalidHandle, and `name` is left alone, so a loop
    // that enumerates until a failure ends at once.
    uint32_t EnumValue(uint32_t index, std::string& name, uint32_t nameCapacity);

    // Creates every missing level of `path` and closes the new key at once.
    // An existing key keeps its values.
    static bool CreateKey(plat::Registry& registry, plat::Root root, const std::string& path);

    // The error number of the latest open, query or set call as the platform
    // returned it (InvalidHandle for a query or set on a closed key).
    uint32_t LastError() const { return lastError_; }

private:
    bool Take(uint32_t error, plat::RegKey& opened);

    plat::Registry& registry_;
    plat::RegKey key_;
    uint32_t lastError_ = 0;
};
