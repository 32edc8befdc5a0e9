// Test stand-ins for the clock and the solver's sleep.
#pragma once

#include <cstdint>

namespace orvanta::fake {

// What platform::clockSeconds() returns; tests set it.
extern std::int32_t clockNow;
// Sleeps asked for since the last reset, and their total length.
extern std::int32_t sleepCalls;
extern std::int64_t sleptMilliseconds;

void resetClock(std::int32_t now = 0);

}  // namespace orvanta::fake
