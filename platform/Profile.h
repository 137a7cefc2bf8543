// The profile-file area of the platform layer: INI files and win.ini.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Errors.h"
#include "platform/Forwarding.h"

namespace plat {

class Profile {
public:
    virtual ~Profile() = default;

    // GetPrivateProfileStringA with a non-null section and key: the value,
    // cut to size - 1 characters; `def` when the file, section or key is missing.
    virtual std::string GetPrivateProfileString(const std::string& section,
                                                const std::string& key, const std::string& def,
                                                uint32_t size, const std::string& path) = 0;
    // GetProfileStringA / WriteProfileStringA on win.ini. Null arguments are
    // passed as null (all three null flushes the profile cache).
    virtual std::string GetProfileString(const std::string& section, const std::string& key,
                                         const std::string& def) = 0;
    virtual uint32_t WriteProfileString(const char* section, const char* key,
                                        const char* value) = 0;
};

// Hands every call to another profile area: the base of a decorator.
class ForwardingProfile : public Forwarding<Profile> {
public:
    using Forwarding::Forwarding;

    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& def, uint32_t size,
                                        const std::string& path) override {
        return inner_.GetPrivateProfileString(section, key, def, size, path);
    }
    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& def) override {
        return inner_.GetProfileString(section, key, def);
    }
    uint32_t WriteProfileString(const char* section, const char* key, const char* value) override {
        return inner_.WriteProfileString(section, key, value);
    }

};

}  // namespace plat
