#include "uninstall/gui/UninstallDialog.h"

#include <commctrl.h>

#include "platform/Windows.h"
#include "uninstall/UninstallDialogLogic.h"
#include "uninstall/gui/SmallDialogs.h"
#include "uninstall/res/UninstallIds.h"

namespace uninstall {

namespace {

constexpr int kItemTextCapacity = 260;
constexpr UINT kCheckedImage = 2;  // state image 1 is the empty box, 2 the ticked one

plat::Window AsWindow(HWND window) { return reinterpret_cast<plat::Window>(window); }

}  // namespace

// ---------------------------------------------------------------- controls

LRESULT DialogControls::ToList(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageA(Item(IDC_ITEM_LIST), message, wParam, lParam);
}

int DialogControls::ItemCount() { return static_cast<int>(ToList(LVM_GETITEMCOUNT, 0, 0)); }

std::string DialogControls::ItemText(int index) {
    char text[kItemTextCapacity] = {};
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = kItemTextCapacity;
    ToList(LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    text[kItemTextCapacity - 1] = '\0';
    return text;
}

bool DialogControls::IsItemChecked(int index) {
    const auto state = static_cast<UINT>(
        ToList(LVM_GETITEMSTATE, static_cast<WPARAM>(index), LVIS_STATEIMAGEMASK));
    return ((state & LVIS_STATEIMAGEMASK) >> 12) == kCheckedImage;
}

void DialogControls::CheckItem(int index) {
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(kCheckedImage);
    ToList(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void DialogControls::AddItem(const std::string& text) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = ItemCount();
    item.pszText = const_cast<char*>(text.c_str());
    ToList(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void DialogControls::DeleteItem(int index) {
    ToList(LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
}

void DialogControls::AddStatusLine(const std::string& text) {
    const HWND status = Item(IDC_STATUS_LIST);
    const LRESULT line = SendMessageA(status, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (line >= 0) SendMessageA(status, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
}

void DialogControls::SetInstruction(const std::string& text) {
    SetDlgItemTextA(dialog_, IDC_INSTRUCTION, text.c_str());
}

void DialogControls::EnableControl(int id, bool enable) {
    EnableWindow(Item(id), enable ? TRUE : FALSE);
}

int DialogControls::ShowRestartDialog() { return RestartDialog::Show(dialog_); }

// ---------------------------------------------------------------- dialog

UninstallDialog::UninstallDialog(plat::Windows& windows, const std::string& appName)
    : windows_(windows), ini_(windows, state_), engine_(windows, state_, ini_, controls_) {
    state_.appName = appName;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    icon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_UNINSTALL), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                          LR_SHARED));
    smallIcon_ = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_UNINSTALL),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

INT_PTR UninstallDialog::RunModal() {
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_UNINSTALL), nullptr,
                        DialogProc, reinterpret_cast<LPARAM>(this));
    engine_.Wait();
    return result;
}

INT_PTR CALLBACK UninstallDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        reinterpret_cast<UninstallDialog*>(lParam)->hwnd_ = dialog;
    }
    auto* self = reinterpret_cast<UninstallDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!self) return FALSE;
    try {
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        // Nothing may leave a window procedure; the message counts as unhandled.
        return FALSE;
    }
}

INT_PTR UninstallDialog::Handle(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return TRUE;
        case WM_CLOSE:
            Close(IDCANCEL);
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
                AboutDialog::Show(hwnd_);
                return TRUE;
            }
            return FALSE;
        case WM_HELP:
            OpenHelp(windows_, state_.appName);
            SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_PAINT:
            return OnPaint() ? TRUE : FALSE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(icon_);
        default:
            return FALSE;
    }
}

BOOL UninstallDialog::OnInitDialog() {
    controls_.Attach(hwnd_);
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
    SendDlgItemMessageA(hwnd_, IDC_ITEM_LIST, LVM_SETEXTENDEDLISTVIEWSTYLE, styles, styles);

    if (!RunStartUpChecks(windows_, state_, ini_, controls_, AsWindow(hwnd_))) {
        EndDialog(hwnd_, IDCANCEL);
        return FALSE;
    }
    // Without the spooler library the dialog stays open; drivers are then
    // deleted with the plain call.
    return LoadSpooler(windows_, state_, AsWindow(hwnd_)) ? TRUE : FALSE;
}

void UninstallDialog::OnCommand(int id) {
    switch (id) {
        case IDOK:
        case IDCANCEL:
            Close(id);
            break;
        case IDC_UNINSTALL:
            engine_.OnUninstall();
            break;
        case IDC_SELECT_ALL:
            SelectAll(controls_);
            break;
        default:
            break;
    }
}

void UninstallDialog::Close(int result) {
    // While the worker runs, Enter, Escape and the close box do nothing: the
    // dialog and what the worker reads stay until it has ended.
    if (engine_.Running()) return;
    EndDialog(hwnd_, result);
}

bool UninstallDialog::OnPaint() {
    if (!IsIconic(hwnd_)) return false;
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(hwnd_, &paint);
    SendMessageA(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(hwnd_, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon_);
    EndPaint(hwnd_, &paint);
    return true;
}

}  // namespace uninstall
