#include "gui/PageView.h"

#include <algorithm>
#include <cctype>

#include "common/Text.h"

namespace {

// The weight class of a character: punctuation and other signs, digits, letters.
int CharClass(unsigned char c) {
    if (std::isdigit(c)) return 1;
    if (std::isalpha(c) || c >= 0x80) return 2;
    return 0;
}

bool IsIgnorable(unsigned char c) { return c == '-' || c == '\''; }

int CompareChars(unsigned char a, unsigned char b) {
    const int ca = CharClass(a), cb = CharClass(b);
    if (ca != cb) return ca < cb ? -1 : 1;
    const int la = std::tolower(a), lb = std::tolower(b);
    return la == lb ? 0 : (la < lb ? -1 : 1);
}

// One pass over both texts, optionally skipping the ignorable signs.
int ComparePass(std::string_view a, std::string_view b, bool skipIgnorable) {
    size_t i = 0, j = 0;
    for (;;) {
        if (skipIgnorable) {
            while (i < a.size() && IsIgnorable(static_cast<unsigned char>(a[i]))) ++i;
            while (j < b.size() && IsIgnorable(static_cast<unsigned char>(b[j]))) ++j;
        }
        if (i == a.size() || j == b.size()) {
            if (i == a.size() && j == b.size()) return 0;
            return i == a.size() ? -1 : 1;
        }
        const int c = CompareChars(static_cast<unsigned char>(a[i]), static_cast<unsigned char>(b[j]));
        if (c != 0) return c;
        ++i;
        ++j;
    }
}

}  // namespace

int CompareAnsiNoCase(std::string_view a, std::string_view b) {
    const int first = ComparePass(a, b, true);
    return first != 0 ? first : ComparePass(a, b, false);
}

// ---------------------------------------------------------------- ComboList

int ComboList::Add(std::string text) {
    ++revision_;
    if (!sorted_) {
        entries_.push_back(std::move(text));
        return Count() - 1;
    }
    const auto at = std::upper_bound(
        entries_.begin(), entries_.end(), text,
        [](const std::string& a, const std::string& b) { return CompareAnsiNoCase(a, b) < 0; });
    const int index = static_cast<int>(at - entries_.begin());
    entries_.insert(at, std::move(text));
    // The selected entry moves with the insertion, as in the control.
    if (selection_ >= index) ++selection_;
    return index;
}

void ComboList::Clear() {
    ++revision_;
    entries_.clear();
    selection_ = -1;
}

bool ComboList::Select(int index) {
    if (index < 0 || index >= Count()) {
        selection_ = -1;
        return false;
    }
    selection_ = index;
    return true;
}

std::string ComboList::SelectedText() const {
    return selection_ >= 0 ? entries_[static_cast<size_t>(selection_)] : std::string();
}

int ComboList::FindContaining(std::string_view part) const {
    for (int i = 0; i < Count(); ++i)
        if (Text(i).find(part) != std::string::npos) return i;
    return -1;
}

int ComboList::FindContainingBoth(std::string_view first, std::string_view second) const {
    for (int i = 0; i < Count(); ++i)
        if (Text(i).find(first) != std::string::npos && Text(i).find(second) != std::string::npos)
            return i;
    return -1;
}

int ComboList::FindPrefix(std::string_view prefix, int after) const {
    const int n = Count();
    if (n == 0) return -1;
    const int start = (after < 0 || after >= n) ? 0 : after + 1;
    for (int k = 0; k < n; ++k) {
        const int i = (start + k) % n;
        if (StartsWithIgnoringCase(Text(i), prefix)) return i;
    }
    return -1;
}

// ---------------------------------------------------------------- PageView

ControlState& PageView::Declare(int id, bool enabled, bool visible) {
    ControlState& c = controls_[id];
    c.enabled = enabled;
    c.visible = visible;
    changed_.insert(id);
    return c;
}

ControlState& PageView::DeclareList(int id, bool sorted, std::vector<std::string> entries) {
    ControlState& c = Declare(id);
    c.list.emplace(sorted);
    for (auto& e : entries) c.list->Add(std::move(e));
    return c;
}

ControlState& PageView::Mark(int id) {
    changed_.insert(id);
    return controls_.at(id);
}

void PageView::SetText(int id, std::string text) { Mark(id).text = std::move(text); }
void PageView::Enable(int id, bool enabled) { Mark(id).enabled = enabled; }
void PageView::Show(int id, bool visible) { Mark(id).visible = visible; }
void PageView::Check(int id, bool checked) { Mark(id).checked = checked; }
void PageView::SetTabStop(int id, bool tabStop) { Mark(id).tabStop = tabStop; }

void PageView::CheckRadio(int first, int last, int id) {
    for (auto& [cid, state] : controls_) {
        if (cid < first || cid > last) continue;
        const bool on = (cid == id);
        if (state.checked != on) {
            state.checked = on;
            changed_.insert(cid);
        }
    }
}

ComboList& PageView::List(int id) { return *Mark(id).list; }
const ComboList& PageView::List(int id) const { return *At(id).list; }

std::set<int> PageView::TakeChanged() {
    std::set<int> out;
    out.swap(changed_);
    return out;
}

void PageView::MarkAllChanged() {
    for (const auto& entry : controls_) changed_.insert(entry.first);
}

std::vector<int> PageView::Ids() const {
    std::vector<int> ids;
    for (const auto& entry : controls_) ids.push_back(entry.first);
    return ids;
}
