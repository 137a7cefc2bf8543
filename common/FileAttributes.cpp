#include "common/FileAttributes.h"

#include "platform/Files.h"

uint32_t ClearReadOnly(plat::Files& files, const std::string& path) {
    uint32_t attributes = 0;
    if (const uint32_t error = files.GetFileAttributes(path, attributes)) return error;
    if ((attributes & plat::attr::ReadOnly) == 0) return plat::err::Success;
    attributes &= ~(plat::attr::ReadOnly | plat::attr::Normal | plat::attr::Directory);
    // A file with no attribute left is a normal file.
    return files.SetFileAttributes(path, attributes != 0 ? attributes : plat::attr::Normal);
}

uint32_t CopyFileWritable(plat::Files& files, const std::string& source,
                          const std::string& target, bool failIfExists) {
    const uint32_t error = files.CopyFile(source, target, failIfExists);
    if (error == plat::err::Success) ClearReadOnly(files, target);
    return error;
}
