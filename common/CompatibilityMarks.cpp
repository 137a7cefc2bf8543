#include "common/CompatibilityMarks.h"

#include <string>

#include "common/RegistryKey.h"
#include "platform/Folders.h"
#include "platform/Registry.h"
#include "platform/Windows.h"

namespace {

constexpr const char* kPersistedPath =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility "
    "Assistant\\Persisted";
constexpr const char* kProtectedStoragePath = "Software\\Microsoft\\Protected Storage System Provider";
constexpr uint32_t kPathCapacity = 260;
// Hive names of real users are SIDs, far longer than this; shorter names
// and the users' "_Classes" hives get no mark.
constexpr size_t kShortestHiveName = 31;

// The running program's full path; empty when it can't be had (a mark
// without a name would land on the key's default value).
std::string ProgramPath(plat::Windows& windows) {
    std::string path;
    if (windows.folders().GetModuleFileName(path, kPathCapacity) != plat::err::Success) return {};
    return path;
}

void Mark(plat::Windows& windows, plat::Root root, const std::string& keyPath,
          const std::string& program) {
    RegistryKey::CreateKey(windows, root, keyPath);
    RegistryKey key(windows);
    if (key.Open(root, keyPath)) key.SetDword(program, 1);
}

}  // namespace

void MarkCompatibilityPersisted(plat::Windows& windows) {
    const std::string program = ProgramPath(windows);
    if (program.empty()) return;
    Mark(windows, plat::Root::CurrentUser, kPersistedPath, program);
}

void MarkCompatibilityPersistedAllUsers(plat::Windows& windows) {
    const std::string program = ProgramPath(windows);
    if (program.empty()) return;
    plat::RegKey users;
    if (windows.registry().RegOpenKey(plat::Root::CurrentUser, kProtectedStoragePath, users) !=
        plat::err::Success)
        return;
    std::string hive;
    for (uint32_t index = 0;
         windows.registry().RegEnumKey(users, index, hive) == plat::err::Success; ++index) {
        if (hive.size() < kShortestHiveName || hive.find("Classes") != std::string::npos)
            continue;
        Mark(windows, plat::Root::Users, hive + "\\" + kPersistedPath, program);
    }
}
