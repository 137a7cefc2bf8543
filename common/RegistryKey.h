// Owner of one open registry key, with the last error of its latest open,
// query or set call remembered for the caller.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

class RegistryKey {
public:
    explicit RegistryKey(plat::Windows& windows) : windows_(windows) {}
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Closes any key held, then opens `path` with full access. Never creates.
    bool Open(plat::Root root, const std::string& path);
    // False when no key is held.
    bool Close();
    bool IsOpen() const { return static_cast<bool>(key_); }

    bool QueryValue(const std::string& name, void* buffer, uint32_t size);
    bool QueryDword(const std::string& name, uint32_t& value, uint32_t* error = nullptr);
    bool QueryString(const std::string& name, char* buffer, uint32_t size,
                     uint32_t* error = nullptr);
    bool SetValue(const std::string& name, const void* data, uint32_t type, uint32_t size);
    bool SetDword(const std::string& name, uint32_t value, uint32_t* error = nullptr);
    bool SetString(const std::string& name, const std::string& text, uint32_t* error = nullptr);
    // The registry call's own result: 0 when a value was returned,
    // NoMoreItems at the end; 0 without touching the buffers when closed.
    uint32_t EnumValue(uint32_t index, std::string& name, uint32_t nameCapacity);

    // Creates every missing level of `path` and closes the new key at once.
    static bool CreateKey(plat::Windows& windows, plat::Root root, const std::string& path);

    uint32_t LastError() const { return lastError_; }

private:
    plat::Windows& windows_;
    plat::RegKey key_;
    uint32_t lastError_ = 0;
};
