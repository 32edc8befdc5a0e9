// The search's completion table: for every set S of the cities 1..n-1 and
// every end city e outside it, the shortest way from e through all of S and
// back to city 0, in floats, at table[S * kRow + e - 1] (S has bit c - 1 for
// city c). Internal to the search.
#pragma once

#include <cstdint>

#include "core/board.h"
#include "core/solve_run.h"

namespace orvanta::search {

// Row length: room for the end cities 1..17, rounded up to whole groups of
// four lanes.
constexpr std::int32_t kRow = 20;
static_assert(kRow >= kMaxCities - 1 && kRow % 4 == 0, "completion rows hold every end city");

// How many lanes the table's loops take at once. The widths give the same
// table to the last bit (each lane is the same additions and the same
// minimum); the wider ones are faster where the processor has them.
enum class TableLanes { Four, Eight, Sixteen };
// The widest this build and this processor run.
TableLanes widestTableLanes();

// Fills rows 1 .. 2^(n-1) - 1 of `table` from `toward` (toward[c * kRow +
// e - 1]: the distance from city e to city c, 0 beyond the cities) and row 0,
// which holds toward's row of city 0. Lanes of end cities inside a row's set
// are never read: they hold whatever the loops leave there. A step of `run`
// per 16 rows. `lanes` must not be wider than widestTableLanes().
void fillCompletion(float* table, const float* toward, std::int32_t n, SolveRun& run, TableLanes lanes);

}  // namespace orvanta::search
