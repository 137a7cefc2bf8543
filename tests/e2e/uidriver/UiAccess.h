// The UI driver's view of another process's windows: top-level windows by
// exact title, controls by ID among a window's descendants, their texts,
// states and list entries, and the changes a user would make (select an
// entry, tick a list view item, click a button).
//
// Standard messages whose parameters point to text (WM_GETTEXT, CB_GETLBTEXT,
// LB_GETTEXT) are carried across processes by the system. List view messages
// are not: their records and text buffers are placed in the target process
// (RemoteMemory) and read back from there.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace uidriver {

// Owns a block of memory in another process.
class RemoteMemory {
public:
    RemoteMemory() = default;
    // For the process that owns `window`; check Valid().
    RemoteMemory(HWND window, size_t size);
    ~RemoteMemory();
    RemoteMemory(RemoteMemory&& other) noexcept;
    RemoteMemory& operator=(RemoteMemory&& other) noexcept;
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool Valid() const { return address_ != nullptr; }
    void* Address() const { return address_; }
    bool Write(size_t offset, const void* data, size_t size);
    bool Read(size_t offset, void* data, size_t size) const;
    // A description of the last failure (allocation, read or write).
    const std::string& Error() const { return error_; }

private:
    void Release();

    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_ = 0;
    std::string error_;
};

struct WindowInfo {
    HWND hwnd = nullptr;
    std::string title;
    std::string className;
    bool visible = false;
};

// Every top-level window with exactly this title, visible ones first.
std::vector<HWND> TopLevelWindows(const std::string& title);
// The first visible top-level window with exactly this title, or null.
HWND FindVisibleTopLevel(const std::string& title);
// A visible top-level message box (a dialog with the message text control
// 0xFFFF) with exactly this caption, or null.
HWND FindMessageBox(const std::string& caption);
// Every visible top-level window, for diagnostics.
std::vector<WindowInfo> VisibleTopLevelWindows();

// The descendant of `top` with control ID `id`, preferring a visible one;
// null when there is none.
HWND FindControl(HWND top, int id);
// Every descendant of `top` in window order.
std::vector<HWND> Descendants(HWND top);

std::string ClassOf(HWND hwnd);
// The window's text, asked with WM_GETTEXT (carried across processes); the
// system's copy of the caption when the owner does not answer.
std::string TextOf(HWND hwnd);

enum class ListKind { None, ComboBox, ListBox, ListView };
ListKind ListKindOf(HWND hwnd);

struct ListEntry {
    std::string text;
    bool selected = false;
    int check = -1;  // list view items: 0 or 1; -1 for other lists
};

// The entries of a combo box, list box or list view. False with `error` set
// when the control is no list or cannot be read.
bool ReadList(HWND list, std::vector<ListEntry>& entries, std::string& error);

// Selects entry `index` and lets the parent know as a user's choice would:
// CBN_SELCHANGE or LBN_SELCHANGE through WM_COMMAND; a list view sends its
// own LVN_ITEMCHANGED when its item state is set.
bool SelectEntry(HWND list, int index, std::string& error);

// Ticks (or clears) the check box of list view item `index`; the list view
// sends LVN_ITEMCHANGED to its parent.
bool SetListViewCheck(HWND list, int index, bool checked, std::string& error);

// One tool of a tool tip control, as TTM_ENUMTOOLS gives it.
struct ToolTipTool {
    HWND tooltip = nullptr;
    HWND owner = nullptr;  // the window the tool is registered on
    UINT flags = 0;        // TTF_*
    UINT_PTR id = 0;       // a window handle with TTF_IDISHWND
    RECT rect{};           // in the owner's client coordinates
    std::string text;
};

// Every tool of every tool tip control of the process that owns `window`.
// False with `error` when a tool tip does not answer.
bool ReadToolTips(HWND window, std::vector<ToolTipTool>& tools, std::string& error);

// The check state of a button (BST_*), -1 for a window that is no button.
int CheckStateOf(HWND hwnd);

// Clicks a button the way a user's click ends up: BM_CLICK, posted, so that a
// modal loop it starts (a message box) does not block the driver.
bool PostClick(HWND button, std::string& error);

}  // namespace uidriver
