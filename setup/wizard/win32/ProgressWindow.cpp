#include "setup/wizard/win32/ProgressWindow.h"

#include <commctrl.h>

#include "setup/engine/Waits.h"
#include "setup/res/resource.h"
#include "setup/wizard/win32/Gdi.h"

namespace gui {

namespace {
constexpr const char* kInstalling = "Installing printer,please wait...... ";
}

std::span<const ProgressWindow::Route> ProgressWindow::Routes() {
    static const Route routes[] = {
        {WM_INITDIALOG, kAny, kAny, &ProgressWindow::OnInitDialog},
        {WM_TIMER, static_cast<int>(kTimer), kAny, &ProgressWindow::OnTimer},
        {WM_PAINT, kAny, kAny, &ProgressWindow::OnPaint},
        // No buttons: Escape, Alt+F4 and the like do not close it.
        {WM_COMMAND, IDCANCEL, kAny, &ProgressWindow::OnIgnore},
        {WM_COMMAND, IDOK, kAny, &ProgressWindow::OnIgnore},
        {WM_CLOSE, kAny, kAny, &ProgressWindow::OnIgnore},
    };
    return routes;
}

void ProgressWindow::RunModal(std::atomic<int32_t>& completionState, int32_t os) {
    state_ = &completionState;
    animation_.emplace(os);
    // The window has no owner, so that it shows while the wizard is
    // minimised; the wizard is held still by hand: no second Install and
    // no Cancel while the worker runs.
    holdingWizard_ = wizard_ && !::EnableWindow(wizard_, FALSE);
    ::DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, &ProgressWindow::Proc,
                      reinterpret_cast<LPARAM>(this));
    ReleaseWizard();  // the window could not be shown
    state_ = nullptr;
}

void ProgressWindow::ReleaseWizard() {
    if (holdingWizard_) ::EnableWindow(wizard_, TRUE);
    holdingWizard_ = false;
}

void ProgressWindow::Close() {
    // The wizard takes input again, and the activation, before this window
    // goes: otherwise Windows activates another program in its place and
    // the final message opens behind it.
    ReleaseWizard();
    if (wizard_ && ::GetForegroundWindow() == hwnd_) ::SetForegroundWindow(wizard_);
    ::EndDialog(hwnd_, IDOK);
}

INT_PTR ProgressWindow::OnInitDialog(WPARAM, LPARAM) {
    ::SendDlgItemMessageA(hwnd_, IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ::SetTimer(hwnd_, kTimer, kProgressTickMs, nullptr);
    return TRUE;
}

INT_PTR ProgressWindow::OnTimer(WPARAM, LPARAM) {
    ::KillTimer(hwnd_, kTimer);
    if (!animation_ || !state_) {
        Close();
        return TRUE;
    }
    for (;;) {
        const ProgressStep step = animation_->Step(state_->load());
        if (step.close) {
            Close();
            return TRUE;
        }
        if (step.position >= 0) {
            HWND bar = ::GetDlgItem(hwnd_, IDC_PROGRESS);
            ::SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(step.position), 0);
            ::UpdateWindow(bar);
        }
        if (step.delayMs > 0) {
            ::SetTimer(hwnd_, kTimer, step.delayMs, nullptr);
            return TRUE;
        }
    }
}

INT_PTR ProgressWindow::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd_, &paint);
    RECT client;
    ::GetClientRect(hwnd_, &client);
    RECT line = client;
    line.bottom = client.bottom * 2 / 3;
    Font font(::CreateFontA(20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH, "System"));
    {
        Selection select(dc, font.get());
        ::SetTextColor(dc, RGB(0, 51, 153));
        ::SetBkMode(dc, TRANSPARENT);
        ::DrawTextA(dc, kInstalling, -1, &line, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    ::EndPaint(hwnd_, &paint);
    return TRUE;
}

INT_PTR ProgressWindow::OnIgnore(WPARAM, LPARAM) { return TRUE; }

}  // namespace gui
