// One solve's look at the clock: the throttle's sleeps, the stop request,
// the deadline and the progress shown now and then.
#include "core/solve_run.h"

#include "core/platform.h"

namespace orvanta {

SolveRun::SolveRun()
    : stepsToClock(kThrottleCheckSteps),
      startedAt(platform::monotonicMilliseconds()),
      sleepDue(startedAt + kThrottleIntervalMs),
      positionDue(startedAt + kPositionIntervalMs) {}

void SolveRun::stop() {
    stopped = true;
    throw SolveStopped{};
}

void SolveRun::lookAtClock() {
    stepsToClock = kThrottleCheckSteps;
    if (stopRequested()) stop();
    const std::int64_t now = platform::monotonicMilliseconds();
    if (holding && now >= showHeldAt) showHeld();
    if (positionOf != nullptr && now >= positionDue) {
        advance(positionOf(positionFrom));
        positionDue = now + kPositionIntervalMs;
    }
    if (deadline >= 0 && now >= deadline) stop();
    if (now < sleepDue) return;
    platform::sleepMilliseconds(kThrottleSleepMs);
    // The sleep is not computing: the next interval starts after it.
    sleepDue = platform::monotonicMilliseconds() + kThrottleIntervalMs;
    if (stopRequested()) stop();
}

}  // namespace orvanta
