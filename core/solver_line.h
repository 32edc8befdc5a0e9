// Exact solve for boards whose cities all lie on one row or column of the
// grid but one: a row with one city lifted off it. Internal to the solver.
#pragma once

#include <cstdint>

#include "core/board.h"
#include "core/solve_run.h"

namespace orvanta {

// Solves a board whose cities but one lie on one row or one column, leaving it
// exactly as the full enumeration would, where the tours it must tell apart
// keep far enough from the table's edges; returns false, touching nothing,
// for any other board. Its work is throttled and reported through `run`,
// whose stop it passes on as SolveStopped.
bool solveOffTheLine(Board& board, SolveRun& run);

}  // namespace orvanta
