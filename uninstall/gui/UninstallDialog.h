// The main dialog of Uninstall (102): the checkbox list of removable items,
// the status list, Uninstall, Select All and Exit. Its window procedure only
// moves data between the controls and the logic; everything it decides lives
// in the portable logic, reached with this dialog's state object.
#pragma once

#include <string>

#include "platform/Windows.h"
#include "platform/win32/WindowsApi.h"
#include "uninstall/UninstallEngine.h"
#include "uninstall/UninstallIni.h"
#include "uninstall/UninstallState.h"

namespace uninstall {

// The controls of dialog 102 driven by window messages. The worker calls
// them from its own thread; SendMessage returns once the user-interface
// thread has handled each message.
class DialogControls final : public UninstallControls {
public:
    void Attach(HWND dialog) { dialog_ = dialog; }

    int ItemCount() override;
    std::string ItemText(int index) override;
    bool IsItemChecked(int index) override;
    void CheckItem(int index) override;
    void AddItem(const std::string& text) override;
    void DeleteItem(int index) override;
    void AddStatusLine(const std::string& text) override;
    void SetInstruction(const std::string& text) override;
    void EnableControl(int id, bool enable) override;
    int ShowRestartDialog() override;

private:
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    LRESULT ToList(UINT message, WPARAM wParam, LPARAM lParam) const;

    HWND dialog_ = nullptr;
};

class UninstallDialog {
public:
    // `appName`: the application name, the caption of the dialog's boxes.
    UninstallDialog(plat::Windows& windows, const std::string& appName);
    UninstallDialog(const UninstallDialog&) = delete;
    UninstallDialog& operator=(const UninstallDialog&) = delete;

    // Runs the dialog modally; returns when it has closed and no worker runs.
    INT_PTR RunModal();

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);

    BOOL OnInitDialog();
    void OnCommand(int id);
    void Close(int result);
    bool OnPaint();

    plat::Windows& windows_;
    HWND hwnd_ = nullptr;
    HICON icon_ = nullptr;       // shared resource icons: nothing to free
    HICON smallIcon_ = nullptr;
    UninstallState state_;
    UninstallIni ini_;
    DialogControls controls_;
    // Last, so that it is destroyed first: its destructor waits for a worker
    // that still uses the members above.
    UninstallEngine engine_;
};

}  // namespace uninstall
