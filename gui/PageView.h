// What a dialog's controls show, held by the page logic: text, enabled,
// visible and checked state, and for a combo box its entries and selection.
//
// The page logic changes this view only; the window procedures copy it to
// the real controls (and copy the user's check-box clicks back before the
// page reads them), so the tests read exactly what the screen shows.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// Case-insensitive order of ANSI texts in the manner of lstrcmpiA (the order
// of a sorted combo box): hyphens and apostrophes weigh only when the texts
// are otherwise equal; other punctuation comes before digits and digits
// before letters. Returns <0, 0 or >0.
int CompareAnsiNoCase(std::string_view a, std::string_view b);

// The entries of a combo box and its selection.
class ComboList {
public:
    explicit ComboList(bool sorted = false) : sorted_(sorted) {}

    bool Sorted() const { return sorted_; }
    // Adds an entry where the control puts it (the end, or its sorted place
    // after the equal ones); returns its index.
    int Add(std::string text);
    // Empties the list; the selection goes with it.
    void Clear();
    int Count() const { return static_cast<int>(entries_.size()); }
    const std::string& Text(int index) const { return entries_.at(static_cast<size_t>(index)); }
    const std::vector<std::string>& Entries() const { return entries_; }

    // Selects entry `index`; an index outside the list removes the selection
    // and gives false, as CB_SETCURSEL does.
    bool Select(int index);
    int Selection() const { return selection_; }
    // The selected entry's text; empty without a selection.
    std::string SelectedText() const;

    // The first entry (from entry 0) whose text contains `part`, or -1.
    int FindContaining(std::string_view part) const;
    int FindContainingBoth(std::string_view first, std::string_view second) const;
    // CB_FINDSTRING: the first entry that begins with `prefix` (without regard
    // to case), searching from the entry after `after` and wrapping round;
    // -1 when none does.
    int FindPrefix(std::string_view prefix, int after) const;

    // Counts changes of the entries, so a window copies them only when needed.
    uint32_t Revision() const { return revision_; }

private:
    bool sorted_;
    std::vector<std::string> entries_;
    int selection_ = -1;
    uint32_t revision_ = 0;
};

struct ControlState {
    std::optional<std::string> text;  // unset: the template's text stays
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    // WS_TABSTOP; unset: as the template (and the control itself) has it.
    std::optional<bool> tabStop;
    std::optional<ComboList> list;  // combo boxes only
};

class PageView {
public:
    // Declares a control with its template state.
    ControlState& Declare(int id, bool enabled = true, bool visible = true);
    ControlState& DeclareList(int id, bool sorted, std::vector<std::string> entries = {});

    bool Has(int id) const { return controls_.count(id) != 0; }
    const ControlState& At(int id) const { return controls_.at(id); }

    void SetText(int id, std::string text);
    void Enable(int id, bool enabled);
    void Show(int id, bool visible);
    void Check(int id, bool checked);
    // Whether Tab stops at the control.
    void SetTabStop(int id, bool tabStop);
    // CheckRadioButton: checks `id` and unchecks every other control of the
    // view whose id lies in first..last.
    void CheckRadio(int first, int last, int id);
    // A combo box's list, for changes (the control is marked for copying).
    ComboList& List(int id);
    const ComboList& List(int id) const;

    std::string Text(int id) const { return At(id).text.value_or(std::string()); }
    bool Enabled(int id) const { return At(id).enabled; }
    bool Visible(int id) const { return At(id).visible; }
    bool Checked(int id) const { return At(id).checked; }
    std::optional<bool> TabStop(int id) const { return At(id).tabStop; }

    // The control that should get the focus next (0: none asked).
    void SetFocus(int id) { focus_ = id; }
    int TakeFocus() { int f = focus_; focus_ = 0; return f; }

    // Controls changed since the window last copied the view; TakeChanged
    // hands them over and forgets them.
    std::set<int> TakeChanged();
    void MarkAllChanged();
    std::vector<int> Ids() const;

    // The user's click on a check box or radio button, as the window reads it
    // back from the control (no change is recorded for copying).
    void TakeUserCheck(int id, bool checked) { controls_.at(id).checked = checked; }

private:
    ControlState& Mark(int id);

    std::map<int, ControlState> controls_;
    std::set<int> changed_;
    int focus_ = 0;
};
