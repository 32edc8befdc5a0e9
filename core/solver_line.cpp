// Boards whose cities all lie on one row or column but one, the lifted city:
// every edge between two cities on the line is a whole number of the line's
// units, so a tour's length is the two edges of the lifted city (to its
// neighbours x before it and y after it in the ordering) plus a whole number
// of units. Every tour of one class (x, y, units) has the same length up to
// rounding; the classes near the optimum are few, but each holds millions of
// tours, and classes of the same whole length lie a few tolerances apart, so
// their entries depend on the order the tours come in.
//
// Why this leaves the enumeration's table:
// - A class's tours come in enumeration order; only its first can start an
//   entry. The later ones have the same length up to rounding, and every
//   length is checked to lie clear of every entry's edges by more than that,
//   so an entry that took (or was made by) the first takes them too, unless
//   an entry made since takes them or pushed it out.
// - So the table's changes come from the classes' first tours alone, taken
//   in enumeration order; the first tour of a class is found city by city,
//   the lowest city from which some tour of the class goes on.
// - A class's tours move to the entry an event hands them to from that event
//   on: their number is the class's count less its tours before the event's
//   tour, counted place by place as a rank is.
// - Only the classes below a cut are followed. The cut lies in a gap between
//   class lengths wide enough that the shortest tour above it lies more than
//   its own tolerance above the longest tour below it (see cutAbove), so no
//   tour above it can take or make an entry below it; once the entries below
//   it fill the table, the longer entries are all pushed out, whenever they
//   came.
// The tours that go on from a prefix are counted as orderings of the line's
// cities by their length (solver_line_paths.cpp). With city 0 lifted, its
// neighbours are the ordering's first and last cities; with another lifted,
// x must come right before it and y right after.
#include "core/solver_line.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <unordered_map>
#include <vector>

#include "core/bits.h"
#include "core/solver_line_paths.h"
#include "core/solver_tally.h"
#include "core/spectrum_table.h"

namespace orvanta {

namespace {

using line::bit;
using line::LineCities;
using line::PathCounter;

// Fewer cities are searched at once.
constexpr std::int32_t kFewestCities = 6;
// The longest path counted, in units of the line.
constexpr std::int64_t kMostUnits = 256;
// Classes followed, and tours summed for the solution.
constexpr std::size_t kMostClasses = std::size_t{1} << 14;
constexpr std::int64_t kMostSolutionTours = std::int64_t{1} << 20;

// The tours whose lifted city comes after x and before y, and whose edges
// along the line make `units`.
struct Class {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int64_t units = 0;
    std::uint64_t tours = 0;
    double length = 0.0;  // up to rounding
    // Once found: its first tour (cities 1..n-1 at 1..n-1) and that tour's sum.
    std::int8_t first[kMaxCities] = {};
    double sum = 0.0;
};

bool before(const Class& a, const Class& b, std::int32_t n) {
    for (std::int32_t k = 1; k < n; ++k)
        if (a.first[k] != b.first[k]) return a.first[k] < b.first[k];
    return false;
}

// The cities placed so far of an ordering (from city 0), and what is left.
struct Prefix {
    std::int32_t place = 1;  // the next to fill
    std::int32_t end = 0;    // the last placed
    std::uint32_t left = 0;  // the cities still to place
    std::int64_t units = 0;  // still to run along the line
    double sum = 0.0;        // as the enumeration adds it up
};

struct Solver {
    const LineCities& line;
    SolveRun& run;
    PathCounter counter;
    // The classes listed so far, by length; a deque, so that those followed
    // keep their place as more are listed behind them.
    std::deque<Class> classes;
    double noise = 0.0;  // how far a tour's sum may lie from its length
    // First tours found while counting shorter paths, by classKey.
    std::unordered_map<std::uint64_t, Class> found;

    // The pairs (x, y) by the shortest length their classes may have; those
    // before `listed` have their classes listed.
    struct Pair {
        std::int32_t x, y;
        double ends;    // the lifted city's two edges
        double lowest;  // with the shortest path along the line between them
    };
    std::vector<Pair> pairs;
    std::size_t listed = 0;
    double reached = 0.0;  // below it, every class of the units counted

    Solver(const LineCities& l, SolveRun& r) : line(l), run(r), counter(l, r) {}

    std::int32_t n() const { return line.n; }
    std::int32_t lifted() const { return line.lifted; }

    // With city 0 lifted, x and y are the ordering's first and last cities;
    // with another, the tour's path from y round to x takes every city on
    // the line. The shortest such path runs out to one end of the line and
    // back to the other.
    void listPairs() {
        const std::int64_t low = line.place[line.byPlace[0]];
        const std::int64_t high = line.place[line.byPlace[line.count - 1]];
        reached = std::numeric_limits<double>::max();
        for (std::uint32_t xs = line.all; xs != 0; xs &= xs - 1) {
            for (std::uint32_t ys = line.all; ys != 0; ys &= ys - 1) {
                const std::int32_t x = lowestBit(xs);
                const std::int32_t y = lowestBit(ys);
                if (x == y) continue;
                const std::int64_t from = line.place[lifted() == 0 ? x : y];
                const std::int64_t to = line.place[lifted() == 0 ? y : x];
                const std::int64_t shortest = (high - low) + std::min(from - low + high - to, high - from + to - low);
                const double ends = line.distance[x][lifted()] + line.distance[lifted()][y];
                pairs.push_back(Pair{x, y, ends, ends + static_cast<double>(shortest) * line.unit});
                reached = std::min(reached, ends + static_cast<double>(line.units + 1) * line.unit);
            }
        }
        std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) { return a.lowest < b.lowest; });
    }

    // Lists the classes of the pairs that may have one up to `length`; those
    // from `from` on are sorted again.
    void listUpTo(double length, std::size_t from) {
        const std::size_t before = classes.size();
        for (; listed < pairs.size() && pairs[listed].lowest <= length; ++listed) {
            const Pair& pair = pairs[listed];
            for (std::int64_t u = 0; u <= line.units; ++u) {
                const std::uint64_t tours =
                    lifted() == 0 ? counter.orderings(line.all, pair.x, pair.y, u) : counter.orderings(line.all, pair.y, pair.x, u);
                if (tours == 0) continue;
                Class k;
                k.x = pair.x;
                k.y = pair.y;
                k.units = u;
                k.tours = tours;
                k.length = pair.ends + static_cast<double>(u) * line.unit;
                classes.push_back(k);
            }
        }
        if (classes.size() != before)
            std::sort(classes.begin() + static_cast<std::ptrdiff_t>(from), classes.end(),
                      [](const Class& a, const Class& b) { return a.length < b.length; });
    }

    Prefix start(const Class& k) const {
        Prefix p;
        p.left = (bit(n()) - 1u) & ~bit(0);
        p.units = k.units;
        return p;
    }

    Prefix extend(const Prefix& p, std::int32_t c) const {
        Prefix q = p;
        q.units -= line.along(p.end, c);
        q.sum += line.distance[p.end][c];
        q.left &= ~bit(c);
        q.end = c;
        ++q.place;
        return q;
    }

    // The class's tours whose ordering goes on from the prefix with city c.
    std::uint64_t toursWith(const Class& k, const Prefix& p, std::int32_t c) {
        return lifted() == 0 ? toursAfterCityZero(k, p, c) : toursAroundLifted(k, p, c);
    }

    // City 0 lifted: x first, y last, the cities between along the line.
    std::uint64_t toursAfterCityZero(const Class& k, const Prefix& p, std::int32_t c) {
        if (p.end == 0) return c == k.x ? counter.orderings(p.left, k.x, k.y, p.units) : 0;
        if (c == k.y) return p.left == bit(k.y) && line.along(p.end, c) == p.units ? 1 : 0;
        return counter.orderings(p.left, c, k.y, p.units - line.along(p.end, c));
    }

    // Another city lifted: it comes right after x and right before y, and the
    // ordering goes back to city 0 at its end.
    std::uint64_t toursAroundLifted(const Class& k, const Prefix& p, std::int32_t c) {
        const std::int32_t j = lifted();
        const bool liftedToCome = (p.left & bit(j)) != 0;
        if (p.end == j && c != k.y) return 0;
        if (liftedToCome && (p.end == k.x) != (c == j)) return 0;
        const std::uint32_t rest = p.left & ~bit(c) & ~bit(j);
        const std::int64_t units = p.units - line.along(p.end, c);
        // From y (or from c, the lifted city being behind) on to city 0.
        const auto home = [&](std::int32_t from) -> std::uint64_t {
            if (from == 0) return rest == 0 && units == 0 ? 1 : 0;
            return counter.orderings(rest | bit(from) | bit(0), from, 0, units);
        };
        if (c == j) return (p.left & bit(k.y)) != 0 || (k.y == 0 && rest == 0) ? home(k.y) : 0;
        if (!liftedToCome) return home(c);
        if (c == k.x) return (rest & bit(k.y)) != 0 || (k.y == 0 && rest == 0) ? home(k.y) : 0;
        return counter.orderingsWithPair(rest | bit(c) | bit(0), c, 0, k.x, k.y, units);
    }

    static std::uint64_t classKey(const Class& k) {
        return (static_cast<std::uint64_t>(k.units) << 10) | (static_cast<std::uint64_t>(k.x) << 5) | static_cast<std::uint64_t>(k.y);
    }

    // The first ordering of a class in enumeration order: at each place the
    // lowest city from which a tour of the class goes on. False if none does,
    // which the class's count rules out.
    bool findFirst(Class& k) {
        const auto earlier = found.find(classKey(k));
        if (earlier != found.end()) {
            k = earlier->second;
            return true;
        }
        Prefix p = start(k);
        while (p.place < n()) {
            run.step();
            const Prefix before = p;
            for (std::uint32_t bits = p.left; bits != 0; bits &= bits - 1) {
                const std::int32_t c = lowestBit(bits);
                if (toursWith(k, p, c) == 0) continue;
                k.first[p.place] = static_cast<std::int8_t>(c);
                p = extend(p, c);
                break;
            }
            if (p.place == before.place) return false;
        }
        k.sum = p.sum + line.distance[p.end][0];
        found.emplace(classKey(k), k);
        run.tour();
        return true;
    }

    // The class's tours that come before `order` (cities 1..n-1 at 1..n-1) in
    // enumeration order.
    std::uint64_t toursBefore(const Class& k, const std::int8_t* order) {
        std::uint64_t count = 0;
        for (Prefix p = start(k); p.place < n();) {
            run.step();
            const std::int32_t next = order[p.place];
            for (std::uint32_t bits = p.left; bits != 0 && lowestBit(bits) < next; bits &= bits - 1)
                count += toursWith(k, p, lowestBit(bits));
            if (toursWith(k, p, next) == 0) break;
            p = extend(p, next);
        }
        return count;
    }
};

// The table as the classes' first tours make it, in enumeration order; every
// entry made gets a serial, and every change of the table is an event.
struct Events {
    struct Event {
        std::size_t turn;  // the place of the class that made it in enumeration order
        std::int32_t used;
        double lengths[kSpectrumEntries];
        std::int32_t serials[kSpectrumEntries];
    };
    std::vector<Event> events;
    std::vector<double> serialLength;
    std::vector<std::int32_t> holder;  // per turn: the serial that took the first tour, or -1
    double lengths[kSpectrumEntries] = {};
    std::int32_t serials[kSpectrumEntries] = {};
    std::int32_t used = 0;

    // Records one length as recordLength does; returns the serial taking it.
    std::int32_t record(double length, std::size_t turn) {
        std::int32_t entry = entryTaking(lengths, used, length);
        if (entry >= 0) return serials[entry];
        std::int32_t at = 0;
        for (std::int32_t i = used - 1; i >= 0; --i) {
            if (length > lengths[i] + toleranceOf(lengths[i])) {
                at = i + 1;
                break;
            }
        }
        if (at >= kSpectrumEntries) return -1;  // a full table drops it
        for (std::int32_t j = kSpectrumEntries - 1; j > at; --j) {
            lengths[j] = lengths[j - 1];
            serials[j] = serials[j - 1];
        }
        lengths[at] = length;
        serials[at] = static_cast<std::int32_t>(serialLength.size());
        serialLength.push_back(length);
        if (used < kSpectrumEntries) ++used;
        Event e{};
        e.turn = turn;
        e.used = used;
        std::copy(lengths, lengths + used, e.lengths);
        std::copy(serials, serials + used, e.serials);
        events.push_back(e);
        return serials[at];
    }

    static std::int32_t holderAfter(const Event& e, double length) {
        const std::int32_t entry = entryTaking(e.lengths, e.used, length);
        return entry < 0 ? -1 : e.serials[entry];
    }
};

// The classes below the cut, in enumeration order, through the table.
Events playClasses(const std::vector<const Class*>& inOrder) {
    Events table;
    for (std::size_t turn = 0; turn < inOrder.size(); ++turn) table.holder.push_back(table.record(inOrder[turn]->sum, turn));
    return table;
}

// Every tour of one class sums to within `noise` of its length, so it takes
// the entry its first tour takes as long as that lies clear of every edge.
// No board in the tests comes this close: it takes two class lengths a and b
// with b = a (1 ± kEntryTolerance) to within some 1e-14 of a. Exactly equal
// they cannot be where tours are shorter than a million: the lengths are sums
// of whole multiples of square roots of distinct square-free numbers, which
// are independent over the rationals, so 10^6 b = (10^6 ± 1) a would make
// every multiple in a divisible by 10^6, and a a million or more. But
// nothing short of a bound on such sums far below double precision rules out
// coming that close, so the check stays; a board it refuses is searched.
bool clearOfEdges(const std::vector<const Class*>& classes, const Events& table, double noise) {
    for (const double entry : table.serialLength) {
        for (const Class* k : classes) {
            if (nearEntryEdge(k->sum, entry, noise)) return false;
        }
    }
    return true;
}

// The lengths a class must lie above for a cut right below it, after a class
// of length `below`. Every tour lies within the noise of its class's length,
// so with the next class above the bound returned, its tours are longer than
// (below + 2 noise) / (1 - 1e-6): an entry one of them makes reaches down, by
// its tolerance, no further than (below + 2 noise), above every tour below the
// cut; and those lie above every entry below the cut by more than its
// tolerance, which is smaller, so no tour below is counted above the cut or
// the other way round. The noise is doubled against the rounding of this sum.
// (A gap of one tolerance of `below` would fall short by a millionth of a
// tolerance; a second tolerance on top guards nothing.)
double cutAbove(double below, double noise) {
    return (below + 2.0 * noise) / (1.0 - kEntryTolerance) + 2.0 * noise;
}

// The classes below the cut in enumeration order and the table they make.
struct Settled {
    std::vector<const Class*> inOrder;
    Events table;
    std::size_t cut = 0;  // classes (by length) below it
};

enum class Outcome { Settled, NeedsLongerPaths, Refused };

// Cuts tried from the shortest up: after a class followed by a gap that
// reaches past cutAbove, within the lengths listed. The first whose classes
// fill the table settles it.
Outcome settle(Solver& solver, Settled& out) {
    std::deque<Class>& classes = solver.classes;
    const std::int32_t n = solver.n();
    const double noise = solver.noise;
    for (std::size_t i = 0; i < kMostClasses; ++i) {
        // The next class by length, once every pair that may have a shorter one is listed.
        // (Those listed then are no shorter than the lowest of them.)
        while (i >= classes.size() && solver.listed < solver.pairs.size() && solver.pairs[solver.listed].lowest < solver.reached)
            solver.listUpTo(solver.pairs[solver.listed].lowest, i);
        if (i >= classes.size()) return Outcome::NeedsLongerPaths;  // still room in the table
        solver.listUpTo(classes[i].length, i);
        Class& k = classes[i];
        if (!solver.findFirst(k) || std::fabs(k.sum - k.length) > noise) return Outcome::Refused;
        const auto at = std::upper_bound(out.inOrder.begin(), out.inOrder.end(), &k,
                                         [n](const Class* x, const Class* y) { return before(*x, *y, n); });
        out.inOrder.insert(at, &k);
        const double reach = cutAbove(k.length, noise);
        solver.listUpTo(reach, i + 1);
        if (reach >= solver.reached) return Outcome::NeedsLongerPaths;
        if (i + 1 < classes.size() && classes[i + 1].length <= reach) continue;
        if (out.inOrder.size() < static_cast<std::size_t>(kSpectrumEntries)) continue;
        out.table = playClasses(out.inOrder);
        if (out.table.used == kSpectrumEntries) {
            out.cut = i + 1;
            return clearOfEdges(out.inOrder, out.table, noise) ? Outcome::Settled : Outcome::Refused;
        }
    }
    return Outcome::Refused;
}

// Each class's tours to the entries that hold them: all to the one its first
// tour went to, then from each later event that hands its length on, those
// from that event's tour on, until no tour of it is left to come.
std::vector<std::int64_t> countEntries(Solver& solver, const Settled& settled) {
    const Events& table = settled.table;
    std::vector<std::int64_t> tally(table.serialLength.size(), 0);
    for (std::size_t turn = 0; turn < settled.inOrder.size(); ++turn) {
        const Class& k = *settled.inOrder[turn];
        std::int32_t holder = table.holder[turn];
        if (holder < 0) continue;
        tally[static_cast<std::size_t>(holder)] += static_cast<std::int64_t>(k.tours);
        const auto later = std::upper_bound(table.events.begin(), table.events.end(), turn,
                                            [](std::size_t t, const Events::Event& e) { return t < e.turn; });
        for (auto e = later; e != table.events.end(); ++e) {
            const std::int32_t now = Events::holderAfter(*e, k.sum);
            if (now == holder) continue;
            const auto moved = static_cast<std::int64_t>(k.tours - solver.toursBefore(k, settled.inOrder[e->turn]->first));
            if (moved == 0) break;
            tally[static_cast<std::size_t>(holder)] -= moved;
            if (now < 0) break;
            tally[static_cast<std::size_t>(now)] += moved;
            holder = now;
        }
    }
    return tally;
}

// The solution: the first ordering with the smallest sum, among the tours of
// the classes that may hold it, each summed as the enumeration sums. False
// when there are too many of them.
bool findSolution(Solver& solver, std::size_t cut, std::int32_t* best) {
    const std::int32_t n = solver.n();
    const std::deque<Class>& classes = solver.classes;
    double bestSum = std::numeric_limits<double>::max();
    std::int64_t summed = 0;
    std::int32_t order[kRouteCapacity] = {};
    for (std::size_t i = 0; i < cut && classes[i].length <= classes[0].length + 4.0 * solver.noise; ++i) {
        const Class& k = classes[i];
        // Depth first, in enumeration order, along the prefixes a tour of the class goes on from.
        const auto walk = [&](auto&& self, const Prefix& p) -> bool {
            if (p.place == n) {
                const double length = p.sum + solver.line.distance[p.end][0];
                solver.run.tour();
                if (++summed > kMostSolutionTours) return false;
                const bool earlier = std::lexicographical_compare(order, order + n, best, best + n);
                if (length < bestSum || (length == bestSum && earlier)) {
                    bestSum = length;
                    std::copy(order, order + kRouteCapacity, best);
                }
                return true;
            }
            for (std::uint32_t bits = p.left; bits != 0; bits &= bits - 1) {
                const std::int32_t c = lowestBit(bits);
                if (solver.toursWith(k, p, c) == 0) continue;
                order[p.place] = c;
                if (!self(self, solver.extend(p, c))) return false;
            }
            return true;
        };
        if (!walk(walk, solver.start(k))) return false;
    }
    return true;
}

}  // namespace

bool solveOffTheLine(Board& board, SolveRun& run) {
    LineCities line;
    if (!line::lineCitiesOf(board, kFewestCities, line)) return false;
    const std::int32_t n = line.n;
    run.enterSpan(0.0, 1.0);
    run.holdBack();
    const auto refuse = [&] {
        run.dropHeld();
        return false;
    };

    // Paths counted up to twice the line's span first (the shortest runs out
    // to one end and back to the other), longer ones only where the table
    // reaches further.
    std::unordered_map<std::uint64_t, Class> found;
    for (std::int64_t units = 2 * line.span + 2;; units *= 2) {
        line.units = std::min(units, kMostUnits);
        Solver solver(line, run);
        solver.found.swap(found);
        solver.listPairs();
        // Each of n + 1 additions rounds by half a unit in the last place of
        // at most the longest sum; twice that for the length itself.
        const double longest = solver.reached + line.unit * static_cast<double>(line.units);
        solver.noise = 2.0 * static_cast<double>(n + 1) * std::ldexp(longest, -52);
        Settled settled;
        const Outcome outcome = settle(solver, settled);
        if (outcome == Outcome::Refused || (outcome == Outcome::NeedsLongerPaths && line.units == kMostUnits)) return refuse();
        if (outcome == Outcome::NeedsLongerPaths) {
            found.swap(solver.found);
            continue;
        }
        run.advance(0.6);
        const std::vector<std::int64_t> tally = countEntries(solver, settled);
        run.advance(0.8);
        std::int32_t best[kRouteCapacity] = {};
        if (!findSolution(solver, settled.cut, best)) return refuse();

        PathSpectrum& s = board.spectrum;
        s.count = kSpectrumEntries;
        for (std::int32_t i = 0; i < kSpectrumEntries; ++i) {
            const std::int64_t count = tally[static_cast<std::size_t>(settled.table.serials[i])];
            s.lengths[i] = settled.table.lengths[i];
            s.counts[i] = static_cast<std::int32_t>(std::min<std::int64_t>(count, std::numeric_limits<std::int32_t>::max()));
        }
        normaliseSpectrum(s);
        for (std::int32_t k = 0; k < kRouteCapacity; ++k) board.solutionRoute[k] = best[k];
        board.solutionRoute[n] = 0;
        run.note(&SolveStatistics::lineSolves);
        return true;
    }
}

}  // namespace orvanta
