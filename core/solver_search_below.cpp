// The walks below a ceiling that the search tries in the middle of its walk
// (solver_search_walk.h): walkBelowGap keeps the sums of the tours below a
// ceiling and finds the gap among them; walkBelowCeilings walks below raised
// ceilings in rounds, recording the tours as they come, where they are too
// many to keep.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "core/bits.h"
#include "core/solver_search.h"
#include "core/solver_search_gap.h"
#include "core/solver_search_walk.h"
#include "core/spectrum_table.h"

namespace orvanta {

SearchTurns searchTurns;

namespace search {

namespace {

// The share of the progress left that a round below a ceiling takes, and
// one below the ceiling foretold to fill the table, which mostly settles
// the board.
constexpr double kRoundShare = 0.01;
constexpr double kFillingRoundShare = 0.9;
// The plain walk is far from its end where the ceiling foretold to fill the
// table lies this share or less as far above the optimum as its limit; the
// rounds may then take this share of the nodes estimated under that limit.
constexpr double kFarBelowLimit = 0.25;
constexpr double kShareOfPlainNodes = 0.125;
// How many times their turn the rounds may take, at most, while the plain
// walk has no limit yet.
constexpr double kUnlimitedWalkShare = 64.0;
// Thrown out of a walk below a ceiling that has spent its visits.
struct OverBudget {};

}  // namespace

// Every ordering up to the ceiling, in order: its sum kept (walkBelowGap),
// or recorded as the enumeration records it and its length marked in the
// buckets (the rounds of walkBelowCeilings, which leave the tours a full
// table would drop); the first of the shortest kept as the best, and the
// least bound or tour left. The bound's slack loses none of them.
void Search::collect(std::int32_t depth, std::int32_t end, double sum, std::uint32_t remaining) {
    depthNow = depth;
    ++visited;
    if (--visitsLeft == 0) throw OverBudget{};
    run->step();
    if (recording && remaining != 0 && completionGroups.most() != 0 && n - depth <= completionGroups.most() &&
        countSubtree(end, sum, remaining, true))
        return;
    if (remaining == 0) {
        run->tour();
        const double length = sum + distanceBetween(end, 0);
        if (length > ceiling) {
            nextAbove = std::min(nextAbove, length);
            return;
        }
        if (recording) {
            buckets.mark(length);
            const std::int32_t used = spectrum->count;
            const double last = used > 0 ? spectrum->lengths[used - 1] : 0.0;
            recordLength(*spectrum, length);
            // An entry inserted: the count grew, or a full table lost its last.
            if (spectrum->count != used || (used > 0 && spectrum->lengths[used - 1] != last)) {
                ++tableVersion;
                lowerRoundLimit();
            }
        } else {
            if (sums.size() >= sumsLimit) {
                overflow = true;
                return;
            }
            sums.push_back(length);
            if ((sums.size() & 255u) == 0) run->advance(static_cast<double>(sums.size()) / static_cast<double>(sumsLimit));
        }
        if (length < bestLength) {
            std::memcpy(best, current, sizeof best);
            bestLength = length;
        }
        return;
    }
    collectChildren(depth, end, sum, remaining, 0);
}

// A full table drops every tour past its last entry's tolerance, so a round
// walks little further than that, however far above it its ceiling lies: a
// ceiling foretold too high costs little more once the table is full. The
// tours it no longer walks lower nextAbove as those above the ceiling do.
// The limit keeps a few times the bound's slack past the entry, so that a gap
// the round would have found above it still shows: the tours just past the
// entry are walked and marked, and the least left unwalked lies well clear.
void Search::lowerRoundLimit() {
    if (spectrum->count < kSpectrumEntries) return;
    const double last = spectrum->lengths[kSpectrumEntries - 1];
    pruneAbove = std::min(pruneAbove, (last + toleranceOf(last)) * (1.0 + 4.0 * kBoundSlack));
}

// The children of collect's node after city `after`, in order.
void Search::collectChildren(std::int32_t depth, std::int32_t end, double sum, std::uint32_t remaining, std::int32_t after) {
    for (std::uint32_t bits = remaining & ~((1u << after) - 1u); bits != 0 && !overflow; bits &= bits - 1) {
        const std::int32_t c = lowestCity(bits);
        const double next = sum + distanceBetween(end, c);
        const std::uint32_t rest = remaining & ~(1u << (c - 1));
        const double bound = next + static_cast<double>(shortestCompletion(rest, c));
        if (bound > pruneAbove) {
            nextAbove = std::min(nextAbove, bound);
            continue;
        }
        current[depth] = c;
        collect(depth + 1, c, next, rest);
    }
}

// A paused round going on where it stopped: down the way to the node it
// stopped at, that node walked whole, and after it, at each node of the way,
// the children after the one on the way. Everything before was walked and
// recorded before the pause, so the round records what it would have
// recorded without one, in the same order.
void Search::resumeCollect(std::int32_t depth, std::int32_t end, double sum, std::uint32_t remaining) {
    if (depth == paused.depth) {
        collect(depth, end, sum, remaining);
        return;
    }
    depthNow = depth;
    const std::int32_t c = paused.way[depth];
    current[depth] = c;
    resumeCollect(depth + 1, c, sum + distanceBetween(end, c), remaining & ~(1u << (c - 1)));
    collectChildren(depth, end, sum, remaining, c);
}

// Boards whose shortest tours are few but whose table the walk fills late
// (lines with a city or two moved off them, listed in order): the tours up
// to a ceiling a little above the optimum are walked alone, the ceiling
// raised until a gap in their lengths leaves a full table below it
// (tableBelowGap). Where the lengths come in bands far apart (a line with a
// city lifted off it), the ceiling steps over the gap above a band instead
// of growing across it. Gives up, the board untouched, past 2^20 tours
// (8 MB of sums), or sooner where the tours come many to a length.
namespace {

// What the walk below a gap saw below the last ceiling: its width, the
// entries and the tours below it.
struct GapRound {
    double width = 0.0;
    std::int32_t entries = 0;
    std::size_t tours = 0;
};

// The entries grow as a power of the width: that power, from the last two
// ceilings, tells the width for 24 entries; by a quarter at least and four
// times at most.
double widthFactor(const GapRound& last, const GapRound& now) {
    double factor = 4.0;
    if (last.entries >= 2 && now.entries > last.entries) {
        const double power = std::log(static_cast<double>(now.entries) / last.entries) / std::log(now.width / last.width);
        factor = std::pow(24.0 / now.entries, 1.0 / power);
    }
    return std::clamp(factor, 1.25, 4.0);
}

// Ties: the tours grow as a power of the width too; where the next ceiling,
// `factor` times as wide, would hold far more than are left, the board has
// too many to a length.
bool tooManyTies(const GapRound& last, const GapRound& now, double factor, std::size_t left) {
    if (last.tours == 0 || now.tours <= last.tours) return false;
    const double power = std::log(static_cast<double>(now.tours) / static_cast<double>(last.tours)) / std::log(now.width / last.width);
    return static_cast<double>(now.tours) * std::pow(factor, power) > 2.0 * static_cast<double>(left);
}

// Where the walk below a gap puts its ceilings: a width above a base, the
// optimum or, past a gap wider than all the lengths below it, the shortest
// tour above the gap; what it saw below the last ceiling, to judge how far
// the next must go for 20 entries and a few to spare; and the most sums the
// next round may keep.
struct GapCeilings {
    explicit GapCeilings(double shortest)
        : optimum(shortest), base(shortest), firstWidth(shortest * 1e-4), narrowestFirst(shortest * 5e-5), width(firstWidth) {}
    double optimum;
    double base;
    double firstWidth;
    double narrowestFirst;
    double width;
    GapRound last;
    std::size_t roundLimit = 4096;
};

// After a round that found more tours below its ceiling than it could hold:
// false when the board is given up.
bool retryAfterOverflow(GapCeilings& ceilings, bool budgetSpent) {
    if (ceilings.last.tours == 0) {
        // Thousands of tours already below the first ceiling above a base:
        // once more at a quarter of it, still room for 20 entries; past that
        // a board of ties, given up.
        if (ceilings.width < ceilings.narrowestFirst) return false;
        ceilings.width /= 4.0;
    } else {
        // More tours than this round could hold: once more with room for
        // four times as many, while the tours last.
        if (budgetSpent) return false;
        ceilings.roundLimit *= 4;
    }
    return true;
}

// After a round whose table did not settle (`now`, below `ceiling`, the
// least tour left unwalked at `above`): the next ceiling, or false when the
// board has too many ties for the `left` tours.
bool raiseGapCeiling(GapCeilings& ceilings, const GapRound& now, double ceiling, double above, std::size_t left) {
    const double factor = widthFactor(ceilings.last, now);
    if (tooManyTies(ceilings.last, now, factor, left)) return false;
    ceilings.last = now;
    ceilings.roundLimit *= 4;
    ceilings.width *= factor;
    // A gap above the ceiling wider than all the lengths below it: the next
    // ceiling is measured from the shortest tour above the gap, and grows
    // from the first width again (the lengths there may come as densely as
    // at the optimum).
    if (above - ceilings.optimum > 2.0 * (ceiling - ceilings.optimum)) {
        ceilings.base = above;
        ceilings.width = ceilings.firstWidth;
        ceilings.last = GapRound{};
    }
    return true;
}

}  // namespace

// The sums of the tours up to the ceiling, at most `limit` of them (more:
// overflow), into `sums`; nextAbove the shortest left unwalked above it.
void Search::collectSumsBelow(double below, std::size_t limit) {
    const std::uint32_t all = (1u << (n - 1)) - 1u;
    ceiling = below;
    nextAbove = std::numeric_limits<double>::infinity();
    pruneAbove = ceiling * (1.0 + kBoundSlack);
    bestLength = std::numeric_limits<double>::max();
    std::memset(current, 0, sizeof current);
    std::memset(best, 0, sizeof best);
    sums.clear();
    sumsLimit = limit;
    overflow = false;
    recording = false;
    visitsLeft = std::numeric_limits<std::uint64_t>::max();
    collect(1, 0, 0.0, all);
}

bool Search::walkBelowGap(Board& board) {
    constexpr std::size_t kTourLimit = std::size_t{1} << 20;
    // Its share of the progress: the tours it may take, in a small span (when
    // it gives up, it has done little of what the search then does, which
    // goes on from there).
    constexpr double kGapWalkShare = 0.01;
    const double from = run->progress();
    GapCeilings ceilings(shortestTourBound());
    std::size_t spent = 0;
    while (spent < kTourLimit && ceilings.width <= ceilings.optimum) {
        const std::size_t limit = std::min(kTourLimit - spent, ceilings.roundLimit);
        run->enterSpan(from + kGapWalkShare * static_cast<double>(spent) / kTourLimit, from + kGapWalkShare);
        collectSumsBelow(ceilings.base + ceilings.width, limit);
        const bool budgetSpent = limit >= kTourLimit - spent;
        spent += sums.size();
        if (overflow) {
            if (!retryAfterOverflow(ceilings, budgetSpent)) return false;
            continue;
        }
        PathSpectrum table = board.spectrum;
        // No tour lies between the ceiling and the next one up: a gap up to
        // that one counts too.
        const double above = gapTop(ceiling, nextAbove);
        if (tableBelowGap(sums, above, table)) {
            board.spectrum = table;
            return true;
        }
        table.count = 0;
        for (double sum : sums) recordLength(table, sum);
        if (!raiseGapCeiling(ceilings, GapRound{ceilings.width, table.count, sums.size()}, ceiling, above, kTourLimit - spent))
            return false;
    }
    return false;
}

// The optimum as the completion table tells it, lowered by the table's slack
// so that it lies at or below the shortest tour.
double Search::shortestTourBound() const {
    const std::uint32_t all = (1u << (n - 1)) - 1u;
    double optimum = std::numeric_limits<double>::infinity();
    for (std::int32_t c = 1; c < n; ++c)
        optimum = std::min(optimum, distanceBetween(0, c) + static_cast<double>(shortestCompletion(all & ~(1u << (c - 1)), c)));
    return optimum * (1.0 - kBoundSlack);
}

// The next ceiling to walk below, and the visits the round may take: false
// when no round is walked in this turn, and for good (roundsGivenUp) when
// the ceiling reaches where the plain walk already prunes.
bool Search::raiseCeiling(double optimum, double plainPrunesAbove, double plainNodes, std::uint64_t& budget) {
    const bool farBelow = fillingCeiling > 0.0 && fillingCeiling - optimum <= kFarBelowLimit * (plainPrunesAbove - optimum);
    if (farBelow) nextCeiling = std::max(nextCeiling, fillingCeiling);
    if (nextCeiling > plainPrunesAbove || fillingCeiling - optimum > 0.5 * (plainPrunesAbove - optimum) ||
        !buckets.reset(optimum, nextCeiling)) {
        roundsGivenUp = true;
        return false;
    }
    ceiling = nextCeiling;
    pruneAbove = ceiling * (1.0 + kBoundSlack);
    // Band by band, the rounds grow by about as much each time as the last time.
    const double size =
        farBelow || previousRoundVisits <= 0.0 ? nodesBelowCeiling() : lastRoundVisits * lastRoundVisits / previousRoundVisits;
    const double share = kShareOfPlainNodes * plainNodes - static_cast<double>(roundsSpent);
    if (farBelow && std::isfinite(plainPrunesAbove) && share > static_cast<double>(budget))
        budget = share < 0x1p62 ? static_cast<std::uint64_t>(share) : std::uint64_t{1} << 62;
    // Before the plain walk's table is full it has no limit, and its
    // next turn only fills the table: a round straight to the foretold
    // ceiling may take what it is estimated to need, within reason.
    if (farBelow && !std::isfinite(plainPrunesAbove) && size > static_cast<double>(budget) &&
        size <= static_cast<double>(budget) * kUnlimitedWalkShare)
        budget = static_cast<std::uint64_t>(std::ceil(size));
    return size <= static_cast<double>(budget);
}

void Search::startRound(PathSpectrum& table) {
    nextAbove = std::numeric_limits<double>::infinity();
    bestLength = std::numeric_limits<double>::max();
    std::memset(current, 0, sizeof current);
    std::memset(best, 0, sizeof best);
    table.count = 0;
    visited = 0;
    estimate = WalkEstimate{};
}

// Kept for the next turn, with roundFrom and roundTo: the round's state and
// the node it stopped at, entered but not walked.
void Search::pauseRound(const PathSpectrum& table) {
    paused.ceiling = ceiling;
    paused.table = table;
    std::memcpy(paused.best, best, sizeof best);
    paused.bestLength = bestLength;
    paused.nextAbove = nextAbove;
    paused.buckets = buckets;
    paused.estimate = estimate;
    paused.visited = visited;
    std::memcpy(paused.way, current, sizeof current);
    paused.depth = depthNow;
}

void Search::resumeRound(PathSpectrum& table) {
    table = paused.table;
    std::memcpy(best, paused.best, sizeof best);
    bestLength = paused.bestLength;
    nextAbove = paused.nextAbove;
    buckets = paused.buckets;
    estimate = paused.estimate;
    visited = paused.visited;
    std::memcpy(current, paused.way, sizeof current);
    lowerRoundLimit();
}

// One round below the ceiling, into `table`: false when it spent its visits
// and was paused; otherwise the visits it took come off the budget.
bool Search::walkRound(PathSpectrum& table, std::uint64_t& budget) {
    const std::uint32_t all = (1u << (n - 1)) - 1u;
    spectrum = &table;
    ++tableVersion;
    const bool resuming = paused.ceiling == ceiling;
    if (resuming)
        resumeRound(table);
    else
        startRound(table);
    paused.ceiling = 0.0;
    const std::uint64_t visitedBefore = visited;
    // A round may be walked in vain: it claims a small share, unless the
    // clusters foretell that it fills the table, and one that settles
    // the board takes the rest at once. A paused round goes on in its
    // own span.
    if (!resuming) {
        roundFrom = run->progress();
        roundTo = roundFrom + (fillingCeiling > 0.0 && ceiling >= fillingCeiling ? kFillingRoundShare : kRoundShare) * (0.9 - roundFrom);
    }
    run->enterSpan(roundFrom, roundTo);
    reportPosition();
    recording = true;
    overflow = false;
    const std::uint64_t perTurn = searchTurns.roundVisitsPerTurn;
    visitsLeft = (perTurn != 0 ? std::min(budget, perTurn) : budget) + 1;
    try {
        if (resuming)
            resumeCollect(1, 0, 0.0, all);
        else
            collect(1, 0, 0.0, all);
    } catch (const OverBudget&) {
        roundsSpent += visited - visitedBefore;
        run->reportPosition(nullptr, nullptr);
        pauseRound(table);
        return false;
    }
    run->reportPosition(nullptr, nullptr);
    roundsSpent += visited - visitedBefore;
    budget -= visited - visitedBefore;
    previousRoundVisits = lastRoundVisits;
    lastRoundVisits = static_cast<double>(visited);
    return true;
}

// Boards whose tours below a gap are too many to keep (rows of cities a few
// units apart with one lifted): the tours up to a ceiling are walked in order
// and recorded as they come, as the full enumeration records them, and the
// buckets tell where their lengths lie. When that fills the table and a gap
// wide enough for lengthsApart lies above its last entry, up to the ceiling
// or past it, the table is the enumeration's own, for the reason
// solver_search_gap.cpp gives: the tours above the gap that were walked
// change no entry below it, and those not walked would not either.
// Otherwise the ceiling is raised to the middle of the gap that the clusters
// found so far foretell after the next one, and the walk starts again.
//
// A round walks every tour below its ceiling, where the plain walk walks
// those below its table's last entry, which falls as it goes: on some boards
// late (the shortest tours come late in the order), so that the rounds win by
// far, on others early. So the rounds take turns with the plain walk, at
// every doubling of its tours, and may take twice the visits it has made so
// far, all rounds together (searchTurns.roundsAllowance): a board the plain
// walk settles pays at most that much more. A round is begun only when its
// estimated size fits what is left; a round that still runs out pauses, to
// go on where it stopped at a later turn below the same ceiling. They are
// given up, the board untouched, where the plain walk prunes below the next
// ceiling, or the ceiling foretold to fill the table lies more than half as
// far above the optimum as where the plain walk prunes: the plain walk is
// then close to its end.
//
// Where that foretold ceiling lies far below the plain walk's limit instead
// (kFarBelowLimit: on the lifted rows the limit stays at twice the optimum
// for billions of tours), the rounds skip the bands between and go straight
// to the foretold ceiling, its size estimated afresh; once the plain walk's
// table is full, they may also take a share of the nodes that Knuth's
// estimate gives its walk under its limit (plainNodes), where that is more
// than their turn allows. The estimate runs high where the limit falls
// later, but such a limit does not lie that far above the foretold ceiling.
bool Search::walkBelowCeilings(Board& board, double plainPrunesAbove, std::uint64_t allowed, double plainNodes) {
    std::uint64_t budget = allowed > roundsSpent ? allowed - roundsSpent : 0;
    const double optimum = shortestTourBound();
    if (nextCeiling == 0.0) nextCeiling = optimum * (1.0 + 1e-4);
    if (countWholeAt != 0) startCountingWhole();
    while (!roundsGivenUp) {
        if (!raiseCeiling(optimum, plainPrunesAbove, plainNodes, budget)) return false;
        if (!walkRound(board.spectrum, budget)) return false;
        const std::vector<LengthBuckets::Cluster> clusters = buckets.clusters();
        if (clusters.empty()) break;
        // Every tour up to the round's limit was walked, and none between
        // it and nextAbove.
        const double above = gapTop(std::min(ceiling, pruneAbove / (1.0 + kBoundSlack)), nextAbove);
        if (tableSettled(board.spectrum, clusters, above)) return true;
        foretell(clusters, board.spectrum.count, above);
    }
    return false;
}

// The next ceiling and the one foretold to fill the table. The lengths come
// in bands, a band in one cluster or a few close together: the step between
// bands is the widest between clusters found so far, or, while they all lie
// in one band, the way up to the next tour above the ceiling. The next
// ceiling lies half a step above the start of the next band, where the gap
// after it should be; the foretold one as many bands on as the entries per
// band so far need to fill the table.
void Search::foretell(const std::vector<LengthBuckets::Cluster>& clusters, std::int32_t entries, double above) {
    const double first = clusters.front().low;
    const double last = clusters.back().low;
    double step = above - last;
    for (std::size_t i = 1; i < clusters.size(); ++i) step = std::max(step, clusters[i].low - clusters[i - 1].low);
    const double next = std::max(above, last + 1.5 * step);
    nextCeiling = next > ceiling * (1.0 + 1e-9) ? next : first + 2.0 * (ceiling - first);
    const double bands = std::floor((last - first) / step + 0.5) + 1.0;
    if (bands >= 2.0 && entries > 0) {
        const double more = std::ceil(static_cast<double>(std::max(0, kSpectrumEntries - entries)) * bands / entries);
        fillingCeiling = std::max(nextCeiling, last + (more + 0.5) * step);
    }
}

// Knuth's estimate of the nodes a walk below the ceiling visits, from the
// root, under pruneAbove as it stands. Its draws are its own: the progress
// estimate draws at every reading, as the clock says, and the rounds the
// search takes would follow the clock too.
double Search::nodesBelowCeiling() {
    constexpr std::int32_t kProbes = 256;
    std::int32_t prefix[kRouteCapacity] = {};
    double nodes = 0.0;
    for (std::int32_t probe = 0; probe < kProbes; ++probe)
        nodes += sampleSubtree(prefix, 1, (1u << (n - 1)) - 1u, 0.0, ceilingDraw);
    return nodes / kProbes;
}

// In the middle of the plain walk: the walk below a gap with the walk's own
// state set aside, and put back when it gives up.
void Search::tryBelowGap() {
    std::int32_t walkCurrent[kRouteCapacity];
    std::int32_t walkBest[kRouteCapacity];
    std::memcpy(walkCurrent, current, sizeof current);
    std::memcpy(walkBest, best, sizeof best);
    const double walkBestLength = bestLength;
    const double walkPruneAbove = pruneAbove;
    const std::uint64_t walkVisited = visited;
    const WalkEstimate walkEstimate = estimate;
    const std::int32_t walkDepth = depthNow;
    PathSpectrum* const walkSpectrum = spectrum;
    const PathSpectrum table = *spectrum;
    // The walk's position is not read while its prefix is set aside.
    run->reportPosition(nullptr, nullptr);
    // The plain walk's nodes under its own limit, before a walk here moves it.
    const double plainNodes = nodesBelowCeiling();
    const bool first = nextCeiling == 0.0;
    if (first && searchTurns.sumsFirst && walkBelowGap(*solving)) throw SettledBelowGap{};
    const std::uint64_t most = std::numeric_limits<std::uint64_t>::max() / 2;
    const std::uint64_t allowance = searchTurns.roundsAllowance;
    const std::uint64_t allowed = walkVisited > most / allowance ? most : walkVisited * allowance;
    if (walkBelowCeilings(*solving, walkPruneAbove, allowed, plainNodes)) {
        run->note(&SolveStatistics::solvesBelowCeilings);
        throw SettledBelowGap{};
    }
    // The next turn of the rounds when the plain walk has taken twice the
    // tours it has now.
    if (!roundsGivenUp) gapWalkAt = 2 * toursWalked;
    spectrum = walkSpectrum;
    *spectrum = table;
    ++tableVersion;
    estimate = walkEstimate;
    depthNow = walkDepth;
    std::memcpy(current, walkCurrent, sizeof current);
    std::memcpy(best, walkBest, sizeof best);
    bestLength = walkBestLength;
    pruneAbove = walkPruneAbove;
    visited = walkVisited;
    run->enterSpan(run->progress(), 0.9);
    reportPosition();
}

}  // namespace search

}  // namespace orvanta
