// The browser's clocks. The calendar clock comes from the page (which can fix
// it for the tests); the solver's sleep does nothing, for a solve in a worker
// has the processor to itself and the page's own thread never waits.
#include <emscripten.h>

#include <limits>

#include "app/web/web_solve_worker.h"
#include "core/platform.h"

namespace {

EM_JS(double, js_clock_seconds, (), {
    return Module.web ? Module.web.clockSeconds() : Math.floor(Date.now() / 1000);
});

}  // namespace

namespace orvanta::platform {

std::int32_t clockSeconds() {
    const double seconds = js_clock_seconds();
    // Held within the clock's range (a test's fixed clock could lie anywhere).
    if (!(seconds > -2147483648.0)) return std::numeric_limits<std::int32_t>::min();
    if (!(seconds < 2147483647.0)) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(seconds);
}

std::int64_t monotonicMilliseconds() {
    const auto now = static_cast<std::int64_t>(emscripten_get_now());
    web::reportWorkerProgress(now);
    return now;
}

void sleepMilliseconds(std::int32_t /*milliseconds*/) {}

}  // namespace orvanta::platform
