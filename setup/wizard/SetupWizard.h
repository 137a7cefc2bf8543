// Setup's wizard as a whole: the four pages and the host, each page
// registered with its caption and dialog template in the wizard's order
// (module, setup type, OS, port). Setup.exe puts windows around it; qsetup
// walks it without any.
#pragma once

#include "setup/res/resource.h"
#include "setup/wizard/ModulePage.h"
#include "setup/wizard/OsPage.h"
#include "setup/wizard/PortPage.h"
#include "setup/wizard/SetupState.h"
#include "setup/wizard/SetupTypePage.h"
#include "setup/wizard/WizardHost.h"
#include "setup/wizard/WizardTexts.h"

struct SetupWizard {
    explicit SetupWizard(SetupState& state)
        : modules(state.windows), port(state), host(state, modules, setupType, os, port) {
        host.AddPage(wiztext::kPageCaptions[wizpage::Module], &modules, IDD_MODULE_PAGE);
        host.AddPage(wiztext::kPageCaptions[wizpage::SetupType], &setupType, IDD_SETUP_TYPE_PAGE);
        host.AddPage(wiztext::kPageCaptions[wizpage::Os], &os, IDD_OS_PAGE);
        host.AddPage(wiztext::kPageCaptions[wizpage::Port], &port, IDD_PORT_PAGE);
    }
    SetupWizard(const SetupWizard&) = delete;
    SetupWizard& operator=(const SetupWizard&) = delete;

    ModulePage modules;
    SetupTypePage setupType;
    OsPage os;
    PortPage port;
    WizardHost host;
};
