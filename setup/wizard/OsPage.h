// The OS page: states the Windows version the driver is installed for (the
// running one, detected; the other choices are greyed) and offers the
// Vietnamese fonts.
#pragma once

#include <cstdint>

#include "common/WindowsVersions.h"
#include "platform/Windows.h"
#include "setup/res/resource.h"
#include "setup/engine/Stages.h"
#include "setup/wizard/WizardPage.h"

class OsPage final : public WizardPage {
public:
    // The radio buttons in OsClass order.
    static constexpr int kRadios[kOsClassCount] = {IDC_OS_98, IDC_OS_NT,   IDC_OS_2000,
                                                  IDC_OS_XP, IDC_OS_2003, IDC_OS_VISTA};

    OsPage();

    // Detects the running Windows, checks its button and greys the others;
    // writes the compatibility marks on XP and from Vista on. `context` is
    // the owner and caption of the message for an unknown platform.
    void Initialize(plat::Windows& windows, const MessageContext& context);
    bool UpdateData() override;

    int32_t OsClass() const { return osClass_; }
    bool InstallFonts() const { return installFonts_; }

private:
    int32_t osClass_ = Win98;
    bool installFonts_ = false;
};
