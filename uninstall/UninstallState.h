// What the main dialog of Uninstall and its worker share: the start-up values
// and the status text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/Types.h"
#include "common/ProgramTitles.h"
#include "platform/Spooler.h"
#include "uninstall/res/UninstallIds.h"

namespace uninstall {

// One per main dialog, owned by it. The start-up values (iniPath, osClass,
// spooler) are written before any worker starts and only read while it runs;
// statusText and currentItem are written by whichever thread is reporting,
// and only one thread reports at a time.
struct UninstallState {
    // The application name: the executable's file name without extension
    // ("Uninstall"); set at start-up.
    std::string appName = program::kUninstallName;
    // The current folder at start-up; the full path of Uninstall.ini once found.
    std::string iniPath;
    int32_t osClass = Win98;
    // The latest status line, as it was added.
    std::string statusText;
    // The text of the list item the worker is working on.
    std::string currentItem;
    // The spooler library, loaded once at start-up and kept; its
    // DeletePrinterDriverExA deletes the drivers where it has one. Null when
    // the library could not be loaded.
    std::unique_ptr<plat::SpoolerLibrary> spooler;

    bool HasDeletePrinterDriverEx() const { return spooler && spooler->HasDeletePrinterDriverEx(); }
};

// The Exit button is the dialog's Cancel button.
inline constexpr int kExitButton = 2;

}  // namespace uninstall
