// The progress window shown while the installation's worker runs: a bold
// line and a bar that creeps towards 90 %, then runs to the end or back to
// 0 when the worker reports, and closes itself. The animation runs on the
// window's timer, so the window keeps painting and sees the worker's end at
// once.
#pragma once

#include "platform/win32/WindowsApi.h"

#include <atomic>
#include <optional>
#include <span>

#include "gui/win32/DialogBase.h"
#include "setup/engine/InstallCommand.h"
#include "setup/wizard/ProgressAnimation.h"

namespace gui {

class ProgressWindow final : public Dialog<ProgressWindow>, public ProgressHost {
public:
    // The wizard's window takes no input while the window runs.
    ProgressWindow(HINSTANCE instance, HWND wizard) : instance_(instance), wizard_(wizard) {}

    // Shows the window modally until the animation has ended.
    void RunModal(std::atomic<int32_t>& completionState, int32_t os) override;

    static std::span<const Route> Routes();

private:
    static constexpr UINT_PTR kTimer = 1;

    INT_PTR OnInitDialog(WPARAM, LPARAM);
    INT_PTR OnTimer(WPARAM, LPARAM);
    INT_PTR OnPaint(WPARAM, LPARAM);
    INT_PTR OnIgnore(WPARAM, LPARAM);
    // Ends the window, giving the wizard its input back first.
    void Close();
    void ReleaseWizard();

    HINSTANCE instance_;
    HWND wizard_;
    bool holdingWizard_ = false;  // the wizard was disabled by this window
    std::atomic<int32_t>* state_ = nullptr;
    std::optional<ProgressAnimation> animation_;
};

}  // namespace gui
