// The table from the shortest tours alone, when a gap in the tour lengths
// cuts them off from all the others. Internal to the search.
#pragma once

#include <vector>

#include "core/board.h"

namespace orvanta {

// `sums` are the lengths of every ordering whose length is at most `ceiling`,
// in enumeration order, each summed as the enumeration sums it. Finds the
// highest gap in them wide enough that no entry on either side can take a
// length from the other (the longest sum below it, or up to the ceiling, is
// then the cut) and records the sums up to the cut into `table`, emptied
// first, in their order. True when that leaves the table full: the full
// enumeration then ends with the very same table. False, the table
// undefined, otherwise.
bool tableBelowGap(const std::vector<double>& sums, double ceiling, PathSpectrum& table);

// Whether lengths up to `low` and lengths from `high` on can never meet in
// one entry, whichever creates it.
bool lengthsApart(double low, double high);

}  // namespace orvanta
