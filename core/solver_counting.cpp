// Exact solve by counting, for boards whose distances are all whole numbers
// (cities along one grid line, and the few other boards where every dx² + dy²
// is a perfect square). Such boards have astronomically many orderings sharing
// each of their shortest tour lengths, so walking them one by one never ends.
//
// Why counting gives the very table the enumeration builds: with whole
// distances and every tour below a million grid units, every tour sum is an
// exact integer in a double whatever the order of the additions, and the
// tolerance of an entry (a millionth of it) is below 1, so two different
// lengths never share an entry. The table therefore ends holding the 20
// shortest distinct lengths (or all of them) with the number of orderings of
// each, saturated at the int32 limit, and the best tour is the
// lexicographically first ordering of the shortest length.
//
// The counts come from a dynamic programme over (set of visited cities, end
// city), layer by layer by the size of the set: each state keeps the prefix
// lengths that can still complete within a trial bound, each with the number
// of prefixes of that length. Only the 20 shortest distinct prefix lengths of
// a state are kept: any tour through a longer one has 20 distinct shorter
// tours through the same state and the same completion, so it cannot reach
// the table, and neither can any tour it shares a length with. The trial
// bound grows from the optimum until 20 distinct lengths fit below it.
// Boards without shared points build the layers only up to half the cities
// and join every tour from a path through one half and a path through the
// other, walked backwards (joinHalves): the larger half of the work is not
// done.
//
// Distances that are only nearly whole (within kNearlyWhole) are counted as
// their nearest whole numbers when that provably groups the tours as the
// table does; solver_counting_near.cpp checks that and finds the sums the
// entries keep and the solution, solver_counting_spread.cpp checks it more
// closely where the first check is too rough.
//
// Cities on one grid point are interchangeable, so only the orderings that
// take each point's cities in ascending order are counted (states whose set
// holds the lowest cities of each point and ends on the highest of them);
// each stands for the same number of orderings, multiplied in at the end.
//
// Distances that are whole multiples of the square root of one square-free
// number r (cities along a slanted line: multiples of the length of the
// line's shortest lattice step (a, b), √(a² + b²)) are counted the same way,
// as whole multiples; the board's own distances are those multiples rounded,
// so they take the path of nearly whole distances.
//
// Reading order: measure() (solver_counting_distances.cpp) and
// buildCompletion() prepare, count() is the programme for one bound,
// joinHalves() its end for boards counted by halves (its merges are in solver_counting_merge.h, its storage the Layer blocks in
// solver_counting_storage.h), and the steps before solveByCounting() at the
// end drive it and write the board.
#include "core/solver_counting.h"

#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include "core/bits.h"
#include "core/solver_counting_programme.h"
#include "core/spectrum_table.h"

namespace orvanta {

namespace counting {

bool Programme::buildCompletion(const Distances& distances, Storage& storage) {
    const std::size_t sets = std::size_t{1} << m;
    const std::size_t bytes = sets * static_cast<std::size_t>(m) * sizeof(std::uint32_t);
    storage.fixedBytes += bytes;
    if (!storage.fits(0)) return false;
    completion.assign(sets * static_cast<std::size_t>(m), 0);
    for (std::uint32_t set = 0; set < sets; ++set) {
        for (std::int32_t c = 1; c <= m; ++c) {
            if (set & (1u << (c - 1))) continue;
            std::uint32_t best = std::numeric_limits<std::uint32_t>::max();
            if (set == 0) best = distances.unitsBetween(c, 0);
            for (std::uint32_t bits = set; bits != 0; bits &= bits - 1) {
                const std::int32_t r = lowestCity(bits);
                const std::uint32_t way = distances.unitsBetween(c, r) + rest(set & ~(1u << (r - 1)), r);
                if (way < best) best = way;
            }
            completion[completionIndex(set, c)] = best;
        }
    }
    optimum = std::numeric_limits<std::uint32_t>::max();
    for (std::int32_t c = 1; c <= m; ++c) {
        const std::uint32_t way = distances.unitsBetween(0, c) + rest(full & ~(1u << (c - 1)), c);
        if (way < optimum) optimum = way;
    }
    return true;
}

// Counts every ordering whose tour is at most `bound` units long, by length;
// `tours` gets the 20 shortest distinct lengths among them.
// Files the entries a merge emits as the next state of the layer.
bool Programme::fileState(Storage& storage, Layer& layer, Merge& merge, std::uint32_t limit) {
    std::uint8_t count = 0;
    LengthCount* out = nullptr;
    if (merge.lists > 0) {
        out = storage.room(layer);
        if (out == nullptr) return false;
        merge.run(limit, dense, [&](LengthCount entry) { out[count++] = entry; });
    }
    layer.first.push_back(count == 0 ? 0u : layer.nextIndex());
    layer.used.push_back(count);
    layer.filled += count;
    return true;
}

// Sets of one city: the first edge from city 0.
bool Programme::countFirstLayer(const Distances& distances, Storage& storage, std::uint32_t bound) {
    if (!storage.startLayer(storage.layers[0], static_cast<std::size_t>(m))) return false;
    for (std::int32_t c = 1; c <= m; ++c) {
        const LengthCount start{0, 1};
        Merge merge;
        const std::uint32_t toGo = rest(full & ~(1u << (c - 1)), c);
        const std::uint32_t limit = toGo <= bound ? bound - toGo : 0;
        if (toGo <= bound && points.sameBelow[c] == 0) merge.add(&start, &start + 1, distances.unitsBetween(0, c), limit);
        if (!fileState(storage, storage.layers[0], merge, limit)) return false;
    }
    return true;
}

bool Programme::countLayer(const Distances& distances, Storage& storage, SolveRun& run, std::uint32_t bound, std::int32_t size,
                           std::uint32_t& setsDone, std::uint32_t setsToDo) {
    const Layer& previous = storage.layers[(size - 2) % 2];
    Layer& next = storage.layers[(size - 1) % 2];
    const std::size_t states = static_cast<std::size_t>(binomial[m][size]) * static_cast<std::size_t>(size);
    if (!storage.startLayer(next, states)) return false;

    for (std::uint32_t set = (1u << size) - 1; set <= full; set = nextSubsetOfSameSize(set)) {
        run.step();
        run.advance(static_cast<double>(++setsDone) / static_cast<double>(setsToDo));
        const std::uint32_t outside = full & ~set;
        // A set counted in ascending order holds the lowest cities of each point.
        bool ascending = true;
        for (std::uint32_t bits = set; bits != 0; bits &= bits - 1) ascending = ascending && (points.sameBelow[lowestCity(bits)] & outside) == 0;
        if (!ascending) {
            // No state of this set is counted: file them all empty at once.
            next.first.insert(next.first.end(), static_cast<std::size_t>(size), 0u);
            next.used.insert(next.used.end(), static_cast<std::size_t>(size), std::uint8_t{0});
            if (set == full) break;
            continue;
        }
        for (std::uint32_t bits = set; bits != 0; bits &= bits - 1) {
            const std::int32_t c = lowestCity(bits);
            const std::uint32_t toGo = rest(outside, c);
            Merge merge;
            std::uint32_t limit = 0;
            // ... and ends with the highest of them on its point.
            if (toGo <= bound && (points.sameAbove[c] & set) == 0) {
                limit = bound - toGo;
                const std::uint32_t before = set & ~(1u << (c - 1));
                std::size_t state = static_cast<std::size_t>(rankAmongSameSize(before)) * static_cast<std::size_t>(size - 1);
                for (std::uint32_t ends = before; ends != 0; ends &= ends - 1, ++state) {
                    const std::int32_t e = lowestCity(ends);
                    if (previous.used[state] == 0) continue;
                    const LengthCount* list = previous.list(state);
                    merge.add(list, list + previous.used[state], distances.unitsBetween(e, c), limit);
                }
            }
            if (!fileState(storage, next, merge, limit)) return false;
        }
        if (set == full) break;  // the next set of this size would leave the cities
    }
    return true;
}

// Close every ordering of all cities with the edge back to city 0.
void Programme::closeTours(const Distances& distances, Storage& storage, std::uint32_t bound, std::vector<LengthCount>& tours) {
    const Layer& last = storage.layers[(m - 1) % 2];
    Merge merge;
    for (std::int32_t c = 1; c <= m; ++c) {
        const auto state = static_cast<std::size_t>(c - 1);
        if (last.used[state] == 0) continue;
        const LengthCount* list = last.list(state);
        merge.add(list, list + last.used[state], distances.unitsBetween(c, 0), bound);
    }
    merge.run(bound, dense, [&](LengthCount entry) { tours.push_back(entry); });
}

Programme::Run Programme::count(const Distances& distances, Storage& storage, SolveRun& run, std::uint32_t bound, std::vector<LengthCount>& tours) {
    tours.clear();
    storage.layers[0] = Layer{};
    storage.layers[1] = Layer{};
    storage.kept.clear();
    storage.keptBytes = 0;

    // By halves: the layers only up to the sets of the first half, then
    // every tour is joined from its two halves (joinHalves).
    const bool halves = joinsHalves(storage, bound);
    const std::int32_t top = halves ? firstHalf() : m;
    std::uint32_t setsToDo = 0;
    for (std::int32_t size = 1; size <= top; ++size) setsToDo += binomial[m][size];
    if (halves) setsToDo += binomial[m][top];

    if (!countFirstLayer(distances, storage, bound)) return Run::TooLarge;
    std::uint32_t setsDone = static_cast<std::uint32_t>(m);
    for (std::int32_t size = 2; size <= top; ++size) {
        if (!countLayer(distances, storage, run, bound, size, setsDone, setsToDo)) return Run::TooLarge;
        // The layer before is no longer needed, unless every layer is kept
        // (or it holds the second halves).
        if (halves && size == top) break;
        storage.keepLayer(storage.layers[(size - 2) % 2]);
    }
    if (halves) {
        const bool joined = joinHalves(storage, run, bound, tours, setsDone, setsToDo);
        storage.layers[0] = Layer{};
        storage.layers[1] = Layer{};
        return joined ? Run::Complete : Run::TooLarge;
    }
    closeTours(distances, storage, bound, tours);
    storage.keepLayer(storage.layers[(m - 1) % 2]);
    storage.layers[0] = Layer{};
    storage.layers[1] = Layer{};
    return Run::Complete;
}

// Joins every tour from its two halves. The first half runs from city 0
// through the `firstHalf()` cities of a set, the last of them c; the second
// from c through all other cities back to city 0, which is a path from
// city 0 through those cities and c, ending at c, walked backwards: a state
// of the layer of that size, the one before the first half's or that
// layer itself. Each ordering is split at one place only, so adding the
// products of the counts of every pair of halves within the bound counts
// every ordering once. Keeping only the 20 shortest lengths of each half
// loses no tour of the 20 shortest lengths, as in the merges: a tour whose
// half is longer than 20 other lengths of that half has 20 distinct shorter
// tours through the same other half. When both halves have sets of one size,
// the pair of states taken the other way round is the same tours reversed,
// of the same lengths: each pair is joined once and counted twice. Cities on
// shared points would need the second half counted in descending order:
// such boards count in full.
bool Programme::joinHalves(Storage& storage, SolveRun& run, std::uint32_t bound, std::vector<LengthCount>& tours, std::uint32_t setsDone,
                           std::uint32_t setsToDo) {
    const std::int32_t first = firstHalf();
    const Layer& front = storage.layers[(first - 1) % 2];
    const Layer& back = storage.layers[(m - first) % 2];
    const bool sameSize = m - first + 1 == first;
    const std::uint64_t ways = sameSize ? 2 : 1;
    // Counts by tour length above the optimum, saturated at the limit: twice
    // a product of two counts below 2^31 and a sum below the limit fit in 64 bits.
    const std::size_t span = bound - optimum + 1;
    if (!storage.fits(span * sizeof(std::uint64_t))) return false;
    std::vector<std::uint64_t> byLength(span, 0);
    std::size_t state = 0;
    for (std::uint32_t set = (1u << first) - 1; set <= full; set = nextSubsetOfSameSize(set)) {
        run.step();
        run.advance(static_cast<double>(++setsDone) / static_cast<double>(setsToDo));
        const std::uint32_t others = full & ~set;
        for (std::uint32_t bits = set; bits != 0; bits &= bits - 1, ++state) {
            if (front.used[state] == 0) continue;
            const std::int32_t c = lowestCity(bits);
            const std::uint32_t backSet = others | (1u << (c - 1));
            if (sameSize && backSet < set) continue;
            const std::size_t rest = stateIndex(backSet, c);
            if (back.used[rest] == 0) continue;
            const LengthCount* way = back.list(rest);
            const LengthCount* wayEnd = way + back.used[rest];
            const LengthCount* start = front.list(state);
            for (const LengthCount* a = start; a != start + front.used[state] && a->length + way->length <= bound; ++a) {
                const std::uint32_t within = bound - a->length;
                for (const LengthCount* b = way; b != wayEnd && b->length <= within; ++b) {
                    std::uint64_t& sum = byLength[a->length + b->length - optimum];
                    const std::uint64_t more = sum + ways * a->count * b->count;
                    sum = more > kCountLimit ? kCountLimit : more;
                }
            }
        }
        if (set == full) break;
    }
    for (std::size_t i = 0; i < span && tours.size() < static_cast<std::size_t>(kSpectrumEntries); ++i)
        if (byLength[i] != 0) tours.push_back(LengthCount{optimum + static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(byLength[i])});
    return true;
}

Counter::Counter(SolveRun& solveRun, std::int32_t n, const SharedPoints& points, std::size_t storageLimit) : run(&solveRun) {
    storage.storageLimit = storageLimit;
    distances.n = n;
    programme.m = n - 1;
    programme.full = (1u << programme.m) - 1u;
    programme.points = points;
    auto& binomial = programme.binomial;
    for (std::int32_t a = 0; a <= kMaxCities; ++a) {
        binomial[a][0] = 1;
        for (std::int32_t b = 1; b <= a; ++b) binomial[a][b] = binomial[a - 1][b - 1] + (b < a ? binomial[a - 1][b] : 0);
    }
}

// The first ordering in lexicographic order whose tour is shortest: at each
// position the lowest city from which the shortest completion still reaches
// the optimum.
void Programme::firstShortestRoute(const Distances& distances, std::int32_t* order) const {
    std::uint32_t left = full;
    std::int32_t end = 0;
    std::uint32_t length = 0;
    order[0] = 0;
    for (std::int32_t position = 1; position <= m; ++position) {
        for (std::uint32_t bits = left; bits != 0; bits &= bits - 1) {
            const std::int32_t c = lowestCity(bits);
            const std::uint32_t after = left & ~(1u << (c - 1));
            if (length + distances.unitsBetween(end, c) + rest(after, c) == optimum) {
                order[position] = c;
                length += distances.unitsBetween(end, c);
                end = c;
                left = after;
                break;
            }
        }
    }
}

}  // namespace counting

namespace counting {
namespace {

// The steps of a counting solve, in order. Each returns false when the board
// is left to the search.

// Step 1: the distances qualify, the shortest completions are known, and
// nearly whole ones pass the checks that can be made before counting.
// `measured`: the board needed its drift range measured, so the sums its
// entries keep are checked too (step 3).
bool qualifies(Counter& c, const Board& board, bool& measured) {
    if (!c.distances.measure(board)) return false;
    c.storage.fixedBytes = c.distances.distance.capacity() * sizeof(std::uint32_t) + c.distances.exact.capacity() * sizeof(double);
    if (!c.programme.buildCompletion(c.distances, c.storage)) return false;
    // Nearly whole distances: the rough drifts settle most boards at once;
    // the others need the range the tours' drifts really take, and a check
    // against the sums of the entries once those are known.
    measured = c.distances.near && !lengthsKeepApart(c.distances, c.programme.optimum);
    // The drift range takes the differences from the multiples as exact,
    // which only whole numbers give.
    if (measured && c.distances.radicand != 1) return false;
    // The tours of the lengths from walkedBelow() on must keep to one entry.
    return !measured || (c.distances.measureDriftRange(c.programme, c.storage, *c.run) &&
                         driftRangeMayKeepApart(c.distances, c.programme.walkedBelow()));
}

// Step 2: the 20 shortest distinct lengths (or all), with their counts.
// Each pass of the programme takes half of the share of the solve's progress
// that the passes before it left, out of the first fifth.
bool countShortestLengths(Counter& c, std::vector<LengthCount>& tours) {
    double passShare = 0.1;
    // Widen the bound above the optimum until 20 distinct lengths fit under
    // it or it covers every tour. A bound that needs too much storage is
    // narrowed again between the last one that fitted and it.
    // A detour over the shortest distance and back is the smallest change
    // a tour commonly makes: start there.
    std::uint32_t width = 2 * c.distances.shortest;
    if (width > c.distances.longest) width = c.distances.longest;
    std::int64_t fitted = -1;                // widest bound known to fit, short of 20 lengths
    std::int64_t tooLarge = -1;              // narrowest bound known not to fit
    c.storage.keepLayers = false;
    for (;;) {
        const std::uint32_t bound = c.programme.optimum + width;
        c.run->enterSpan(0.2 - 2 * passShare, 0.2 - passShare);
        passShare /= 2;
        const Programme::Run outcome = c.programme.count(c.distances, c.storage, *c.run, bound, tours);
        if (outcome == Programme::Run::TooLarge) {
            tooLarge = width;
            const std::int64_t between = fitted + (tooLarge - fitted) / 2;
            if (between <= fitted) return false;
            width = static_cast<std::uint32_t>(between);
            continue;
        }
        if (tours.size() >= static_cast<std::size_t>(kSpectrumEntries) || bound >= c.distances.longest) break;
        fitted = width;
        // Widen so that the lengths found so far, spaced on as they are,
        // would reach 20 with one to spare, but by a quarter at least;
        // with too few to tell, eight times.
        std::int64_t wider = 8 * static_cast<std::int64_t>(width) + 1;
        if (tours.size() >= 2) {
            const std::int64_t span = static_cast<std::int64_t>(tours.back().length) - c.programme.optimum;
            const auto gaps = static_cast<std::int64_t>(tours.size()) - 1;
            const std::int64_t estimate = (span * kSpectrumEntries + gaps - 1) / gaps;
            const std::int64_t least = static_cast<std::int64_t>(width) + width / 4 + 1;
            wider = estimate > least ? estimate : least;
        }
        if (tooLarge >= 0) {
            wider = fitted + (tooLarge - fitted) / 2;
            if (wider <= fitted) return false;
        }
        if (wider > c.distances.longest) wider = c.distances.longest;
        width = static_cast<std::uint32_t>(wider);
    }
    return true;
}

// The layers the walks of step 3 learn from which lengths can still be
// made up: counted once more keeping them, up to the longest length found,
// which the table needs and no more (lengths and counts come out as they
// were). A layer that does not fit is kept empty; when the layers being
// built run out of room, none are kept and the walks go on without them.
void keepLayersForTheWalks(Counter& c, const std::vector<LengthCount>& tours) {
    c.storage.keepLayers = true;
    std::vector<LengthCount> again;
    if (c.programme.count(c.distances, c.storage, *c.run, tours.back().length, again) != Programme::Run::Complete) {
        c.storage.kept.clear();
        c.storage.layers[0] = Layer{};
        c.storage.layers[1] = Layer{};
    }
}

// The tours of the shortest lengths counted, walked one by one where they
// fall in entries of their own (their first `lengths` lengths; none when 0).
struct ShortLengths {
    std::int32_t lengths = 0;
    PathSpectrum table{};
};

// Step 3: the length each entry keeps, that of the first tour counted in it,
// and the solution route; where only the shortest lengths' tours may split
// into entries of their own, those are walked instead.
bool findSumsAndSolution(Counter& c, const Board& board, bool measured, const std::vector<LengthCount>& tours, std::vector<double>& sums,
                         std::int32_t* order, ShortLengths& walked) {
    if (c.distances.near) {
        // Tours counted as one length differ in their last digits: the first
        // of each length and the smallest sum are found by walking them.
        // Most boards' walks find them at once; the others go on once the
        // layers are kept to tell them which lengths can still be made up.
        // Steps without the layers: well below what counting once more to
        // keep them takes (a step of a walk is far cheaper than a state of
        // the count), which grows as the number of sets does.
        const std::int64_t stepsWithoutLayers = std::int64_t{16} << c.programme.m;
        Walked found = firstToursOfLengths(c, tours, sums, order, stepsWithoutLayers);
        if (found == Walked::OutOfSteps) {
            keepLayersForTheWalks(c, tours);
            found = firstToursOfLengths(c, tours, sums, order, std::numeric_limits<std::int64_t>::max());
        }
        if (found != Walked::Done) return false;
        if (!measured) return true;
        // Where the shortest lengths' tours, a few tolerances apart at most,
        // may make entries of their own, they make the entries the
        // enumeration makes of them when walked in its order; the longer
        // lengths keep apart.
        walked.lengths = shortLengthsToWalk(c.distances, tours, sums);
        if (walked.lengths <= 0) return walked.lengths == 0;
        if (shortLengthsWalked(c, tours, walked.lengths, walked.table, order) != Walked::Done) return false;
        // A full table of them would have dropped entries; and with all 20
        // lengths counted, the entries must fill the table.
        const auto entries = static_cast<std::size_t>(walked.table.count) + tours.size() - static_cast<std::size_t>(walked.lengths);
        return walked.table.count < kSpectrumEntries &&
               (tours.size() < static_cast<std::size_t>(kSpectrumEntries) || entries >= static_cast<std::size_t>(kSpectrumEntries));
    }
    c.programme.firstShortestRoute(c.distances, order);
    // The one tour evaluated: the solution, summed edge by edge as the solver sums.
    double length = 0.0;
    for (std::int32_t k = 0; k + 1 < c.distances.n; ++k) length += board.cityDistance(order[k], order[k + 1]);
    length += board.cityDistance(order[c.distances.n - 1], 0);
    if (length != static_cast<double>(c.programme.optimum) * c.distances.unit) return false;
    c.run->tour();
    for (const LengthCount& t : tours) sums.push_back(static_cast<double>(t.length) * c.distances.unit);
    return true;
}

// Step 4: the table and the solution route, as the enumeration leaves them:
// the entries of the lengths walked, then those of the lengths counted after them.
void writeBoard(Board& board, const Counter& c, const std::vector<LengthCount>& tours, const std::vector<double>& sums, const std::int32_t* order,
                const ShortLengths& walked) {
    double lengths[kSpectrumEntries] = {};
    std::int32_t counts[kSpectrumEntries] = {};
    std::int32_t used = 0;
    for (; used < walked.table.count; ++used) {
        lengths[used] = walked.table.lengths[used];
        counts[used] = walked.table.counts[used];
    }
    const auto perPattern = static_cast<std::uint64_t>(c.programme.points.orderingsPerPattern);
    for (auto i = static_cast<std::size_t>(walked.lengths); i < tours.size() && used < kSpectrumEntries; ++i, ++used) {
        lengths[used] = sums[i];
        const std::uint64_t patterns = tours[i].count;
        counts[used] = static_cast<std::int32_t>(patterns > kCountLimit / perPattern ? kCountLimit : patterns * perPattern);
    }
    // The enumeration starts by emptying the table over its old contents, puts
    // the first length in slot 0 and moves every slot above an insertion up by
    // one: with k entries at the end, the slots from k on hold what slots
    // 1 to 20 - k held before the solve.
    const PathSpectrum before = board.spectrum;
    PathSpectrum& s = board.spectrum;
    s.count = used;
    for (std::int32_t i = 0; i < kSpectrumEntries; ++i) {
        if (i < used) {
            s.lengths[i] = lengths[i];
            s.counts[i] = counts[i];
        } else {
            s.lengths[i] = before.lengths[i - (used - 1)];
            s.counts[i] = before.counts[i - (used - 1)];
        }
    }
    normaliseSpectrum(s);
    for (std::int32_t k = 0; k < kRouteCapacity; ++k) board.solutionRoute[k] = order[k];
    board.solutionRoute[c.distances.n] = board.solutionRoute[0];
}

}  // namespace
}  // namespace counting

bool solveByCounting(Board& board, SolveRun& run, std::size_t storageLimit) {
    return solveByCounting(board, run, sharedPointsOf(board), storageLimit);
}

bool solveByCounting(Board& board, SolveRun& run, const SharedPoints& points, std::size_t storageLimit) {
    using counting::Counter;
    using counting::LengthCount;
    const std::int32_t n = board.cityCount;
    if (n < 2 || n > kMaxCities) return false;
    Counter counter(run, n, points, storageLimit);

    std::vector<LengthCount> tours;
    std::vector<double> sums;
    std::int32_t order[kRouteCapacity] = {};
    counting::ShortLengths walked;
    try {
        bool measured = false;
        if (!counting::qualifies(counter, board, measured)) return false;
        if (!counting::countShortestLengths(counter, tours)) return false;
        if (tours.empty() || tours[0].length != counter.programme.optimum) return false;
        // The tours of the longest length counted at least must keep to one
        // entry; the shortest may be walked instead.
        if (measured && !counting::driftRangeMayKeepApart(counter.distances, tours.back().length)) return false;
        run.enterSpan(0.2, 0.25);
        if (!counting::findSumsAndSolution(counter, board, measured, tours, sums, order, walked)) return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    counting::writeBoard(board, counter, tours, sums, order, walked);
    if (walked.lengths > 0) run.note(&SolveStatistics::countedWithShortestWalked);
    return true;
}

}  // namespace orvanta
