// The table from the shortest tours alone, when a gap in the tour lengths
// cuts them off from all the others. Internal to the search.
#pragma once

#include <cstdint>
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

// Which stretches of lengths between `from` and `to` hold a tour, kept in
// buckets a quarter of a tolerance at `from` wide: a walk marks every tour it
// meets up to `to`, and the empty buckets between marked ones are stretches
// that hold no tour. A cluster is a run of tour lengths that no gap wide
// enough for lengthsApart divides.
class LengthBuckets {
public:
    struct Cluster {
        double low;   // at or below its shortest tour
        double high;  // at or above its longest tour
    };
    // Empties the buckets for a new stretch; false when it would need more
    // than kMaxBuckets of them.
    bool reset(double from, double to);
    // A tour of this length, from <= length <= to.
    void mark(double length) { markBucket(bucketOf(length)); }
    std::size_t bucketOf(double length) const {
        const double offset = length > from_ ? (length - from_) / width_ : 0.0;
        return offset < static_cast<double>(count_ - 1) ? static_cast<std::size_t>(offset) : count_ - 1;
    }
    void markBucket(std::size_t bucket) { bits_[bucket / 64] |= std::uint64_t{1} << (bucket % 64); }
    // The clusters of the tours marked, shortest first.
    std::vector<Cluster> clusters() const;

    static constexpr std::size_t kMaxBuckets = std::size_t{1} << 25;

private:
    double from_ = 0.0;
    double width_ = 1.0;
    std::size_t count_ = 0;
    std::vector<std::uint64_t> bits_;
};

// After a walk of every tour up to a ceiling, recorded in order into `table`,
// whose lengths made `clusters`: whether the table is the enumeration's own.
// It is when the table is full and a gap wide enough for lengthsApart lies
// above the cluster of its last entry, up to the next cluster or `above`,
// whichever is lower (gapTop of where the walk stopped walking every tour):
// nothing a tour beyond the gap does reaches an entry below it.
bool tableSettled(const PathSpectrum& table, const std::vector<LengthBuckets::Cluster>& clusters, double above);

}  // namespace orvanta
