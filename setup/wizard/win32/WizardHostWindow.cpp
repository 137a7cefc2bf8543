#include "setup/wizard/win32/WizardHostWindow.h"

#include "gui/win32/PlainDialog.h"
#include "platform/Desktop.h"
#include "setup/engine/Messages.h"
#include "setup/res/resource.h"
#include "setup/wizard/WizardTexts.h"
#include "setup/wizard/win32/ProgressWindow.h"

namespace gui {

WizardHostWindow::WizardHostWindow(HINSTANCE instance, SetupState& state, WizardHost& host,
                                   std::vector<PageWindow*> pages)
    : instance_(instance), state_(state), host_(host), pages_(std::move(pages)) {}

std::span<const WizardHostWindow::Route> WizardHostWindow::Routes() {
    static const Route routes[] = {
        {WM_INITDIALOG, kAny, kAny, &WizardHostWindow::OnInitDialog},
        {WM_COMMAND, IDOK, BN_CLICKED, &WizardHostWindow::OnOk},
        {WM_COMMAND, IDC_BACK, BN_CLICKED, &WizardHostWindow::OnBack},
        {WM_COMMAND, IDCANCEL, kAny, &WizardHostWindow::OnCancel},
        {WM_HELP, kAny, kAny, &WizardHostWindow::OnHelp},
        {WM_SYSCOMMAND, IDM_ABOUTBOX, kAny, &WizardHostWindow::OnAbout},
        {WM_DRAWITEM, IDC_PICTURE, kAny, &WizardHostWindow::OnDrawPicture},
        {WM_PAINT, kAny, kAny, &WizardHostWindow::OnPaint},
        {WM_QUERYDRAGICON, kAny, kAny, &WizardHostWindow::OnQueryDragIcon},
    };
    return routes;
}

INT_PTR WizardHostWindow::RunModal() {
    return ::DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_WIZARD), nullptr,
                             &WizardHostWindow::Proc, reinterpret_cast<LPARAM>(this));
}

void WizardHostWindow::SyncAll() {
    for (int i = 0; i < host_.PageCount() && i < static_cast<int>(pages_.size()); ++i)
        if (pages_[static_cast<size_t>(i)]->Window()) pages_[static_cast<size_t>(i)]->Sync();
    sync_.Apply(hwnd_, host_.View());
}

bool WizardHostWindow::UpdatePageData(int index) {
    if (index < 0 || index >= static_cast<int>(pages_.size())) return false;
    PageWindow* page = pages_[static_cast<size_t>(index)];
    if (page->Window()) page->ReadBack();
    return page->Logic().UpdateData();
}

void WizardHostWindow::ShowPage(int index, bool show) {
    if (index < 0 || index >= static_cast<int>(pages_.size())) return;
    // The page's controls first show what its logic holds.
    PageWindow* page = pages_[static_cast<size_t>(index)];
    if (!page->Window()) return;
    if (show) page->Sync();
    ::ShowWindow(page->Window(), show ? SW_SHOW : SW_HIDE);
}

void WizardHostWindow::ShowMinimized() { ::ShowWindow(hwnd_, SW_SHOWMINIMIZED); }

void WizardHostWindow::MakeTopmost() {
    ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

INT_PTR WizardHostWindow::OnInitDialog(WPARAM, LPARAM) {
    state_.context.owner = reinterpret_cast<plat::Window>(hwnd_);

    // The About entry of the system menu.
    char about[128] = {};
    ::LoadStringA(instance_, IDS_ABOUTBOX, about, sizeof about);
    if (HMENU menu = ::GetSystemMenu(hwnd_, FALSE); menu && about[0] != '\0') {
        ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
    }

    icon_ = static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(IDI_SETUP), IMAGE_ICON,
                                            ::GetSystemMetrics(SM_CXICON),
                                            ::GetSystemMetrics(SM_CYICON), LR_SHARED));
    smallIcon_ = static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(IDI_SETUP),
                                                 IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                 ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    ::SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

    // Every page in the frame's rectangle, then the first page.
    if (host_.PageCount() > 0) {
        RECT frame{};
        ::GetWindowRect(::GetDlgItem(hwnd_, IDC_FRAME), &frame);
        ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&frame), 2);
        for (int i = 0; i < host_.PageCount() && i < static_cast<int>(pages_.size()); ++i) {
            HWND page = pages_[static_cast<size_t>(i)]->Create(instance_, hwnd_, host_.TemplateOf(i));
            if (page)
                ::SetWindowPos(page, nullptr, frame.left, frame.top, frame.right - frame.left,
                               frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    host_.Start(*this);
    SyncAll();

    // Only the package in the current folder counts: a Setup started from
    // elsewhere says so now rather than at its first file copy.
    const std::string picture = host_.PicturePath();
    if (!picture.empty())
        picture_.reset(static_cast<HBITMAP>(
            ::LoadImageA(nullptr, picture.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
    if (!picture_) {
        // A message owned by a window not yet shown may stay unseen.
        ::ShowWindow(hwnd_, SW_SHOW);
        state_.windows.desktop().MessageBox(state_.context.owner, msg::kNoLeftBmp,
                                            state_.context.caption, plat::mb::Ok);
        ::EndDialog(hwnd_, IDCANCEL);
        return TRUE;
    }
    ::ShowWindow(hwnd_, SW_SHOW);
    if (!host_.CheckAdministrator()) {
        ::EndDialog(hwnd_, IDCANCEL);
        return TRUE;
    }
    ::SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(hwnd_, IDOK)), TRUE);
    return FALSE;
}

INT_PTR WizardHostWindow::OnOk(WPARAM, LPARAM) {
    // Enter reaches here even while the button is greyed, and a message box
    // of the Install command lets a second press through.
    if (host_.Installing() || !::IsWindowEnabled(::GetDlgItem(hwnd_, IDOK))) return TRUE;
    if (!host_.OnLastPage()) {
        host_.Next(*this);
        SyncAll();
        return TRUE;
    }
    ProgressWindow progress(instance_, hwnd_);
    const InstallOutcome outcome = host_.Install(*this, progress, *this);
    if (outcome == InstallOutcome::Finished) {
        const int current = host_.Current();
        if (current >= 0 && current < static_cast<int>(pages_.size()) &&
            pages_[static_cast<size_t>(current)]->Window())
            ::DestroyWindow(pages_[static_cast<size_t>(current)]->Window());
        ::EndDialog(hwnd_, IDOK);
        return TRUE;
    }
    SyncAll();
    return TRUE;
}

INT_PTR WizardHostWindow::OnBack(WPARAM, LPARAM) {
    host_.Back(*this);
    SyncAll();
    return TRUE;
}

INT_PTR WizardHostWindow::OnCancel(WPARAM, LPARAM) {
    if (host_.Installing()) return TRUE;
    ::EndDialog(hwnd_, IDCANCEL);
    return TRUE;
}

INT_PTR WizardHostWindow::OnHelp(WPARAM, LPARAM) {
    host_.Help();
    return TRUE;
}

INT_PTR WizardHostWindow::OnAbout(WPARAM, LPARAM) {
    ShowPlainDialog(instance_, IDD_ABOUTBOX, hwnd_);
    return TRUE;
}

INT_PTR WizardHostWindow::OnDrawPicture(WPARAM, LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (!item || !picture_) return FALSE;
    BITMAP info{};
    ::GetObjectA(picture_.get(), sizeof info, &info);
    HDC memory = ::CreateCompatibleDC(item->hDC);
    {
        Selection select(memory, picture_.get());
        const RECT& r = item->rcItem;
        ::SetStretchBltMode(item->hDC, COLORONCOLOR);
        ::StretchBlt(item->hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, 0, 0,
                     info.bmWidth, info.bmHeight, SRCCOPY);
    }
    ::DeleteDC(memory);
    return TRUE;
}

INT_PTR WizardHostWindow::OnPaint(WPARAM, LPARAM) {
    if (!::IsIconic(hwnd_)) return FALSE;  // the dialog paints itself
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd_, &paint);
    ::SendMessageA(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    ::GetClientRect(hwnd_, &client);
    const int cx = ::GetSystemMetrics(SM_CXICON), cy = ::GetSystemMetrics(SM_CYICON);
    ::DrawIcon(dc, (client.right - cx + 1) / 2, (client.bottom - cy + 1) / 2, icon_);
    ::EndPaint(hwnd_, &paint);
    return TRUE;
}

INT_PTR WizardHostWindow::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<INT_PTR>(icon_);
}

}  // namespace gui
