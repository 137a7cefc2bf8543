// The two plain modal dialogs of Uninstall: the restart question (129) and
// the About box (100). Neither has handlers of its own beyond closing.
#pragma once

#include "platform/win32/WindowsApi.h"

namespace uninstall {

class RestartDialog {
public:
    // Shows dialog 129 owned by `owner`; IDOK (1) for "&Yes", IDCANCEL (2) for "&No".
    static int Show(HWND owner);
};

class AboutDialog {
public:
    static void Show(HWND owner);
};

}  // namespace uninstall
