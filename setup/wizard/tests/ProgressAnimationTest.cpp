// The progress window's animation: positions and delays step by step.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "common/Types.h"
#include "setup/engine/InstallCommand.h"
#include "setup/wizard/ProgressAnimation.h"

namespace {

struct Animation {
    std::vector<int> positions;
    uint32_t elapsedMs = 0;
    bool closed = false;
};

// Runs the animation with the worker's state given by the time elapsed.
Animation Animate(int32_t os, const std::function<int32_t(uint32_t)>& stateAt,
            uint32_t limitMs = 60000) {
    ProgressAnimation animation(os);
    Animation run;
    while (run.elapsedMs < limitMs) {
        const ProgressStep step = animation.Step(stateAt(run.elapsedMs));
        if (step.close) {
            run.closed = true;
            break;
        }
        if (step.position >= 0) run.positions.push_back(step.position);
        run.elapsedMs += step.delayMs;
    }
    return run;
}

TEST(ProgressAnimation, CreepsToNinetyAndHolds) {
    const Animation run = Animate(WinXP, [](uint32_t) { return CompletionRunning; }, 20000);
    EXPECT_FALSE(run.closed);
    ASSERT_GE(run.positions.size(), 100u);
    for (int i = 0; i <= 90; ++i) EXPECT_EQ(run.positions[i], i);
    for (size_t i = 91; i < run.positions.size(); ++i) EXPECT_EQ(run.positions[i], 90);
}

TEST(ProgressAnimation, EarlySuccessRunsUpToTheEnd) {
    // Succeeded after 1 s: 13 creeping steps of 80 ms, then 10 ms steps to 99.
    const Animation run = Animate(WinXP, [](uint32_t t) {
        return t >= 1000 ? CompletionSucceeded : CompletionRunning;
    });
    ASSERT_TRUE(run.closed);
    EXPECT_EQ(run.positions.back(), 99);
    std::vector<int> expected;
    for (int i = 0; i <= 99; ++i) expected.push_back(i);
    EXPECT_EQ(run.positions, expected);
    // 13 x 80 ms, 87 x 10 ms up, and 100 ms before closing.
    EXPECT_EQ(run.elapsedMs, 13u * 80 + 87u * 10 + 100);
}

TEST(ProgressAnimation, FailureAtNinetyRunsDownToZero) {
    const Animation run = Animate(WinXP, [](uint32_t t) {
        return t >= 10000 ? CompletionFailed : CompletionRunning;
    });
    ASSERT_TRUE(run.closed);
    // The bar holds at 90 with its count one ahead; it runs down from
    // there to 1, then shows 0.
    const size_t n = run.positions.size();
    ASSERT_GE(n, 93u);
    for (int k = 0; k <= 91; ++k) EXPECT_EQ(run.positions[n - 1 - k], k);
    EXPECT_EQ(run.positions[n - 93], 90);  // the last held position
    EXPECT_EQ(run.elapsedMs % 10, 0u);
}

TEST(ProgressAnimation, FailureBeforeTheFirstStep) {
    const Animation run = Animate(WinXP, [](uint32_t) { return CompletionFailed; });
    ASSERT_TRUE(run.closed);
    EXPECT_EQ(run.positions, std::vector<int>{0});
    EXPECT_EQ(run.elapsedMs, 100u);
}

TEST(ProgressAnimation, Windows98ClosesAtNinetyWhateverTheWorker) {
    const Animation run = Animate(Win98, [](uint32_t) { return CompletionRunning; });
    ASSERT_TRUE(run.closed);
    EXPECT_EQ(run.positions.back(), 89);
    EXPECT_EQ(run.elapsedMs, 90u * 80);
    // A worker that ended early still gets its run up on Windows 98/Me.
    const Animation done = Animate(Win98, [](uint32_t) { return CompletionSucceeded; });
    EXPECT_EQ(done.positions.back(), 99);
}

}  // namespace
