#include "uninstall/gui/SmallDialogs.h"

#include "gui/win32/PlainDialog.h"
#include "uninstall/res/UninstallIds.h"

namespace uninstall {

int RestartDialog::Show(HWND owner) {
    // A dialog that could not be shown answers No: no restart nobody asked for.
    const INT_PTR result = gui::ShowPlainDialog(GetModuleHandleA(nullptr), IDD_RESTART, owner);
    return result == IDOK ? IDOK : IDCANCEL;
}

void AboutDialog::Show(HWND owner) {
    gui::ShowPlainDialog(GetModuleHandleA(nullptr), IDD_ABOUTBOX, owner);
}

}  // namespace uninstall
