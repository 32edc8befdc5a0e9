// Counting for boards whose distances are only nearly whole numbers: cities
// on two or three close parallel lines far apart along them, a line or a
// lattice moved by a unit here and there on a large grid. Each distance is
// counted as its nearest whole number, so each tour as a whole length; the
// tour's own sum lies within the drift of it (measured with the distances).
//
// When the drift is far below the tolerance of every entry, and whole lengths
// lie further apart than any tolerance (lengthsKeepApart), the enumeration
// puts all tours counted as one length in one entry and tours of different
// lengths in different entries, so the counts of the programme hold exactly.
// Only what the enumeration keeps of single tours needs walking them:
// - the length an entry keeps is the sum of the first tour that reached it,
//   the first ordering in enumeration order counted as that length: found by
//   a depth-first walk in that order that follows only cities from which the
//   length can still be reached, remembering the dead ends it met;
// - the solution is the first ordering with the smallest sum: it is counted
//   as the shortest length (lengths apart by a whole unit cannot swap), so
//   every ordering of that length is walked and summed, edge by edge as the
//   enumeration sums; the first of them gives the shortest entry its length.
// Cities on one point are walked in ascending order only: the orderings that
// swap them have the same sums, and the ascending one comes first.
//
// Where the drift only fits the tolerance of the longer lengths (close rows
// a few hundred apart: the tolerance grows with the length, the drift does
// not), the tours of the few shortest lengths may make entries of their own
// in the order they come. Those are walked one by one, in enumeration order,
// into a table of their own (shortLengthsWalked), which is what the
// enumeration's table holds of them: the longer lengths' tours lie further
// from them than any tolerance reaches, either way.

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "core/bits.h"
#include "core/solver_counting_programme.h"
#include "core/spectrum_table.h"

namespace orvanta::counting {

namespace {

// Steps of all walks of one call, and dead ends remembered at once; beyond
// them the board is left to the search.
constexpr std::int64_t kStepLimit = 4'000'000;
constexpr std::size_t kDeadEndLimit = std::size_t{1} << 19;
// Orderings of the shortest length (one per pattern of shared points) that
// the walk for the solution may sum.
constexpr std::uint32_t kShortestLimit = 300'000;
// Tours of the shortest lengths that may be walked one by one (about a
// second's work), and the steps their walk may take.
constexpr std::uint64_t kShortLengthsTourLimit = std::uint64_t{1} << 24;
constexpr std::int64_t kShortLengthsStepLimit = std::int64_t{1} << 26;

struct Walk {
    const Distances& distances;
    const Programme& programme;
    const std::vector<KeptLayer>& kept;  // the storage's kept layers
    SolveRun& run;
    std::int32_t order[kRouteCapacity] = {};
    std::int64_t steps = 0;
    std::int64_t limit = kStepLimit;
    std::int64_t progressSteps = kStepLimit;  // the steps that make the whole of its share
    // (cities remaining, end city, units still to go) from which no ordering
    // of the remaining cities makes up exactly those units.
    std::unordered_set<std::uint64_t> deadEnds;
    bool tooLong = false;
    std::int32_t best[kRouteCapacity] = {};
    double bestSum = 0.0;
    bool found = false;
    double firstSum = 0.0;  // of the first ordering walked

    explicit Walk(const Counter& counter)
        : distances(counter.distances), programme(counter.programme), kept(counter.storage.kept), run(*counter.run) {}

    // The next city may be taken: no lower city on its point is still to come.
    bool allowed(std::uint32_t remaining, std::int32_t city) const { return (remaining & programme.points.sameBelow[city]) == 0; }
    bool step() {
        run.step();
        run.advance(static_cast<double>(steps) / static_cast<double>(progressSteps));
        tooLong = tooLong || ++steps > limit;
        return !tooLong;
    }

    bool reaches(std::uint32_t set, std::int32_t end, std::uint32_t length) const;
    bool firstOf(std::int32_t position, std::int32_t end, std::uint32_t remaining, std::uint32_t toGo);
    void allOf(std::int32_t position, std::int32_t end, std::uint32_t remaining, std::uint32_t toGo, double sum, PathSpectrum* table);
    double sumOf(const std::int32_t* route) const;
};

// Whether some path from city 0 through every city of the set, ending at
// `end`, is `length` units long, as far as the kept layers of the programme
// tell: they hold every length that can still belong to a counted tour.
// Without them, any length may be.
bool Walk::reaches(std::uint32_t set, std::int32_t end, std::uint32_t length) const {
    if (kept.size() != static_cast<std::size_t>(programme.m)) return true;
    // The programme counted the cities of each point in ascending order: the
    // same path over the lowest cities of each point, ending on the highest
    // of them on the point of `end`.
    std::uint32_t counted = 0;
    std::int32_t countedEnd = end;
    for (std::uint32_t left = set; left != 0;) {
        const std::int32_t city = lowestCity(left);
        const std::uint32_t point = programme.points.samePoint[city];
        std::uint32_t take = 0;
        std::int32_t highest = city;
        std::uint32_t from = point;
        for (std::int32_t k = countMembers(set & point); k > 0; --k, from &= from - 1) {
            highest = lowestCity(from);
            take |= 1u << (highest - 1);
        }
        counted |= take;
        if ((point & (1u << (end - 1))) != 0) countedEnd = highest;
        left &= ~point;
    }
    const KeptLayer& layer = kept[static_cast<std::size_t>(countMembers(counted) - 1)];
    if (layer.start.empty()) return true;
    const std::size_t state = programme.stateIndex(counted, countedEnd);
    for (std::uint32_t i = layer.start[state]; i < layer.start[state + 1]; ++i)
        if (layer.lengths[i] == length) return true;
    return false;
}

// Fills order[position..] with the first ordering of the remaining cities,
// after `end`, that makes up exactly toGo units back to city 0.
bool Walk::firstOf(std::int32_t position, std::int32_t end, std::uint32_t remaining, std::uint32_t toGo) {
    if (remaining == 0) return distances.unitsBetween(end, 0) == toGo;
    if (!step()) return false;
    const std::uint64_t key = (static_cast<std::uint64_t>(remaining) << 37) | (static_cast<std::uint64_t>(end) << 32) | toGo;
    if (deadEnds.count(key) != 0) return false;
    for (std::uint32_t bits = remaining; bits != 0; bits &= bits - 1) {
        const std::int32_t city = lowestCity(bits);
        if (!allowed(remaining, city)) continue;
        const std::uint32_t edge = distances.unitsBetween(end, city);
        const std::uint32_t after = remaining & ~(1u << (city - 1));
        // Even the shortest way on from here is too long.
        if (edge > toGo || programme.rest(after, city) > toGo - edge) continue;
        // ... or that length cannot be made up: the way on is a path from
        // city 0 through the rest to this city, walked backwards.
        if (!reaches(after | (1u << (city - 1)), city, toGo - edge)) continue;
        order[position] = city;
        if (firstOf(position + 1, city, after, toGo - edge)) return true;
        if (tooLong) return false;
    }
    if (deadEnds.size() >= kDeadEndLimit) {
        tooLong = true;
        return false;
    }
    deadEnds.insert(key);
    return false;
}

// Walks every ordering from here counted as exactly toGo units (of the
// shortest length, when no tour is shorter) or, with `table`, as toGo units
// or fewer, in enumeration order, summing each tour edge by edge as the
// enumeration does: keeps the first with the smallest sum, and records every
// tour into `table` as the enumeration records it.
void Walk::allOf(std::int32_t position, std::int32_t end, std::uint32_t remaining, std::uint32_t toGo, double sum, PathSpectrum* table) {
    if (remaining == 0) {
        run.tour();
        const double length = sum + distances.boardDistance(end, 0);
        if (table != nullptr) recordLength(*table, length);
        if (!found) firstSum = length;
        if (!found || length < bestSum) {
            for (std::int32_t k = 0; k < kRouteCapacity; ++k) best[k] = order[k];
            bestSum = length;
            found = true;
        }
        return;
    }
    if (!step()) return;
    for (std::uint32_t bits = remaining; bits != 0; bits &= bits - 1) {
        const std::int32_t city = lowestCity(bits);
        if (!allowed(remaining, city)) continue;
        const std::uint32_t edge = distances.unitsBetween(end, city);
        const std::uint32_t after = remaining & ~(1u << (city - 1));
        if (edge > toGo) continue;
        const std::uint32_t rest = programme.rest(after, city);
        if (table != nullptr ? rest > toGo - edge : rest != toGo - edge) continue;
        order[position] = city;
        allOf(position + 1, city, after, toGo - edge, sum + distances.boardDistance(end, city), table);
        if (tooLong) return;
    }
}

// The tour's sum as the enumeration forms it: edge by edge in route order,
// the edge back to city 0 last.
double Walk::sumOf(const std::int32_t* route) const {
    double sum = 0.0;
    for (std::int32_t k = 0; k + 1 < distances.n; ++k) sum += distances.boardDistance(route[k], route[k + 1]);
    return sum + distances.boardDistance(route[distances.n - 1], 0);
}

}  // namespace

bool lengthsKeepApart(const Distances& distances, std::uint32_t optimum) {
    const double unit = distances.unitLength;
    const double shortestTour = static_cast<double>(optimum) * unit - distances.driftBelow;
    const double longestTour = static_cast<double>(distances.longest) * unit + distances.driftAbove;
    const double spread = distances.driftAbove + distances.driftBelow;
    // Tours counted as one length lie within `spread` of each other, so all
    // of them fall within the tolerance of the entry the first of them made,
    // which is at least that of the shortest tour ...
    if (!(spread <= 0.999 * toleranceOf(shortestTour))) return false;
    // ... and tours counted as lengths a unit or more apart lie at least
    // unit - spread apart, further than the tolerance of any entry, at most
    // that of the longest tour. A thousandth of a tolerance is kept either way
    // for the rounding of these products (a few parts in 10^16).
    return unit - spread > 1.001 * toleranceOf(longestTour);
}

Walked firstToursOfLengths(const Counter& counter, const std::vector<LengthCount>& tours, std::vector<double>& sums, std::int32_t* best,
                           std::int64_t stepsForLengths) {
    if (tours.empty() || tours[0].count >= kShortestLimit) return Walked::Refused;
    Walk walk(counter);
    if (sums.empty()) {
        walk.allOf(1, 0, counter.programme.full, counter.programme.optimum, 0.0, nullptr);
        if (walk.tooLong || !walk.found) return Walked::Refused;
        for (std::int32_t k = 0; k < kRouteCapacity; ++k) best[k] = walk.best[k];
        // That walk went in enumeration order: its first ordering is the
        // first of the shortest length.
        sums.push_back(walk.firstSum);
    }
    if (stepsForLengths < kStepLimit - walk.steps) walk.limit = walk.steps + stepsForLengths;
    for (std::size_t i = sums.size(); i < tours.size(); ++i) {
        const LengthCount& t = tours[i];
        walk.deadEnds.clear();
        if (!walk.firstOf(1, 0, counter.programme.full, t.length)) return walk.tooLong && walk.limit < kStepLimit ? Walked::OutOfSteps : Walked::Refused;
        counter.run->tour();
        sums.push_back(walk.sumOf(walk.order));
    }
    return Walked::Done;
}

Walked shortLengthsWalked(const Counter& counter, const std::vector<LengthCount>& tours, std::int32_t lengths, PathSpectrum& table,
                          std::int32_t* best) {
    if (counter.programme.points.orderingsPerPattern != 1 || lengths <= 0 || static_cast<std::size_t>(lengths) > tours.size())
        return Walked::Refused;
    std::uint64_t toWalk = 0;
    for (std::int32_t i = 0; i < lengths; ++i) toWalk += tours[static_cast<std::size_t>(i)].count;
    if (toWalk > kShortLengthsTourLimit) return Walked::Refused;
    const std::uint32_t upTo = tours[static_cast<std::size_t>(lengths - 1)].length;
    Walk walk(counter);
    walk.limit = kShortLengthsStepLimit;
    walk.progressSteps = kShortLengthsStepLimit;
    table = PathSpectrum{};
    walk.allOf(1, 0, counter.programme.full, upTo, 0.0, &table);
    if (walk.tooLong || !walk.found) return Walked::Refused;
    for (std::int32_t k = 0; k < kRouteCapacity; ++k) best[k] = walk.best[k];
    return Walked::Done;
}

}  // namespace orvanta::counting
