// A profile area that watches the profile reads of the code above it: a
// value that the read cuts to its buffer is noted with the whole value, so
// that a package check learns every limit from the readers themselves.
#pragma once

#include <string>
#include <vector>

#include "platform/Profile.h"

namespace qsetup {

class ReadWatch : public plat::ForwardingProfile {
public:
    // A value longer than this counts as "at least this long".
    static constexpr uint32_t kWholeValue = 4096;

    struct Cut {
        std::string path, section, key;
        uint32_t size = 0;  // the buffer of the read, terminator included
        std::string whole;  // the value as the file holds it (up to kWholeValue - 1)
    };

    explicit ReadWatch(plat::Profile& inner) : ForwardingProfile(inner) {}

    std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& def, uint32_t size,
                                        const std::string& path) override {
        std::string value = Inner().GetPrivateProfileString(section, key, def, size, path);
        // Only a value that filled its buffer can have been cut.
        if (size > 1 && size < kWholeValue && value.size() == size - 1) {
            std::string whole = Inner().GetPrivateProfileString(section, key, def, kWholeValue, path);
            if (whole.size() > value.size()) cuts_.push_back({path, section, key, size, whole});
        }
        return value;
    }

    const std::vector<Cut>& Cuts() const { return cuts_; }

private:
    std::vector<Cut> cuts_;
};

}  // namespace qsetup
