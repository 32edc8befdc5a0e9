// The table from the shortest tours alone, when a gap in the tour lengths
// cuts them off from all the others. Internal to the search.
#pragma once

#include <vector>

#include "core/board.h"

namespace orvanta {

// The completion table is kept in floats: half the storage and twice the
// lanes of doubles. An entry is a sum of at most 18 distances, each rounded
// once to float and added with one float rounding each, so it lies within
// 1.2e-6 of the exact sum (relative); the tour's own double sums add below
// 1e-14. A prefix is therefore skipped only when its bound exceeds the drop
// limit by this much more, and no tour that the table would take is lost.
inline constexpr double kBoundSlack = 1e-5;
// The float rounding of an entry: the conversions together at most 2⁻²⁴ of
// the sum, each of the (at most kMaxCities - 1) additions at most 2⁻²⁴ of it.
static_assert(kBoundSlack > kMaxCities * 0x1p-24 * 1.01, "the slack covers the completion table's rounding");

// `sums` are the lengths of every ordering whose length is at most `ceiling`,
// in enumeration order, each summed as the enumeration sums it. Finds the
// highest gap in them wide enough that no entry on either side can take a
// length from the other (the longest sum below it, or up to the ceiling, is
// then the cut) and records the sums up to the cut into `table`, emptied
// first, in their order. True when that leaves the table full: the full
// enumeration then ends with the very same table. False, the table
// undefined, otherwise.
bool tableBelowGap(const std::vector<double>& sums, double ceiling, PathSpectrum& table);

// The top of the gap above a walk's ceiling: no tour lies between the ceiling
// and the shortest one above it, which `leastAbove` (the least bound or tour
// the walk met above the ceiling) may overstate by the completion table's
// rounding.
double gapTop(double ceiling, double leastAbove);

// Whether lengths up to `low` and lengths from `high` on can never meet in
// one entry, whichever creates it.
bool lengthsApart(double low, double high);

}  // namespace orvanta
