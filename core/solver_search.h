// The exact search: the orderings from city 0 walked in lexicographic order,
// skipping those that can no longer reach the table. Internal to the solver.
#pragma once

#include <cstdint>

#include "core/board.h"
#include "core/solve_run.h"
#include "core/solver_points.h"

namespace orvanta {

// When the search sets its walk aside to try the walks below a ceiling. The
// tests move the first turn to the start and let the rounds run unchecked, to
// hold them to the enumeration on boards small enough to enumerate.
struct SearchTurns {
    std::uint64_t firstAfter = 0;        // tours walked first; 0: by the board's size
    bool sumsFirst = true;               // the first turn tries the walk that keeps the sums
    std::uint64_t roundsAllowance = 2;   // visits the rounds may take per visit of the walk
    std::uint64_t countWholeAfter = std::uint64_t{1} << 16;  // tours walked before subtrees are counted whole
    std::uint64_t roundVisitsPerTurn = 0;  // visits a round takes in one turn before it pauses; 0: its budget
};
extern SearchTurns searchTurns;

// Solves a board of at least two cities, leaving it exactly as the full
// enumeration would. Its work is throttled and reported through `run` (the
// share from where the run stands up to the whole), whose stop it passes on
// as SolveStopped. `points` are the board's cities on shared points.
bool solveBySearch(Board& board, SolveRun& run, const SharedPoints& points);

}  // namespace orvanta
