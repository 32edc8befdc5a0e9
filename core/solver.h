// The exact solver: the shortest round trip from city 0 and the table of the
// shortest distinct tour lengths (the path spectrum).
#pragma once

#include <cstdint>

#include "core/board.h"

namespace orvanta {

// Largest city count that the edition solves on its own after a change.
inline constexpr std::int32_t kAutoSolveLimit = 8;
// Tours evaluated between two sleeps of the solver, and the sleep.
inline constexpr std::int32_t kThrottleTours = 2000;
inline constexpr std::int32_t kThrottleSleepMs = 60;

// Counts tour evaluations across all solves; the solver sleeps when it passes 2000.
extern std::int32_t throttleCounter;

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

// One tour evaluation's worth of throttling: advances the counter and sleeps
// when it passes the limit.
void throttleTour();

}  // namespace orvanta
