#include "setup/wizard/ProgressAnimation.h"

#include "common/Types.h"
#include "setup/engine/InstallCommand.h"

ProgressStep ProgressAnimation::Step(int32_t completionState) {
    switch (phase_) {
        case Phase::Creep:
            if (os_ == Win98 && n_ == 90) {
                phase_ = Phase::Closed;
                return {-1, 0, true};
            }
            if (completionState == CompletionFailed) {
                if (n_ > 0) {
                    phase_ = Phase::Down;
                    return {-1, 10, false};
                }
                phase_ = Phase::DownEnd;
                return Step(completionState);
            }
            if (completionState == CompletionSucceeded) {
                phase_ = Phase::Up;
                if (n_ >= 100) phase_ = Phase::Closing;
                return {-1, n_ < 100 ? 10u : 100u, false};
            }
            if (n_ >= 90) n_ = 90;
            {
                const int position = n_ % 100;
                ++n_;
                return {position, 80, false};
            }
        case Phase::Down: {
            const int position = n_;
            --n_;
            if (n_ > 0) return {position, 10, false};
            phase_ = Phase::DownEnd;
            return {position, 0, false};
        }
        case Phase::DownEnd:
            phase_ = Phase::Closing;
            return {0, 100, false};
        case Phase::Up: {
            const int position = n_;
            ++n_;
            if (n_ < 100) return {position, 10, false};
            phase_ = Phase::Closing;
            return {position, 100, false};
        }
        case Phase::Closing:
            phase_ = Phase::Closed;
            return {-1, 0, true};
        case Phase::Closed:
            break;
    }
    return {-1, 0, true};
}
