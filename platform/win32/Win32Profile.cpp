// The profile area on the real Win32 API.
#include "platform/win32/Win32Support.h"

#include "platform/win32/Win32Windows.h"

namespace plat {

using namespace w32;

std::string Win32Profile::GetPrivateProfileString(const std::string& section,
                                                  const std::string& key, const std::string& def,
                                                  uint32_t size, const std::string& path) {
    const DWORD capacity = std::max<uint32_t>(size, 1);
    std::vector<char> buffer(capacity, '\0');
    const DWORD length = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(),
                                                    buffer.data(), capacity, path.c_str());
    return std::string(buffer.data(), std::min<DWORD>(length, capacity - 1));
}

std::string Win32Profile::GetProfileString(const std::string& section, const std::string& key,
                                           const std::string& def) {
    std::vector<char> buffer(4096, '\0');
    const DWORD length = ::GetProfileStringA(section.c_str(), key.c_str(), def.c_str(),
                                             buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::string(buffer.data(), std::min<size_t>(length, buffer.size() - 1));
}

uint32_t Win32Profile::WriteProfileString(const char* section, const char* key,
                                          const char* value) {
    const BOOL ok = ::WriteProfileStringA(section, key, value);
    // Flushing the cache (all three null) always returns FALSE.
    if (!section && !key && !value) return err::Success;
    return Result(ok);
}

}  // namespace plat
