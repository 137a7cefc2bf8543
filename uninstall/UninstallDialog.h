// The main dialog of Uninstall (102) without its window: one object per
// dialog holding its state, Uninstall.ini, its view and the engine, with a
// handler for each thing the user does. The Win32 window routes its messages
// to these handlers and shows the view; `qsetup uninstall` ticks items in
// the view and presses Uninstall through the same handler.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Windows.h"
#include "uninstall/UninstallEngine.h"
#include "uninstall/UninstallIni.h"
#include "uninstall/UninstallState.h"
#include "uninstall/UninstallView.h"

namespace uninstall {

class UninstallDialog {
public:
    // `appName`: the application name, the caption of the dialog's boxes.
    UninstallDialog(plat::Windows& windows, const std::string& appName);
    UninstallDialog(const UninstallDialog&) = delete;
    UninstallDialog& operator=(const UninstallDialog&) = delete;

    UninstallView& View() { return view_; }
    const UninstallState& State() const { return state_; }
    const UninstallIni& Ini() const { return ini_; }
    const UninstallEngine& Engine() const { return engine_; }

    // The start-up checks (RunStartUpChecks), then the spooler library
    // (LoadSpooler, whose failure leaves the dialog open). False when a check
    // failed: the dialog closes with Cancel. `failure` as RunStartUpChecks.
    bool OnInitDialog(plat::Window owner, int32_t* failure = nullptr);
    // Button 1002: the pre-check, then the run on the worker thread; true
    // when it started. Nothing while a run is on.
    bool OnUninstall();
    // Button 1012. Nothing while a run is on.
    void OnSelectAll();
    // F1.
    void OnHelp();
    // Whether Enter, Escape, Exit or the close box may close the dialog:
    // not while a run is on, whose worker uses the dialog.
    bool CanClose() const { return !engine_.Running(); }
    // True while a run is on: the view is then the worker's.
    bool Running() const { return engine_.Running(); }
    // Waits until no worker runs.
    void Wait() { engine_.Wait(); }

private:
    plat::Windows& windows_;
    UninstallState state_;
    UninstallIni ini_;
    UninstallView view_;
    // Last, so that it is destroyed first: its destructor waits for a worker
    // that still uses the members above.
    UninstallEngine engine_;
};

}  // namespace uninstall
