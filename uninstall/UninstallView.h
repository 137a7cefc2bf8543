// What the main dialog of Uninstall shows, held by its logic: the checkbox
// list (1010) with its ticks, the status lines (1008), the instruction text
// (1006), which controls are enabled, and the restart question (129).
//
// The logic changes this view only. Each change is told at once to the
// view's screen, on the thread that made it: the dialog's window copies it
// to the controls, a run without a window prints the new status lines. The
// screen also answers the restart question.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gui/PageView.h"

namespace uninstall {

class UninstallView;

class UninstallScreen {
public:
    virtual ~UninstallScreen() = default;
    // The view has changed; returns once the change is shown.
    virtual void Changed(UninstallView& view) = 0;
    // Shows the restart dialog (129) modally; kRestartYes or kRestartNo.
    virtual int AskRestart() = 0;
};

// The answers of the restart dialog: its OK and Cancel buttons.
inline constexpr int kRestartYes = 1;
inline constexpr int kRestartNo = 2;

struct UninstallItem {
    std::string text;
    bool checked = false;
};

class UninstallView {
public:
    // The controls as the template has them: an empty instruction, all enabled.
    UninstallView();

    // Where the changes go; none: nowhere, and the restart question is answered No.
    void SetScreen(UninstallScreen* screen) { screen_ = screen; }

    // ---- the checkbox list (1010)
    int ItemCount() const { return static_cast<int>(items_.size()); }
    // An empty text for an index outside the list.
    std::string ItemText(int index) const;
    bool IsItemChecked(int index) const;
    void CheckItem(int index);
    // Appends an unticked item.
    void AddItem(std::string text);
    void DeleteItem(int index);
    const std::vector<UninstallItem>& Items() const { return items_; }
    // The user's click on a check box, as the window reads it from the
    // control: nothing to show.
    void TakeUserCheck(int index, bool checked);

    // ---- the status list (1008): lines are only added; the window selects
    // the newest, so that it is always visible. `id`: the number of the
    // string the line was made from, 0 for a text of its own.
    void AddStatusLine(std::string text, int32_t id = 0);
    const std::vector<std::string>& StatusLines() const { return status_; }
    int32_t StatusLineId(size_t index) const {
        return index < statusIds_.size() ? statusIds_[index] : 0;
    }

    // ---- the instruction text (1006) and the enabled state of IDC_UNINSTALL,
    // IDC_ITEM_LIST, IDC_SELECT_ALL and kExitButton, as a dialog's view
    void SetInstruction(std::string text);
    std::string Instruction() const;
    void Enable(int id, bool enabled);
    bool Enabled(int id) const { return controls_.Enabled(id); }
    PageView& Controls() { return controls_; }

    // ---- the restart question, asked of the screen
    int AskRestart();
    // How often it was asked.
    int RestartQuestions() const { return restartQuestions_; }

private:
    bool InRange(int index) const { return index >= 0 && index < ItemCount(); }
    void Changed() {
        if (screen_) screen_->Changed(*this);
    }

    PageView controls_;
    std::vector<UninstallItem> items_;
    std::vector<std::string> status_;
    std::vector<int32_t> statusIds_;
    int restartQuestions_ = 0;
    UninstallScreen* screen_ = nullptr;
};

}  // namespace uninstall
