// The exact solver: the shortest round trip from city 0 and the table of the
// shortest distinct tour lengths (the path spectrum), exactly as evaluating
// every ordering from city 0 in lexicographic order leaves them.
//
// The entry is solveExact (solver.cpp), which tries the counting first, then
// the classes of a line, and searches the boards both refuse:
//   solver.cpp                    solveExact, ensureSolved, the table itself
//                                 (recordLength, normaliseSpectrum)
//   solve_run.*                   one solve's throttle, stop and progress
//   solver_counting*.{h,cpp}      the counting: boards whose distances are all
//                                 (nearly) whole multiples of one unit (cities
//                                 on a line, some on a slanted line, rows a
//                                 unit apart); orderings counted per length
//   solver_line*.{h,cpp}          boards whose cities but one lie on one row or
//                                 column: tours counted per class (the two
//                                 cities next to the one off it, the rest's
//                                 length along the line)
//   solver_search.{h,cpp}         the search: every other board; orderings
//                                 walked depth first, skipping prefixes whose
//                                 shortest completion cannot reach the table
//   solver_search_walk.h          the walk's state, shared by the search's files
//   solver_search_below.cpp       walks below a ceiling, tried in the middle of
//                                 the search: the tours below it kept, or
//                                 recorded in order below raised ceilings
//   solver_search_subtrees.*     subtrees near the leaves of a long walk
//                                 counted whole, where no tour of theirs can
//                                 change the table but a count
//   solver_search_gap.*          the table from the shortest tours alone, when a
//                                 gap in the tour lengths cuts them off
//   solver_tally.*, solver_points.h  cities sharing a grid point, counted
//                                 once per pattern by both
#pragma once

#include <atomic>
#include <cmath>
#include <cstdint>

#include "core/board.h"
#include "core/solve_run.h"

namespace orvanta {

// Largest city count that the edition solves on its own after a change.
inline constexpr std::int32_t kAutoSolveLimit = 8;

// Tours evaluated by all solves so far, the solves done by counting
// orderings per length rather than walking them, and those of them that
// walked the tours of the shortest lengths; each solve adds its own counts
// when it ends (the tests and the benchmark read them).
extern std::atomic<std::int64_t> toursEvaluated;
extern std::atomic<std::int64_t> countedSolves;
extern std::atomic<std::int64_t> countedWithShortestWalked;

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
