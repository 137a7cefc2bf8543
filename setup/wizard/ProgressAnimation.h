// The progress window's animation, step by step: the bar creeps one step
// every 80 ms up to 90 and holds there; when the worker reports, it runs up
// to the end (success) or back to 0 (failure) in 10 ms steps and the window
// closes 100 ms later. On Windows 98/Me the window closes at 90 whatever the
// worker's state.
//
// The window calls Step on its timer and sets the timer again to the step's
// delay, so its message loop stays alive while the bar moves.
#pragma once

#include <cstdint>

struct ProgressStep {
    int position = -1;     // the bar's new position; -1 leaves it
    uint32_t delayMs = 0;  // time until the next step (0: at once)
    bool close = false;    // close the window now (nothing else to do)
};

class ProgressAnimation {
public:
    explicit ProgressAnimation(int32_t os) : os_(os) {}

    // One step, given the worker's CompletionState (0 running, 1 failed,
    // 2 succeeded).
    ProgressStep Step(int32_t completionState);

    int Value() const { return n_; }
    bool Closed() const { return phase_ == Phase::Closed; }

private:
    enum class Phase { Creep, Down, DownEnd, Up, Closing, Closed };

    int32_t os_;
    int n_ = 0;
    Phase phase_ = Phase::Creep;
};
