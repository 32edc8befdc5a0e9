// Subtrees counted whole. Near the leaves of a long walk, the ways from a
// node's end city through its remaining cities and back to city 0 are listed
// once, as groups of (nearly) equal sums with the number of ways in each.
// Where every group of a node's subtree falls well inside one entry of the
// table, or well past its last entry, and none beats the best tour, no tour
// of the subtree can insert an entry or become the best: each would only
// raise the count of the entry it falls in. The subtree's orderings are then
// counted at once, a group at a time, instead of walked one by one.
//
// Why the counts are the walk's: a tour's length is the sum of its edges in
// route order; the groups hold completions whose sums agree to within
// kGroupWidth, and the sum the walk forms differs from the prefix plus a
// group's sum by far less than kMargin. Every edge of the table (an entry's
// tolerance either side, the best tour) is kept kMargin away from each group
// counted, so every tour of the group lands where the group does.
#include "core/solver_search_subtrees.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include "core/bits.h"
#include "core/solver_search.h"
#include "core/solver_search_walk.h"
#include "core/spectrum_table.h"

namespace orvanta {

namespace search {

namespace {

// The margin kept from every edge a group must not straddle, as a share of
// the tour's length: the group's width and the rounding of sums of at most
// 19 terms, many times over, and far inside a tolerance (a millionth).
constexpr double kMargin = 4e-9;

// Lists of one size built before judging whether that size is worth it.
constexpr std::uint32_t kJudgeAfter = 256;

}  // namespace

void CompletionGroups::start(std::int32_t n, const double* distance, std::int32_t most, std::size_t limit) {
    n_ = n;
    distance_ = distance;
    most_ = most;
    limit_ = limit;
    rowOfSet_.assign(std::size_t{1} << (n - 1), 0u);
    spans_.clear();
    pool_.clear();
    std::fill(std::begin(built_), std::end(built_), 0u);
    std::fill(std::begin(tooMany_), std::end(tooMany_), 0u);
}

const CompletionGroup* CompletionGroups::groups(std::uint32_t set, std::int32_t end, std::size_t& size) {
    if (rowOfSet_[set] == 0) {
        spans_.resize(spans_.size() + static_cast<std::size_t>(n_));
        rowOfSet_[set] = static_cast<std::uint32_t>(spans_.size() / static_cast<std::size_t>(n_));
    }
    Span span = spanOf(set, end);
    if (span.begin == kNotBuilt) span = build(set, end);
    if (span.begin == kTooMany) return nullptr;
    size = span.size;
    return pool_.data() + span.begin;
}

// The list of (set, end) from those of the sets one city smaller: a first
// step to each city of the set, then that city's ways on.
CompletionGroups::Span CompletionGroups::build(std::uint32_t set, std::int32_t end) {
    Span made;
    std::vector<CompletionGroup> all;
    if (set == 0) {
        all.push_back({distance_[static_cast<std::size_t>(end) * static_cast<std::size_t>(n_)], 1});
    } else {
        for (std::uint32_t bits = set; bits != 0 && made.begin != kTooMany; bits &= bits - 1) {
            const std::int32_t c = lowestCity(bits);
            std::size_t size = 0;
            const CompletionGroup* below = groups(set & ~(1u << (c - 1)), c, size);
            if (below == nullptr) {
                made.begin = kTooMany;
                break;
            }
            const double step = distance_[static_cast<std::size_t>(end) * static_cast<std::size_t>(n_) + static_cast<std::size_t>(c)];
            for (std::size_t i = 0; i < size; ++i) all.push_back({step + below[i].sum, below[i].ways});
        }
    }
    if (made.begin != kTooMany) {
        std::sort(all.begin(), all.end(), [](const CompletionGroup& a, const CompletionGroup& b) { return a.sum < b.sum; });
        std::size_t kept = 0;
        for (const CompletionGroup& g : all) {
            if (kept > 0 && g.sum - all[kept - 1].sum <= kGroupWidth * all[kept - 1].sum)
                all[kept - 1].ways += g.ways;
            else
                all[kept++] = g;
        }
        if (kept > limit_) {
            made.begin = kTooMany;
        } else {
            made.begin = static_cast<std::uint32_t>(pool_.size());
            made.size = static_cast<std::uint32_t>(kept);
            pool_.insert(pool_.end(), all.begin(), all.begin() + static_cast<std::ptrdiff_t>(kept));
        }
    }
    spanOf(set, end) = made;
    // Where the sums rarely meet (every distance a little off a whole
    // number), lists of this size are too long: building them and looking
    // them up at every node would cost more than walking the subtrees.
    const std::int32_t size = countMembers(set);
    ++built_[size];
    if (made.begin == kTooMany) ++tooMany_[size];
    if (size <= most_ && built_[size] >= kJudgeAfter && 2 * tooMany_[size] > built_[size]) most_ = size - 1;
    return made;
}

// The walk's table as edges: entry i takes the lengths from lo[i] up to the
// next entry's lo, where those are at most hi[i].
void Search::tableEdges() {
    const std::int32_t used = spectrum->count;
    for (std::int32_t i = 0; i < used; ++i) {
        const double t = toleranceOf(spectrum->lengths[i]);
        edges.lo[i] = spectrum->lengths[i] - t;
        edges.hi[i] = spectrum->lengths[i] + t;
    }
    edges.forTable = tableVersion;
}

// Counts the subtree of the node at `end` with `remaining` still to visit and
// `sum` walked so far, if it can be counted whole; false, changing nothing,
// when it must be walked. In a round below a ceiling, the tours
// up to the ceiling are counted into the table and marked in the buckets,
// and the shortest above it lowers nextAbove; otherwise every tour is.
bool Search::countSubtree(std::int32_t end, double sum, std::uint32_t remaining, bool round) {
    std::size_t size = 0;
    const CompletionGroup* list = completionGroups.groups(remaining, end, size);
    if (list == nullptr) return false;
    if (edges.forTable != tableVersion) tableEdges();
    const std::int32_t used = spectrum->count;
    const double* lo = edges.lo;
    const double* hi = edges.hi;
    const double dropAbove = used >= kSpectrumEntries ? hi[used - 1] : std::numeric_limits<double>::infinity();
    const double top = round ? ceiling : dropAbove;
    // One margin for the whole subtree: that of the longest length looked at.
    const double margin = kMargin * std::min(top, sum + list[size - 1].sum);
    if (sum + list[0].sum - margin <= bestLength) return false;
    std::int32_t taken[kSpectrumEntries];
    double first[kSpectrumEntries];
    std::int64_t orderings[kSpectrumEntries];
    std::int32_t kinds = 0;
    std::size_t marks = 0;
    double shortestAbove = std::numeric_limits<double>::infinity();
    // The last entry whose tolerance starts at or below the first length.
    std::int32_t i = static_cast<std::int32_t>(std::upper_bound(lo, lo + used, sum + list[0].sum + margin) - lo) - 1;
    for (std::size_t g = 0; g < size; ++g) {
        const double length = sum + list[g].sum;
        if (length - margin > top) {
            // Above the table, or the ceiling, and so is every later group.
            shortestAbove = length - margin;
            break;
        }
        if (round) {
            if (length + margin > ceiling) return false;
            // A group on the edge of two buckets marks both: the cluster
            // they make holds its tours wherever they fall. (The gaps only
            // grow narrower for it, which never settles a table early.)
            const std::size_t bucket = buckets.bucketOf(length - margin);
            groupMarks[marks++] = bucket;
            if (buckets.bucketOf(length + margin) != bucket) groupMarks[marks++] = buckets.bucketOf(length + margin);
        }
        if (length - margin > dropAbove) continue;  // dropped by a full table
        while (i + 1 < used && lo[i + 1] <= length + margin) ++i;
        if (i < 0 || lo[i] > length - margin || length + margin > hi[i]) return false;
        if (kinds == 0 || taken[kinds - 1] != i) {
            taken[kinds] = i;
            first[kinds] = length;
            orderings[kinds++] = 0;
        }
        orderings[kinds - 1] += list[g].ways;
    }
    if (round) {
        for (std::size_t k = 0; k < marks; ++k) buckets.markBucket(groupMarks[k]);
        nextAbove = std::min(nextAbove, shortestAbove);
        // As recordLength counts: saturating.
        constexpr std::int64_t kMost = std::numeric_limits<std::int32_t>::max();
        for (std::int32_t k = 0; k < kinds; ++k) {
            std::int32_t& count = spectrum->counts[taken[k]];
            count = static_cast<std::int32_t>(std::min(kMost, count + orderings[k]));
        }
    } else {
        for (std::int32_t k = 0; k < kinds; ++k) tally->counted(taken[k], first[k], orderings[k], current);
    }
    // The orderings counted stand for as many tours and visits of the walk
    // (the rounds' turns and allowance are measured in them).
    std::int64_t all = 0;
    for (std::int32_t k = 0; k < kinds; ++k) all += orderings[k];
    visited += static_cast<std::uint64_t>(all);
    ++countedWhole;
    if (!round) {
        const std::uint64_t before = toursWalked;
        toursWalked += static_cast<std::uint64_t>(all);
        if (before < gapWalkAt && toursWalked >= gapWalkAt) tryBelowGap();
    }
    return true;
}

}  // namespace search

}  // namespace orvanta
