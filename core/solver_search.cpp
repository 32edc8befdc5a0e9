// The exact search behind solveExact. The orderings from city 0 are walked
// depth first in lexicographic order, summing edge by edge as a full
// enumeration would, so every tour that is evaluated gets the same length,
// bit for bit, and meets the table and the best tour in the same order.
//
// Pruning: once the table holds 20 entries, its last entry only ever
// shrinks, and a tour longer than that entry plus its tolerance is dropped
// without a trace. A prefix whose shortest possible completion is longer than
// that (the completion table, solver_search_table.cpp, gives the exact
// shortest one) therefore holds only tours that would be dropped when their
// turn came, and is skipped whole.
//
// Boards without shared points that the walk has not settled after a while
// try, in the middle of it, walking only the tours up to a ceiling a little
// above the optimum (solver_search_below.cpp): where a gap in their lengths
// cuts them off from the rest, those alone make the table
// (solver_search_gap.cpp says why), and the table's late filling no longer
// costs a walk through the long tours; otherwise the walk goes on where it
// stood.
//
// A walk that runs long counts the subtrees near its leaves whole where it
// can (solver_search_subtrees.cpp): once the table is full, a subtree whose
// tours all fall well inside its entries, or past its end, is counted there
// per group of equal lengths, listed once per (set, end city), instead of
// walked tour by tour.
//
// Cities on one grid point (only a file can put them there) are
// interchangeable: orderings that only swap them have the same edge
// sequence, hence the same sum to the last bit. The search walks each pattern
// of points once, as its first ordering in lexicographic order (the cities of
// each point in ascending order), and counts all orderings of the pattern
// there. That first ordering is where the enumeration meets the pattern's
// length first: it decides which entry the length creates and whether the
// tour becomes the best. The pattern's other orderings come later; which
// entries they go to is the business of EntryTally (solver_tally.h), which
// may ask for a second walk.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "core/bits.h"
#include "core/solver_points.h"
#include "core/solver_search.h"
#include "core/solver_search_gap.h"
#include "core/solver_search_walk.h"
#include "core/solver_tally.h"
#include "core/spectrum_table.h"

namespace orvanta {

namespace {

// Boards of fewer cities are searched at once: their whole walk is short.
constexpr std::int32_t kGapWalkFrom = 9;
// Tours the plain walk takes before it tries the walk below a gap once (a
// 32nd of the orderings, within these bounds): boards it settles
// within them are searched as they always were, and when that walk gives
// up, the plain one goes on where it stood.
constexpr std::uint64_t kGapWalkAfter = std::uint64_t{1} << 18;
constexpr std::uint64_t kGapWalkAfterAtLeast = std::uint64_t{1} << 14;
constexpr std::int64_t kGapWalkShareOfOrderings = 32;
// Subtrees of this many cities or fewer are counted whole where they can be
// (fewer where the lists of a size mostly come out too long).
constexpr std::int32_t kCountWholeBelow = 5;

std::int64_t factorial(std::int32_t k) {
    std::int64_t f = 1;
    for (std::int32_t i = 2; i <= k; ++i) f *= i;
    return f;
}

}  // namespace

namespace search {

namespace {

std::int32_t entryHolding(const PathSpectrum& s, double length) {
    return entryTaking(s.lengths, s.count > kSpectrumEntries ? kSpectrumEntries : s.count, length);
}

}  // namespace

void Search::buildCompletion() {
    // toward[c * kRow + e - 1]: distance from city e to city c, 0 beyond the cities.
    std::vector<float> toward(static_cast<std::size_t>(n) * kRow, 0.0f);
    for (std::int32_t c = 0; c < n; ++c)
        for (std::int32_t e = 1; e < n; ++e) toward[static_cast<std::size_t>(c) * kRow + e - 1] = static_cast<float>(distanceBetween(e, c));

    const std::uint32_t sets = 1u << (n - 1);
    completion.reset(new float[static_cast<std::size_t>(sets) * kRow]);
    fillCompletion(completion.get(), toward.data(), n, *run, widestTableLanes());
}

// Records `orderings` orderings of one length into the table, as that many
// calls of recordLength in a row would.
void Search::count(double length, std::int64_t orderings) {
    PathSpectrum& s = *spectrum;
    std::int32_t entry = entryHolding(s, length);
    if (entry < 0) {
        const std::int32_t lost = tally->serialToLose(s);
        recordLength(s, length);  // a new entry, or dropped
        ++tableVersion;
        entry = entryHolding(s, length);
        if (entry < 0) return;
        tally->inserted(s, entry, lost, length, current);
    }
    tally->counted(entry, length, orderings, current);
}

void Search::startCountingWhole() {
    if (completionGroups.most() == 0) completionGroups.start(n, distance.data(), kCountWholeBelow, kMostGroups);
}

void Search::evaluate(double length, std::int64_t orderings) {
    run->tour();
    if (++toursWalked == gapWalkAt) [[unlikely]]
        tryBelowGap();
    if (toursWalked == countWholeAt) [[unlikely]]
        startCountingWhole();
    count(length, orderings);
    if (length < bestLength) {
        std::memcpy(best, current, sizeof best);
        bestLength = length;
    }
    if (spectrum->count >= kSpectrumEntries) {
        const double last = spectrum->lengths[kSpectrumEntries - 1];
        const double dropAbove = last + toleranceOf(last);
        pruneAbove = dropAbove * (1.0 + kBoundSlack);
    }
}

void Search::visit(std::int32_t depth, std::int32_t end, double sum, std::uint32_t remaining) {
    depthNow = depth;
    ++visited;
    run->step();
    if (remaining == 0) {
        evaluate(sum + distanceBetween(end, 0), byPattern ? points.orderingsPerPattern : 1);
        return;
    }
    // n - depth cities remain: those of `remaining`.
    if (completionGroups.most() != 0 && spectrum->count >= kSpectrumEntries && n - depth <= completionGroups.most() &&
        countSubtree(end, sum, remaining, false))
        return;
    if (!byPattern && (remaining & (remaining - 1)) != 0 && (remaining & ~points.samePoint[lowestCity(remaining)]) == 0) {
        visitOnePoint(depth, end, sum, remaining);
        return;
    }
    for (std::uint32_t bits = remaining; bits != 0; bits &= bits - 1) {
        const std::int32_t c = lowestCity(bits);
        // Within a pattern the cities of one point come in ascending order.
        if (byPattern && (remaining & points.sameBelow[c]) != 0) continue;
        const double next = sum + distanceBetween(end, c);
        const std::uint32_t rest = remaining & ~(1u << (c - 1));
        const double bound = next + static_cast<double>(shortestCompletion(rest, c));
        if (bound > pruneAbove) continue;
        current[depth] = c;
        visit(depth + 1, c, next, rest);
    }
}

// Children of the node at the end of prefix[1..depth - 1] that the bound
// does not rule out now and that the walk takes (ascending cities of a point
// within a pattern), as a set of cities.
std::uint32_t Search::openChildren(const std::int32_t* prefix, std::int32_t depth, std::uint32_t remaining, double sum) const {
    const std::int32_t end = prefix[depth - 1];
    std::uint32_t open = 0;
    for (std::uint32_t bits = remaining; bits != 0; bits &= bits - 1) {
        const std::int32_t c = lowestCity(bits);
        if (byPattern && (remaining & points.sameBelow[c]) != 0) continue;
        const std::uint32_t rest = remaining & ~(1u << (c - 1));
        if (sum + distanceBetween(end, c) + static_cast<double>(shortestCompletion(rest, c)) > pruneAbove) continue;
        open |= 1u << (c - 1);
    }
    return open;
}

// Knuth's estimate of the nodes below the node at the end of prefix[1..depth - 1]
// (itself included), under the bound as it is now: a random way down,
// choosing among the open children at each node, where the product of their
// numbers stands for the nodes of each level.
double Search::sampleSubtree(std::int32_t* prefix, std::int32_t depth, std::uint32_t remaining, double sum, std::uint32_t& draw) const {
    double nodes = 1.0;
    double width = 1.0;
    for (; remaining != 0; ++depth) {
        const std::uint32_t open = openChildren(prefix, depth, remaining, sum);
        if (open == 0) break;
        const std::int32_t count = countMembers(open);
        width *= count;
        nodes += width;
        draw = draw * 1664525u + 1013904223u;
        std::uint32_t pick = open;
        for (std::int32_t skip = static_cast<std::int32_t>((draw >> 8) % static_cast<std::uint32_t>(count)); skip > 0; --skip) pick &= pick - 1;
        const std::int32_t c = lowestCity(pick);
        sum += distanceBetween(prefix[depth - 1], c);
        prefix[depth] = c;
        remaining &= ~(1u << (c - 1));
    }
    return nodes;
}

// The nodes still ahead of the walk: below each node of the prefix, the
// subtrees of the open children after the one taken, and the subtree of the
// node being entered, each sampled a few times. A level's estimate is kept
// while the prefix above it stays and renewed now and then as the bound
// tightens.
double Search::nodesAhead() {
    std::int32_t prefix[kRouteCapacity] = {};
    std::uint32_t remaining = (1u << (n - 1)) - 1u;
    double sum = 0.0;
    double ahead = 0.0;
    const bool renew = ++estimate.readings % WalkEstimate::kRenewEvery == 0;
    bool same = !renew;
    for (std::int32_t k = 1; k <= depthNow; ++k) {
        // At depthNow the node is being entered: all its children lie ahead.
        const std::int32_t taken = k < depthNow ? current[k] : 0;
        // An estimate made under a looser bound counts subtrees the walk
        // no longer enters: before the table fills, the whole tree.
        same = same && estimate.taken[k] == taken && k < estimate.depth && estimate.bound[k] == pruneAbove;
        if (!same) {
            double later = 0.0;
            const std::uint32_t open = openChildren(prefix, k, remaining, sum);
            for (std::uint32_t bits = open; bits != 0; bits &= bits - 1) {
                const std::int32_t c = lowestCity(bits);
                if (c <= taken) continue;
                std::int32_t way[kRouteCapacity];
                std::copy(prefix, prefix + k, way);
                way[k] = c;
                double nodes = 0.0;
                for (std::int32_t probe = 0; probe < WalkEstimate::kProbes; ++probe)
                    nodes += sampleSubtree(way, k + 1, remaining & ~(1u << (c - 1)), sum + distanceBetween(prefix[k - 1], c), estimate.draw);
                later += nodes / WalkEstimate::kProbes;
            }
            estimate.taken[k] = taken;
            estimate.bound[k] = pruneAbove;
            estimate.later[k] = later;
        }
        ahead += estimate.later[k];
        if (taken == 0) break;
        prefix[k] = taken;
        sum += distanceBetween(prefix[k - 1], taken);
        remaining &= ~(1u << (taken - 1));
    }
    estimate.depth = depthNow + 1;
    return ahead;
}

// How far the walk has come, as a share that only grows: of the work left
// at the last reading, the nodes visited since then take the share they are
// of themselves and the nodes now estimated ahead. With a true estimate that
// is the share of the nodes visited; an estimate that changes moves it on
// from where it stands, never back and never to the end before the walk ends.
double Search::position() {
    const double done = static_cast<double>(visited - estimate.visitedThen);
    estimate.visitedThen = visited;
    const double ahead = nodesAhead();
    if (done > 0.0) estimate.share += (1.0 - estimate.share) * done / (done + ahead + 1.0);
    return estimate.share;
}

// Walking every ordering, the rest of the cities share one grid point: every
// ordering of them adds the same distance to that point, then zeros, then the
// same way back, so all give the very same sum, one after the other. The
// first in order is evaluated and all of them counted there.
void Search::visitOnePoint(std::int32_t depth, std::int32_t end, double sum, std::uint32_t remaining) {
    std::int32_t at = depth;
    for (std::uint32_t bits = remaining; bits != 0; bits &= bits - 1) {
        const std::int32_t c = lowestCity(bits);
        current[at] = c;
        sum += distanceBetween(end, c);
        end = c;
        ++at;
    }
    evaluate(sum + distanceBetween(end, 0), factorial(at - depth));
}

void Search::walk(Board& board, bool noting) {
    board.spectrum.count = 0;
    spectrum = &board.spectrum;
    pruneAbove = std::numeric_limits<double>::infinity();
    bestLength = std::numeric_limits<double>::max();
    std::memset(current, 0, sizeof current);
    std::memset(best, 0, sizeof best);
    tally->startWalk(noting);
    ++tableVersion;
    depthNow = 1;
    visited = 0;
    toursWalked = 0;
    estimate = WalkEstimate{};
    reportPosition();
    visit(1, 0, 0.0, (1u << (n - 1)) - 1u);
    run->reportPosition(nullptr, nullptr);
    tally->writeCounts(*spectrum);
}

}  // namespace search

using search::Search;
using search::SettledBelowGap;

bool solveBySearch(Board& board, SolveRun& run, const SharedPoints& points) {
    const std::int32_t n = board.cityCount;
    Search search;
    search.points = points;
    search.run = &run;
    search.n = n;
    search.distance.assign(static_cast<std::size_t>(n) * n, 0.0);
    for (std::int32_t i = 0; i < n; ++i)
        for (std::int32_t j = 0; j < n; ++j) search.distance[static_cast<std::size_t>(i) * n + j] = board.cityDistance(i, j);
    search.buildCompletion();

    const auto writeSolution = [&] {
        run.note(&SolveStatistics::subtreesCountedWhole, search.countedWhole);
        normaliseSpectrum(board.spectrum);
        for (std::int32_t k = 0; k < kRouteCapacity; ++k) board.solutionRoute[k] = search.best[k];
        board.solutionRoute[n] = board.solutionRoute[0];
        return true;
    };
    search.byPattern = search.points.orderingsPerPattern > 1;
    search.solving = &board;
    const auto orderingsShare = static_cast<std::uint64_t>(factorial(n - 1) / kGapWalkShareOfOrderings);
    // Counting whole relies on every ordering being walked: not by pattern.
    search.countWholeAt = search.byPattern ? 0 : searchTurns.countWholeAfter;
    search.gapWalkAt = !search.byPattern && n >= kGapWalkFrom ? std::clamp(orderingsShare, kGapWalkAfterAtLeast, kGapWalkAfter) : 0;
    if (search.gapWalkAt != 0 && searchTurns.firstAfter != 0) search.gapWalkAt = searchTurns.firstAfter;
    EntryTally tally(n, search.points.samePoint, search.points.orderingsPerPattern);
    search.tally = &tally;
    // The table's unused slots keep what the board held (shifted along as
    // entries are inserted): a second walk starts from it again.
    const PathSpectrum before = board.spectrum;
    // The share left by the counting, up to the last tenth: the first walk.
    run.enterSpan(run.progress(), 0.9);
    try {
        search.walk(board, true);
    } catch (const SettledBelowGap&) {
        run.reportPosition(nullptr, nullptr);
        return writeSolution();
    }
    search.gapWalkAt = 0;
    if (tally.orderingsMove()) {
        board.spectrum = before;
        run.enterSpan(0.9, 1.0);
        search.walk(board, false);
    }

    return writeSolution();
}

}  // namespace orvanta
