// The package's INI paths and the decimal conversion shared by its readers.
#include <climits>
#include <cstring>

#include "platform/Folders.h"
#include "platform/Profile.h"
#include "platform/Windows.h"
#include "setup/config/ModelConfigReader.h"

namespace {

constexpr size_t kPathSize = 200;

// Copies `folder` + `name` into a buffer of kPathSize characters; a path that
// does not fit leaves the buffer empty.
void ComposePath(char* out, const std::string& folder, const char* name) {
    out[0] = '\0';
    const size_t nameLength = std::strlen(name);
    if (folder.size() + nameLength + 1 > kPathSize) return;
    std::memcpy(out, folder.data(), folder.size());
    std::memcpy(out + folder.size(), name, nameLength + 1);
}

}  // namespace

std::string ProgramFolder(plat::Windows& windows) {
    std::string module;
    // A name that does not fit whole would give a wrong folder: then the
    // package is taken relative to the current folder instead.
    if (windows.folders().GetModuleFileName(module, kPathSize) != plat::err::Success) return {};
    // A name that fills the buffer may have been cut.
    if (module.size() >= kPathSize - 1) return {};
    const size_t slash = module.find_last_of('\\');
    if (slash == std::string::npos) return {};
    return module.substr(0, slash + 1);
}

const char* ModuleIniName(int32_t module) {
    return module >= 0 && module < kModuleCount ? kPackageModules[module].wizardIniName : nullptr;
}

void BuildConfigPaths(plat::Windows& windows, int32_t module, char* setupIniPath,
                      char* moduleIniPath) {
    std::memset(setupIniPath, 0, kPathSize);
    std::memset(moduleIniPath, 0, kPathSize);
    const std::string folder = ProgramFolder(windows);
    ComposePath(setupIniPath, folder, kSetupIniName);
    const char* name = ModuleIniName(module);
    ComposePath(moduleIniPath, folder, name ? name : "");
}

int32_t ReadPortSectionKey(plat::Windows& windows, const std::string& moduleIniPath,
                           const std::string& section, const char* key) {
    return IniToInt(
        windows.profile().GetPrivateProfileString(section, key, "0", 200, moduleIniPath).c_str());
}

int32_t IniToInt(const char* text) {
    if (!text) return 0;
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = (*p == '-');
        ++p;
    }
    int64_t value = 0;
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > limit) {
            value = limit;  // saturate; the remaining digits change nothing
        }
    }
    return static_cast<int32_t>(negative ? -value : value);
}
