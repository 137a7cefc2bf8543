// Setup's start-up checks: one copy at a time (a second start brings the
// first copy's wizard to the front) and never beside Uninstall.
#pragma once

#include <string>

#include "platform/Handles.h"
#include "platform/Windows.h"

// The application name: the program's file name without folder and
// extension ("Setup" for ...\Setup.exe). It names the single-instance mutex
// and is the caption of every message box.
std::string ApplicationName(plat::Windows& windows);

enum class StartupVerdict {
    Run,             // this copy runs the wizard
    OtherCopy,       // another copy runs: its wizard was brought to the front
    UninstallOpen,   // Uninstall is open: the user was told
};

// Takes the single-instance mutex named `appName` (held in `mutex` for the
// program's life) and decides whether the wizard may run.
StartupVerdict CheckStartup(plat::Windows& windows, const std::string& appName,
                            plat::Mutex& mutex);
