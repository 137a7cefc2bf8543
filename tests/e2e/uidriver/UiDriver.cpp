// uidriver.exe: drives the windows of another program for the end-to-end
// tests, and reads the spooler's printers, drivers and monitors.
//
//   uidriver.exe COMMAND [ARGS...]    runs one command
//   uidriver.exe -                    runs the commands of standard input,
//                                     one a line (see Script.h for quoting)
//
// Every expectation waits until it holds, up to the time-out (10 s; the
// environment variable UIDRIVER_TIMEOUT_MS or the command `timeout` changes
// it). The first command that fails ends the run with exit code 1 and a
// message on standard error that names the line, what was expected, what was
// found and which windows were open; a wrong command line gives exit code 2.
// `uidriver.exe help` lists the commands.
#include <windows.h>
#include <commctrl.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "tests/e2e/uidriver/Script.h"
#include "tests/e2e/uidriver/UiAccess.h"

namespace uidriver {
namespace {

constexpr int kPollMs = 50;
constexpr int kDefaultTimeoutMs = 10000;

using Args = std::vector<std::string>;

struct Context {
    int timeoutMs = kDefaultTimeoutMs;
    std::string error;  // what failed, set by a command that returns false
};

// Runs `check` until it returns true or the time-out has passed; `check`
// describes what it saw in `seen` for the failure message.
bool Poll(Context& ctx, int timeoutMs, const std::function<bool(std::string& seen)>& check,
          const std::string& expected) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    std::string seen;
    while (true) {
        seen.clear();
        if (check(seen)) return true;
        if (GetTickCount64() >= end) break;
        Sleep(kPollMs);
    }
    ctx.error = expected + "; " + (seen.empty() ? "not so" : seen) + " after " +
                std::to_string(timeoutMs) + " ms";
    return false;
}

bool Poll(Context& ctx, const std::function<bool(std::string& seen)>& check,
          const std::string& expected) {
    return Poll(ctx, ctx.timeoutMs, check, expected);
}

void Print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

bool ParseIdArg(Context& ctx, const std::string& text, int& id) {
    const auto parsed = ParseControlId(text);
    if (!parsed) {
        ctx.error = "not a control ID: " + Quote(text);
        return false;
    }
    id = *parsed;
    return true;
}

bool ParseCountArg(Context& ctx, const std::string& text, int& value) {
    const auto parsed = ParseCount(text);
    if (!parsed) {
        ctx.error = "not a number: " + Quote(text);
        return false;
    }
    value = *parsed;
    return true;
}

std::string Where(const std::string& title, int id) {
    return "control " + std::to_string(id) + " of " + Quote(title);
}

// Waits for the visible top-level window and, within it, the control.
bool FindWindowControl(Context& ctx, const std::string& title, int id, HWND& control) {
    control = nullptr;
    return Poll(
        ctx,
        [&](std::string& seen) {
            HWND top = FindVisibleTopLevel(title);
            if (top == nullptr) {
                seen = "no such window";
                return false;
            }
            control = FindControl(top, id);
            if (control == nullptr) seen = "the window has no such control";
            return control != nullptr;
        },
        "expected " + Where(title, id));
}

// The control named by a command's first two arguments (window title,
// control ID), waiting for it.
bool WaitControlArg(Context& ctx, const Args& a, int& id, HWND& control) {
    return ParseIdArg(ctx, a[1], id) && FindWindowControl(ctx, a[0], id, control);
}

// The control as it is now, for a check that polls: nullptr, with what is
// missing in `seen`, while the window or the control is not there.
HWND ControlNow(const std::string& title, int id, std::string& seen) {
    HWND top = FindVisibleTopLevel(title);
    HWND control = top ? FindControl(top, id) : nullptr;
    if (control == nullptr) seen = top ? "no such control" : "no such window";
    return control;
}

// Polls the control `id` of the window `title` until `check` accepts it;
// `check` says what it saw in `seen`.
bool PollControl(Context& ctx, const std::string& title, int id,
                 const std::function<bool(HWND control, std::string& seen)>& check,
                 const std::string& expected) {
    return Poll(
        ctx,
        [&](std::string& seen) {
            HWND control = ControlNow(title, id, seen);
            return control != nullptr && check(control, seen);
        },
        "expected " + Where(title, id) + " " + expected);
}

std::string StateText(HWND control) {
    std::string text = IsWindowEnabled(control) ? "enabled" : "disabled";
    text += IsWindowVisible(control) ? " visible" : " hidden";
    switch (CheckStateOf(control)) {
        case BST_CHECKED: text += " checked"; break;
        case BST_INDETERMINATE: text += " indeterminate"; break;
        case BST_UNCHECKED: text += " unchecked"; break;
        default: break;
    }
    return text;
}

std::string ListText(const std::vector<ListEntry>& entries) {
    std::string text = "[";
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) text += ", ";
        text += Quote(entries[i].text);
        if (entries[i].selected) text += "*";
        if (entries[i].check == 1) text += "(ticked)";
    }
    return text + "]";
}

// ---- windows

bool CmdWaitWindow(Context& ctx, const Args& a) {
    return Poll(
        ctx, [&](std::string&) { return FindVisibleTopLevel(a[0]) != nullptr; },
        "expected a window titled " + Quote(a[0]));
}

bool CmdWaitGone(Context& ctx, const Args& a) {
    return Poll(
        ctx, [&](std::string&) { return FindVisibleTopLevel(a[0]) == nullptr; },
        "expected the window titled " + Quote(a[0]) + " to close");
}

bool CmdExpectNoWindow(Context& ctx, const Args& a) {
    int holdMs = 0;
    if (a.size() > 1 && !ParseCountArg(ctx, a[1], holdMs)) return false;
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(holdMs);
    while (true) {
        if (FindVisibleTopLevel(a[0]) != nullptr) {
            ctx.error = "expected no window titled " + Quote(a[0]) + "; there is one";
            return false;
        }
        if (GetTickCount64() >= end) return true;
        Sleep(kPollMs);
    }
}

bool CmdExpectWindowCount(Context& ctx, const Args& a) {
    int want = 0;
    if (!ParseCountArg(ctx, a[1], want)) return false;
    return Poll(
        ctx,
        [&](std::string& seen) {
            int count = 0;
            for (HWND hwnd : TopLevelWindows(a[0])) count += IsWindowVisible(hwnd) ? 1 : 0;
            seen = std::to_string(count) + " found";
            return count == want;
        },
        "expected " + a[1] + " visible windows titled " + Quote(a[0]));
}

bool CmdExpectForeground(Context& ctx, const Args& a) {
    return Poll(
        ctx,
        [&](std::string& seen) {
            HWND top = FindVisibleTopLevel(a[0]);
            HWND front = GetForegroundWindow();
            if (top != nullptr && front == top) return true;
            char text[256] = "";
            if (front != nullptr) GetWindowTextA(front, text, sizeof(text));
            seen = front == nullptr ? "no window in front" : "in front: " + Quote(text);
            return false;
        },
        "expected the window titled " + Quote(a[0]) + " in front");
}

// Polls the visible top-level window `title` until `check` accepts it.
bool PollWindow(Context& ctx, const std::string& title,
                const std::function<bool(HWND top, std::string& seen)>& check,
                const std::string& expected) {
    return Poll(
        ctx,
        [&](std::string& seen) {
            HWND top = FindVisibleTopLevel(title);
            if (top == nullptr) {
                seen = "no such window";
                return false;
            }
            return check(top, seen);
        },
        "expected the window titled " + Quote(title) + " " + expected);
}

bool CmdExpectMinimized(Context& ctx, const Args& a, bool minimized) {
    return PollWindow(
        ctx, a[0],
        [&](HWND top, std::string& seen) {
            seen = IsIconic(top) ? "it is minimised" : "it is not minimised";
            return (IsIconic(top) != FALSE) == minimized;
        },
        minimized ? "minimised" : "restored");
}

template <typename Action>
bool WithWindow(Context& ctx, const std::string& title, Action action) {
    HWND top = nullptr;
    if (!Poll(
            ctx,
            [&](std::string&) {
                top = FindVisibleTopLevel(title);
                return top != nullptr;
            },
            "expected a window titled " + Quote(title)))
        return false;
    return action(top);
}

// Asks the window to minimise itself, as its system menu would, and waits
// until it is minimised. A request the window has not acted on after a
// second is made again: a program under load, or one still showing its
// window, may let one pass (minimising twice does nothing more).
bool CmdMinimize(Context& ctx, const Args& a) {
    ULONGLONG nextRequest = 0;
    return PollWindow(
        ctx, a[0],
        [&](HWND top, std::string& seen) {
            if (IsIconic(top)) return true;
            const ULONGLONG now = GetTickCount64();
            if (now >= nextRequest) {
                PostMessageA(top, WM_SYSCOMMAND, SC_MINIMIZE, 0);
                nextRequest = now + 1000;
            }
            seen = "it is not minimised";
            return false;
        },
        "to minimise");
}

bool CmdActivate(Context& ctx, const Args& a) {
    return WithWindow(ctx, a[0], [&](HWND top) {
        SetForegroundWindow(top);
        return true;
    });
}

bool CmdClose(Context& ctx, const Args& a) {
    return WithWindow(ctx, a[0], [&](HWND top) {
        PostMessageA(top, WM_CLOSE, 0, 0);
        return true;
    });
}

bool CmdRect(Context& ctx, const Args& a) {
    return WithWindow(ctx, a[0], [&](HWND top) {
        RECT r;
        if (!GetWindowRect(top, &r)) {
            ctx.error = "GetWindowRect failed, error " + std::to_string(GetLastError());
            return false;
        }
        Print(std::to_string(r.left) + " " + std::to_string(r.top) + " " +
              std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top));
        return true;
    });
}

// A visible dialog without a title (a progress window), or null.
HWND FindUntitledDialog() {
    for (const auto& w : VisibleTopLevelWindows())
        if (w.title.empty() && w.className == "#32770") return w.hwnd;
    return nullptr;
}

// The rectangle of a visible dialog without a title, waiting for one.
bool CmdRectUntitled(Context& ctx, const Args&) {
    HWND found = nullptr;
    if (!Poll(
            ctx,
            [&](std::string&) {
                found = FindUntitledDialog();
                return found != nullptr;
            },
            "expected a dialog without a title"))
        return false;
    RECT r;
    if (!GetWindowRect(found, &r)) {
        ctx.error = "GetWindowRect failed, error " + std::to_string(GetLastError());
        return false;
    }
    Print(std::to_string(r.left) + " " + std::to_string(r.top) + " " +
          std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top));
    return true;
}

bool CmdWindows(Context&, const Args&) {
    for (const auto& w : VisibleTopLevelWindows()) Print(Quote(w.title) + "\t" + w.className);
    return true;
}

bool CmdControls(Context& ctx, const Args& a) {
    return WithWindow(ctx, a[0], [&](HWND top) {
        for (HWND child : Descendants(top)) {
            Print(std::to_string(GetDlgCtrlID(child)) + "\t" + ClassOf(child) + "\t" +
                  StateText(child) + "\t" + Quote(TextOf(child)));
        }
        return true;
    });
}

// ---- controls

bool CmdText(Context& ctx, const Args& a) {
    int id = 0;
    HWND control = nullptr;
    if (!WaitControlArg(ctx, a, id, control)) return false;
    Print(TextOf(control));
    return true;
}

bool CmdState(Context& ctx, const Args& a) {
    int id = 0;
    HWND control = nullptr;
    if (!WaitControlArg(ctx, a, id, control)) return false;
    Print(StateText(control));
    return true;
}

bool CmdExpectText(Context& ctx, const Args& a) {
    int id = 0;
    if (!ParseIdArg(ctx, a[1], id)) return false;
    return PollControl(
        ctx, a[0], id,
        [&](HWND control, std::string& seen) {
            const std::string text = TextOf(control);
            seen = "it reads " + Quote(text);
            return text == a[2];
        },
        "to read " + Quote(a[2]));
}

bool CmdExpect(Context& ctx, const Args& a) {
    int id = 0;
    if (!ParseIdArg(ctx, a[1], id)) return false;
    StateWant want;
    std::string wanted;
    for (size_t i = 2; i < a.size(); ++i) {
        if (!ParseStateWord(a[i], want)) {
            ctx.error = "unknown state " + Quote(a[i]) +
                        " (enabled, disabled, visible, hidden, checked, unchecked, indeterminate)";
            return false;
        }
        wanted += (wanted.empty() ? "" : " ") + a[i];
    }
    return PollControl(
        ctx, a[0], id,
        [&](HWND control, std::string& seen) {
            seen = "it is " + StateText(control);
            if (want.enabled && (IsWindowEnabled(control) != FALSE) != *want.enabled) return false;
            if (want.visible && (IsWindowVisible(control) != FALSE) != *want.visible) return false;
            if (want.check && CheckStateOf(control) != *want.check) return false;
            return true;
        },
        wanted);
}

// Polls the entries of a list until `check` accepts them.
bool PollList(Context& ctx, const std::string& title, int id,
              const std::function<bool(const std::vector<ListEntry>&)>& check,
              const std::string& expected) {
    return PollControl(
        ctx, title, id,
        [&](HWND control, std::string& seen) {
            std::vector<ListEntry> entries;
            std::string error;
            if (!ReadList(control, entries, error)) {
                seen = error;
                return false;
            }
            seen = "it holds " + ListText(entries);
            return check(entries);
        },
        expected);
}

bool CmdItems(Context& ctx, const Args& a) {
    int id = 0;
    HWND control = nullptr;
    if (!WaitControlArg(ctx, a, id, control)) return false;
    std::vector<ListEntry> entries;
    if (!ReadList(control, entries, ctx.error)) return false;
    for (const auto& e : entries) {
        std::string line = e.selected ? "* " : "  ";
        if (e.check >= 0) line += e.check ? "[x] " : "[ ] ";
        Print(line + e.text);
    }
    return true;
}

bool CmdExpectItems(Context& ctx, const Args& a) {
    int id = 0;
    if (!ParseIdArg(ctx, a[1], id)) return false;
    const std::vector<std::string> want(a.begin() + 2, a.end());
    std::string wanted = "[";
    for (size_t i = 0; i < want.size(); ++i) wanted += (i ? ", " : "") + Quote(want[i]);
    wanted += "]";
    return PollList(
        ctx, a[0], id,
        [&](const std::vector<ListEntry>& entries) {
            if (entries.size() != want.size()) return false;
            for (size_t i = 0; i < want.size(); ++i) {
                if (entries[i].text != want[i]) return false;
            }
            return true;
        },
        "to hold " + wanted);
}

bool CmdExpectSelected(Context& ctx, const Args& a) {
    int id = 0;
    if (!ParseIdArg(ctx, a[1], id)) return false;
    return PollList(
        ctx, a[0], id,
        [&](const std::vector<ListEntry>& entries) {
            for (const auto& e : entries) {
                if (e.selected) return e.text == a[2];
            }
            return false;
        },
        "to have " + Quote(a[2]) + " selected");
}

bool CmdExpectNoSelection(Context& ctx, const Args& a) {
    int id = 0;
    if (!ParseIdArg(ctx, a[1], id)) return false;
    return PollList(
        ctx, a[0], id,
        [&](const std::vector<ListEntry>& entries) {
            for (const auto& e : entries) {
                if (e.selected) return false;
            }
            return true;
        },
        "to have nothing selected");
}

bool CmdExpectTicked(Context& ctx, const Args& a) {
    int id = 0;
    if (!ParseIdArg(ctx, a[1], id)) return false;
    const std::vector<std::string> want(a.begin() + 2, a.end());
    return PollList(
        ctx, a[0], id,
        [&](const std::vector<ListEntry>& entries) {
            std::vector<std::string> ticked;
            for (const auto& e : entries) {
                if (e.check == 1) ticked.push_back(e.text);
            }
            return ticked == want;
        },
        "to have exactly " + std::to_string(want.size()) + " given items ticked");
}

// Finds the entry with exactly this text in the list `id`, waiting for it.
bool FindEntry(Context& ctx, const std::string& title, int id, const std::string& text,
               HWND& control, int& index) {
    control = nullptr;
    index = -1;
    return Poll(
        ctx,
        [&](std::string& seen) {
            control = ControlNow(title, id, seen);
            if (control == nullptr) return false;
            std::vector<ListEntry> entries;
            std::string error;
            if (!ReadList(control, entries, error)) {
                seen = error;
                return false;
            }
            for (size_t i = 0; i < entries.size(); ++i) {
                if (entries[i].text == text) {
                    index = static_cast<int>(i);
                    return true;
                }
            }
            seen = "it holds " + ListText(entries);
            return false;
        },
        "expected an entry " + Quote(text) + " in " + Where(title, id));
}

bool CmdSelect(Context& ctx, const Args& a) {
    int id = 0;
    HWND control = nullptr;
    int index = -1;
    if (!ParseIdArg(ctx, a[1], id) || !FindEntry(ctx, a[0], id, a[2], control, index)) return false;
    if (!IsWindowEnabled(control)) {
        ctx.error = Where(a[0], id) + " is disabled";
        return false;
    }
    if (!SelectEntry(control, index, ctx.error)) return false;
    return true;
}

bool CmdSetCheck(Context& ctx, const Args& a) {
    int id = 0;
    HWND control = nullptr;
    int index = -1;
    if (!ParseIdArg(ctx, a[1], id) || !FindEntry(ctx, a[0], id, a[2], control, index)) return false;
    if (a[3] != "on" && a[3] != "off") {
        ctx.error = "set-check wants on or off, not " + Quote(a[3]);
        return false;
    }
    return SetListViewCheck(control, index, a[3] == "on", ctx.error);
}

bool CmdClick(Context& ctx, const Args& a) {
    int id = 0;
    HWND control = nullptr;
    if (!WaitControlArg(ctx, a, id, control)) return false;
    std::string error;
    if (!PostClick(control, error)) {
        ctx.error = "cannot click " + Where(a[0], id) + ": " + error;
        return false;
    }
    return true;
}

// ---- tool tips

// expect-tip TITLE ID TEXT: the control has a tool tip with TEXT that shows
// also while the control is disabled: a tool registered on the control's
// parent by a rectangle that covers the control (a disabled control gets no
// mouse messages of its own).
bool CmdExpectTip(Context& ctx, const Args& a) {
    int id = 0;
    if (!ParseIdArg(ctx, a[1], id)) return false;
    return PollControl(
        ctx, a[0], id,
        [&](HWND control, std::string& seen) {
            HWND parent = GetParent(control);
            RECT area{};
            GetWindowRect(control, &area);
            MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
            std::vector<ToolTipTool> tools;
            if (!ReadToolTips(control, tools, seen)) return false;
            seen = "tools:";
            for (const auto& t : tools) {
                const bool byHandle = (t.flags & TTF_IDISHWND) != 0;
                seen += byHandle ? " [window " + std::to_string(GetDlgCtrlID(reinterpret_cast<HWND>(t.id))) + "]"
                                 : " [rectangle " + std::to_string(t.rect.left) + "," +
                                       std::to_string(t.rect.top) + "," +
                                       std::to_string(t.rect.right) + "," +
                                       std::to_string(t.rect.bottom) + "]";
                seen += " " + Quote(t.text);
                if (byHandle || t.owner != parent || t.text != a[2]) continue;
                if (t.rect.left <= area.left && t.rect.top <= area.top &&
                    t.rect.right >= area.right && t.rect.bottom >= area.bottom)
                    return true;
            }
            if (tools.empty()) seen += " none";
            return false;
        },
        "to have a tool tip " + Quote(a[2]) + " that shows also while it is disabled");
}

// ---- keyboard

bool IsExtendedKey(int32_t key) {
    return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN ||
           key == VK_HOME || key == VK_END;
}

void AddKey(std::vector<INPUT>& inputs, int32_t key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(key);
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    inputs.push_back(input);
}

// One key press with its modifiers, through the system's input queue: it
// reaches the control with the focus in the window in front.
bool SendKey(const KeyPress& press, std::string& error) {
    std::vector<INPUT> inputs;
    if (press.ctrl) AddKey(inputs, VK_CONTROL, false);
    if (press.alt) AddKey(inputs, VK_MENU, false);
    if (press.shift) AddKey(inputs, VK_SHIFT, false);
    AddKey(inputs, press.key, false);
    AddKey(inputs, press.key, true);
    if (press.shift) AddKey(inputs, VK_SHIFT, true);
    if (press.alt) AddKey(inputs, VK_MENU, true);
    if (press.ctrl) AddKey(inputs, VK_CONTROL, true);
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) {
        error = "SendInput failed, error " + std::to_string(GetLastError());
        return false;
    }
    return true;
}

// key TITLE KEY...: brings the window to the front and presses the keys
// there. A title of "*" takes whatever window is in front as it is; an empty
// title is the dialog without a title (a progress window).
bool CmdKey(Context& ctx, const Args& a) {
    std::vector<KeyPress> presses;
    for (size_t i = 1; i < a.size(); ++i) {
        const auto press = ParseKey(a[i]);
        if (!press) {
            ctx.error = "not a key: " + Quote(a[i]) +
                        " (Enter, Escape, Tab, Space, Up, Down, Left, Right, Home, End, F1, "
                        "F4, a letter or digit; Shift+, Ctrl+, Alt+)";
            return false;
        }
        presses.push_back(*press);
    }
    if (a[0] != "*") {
        HWND top = nullptr;
        if (!Poll(
                ctx,
                [&](std::string& seen) {
                    top = a[0].empty() ? FindUntitledDialog() : FindVisibleTopLevel(a[0]);
                    if (top == nullptr) {
                        seen = "no such window";
                        return false;
                    }
                    if (GetForegroundWindow() == top) return true;
                    SetForegroundWindow(top);
                    seen = "it does not come to the front";
                    return false;
                },
                "expected the window titled " + Quote(a[0]) + " in front for the keys"))
            return false;
    }
    for (const KeyPress& press : presses) {
        if (!SendKey(press, ctx.error)) return false;
        // Each press is seen on its own, as a user's would be.
        Sleep(kPollMs);
    }
    return true;
}

// ---- message boxes

bool WaitMessageBox(Context& ctx, const std::string& caption, HWND& box) {
    box = nullptr;
    return Poll(
        ctx,
        [&](std::string&) {
            box = FindMessageBox(caption);
            return box != nullptr;
        },
        "expected a message box titled " + Quote(caption));
}

std::string MessageText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? TextOf(text) : std::string();
}

// Presses a button of the message box and waits until the box has gone.
bool PressButton(Context& ctx, HWND box, const std::string& name) {
    const auto id = ParseButton(name);
    if (!id) {
        ctx.error = "not a button: " + Quote(name) + " (ok, cancel, yes, no or an ID)";
        return false;
    }
    HWND button = GetDlgItem(box, *id);
    if (button == nullptr) {
        ctx.error = "the message box " + Quote(MessageText(box)) + " has no button " + name;
        return false;
    }
    std::string error;
    if (!PostClick(button, error)) {
        ctx.error = "cannot press " + name + ": " + error;
        return false;
    }
    return Poll(
        ctx, [&](std::string&) { return !IsWindow(box) || !IsWindowVisible(box); },
        "expected the message box to close after " + name);
}

bool CmdMsgbox(Context& ctx, const Args& a) {
    HWND box = nullptr;
    if (!WaitMessageBox(ctx, a[0], box)) return false;
    Print(MessageText(box));
    return true;
}

bool CmdExpectMsgbox(Context& ctx, const Args& a) {
    HWND box = nullptr;
    if (!WaitMessageBox(ctx, a[0], box)) return false;
    // The text is set while the box initialises: give it the same time.
    if (!Poll(
            ctx,
            [&](std::string& seen) {
                const std::string text = MessageText(box);
                seen = "it reads " + Quote(text);
                return text == a[1];
            },
            "expected the message box " + Quote(a[0]) + " to read " + Quote(a[1])))
        return false;
    return a.size() < 3 || PressButton(ctx, box, a[2]);
}

bool CmdPress(Context& ctx, const Args& a) {
    HWND box = nullptr;
    return WaitMessageBox(ctx, a[0], box) && PressButton(ctx, box, a[1]);
}

bool CmdExpectNoMsgbox(Context& ctx, const Args& a) {
    int holdMs = 0;
    if (a.size() > 1 && !ParseCountArg(ctx, a[1], holdMs)) return false;
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(holdMs);
    while (true) {
        if (HWND box = FindMessageBox(a[0])) {
            ctx.error = "expected no message box titled " + Quote(a[0]) + "; one reads " +
                        Quote(MessageText(box));
            return false;
        }
        if (GetTickCount64() >= end) return true;
        Sleep(kPollMs);
    }
}

// ---- spooler

struct PrinterLine {
    std::string name, port, driver;
};

bool ReadPrinters(std::vector<PrinterLine>& printers, std::string& error) {
    printers.clear();
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0) return true;
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) {
        error = "EnumPrintersA failed, error " + std::to_string(GetLastError());
        return false;
    }
    const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        printers.push_back({info[i].pPrinterName ? info[i].pPrinterName : "",
                            info[i].pPortName ? info[i].pPortName : "",
                            info[i].pDriverName ? info[i].pDriverName : ""});
    }
    return true;
}

bool ReadMonitors(std::vector<std::string>& monitors, std::string& error) {
    monitors.clear();
    DWORD needed = 0, count = 0;
    EnumMonitorsA(nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0) return true;
    std::vector<BYTE> buffer(needed);
    if (!EnumMonitorsA(nullptr, 2, buffer.data(), needed, &needed, &count)) {
        error = "EnumMonitorsA failed, error " + std::to_string(GetLastError());
        return false;
    }
    const auto* info = reinterpret_cast<const MONITOR_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        monitors.push_back(std::string(info[i].pName ? info[i].pName : "") + "\t" +
                           (info[i].pDLLName ? info[i].pDLLName : ""));
    }
    return true;
}

bool CmdSpooler(Context& ctx, const Args&) {
    std::vector<PrinterLine> printers;
    std::vector<std::string> monitors;
    if (!ReadPrinters(printers, ctx.error) || !ReadMonitors(monitors, ctx.error)) return false;
    for (const auto& p : printers) Print("printer\t" + p.name + "\t" + p.port + "\t" + p.driver);
    for (const auto& m : monitors) Print("monitor\t" + m);
    return true;
}

bool CmdExpectPrinter(Context& ctx, const Args& a) {
    return Poll(
        ctx,
        [&](std::string& seen) {
            std::vector<PrinterLine> printers;
            if (!ReadPrinters(printers, seen)) return false;
            seen = "printers:";
            for (const auto& p : printers) {
                seen += " " + Quote(p.name) + " on " + Quote(p.port) + " with " + Quote(p.driver);
                if (p.name != a[0]) continue;
                if (a.size() > 1 && a[1] != "*" && p.port != a[1]) continue;
                if (a.size() > 2 && a[2] != "*" && p.driver != a[2]) continue;
                return true;
            }
            if (printers.empty()) seen += " none";
            return false;
        },
        "expected the printer " + Quote(a[0]) + (a.size() > 1 ? " on " + Quote(a[1]) : "") +
            (a.size() > 2 ? " with " + Quote(a[2]) : ""));
}

bool CmdExpectNoPrinter(Context& ctx, const Args& a) {
    std::vector<PrinterLine> printers;
    if (!ReadPrinters(printers, ctx.error)) return false;
    for (const auto& p : printers) {
        if (p.name == a[0]) {
            ctx.error = "expected no printer " + Quote(a[0]) + "; it is there on " + Quote(p.port);
            return false;
        }
    }
    return true;
}

bool CmdExpectMonitor(Context& ctx, const Args& a) {
    return Poll(
        ctx,
        [&](std::string& seen) {
            std::vector<std::string> monitors;
            if (!ReadMonitors(monitors, seen)) return false;
            seen = "monitors:";
            for (const auto& m : monitors) {
                seen += " " + Quote(m);
                if (m.substr(0, m.find('\t')) == a[0]) return true;
            }
            return false;
        },
        "expected the port monitor " + Quote(a[0]));
}

// The printer drivers of one spooler environment ("Windows 4.0"), each as
// "NAME\tVERSION".
bool ReadDrivers(const std::string& environment, std::vector<std::string>& drivers,
                 std::string& error) {
    drivers.clear();
    DWORD needed = 0, count = 0;
    LPSTR env = const_cast<LPSTR>(environment.c_str());
    EnumPrinterDriversA(nullptr, env, 2, nullptr, 0, &needed, &count);
    if (needed == 0) return true;
    std::vector<BYTE> buffer(needed);
    if (!EnumPrinterDriversA(nullptr, env, 2, buffer.data(), needed, &needed, &count)) {
        error = "EnumPrinterDriversA failed, error " + std::to_string(GetLastError());
        return false;
    }
    const auto* info = reinterpret_cast<const DRIVER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        drivers.push_back(std::string(info[i].pName ? info[i].pName : "") + "\t" +
                          std::to_string(info[i].cVersion));
    return true;
}

bool CmdExpectDriver(Context& ctx, const Args& a) {
    return Poll(
        ctx,
        [&](std::string& seen) {
            std::vector<std::string> drivers;
            if (!ReadDrivers(a[1], drivers, seen)) return false;
            seen = "drivers of " + Quote(a[1]) + ":";
            for (const auto& d : drivers) {
                seen += " " + Quote(d);
                const size_t tab = d.find('\t');
                if (d.substr(0, tab) == a[0] && (a.size() < 3 || d.substr(tab + 1) == a[2]))
                    return true;
            }
            if (drivers.empty()) seen += " none";
            return false;
        },
        "expected the driver " + Quote(a[0]) + " for " + Quote(a[1]) +
            (a.size() > 2 ? " of version " + a[2] : ""));
}

// ---- flow

bool CmdSleep(Context& ctx, const Args& a) {
    int ms = 0;
    if (!ParseCountArg(ctx, a[0], ms)) return false;
    Sleep(static_cast<DWORD>(ms));
    return true;
}

bool CmdTimeout(Context& ctx, const Args& a) {
    return ParseCountArg(ctx, a[0], ctx.timeoutMs);
}

bool CmdEcho(Context&, const Args& a) {
    std::string line;
    for (const auto& w : a) line += (line.empty() ? "" : " ") + w;
    Print(line);
    return true;
}

struct Command {
    const char* name;
    size_t minArgs;
    size_t maxArgs;  // SIZE_MAX: any number
    const char* usage;
    std::function<bool(Context&, const Args&)> run;
};

constexpr size_t kAny = SIZE_MAX;

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"wait-window", 1, 1, "TITLE", CmdWaitWindow},
        {"wait-gone", 1, 1, "TITLE", CmdWaitGone},
        {"expect-no-window", 1, 2, "TITLE [HOLD_MS]", CmdExpectNoWindow},
        {"expect-window-count", 2, 2, "TITLE N", CmdExpectWindowCount},
        {"expect-foreground", 1, 1, "TITLE", CmdExpectForeground},
        {"expect-minimized", 1, 1, "TITLE",
         [](Context& c, const Args& a) { return CmdExpectMinimized(c, a, true); }},
        {"expect-restored", 1, 1, "TITLE",
         [](Context& c, const Args& a) { return CmdExpectMinimized(c, a, false); }},
        {"minimize", 1, 1, "TITLE", CmdMinimize},
        {"activate", 1, 1, "TITLE", CmdActivate},
        {"close", 1, 1, "TITLE", CmdClose},
        {"rect", 1, 1, "TITLE", CmdRect},
        {"rect-untitled", 0, 0, "", CmdRectUntitled},
        {"windows", 0, 0, "", CmdWindows},
        {"controls", 1, 1, "TITLE", CmdControls},
        {"text", 2, 2, "TITLE ID", CmdText},
        {"state", 2, 2, "TITLE ID", CmdState},
        {"expect-text", 3, 3, "TITLE ID TEXT", CmdExpectText},
        {"expect", 3, kAny, "TITLE ID enabled|disabled|visible|hidden|checked|unchecked...",
         CmdExpect},
        {"items", 2, 2, "TITLE ID", CmdItems},
        {"expect-items", 2, kAny, "TITLE ID [ENTRY...]", CmdExpectItems},
        {"expect-selected", 3, 3, "TITLE ID ENTRY", CmdExpectSelected},
        {"expect-no-selection", 2, 2, "TITLE ID", CmdExpectNoSelection},
        {"expect-ticked", 2, kAny, "TITLE ID [ITEM...]", CmdExpectTicked},
        {"select", 3, 3, "TITLE ID ENTRY", CmdSelect},
        {"set-check", 4, 4, "TITLE ID ITEM on|off", CmdSetCheck},
        {"click", 2, 2, "TITLE ID", CmdClick},
        {"key", 2, kAny, "TITLE|* KEY...", CmdKey},
        {"expect-tip", 3, 3, "TITLE ID TEXT", CmdExpectTip},
        {"msgbox", 1, 1, "CAPTION", CmdMsgbox},
        {"expect-msgbox", 2, 3, "CAPTION TEXT [ok|cancel|yes|no|ID]", CmdExpectMsgbox},
        {"press", 2, 2, "CAPTION ok|cancel|yes|no|ID", CmdPress},
        {"expect-no-msgbox", 1, 2, "CAPTION [HOLD_MS]", CmdExpectNoMsgbox},
        {"spooler", 0, 0, "", CmdSpooler},
        {"expect-printer", 1, 3, "NAME [PORT|* [DRIVER|*]]", CmdExpectPrinter},
        {"expect-no-printer", 1, 1, "NAME", CmdExpectNoPrinter},
        {"expect-monitor", 1, 1, "NAME", CmdExpectMonitor},
        {"expect-driver", 2, 3, "NAME ENVIRONMENT [VERSION]", CmdExpectDriver},
        {"sleep", 1, 1, "MS", CmdSleep},
        {"timeout", 1, 1, "MS", CmdTimeout},
        {"echo", 0, kAny, "TEXT...", CmdEcho},
    };
    return commands;
}

void PrintUsage(FILE* to) {
    std::fputs("usage: uidriver.exe COMMAND [ARGS...] | uidriver.exe - (commands on stdin)\n", to);
    for (const auto& c : Commands()) std::fprintf(to, "  %s %s\n", c.name, c.usage);
}

void PrintOpenWindows() {
    std::fputs("uidriver: visible windows:", stderr);
    const auto windows = VisibleTopLevelWindows();
    for (const auto& w : windows) {
        std::string line = " " + Quote(w.title) + " (" + w.className + ")";
        if (HWND box = GetDlgItem(w.hwnd, 0xFFFF)) line += " text " + Quote(TextOf(box));
        std::fputs(line.c_str(), stderr);
    }
    if (windows.empty()) std::fputs(" none", stderr);
    std::fputs("\n", stderr);
}

// 0 done, 1 the command failed, 2 a wrong command.
int RunCommand(Context& ctx, const Args& words, const std::string& where) {
    const std::string& name = words[0];
    const Args args(words.begin() + 1, words.end());
    if (name == "help") {
        PrintUsage(stdout);
        return 0;
    }
    for (const auto& c : Commands()) {
        if (name != c.name) continue;
        if (args.size() < c.minArgs || args.size() > c.maxArgs) {
            std::fprintf(stderr, "uidriver: %susage: %s %s\n", where.c_str(), c.name, c.usage);
            return 2;
        }
        ctx.error.clear();
        if (c.run(ctx, args)) return 0;
        std::fprintf(stderr, "uidriver: %s%s: %s\n", where.c_str(), name.c_str(), ctx.error.c_str());
        PrintOpenWindows();
        return 1;
    }
    std::fprintf(stderr, "uidriver: %sunknown command %s\n", where.c_str(), Quote(name).c_str());
    return 2;
}

int RunScript(Context& ctx) {
    std::string line;
    int number = 0;
    while (std::getline(std::cin, line)) {
        ++number;
        Args words;
        std::string error;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (!SplitLine(line, words, error)) {
            std::fprintf(stderr, "uidriver: %s%s\n", where.c_str(), error.c_str());
            return 2;
        }
        if (words.empty()) continue;
        if (const int rc = RunCommand(ctx, words, where); rc != 0) return rc;
    }
    return 0;
}

}  // namespace
}  // namespace uidriver

int main(int argc, char** argv) {
    using namespace uidriver;
    // The harness tells a driver that Wine could not start from one that
    // failed a command by this mark.
    if (const char* mark = std::getenv("UIDRIVER_STARTED")) {
        if (FILE* file = std::fopen(mark, "w")) std::fclose(file);
    }
    Context ctx;
    if (const char* value = std::getenv("UIDRIVER_TIMEOUT_MS")) {
        if (const auto ms = ParseCount(value)) ctx.timeoutMs = *ms;
    }
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    if (argc == 2 && std::string(argv[1]) == "-") return RunScript(ctx);
    const Args words(argv + 1, argv + argc);
    return RunCommand(ctx, words, "");
}
