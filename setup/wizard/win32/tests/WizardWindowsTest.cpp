// The wizard's window code under Wine (with a display): the colour label on
// a static control, and the progress window's steps as its bar receives
// them, its deaf ear to Escape and Alt+F4, and the wizard it holds still.
#include "platform/win32/WindowsApi.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "setup/engine/InstallCommand.h"
#include "setup/wizard/win32/ColorLabel.h"
#include "setup/wizard/win32/ProgressWindow.h"

namespace {

constexpr int kNoteId = 1065;

// A plain top-level window with one static control; it answers the
// static's colour request with the label and counts the requests.
class LabelHost {
public:
    LabelHost() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "KvLabelHost";
        ::RegisterClassA(&wc);
        hwnd_ = ::CreateWindowExA(0, "KvLabelHost", "Label host", WS_OVERLAPPEDWINDOW, 10, 10,
                                  300, 120, nullptr, nullptr, wc.hInstance, this);
        ::CreateWindowExA(0, "Static", "Requires USB device driver to be installed",
                          WS_CHILD | WS_VISIBLE | SS_CENTER, 10, 10, 260, 30, hwnd_,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kNoteId)), wc.hInstance,
                          nullptr);
    }
    ~LabelHost() { ::DestroyWindow(hwnd_); }
    HWND Hwnd() const { return hwnd_; }
    HWND Note() const { return ::GetDlgItem(hwnd_, kNoteId); }
    void Show() {
        ::ShowWindow(hwnd_, SW_SHOWNA);
        ::UpdateWindow(hwnd_);
    }

    gui::ColorLabel* label = nullptr;
    int colourRequests = 0;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE)
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(
                                                         reinterpret_cast<CREATESTRUCTA*>(lParam)
                                                             ->lpCreateParams));
        auto* self = reinterpret_cast<LabelHost*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (message == WM_CTLCOLORSTATIC && self && self->label) {
            ++self->colourRequests;
            return reinterpret_cast<LRESULT>(self->label->OnCtlColor(reinterpret_cast<HDC>(wParam)));
        }
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }

    HWND hwnd_ = nullptr;
};

LOGFONTA FontOf(HGDIOBJ font) {
    LOGFONTA description{};
    ::GetObjectA(font, sizeof description, &description);
    return description;
}

TEST(ColorLabelWindow, PaintsTheStaticInItsColoursAndFont) {
    LabelHost host;
    ASSERT_TRUE(host.Note());
    {
        gui::ColorLabel label;
        host.label = &label;
        label.Attach(host.Hwnd(), kNoteId);
        EXPECT_EQ(label.Hwnd(), host.Note());
        host.Show();

        // The port page's settings: the text colour and the font show at
        // once, the background at the next repaint.
        int before = host.colourRequests;
        label.SetTextColor(RGB(0, 0, 255));
        EXPECT_GT(host.colourRequests, before);
        before = host.colourRequests;
        label.SetBackgroundColor(RGB(255, 202, 253));
        EXPECT_EQ(host.colourRequests, before);
        label.SetFontHeight(14);
        EXPECT_GT(host.colourRequests, before);
        before = host.colourRequests;
        label.SetFontFace("Arial");
        EXPECT_GT(host.colourRequests, before);

        // The control paints with the label's font: Arial of height 14, with
        // the default GUI font's other attributes.
        const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageA(host.Note(), WM_GETFONT, 0, 0));
        ASSERT_TRUE(font);
        const LOGFONTA described = FontOf(font), gui = FontOf(::GetStockObject(DEFAULT_GUI_FONT));
        EXPECT_EQ(described.lfHeight, -14);
        EXPECT_STREQ(described.lfFaceName, "Arial");
        EXPECT_EQ(described.lfWeight, gui.lfWeight);
        EXPECT_EQ(described.lfCharSet, gui.lfCharSet);

        // The colour request's answer: font, text colour, transparent
        // background, and the background brush.
        HDC dc = ::CreateCompatibleDC(nullptr);
        const HBRUSH brush = reinterpret_cast<HBRUSH>(
            ::SendMessageA(host.Hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(host.Note())));
        LOGBRUSH colour{};
        ASSERT_TRUE(::GetObjectA(brush, sizeof colour, &colour));
        EXPECT_EQ(colour.lbColor, RGB(255, 202, 253));
        EXPECT_EQ(::GetTextColor(dc), RGB(0, 0, 255));
        EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
        EXPECT_EQ(::GetCurrentObject(dc, OBJ_FONT), font);
        ::DeleteDC(dc);

        // A face name longer than the font's field is cut to 31 characters.
        label.SetFontFace("A face name that is much longer than thirty-one characters");
        const HGDIOBJ cut = reinterpret_cast<HGDIOBJ>(::SendMessageA(host.Note(), WM_GETFONT, 0, 0));
        EXPECT_EQ(std::strlen(FontOf(cut).lfFaceName), 31u);
        host.label = nullptr;
    }
    // The label took its font with it: the control is not left with a
    // deleted one.
    EXPECT_EQ(::SendMessageA(host.Note(), WM_GETFONT, 0, 0), 0);
}

// ---------------------------------------------------------------- progress window

// What the progress window's thread does while the window runs, seen by a
// hook on that thread: the bar's positions, and at chosen positions the
// worker's word or a user's attempt to close the window.
struct ProgressWatch {
    std::vector<int> positions;
    std::atomic<int32_t>* state = nullptr;
    int32_t report = CompletionRunning;  // what the worker says ...
    int reportAt = 0;                    // ... when the bar reaches this
    HWND wizard = nullptr;
    bool wizardHeldWhileRunning = true;
    int wizardEnabledAtClose = -1;
    bool rangeTo100 = false;
    bool pokedAtClose = false;
};
ProgressWatch* watch = nullptr;

LRESULT CALLBACK WatchProgress(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && watch && sent) {
        char cls[32] = {};
        ::GetClassNameA(sent->hwnd, cls, sizeof cls);
        if (sent->message == PBM_SETPOS && std::strcmp(cls, PROGRESS_CLASSA) == 0) {
            const int position = static_cast<int>(sent->wParam);
            if (watch->positions.empty()) {
                watch->rangeTo100 = ::SendMessageA(sent->hwnd, PBM_GETRANGE, FALSE, 0) == 100;
                // Escape, Alt+F4 and the close box do nothing.
                HWND window = ::GetParent(sent->hwnd);
                ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
                ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
                ::PostMessageA(window, WM_CLOSE, 0, 0);
            }
            watch->positions.push_back(position);
            if (::IsWindowEnabled(watch->wizard)) watch->wizardHeldWhileRunning = false;
            if (position == watch->reportAt && watch->state->load() == CompletionRunning)
                watch->state->store(watch->report);
        }
        // EndDialog hides the window first.
        if (sent->message == WM_WINDOWPOSCHANGING && std::strcmp(cls, "#32770") == 0 &&
            (reinterpret_cast<const WINDOWPOS*>(sent->lParam)->flags & SWP_HIDEWINDOW) &&
            watch->wizardEnabledAtClose < 0)
            watch->wizardEnabledAtClose = ::IsWindowEnabled(watch->wizard) ? 1 : 0;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<int> Range(int from, int to) {
    std::vector<int> values;
    for (int v = from; from <= to ? v <= to : v >= to; v += from <= to ? 1 : -1)
        values.push_back(v);
    return values;
}

TEST(ProgressWindowSteps, TheBarCreepsThenRunsToItsEndOrBackAndTheWindowCloses) {
    struct Case {
        const char* name;
        int32_t report;
        int reportAt;
        std::vector<int> expected;
    };
    std::vector<int> success = Range(0, 3), failure = Range(0, 5);
    for (int v : Range(4, 99)) success.push_back(v);     // up in 10 ms steps
    for (int v : Range(6, 0)) failure.push_back(v);      // down, then 0
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    for (const Case& c : {Case{"success", CompletionSucceeded, 3, success},
                          Case{"failure", CompletionFailed, 5, failure}}) {
        SCOPED_TRACE(c.name);
        HWND wizard = ::CreateWindowExA(0, "Static", "wizard", WS_POPUP | WS_VISIBLE, 0, 0, 10,
                                        10, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        std::atomic<int32_t> state{CompletionRunning};
        ProgressWatch seen;
        seen.state = &state;
        seen.report = c.report;
        seen.reportAt = c.reportAt;
        seen.wizard = wizard;
        watch = &seen;
        HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROC, WatchProgress, nullptr,
                                         ::GetCurrentThreadId());
        ASSERT_TRUE(hook);
        gui::ProgressWindow progress(::GetModuleHandleA(nullptr), wizard);
        progress.RunModal(state, WinXP);
        ::UnhookWindowsHookEx(hook);
        watch = nullptr;

        EXPECT_TRUE(seen.rangeTo100);
        EXPECT_EQ(seen.positions, c.expected);
        EXPECT_TRUE(seen.wizardHeldWhileRunning);
        // The wizard takes input again before the window goes.
        EXPECT_EQ(seen.wizardEnabledAtClose, 1);
        EXPECT_TRUE(::IsWindowEnabled(wizard));
        ::DestroyWindow(wizard);
    }
}

}  // namespace
