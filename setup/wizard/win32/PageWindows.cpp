#include "setup/wizard/win32/PageWindows.h"

#include <commctrl.h>

#include "setup/engine/Messages.h"
#include "setup/res/resource.h"

namespace gui {

namespace {

int ComboSelection(LPARAM control) {
    return static_cast<int>(
        ::SendMessageA(reinterpret_cast<HWND>(control), CB_GETCURSEL, 0, 0));
}

}  // namespace

// ---------------------------------------------------------------- module page

std::span<const ModulePageWindow::Route> ModulePageWindow::Routes() {
    static const Route routes[] = {
        {WM_INITDIALOG, kAny, kAny, &ModulePageWindow::OnInitDialog},
        {WM_COMMAND, IDC_MODULE_RECEIPT, BN_CLICKED, &ModulePageWindow::OnModuleClicked},
        {WM_COMMAND, IDC_MODULE_TICKET, BN_CLICKED, &ModulePageWindow::OnModuleClicked},
        {WM_COMMAND, IDC_MODULE_LABEL, BN_CLICKED, &ModulePageWindow::OnModuleClicked},
        {WM_COMMAND, IDC_MODULE_EMBEDDED, BN_CLICKED, &ModulePageWindow::OnModuleClicked},
        {WM_COMMAND, IDC_LIST_RECEIPT, CBN_SELCHANGE, &ModulePageWindow::OnListChanged},
        {WM_COMMAND, IDC_LIST_TICKET, CBN_SELCHANGE, &ModulePageWindow::OnListChanged},
        {WM_COMMAND, IDC_LIST_LABEL, CBN_SELCHANGE, &ModulePageWindow::OnListChanged},
        {WM_COMMAND, IDC_LIST_EMBEDDED, CBN_SELCHANGE, &ModulePageWindow::OnListChanged},
    };
    return routes;
}

INT_PTR ModulePageWindow::OnInitDialog(WPARAM, LPARAM) {
    page_.Initialize();
    SyncAll();
    return TRUE;
}

INT_PTR ModulePageWindow::OnModuleClicked(WPARAM wParam, LPARAM) {
    ReadBack();
    page_.ModuleClicked(ModulePage::ModuleOfControl(LOWORD(wParam)));
    Sync();
    return TRUE;
}

INT_PTR ModulePageWindow::OnListChanged(WPARAM wParam, LPARAM lParam) {
    page_.ListSelectionChanged(ModulePage::ModuleOfControl(LOWORD(wParam)), ComboSelection(lParam));
    Sync();
    return TRUE;
}

// ---------------------------------------------------------------- setup-type page

std::span<const SetupTypePageWindow::Route> SetupTypePageWindow::Routes() {
    static const Route routes[] = {
        {WM_INITDIALOG, kAny, kAny, &SetupTypePageWindow::OnInitDialog},
        {WM_COMMAND, IDC_TYPICAL, BN_CLICKED, &SetupTypePageWindow::OnTypical},
        {WM_COMMAND, IDC_ADVANCED, BN_CLICKED, &SetupTypePageWindow::OnAdvanced},
    };
    return routes;
}

INT_PTR SetupTypePageWindow::OnInitDialog(WPARAM, LPARAM) {
    page_.Initialize();
    SyncAll();
    return TRUE;
}

INT_PTR SetupTypePageWindow::OnTypical(WPARAM, LPARAM) {
    page_.TypicalClicked();
    Sync();
    return TRUE;
}

INT_PTR SetupTypePageWindow::OnAdvanced(WPARAM, LPARAM) {
    page_.AdvancedClicked();
    Sync();
    return TRUE;
}

// ---------------------------------------------------------------- OS page

std::span<const OsPageWindow::Route> OsPageWindow::Routes() {
    static const Route routes[] = {
        {WM_INITDIALOG, kAny, kAny, &OsPageWindow::OnInitDialog},
    };
    return routes;
}

INT_PTR OsPageWindow::OnInitDialog(WPARAM, LPARAM) {
    page_.Initialize(state_.windows, state_.context);
    SyncAll();
    return TRUE;
}

// ---------------------------------------------------------------- port page

std::span<const PortPageWindow::Route> PortPageWindow::Routes() {
    static const Route routes[] = {
        {WM_INITDIALOG, kAny, kAny, &PortPageWindow::OnInitDialog},
        {WM_COMMAND, IDC_PORT, CBN_SELCHANGE, &PortPageWindow::OnListChanged},
        {WM_COMMAND, IDC_BAUD, CBN_SELCHANGE, &PortPageWindow::OnListChanged},
        {WM_COMMAND, IDC_DATA_BITS, CBN_SELCHANGE, &PortPageWindow::OnListChanged},
        {WM_COMMAND, IDC_PARITY, CBN_SELCHANGE, &PortPageWindow::OnListChanged},
        {WM_COMMAND, IDC_STOP_BITS, CBN_SELCHANGE, &PortPageWindow::OnListChanged},
        {WM_COMMAND, IDC_FLOW, CBN_SELCHANGE, &PortPageWindow::OnListChanged},
        {WM_CTLCOLORSTATIC, kAny, kAny, &PortPageWindow::OnCtlColorStatic},
    };
    return routes;
}

INT_PTR PortPageWindow::OnInitDialog(WPARAM, LPARAM) {
    page_.Initialize();

    // The tool tip of the raster check box, needed most while the box is
    // greyed (Advanced with a serial port). A disabled control gets no mouse
    // messages, its page does: one tool over the box's place on the page,
    // one on the box itself for when it is enabled. The tool tip sees their
    // messages through its own subclasses.
    tooltip_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 hwnd_, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (HWND raster = ::GetDlgItem(hwnd_, IDC_RASTER); tooltip_ && raster) {
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = IDC_RASTER;
        ::GetWindowRect(raster, &tool.rect);
        ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&tool.rect), 2);
        tool.lpszText = const_cast<char*>(msg::kF1Help);
        ::SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.uId = reinterpret_cast<UINT_PTR>(raster);
        ::SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
        ::SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, 200);
        ::SendMessageA(tooltip_, TTM_ACTIVATE, TRUE, 0);
    }

    note_.Attach(hwnd_, IDC_USB_NOTE);
    note_.SetTextColor(RGB(0, 0, 255));
    note_.SetBackgroundColor(RGB(255, 202, 253));
    note_.SetFontHeight(14);
    note_.SetFontFace("Arial");

    SyncAll();
    return TRUE;
}

INT_PTR PortPageWindow::OnListChanged(WPARAM wParam, LPARAM lParam) {
    page_.SelectionChanged(LOWORD(wParam), ComboSelection(lParam));
    Sync();
    return TRUE;
}

INT_PTR PortPageWindow::OnCtlColorStatic(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(lParam) != note_.Hwnd() || !note_.Hwnd()) return FALSE;
    return reinterpret_cast<INT_PTR>(note_.OnCtlColor(reinterpret_cast<HDC>(wParam)));
}

}  // namespace gui
