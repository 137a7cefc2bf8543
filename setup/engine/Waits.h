// Setup's waits, in milliseconds. Each goes through the platform's clock.
#pragma once

#include <cstdint>

// Before the installation's first stage.
inline constexpr uint32_t kBeforeStagesMs = 100;
// After the spooler was asked to stop, before the monitors are replaced.
inline constexpr uint32_t kAfterSpoolerStopMs = 500;
// Between the two starts of the stopped spooler: NT 4.0 and 2000 settle in
// this time, XP and Server 2003 in the longer one; the others not at all.
inline constexpr uint32_t kSpoolerSettleNtMs = 1000;
inline constexpr uint32_t kSpoolerSettleXpMs = 2500;
// After the second start, before the wait for the running state.
inline constexpr uint32_t kAfterSpoolerStartMs = 1000;
// After the print processor's version was recorded.
inline constexpr uint32_t kAfterProcessorAddedMs = 200;
// The progress window's tick, which the windowless run keeps as well.
inline constexpr uint32_t kProgressTickMs = 100;
