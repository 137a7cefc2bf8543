#include "uninstall/UninstallDialog.h"

#include "platform/Windows.h"
#include "uninstall/UninstallDialogLogic.h"

namespace uninstall {

UninstallDialog::UninstallDialog(plat::Windows& windows, const std::string& appName)
    : windows_(windows), ini_(windows, state_), engine_(windows, state_, ini_, view_) {
    state_.appName = appName;
}

bool UninstallDialog::OnInitDialog(plat::Window owner, int32_t* failure) {
    if (!RunStartUpChecks(windows_, state_, ini_, view_, owner, failure)) return false;
    // Without the spooler library the dialog stays open; drivers are then
    // deleted with the plain call.
    LoadSpooler(windows_, state_, owner);
    return true;
}

bool UninstallDialog::OnUninstall() { return engine_.OnUninstall(); }

void UninstallDialog::OnSelectAll() {
    if (!engine_.Running()) SelectAll(view_);
}

void UninstallDialog::OnHelp() { OpenHelp(windows_, state_.appName); }

}  // namespace uninstall
