// Services the tour core needs from the desktop. Each front end (and the test
// support library) defines these functions; the linker picks the one in use.
#pragma once

#include <cstdint>

namespace orvanta::platform {

// Calendar time in whole seconds since 1970-01-01 00:00 UTC.
std::int32_t clockSeconds();

// Milliseconds on a clock that only runs forward, from an arbitrary start;
// the solver times its own work with it.
std::int64_t monotonicMilliseconds();

// Gives the processor back to the system for the given time.
void sleepMilliseconds(std::int32_t milliseconds);

}  // namespace orvanta::platform
