#include "common/RegistryKey.h"

#include "platform/Registry.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

bool RegistryKey::Open(plat::Root root, const std::string& path) {
    Close();
    plat::RegKey opened;
    return Take(registry_.RegOpenKey(root, path, opened), opened);
}

bool RegistryKey::OpenForReading(plat::Root root, const std::string& path) {
    Close();
    plat::RegKey opened;
    return Take(registry_.RegOpenKeyForReading(root, path, opened), opened);
}

bool RegistryKey::Take(uint32_t error, plat::RegKey& opened) {
    lastError_ = error;
    if (lastError_ == plat::err::Success && !opened) lastError_ = plat::err::InvalidHandle;
    if (lastError_ != plat::err::Success) return false;
    key_ = std::move(opened);
    return true;
}

bool RegistryKey::Close() {
    if (!key_) return false;
    return key_.reset() == plat::err::Success;
}

bool RegistryKey::QueryValue(const std::string& name, void* buffer, uint32_t size) {
    if (!key_) {
        lastError_ = plat::err::InvalidHandle;
        return false;
    }
    std::vector<uint8_t> data;
    lastError_ = registry_.RegQueryValue(key_, name, nullptr, data, size);
    if (lastError_ != plat::err::Success) return false;
    if (buffer != nullptr && !data.empty())
        std::memcpy(buffer, data.data(), std::min<size_t>(data.size(), size));
    return true;
}

bool RegistryKey::QueryDword(const std::string& name, uint32_t& value, uint32_t* error) {
    bool ok = false;
    if (!key_) {
        lastError_ = plat::err::InvalidHandle;
    } else {
        // Read into a zeroed word so that a shorter value does not leave
        // stale bytes of the caller's variable behind.
        std::vector<uint8_t> data;
        lastError_ = registry_.RegQueryValue(key_, name, nullptr, data, sizeof(uint32_t));
        if (lastError_ == plat::err::Success) {
            uint32_t word = 0;
            if (!data.empty())  // an empty value reads as 0
                std::memcpy(&word, data.data(), std::min<size_t>(data.size(), sizeof word));
            value = word;
            ok = true;
        }
    }
    if (error != nullptr) *error = lastError_;
    return ok;
}

bool RegistryKey::QueryString(const std::string& name, char* buffer, uint32_t size,
                              uint32_t* error) {
    bool ok = false;
    if (!key_) {
        lastError_ = plat::err::InvalidHandle;
    } else if (buffer == nullptr || size == 0) {
        lastError_ = plat::err::InvalidParameter;
    } else {
        buffer[0] = '\0';
        std::vector<uint8_t> data;
        lastError_ = registry_.RegQueryValue(key_, name, nullptr, data, size);
        if (lastError_ == plat::err::Success) {
            const size_t n = std::min<size_t>(data.size(), size);
            // A value stored without its terminator that fills the whole
            // buffer cannot be handed back as a terminated text.
            if (n == size && data[n - 1] != 0) {
                lastError_ = plat::err::MoreData;
            } else {
                if (n > 0) std::memcpy(buffer, data.data(), n);
                if (n < size) buffer[n] = '\0';
                ok = true;
            }
        }
    }
    if (error != nullptr) *error = lastError_;
    return ok;
}

bool RegistryKey::SetValue(const std::string& name, const void* data, uint32_t type,
                           uint32_t size) {
    if (!key_) {
        lastError_ = plat::err::InvalidHandle;
        return false;
    }
    lastError_ = registry_.RegSetValue(key_, name, type, data, size);
    return lastError_ == plat::err::Success;
}

bool RegistryKey::SetDword(const std::string& name, uint32_t value, uint32_t* error) {
    const bool ok = SetValue(name, &value, plat::regtype::Dword, sizeof value);
    if (error != nullptr) *error = lastError_;
    return ok;
}

bool RegistryKey::SetString(const std::string& name, const std::string& text, uint32_t* error) {
    // The text as a C string: up to its first NUL, terminator included.
    const size_t length = std::strlen(text.c_str());
    bool ok = false;
    if (!key_) {
        lastError_ = plat::err::InvalidHandle;
    } else if (length >= std::numeric_limits<uint32_t>::max()) {
        lastError_ = plat::err::InvalidParameter;
    } else {
        ok = SetValue(name, text.c_str(), plat::regtype::Sz, static_cast<uint32_t>(length + 1));
    }
    if (error != nullptr) *error = lastError_;
    return ok;
}

uint32_t RegistryKey::EnumValue(uint32_t index, std::string& name, uint32_t nameCapacity) {
    if (!key_) return plat::err::InvalidHandle;
    std::string found;
    const uint32_t result = registry_.RegEnumValue(key_, index, found, nameCapacity);
    if (result == plat::err::Success) name = std::move(found);
    return result;
}

bool RegistryKey::CreateKey(plat::Registry& registry, plat::Root root, const std::string& path) {
    plat::RegKey created;  // closed again when it goes out of scope
    return registry.RegCreateKey(root, path, created) == plat::err::Success;
}
