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
//
// Cities on one grid point are interchangeable, so only the orderings that
// take each point's cities in ascending order are counted (states whose set
// holds the lowest cities of each point and ends on the highest of them);
// each stands for the same number of orderings, multiplied in at the end.
//
// Reading order: measure() and buildCompletion() prepare, run() is the
// programme for one bound (its merges are in solver_counting_merge.h, its
// storage the Layer blocks below), solveByCounting() at the end drives the
// bound and writes the board.
#include "core/solver_counting.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "core/bits.h"
#include "core/solver.h"
#include "core/solver_counting_merge.h"

namespace orvanta {

namespace {

using counting::DenseSums;
using counting::Entry;
using counting::kCountLimit;
using counting::Merge;

// Tours of at least this many grid units could share an entry with a
// different length, and are left to the search.
constexpr std::int64_t kLengthLimit = 1000000;
// A coordinate difference beyond this cannot belong to such a board.
constexpr std::int64_t kDifferenceLimit = kLengthLimit;
std::uint32_t gcd(std::uint32_t a, std::uint32_t b) {
    while (b != 0) {
        const std::uint32_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

// Entries are kept in blocks of this many; a state's entries never straddle two.
constexpr std::size_t kBlockBits = 16;
constexpr std::size_t kBlockEntries = std::size_t{1} << kBlockBits;

// One layer of the programme: the states of all sets of one size, in the
// order of the sets' ranks and, within a set, of the end cities.
struct Layer {
    std::vector<std::uint32_t> first;  // index of the first entry of each state
    std::vector<std::uint8_t> used;    // entries of each state
    std::vector<std::unique_ptr<Entry[]>> blocks;
    std::size_t filled = kBlockEntries;  // entries taken in the last block
    std::size_t bytes = 0;

    const Entry* entries(std::size_t state) const {
        const std::uint32_t at = first[state];
        return blocks[at >> kBlockBits].get() + (at & (kBlockEntries - 1));
    }
};

struct Counter {
    std::int32_t n = 0;
    std::int32_t m = 0;  // cities besides city 0; city c is bit c - 1 of a set
    std::uint32_t full = 0;
    std::vector<std::uint32_t> distance;  // n × n, in units
    std::uint32_t unit = 1;               // gcd of the non-zero distances
    std::uint32_t longest = 0;            // no tour is longer, in units
    std::uint32_t shortest = 0;           // shortest non-zero distance, in units
    // Shortest way from city c through every city of rest and back to city 0,
    // at completion[rest * m + c - 1], for c outside rest.
    std::vector<std::uint32_t> completion;
    std::uint32_t optimum = 0;
    std::uint32_t binomial[kMaxCities + 1][kMaxCities + 1] = {};
    // Cities on one grid point are counted in one order only, ascending:
    // sameBelow[c] and sameAbove[c] are the cities on the point of city c
    // below and above it. Each count then stands for orderingsPerPattern
    // orderings.
    std::uint32_t sameBelow[kMaxCities] = {};
    std::uint32_t sameAbove[kMaxCities] = {};
    std::uint64_t orderingsPerPattern = 1;
    std::size_t fixedBytes = 0;
    Layer layers[2];
    DenseSums dense;

    std::uint32_t d(std::int32_t a, std::int32_t b) const { return distance[static_cast<std::size_t>(a) * static_cast<std::size_t>(n) + static_cast<std::size_t>(b)]; }
    std::size_t completionIndex(std::uint32_t set, std::int32_t c) const {
        return static_cast<std::size_t>(set) * static_cast<std::size_t>(m) + static_cast<std::size_t>(c - 1);
    }
    std::uint32_t rest(std::uint32_t set, std::int32_t c) const { return completion[completionIndex(set, c)]; }
    // Position of a set among the sets of its size in increasing order (the
    // combinatorial number system: the i-th lowest member at bit b passes
    // over C(b, i) smaller sets).
    std::uint32_t rankAmongSameSize(std::uint32_t set) const {
        std::uint32_t r = 0;
        std::int32_t i = 1;
        for (; set != 0; set &= set - 1, ++i) r += binomial[lowestBit(set)][i];
        return r;
    }

    bool measure(const Board& board);
    bool buildCompletion();
    std::size_t storageLimit = kCountingStorageLimit;
    bool fits(std::size_t extra) const { return fixedBytes + layers[0].bytes + layers[1].bytes + extra <= storageLimit; }
    bool startLayer(Layer& layer, std::size_t states);
    Entry* room(Layer& layer);
    enum class Run { Complete, TooLarge };
    Run run(std::uint32_t bound, std::vector<Entry>& tours);
    void firstShortestRoute(std::int32_t* order) const;
};

// Reads the distances as whole numbers; false if one is not, or if a tour
// could reach the length limit.
bool Counter::measure(const Board& board) {
    distance.assign(static_cast<std::size_t>(n) * static_cast<std::size_t>(n), 0);
    std::int64_t most = 0;
    std::uint32_t common = 0;
    for (std::int32_t a = 0; a < n; ++a) {
        for (std::int32_t b = a + 1; b < n; ++b) {
            const std::int64_t dx = static_cast<std::int64_t>(board.cities[a].x) - board.cities[b].x;
            const std::int64_t dy = static_cast<std::int64_t>(board.cities[a].y) - board.cities[b].y;
            if (dx > kDifferenceLimit || dx < -kDifferenceLimit || dy > kDifferenceLimit || dy < -kDifferenceLimit) return false;
            const std::int64_t square = dx * dx + dy * dy;
            auto root = static_cast<std::int64_t>(std::llround(std::sqrt(static_cast<double>(square))));
            while (root * root > square) --root;
            while ((root + 1) * (root + 1) <= square) ++root;
            if (root * root != square) return false;
            // The solver sums the board's own distances: they must be these integers exactly.
            if (board.cityDistance(a, b) != static_cast<double>(root) || board.cityDistance(b, a) != static_cast<double>(root)) return false;
            if (root > most) most = root;
            const auto whole = static_cast<std::uint32_t>(root);
            distance[static_cast<std::size_t>(a) * static_cast<std::size_t>(n) + static_cast<std::size_t>(b)] = whole;
            distance[static_cast<std::size_t>(b) * static_cast<std::size_t>(n) + static_cast<std::size_t>(a)] = whole;
            common = gcd(whole, common);
        }
    }
    // A tour has n edges, none longer than the longest distance.
    if (most * n >= kLengthLimit) return false;
    unit = common == 0 ? 1 : common;  // all cities on one point: every distance is 0
    for (std::uint32_t& x : distance) {
        x /= unit;
        if (x != 0 && (shortest == 0 || x < shortest)) shortest = x;
    }
    longest = static_cast<std::uint32_t>(most) / unit * static_cast<std::uint32_t>(n);
    return true;
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
                const std::int32_t r = lowestBit(bits) + 1;
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
Entry* Counter::room(Layer& layer) {
    if (layer.filled + kSpectrumEntries > kBlockEntries) {
        if (!fits(kBlockEntries * sizeof(Entry))) return nullptr;
        layer.blocks.emplace_back(new Entry[kBlockEntries]);
        layer.bytes += kBlockEntries * sizeof(Entry);
        layer.filled = 0;
    }
    return layer.blocks.back().get() + layer.filled;
}

// Counts every ordering whose tour is at most `bound` units long, by length;
// `tours` gets the 20 shortest distinct lengths among them.
Counter::Run Counter::run(std::uint32_t bound, std::vector<Entry>& tours) {
    tours.clear();
    layers[0] = Layer{};
    layers[1] = Layer{};
    // Files the entries a merge emits as the next state of the layer.
    const auto addState = [&](Layer& layer, Merge& merge, std::uint32_t limit) {
        std::uint8_t count = 0;
        Entry* out = nullptr;
        if (merge.lists > 0) {
            out = room(layer);
            if (out == nullptr) return false;
            merge.run(limit, dense, [&](Entry entry) { out[count++] = entry; });
        }
        layer.first.push_back(count == 0 ? 0u : static_cast<std::uint32_t>(((layer.blocks.size() - 1) << kBlockBits) | layer.filled));
        layer.used.push_back(count);
        layer.filled += count;
        return true;
    };

    // Sets of one city: the first edge from city 0.
    if (!startLayer(layers[0], static_cast<std::size_t>(m))) return Run::TooLarge;
    for (std::int32_t c = 1; c <= m; ++c) {
        const Entry start{0, 1};
        Merge merge;
        const std::uint32_t toGo = rest(full & ~(1u << (c - 1)), c);
        const std::uint32_t limit = toGo <= bound ? bound - toGo : 0;
        if (toGo <= bound && sameBelow[c] == 0) merge.add(&start, &start + 1, d(0, c), limit);
        if (!addState(layers[0], merge, limit)) return Run::TooLarge;
    }

    for (std::int32_t size = 2; size <= m; ++size) {
        const Layer& previous = layers[(size - 2) % 2];
        Layer& next = layers[(size - 1) % 2];
        const std::size_t states = static_cast<std::size_t>(binomial[m][size]) * static_cast<std::size_t>(size);
        if (!startLayer(next, states)) return Run::TooLarge;

        for (std::uint32_t set = (1u << size) - 1; set <= full; set = nextSubsetOfSameSize(set)) {
            throttleStep();
            const std::uint32_t outside = full & ~set;
            // A set counted in ascending order holds the lowest cities of each point.
            bool ascending = true;
            for (std::uint32_t bits = set; bits != 0; bits &= bits - 1) ascending = ascending && (sameBelow[lowestBit(bits) + 1] & outside) == 0;
            for (std::uint32_t bits = set; bits != 0; bits &= bits - 1) {
                const std::int32_t c = lowestBit(bits) + 1;
                const std::uint32_t toGo = rest(outside, c);
                Merge merge;
                std::uint32_t limit = 0;
                // ... and ends with the highest of them on its point.
                if (toGo <= bound && ascending && (sameAbove[c] & set) == 0) {
                    limit = bound - toGo;
                    const std::uint32_t before = set & ~(1u << (c - 1));
                    std::size_t state = static_cast<std::size_t>(rankAmongSameSize(before)) * static_cast<std::size_t>(size - 1);
                    for (std::uint32_t ends = before; ends != 0; ends &= ends - 1, ++state) {
                        const std::int32_t e = lowestBit(ends) + 1;
                        if (previous.used[state] == 0) continue;
                        const Entry* list = previous.entries(state);
                        merge.add(list, list + previous.used[state], d(e, c), limit);
                    }
                }
                if (!addState(next, merge, limit)) return Run::TooLarge;
            }
            if (set == full) break;  // the next set of this size would leave the cities
        }
        // The layer before is no longer needed.
        layers[(size - 2) % 2] = Layer{};
    }

    // Close every ordering of all cities with the edge back to city 0.
    const Layer& last = layers[(m - 1) % 2];
    Merge merge;
    for (std::int32_t c = 1; c <= m; ++c) {
        const auto state = static_cast<std::size_t>(c - 1);
        if (last.used[state] == 0) continue;
        const Entry* list = last.entries(state);
        merge.add(list, list + last.used[state], d(c, 0), bound);
    }
    merge.run(bound, dense, [&](Entry entry) { tours.push_back(entry); });
    layers[0] = Layer{};
    layers[1] = Layer{};
    return Run::Complete;
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
            const std::int32_t c = lowestBit(bits) + 1;
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

}  // namespace

bool solveByCounting(Board& board, std::size_t storageLimit) {
    const std::int32_t n = board.cityCount;
    if (n < 2 || n > kMaxCities) return false;
    Counter counter;
    counter.storageLimit = storageLimit;
    counter.n = n;
    counter.m = n - 1;
    counter.full = (1u << counter.m) - 1u;
    for (std::int32_t a = 1; a < n; ++a) {
        std::uint64_t below = 0;
        for (std::int32_t b = 1; b < n; ++b) {
            if (board.cities[a].x != board.cities[b].x || board.cities[a].y != board.cities[b].y || a == b) continue;
            (b < a ? counter.sameBelow[a] : counter.sameAbove[a]) |= 1u << (b - 1);
            below += b < a ? 1 : 0;
        }
        counter.orderingsPerPattern *= below + 1;  // at most 17!
    }
    for (std::int32_t a = 0; a <= kMaxCities; ++a) {
        counter.binomial[a][0] = 1;
        for (std::int32_t b = 1; b <= a; ++b) counter.binomial[a][b] = counter.binomial[a - 1][b - 1] + (b < a ? counter.binomial[a - 1][b] : 0);
    }

    std::vector<Entry> tours;
    try {
        if (!counter.measure(board)) return false;
        counter.fixedBytes = counter.distance.capacity() * sizeof(std::uint32_t);
        if (!counter.buildCompletion()) return false;

        // Widen the bound above the optimum until 20 distinct lengths fit under
        // it or it covers every tour. A bound that needs too much storage is
        // narrowed again between the last one that fitted and it.
        // A detour over the shortest distance and back is the smallest change
        // a tour commonly makes: start there.
        std::uint32_t width = 2 * counter.shortest;
        if (width > counter.longest) width = counter.longest;
        std::int64_t fitted = -1;                // widest bound known to fit, short of 20 lengths
        std::int64_t tooLarge = -1;              // narrowest bound known not to fit
        for (;;) {
            const std::uint32_t bound = counter.optimum + width;
            if (counter.run(bound, tours) == Counter::Run::TooLarge) {
                tooLarge = width;
                const std::int64_t between = fitted + (tooLarge - fitted) / 2;
                if (between <= fitted) return false;
                width = static_cast<std::uint32_t>(between);
                continue;
            }
            if (tours.size() >= static_cast<std::size_t>(kSpectrumEntries) || bound >= counter.longest) break;
            fitted = width;
            // Widen so that the lengths found so far, spaced on as they are,
            // would reach 20, but by a quarter at least; with too few to
            // tell, double.
            std::int64_t wider = 2 * static_cast<std::int64_t>(width) + 1;
            if (tours.size() >= 2) {
                const std::int64_t span = static_cast<std::int64_t>(tours.back().length) - counter.optimum;
                const auto gaps = static_cast<std::int64_t>(tours.size()) - 1;
                const std::int64_t estimate = (span * (kSpectrumEntries - 1) + gaps - 1) / gaps;
                const std::int64_t least = static_cast<std::int64_t>(width) + width / 4 + 1;
                wider = estimate > least ? estimate : least;
            }
            if (tooLarge >= 0) {
                wider = fitted + (tooLarge - fitted) / 2;
                if (wider <= fitted) return false;
            }
            if (wider > counter.longest) wider = counter.longest;
            width = static_cast<std::uint32_t>(wider);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }

    std::int32_t order[kRouteCapacity] = {};
    counter.firstShortestRoute(order);
    // The one tour evaluated: the solution, summed edge by edge as the solver sums.
    double length = 0.0;
    for (std::int32_t k = 0; k + 1 < n; ++k) length += board.cityDistance(order[k], order[k + 1]);
    length += board.cityDistance(order[n - 1], 0);
    if (length != static_cast<double>(counter.optimum) * counter.unit || tours.empty() || tours[0].length != counter.optimum) return false;
    throttleTour();

    // The enumeration starts by emptying the table over its old contents, puts
    // the first length in slot 0 and moves every slot above an insertion up by
    // one: with c entries at the end, the slots from c on hold what slots
    // 1 to 20 - c held before the solve.
    const PathSpectrum before = board.spectrum;
    PathSpectrum& s = board.spectrum;
    const auto used = static_cast<std::int32_t>(tours.size());
    s.count = used;
    for (std::int32_t i = 0; i < kSpectrumEntries; ++i) {
        if (i < used) {
            s.lengths[i] = static_cast<double>(tours[static_cast<std::size_t>(i)].length) * counter.unit;
            const std::uint64_t patterns = tours[static_cast<std::size_t>(i)].count;
            const std::uint64_t orderings = patterns > kCountLimit / counter.orderingsPerPattern ? kCountLimit : patterns * counter.orderingsPerPattern;
            s.counts[i] = static_cast<std::int32_t>(orderings);
        } else {
            s.lengths[i] = before.lengths[i - (used - 1)];
            s.counts[i] = before.counts[i - (used - 1)];
        }
    }
    normaliseSpectrum(s);
    for (std::int32_t k = 0; k < kRouteCapacity; ++k) board.solutionRoute[k] = order[k];
    board.solutionRoute[n] = board.solutionRoute[0];
    return true;
}

}  // namespace orvanta
