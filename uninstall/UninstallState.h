// What the main dialog of Uninstall and its worker share: the start-up values,
// the status text, and the controls as the logic reaches them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/Types.h"
#include "platform/Spooler.h"
#include "uninstall/res/UninstallIds.h"

namespace uninstall {

// One per main dialog, owned by it. The start-up values (iniPath, osClass,
// spooler) are written before any worker starts and only read while it runs;
// statusText and currentItem are written by whichever thread is reporting,
// and only one thread reports at a time.
struct UninstallState {
    // The application name: the executable's file name without extension
    // ("Uninstall"); set at start-up.
    std::string appName = "Uninstall";
    // The current folder at start-up; the full path of Uninstall.ini once found.
    std::string iniPath;
    int32_t osClass = Win98;
    // The latest status line, as it was added.
    std::string statusText;
    // The text of the list item the worker is working on.
    std::string currentItem;
    // The spooler library, loaded once at start-up and kept; its
    // DeletePrinterDriverExA deletes the drivers where it has one. Null when
    // the library could not be loaded.
    std::unique_ptr<plat::SpoolerLibrary> spooler;

    bool HasDeletePrinterDriverEx() const { return spooler && spooler->HasDeletePrinterDriverEx(); }
};

// The controls of the main dialog. The dialog implements them with messages
// to its list view (1010), list box (1008), edit (1006) and buttons; the worker
// calls them from its own thread, and each call returns once the
// user-interface thread has handled it.
class UninstallControls {
public:
    virtual ~UninstallControls() = default;

    // ---- the checkbox list (1010)
    virtual int ItemCount() = 0;
    // An empty text for an index outside the list.
    virtual std::string ItemText(int index) = 0;
    virtual bool IsItemChecked(int index) = 0;
    virtual void CheckItem(int index) = 0;
    // Appends an unchecked item.
    virtual void AddItem(const std::string& text) = 0;
    virtual void DeleteItem(int index) = 0;

    // ---- the status list (1008): appends a line and selects it, so that the
    // newest line is always visible.
    virtual void AddStatusLine(const std::string& text) = 0;

    // ---- the instruction text (1006)
    virtual void SetInstruction(const std::string& text) = 0;

    // Enables or disables one control by its id (IDC_UNINSTALL,
    // IDC_ITEM_LIST, IDC_SELECT_ALL, kExitButton).
    virtual void EnableControl(int id, bool enable) = 0;

    // Shows the restart dialog (129) modally, owned by the main window;
    // returns 1 for Yes, 2 for No.
    virtual int ShowRestartDialog() = 0;
};

// The Exit button is the dialog's Cancel button.
inline constexpr int kExitButton = 2;

}  // namespace uninstall
