// The exact solver: the shortest round trip from city 0 and the table of the
// shortest distinct tour lengths (the path spectrum).
#pragma once

#include <atomic>
#include <cmath>
#include <cstdint>

#include "core/board.h"
#include "core/solve_run.h"

namespace orvanta {

// Largest city count that the edition solves on its own after a change.
inline constexpr std::int32_t kAutoSolveLimit = 8;
// The throttle: a solve gives the processor back for kThrottleSleepMs after
// every kThrottleIntervalMs of computing, so a solve done within that time
// never sleeps. It looks at the clock once every kThrottleCheckSteps steps.
inline constexpr std::int32_t kThrottleSleepMs = 60;
inline constexpr std::int64_t kThrottleIntervalMs = 1000;
inline constexpr std::int32_t kThrottleCheckSteps = 1024;

// Tours evaluated by all solves so far, and the solves done by counting
// orderings per length rather than walking them; each solve adds its own
// counts when it ends (the tests and the benchmark read them).
extern std::atomic<std::int64_t> toursEvaluated;
extern std::atomic<std::int64_t> countedSolves;

// Solves the board if it is not yet solved and either forced or allowed
// automatically by the edition. Returns whether the board is solved.
bool ensureSolved(Board& board, bool force);

// Leaves the board exactly as evaluating every ordering from city 0 in
// lexicographic order would (solution route, spectrum), but skips the
// orderings that could no longer reach the spectrum; each tour it does
// evaluate is throttled. False, touching nothing, for fewer than two cities
// and when the run is stopped before the end.
bool solveExact(Board& board, SolveRun& run);
bool solveExact(Board& board);

// Takes over the solution of `solved`, a copy of this board solved by
// solveExact: the solution route, its length, the spectrum and the flag.
void takeSolution(Board& board, const Board& solved);

// The tolerance of a table entry: a length within it of the entry's length,
// either way, ends included, is counted in that entry. A millionth of it.
inline double toleranceOf(double length) { return std::fabs(1e-6 * length); }

// Counts one tour length into the table, or inserts it in order.
void recordLength(PathSpectrum& spectrum, double length);

// Divides the used entries by the first one, so the first reads 1.0.
void normaliseSpectrum(PathSpectrum& spectrum);

}  // namespace orvanta
