// The state of one solve: the throttle's timing, its counters, the request to
// stop it and how far it has come. Every solve has a run of its own, so solves
// on different threads share nothing. Another thread may ask a run to stop and
// read its progress; everything else belongs to the thread that solves.
#pragma once

#include <atomic>
#include <cstdint>

namespace orvanta {

// The throttle: a solve gives the processor back for kThrottleSleepMs after
// every kThrottleIntervalMs of computing, so a solve done within that time
// never sleeps. It looks at the clock once every kThrottleCheckSteps steps.
inline constexpr std::int32_t kThrottleSleepMs = 60;
inline constexpr std::int64_t kThrottleIntervalMs = 1000;
inline constexpr std::int32_t kThrottleCheckSteps = 1024;

// What solves did, for the tests and the benchmarks to read: a solve adds to
// the record its run was given (SolveRun::keepStatistics) and keeps none
// without one.
struct SolveStatistics {
    std::int64_t toursEvaluated = 0;             // tours whose length was summed
    std::int64_t countedSolves = 0;              // settled by counting orderings per length
    std::int64_t countedWithShortestWalked = 0;  // of those, walking the tours of the shortest lengths
    std::int64_t lineSolves = 0;                 // settled by the classes of a row with one city off it
    std::int64_t solvesBelowCeilings = 0;        // searches settled by walks below a ceiling
    std::int64_t subtreesCountedWhole = 0;       // subtrees near the leaves counted without a walk
};

// Thrown out of a solve that was asked to stop (or ran past its deadline); the
// solve's own entry catches it and leaves the board as it was.
struct SolveStopped {};

class SolveRun {
public:
    SolveRun();
    SolveRun(const SolveRun&) = delete;
    SolveRun& operator=(const SolveRun&) = delete;

    // Any thread. The solve notices at its next look at the clock.
    void requestStop() { stopWanted.store(true, std::memory_order_relaxed); }
    bool stopRequested() const { return stopWanted.load(std::memory_order_relaxed); }
    // Any thread: the share of the solve settled, from 0 to 1; it only grows.
    double progress() const { return static_cast<double>(settled.load(std::memory_order_relaxed)) / kProgressScale; }

    // The solving thread: stop by itself once this many milliseconds of the
    // monotonic clock have passed since the run started (for the fuzz targets).
    void stopAfter(std::int64_t milliseconds) { deadline = startedAt + milliseconds; }

    // One step of work: now and then looks at the clock and the stop request,
    // sleeps when another interval of computing has passed, and throws
    // SolveStopped when the run is to end.
    void step() {
        if (--stepsToClock > 0) return;
        lookAtClock();
    }
    // Work worth `count` steps done at once (a row of a count, say), so that
    // the clock is looked at as often for long rows as for single tours.
    void steps(std::int32_t count) {
        stepsToClock -= count;
        if (stepsToClock > 0) return;
        lookAtClock();
    }
    // One tour evaluated: counted, and a step of work.
    void tour() {
        ++tours;
        step();
    }
    std::int64_t toursEvaluated() const { return tours; }
    // The solving thread: from now on the solve adds what it did to `record`
    // (null: to nothing).
    void keepStatistics(SolveStatistics* record) { statistics = record; }
    // Adds to one count of the record, if one is kept.
    void note(std::int64_t SolveStatistics::*count, std::int64_t by = 1) {
        if (statistics != nullptr) statistics->*count += by;
    }
    // Whether the run was ended by a stop request or its deadline.
    bool stoppedEarly() const { return stopped; }

    // Progress is reported within a span of the whole: a part of the solve
    // that does not know how much work comes after it takes [from, to].
    void enterSpan(double from, double to) {
        spanFrom = from;
        spanTo = to;
        advance(0.0);
    }
    // How far the current span has come, from 0 to 1.
    void advance(double fraction) {
        const double whole = spanFrom + (spanTo - spanFrom) * (fraction < 0.0 ? 0.0 : fraction > 1.0 ? 1.0 : fraction);
        const auto at = static_cast<std::uint32_t>(whole * kProgressScale);
        if (holding) {
            if (at > held) held = at;
            return;
        }
        if (at > settled.load(std::memory_order_relaxed)) settled.store(at, std::memory_order_relaxed);
    }
    // A part that may yet give the board up to another (the counting) holds
    // its share back: what it reports is shown only once the run has gone on
    // for kHoldBackMs, and a part given up before then leaves nothing shown,
    // so the part after it does not start from a share it never earned.
    static constexpr std::int64_t kHoldBackMs = 250;
    void holdBack() {
        holding = true;
        held = settled.load(std::memory_order_relaxed);
        showHeldAt = startedAt + kHoldBackMs;
    }
    // The part gave up: a share still held back is dropped.
    void dropHeld() { holding = false; }
    void finish() { settled.store(kProgressScale, std::memory_order_relaxed); }
    // A part whose position is cheaper to work out now and then than to
    // report step by step: at a look at the clock, once every
    // kPositionIntervalMs, `position(from)` is taken as how far the current
    // span has come. Null ends it.
    static constexpr std::int64_t kPositionIntervalMs = 50;
    void reportPosition(double (*position)(void*), void* from) {
        positionOf = position;
        positionFrom = from;
    }

private:
    static constexpr std::uint32_t kProgressScale = 1'000'000;

    void lookAtClock();
    [[noreturn]] void stop();
    void showHeld() {
        holding = false;
        if (held > settled.load(std::memory_order_relaxed)) settled.store(held, std::memory_order_relaxed);
    }

    std::atomic<bool> stopWanted{false};
    std::atomic<std::uint32_t> settled{0};
    std::int64_t tours = 0;
    SolveStatistics* statistics = nullptr;
    bool stopped = false;
    std::int32_t stepsToClock;
    std::int64_t startedAt;
    std::int64_t sleepDue;
    std::int64_t positionDue;
    std::int64_t deadline = -1;
    bool holding = false;
    std::uint32_t held = 0;
    std::int64_t showHeldAt = 0;
    double spanFrom = 0.0;
    double spanTo = 1.0;
    double (*positionOf)(void*) = nullptr;
    void* positionFrom = nullptr;
};

}  // namespace orvanta
