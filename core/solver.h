// The exact solver: the shortest round trip from city 0 and the table of the
// shortest distinct tour lengths (the path spectrum), exactly as evaluating
// every ordering from city 0 in lexicographic order leaves them.
//
// The files, from the entry down:
//   solver.{h,cpp}                solveExact and ensureSolved: the choice of
//                                 strategy, and a stopped solve undone
//   solve_run.{h,cpp}             one solve's throttle, stop, progress and
//                                 (when asked) statistics
//   spectrum_table.{h,cpp}        the table itself, shared by every strategy:
//                                 the tolerance, recordLength, entryTaking,
//                                 normaliseSpectrum
// The strategies, in the order they are tried:
//   solver_counting.{h,cpp}       the counting: boards whose distances are all
//                                 (nearly) whole multiples of one unit (cities
//                                 on a line, some on a slanted line, rows a
//                                 unit apart); orderings counted per length
//   solver_counting_distances.*   its distances, measured in units
//   solver_counting_programme.h   its programme over (visited set, end city),
//   solver_counting_merge.h       the merge of its length lists,
//   solver_counting_storage.*     and the storage of its layers
//   solver_counting_near.cpp      distances only nearly whole: where the
//                                 lengths keep apart, or the shortest walked
//   solver_counting_spread.cpp    the nearly whole boards that need more
//   solver_line.{h,cpp}           boards whose cities but one lie on one row or
//                                 column: tours counted per class (the two
//                                 cities next to the one off it, the rest's
//                                 length along the line)
//   solver_line_paths.*           the line's orderings counted by length
//   solver_search.{h,cpp}         the search: every other board; orderings
//                                 walked depth first, skipping prefixes whose
//                                 shortest completion cannot reach the table
//   solver_search_table.*         the completion table, the walk's hot path
//   solver_search_walk.h          the walk's state, shared by the search's files
//   solver_search_below.cpp       walks below a ceiling, tried in the middle of
//                                 the search: the tours below it kept, or
//                                 recorded in order below raised ceilings
//   solver_search_subtrees.*      subtrees near the leaves of a long walk
//                                 counted whole, where no tour of theirs can
//                                 change the table but a count
//   solver_search_gap.*           the table from the shortest tours alone, when a
//                                 gap in the tour lengths cuts them off
//   solver_tally.*, solver_points.h  cities sharing a grid point, counted
//                                 once per pattern by both
//   bits.h                        bit masks of cities
//
// The rest of core/, beside the solver:
//   board.{h,cpp}                 the board: grid, cities, the player's trip,
//                                 the solution and the spectrum
//   game_clock.{h,cpp}            the game's clock and the closed-route flag
//   generator.{h,cpp}             random maps and the settings they are made from
//   catalogue.{h,cpp}, catalogue_data.h  the texts in the player's language
//   text1251.{h,cpp}              the texts' single-byte encoding and its
//                                 conversions
//   platform.h                    the services a front end provides to the core
//   edition.h                     the edition a translation unit is built for
//   clamp.h, fixed_array.h        clamped arithmetic, arrays of fixed capacity
#pragma once

#include <cstdint>

#include "core/board.h"
#include "core/solve_run.h"

namespace orvanta {

// Largest city count that the edition solves on its own after a change.
inline constexpr std::int32_t kAutoSolveLimit = 8;

// Which boards ensureSolved solves: any board of two cities or more
// (Forced, the show-solution command), or only those the edition solves on
// its own after every change (IfAutomatic: Profi, up to kAutoSolveLimit cities).
enum class Solve { Forced, IfAutomatic };

// Solves the board if it is not yet solved and the request covers it.
// Returns whether the board is solved. A solve adds what it did to
// `statistics` when given one.
bool ensureSolved(Board& board, Solve request, SolveStatistics* statistics = nullptr);

// Leaves the board exactly as evaluating every ordering from city 0 in
// lexicographic order would (solution route, spectrum), but skips the
// orderings that could no longer reach the spectrum; each tour it does
// evaluate is throttled. False, touching nothing, for fewer than two cities
// and when the run is stopped before the end.
bool solveExact(Board& board, SolveRun& run);
bool solveExact(Board& board, SolveStatistics* statistics = nullptr);

// Takes over the solution of `solved`, a copy of this board solved by
// solveExact: the solution route, its length, the spectrum and the flag.
void takeSolution(Board& board, const Board& solved);

}  // namespace orvanta
