// The exact search: the orderings from city 0 walked in lexicographic order,
// skipping those that can no longer reach the table. Internal to the solver.
#pragma once

#include "core/board.h"
#include "core/solve_run.h"
#include "core/solver_points.h"

namespace orvanta {

// Solves a board of at least two cities, leaving it exactly as the full
// enumeration would. Its work is throttled and reported through `run` (the
// share from where the run stands up to the whole), whose stop it passes on
// as SolveStopped. `points` are the board's cities on shared points.
bool solveBySearch(Board& board, SolveRun& run, const SharedPoints& points);

}  // namespace orvanta
