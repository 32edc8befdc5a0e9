// Test stand-ins for the clock and the solver's sleep.
#pragma once

#include <cstdint>

namespace orvanta::fake {

// What platform::clockSeconds() returns; tests set it.
extern std::int32_t clockNow;
// What platform::monotonicMilliseconds() returns. Each read advances it by
// millisecondsPerRead (0 unless a test simulates a long computation), and
// each sleep by its length; reads are counted.
extern std::int64_t monotonicNow;
extern std::int64_t millisecondsPerRead;
extern std::int64_t monotonicReads;
// Sleeps asked for since the last reset, and their total length.
extern std::int32_t sleepCalls;
extern std::int64_t sleptMilliseconds;
// Sleeps take their time for real: with millisecondsPerRead at a second or
// more, every look of the throttle at the clock sleeps, so any solve becomes
// slow whatever the board.
extern bool sleepsForReal;
// Called at every read of the monotonic clock while set: a test looks at a
// solve there, at each look of the throttle at the clock.
extern void (*onMonotonicRead)();

void resetClock(std::int32_t now = 0);

}  // namespace orvanta::fake
