// The application state of Setup: the values that live for the program's
// whole run and that several pages and the host share. SetupApp owns the one
// instance and hands it down; nothing else is process-wide.
#pragma once

#include <cstdint>
#include <string>

#include "common/Types.h"
#include "platform/Windows.h"
#include "setup/engine/InstallCommand.h"
#include "setup/engine/Stages.h"

// The model and setup type for which the port list was last built. A list
// is built at the first arrival at the port page whatever the model's name.
struct PortListKey {
    std::string model = "PRINTER";
    int32_t setupType = SetupTypical;
    bool built = false;

    bool Matches(const std::string& m, int32_t type) const {
        return built && m == model && type == setupType;
    }
};

struct SetupState {
    explicit SetupState(plat::Windows& w) : windows(w), session(w) {}
    SetupState(const SetupState&) = delete;
    SetupState& operator=(const SetupState&) = delete;

    plat::Windows& windows;
    // Owner window and caption (the application name) of every message box.
    MessageContext context;
    // The module INI and the "%s.PORT" section of the model chosen when the
    // module page was last left forward.
    std::string moduleIniPath;
    std::string portSection;
    // Set at start: the next forward move from the OS page applies the
    // model's "BaudRate".
    bool baudResetPending = true;
    // The setup type as the setup-type page last handed it on.
    int32_t setupType = SetupTypical;
    PortListKey portListKey;
    // The installation: reader, records and InstallMessage.
    InstallSession session;
};
