// The exact solver: the shortest round trip from city 0 and the table of the
// shortest distinct tour lengths (the path spectrum).
#pragma once

#include <cstdint>

#include "core/board.h"

namespace orvanta {

// Largest city count that the edition solves on its own after a change.
inline constexpr std::int32_t kAutoSolveLimit = 8;
// The throttle: a solve gives the processor back for kThrottleSleepMs after
// every kThrottleIntervalMs of computing, so a solve done within that time
// never sleeps. It looks at the clock once every kThrottleCheckSteps steps.
inline constexpr std::int32_t kThrottleSleepMs = 60;
inline constexpr std::int64_t kThrottleIntervalMs = 1000;
inline constexpr std::int32_t kThrottleCheckSteps = 1024;

// Tours evaluated by all solves so far (the tests and the benchmark read it).
extern std::int64_t toursEvaluated;
// Solves done by counting orderings per length rather than walking them.
extern std::int64_t countedSolves;

// Solves the board if it is not yet solved and either forced or allowed
// automatically by the edition. Returns whether the board is solved.
bool ensureSolved(Board& board, bool force);

// Leaves the board exactly as evaluating every ordering from city 0 in
// lexicographic order would (solution route, spectrum), but skips the
// orderings that could no longer reach the spectrum; each tour it does
// evaluate is throttled. False, touching nothing, for fewer than two cities.
bool solveExact(Board& board);

// Counts one tour length into the table, or inserts it in order.
void recordLength(PathSpectrum& spectrum, double length);

// Divides the used entries by the first one, so the first reads 1.0.
void normaliseSpectrum(PathSpectrum& spectrum);

// Starts timing a solve's computing for the throttle.
void startThrottle();

// One step of a solve's work: now and then looks at the clock and sleeps when
// another interval of computing has passed.
void throttleStep();

// One tour evaluated: counts it, and is a step of work.
void throttleTour();

}  // namespace orvanta
