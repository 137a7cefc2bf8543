// The read-only mark of a single file. CopyFileA keeps the source's
// attributes, so a file copied from a CD or a read-only share lands
// read-only; such a file can't be replaced or deleted later.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Files.h"

// Clears the read-only attribute of the file at `path`, keeping its other
// attributes; nothing else is touched. 0 when the file is writable now (or
// was already), else the error of reading or setting its attributes.
uint32_t ClearReadOnly(plat::Files& files, const std::string& path);

// Copies `source` to `target` as CopyFileA does (`failIfExists` as there)
// and clears the copy's read-only mark. The copy's error, or 0.
uint32_t CopyFileWritable(plat::Files& files, const std::string& source,
                          const std::string& target, bool failIfExists);
