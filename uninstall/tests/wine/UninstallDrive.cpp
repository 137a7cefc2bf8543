// Test tooling: drives a running Uninstall.exe from outside, the way a user
// would with the mouse, and prints what the window says.
//
//   UninstallDrive.exe [no|yes]
//   UninstallDrive.exe message <caption>
//   UninstallDrive.exe count <title>
//   UninstallDrive.exe window <title> <seconds>
//
// The first form waits for the window "Uninstall", clicks Select All and
// Uninstall, answers the restart dialog (No unless "yes" is given), waits
// until Exit is enabled again, prints every status line ("status: ...") and
// which buttons are enabled ("enabled: ..."), then clicks Exit. Exits 0 when
// the run ended.
//
// The second form waits for a message box with that caption, prints its text
// ("message: ..."), presses OK, and prints "ended" once no window "Uninstall"
// is left. Exits 0 when it ended.
//
// "count" prints how many top-level windows carry the title ("windows: N").
// "window" shows a top-level window with the title for that many seconds
// (another program's window, as Setup's would be).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HWND WaitWindow(const char* title, int tenths) {
    for (int i = 0; i < tenths; ++i) {
        if (HWND window = FindWindowA(nullptr, title)) return window;
        Sleep(100);
    }
    return nullptr;
}

void Click(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string WindowText(HWND window) {
    // Read as UTF-16: the window belongs to another process.
    wchar_t wide[512] = {};
    char text[1024] = {};
    GetWindowTextW(window, wide, 511);
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

int ReadMessage(const char* caption) {
    HWND box = WaitWindow(caption, 300);
    if (!box) {
        std::printf("no message box\n");
        return 1;
    }
    // The text of a message box is its static control 0xFFFF.
    std::printf("message: %s\n", WindowText(GetDlgItem(box, 0xFFFF)).c_str());
    std::fflush(stdout);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int i = 0; i < 300; ++i) {
        if (!FindWindowA(nullptr, "Uninstall")) {
            std::printf("ended\n");
            return 0;
        }
        Sleep(100);
    }
    return 1;
}

struct Count {
    const char* title;
    int found;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM data) {
    auto* count = reinterpret_cast<Count*>(data);
    if (WindowText(window) == count->title) ++count->found;
    return TRUE;
}

int ShowWindowFor(const char* title, int seconds) {
    HWND window = CreateWindowExA(0, "STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300,
                                  100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) return 1;
    std::printf("shown\n");
    std::fflush(stdout);
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    MSG message;
    while (GetTickCount() < end) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(50);
    }
    DestroyWindow(window);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2 && std::strcmp(argv[1], "message") == 0) return ReadMessage(argv[2]);
    if (argc > 2 && std::strcmp(argv[1], "count") == 0) {
        Count count{argv[2], 0};
        EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&count));
        std::printf("windows: %d\n", count.found);
        return 0;
    }
    if (argc > 3 && std::strcmp(argv[1], "window") == 0)
        return ShowWindowFor(argv[2], std::atoi(argv[3]));
    const bool restart = argc > 1 && std::strcmp(argv[1], "yes") == 0;
    HWND dialog = WaitWindow("Uninstall", 300);
    if (!dialog) {
        std::printf("no window\n");
        return 1;
    }
    Click(dialog, 1012);  // Select All
    Sleep(500);
    Click(dialog, 1002);  // Uninstall
    Sleep(1000);

    // The run: wait for the restart question or for Exit to come back.
    HWND exitButton = GetDlgItem(dialog, 2);
    bool asked = false;
    for (int i = 0; i < 1800; ++i) {
        if (!asked) {
            if (HWND question = FindWindowA(nullptr, "Restart Computer")) {
                asked = true;
                std::printf("restart dialog shown\n");
                std::fflush(stdout);
                Sleep(3000);  // time for a look at it
                PostMessageA(question, WM_COMMAND, MAKEWPARAM(restart ? IDOK : IDCANCEL, BN_CLICKED),
                             0);
            }
        }
        if (IsWindowEnabled(exitButton)) break;
        Sleep(100);
    }
    Sleep(300);

    const int lines = static_cast<int>(SendMessageA(GetDlgItem(dialog, 1008), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < lines; ++i) {
        // Read as UTF-16: the list box belongs to another process.
        wchar_t wide[512] = {};
        char text[1024] = {};
        if (SendMessageW(GetDlgItem(dialog, 1008), LB_GETTEXTLEN, i, 0) < 511)
            SendMessageW(GetDlgItem(dialog, 1008), LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        std::printf("status: %s\n", text);
    }
    std::string enabled;
    for (int id : {1002, 1010, 1012, 2})
        if (IsWindowEnabled(GetDlgItem(dialog, id))) enabled += " " + std::to_string(id);
    std::printf("enabled:%s\n", enabled.c_str());
    const bool ended = IsWindowEnabled(exitButton) != FALSE;
    Click(dialog, 2);  // Exit
    return ended ? 0 : 1;
}
