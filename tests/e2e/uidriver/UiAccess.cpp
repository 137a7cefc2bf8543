#include "tests/e2e/uidriver/UiAccess.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <utility>

namespace uidriver {

namespace {

// How long a message to another process may take before the driver treats
// the target as busy.
constexpr UINT kSendTimeoutMs = 3000;

// The control ID of a message box's text.
constexpr int kMessageTextId = 0xFFFF;

std::string Win32Error(const char* what, DWORD code) {
    char text[160];
    std::snprintf(text, sizeof(text), "%s failed, error %lu", what, static_cast<unsigned long>(code));
    return text;
}

bool Send(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(hwnd, message, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &answer))
        return false;
    result = static_cast<LRESULT>(answer);
    return true;
}

LRESULT SendOr(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT fallback) {
    LRESULT result = 0;
    return Send(hwnd, message, wparam, lparam, result) ? result : fallback;
}

// This Wine hands an ANSI caller of CB_GETLBTEXT from another process the
// entry's UTF-16 bytes: the texts are asked for in UTF-16 and converted here.
bool SendW(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(hwnd, message, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &answer))
        return false;
    result = static_cast<LRESULT>(answer);
    return true;
}

std::string Narrow(const wchar_t* text, int length) {
    if (length <= 0) return std::string();
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

bool EqualsNoCase(const std::string& a, const char* b) {
    return _stricmp(a.c_str(), b) == 0;
}

struct TitleSearch {
    const std::string* title;
    std::vector<HWND> visible;
    std::vector<HWND> hidden;
};

BOOL CALLBACK CollectByTitle(HWND hwnd, LPARAM lparam) {
    auto* search = reinterpret_cast<TitleSearch*>(lparam);
    char text[512];
    const int length = GetWindowTextA(hwnd, text, sizeof(text));
    if (length < 0 || static_cast<size_t>(length) != search->title->size()) return TRUE;
    if (search->title->compare(0, std::string::npos, text, static_cast<size_t>(length)) != 0)
        return TRUE;
    (IsWindowVisible(hwnd) ? search->visible : search->hidden).push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectVisible(HWND hwnd, LPARAM lparam) {
    if (!IsWindowVisible(hwnd)) return TRUE;
    auto* list = reinterpret_cast<std::vector<WindowInfo>*>(lparam);
    WindowInfo info;
    info.hwnd = hwnd;
    char text[512];
    const int length = GetWindowTextA(hwnd, text, sizeof(text));
    info.title.assign(text, length > 0 ? static_cast<size_t>(length) : 0);
    info.className = ClassOf(hwnd);
    info.visible = true;
    list->push_back(std::move(info));
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lparam) {
    reinterpret_cast<std::vector<HWND>*>(lparam)->push_back(hwnd);
    return TRUE;
}

// A list view record and its text buffer, laid out in the target process.
struct RemoteItem {
    LVITEMA item;
    char text[1024];
};

}  // namespace

// ---- RemoteMemory

RemoteMemory::RemoteMemory(HWND window, size_t size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == 0) {
        error_ = "the window has no process";
        return;
    }
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_ == nullptr) {
        error_ = Win32Error("OpenProcess", GetLastError());
        return;
    }
    address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (address_ == nullptr) {
        error_ = Win32Error("VirtualAllocEx", GetLastError());
        Release();
        return;
    }
    size_ = size;
}

RemoteMemory::~RemoteMemory() { Release(); }

RemoteMemory::RemoteMemory(RemoteMemory&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)),
      address_(std::exchange(other.address_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      error_(std::move(other.error_)) {}

RemoteMemory& RemoteMemory::operator=(RemoteMemory&& other) noexcept {
    if (this != &other) {
        Release();
        process_ = std::exchange(other.process_, nullptr);
        address_ = std::exchange(other.address_, nullptr);
        size_ = std::exchange(other.size_, 0);
        error_ = std::move(other.error_);
    }
    return *this;
}

void RemoteMemory::Release() {
    if (address_ != nullptr) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
    address_ = nullptr;
    process_ = nullptr;
    size_ = 0;
}

bool RemoteMemory::Write(size_t offset, const void* data, size_t size) {
    if (!Valid() || offset > size_ || size > size_ - offset) {
        error_ = "write outside the remote block";
        return false;
    }
    SIZE_T done = 0;
    if (!WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &done) ||
        done != size) {
        error_ = Win32Error("WriteProcessMemory", GetLastError());
        return false;
    }
    return true;
}

bool RemoteMemory::Read(size_t offset, void* data, size_t size) const {
    if (!Valid() || offset > size_ || size > size_ - offset) return false;
    SIZE_T done = 0;
    return ReadProcessMemory(process_, static_cast<const char*>(address_) + offset, data, size,
                             &done) &&
           done == size;
}

// ---- windows

std::vector<HWND> TopLevelWindows(const std::string& title) {
    TitleSearch search{&title, {}, {}};
    EnumWindows(CollectByTitle, reinterpret_cast<LPARAM>(&search));
    search.visible.insert(search.visible.end(), search.hidden.begin(), search.hidden.end());
    return search.visible;
}

HWND FindVisibleTopLevel(const std::string& title) {
    for (HWND hwnd : TopLevelWindows(title)) {
        if (IsWindowVisible(hwnd)) return hwnd;
    }
    return nullptr;
}

HWND FindMessageBox(const std::string& caption) {
    for (HWND hwnd : TopLevelWindows(caption)) {
        if (!IsWindowVisible(hwnd)) continue;
        if (ClassOf(hwnd) != "#32770") continue;
        if (GetDlgItem(hwnd, kMessageTextId) != nullptr) return hwnd;
    }
    return nullptr;
}

std::vector<WindowInfo> VisibleTopLevelWindows() {
    std::vector<WindowInfo> list;
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&list));
    return list;
}

std::vector<HWND> Descendants(HWND top) {
    std::vector<HWND> list;
    EnumChildWindows(top, CollectChild, reinterpret_cast<LPARAM>(&list));
    return list;
}

HWND FindControl(HWND top, int id) {
    HWND hidden = nullptr;
    for (HWND child : Descendants(top)) {
        if (GetDlgCtrlID(child) != id) continue;
        // A control counts as visible when it and every ancestor below the
        // top-level window are: a page that is hidden hides its controls.
        if (IsWindowVisible(child)) return child;
        if (hidden == nullptr) hidden = child;
    }
    return hidden;
}

std::string ClassOf(HWND hwnd) {
    char name[256];
    const int length = GetClassNameA(hwnd, name, sizeof(name));
    return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string TextOf(HWND hwnd) {
    LRESULT length = 0;
    if (SendW(hwnd, WM_GETTEXTLENGTH, 0, 0, length) && length >= 0 && length < 65536) {
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        LRESULT copied = 0;
        if (SendW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), copied) &&
            copied >= 0 && static_cast<size_t>(copied) < text.size())
            return Narrow(text.c_str(), static_cast<int>(copied));
    }
    char text[1024];
    const int copied = GetWindowTextA(hwnd, text, sizeof(text));
    return std::string(text, copied > 0 ? static_cast<size_t>(copied) : 0);
}

ListKind ListKindOf(HWND hwnd) {
    const std::string name = ClassOf(hwnd);
    if (EqualsNoCase(name, "ComboBox")) return ListKind::ComboBox;
    if (EqualsNoCase(name, "ListBox") || EqualsNoCase(name, "ComboLBox")) return ListKind::ListBox;
    if (EqualsNoCase(name, WC_LISTVIEWA)) return ListKind::ListView;
    return ListKind::None;
}

int CheckStateOf(HWND hwnd) {
    if (!EqualsNoCase(ClassOf(hwnd), "Button")) return -1;
    return static_cast<int>(SendOr(hwnd, BM_GETCHECK, 0, 0, -1));
}

// ---- lists

namespace {

bool ReadStringList(HWND list, UINT count_message, UINT length_message, UINT text_message,
                    UINT selection_message, std::vector<ListEntry>& entries, std::string& error) {
    LRESULT count = 0;
    if (!Send(list, count_message, 0, 0, count) || count < 0) {
        error = "the list does not answer with its count";
        return false;
    }
    LRESULT selection = -1;
    Send(list, selection_message, 0, 0, selection);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = 0;
        if (!SendW(list, length_message, static_cast<WPARAM>(i), 0, length) || length < 0 ||
            length > 65535) {
            error = "the list does not give the length of entry " + std::to_string(i);
            return false;
        }
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        LRESULT copied = 0;
        if (!SendW(list, text_message, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(text.data()), copied) ||
            copied < 0 || static_cast<size_t>(copied) >= text.size()) {
            error = "the list does not give the text of entry " + std::to_string(i);
            return false;
        }
        ListEntry entry;
        entry.text = Narrow(text.c_str(), static_cast<int>(copied));
        entry.selected = (i == selection);
        entries.push_back(std::move(entry));
    }
    return true;
}

bool ReadListView(HWND list, std::vector<ListEntry>& entries, std::string& error) {
    LRESULT count = 0;
    if (!Send(list, LVM_GETITEMCOUNT, 0, 0, count) || count < 0) {
        error = "the list view does not answer with its count";
        return false;
    }
    RemoteMemory remote(list, sizeof(RemoteItem));
    if (!remote.Valid()) {
        error = "no memory in the list view's process: " + remote.Error();
        return false;
    }
    auto* base = static_cast<char*>(remote.Address());
    for (LRESULT i = 0; i < count; ++i) {
        RemoteItem local{};
        local.item.mask = LVIF_TEXT;
        local.item.iItem = static_cast<int>(i);
        local.item.iSubItem = 0;
        local.item.pszText = base + offsetof(RemoteItem, text);
        local.item.cchTextMax = sizeof(local.text);
        if (!remote.Write(0, &local, sizeof(local))) {
            error = remote.Error();
            return false;
        }
        LRESULT copied = 0;
        if (!Send(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(base),
                  copied) ||
            copied < 0 || static_cast<size_t>(copied) >= sizeof(local.text)) {
            error = "the list view does not give the text of item " + std::to_string(i);
            return false;
        }
        char text[sizeof(local.text)];
        if (!remote.Read(offsetof(RemoteItem, text), text, sizeof(text))) {
            error = "cannot read the text of item " + std::to_string(i) + " back";
            return false;
        }
        ListEntry entry;
        entry.text.assign(text, static_cast<size_t>(copied));
        const LRESULT state = SendOr(list, LVM_GETITEMSTATE, static_cast<WPARAM>(i),
                                     LVIS_SELECTED | LVIS_STATEIMAGEMASK, 0);
        entry.selected = (state & LVIS_SELECTED) != 0;
        // State image 1 is the empty box, 2 the ticked one.
        entry.check = ((state & LVIS_STATEIMAGEMASK) >> 12) == 2 ? 1 : 0;
        entries.push_back(std::move(entry));
    }
    return true;
}

bool SetListViewState(HWND list, int index, UINT mask, UINT state, std::string& error) {
    RemoteMemory remote(list, sizeof(LVITEMA));
    if (!remote.Valid()) {
        error = "no memory in the list view's process: " + remote.Error();
        return false;
    }
    LVITEMA item{};
    item.stateMask = mask;
    item.state = state;
    if (!remote.Write(0, &item, sizeof(item))) {
        error = remote.Error();
        return false;
    }
    LRESULT done = 0;
    if (!Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index),
              reinterpret_cast<LPARAM>(remote.Address()), done) ||
        done == 0) {
        error = "the list view refused the state of item " + std::to_string(index);
        return false;
    }
    return true;
}

// Sends a notification through WM_COMMAND to the control's parent. A parent
// that opens a modal window in its handler keeps the message: the time-out
// then only means the handler goes on without the driver.
void NotifyParent(HWND control, WORD code) {
    HWND parent = GetParent(control);
    if (parent == nullptr) return;
    const int id = GetDlgCtrlID(control);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control),
                        SMTO_NORMAL, kSendTimeoutMs, &ignored);
}

}  // namespace

bool ReadList(HWND list, std::vector<ListEntry>& entries, std::string& error) {
    entries.clear();
    switch (ListKindOf(list)) {
        case ListKind::ComboBox:
            return ReadStringList(list, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETCURSEL,
                                  entries, error);
        case ListKind::ListBox:
            return ReadStringList(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_GETCURSEL,
                                  entries, error);
        case ListKind::ListView:
            return ReadListView(list, entries, error);
        case ListKind::None:
            break;
    }
    error = "control of class " + ClassOf(list) + " is no list";
    return false;
}

bool SelectEntry(HWND list, int index, std::string& error) {
    LRESULT result = 0;
    switch (ListKindOf(list)) {
        case ListKind::ComboBox:
            if (!Send(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0, result) || result != index) {
                error = "the combo box refused entry " + std::to_string(index);
                return false;
            }
            NotifyParent(list, CBN_SELCHANGE);
            return true;
        case ListKind::ListBox:
            if (!Send(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0, result) || result == LB_ERR) {
                error = "the list box refused entry " + std::to_string(index);
                return false;
            }
            NotifyParent(list, LBN_SELCHANGE);
            return true;
        case ListKind::ListView:
            return SetListViewState(list, index, LVIS_SELECTED | LVIS_FOCUSED,
                                    LVIS_SELECTED | LVIS_FOCUSED, error);
        case ListKind::None:
            break;
    }
    error = "control of class " + ClassOf(list) + " is no list";
    return false;
}

bool SetListViewCheck(HWND list, int index, bool checked, std::string& error) {
    if (ListKindOf(list) != ListKind::ListView) {
        error = "control of class " + ClassOf(list) + " is no list view";
        return false;
    }
    return SetListViewState(list, index, LVIS_STATEIMAGEMASK,
                            INDEXTOSTATEIMAGEMASK(checked ? 2 : 1), error);
}

bool PostClick(HWND button, std::string& error) {
    if (!IsWindowVisible(button)) {
        error = "the button is hidden";
        return false;
    }
    if (!IsWindowEnabled(button)) {
        error = "the button is disabled";
        return false;
    }
    HWND top = GetAncestor(button, GA_ROOT);
    if (top != nullptr && !IsWindowEnabled(top)) {
        error = "its window is disabled (a modal window of its own is open)";
        return false;
    }
    if (!PostMessageA(button, BM_CLICK, 0, 0)) {
        error = Win32Error("PostMessage(BM_CLICK)", GetLastError());
        return false;
    }
    return true;
}

// ---- tool tips

namespace {

// A tool record and its text buffer, laid out in the tool tip's process.
struct RemoteTool {
    TTTOOLINFOA tool;
    char text[1024];
};

struct ToolTipSearch {
    DWORD process = 0;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectToolTips(HWND hwnd, LPARAM lparam) {
    auto* search = reinterpret_cast<ToolTipSearch*>(lparam);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == search->process && EqualsNoCase(ClassOf(hwnd), TOOLTIPS_CLASSA))
        search->found.push_back(hwnd);
    return TRUE;
}

}  // namespace

bool ReadToolTips(HWND window, std::vector<ToolTipTool>& tools, std::string& error) {
    tools.clear();
    ToolTipSearch search;
    GetWindowThreadProcessId(window, &search.process);
    EnumWindows(CollectToolTips, reinterpret_cast<LPARAM>(&search));
    for (HWND tooltip : search.found) {
        LRESULT count = 0;
        if (!Send(tooltip, TTM_GETTOOLCOUNT, 0, 0, count) || count < 0) {
            error = "a tool tip does not answer with its count";
            return false;
        }
        RemoteMemory remote(tooltip, sizeof(RemoteTool));
        if (!remote.Valid()) {
            error = "no memory in the tool tip's process: " + remote.Error();
            return false;
        }
        auto* base = static_cast<char*>(remote.Address());
        for (LRESULT i = 0; i < count; ++i) {
            RemoteTool local{};
            local.tool.cbSize = sizeof(local.tool);
            local.tool.lpszText = base + offsetof(RemoteTool, text);
            LRESULT found = 0;
            if (!remote.Write(0, &local, sizeof(local)) ||
                !Send(tooltip, TTM_ENUMTOOLSA, static_cast<WPARAM>(i),
                      reinterpret_cast<LPARAM>(base), found) ||
                !found || !remote.Read(0, &local, sizeof(local))) {
                error = "cannot read tool " + std::to_string(i) + " of a tool tip";
                return false;
            }
            ToolTipTool tool;
            tool.tooltip = tooltip;
            tool.owner = local.tool.hwnd;
            tool.flags = local.tool.uFlags;
            tool.id = local.tool.uId;
            tool.rect = local.tool.rect;
            local.text[sizeof(local.text) - 1] = '\0';
            tool.text = local.text;
            tools.push_back(std::move(tool));
        }
    }
    return true;
}

}  // namespace uidriver
