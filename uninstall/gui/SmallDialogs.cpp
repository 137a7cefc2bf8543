#include "uninstall/gui/SmallDialogs.h"

#include "uninstall/res/UninstallIds.h"

namespace uninstall {

namespace {

// Closes on OK and Cancel with that result; everything else is the default.
INT_PTR CALLBACK PlainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR ShowPlain(int resource, HWND owner) {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource), owner,
                           PlainDialogProc, 0);
}

}  // namespace

int RestartDialog::Show(HWND owner) {
    // A dialog that could not be shown answers No: no restart nobody asked for.
    const INT_PTR result = ShowPlain(IDD_RESTART, owner);
    return result == IDOK ? IDOK : IDCANCEL;
}

void AboutDialog::Show(HWND owner) { ShowPlain(IDD_ABOUTBOX, owner); }

}  // namespace uninstall
