#include "common/FileAttributes.h"

#include "platform/Files.h"
#include "platform/Windows.h"

uint32_t ClearReadOnly(plat::Windows& windows, const std::string& path) {
    uint32_t attributes = 0;
    if (const uint32_t error = windows.files().GetFileAttributes(path, attributes)) return error;
    if ((attributes & plat::attr::ReadOnly) == 0) return plat::err::Success;
    attributes &= ~(plat::attr::ReadOnly | plat::attr::Normal | plat::attr::Directory);
    // A file with no attribute left is a normal file.
    return windows.files().SetFileAttributes(path, attributes != 0 ? attributes : plat::attr::Normal);
}

uint32_t CopyFileWritable(plat::Windows& windows, const std::string& source,
                          const std::string& target, bool failIfExists) {
    const uint32_t error = windows.files().CopyFile(source, target, failIfExists);
    if (error == plat::err::Success) ClearReadOnly(windows, target);
    return error;
}
