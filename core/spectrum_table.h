// The table of the shortest distinct tour lengths (the path spectrum) as a
// solve fills it: which entry a length is counted in, how a new length is
// inserted, and the division by the shortest at the end. Every strategy of
// the solver builds the same table through these, so that they agree with
// evaluating every ordering one by one.
#pragma once

#include <cmath>
#include <cstdint>

#include "core/board.h"

namespace orvanta {

// An entry counts the lengths within this share of its own length, either way.
inline constexpr double kEntryTolerance = 1e-6;

// The tolerance of a table entry: a length within it of the entry's length,
// either way, ends included, is counted in that entry.
inline double toleranceOf(double length) { return std::fabs(kEntryTolerance * length); }

// Whether tours within `noise` of `length` may lie on both sides of an edge
// of the entry of length `entry` (entry ± its tolerance), so that rounding
// would decide which entry counts them. The noise is doubled against the
// rounding of `length` and of the edge.
inline bool nearEntryEdge(double length, double entry, double noise) {
    const double t = toleranceOf(entry);
    return std::fabs(length - (entry + t)) <= 2.0 * noise || std::fabs(length - (entry - t)) <= 2.0 * noise;
}

// Counts one tour length into the table, or inserts it in order.
void recordLength(PathSpectrum& spectrum, double length);

// Which of `used` stored lengths (ascending) a length would be counted in, or
// -1 when it would start a new entry or be dropped (the scan of recordLength).
std::int32_t entryTaking(const double* lengths, std::int32_t used, double length);

// Divides the used entries by the first one, so the first reads 1.0.
void normaliseSpectrum(PathSpectrum& spectrum);

}  // namespace orvanta
