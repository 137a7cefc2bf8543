#include "gui/win32/PlainDialog.h"

#include <span>

#include "gui/win32/DialogBase.h"

namespace gui {

namespace {

class PlainDialog final : public Dialog<PlainDialog> {
public:
    static std::span<const Route> Routes() {
        static const Route routes[] = {
            {WM_INITDIALOG, kAny, kAny, &PlainDialog::OnInitDialog},
            {WM_COMMAND, IDOK, kAny, &PlainDialog::OnClose},
            {WM_COMMAND, IDCANCEL, kAny, &PlainDialog::OnClose},
        };
        return routes;
    }

private:
    INT_PTR OnInitDialog(WPARAM, LPARAM) { return TRUE; }
    INT_PTR OnClose(WPARAM wParam, LPARAM) {
        ::EndDialog(hwnd_, LOWORD(wParam));
        return TRUE;
    }
};

}  // namespace

INT_PTR ShowPlainDialog(HINSTANCE instance, int templateId, HWND owner) {
    PlainDialog dialog;
    return ::DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, &PlainDialog::Proc,
                             reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace gui
