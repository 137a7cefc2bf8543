#include "setup/wizard/SetupStartup.h"

#include "common/ProgramName.h"
#include "common/ProgramTitles.h"
#include "platform/Desktop.h"
#include "platform/Windows.h"
#include "setup/wizard/WizardTexts.h"

std::string ApplicationName(plat::Windows& windows) {
    return ::ApplicationName(windows, program::kSetupName);
}

StartupVerdict CheckStartup(plat::Windows& windows, const std::string& appName,
                            plat::Mutex& mutex) {
    const uint32_t error = windows.desktop().CreateMutex(appName, true, mutex);
    if (error == plat::err::AlreadyExists) {
        const plat::Window wizard = windows.desktop().FindWindow(wiztext::kWizardTitle);
        if (wizard != 0) {
            windows.desktop().SetForegroundWindow(wizard);
            if (windows.desktop().IsIconic(wizard)) windows.desktop().RestoreWindow(wizard);
        }
        return StartupVerdict::OtherCopy;
    }
    if (windows.desktop().FindWindow(wiztext::kUninstallTitle) != 0) {
        windows.desktop().MessageBox(0, wiztext::kCloseUninstallFirst, appName,
                           plat::mb::Ok | plat::mb::IconExclamation);
        return StartupVerdict::UninstallOpen;
    }
    return StartupVerdict::Run;
}
