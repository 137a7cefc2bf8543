#include "gui/win32/DialogBase.h"

namespace gui {

RouteKey KeyOf(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            return {LOWORD(wParam), HIWORD(wParam)};
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (!header) return {};
            return {static_cast<int>(header->idFrom), static_cast<int>(header->code)};
        }
        case WM_TIMER:
            return {static_cast<int>(wParam), kAny};
        case WM_SYSCOMMAND:
            return {static_cast<int>(wParam & 0xFFF0), kAny};
        case WM_DRAWITEM:
            return {static_cast<int>(wParam), kAny};
        default:
            return {};
    }
}

}  // namespace gui
