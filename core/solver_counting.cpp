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
// Reading order: measure() and buildCompletion() prepare, count() is the
// programme for one bound, joinHalves() its end for boards counted by halves
// (its merges are in solver_counting_merge.h, its
// storage the Layer blocks in solver_counting_programme.h), and the steps
// before solveByCounting() at the end drive it and write the board.
#include "core/solver_counting.h"

#include <cmath>
#include <numeric>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "core/bits.h"
#include "core/solver.h"
#include "core/solver_counting_programme.h"

namespace orvanta {

namespace counting {

namespace {

// Tours of at least this many grid units could share an entry with a
// different length, and are left to the search.
constexpr std::int64_t kLengthLimit = 1000000;
// A coordinate difference beyond this cannot belong to such a board.
constexpr std::int64_t kDifferenceLimit = kLengthLimit;
// Distances further than this from a whole number are not counted.
constexpr double kNearlyWhole = 0.05;
std::uint32_t gcd(std::uint32_t a, std::uint32_t b) {
    while (b != 0) {
        const std::uint32_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

// The square-free part of a positive number: it with every square factor
// divided out. After the factors up to the cube root, what is left has at
// most two prime factors, both larger: a square, or square-free.
std::uint64_t squareFreePart(std::uint64_t value) {
    std::uint64_t part = 1;
    for (std::uint64_t p = 2; p * p * p <= value; ++p) {
        while (value % (p * p) == 0) value /= p * p;
        if (value % p == 0) {
            part *= p;
            value /= p;
        }
    }
    auto root = static_cast<std::uint64_t>(std::llround(std::sqrt(static_cast<double>(value))));
    return root * root == value ? part : part * value;
}

// The radicand r of the common unit of a board whose distances are all whole
// multiples of the square root of one square-free r: every dx² + dy² is r
// times a square, so the gcd of them all is r times a square too. 1 when
// there is no such r besides 1 (then the distances are whole or nothing).
std::uint64_t commonRadicand(const Board& board) {
    std::uint64_t all = 0;
    for (std::int32_t a = 0; a < board.cityCount; ++a) {
        for (std::int32_t b = a + 1; b < board.cityCount; ++b) {
            const std::int64_t dx = static_cast<std::int64_t>(board.cities[a].x) - board.cities[b].x;
            const std::int64_t dy = static_cast<std::int64_t>(board.cities[a].y) - board.cities[b].y;
            if (dx > kDifferenceLimit || dx < -kDifferenceLimit || dy > kDifferenceLimit || dy < -kDifferenceLimit) return 1;
            all = std::gcd(all, static_cast<std::uint64_t>(dx * dx + dy * dy));
        }
    }
    return all == 0 ? 1 : squareFreePart(all);
}

}  // namespace

// Reads the distances as whole multiples of the common unit, or as nearly
// whole ones (each within kNearlyWhole of its nearest whole number, when the
// radicand is 1) with their drift; false otherwise, or if a tour could reach
// the length limit.
bool Counter::measure(const Board& board, std::uint64_t squareFree) {
    radicand = squareFree;
    near = radicand != 1;
    shortest = 0;
    distance.assign(static_cast<std::size_t>(n) * static_cast<std::size_t>(n), 0);
    exact.assign(static_cast<std::size_t>(n) * static_cast<std::size_t>(n), 0.0);
    const double root = std::sqrt(static_cast<double>(radicand));
    std::int64_t most = 0;
    std::uint32_t common = 0;
    for (std::int32_t a = 0; a < n; ++a) {
        for (std::int32_t b = a + 1; b < n; ++b) {
            const std::int64_t dx = static_cast<std::int64_t>(board.cities[a].x) - board.cities[b].x;
            const std::int64_t dy = static_cast<std::int64_t>(board.cities[a].y) - board.cities[b].y;
            if (dx > kDifferenceLimit || dx < -kDifferenceLimit || dy > kDifferenceLimit || dy < -kDifferenceLimit) return false;
            const std::int64_t square = dx * dx + dy * dy;
            if (square % static_cast<std::int64_t>(radicand) != 0) return false;
            const std::int64_t multiple = square / static_cast<std::int64_t>(radicand);
            auto whole = static_cast<std::int64_t>(std::llround(std::sqrt(static_cast<double>(multiple))));
            while (whole * whole > multiple) --whole;
            while ((whole + 1) * (whole + 1) <= multiple) ++whole;
            const double there = board.cityDistance(a, b);
            if (there != board.cityDistance(b, a)) return false;
            if (radicand == 1) {
                // The nearest whole number: whole or whole + 1. The solver sums
                // the board's own distances; their differences from whole
                // numbers are exact in doubles.
                if (multiple - whole * whole > (whole + 1) * (whole + 1) - multiple) ++whole;
                const double off = there - static_cast<double>(whole);
                if (std::fabs(off) > kNearlyWhole) return false;
                near = near || off != 0.0;
            } else if (whole * whole != multiple) {
                return false;  // not a whole multiple of the root of the radicand
            }
            if (whole > most) most = whole;
            const auto units = static_cast<std::uint32_t>(whole);
            distance[static_cast<std::size_t>(a) * static_cast<std::size_t>(n) + static_cast<std::size_t>(b)] = units;
            distance[static_cast<std::size_t>(b) * static_cast<std::size_t>(n) + static_cast<std::size_t>(a)] = units;
            exact[static_cast<std::size_t>(a) * static_cast<std::size_t>(n) + static_cast<std::size_t>(b)] = there;
            exact[static_cast<std::size_t>(b) * static_cast<std::size_t>(n) + static_cast<std::size_t>(a)] = there;
            common = gcd(units, common);
        }
    }
    // A tour has n edges, none longer than the longest distance.
    const double mostLength = static_cast<double>(most) * root;
    if (mostLength * n >= static_cast<double>(kLengthLimit)) return false;
    unit = common == 0 ? 1 : common;  // all cities on one point: every distance is 0
    unitLength = static_cast<double>(unit) * root;
    if (near) {
        // A tour leaves every city by two edges, so the differences along it
        // that lie above the whole numbers add up to at most half the sum,
        // over the cities, of the two largest such differences at each (one
        // edge taken twice when there are two cities); likewise below.
        // A multiple k of the root of a radicand above 1 is irrational: the
        // board's distance is k√r rounded once, off by at most half a unit in
        // its last place, 2⁻⁵³ of it, either way (2⁻⁵² is kept).
        double above = 0.0, below = 0.0;
        for (std::int32_t a = 0; a < n; ++a) {
            double up[2] = {0.0, 0.0}, down[2] = {0.0, 0.0};
            const auto take = [](double* two, double size) {
                if (size > two[0]) {
                    two[1] = two[0];
                    two[0] = size;
                } else if (size > two[1]) {
                    two[1] = size;
                }
            };
            for (std::int32_t b = 0; b < n; ++b) {
                if (radicand == 1) {
                    const double off = e(a, b) - static_cast<double>(d(a, b));
                    take(off > 0.0 ? up : down, std::fabs(off));
                } else {
                    take(up, std::ldexp(e(a, b), -52));
                    take(down, std::ldexp(e(a, b), -52));
                }
            }
            above += n == 2 ? 2.0 * up[0] : up[0] + up[1];
            below += n == 2 ? 2.0 * down[0] : down[0] + down[1];
        }
        // Each of the n additions of a tour rounds by at most half a unit in
        // the last place (2^-53 of it) of a sum below the longest tour; twice
        // that is kept, and the spare half also covers the rounding of `above`
        // and `below` themselves (2n additions of numbers below them). (With a
        // radicand above 1, unitLength is rounded too: lengthsKeepApart keeps
        // a thousandth of a tolerance for the rounding of its products.)
        rounding = n * (mostLength * n + above) * 2.3e-16;
        driftAbove = 0.5 * above + rounding;
        driftBelow = 0.5 * below + rounding;
    }
    for (std::uint32_t& x : distance) {
        x /= unit;
        if (x != 0 && (shortest == 0 || x < shortest)) shortest = x;
    }
    longest = static_cast<std::uint32_t>(most) / unit * static_cast<std::uint32_t>(n);
    return true;
}

// Whole distances (or nearly whole) first, as they always were; else whole
// multiples of the root of a common radicand, cities along a slanted line.
bool Counter::measure(const Board& board) {
    if (measure(board, 1)) return true;
    const std::uint64_t common = commonRadicand(board);
    return common != 1 && measure(board, common);
}

bool Counter::buildCompletion() {
    const std::size_t sets = std::size_t{1} << m;
    const std::size_t bytes = sets * static_cast<std::size_t>(m) * sizeof(std::uint32_t);
    fixedBytes += bytes;
    if (!fits(0)) return false;
    completion.assign(sets * static_cast<std::size_t>(m), 0);
    for (std::uint32_t set = 0; set < sets; ++set) {
        for (std::int32_t c = 1; c <= m; ++c) {
            if (set & (1u << (c - 1))) continue;
            std::uint32_t best = std::numeric_limits<std::uint32_t>::max();
            if (set == 0) best = d(c, 0);
            for (std::uint32_t bits = set; bits != 0; bits &= bits - 1) {
                const std::int32_t r = lowestCity(bits);
                const std::uint32_t way = d(c, r) + rest(set & ~(1u << (r - 1)), r);
                if (way < best) best = way;
            }
            completion[completionIndex(set, c)] = best;
        }
    }
    optimum = std::numeric_limits<std::uint32_t>::max();
    for (std::int32_t c = 1; c <= m; ++c) {
        const std::uint32_t way = d(0, c) + rest(full & ~(1u << (c - 1)), c);
        if (way < optimum) optimum = way;
    }
    return true;
}

// Empties a layer and makes room for the index of its states.
bool Counter::startLayer(Layer& layer, std::size_t states) {
    layer = Layer{};
    if (!fits(states * (sizeof(std::uint32_t) + sizeof(std::uint8_t)))) return false;
    layer.first.reserve(states);
    layer.used.reserve(states);
    layer.bytes = layer.first.capacity() * sizeof(std::uint32_t) + layer.used.capacity() * sizeof(std::uint8_t);
    return true;
}

// Room for the entries of one more state, or null beyond the storage limit.
LengthCount* Counter::room(Layer& layer) {
    if (layer.filled + kSpectrumEntries > kBlockPairs) {
        if (!fits(kBlockPairs * sizeof(LengthCount))) return nullptr;
        layer.blocks.emplace_back(new LengthCount[kBlockPairs]);
        layer.bytes += kBlockPairs * sizeof(LengthCount);
        layer.filled = 0;
    }
    return layer.blocks.back().get() + layer.filled;
}

// Empties a layer that is done with. With keepLayers, keeps the lengths of
// its states while the kept layers take at most half the storage (the other
// half is left to the layers being built), else an empty layer in its place.
void Counter::keepLayer(Layer& done) {
    std::size_t entries = 0;
    for (std::uint8_t u : done.used) entries += u;
    const std::size_t bytes = (done.used.size() + 1 + entries) * sizeof(std::uint32_t);
    if (keepLayers) {
        kept.emplace_back();
        if (fixedBytes + keptBytes + bytes <= storageLimit / 2) {
            KeptLayer& k = kept.back();
            k.start.reserve(done.used.size() + 1);
            k.lengths.reserve(entries);
            for (std::size_t state = 0; state < done.used.size(); ++state) {
                k.start.push_back(static_cast<std::uint32_t>(k.lengths.size()));
                const LengthCount* list = done.used[state] == 0 ? nullptr : done.list(state);
                for (std::uint8_t i = 0; i < done.used[state]; ++i) k.lengths.push_back(list[i].length);
            }
            k.start.push_back(static_cast<std::uint32_t>(k.lengths.size()));
            keptBytes += bytes;
        }
    }
    done = Layer{};
}

// Counts every ordering whose tour is at most `bound` units long, by length;
// `tours` gets the 20 shortest distinct lengths among them.
Counter::Run Counter::count(std::uint32_t bound, std::vector<LengthCount>& tours) {
    tours.clear();
    layers[0] = Layer{};
    layers[1] = Layer{};
    kept.clear();
    keptBytes = 0;
    // Files the entries a merge emits as the next state of the layer.
    const auto addState = [&](Layer& layer, Merge& merge, std::uint32_t limit) {
        std::uint8_t count = 0;
        LengthCount* out = nullptr;
        if (merge.lists > 0) {
            out = room(layer);
            if (out == nullptr) return false;
            merge.run(limit, dense, [&](LengthCount entry) { out[count++] = entry; });
        }
        layer.first.push_back(count == 0 ? 0u : layer.nextIndex());
        layer.used.push_back(count);
        layer.filled += count;
        return true;
    };

    // By halves: the layers only up to the sets of the first half, then
    // every tour is joined from its two halves (joinHalves).
    const bool halves = joinsHalves(bound);
    const std::int32_t top = halves ? firstHalf() : m;
    std::uint32_t setsToDo = 0;
    for (std::int32_t size = 1; size <= top; ++size) setsToDo += binomial[m][size];
    if (halves) setsToDo += binomial[m][top];

    // Sets of one city: the first edge from city 0.
    if (!startLayer(layers[0], static_cast<std::size_t>(m))) return Run::TooLarge;
    std::uint32_t setsDone = static_cast<std::uint32_t>(m);
    for (std::int32_t c = 1; c <= m; ++c) {
        const LengthCount start{0, 1};
        Merge merge;
        const std::uint32_t toGo = rest(full & ~(1u << (c - 1)), c);
        const std::uint32_t limit = toGo <= bound ? bound - toGo : 0;
        if (toGo <= bound && points.sameBelow[c] == 0) merge.add(&start, &start + 1, d(0, c), limit);
        if (!addState(layers[0], merge, limit)) return Run::TooLarge;
    }

    for (std::int32_t size = 2; size <= top; ++size) {
        const Layer& previous = layers[(size - 2) % 2];
        Layer& next = layers[(size - 1) % 2];
        const std::size_t states = static_cast<std::size_t>(binomial[m][size]) * static_cast<std::size_t>(size);
        if (!startLayer(next, states)) return Run::TooLarge;

        for (std::uint32_t set = (1u << size) - 1; set <= full; set = nextSubsetOfSameSize(set)) {
            run->step();
            run->advance(static_cast<double>(++setsDone) / static_cast<double>(setsToDo));
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
                        merge.add(list, list + previous.used[state], d(e, c), limit);
                    }
                }
                if (!addState(next, merge, limit)) return Run::TooLarge;
            }
            if (set == full) break;  // the next set of this size would leave the cities
        }
        // The layer before is no longer needed, unless every layer is kept
        // (or it holds the second halves).
        if (halves && size == top) break;
        keepLayer(layers[(size - 2) % 2]);
    }
    if (halves) {
        const bool joined = joinHalves(bound, tours, setsDone, setsToDo);
        layers[0] = Layer{};
        layers[1] = Layer{};
        return joined ? Run::Complete : Run::TooLarge;
    }

    // Close every ordering of all cities with the edge back to city 0.
    const Layer& last = layers[(m - 1) % 2];
    Merge merge;
    for (std::int32_t c = 1; c <= m; ++c) {
        const auto state = static_cast<std::size_t>(c - 1);
        if (last.used[state] == 0) continue;
        const LengthCount* list = last.list(state);
        merge.add(list, list + last.used[state], d(c, 0), bound);
    }
    merge.run(bound, dense, [&](LengthCount entry) { tours.push_back(entry); });
    keepLayer(layers[(m - 1) % 2]);
    layers[0] = Layer{};
    layers[1] = Layer{};
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
bool Counter::joinHalves(std::uint32_t bound, std::vector<LengthCount>& tours, std::uint32_t setsDone, std::uint32_t setsToDo) {
    const std::int32_t first = firstHalf();
    const Layer& front = layers[(first - 1) % 2];
    const Layer& back = layers[(m - first) % 2];
    const bool sameSize = m - first + 1 == first;
    const std::uint64_t ways = sameSize ? 2 : 1;
    // Counts by tour length above the optimum, saturated at the limit: twice
    // a product of two counts below 2^31 and a sum below the limit fit in 64 bits.
    const std::size_t span = bound - optimum + 1;
    if (!fits(span * sizeof(std::uint64_t))) return false;
    std::vector<std::uint64_t> byLength(span, 0);
    std::size_t state = 0;
    for (std::uint32_t set = (1u << first) - 1; set <= full; set = nextSubsetOfSameSize(set)) {
        run->step();
        run->advance(static_cast<double>(++setsDone) / static_cast<double>(setsToDo));
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

// The first ordering in lexicographic order whose tour is shortest: at each
// position the lowest city from which the shortest completion still reaches
// the optimum.
void Counter::firstShortestRoute(std::int32_t* order) const {
    std::uint32_t left = full;
    std::int32_t end = 0;
    std::uint32_t length = 0;
    order[0] = 0;
    for (std::int32_t position = 1; position <= m; ++position) {
        for (std::uint32_t bits = left; bits != 0; bits &= bits - 1) {
            const std::int32_t c = lowestCity(bits);
            const std::uint32_t after = left & ~(1u << (c - 1));
            if (length + d(end, c) + rest(after, c) == optimum) {
                order[position] = c;
                length += d(end, c);
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
// entries keep are checked too (step 4).
bool qualifies(Counter& c, const Board& board, bool& measured) {
    if (!c.measure(board)) return false;
    c.fixedBytes = c.distance.capacity() * sizeof(std::uint32_t) + c.exact.capacity() * sizeof(double);
    if (!c.buildCompletion()) return false;
    // Nearly whole distances: the rough drifts settle most boards at once;
    // the others need the range the tours' drifts really take, and a check
    // against the sums of the entries once those are known.
    measured = c.near && !lengthsKeepApart(c);
    // The drift range takes the differences from the multiples as exact,
    // which only whole numbers give.
    if (measured && c.radicand != 1) return false;
    return !measured || (c.measureDriftRange() && driftRangeMayKeepApart(c));
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
    std::uint32_t width = 2 * c.shortest;
    if (width > c.longest) width = c.longest;
    std::int64_t fitted = -1;                // widest bound known to fit, short of 20 lengths
    std::int64_t tooLarge = -1;              // narrowest bound known not to fit
    c.keepLayers = false;
    for (;;) {
        const std::uint32_t bound = c.optimum + width;
        c.run->enterSpan(0.2 - 2 * passShare, 0.2 - passShare);
        passShare /= 2;
        const Counter::Run outcome = c.count(bound, tours);
        if (outcome == Counter::Run::TooLarge) {
            tooLarge = width;
            const std::int64_t between = fitted + (tooLarge - fitted) / 2;
            if (between <= fitted) return false;
            width = static_cast<std::uint32_t>(between);
            continue;
        }
        if (tours.size() >= static_cast<std::size_t>(kSpectrumEntries) || bound >= c.longest) break;
        fitted = width;
        // Widen so that the lengths found so far, spaced on as they are,
        // would reach 20 with one to spare, but by a quarter at least;
        // with too few to tell, eight times.
        std::int64_t wider = 8 * static_cast<std::int64_t>(width) + 1;
        if (tours.size() >= 2) {
            const std::int64_t span = static_cast<std::int64_t>(tours.back().length) - c.optimum;
            const auto gaps = static_cast<std::int64_t>(tours.size()) - 1;
            const std::int64_t estimate = (span * kSpectrumEntries + gaps - 1) / gaps;
            const std::int64_t least = static_cast<std::int64_t>(width) + width / 4 + 1;
            wider = estimate > least ? estimate : least;
        }
        if (tooLarge >= 0) {
            wider = fitted + (tooLarge - fitted) / 2;
            if (wider <= fitted) return false;
        }
        if (wider > c.longest) wider = c.longest;
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
    c.keepLayers = true;
    std::vector<LengthCount> again;
    if (c.count(tours.back().length, again) != Counter::Run::Complete) {
        c.kept.clear();
        c.layers[0] = Layer{};
        c.layers[1] = Layer{};
    }
}

// Step 3: the length each entry keeps, that of the first tour counted in it,
// and the solution route.
bool findSumsAndSolution(Counter& c, const Board& board, bool measured, const std::vector<LengthCount>& tours, std::vector<double>& sums,
                         std::int32_t* order) {
    if (c.near) {
        // Tours counted as one length differ in their last digits: the first
        // of each length and the smallest sum are found by walking them.
        // Most boards' walks find them at once; the others go on once the
        // layers are kept to tell them which lengths can still be made up.
        // Steps without the layers: about what counting once more to keep
        // them takes, which grows as the number of sets does.
        const std::int64_t stepsWithoutLayers = std::int64_t{2} << c.m;
        Walked walked = firstToursOfLengths(c, tours, sums, order, stepsWithoutLayers);
        if (walked == Walked::OutOfSteps) {
            keepLayersForTheWalks(c, tours);
            walked = firstToursOfLengths(c, tours, sums, order, std::numeric_limits<std::int64_t>::max());
        }
        if (walked != Walked::Done) return false;
        return !measured || entriesKeepApart(c, tours, sums);
    }
    c.firstShortestRoute(order);
    // The one tour evaluated: the solution, summed edge by edge as the solver sums.
    double length = 0.0;
    for (std::int32_t k = 0; k + 1 < c.n; ++k) length += board.cityDistance(order[k], order[k + 1]);
    length += board.cityDistance(order[c.n - 1], 0);
    if (length != static_cast<double>(c.optimum) * c.unit) return false;
    c.run->tour();
    for (const LengthCount& t : tours) sums.push_back(static_cast<double>(t.length) * c.unit);
    return true;
}

// Step 4: the table and the solution route, as the enumeration leaves them.
void writeBoard(Board& board, const Counter& c, const std::vector<LengthCount>& tours, const std::vector<double>& sums, const std::int32_t* order) {
    // The enumeration starts by emptying the table over its old contents, puts
    // the first length in slot 0 and moves every slot above an insertion up by
    // one: with k entries at the end, the slots from k on hold what slots
    // 1 to 20 - k held before the solve.
    const PathSpectrum before = board.spectrum;
    PathSpectrum& s = board.spectrum;
    const auto used = static_cast<std::int32_t>(tours.size());
    s.count = used;
    for (std::int32_t i = 0; i < kSpectrumEntries; ++i) {
        if (i < used) {
            s.lengths[i] = sums[static_cast<std::size_t>(i)];
            const std::uint64_t patterns = tours[static_cast<std::size_t>(i)].count;
            const auto perPattern = static_cast<std::uint64_t>(c.points.orderingsPerPattern);
            const std::uint64_t orderings = patterns > kCountLimit / perPattern ? kCountLimit : patterns * perPattern;
            s.counts[i] = static_cast<std::int32_t>(orderings);
        } else {
            s.lengths[i] = before.lengths[i - (used - 1)];
            s.counts[i] = before.counts[i - (used - 1)];
        }
    }
    normaliseSpectrum(s);
    for (std::int32_t k = 0; k < kRouteCapacity; ++k) board.solutionRoute[k] = order[k];
    board.solutionRoute[c.n] = board.solutionRoute[0];
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
    Counter counter;
    counter.run = &run;
    counter.storageLimit = storageLimit;
    counter.n = n;
    counter.m = n - 1;
    counter.full = (1u << counter.m) - 1u;
    counter.points = points;
    for (std::int32_t a = 0; a <= kMaxCities; ++a) {
        counter.binomial[a][0] = 1;
        for (std::int32_t b = 1; b <= a; ++b) counter.binomial[a][b] = counter.binomial[a - 1][b - 1] + (b < a ? counter.binomial[a - 1][b] : 0);
    }

    std::vector<LengthCount> tours;
    std::vector<double> sums;
    std::int32_t order[kRouteCapacity] = {};
    try {
        bool measured = false;
        if (!counting::qualifies(counter, board, measured)) return false;
        if (!counting::countShortestLengths(counter, tours)) return false;
        if (tours.empty() || tours[0].length != counter.optimum) return false;
        run.enterSpan(0.2, 0.25);
        if (!counting::findSumsAndSolution(counter, board, measured, tours, sums, order)) return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    counting::writeBoard(board, counter, tours, sums, order);
    return true;
}

}  // namespace orvanta
