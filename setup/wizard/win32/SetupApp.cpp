// Setup.exe: the start-up checks, the wizard's objects and its modal run.
#include "platform/win32/WindowsApi.h"

#include <commctrl.h>

#include "platform/win32/Win32Windows.h"
#include "setup/res/resource.h"
#include "setup/wizard/ModulePage.h"
#include "setup/wizard/OsPage.h"
#include "setup/wizard/PortPage.h"
#include "setup/wizard/SetupStartup.h"
#include "setup/wizard/SetupState.h"
#include "setup/wizard/SetupTypePage.h"
#include "setup/wizard/WizardHost.h"
#include "setup/wizard/WizardTexts.h"
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

        ModulePage modulePage(windows_);
        SetupTypePage setupTypePage;
        OsPage osPage;
        PortPage portPage(state);
        WizardHost host(state, modulePage, setupTypePage, osPage, portPage);
        host.AddPage(wiztext::kPageCaptions[0], &modulePage, IDD_MODULE_PAGE);
        host.AddPage(wiztext::kPageCaptions[1], &setupTypePage, IDD_SETUP_TYPE_PAGE);
        host.AddPage(wiztext::kPageCaptions[2], &osPage, IDD_OS_PAGE);
        host.AddPage(wiztext::kPageCaptions[3], &portPage, IDD_PORT_PAGE);

        gui::ModulePageWindow moduleWindow(modulePage);
        gui::SetupTypePageWindow setupTypeWindow(setupTypePage);
        gui::OsPageWindow osWindow(osPage, state);
        gui::PortPageWindow portWindow(portPage);
        gui::WizardHostWindow wizard(instance_, state, host,
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
