// Copies a page's view to its dialog's controls, and the user's check-box and
// radio-button clicks back into the view.
#pragma once

#include "platform/win32/WindowsApi.h"

#include <cstdint>
#include <map>

#include "gui/PageView.h"

namespace gui {

class ControlSync {
public:
    // Applies the controls changed since the last call (all with `all`).
    void Apply(HWND dialog, PageView& view, bool all = false);
    // Reads the check state of the view's check boxes and radio buttons.
    void ReadChecks(HWND dialog, PageView& view);

private:
    std::map<int, uint32_t> listRevisions_;
};

}  // namespace gui
