// The calendar clock and the solver's sleep.
#include <chrono>
#include <ctime>
#include <thread>

#include "core/platform.h"

namespace orvanta::platform {

std::int32_t clockSeconds() { return static_cast<std::int32_t>(std::time(nullptr)); }

void sleepMilliseconds(std::int32_t milliseconds) {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace orvanta::platform
