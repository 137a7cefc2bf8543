// A static text control with its own text colour, background colour and
// font: it takes over a static control of a dialog, and the dialog hands it
// the control's colour request (WM_CTLCOLORSTATIC).
#pragma once

#include "platform/win32/WindowsApi.h"

#include "setup/wizard/win32/Gdi.h"

namespace gui {

class ColorLabel {
public:
    // The system's window-text colour on the button face, in the default
    // GUI font.
    ColorLabel();
    ColorLabel(const ColorLabel&) = delete;
    ColorLabel& operator=(const ColorLabel&) = delete;
    ~ColorLabel();

    // Takes over the dialog's static control `id`.
    void Attach(HWND dialog, int id);
    HWND Hwnd() const { return hwnd_; }

    // Redraws at once.
    void SetTextColor(COLORREF colour);
    // Shows at the next repaint.
    void SetBackgroundColor(COLORREF colour);
    // Character height in logical units; redraws at once.
    void SetFontHeight(int height);
    // At most 31 characters of the name are taken; redraws at once.
    void SetFontFace(const char* face);
    void SetText(const char* text);

    // The answer to the colour request: the font and text colour go into
    // the painting context and the background brush is returned.
    HBRUSH OnCtlColor(HDC dc) const;

private:
    void RecreateFont();
    void RedrawNow() const;

    HWND hwnd_ = nullptr;
    COLORREF textColour_;
    Brush background_;
    LOGFONTA description_{};
    Font font_;
};

}  // namespace gui
