// A small table-driven dialog base: each dialog class lists its handlers by
// window message, control id and notification code, and the one dialog
// procedure finds the dialog's object through the window's DWLP_USER slot
// and calls the first matching handler.
//
// No exception leaves the dialog procedure: a handler that throws counts as
// "not handled".
#pragma once

#include "platform/win32/WindowsApi.h"

#include <span>

namespace gui {

inline constexpr int kAny = -1;

// The control id and notification code a message carries: WM_COMMAND
// (LOWORD / HIWORD of wParam), WM_NOTIFY (idFrom / code), WM_TIMER (timer
// id), WM_SYSCOMMAND (command), WM_DRAWITEM (control id); kAny otherwise.
struct RouteKey {
    int id = kAny;
    int code = kAny;
};
RouteKey KeyOf(UINT message, WPARAM wParam, LPARAM lParam);

template <class Self>
class Dialog {
public:
    using Handler = INT_PTR (Self::*)(WPARAM, LPARAM);
    struct Route {
        UINT message;
        int id;    // kAny: every control
        int code;  // kAny: every notification
        Handler handler;
    };

    HWND Hwnd() const { return hwnd_; }

    static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        Self* self = nullptr;
        if (message == WM_INITDIALOG) {
            self = reinterpret_cast<Self*>(lParam);
            ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
            if (self) self->hwnd_ = hwnd;
        } else {
            self = reinterpret_cast<Self*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
        }
        if (!self) return FALSE;

        INT_PTR result = FALSE;
        try {
            const RouteKey key = KeyOf(message, wParam, lParam);
            for (const Route& route : Self::Routes()) {
                if (route.message != message) continue;
                if (route.id != kAny && route.id != key.id) continue;
                if (route.code != kAny && route.code != key.code) continue;
                result = (self->*route.handler)(wParam, lParam);
                break;
            }
        } catch (...) {
            result = FALSE;
        }
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }

protected:
    HWND hwnd_ = nullptr;
};

}  // namespace gui
