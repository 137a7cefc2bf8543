// The wizard's main window "Install Driver for Printers": the picture on the
// left, one page at a time on the right, Back, Next/Install and Cancel.
#pragma once

#include "platform/win32/WindowsApi.h"

#include <span>
#include <vector>

#include "gui/win32/ControlSync.h"
#include "gui/win32/DialogBase.h"
#include "setup/engine/InstallCommand.h"
#include "setup/wizard/SetupState.h"
#include "setup/wizard/WizardHost.h"
#include "setup/wizard/win32/Gdi.h"
#include "setup/wizard/win32/PageWindows.h"

namespace gui {

class WizardHostWindow final : public Dialog<WizardHostWindow>,
                               public PageFrames,
                               public WizardWindow {
public:
    WizardHostWindow(HINSTANCE instance, SetupState& state, WizardHost& host,
                     std::vector<PageWindow*> pages);

    // Runs the wizard modally; IDOK after an installation, IDCANCEL otherwise.
    INT_PTR RunModal();

    bool UpdatePageData(int index) override;
    void ShowPage(int index, bool show) override;
    void ShowMinimized() override;
    void MakeTopmost() override;

    static std::span<const Route> Routes();

private:
    INT_PTR OnInitDialog(WPARAM, LPARAM);
    INT_PTR OnOk(WPARAM, LPARAM);
    INT_PTR OnBack(WPARAM, LPARAM);
    INT_PTR OnCancel(WPARAM, LPARAM);
    INT_PTR OnHelp(WPARAM, LPARAM);
    INT_PTR OnAbout(WPARAM, LPARAM);
    INT_PTR OnDrawPicture(WPARAM, LPARAM);
    INT_PTR OnPaint(WPARAM, LPARAM);
    INT_PTR OnQueryDragIcon(WPARAM, LPARAM);

    // Copies the host's and every page's view to the controls.
    void SyncAll();

    HINSTANCE instance_;
    SetupState& state_;
    WizardHost& host_;
    std::vector<PageWindow*> pages_;
    ControlSync sync_;
    Bitmap picture_;
    HICON icon_ = nullptr;       // shared resource icons: not destroyed
    HICON smallIcon_ = nullptr;
};

}  // namespace gui
