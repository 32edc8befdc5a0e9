#include "support/fake_clock.h"

#include <chrono>
#include <thread>

#include "core/platform.h"

namespace orvanta {

namespace fake {
std::int32_t clockNow = 0;
std::int64_t monotonicNow = 0;
std::int64_t millisecondsPerRead = 0;
std::int64_t monotonicReads = 0;
std::int32_t sleepCalls = 0;
std::int64_t sleptMilliseconds = 0;
bool sleepsForReal = false;
void (*onMonotonicRead)() = nullptr;

void resetClock(std::int32_t now) {
    clockNow = now;
    monotonicNow = 0;
    millisecondsPerRead = 0;
    monotonicReads = 0;
    sleepCalls = 0;
    sleptMilliseconds = 0;
    sleepsForReal = false;
    onMonotonicRead = nullptr;
}
}  // namespace fake

namespace platform {
std::int32_t clockSeconds() { return fake::clockNow; }
std::int64_t monotonicMilliseconds() {
    ++fake::monotonicReads;
    if (fake::onMonotonicRead != nullptr) fake::onMonotonicRead();
    const std::int64_t now = fake::monotonicNow;
    fake::monotonicNow += fake::millisecondsPerRead;
    return now;
}
void sleepMilliseconds(std::int32_t milliseconds) {
    ++fake::sleepCalls;
    fake::sleptMilliseconds += milliseconds;
    fake::monotonicNow += milliseconds;
    if (fake::sleepsForReal) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
}  // namespace platform

}  // namespace orvanta
