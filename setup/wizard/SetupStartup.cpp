#include "setup/wizard/SetupStartup.h"

#include "setup/wizard/WizardTexts.h"

std::string ApplicationName(plat::Windows& windows) {
    std::string path;
    if (windows.GetModuleFileName(path, 260) != plat::err::Success || path.empty()) return "Setup";
    const size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name.empty() ? "Setup" : name;
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
