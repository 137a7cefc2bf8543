// uitarget.exe: windows for the end-to-end tests to drive.
//
//   uitarget.exe dialog         the UI driver's test target: a host dialog
//                               "UiTarget Host" with two child pages (the
//                               same control IDs on both, one page hidden),
//                               a combo box, a list box, check boxes, radio
//                               buttons, a list view with check boxes and a
//                               button that asks a Yes/No question. Control
//                               1006 shows the last notification received.
//   uitarget.exe window TITLE   a plain top-level window with that title,
//                               open until it is closed (for example a
//                               stand-in for another program's main window).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "UiTargetIds.h"

namespace {

struct HostState {
    HWND pageA = nullptr;
    HWND pageB = nullptr;
};

HostState g_host;

void ShowLast(HWND host, const char* text) { SetDlgItemTextA(host, IDC_LAST, text); }

// The pages pass their notifications on to the host, which shows them.
INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_INITDIALOG) {
        if (HWND combo = GetDlgItem(page, IDC_COMBO)) {
            for (const char* entry : {"alpha", "beta", "gamma"})
                SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
            SendMessageA(combo, CB_SETCURSEL, 0, 0);
        }
        if (HWND list = GetDlgItem(page, IDC_LIST)) {
            for (const char* entry : {"one", "two"})
                SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        }
        CheckRadioButton(page, IDC_LEFT, IDC_RIGHT, IDC_LEFT);
        return TRUE;
    }
    if (message == WM_COMMAND) {
        const int id = LOWORD(wparam);
        const int code = HIWORD(wparam);
        char text[200] = "";
        char entry[100] = "";
        if (id == IDC_COMBO && code == CBN_SELCHANGE) {
            const LRESULT i = SendDlgItemMessageA(page, IDC_COMBO, CB_GETCURSEL, 0, 0);
            SendDlgItemMessageA(page, IDC_COMBO, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                reinterpret_cast<LPARAM>(entry));
            std::snprintf(text, sizeof(text), "CBN_SELCHANGE %d %s", id, entry);
        } else if (id == IDC_LIST && code == LBN_SELCHANGE) {
            const LRESULT i = SendDlgItemMessageA(page, IDC_LIST, LB_GETCURSEL, 0, 0);
            SendDlgItemMessageA(page, IDC_LIST, LB_GETTEXT, static_cast<WPARAM>(i),
                                reinterpret_cast<LPARAM>(entry));
            std::snprintf(text, sizeof(text), "LBN_SELCHANGE %d %s", id, entry);
        } else if (code == BN_CLICKED) {
            std::snprintf(text, sizeof(text), "BN_CLICKED %d", id);
        }
        if (text[0] != '\0') ShowLast(GetParent(page), text);
        return TRUE;
    }
    return FALSE;
}

void PlacePage(HWND host, HWND page) {
    RECT frame;
    GetWindowRect(GetDlgItem(host, IDC_FRAME), &frame);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&frame), 2);
    SetWindowPos(page, nullptr, frame.left, frame.top, frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK HostProc(HWND host, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG: {
            HINSTANCE instance = GetModuleHandleA(nullptr);
            g_host.pageA = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_TARGET_PAGE_A), host,
                                              PageProc, 0);
            g_host.pageB = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_TARGET_PAGE_B), host,
                                              PageProc, 0);
            PlacePage(host, g_host.pageA);
            PlacePage(host, g_host.pageB);
            ShowWindow(g_host.pageA, SW_SHOW);
            HWND items = GetDlgItem(host, IDC_ITEMS);
            SendMessageA(items, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES,
                         LVS_EX_CHECKBOXES);
            const char* names[] = {"first", "second", "third"};
            for (int i = 0; i < 3; ++i) {
                LVITEMA item{};
                item.mask = LVIF_TEXT;
                item.iItem = i;
                item.pszText = const_cast<char*>(names[i]);
                SendMessageA(items, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            }
            return TRUE;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lparam);
            if (header->idFrom == IDC_ITEMS && header->code == LVN_ITEMCHANGED) {
                const auto* change = reinterpret_cast<const NMLISTVIEW*>(lparam);
                if ((change->uChanged & LVIF_STATE) == 0) break;
                char text[200];
                const UINT image = (change->uNewState & LVIS_STATEIMAGEMASK) >> 12;
                std::snprintf(text, sizeof(text), "LVN_ITEMCHANGED %d item %d%s%s",
                              static_cast<int>(header->idFrom), change->iItem,
                              image == 2 ? " ticked" : (image == 1 ? " clear" : ""),
                              (change->uNewState & LVIS_SELECTED) ? " selected" : "");
                ShowLast(host, text);
            }
            break;
        }
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDOK: {
                    // Next: the other page.
                    const bool aShown = IsWindowVisible(g_host.pageA) != FALSE;
                    ShowWindow(g_host.pageA, aShown ? SW_HIDE : SW_SHOW);
                    ShowWindow(g_host.pageB, aShown ? SW_SHOW : SW_HIDE);
                    return TRUE;
                }
                case IDCANCEL:
                    EndDialog(host, IDCANCEL);
                    return TRUE;
                case IDC_ASK: {
                    const int answer = MessageBoxA(host, "Go on?\nSecond line", "UiTarget",
                                                   MB_YESNO | MB_ICONQUESTION);
                    SetDlgItemTextA(host, IDC_ANSWER,
                                    answer == IDYES ? "answer: yes" : "answer: no");
                    return TRUE;
                }
                default:
                    break;
            }
            break;
        default:
            break;
    }
    return FALSE;
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

int PlainWindow(const char* title) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "UiTargetPlainWindow";
    if (!RegisterClassA(&wc)) return 1;
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW, 40, 40, 320, 160,
                                nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return 1;
    ShowWindow(hwnd, SW_SHOW);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    if (argc == 2 && std::strcmp(argv[1], "dialog") == 0) {
        return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_TARGET_HOST),
                               nullptr, HostProc, 0) == IDCANCEL
                   ? 0
                   : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "window") == 0) return PlainWindow(argv[2]);
    std::fputs("usage: uitarget.exe dialog | uitarget.exe window TITLE\n", stderr);
    return 2;
}
