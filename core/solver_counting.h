// Exact solve by counting, for boards whose distances are all whole multiples
// of one unit.
// Internal to the solver.
#pragma once

#include <cstddef>

#include "core/board.h"
#include "core/solve_run.h"
#include "core/solver_points.h"

namespace orvanta {

// Working storage a counting solve may hold at once.
inline constexpr std::size_t kCountingStorageLimit = 64u * 1024u * 1024u;

// Solves a board of at least two cities whose pairwise distances are all
// (nearly) whole multiples of one unit and whose tours are all shorter than a
// million grid units, leaving the board as the full enumeration would. The
// orderings are counted per tour length instead of walked one by one; only
// the tours that decide the table (the solution, or the shortest tours and
// the first of each length when the distances are not exactly whole) are
// evaluated (and throttled). Returns false, touching nothing, when the board
// does not qualify or would need more storage than the limit. Its work is
// throttled and reported through `run`, whose stop it passes on as SolveStopped.
// `points` are the board's cities on shared points (sharedPointsOf).
bool solveByCounting(Board& board, SolveRun& run, const SharedPoints& points, std::size_t storageLimit = kCountingStorageLimit);
bool solveByCounting(Board& board, SolveRun& run, std::size_t storageLimit = kCountingStorageLimit);

}  // namespace orvanta
