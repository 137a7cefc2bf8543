#include "uninstall/gui/UninstallDialogWindow.h"

#include <commctrl.h>

#include <cstddef>

#include "platform/Windows.h"
#include "uninstall/gui/SmallDialogs.h"
#include "uninstall/res/UninstallIds.h"

namespace uninstall {

namespace {

// Sent by the view's screen when the view has changed.
constexpr UINT kViewChanged = WM_APP + 1;
// State image 1 is the empty box, 2 the ticked one.
constexpr UINT kUncheckedImage = 1;
constexpr UINT kCheckedImage = 2;

plat::Window AsWindow(HWND window) { return reinterpret_cast<plat::Window>(window); }

bool Ticked(UINT state) { return ((state & LVIS_STATEIMAGEMASK) >> 12) == kCheckedImage; }

}  // namespace

UninstallDialogWindow::UninstallDialogWindow(plat::Windows& windows, const std::string& appName)
    : dialog_(windows, appName) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    icon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_UNINSTALL), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                          LR_SHARED));
    smallIcon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_UNINSTALL),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

std::span<const UninstallDialogWindow::Route> UninstallDialogWindow::Routes() {
    static const Route routes[] = {
        {WM_INITDIALOG, gui::kAny, gui::kAny, &UninstallDialogWindow::OnInitDialog},
        {WM_COMMAND, IDOK, gui::kAny, &UninstallDialogWindow::OnCommandClose},
        {WM_COMMAND, IDCANCEL, gui::kAny, &UninstallDialogWindow::OnCommandClose},
        {WM_COMMAND, IDC_UNINSTALL, BN_CLICKED, &UninstallDialogWindow::OnUninstall},
        {WM_COMMAND, IDC_SELECT_ALL, BN_CLICKED, &UninstallDialogWindow::OnSelectAll},
        {WM_NOTIFY, IDC_ITEM_LIST, static_cast<int>(LVN_ITEMCHANGED),
         &UninstallDialogWindow::OnItemChanged},
        {kViewChanged, gui::kAny, gui::kAny, &UninstallDialogWindow::OnViewChanged},
        {WM_CLOSE, gui::kAny, gui::kAny, &UninstallDialogWindow::OnWindowClose},
        {WM_SYSCOMMAND, IDM_ABOUTBOX, gui::kAny, &UninstallDialogWindow::OnAbout},
        {WM_HELP, gui::kAny, gui::kAny, &UninstallDialogWindow::OnHelp},
        {WM_PAINT, gui::kAny, gui::kAny, &UninstallDialogWindow::OnPaint},
        {WM_QUERYDRAGICON, gui::kAny, gui::kAny, &UninstallDialogWindow::OnQueryDragIcon},
    };
    return routes;
}

INT_PTR UninstallDialogWindow::RunModal() {
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_UNINSTALL), nullptr,
                        &UninstallDialogWindow::Proc, reinterpret_cast<LPARAM>(this));
    dialog_.Wait();
    dialog_.View().SetScreen(nullptr);
    return result;
}

// ---------------------------------------------------------------- the view

void UninstallDialogWindow::Changed(UninstallView&) {
    // From the worker, SendMessage returns once this window's thread has
    // copied the change; on that thread it copies it at once.
    if (hwnd_) SendMessageA(hwnd_, kViewChanged, 0, 0);
}

int UninstallDialogWindow::AskRestart() {
    // Shown from the worker's thread, owned by the main window.
    return hwnd_ ? RestartDialog::Show(hwnd_) : kRestartNo;
}

INT_PTR UninstallDialogWindow::OnViewChanged(WPARAM, LPARAM) {
    ShowView();
    return TRUE;
}

void UninstallDialogWindow::ShowView() {
    UninstallView& view = dialog_.View();
    showing_ = true;
    ShowItems(view.Items());
    ShowStatus(view.StatusLines());
    sync_.Apply(hwnd_, view.Controls());
    showing_ = false;
}

LRESULT UninstallDialogWindow::ToList(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendDlgItemMessageA(hwnd_, IDC_ITEM_LIST, message, wParam, lParam);
}

void UninstallDialogWindow::SetItemCheck(int index, bool checked) const {
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? kCheckedImage : kUncheckedImage);
    ToList(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void UninstallDialogWindow::ShowItems(const std::vector<UninstallItem>& items) {
    // The view's list changes by items added at its end and items deleted
    // from it: walk both lists, deleting what the view no longer holds and
    // inserting what the control lacks, so that the control keeps its scroll
    // position and each step costs one message.
    size_t i = 0;
    while (i < items.size()) {
        if (i < shownItems_.size() && shownItems_[i].text == items[i].text) {
            ++i;
            continue;
        }
        if (shownItems_.size() > items.size()) {
            ToList(LVM_DELETEITEM, static_cast<WPARAM>(i), 0);
            shownItems_.erase(shownItems_.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char*>(items[i].text.c_str());
        ToList(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        // A new item shows an empty box.
        shownItems_.insert(shownItems_.begin() + static_cast<std::ptrdiff_t>(i),
                           {items[i].text, false});
        ++i;
    }
    while (shownItems_.size() > items.size()) {
        ToList(LVM_DELETEITEM, static_cast<WPARAM>(shownItems_.size() - 1), 0);
        shownItems_.pop_back();
    }
    for (size_t k = 0; k < items.size(); ++k)
        if (shownItems_[k].checked != items[k].checked) {
            SetItemCheck(static_cast<int>(k), items[k].checked);
            shownItems_[k].checked = items[k].checked;
        }
}

void UninstallDialogWindow::ShowStatus(const std::vector<std::string>& lines) {
    const HWND status = GetDlgItem(hwnd_, IDC_STATUS_LIST);
    for (; shownLines_ < lines.size(); ++shownLines_) {
        const LRESULT line = SendMessageA(status, LB_ADDSTRING, 0,
                                          reinterpret_cast<LPARAM>(lines[shownLines_].c_str()));
        if (line >= 0) SendMessageA(status, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    }
}

INT_PTR UninstallDialogWindow::OnItemChanged(WPARAM, LPARAM lParam) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
    if (showing_ || !change || !(change->uChanged & LVIF_STATE) ||
        !((change->uOldState ^ change->uNewState) & LVIS_STATEIMAGEMASK))
        return FALSE;
    // The user's click on a box (item -1: on every box).
    const int count = static_cast<int>(shownItems_.size());
    const int first = change->iItem < 0 ? 0 : change->iItem;
    const int last = change->iItem < 0 ? count - 1 : change->iItem;
    for (int i = first; i <= last && i < count; ++i) {
        UninstallItem& shown = shownItems_[static_cast<size_t>(i)];
        if (dialog_.Running()) {
            // The list is the run's: a click that came before the run had
            // disabled it is undone, so the boxes show what the run removes.
            showing_ = true;
            SetItemCheck(i, shown.checked);
            showing_ = false;
            continue;
        }
        shown.checked = Ticked(change->uNewState);
        dialog_.View().TakeUserCheck(i, shown.checked);
    }
    return FALSE;
}

// ---------------------------------------------------------------- the user

INT_PTR UninstallDialogWindow::OnInitDialog(WPARAM, LPARAM) {
    dialog_.View().SetScreen(this);
    if (HMENU menu = GetSystemMenu(hwnd_, FALSE)) {
        char about[128] = {};
        if (LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof about) > 0) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    const DWORD styles =
        LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_TRACKSELECT | LVS_EX_FULLROWSELECT;
    ToList(LVM_SETEXTENDEDLISTVIEWSTYLE, styles, styles);

    if (!dialog_.OnInitDialog(AsWindow(hwnd_))) {
        EndDialog(hwnd_, IDCANCEL);
        return FALSE;
    }
    // FALSE without the spooler library, whose message box took the focus.
    return dialog_.State().spooler ? TRUE : FALSE;
}

void UninstallDialogWindow::Close(int result) {
    // While the worker runs, Enter, Escape and the close box do nothing: the
    // dialog and what the worker reads stay until it has ended.
    if (dialog_.CanClose()) EndDialog(hwnd_, result);
}

INT_PTR UninstallDialogWindow::OnCommandClose(WPARAM wParam, LPARAM) {
    Close(LOWORD(wParam));
    return TRUE;
}

INT_PTR UninstallDialogWindow::OnWindowClose(WPARAM, LPARAM) {
    Close(IDCANCEL);
    return TRUE;
}

INT_PTR UninstallDialogWindow::OnUninstall(WPARAM, LPARAM) {
    dialog_.OnUninstall();
    return TRUE;
}

INT_PTR UninstallDialogWindow::OnSelectAll(WPARAM, LPARAM) {
    dialog_.OnSelectAll();
    return TRUE;
}

INT_PTR UninstallDialogWindow::OnAbout(WPARAM, LPARAM) {
    AboutDialog::Show(hwnd_);
    return TRUE;
}

INT_PTR UninstallDialogWindow::OnHelp(WPARAM, LPARAM) {
    dialog_.OnHelp();
    SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

INT_PTR UninstallDialogWindow::OnPaint(WPARAM, LPARAM) {
    if (!IsIconic(hwnd_)) return FALSE;
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(hwnd_, &paint);
    SendMessageA(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(hwnd_, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(hwnd_, &paint);
    return TRUE;
}

INT_PTR UninstallDialogWindow::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<INT_PTR>(icon_);
}

}  // namespace uninstall
