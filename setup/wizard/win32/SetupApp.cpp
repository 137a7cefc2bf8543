// Setup.exe: the start-up checks, the wizard's objects and its modal run.
#include "platform/win32/WindowsApi.h"

#include <commctrl.h>

#include "platform/Windows.h"
#include "platform/win32/Win32Windows.h"
#include "setup/wizard/SetupStartup.h"
#include "setup/wizard/SetupWizard.h"
#include "setup/wizard/win32/PageWindows.h"
#include "setup/wizard/win32/WizardHostWindow.h"

namespace {

class SetupApp {
public:
    SetupApp(HINSTANCE instance, plat::Windows& windows) : instance_(instance), windows_(windows) {}

    int Run() {
        const std::string appName = ApplicationName(windows_);
        // Held until the process ends, so that a copy started while this one
        // is shutting down still sees it.
        plat::Mutex mutex;
        const StartupVerdict verdict = CheckStartup(windows_, appName, mutex);
        mutex.release();
        if (verdict != StartupVerdict::Run) return 0;

        SetupState state(windows_);
        state.context.caption = appName;

        SetupWizard pages(state);
        gui::ModulePageWindow moduleWindow(pages.modules);
        gui::SetupTypePageWindow setupTypeWindow(pages.setupType);
        gui::OsPageWindow osWindow(pages.os, state);
        gui::PortPageWindow portWindow(pages.port);
        gui::WizardHostWindow wizard(instance_, state, pages.host,
                                     {&moduleWindow, &setupTypeWindow, &osWindow, &portWindow});
        wizard.RunModal();
        return 0;
    }

private:
    HINSTANCE instance_;
    plat::Windows& windows_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS;
    ::InitCommonControlsEx(&controls);
    try {
        plat::Win32Windows windows;
        return SetupApp(instance, windows).Run();
    } catch (...) {
        return 1;
    }
}
