#include "uninstall/UninstallView.h"

#include "uninstall/UninstallState.h"

namespace uninstall {

UninstallView::UninstallView() {
    controls_.Declare(IDC_INSTRUCTION);
    for (int id : {IDC_UNINSTALL, IDC_ITEM_LIST, IDC_SELECT_ALL, kExitButton})
        controls_.Declare(id);
}

std::string UninstallView::ItemText(int index) const {
    return InRange(index) ? items_[static_cast<size_t>(index)].text : std::string();
}

bool UninstallView::IsItemChecked(int index) const {
    return InRange(index) && items_[static_cast<size_t>(index)].checked;
}

void UninstallView::CheckItem(int index) {
    if (!InRange(index)) return;
    items_[static_cast<size_t>(index)].checked = true;
    Changed();
}

void UninstallView::AddItem(std::string text) {
    items_.push_back({std::move(text), false});
    Changed();
}

void UninstallView::DeleteItem(int index) {
    if (!InRange(index)) return;
    items_.erase(items_.begin() + index);
    Changed();
}

void UninstallView::TakeUserCheck(int index, bool checked) {
    if (InRange(index)) items_[static_cast<size_t>(index)].checked = checked;
}

void UninstallView::AddStatusLine(std::string text, int32_t id) {
    status_.push_back(std::move(text));
    statusIds_.push_back(id);
    Changed();
}

void UninstallView::SetInstruction(std::string text) {
    controls_.SetText(IDC_INSTRUCTION, std::move(text));
    Changed();
}

std::string UninstallView::Instruction() const { return controls_.Text(IDC_INSTRUCTION); }

void UninstallView::Enable(int id, bool enabled) {
    controls_.Enable(id, enabled);
    Changed();
}

int UninstallView::AskRestart() {
    ++restartQuestions_;
    // No without a screen: no restart that nobody was asked for.
    return screen_ ? screen_->AskRestart() : kRestartNo;
}

}  // namespace uninstall
