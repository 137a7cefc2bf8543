// The window of Uninstall's main dialog (102): the checkbox list of removable
// items, the status list, Uninstall, Select All and Exit. Its procedure is a
// route table from the window's messages to the dialog's handlers, and it
// only moves data between the controls and the dialog's view: the user's
// ticks into the view, every change of the view onto the controls. The
// worker's changes come by a sent message, so that they are copied on this
// window's thread while the worker waits.
#pragma once

#include "platform/Windows.h"
#include "platform/win32/WindowsApi.h"

#include <span>
#include <string>
#include <vector>

#include "gui/win32/ControlSync.h"
#include "gui/win32/DialogBase.h"
#include "uninstall/UninstallDialog.h"
#include "uninstall/UninstallView.h"

namespace uninstall {

class UninstallDialogWindow final : public gui::Dialog<UninstallDialogWindow>,
                                    public UninstallScreen {
public:
    // `appName`: the application name, the caption of the dialog's boxes.
    UninstallDialogWindow(plat::Windows& windows, const std::string& appName);
    UninstallDialogWindow(const UninstallDialogWindow&) = delete;
    UninstallDialogWindow& operator=(const UninstallDialogWindow&) = delete;

    // Runs the dialog modally; returns when it has closed and no worker runs.
    INT_PTR RunModal();

    static std::span<const Route> Routes();

    // The view's screen, called on the thread that changed the view.
    void Changed(UninstallView& view) override;
    int AskRestart() override;

private:
    INT_PTR OnInitDialog(WPARAM, LPARAM);
    INT_PTR OnCommandClose(WPARAM, LPARAM);
    INT_PTR OnWindowClose(WPARAM, LPARAM);
    INT_PTR OnUninstall(WPARAM, LPARAM);
    INT_PTR OnSelectAll(WPARAM, LPARAM);
    INT_PTR OnItemChanged(WPARAM, LPARAM);
    INT_PTR OnViewChanged(WPARAM, LPARAM);
    INT_PTR OnAbout(WPARAM, LPARAM);
    INT_PTR OnHelp(WPARAM, LPARAM);
    INT_PTR OnPaint(WPARAM, LPARAM);
    INT_PTR OnQueryDragIcon(WPARAM, LPARAM);

    void Close(int result);
    // Copies the view's changes to the controls.
    void ShowView();
    void ShowItems(const std::vector<UninstallItem>& items);
    void ShowStatus(const std::vector<std::string>& lines);
    LRESULT ToList(UINT message, WPARAM wParam, LPARAM lParam) const;
    void SetItemCheck(int index, bool checked) const;

    // The dialog's state, view and engine; RunModal returns only once its
    // worker has ended, so none outlives the window.
    UninstallDialog dialog_;
    gui::ControlSync sync_;
    std::vector<UninstallItem> shownItems_;  // what the list view holds
    size_t shownLines_ = 0;                  // the status lines the list box holds
    bool showing_ = false;  // the list's notifications are then of our own copying
    HICON icon_ = nullptr;  // shared resource icons: nothing to free
    HICON smallIcon_ = nullptr;
};

}  // namespace uninstall
