// UninstallApp: the start of Uninstall.exe. Takes the mutex named by the
// application name (the executable's name, "Uninstall"),
// refuses a second copy and a running Setup, then runs the main dialog
// modally; the program ends when it closes.
#include "platform/win32/WindowsApi.h"

#include <commctrl.h>

#include "common/ProgramName.h"
#include "platform/win32/Win32Windows.h"
#include "uninstall/Messages.h"
#include "uninstall/UninstallDialogLogic.h"
#include "uninstall/gui/UninstallDialogWindow.h"

namespace uninstall {

class UninstallApp {
public:
    // Always false: the program ends when the dialog closes or start-up is refused.
    bool InitInstance() {
        const std::string appName = ApplicationName(windows_, kApplicationName);
        plat::Mutex mutex;
        if (StartUp(windows_, appName, mutex) != StartUpResult::Run) return false;
        // The mutex is held until the process ends.
        mutex.release();

        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);

        UninstallDialogWindow dialog(windows_, appName);
        dialog.RunModal();
        return false;
    }

private:
    plat::Win32Windows windows_;
};

}  // namespace uninstall

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    uninstall::UninstallApp app;
    app.InitInstance();
    return 0;
}
