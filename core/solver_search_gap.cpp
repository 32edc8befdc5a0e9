// Why the table from the shortest tours is the enumeration's own, when a gap
// (low, high) holds no tour length and is wider than the tolerances on
// either side: an entry of a length up to `low` reaches no higher than
// low + its tolerance, below `high`; an entry of a length from `high` on
// reaches no lower than high - its tolerance, above `low`. So no tour on one
// side ever counts in an entry of the other, and a short tour looking down
// the table from the top passes every long entry without stopping. Long
// tours only ever insert above all short entries, and when the table is full
// a short entry is lost only if all 20 entries are short; a long entry is
// lost first otherwise. The short entries therefore come and go exactly as
// they do when the short tours alone are recorded in their order, and when
// those fill the table no long entry survives in the enumeration's.
#include "core/solver_search_gap.h"

#include <algorithm>
#include <cstdint>

#include "core/bits.h"
#include "core/spectrum_table.h"

namespace orvanta {

namespace {

// Room for the rounding of the sums and of the table's own comparisons.
constexpr double kGapSlack = 1e-12;

}  // namespace

double gapTop(double ceiling, double leastAbove) { return std::max(ceiling, leastAbove * (1.0 - kBoundSlack)); }

bool lengthsApart(double low, double high) {
    const double reachUp = (low + toleranceOf(low)) * (1.0 + kGapSlack);
    const double reachDown = (high - toleranceOf(high)) * (1.0 - kGapSlack);
    return reachUp < high && low < reachDown;
}

bool tableBelowGap(const std::vector<double>& sums, double ceiling, PathSpectrum& table) {
    std::vector<double> sorted;
    sorted.reserve(sums.size());
    for (double s : sums)
        if (s <= ceiling) sorted.push_back(s);
    if (sorted.size() < static_cast<std::size_t>(kSpectrumEntries)) return false;
    std::sort(sorted.begin(), sorted.end());
    // Nothing lies between the longest sum and the ceiling: a gap there
    // counts too, as no tour above the ceiling is nearer.
    double cut = -1.0;
    if (lengthsApart(sorted.back(), ceiling)) cut = sorted.back();
    for (std::size_t i = sorted.size() - 1; cut < 0.0 && i > 0; --i)
        if (lengthsApart(sorted[i - 1], sorted[i])) cut = sorted[i - 1];
    if (cut < 0.0) return false;
    table.count = 0;
    for (double s : sums)
        if (s <= cut) recordLength(table, s);
    return table.count >= kSpectrumEntries;
}

bool LengthBuckets::reset(double from, double to) {
    from_ = from;
    width_ = toleranceOf(from) / 4.0;
    if (!(width_ > 0.0) || !(to >= from)) return false;
    const double buckets = (to - from) / width_ + 1.0;
    if (!(buckets < static_cast<double>(kMaxBuckets))) return false;
    count_ = static_cast<std::size_t>(buckets) + 1;
    bits_.assign((count_ + 63) / 64, 0);
    return true;
}

std::vector<LengthBuckets::Cluster> LengthBuckets::clusters() const {
    // A bucket's edges widened by far more than the rounding of their own
    // arithmetic, so that a cluster's bounds hold every tour marked in it.
    constexpr double kEdgeSlack = 1e-12;
    std::vector<Cluster> found;
    for (std::size_t word = 0; word < bits_.size(); ++word) {
        for (std::uint64_t w = bits_[word]; w != 0; w &= w - 1) {
            const std::size_t bucket = word * 64 + static_cast<std::size_t>(lowestBit(w));
            const double low = (from_ + static_cast<double>(bucket) * width_) * (1.0 - kEdgeSlack);
            const double high = (from_ + static_cast<double>(bucket + 1) * width_) * (1.0 + kEdgeSlack);
            if (found.empty() || lengthsApart(found.back().high, low))
                found.push_back(Cluster{low, high});
            else
                found.back().high = high;
        }
    }
    return found;
}

bool tableSettled(const PathSpectrum& table, const std::vector<LengthBuckets::Cluster>& clusters, double above) {
    if (table.count < kSpectrumEntries) return false;
    const double last = table.lengths[kSpectrumEntries - 1];
    for (std::size_t i = 0; i < clusters.size(); ++i) {
        if (clusters[i].high < last) continue;
        return lengthsApart(clusters[i].high, i + 1 < clusters.size() ? std::min(clusters[i + 1].low, above) : above);
    }
    return false;
}

}  // namespace orvanta
