#include "setup/wizard/win32/ColorLabel.h"

#include <cstring>

namespace gui {

ColorLabel::ColorLabel()
    : textColour_(::GetSysColor(COLOR_WINDOWTEXT)),
      background_(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE))) {
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof description_, &description_);
    RecreateFont();
}

ColorLabel::~ColorLabel() {
    // The control must not keep a font that is about to go.
    if (hwnd_ && ::IsWindow(hwnd_)) ::SendMessageA(hwnd_, WM_SETFONT, 0, FALSE);
}

void ColorLabel::Attach(HWND dialog, int id) {
    hwnd_ = ::GetDlgItem(dialog, id);
    if (hwnd_) ::SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

void ColorLabel::RedrawNow() const {
    if (hwnd_) ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void ColorLabel::RecreateFont() {
    font_.reset(::CreateFontIndirectA(&description_));
    // The static paints with the font it was given as well as with the one
    // selected on its colour request.
    if (hwnd_) ::SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

void ColorLabel::SetTextColor(COLORREF colour) {
    textColour_ = colour;
    RedrawNow();
}

void ColorLabel::SetBackgroundColor(COLORREF colour) { background_.reset(::CreateSolidBrush(colour)); }

void ColorLabel::SetFontHeight(int height) {
    description_.lfHeight = -height;
    RecreateFont();
    RedrawNow();
}

void ColorLabel::SetFontFace(const char* face) {
    std::memset(description_.lfFaceName, 0, sizeof description_.lfFaceName);
    std::strncpy(description_.lfFaceName, face ? face : "", sizeof description_.lfFaceName - 1);
    RecreateFont();
    RedrawNow();
}

void ColorLabel::SetText(const char* text) {
    if (hwnd_) ::SetWindowTextA(hwnd_, text ? text : "");
}

HBRUSH ColorLabel::OnCtlColor(HDC dc) const {
    if (font_) ::SelectObject(dc, font_.get());
    ::SetTextColor(dc, textColour_);
    ::SetBkMode(dc, TRANSPARENT);
    return background_.get();
}

}  // namespace gui
