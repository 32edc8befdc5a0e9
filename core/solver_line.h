// Exact solve for boards whose cities other than city 0 all lie on one row or
// column of the grid: a row with its first city lifted off it. Internal to the
// solver.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/board.h"
#include "core/solve_run.h"

namespace orvanta {

// Solves settled this way (the tests read it).
extern std::atomic<std::int64_t> lineSolves;

// Solves a board whose cities 1..n-1 lie on one row or one column, leaving it
// exactly as the full enumeration would, where the tours it must tell apart
// keep far enough from the table's edges; returns false, touching nothing,
// for any other board. Its work is throttled and reported through `run`,
// whose stop it passes on as SolveStopped.
bool solveOffTheLine(Board& board, SolveRun& run);

}  // namespace orvanta
