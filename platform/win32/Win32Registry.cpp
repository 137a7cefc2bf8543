// The registry area on the real Win32 API.
#include "platform/win32/Win32Support.h"

#include "platform/win32/Win32Windows.h"

namespace plat {

using namespace w32;

uint32_t Win32Registry::Release(HandleKind kind, uintptr_t value) {
    return CloseHandleOf(kind, value);
}

uint32_t Win32Registry::RegOpenKey(Root root, const std::string& path, RegKey& out) {
    HKEY key = nullptr;
    const uint32_t e =
        RegResult(::RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_ALL_ACCESS, &key));
    out = e == err::Success ? RegKey(this, Value(key)) : RegKey();
    return e;
}

uint32_t Win32Registry::RegOpenKeyForReading(Root root, const std::string& path, RegKey& out) {
    HKEY key = nullptr;
    const uint32_t e = RegResult(::RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_READ, &key));
    out = e == err::Success ? RegKey(this, Value(key)) : RegKey();
    return e;
}

uint32_t Win32Registry::RegCreateKey(Root root, const std::string& path, RegKey& out) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    const uint32_t e = RegResult(::RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr,
                                                   REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                                   &key, &disposition));
    out = e == err::Success ? RegKey(this, Value(key)) : RegKey();
    return e;
}

uint32_t Win32Registry::RegOpenSubKey(const RegKey& key, const std::string& path, RegKey& out) {
    if (!key) {
        out = RegKey();
        return err::InvalidHandle;
    }
    HKEY sub = nullptr;
    const uint32_t e =
        RegResult(::RegOpenKeyExA(As<HKEY>(key.value()), path.c_str(), 0, KEY_ALL_ACCESS, &sub));
    out = e == err::Success ? RegKey(this, Value(sub)) : RegKey();
    return e;
}

uint32_t Win32Registry::RegQueryValue(const RegKey& key, const std::string& name, uint32_t* type,
                                     std::vector<uint8_t>& data, uint32_t capacity) {
    data.clear();
    if (!key) return err::InvalidHandle;
    // A buffer is always passed: with a null buffer the call would only
    // report the size and succeed.
    std::vector<uint8_t> buffer(std::max<uint32_t>(capacity, 1), 0);
    DWORD size = capacity;
    DWORD valueType = 0;
    const uint32_t e =
        RegResult(::RegQueryValueExA(As<HKEY>(key.value()), name.c_str(), nullptr,
                                     type ? &valueType : nullptr, buffer.data(), &size));
    if (type && (e == err::Success || e == err::MoreData)) *type = valueType;
    if (e == err::Success)
        data.assign(buffer.begin(), buffer.begin() + std::min<DWORD>(size, capacity));
    return e;
}

uint32_t Win32Registry::RegSetValue(const RegKey& key, const std::string& name, uint32_t type,
                                   const void* data, uint32_t size) {
    if (!key) return err::InvalidHandle;
    return RegResult(::RegSetValueExA(As<HKEY>(key.value()), name.c_str(), 0, type,
                                   static_cast<const BYTE*>(data), size));
}

uint32_t Win32Registry::RegEnumValue(const RegKey& key, uint32_t index, std::string& name,
                                    uint32_t nameCapacity) {
    name.clear();
    if (!key) return err::InvalidHandle;
    std::vector<char> buffer(std::max<uint32_t>(nameCapacity, 1), '\0');
    DWORD length = nameCapacity;
    const uint32_t e = RegResult(::RegEnumValueA(As<HKEY>(key.value()), index, buffer.data(),
                                                 &length, nullptr, nullptr, nullptr, nullptr));
    if (e == err::Success) name.assign(buffer.data(), std::min<DWORD>(length, nameCapacity));
    return e;
}

uint32_t Win32Registry::RegEnumKey(const RegKey& key, uint32_t index, std::string& name) {
    name.clear();
    if (!key) return err::InvalidHandle;
    char buffer[MAX_PATH + 1] = {};
    const uint32_t e =
        RegResult(::RegEnumKeyA(As<HKEY>(key.value()), index, buffer, sizeof buffer));
    if (e == err::Success) name = buffer;
    return e;
}

uint32_t Win32Registry::RegDeleteKey(Root root, const std::string& path) {
    return RegResult(::RegDeleteKeyA(RootKey(root), path.c_str()));
}

uint32_t Win32Registry::RegDeleteValue(const RegKey& key, const std::string& name) {
    if (!key) return err::InvalidHandle;
    return RegResult(::RegDeleteValueA(As<HKEY>(key.value()), name.c_str()));
}

}  // namespace plat
