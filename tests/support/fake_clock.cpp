#include "support/fake_clock.h"

#include "core/platform.h"

namespace orvanta {

namespace fake {
std::int32_t clockNow = 0;
std::int32_t sleepCalls = 0;
std::int64_t sleptMilliseconds = 0;

void resetClock(std::int32_t now) {
    clockNow = now;
    sleepCalls = 0;
    sleptMilliseconds = 0;
}
}  // namespace fake

namespace platform {
std::int32_t clockSeconds() { return fake::clockNow; }
void sleepMilliseconds(std::int32_t milliseconds) {
    ++fake::sleepCalls;
    fake::sleptMilliseconds += milliseconds;
}
}  // namespace platform

}  // namespace orvanta
