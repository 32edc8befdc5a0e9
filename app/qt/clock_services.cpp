// The calendar clock, the solver's clock and its sleep.
#include <chrono>
#include <ctime>
#include <thread>

#include "core/platform.h"

namespace orvanta::platform {

std::int32_t clockSeconds() { return static_cast<std::int32_t>(std::time(nullptr)); }

std::int64_t monotonicMilliseconds() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
}

void sleepMilliseconds(std::int32_t milliseconds) {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace orvanta::platform
