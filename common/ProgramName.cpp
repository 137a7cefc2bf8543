#include "common/ProgramName.h"

#include "platform/Folders.h"

std::string ProgramName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

std::string ApplicationName(plat::Folders& folders, const std::string& fallback) {
    std::string path;
    if (folders.GetModuleFileName(path, 260) != plat::err::Success) return fallback;
    const std::string name = ProgramName(path);
    return name.empty() ? fallback : name;
}
