// Uninstall from its start to the moment the user presses Uninstall: the
// single-instance start-up, the start-up checks, finding Uninstall.ini,
// filling the list, the status lines, Select All and F1. The dialog's
// handlers (UninstallDialog) call these; they reach Windows only through
// plat::Windows and the controls only through the dialog's view.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Windows.h"
#include "uninstall/UninstallIni.h"
#include "uninstall/UninstallState.h"
#include "uninstall/UninstallView.h"

namespace uninstall {

enum class StartUpResult {
    Run,         // this copy runs; the mutex is held in `mutex`
    SecondCopy,  // another copy runs: its window was brought forward
    SetupOpen,   // Setup's window is open: the user was told
};

// Takes the mutex named by the application name. When it existed, brings the
// window "Uninstall" forward (restoring it when minimised); otherwise refuses
// to run while the window "Install Driver for Printers" is open, telling so
// in a box with the application name as caption. The caller keeps `mutex`
// for the life of the process.
StartUpResult StartUp(plat::Windows& windows, const std::string& appName, plat::Mutex& mutex);

// Appends `text` (made from string `id`, 0 for none) to the status list and
// keeps it in state.statusText.
void AddStatus(UninstallState& state, UninstallView& view, const std::string& text,
               int32_t id = 0);

// Looks for an entry whose name holds "Uninstall.ini" (case-sensitive) in the
// folder in state.iniPath, then in its DRVCONFIG folder; on success iniPath
// becomes that folder followed by "Uninstall.ini". The search only looks: no
// file's attributes change. Returns 0, IDS_SEARCH_FAILED when a folder listing
// can't start, or IDS_NO_INI.
int32_t FindUninstallIni(plat::Windows& windows, UninstallState& state);

// Appends the listed printers, port monitors and print processors of the
// machine to the checkbox list, in that order and each in the spooler's order.
// Reads each list of Uninstall.ini once, whatever the number of items.
void FillItemList(plat::Windows& windows, const UninstallState& state, const UninstallIni& ini,
                  UninstallView& view);

// The start-up checks of the main dialog: the Windows version class, the
// administrator check from Windows 2000 on, Uninstall.ini, the list, and the
// first status line and the instruction text. On a failure shows its text in
// a message box (caption "Error", owned by `owner`) and returns false: the
// dialog then closes with Cancel. `failure`, when given, receives the string
// number of the failure's text (0 when the checks passed).
bool RunStartUpChecks(plat::Windows& windows, UninstallState& state, const UninstallIni& ini,
                      UninstallView& view, plat::Window owner,
                      int32_t* failure = nullptr);

// Loads "Winspool.drv" into state.spooler. When it can't be loaded, says
// "no Winspool lib  " (caption: state.appName) and returns false; drivers are
// then deleted with the plain DeletePrinterDriverA.
bool LoadSpooler(plat::Windows& windows, UninstallState& state, plat::Window owner);

// Button 1012: ticks every item.
void SelectAll(UninstallView& view);

// F1: brings an open help viewer (titled `appName` + " Help") forward, or
// opens the English help file and, when that fails, the Chinese one.
void OpenHelp(plat::Windows& windows, const std::string& appName);

}  // namespace uninstall
