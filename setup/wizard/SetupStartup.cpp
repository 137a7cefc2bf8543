#include "setup/wizard/SetupStartup.h"

#include "common/ProgramName.h"
#include "common/ProgramTitles.h"
#include "setup/wizard/WizardTexts.h"

std::string ApplicationName(plat::Windows& windows) {
    return ::ApplicationName(windows, program::kSetupName);
}

StartupVerdict CheckStartup(plat::Windows& windows, const std::string& appName,
                            plat::Mutex& mutex) {
    const uint32_t error = windows.CreateMutex(appName, true, mutex);
    if (error == plat::err::AlreadyExists) {
        const plat::Window wizard = windows.FindWindow(wiztext::kWizardTitle);
        if (wizard != 0) {
            windows.SetForegroundWindow(wizard);
            if (windows.IsIconic(wizard)) windows.RestoreWindow(wizard);
        }
        return StartupVerdict::OtherCopy;
    }
    if (windows.FindWindow(wiztext::kUninstallTitle) != 0) {
        windows.MessageBox(0, wiztext::kCloseUninstallFirst, appName,
                           plat::mb::Ok | plat::mb::IconExclamation);
        return StartupVerdict::UninstallOpen;
    }
    return StartupVerdict::Run;
}
