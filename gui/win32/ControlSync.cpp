#include "gui/win32/ControlSync.h"

#include <string>

namespace gui {

namespace {

bool IsCheckButton(HWND control) {
    char cls[16] = {};
    ::GetClassNameA(control, cls, sizeof cls);
    if (::lstrcmpiA(cls, "Button") != 0) return false;
    const LONG type = ::GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
           type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
}

std::string WindowText(HWND control) {
    const int length = ::GetWindowTextLengthA(control);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = ::GetWindowTextA(control, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

}  // namespace

void ControlSync::Apply(HWND dialog, PageView& view, bool all) {
    if (all) {
        view.MarkAllChanged();
        listRevisions_.clear();
    }
    for (int id : view.TakeChanged()) {
        HWND control = ::GetDlgItem(dialog, id);
        if (!control) continue;
        const ControlState& state = view.At(id);
        if (state.list) {
            const ComboList& list = *state.list;
            auto known = listRevisions_.find(id);
            if (known == listRevisions_.end() || known->second != list.Revision()) {
                // Inserted at their places, so that the control shows the
                // entries in exactly the order the page logic holds them.
                ::SendMessageA(control, CB_RESETCONTENT, 0, 0);
                for (int i = 0; i < list.Count(); ++i)
                    ::SendMessageA(control, CB_INSERTSTRING, static_cast<WPARAM>(i),
                                   reinterpret_cast<LPARAM>(list.Text(i).c_str()));
                listRevisions_[id] = list.Revision();
            }
            ::SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(list.Selection()), 0);
        } else if (state.text && WindowText(control) != *state.text) {
            ::SetWindowTextA(control, state.text->c_str());
        }
        if (IsCheckButton(control)) {
            const WPARAM check = state.checked ? BST_CHECKED : BST_UNCHECKED;
            if (static_cast<WPARAM>(::SendMessageA(control, BM_GETCHECK, 0, 0)) != check)
                ::SendMessageA(control, BM_SETCHECK, check, 0);
        }
        // After the check: a radio button takes or drops WS_TABSTOP with it.
        if (state.tabStop) {
            const LONG style = ::GetWindowLongA(control, GWL_STYLE);
            const LONG wanted = *state.tabStop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
            if (wanted != style) ::SetWindowLongA(control, GWL_STYLE, wanted);
        }
        if ((::IsWindowEnabled(control) != FALSE) != state.enabled)
            ::EnableWindow(control, state.enabled ? TRUE : FALSE);
        const bool visible = (::GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
        if (visible != state.visible) ::ShowWindow(control, state.visible ? SW_SHOWNA : SW_HIDE);
    }
    if (const int focus = view.TakeFocus()) {
        if (HWND control = ::GetDlgItem(dialog, focus))
            ::SendMessageA(::GetAncestor(dialog, GA_ROOT), WM_NEXTDLGCTL,
                           reinterpret_cast<WPARAM>(control), TRUE);
    }
}

void ControlSync::ReadChecks(HWND dialog, PageView& view) {
    for (int id : view.Ids()) {
        HWND control = ::GetDlgItem(dialog, id);
        if (!control || !IsCheckButton(control)) continue;
        view.TakeUserCheck(id, ::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
    }
}

}  // namespace gui
