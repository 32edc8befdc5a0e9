// Boards whose cities other than city 0 lie on one row or column: a tour is
// city 0, an ordering a, ..., b of the line's cities, and city 0 again, so its
// length is d(0, a) + d(0, b) plus the path along the line, a whole number of
// the line's units. Every tour of one class (a, b, units) has the same length
// up to rounding; the classes near the optimum are few, but each holds
// millions of tours, and classes of the same whole length lie a few
// tolerances apart, so their entries depend on the order the tours come in.
//
// Why this leaves the enumeration's table:
// - A class's tours come in enumeration order; only its first can start an
//   entry. The later ones have the same length up to rounding, and every
//   length is checked to lie clear of every entry's edges by more than that,
//   so an entry that took (or was made by) the first takes them too, unless
//   an entry made since takes them or pushed it out.
// - So the table's changes come from the classes' first tours alone, taken
//   in enumeration order; the first tour of a class is found greedily, city by
//   city, from the counts of the paths that may still complete it.
// - A class's tours move to the entry an event hands them to from that event
//   on: their number is the class's count less its tours before the event's
//   tour, counted position by position as a rank is.
// - Only the classes below a cut are followed. The cut lies in a gap wider
//   than two tolerances between class lengths, so no tour above it can take
//   or make an entry below it; once the entries below it fill the table, the
//   longer entries are all pushed out, whenever they came.
// The paths along the line are counted by their length with a sweep along it
// (PathCounter), which holds their ends apart as ordered pieces of the path.
#include "core/solver_line.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <unordered_map>
#include <vector>

#include "core/bits.h"
#include "core/solver.h"
#include "core/solver_tally.h"

namespace orvanta {

std::atomic<std::int64_t> lineSolves{0};

namespace {

// Fewer cities are searched at once.
constexpr std::int32_t kFewestCities = 6;
// The longest path counted, in units of the line, and the room for the
// counts kept at once (one per length of each set, start and end).
constexpr std::int64_t kMostUnits = 256;
constexpr std::size_t kCachedCountsBytes = std::size_t{32} << 20;
// Classes followed, and tours summed for the solution.
constexpr std::size_t kMostClasses = std::size_t{1} << 14;
constexpr std::int64_t kMostSolutionTours = std::int64_t{1} << 20;

struct Line {
    std::int32_t n = 0;
    std::uint32_t all = 0;                  // cities 1..n-1, city c as bit c - 1
    std::int64_t place[kMaxCities] = {};    // along the line, in units from the first
    std::int32_t byPlace[kMaxCities] = {};  // cities 1..n-1 in order along the line
    std::int64_t span = 0;                  // from the first city along the line to the last
    std::int64_t units = 0;                 // the longest path counted
    double unit = 0.0;
    double d[kMaxCities][kMaxCities] = {};  // the board's distances
};

bool lineOf(const Board& board, Line& line) {
    const std::int32_t n = board.cityCount;
    if (n < kFewestCities || n > kMaxCities) return false;
    bool row = true;
    bool column = true;
    for (std::int32_t c = 2; c < n; ++c) {
        row = row && board.cities[c].y == board.cities[1].y;
        column = column && board.cities[c].x == board.cities[1].x;
    }
    if (row == column) return false;  // on no line, or all on one point
    const auto along = [&](std::int32_t c) -> std::int64_t { return row ? board.cities[c].x : board.cities[c].y; };
    std::int64_t low = along(1);
    for (std::int32_t c = 2; c < n; ++c) low = std::min(low, along(c));
    std::int64_t step = 0;
    std::int64_t span = 0;
    for (std::int32_t c = 1; c < n; ++c) step = std::gcd(step, along(c) - low);
    for (std::int32_t c = 1; c < n; ++c) {
        line.place[c] = (along(c) - low) / step;
        span = std::max(span, line.place[c]);
    }
    line.n = n;
    line.all = (1u << (n - 1)) - 1u;
    line.unit = static_cast<double>(step);
    line.span = span;
    for (std::int32_t c = 1; c < n; ++c) line.byPlace[c - 1] = c;
    std::sort(line.byPlace, line.byPlace + n - 1, [&](std::int32_t x, std::int32_t y) {
        return line.place[x] != line.place[y] ? line.place[x] < line.place[y] : x < y;
    });
    for (std::int32_t i = 0; i < n; ++i)
        for (std::int32_t j = 0; j < n; ++j) line.d[i][j] = board.cityDistance(i, j);
    return true;
}

std::int64_t apart(const Line& line, std::int32_t x, std::int32_t y) { return std::llabs(line.place[x] - line.place[y]); }

// The orderings that start at one city of a set, take all of it and end at
// another, counted by their length in units. The sweep takes the set's cities
// in order along the line and keeps the pieces the ordering is cut into by
// the cities not yet taken, in their order in the ordering: each new city
// starts a piece, extends one at an end, or joins two neighbours; every edge
// over a gap between cities comes from a piece's open end, so the gap counts
// once per open end (all but the ordering's own two ends).
class PathCounter {
public:
    PathCounter(const Line& l, SolveRun& r) : line(l), run(r) {}

    std::uint64_t paths(std::uint32_t set, std::int32_t from, std::int32_t to, std::int64_t units) {
        if (units < 0 || units > line.units) return 0;
        const std::uint64_t key = (static_cast<std::uint64_t>(set) << 10) | (static_cast<std::uint64_t>(from) << 5) |
                                  static_cast<std::uint64_t>(to);
        auto it = cache.find(key);
        if (it == cache.end()) {
            if (cache.size() * static_cast<std::size_t>(line.units + 1) * sizeof(std::uint64_t) >= kCachedCountsBytes) cache.clear();
            it = cache.emplace(key, count(set, from, to)).first;
        }
        return it->second[static_cast<std::size_t>(units)];
    }

private:
    std::vector<std::uint64_t> count(std::uint32_t set, std::int32_t from, std::int32_t to) {
        run.step();
        const auto width = static_cast<std::size_t>(line.units + 1);
        std::vector<std::uint64_t> out(width, 0);
        const std::int32_t m = countMembers(set);
        if (m == 1 || from == to) {
            if (m == 1 && from == to) out[0] = 1;
            return out;
        }
        // State: pieces j, which ends are placed (bit 0 from, bit 1 to), units.
        const auto at = [&](std::int32_t j, std::int32_t ends) { return (static_cast<std::size_t>(j) * 4 + static_cast<std::size_t>(ends)) * width; };
        // Only the rows of states reached are cleared and read.
        if (now.size() < at(m + 2, 0)) {
            now.resize(at(m + 2, 0));
            next.resize(at(m + 2, 0));
        }
        std::fill(now.begin(), now.begin() + static_cast<std::ptrdiff_t>(at(1, 0)), 0);
        now[at(0, 0)] = 1;
        std::int64_t far = 0;  // the place of the set's last city
        for (std::uint32_t bits = set; bits != 0; bits &= bits - 1) far = std::max(far, line.place[lowestCity(bits)]);
        std::int32_t top = 0;       // the most pieces of any state
        std::int64_t longest = 0;   // the most units of any state
        std::int32_t taken = 0;
        std::int64_t before = -1;
        for (std::int32_t k = 0; k + 1 < line.n; ++k) {
            const std::int32_t c = line.byPlace[k];
            if ((set & (1u << (c - 1))) == 0) continue;
            const bool last = ++taken == m;
            const std::int64_t gap = before < 0 ? 0 : line.place[c] - before;
            before = line.place[c];
            // Every gap still ahead is crossed at least once.
            const std::int64_t most = line.units - (far - line.place[c]);
            std::fill(next.begin(), next.begin() + static_cast<std::ptrdiff_t>(at(top + 2, 0)), 0);
            std::int32_t nextTop = 0;
            std::int64_t nextLongest = 0;
            const auto add = [&](std::int32_t j2, std::int32_t ends2, std::int64_t ways, std::size_t u, std::uint64_t v) {
                // One piece from `from` to `to` is the whole ordering: only at the end.
                if (ways <= 0 || (j2 == 1 && ends2 == 3 && !last)) return;
                next[at(j2, ends2) + u] += v * static_cast<std::uint64_t>(ways);
                nextTop = std::max(nextTop, j2);
            };
            for (std::int32_t j = 0; j <= top; ++j) {
                for (std::int32_t ends = 0; ends < 4; ++ends) {
                    const std::int64_t fromPlaced = ends & 1;
                    const std::int64_t toPlaced = ends >> 1;
                    const std::int64_t open = 2 * j - fromPlaced - toPlaced;
                    const std::int64_t shift = gap * open;
                    if (open < 0 || shift > most) continue;  // no such state, or too long already
                    const std::uint64_t* row = &now[at(j, ends)];
                    const std::int64_t end = std::min(longest, most - shift);
                    for (std::int64_t r = 0; r <= end; ++r) {
                        const std::uint64_t v = row[r];
                        if (v == 0) continue;
                        const auto u = static_cast<std::size_t>(r + shift);
                        nextLongest = std::max(nextLongest, r + shift);
                        if (c == from) {
                            add(j + 1, ends | 1, 1, u, v);          // a piece of its own, first
                            add(j, ends | 1, j > 0 ? 1 : 0, u, v);  // at the start of the first piece
                        } else if (c == to) {
                            add(j + 1, ends | 2, 1, u, v);
                            add(j, ends | 2, j > 0 ? 1 : 0, u, v);
                        } else {
                            add(j + 1, ends, j + 1 - fromPlaced - toPlaced, u, v);  // between pieces
                            add(j, ends, open, u, v);                               // at an open end
                            add(j - 1, ends, j - 1, u, v);                          // joining two
                        }
                    }
                }
            }
            now.swap(next);
            top = nextTop;
            longest = nextLongest;
        }
        if (top >= 1) std::copy(&now[at(1, 3)], &now[at(1, 3)] + width, out.begin());
        return out;
    }

    const Line& line;
    SolveRun& run;
    std::unordered_map<std::uint64_t, std::vector<std::uint64_t>> cache;
    std::vector<std::uint64_t> now;
    std::vector<std::uint64_t> next;
};

// The tours that go out from city 0 to a, along the line to b in `units`, and back.
struct Class {
    std::int32_t a = 0;
    std::int32_t b = 0;
    std::int64_t units = 0;
    std::uint64_t tours = 0;
    double length = 0.0;  // d(0, a) + d(0, b) + the path, up to rounding
    // Once found: its first tour (cities 1..n-1 at 1..n-1) and that tour's sum.
    std::int8_t first[kMaxCities] = {};
    double sum = 0.0;
};

bool before(const Class& x, const Class& y, std::int32_t n) {
    for (std::int32_t k = 1; k < n; ++k)
        if (x.first[k] != y.first[k]) return x.first[k] < y.first[k];
    return false;
}

struct Solver {
    const Line& line;
    SolveRun& run;
    PathCounter counter;
    std::vector<Class> classes;  // by length
    double noise = 0.0;          // how far a tour's sum may lie from its length
    // First tours found while counting shorter paths, by classKey.
    std::unordered_map<std::uint64_t, Class> found;

    Solver(const Line& l, SolveRun& r) : line(l), run(r), counter(l, r) {}

    std::int32_t n() const { return line.n; }

    // Every class whose path fits the units counted; the lengths below the
    // returned one hold every class there is.
    double listClasses() {
        double known = std::numeric_limits<double>::max();
        for (std::int32_t a = 1; a < n(); ++a) {
            for (std::int32_t b = 1; b < n(); ++b) {
                if (a == b) continue;
                const double ends = line.d[0][a] + line.d[0][b];
                known = std::min(known, ends + static_cast<double>(line.units + 1) * line.unit);
                for (std::int64_t u = 0; u <= line.units; ++u) {
                    const std::uint64_t tours = counter.paths(line.all, a, b, u);
                    if (tours == 0) continue;
                    Class k;
                    k.a = a;
                    k.b = b;
                    k.units = u;
                    k.tours = tours;
                    k.length = ends + static_cast<double>(u) * line.unit;
                    classes.push_back(k);
                }
            }
        }
        std::sort(classes.begin(), classes.end(), [](const Class& x, const Class& y) { return x.length < y.length; });
        return known;
    }

    static std::uint64_t classKey(const Class& k) {
        return (static_cast<std::uint64_t>(k.units) << 10) | (static_cast<std::uint64_t>(k.a) << 5) | static_cast<std::uint64_t>(k.b);
    }

    // The first ordering of a class in enumeration order: at each place the
    // lowest city from which the rest of the path can still be made up.
    void findFirst(Class& k) {
        const auto earlier = found.find(classKey(k));
        if (earlier != found.end()) {
            k = earlier->second;
            return;
        }
        std::uint32_t set = line.all & ~(1u << (k.a - 1));
        std::int32_t at = k.a;
        std::int64_t left = k.units;
        k.first[1] = static_cast<std::int8_t>(k.a);
        for (std::int32_t place = 2; place + 1 < n(); ++place) {
            for (std::uint32_t bits = set; bits != 0; bits &= bits - 1) {
                const std::int32_t c = lowestCity(bits);
                if (c == k.b) continue;
                const std::int64_t step = apart(line, at, c);
                if (counter.paths(set, c, k.b, left - step) == 0) continue;
                k.first[place] = static_cast<std::int8_t>(c);
                set &= ~(1u << (c - 1));
                left -= step;
                at = c;
                break;
            }
        }
        k.first[n() - 1] = static_cast<std::int8_t>(k.b);
        // Summed edge by edge, as the enumeration sums.
        double sum = line.d[0][k.a];
        for (std::int32_t place = 1; place + 1 < n(); ++place) sum += line.d[k.first[place]][k.first[place + 1]];
        k.sum = sum + line.d[k.b][0];
        found.emplace(classKey(k), k);
        run.tour();
    }

    // The class's tours that come before `order` (cities at 1..n-1, the first
    // of them the class's own a) in enumeration order.
    std::uint64_t toursBefore(const Class& k, const std::int8_t* order) {
        std::uint64_t count = 0;
        std::uint32_t set = line.all & ~(1u << (k.a - 1));
        std::int32_t at = k.a;
        std::int64_t left = k.units;
        for (std::int32_t place = 2; place + 1 < n(); ++place) {
            const std::int32_t next = order[place];
            for (std::uint32_t bits = set; bits != 0; bits &= bits - 1) {
                const std::int32_t c = lowestCity(bits);
                if (c >= next) break;
                if (c != k.b) count += counter.paths(set, c, k.b, left - apart(line, at, c));
            }
            if (next == k.b) break;  // the class's tours go on with another city
            left -= apart(line, at, next);
            if (left < 0) break;
            set &= ~(1u << (next - 1));
            at = next;
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
bool clearOfEdges(const std::vector<const Class*>& classes, const Events& table, double noise) {
    for (const double entry : table.serialLength) {
        const double t = toleranceOf(entry);
        for (const Class* k : classes) {
            if (std::fabs(k->sum - (entry + t)) <= 2.0 * noise || std::fabs(k->sum - (entry - t)) <= 2.0 * noise) return false;
        }
    }
    return true;
}

// The classes below the cut in enumeration order and the table they make.
struct Settled {
    std::vector<const Class*> inOrder;
    Events table;
    std::size_t cut = 0;  // classes (by length) below it
};

enum class Outcome { Settled, NeedsLongerPaths, Refused };

// Cuts tried from the shortest up: after a class followed by a gap wider than
// two tolerances and the noise, within the lengths listed. The first whose
// classes fill the table settles it.
Outcome settle(Solver& solver, double known, Settled& out) {
    std::vector<Class>& classes = solver.classes;
    const std::int32_t n = solver.n();
    const double noise = solver.noise;
    for (std::size_t i = 0; i < classes.size() && i < kMostClasses; ++i) {
        Class& k = classes[i];
        solver.findFirst(k);
        if (std::fabs(k.sum - k.length) > noise) return Outcome::Refused;
        const auto at = std::upper_bound(out.inOrder.begin(), out.inOrder.end(), &k,
                                         [n](const Class* x, const Class* y) { return before(*x, *y, n); });
        out.inOrder.insert(at, &k);
        const double reach = k.length + 2.0 * toleranceOf(k.length) + 4.0 * noise;
        if (reach >= known) return Outcome::NeedsLongerPaths;
        if (i + 1 < classes.size() && classes[i + 1].length <= reach) continue;
        if (out.inOrder.size() < static_cast<std::size_t>(kSpectrumEntries)) continue;
        out.table = playClasses(out.inOrder);
        if (out.table.used == kSpectrumEntries) {
            out.cut = i + 1;
            return clearOfEdges(out.inOrder, out.table, noise) ? Outcome::Settled : Outcome::Refused;
        }
    }
    // Every class listed, and still room in the table: longer paths may fill it.
    return classes.size() < kMostClasses ? Outcome::NeedsLongerPaths : Outcome::Refused;
}

// Each class's tours to the entries that hold them: all to the one its first
// tour went to, then from each later event of its block (the orderings that
// start with its a) that hands its length on, those from that event's tour on.
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
            const Class& maker = *settled.inOrder[e->turn];
            if (maker.first[1] != k.a) break;
            const std::int32_t now = Events::holderAfter(*e, k.sum);
            if (now == holder) continue;
            const auto moved = static_cast<std::int64_t>(k.tours - solver.toursBefore(k, maker.first));
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
    const Line& line = solver.line;
    const std::int32_t n = line.n;
    const std::vector<Class>& classes = solver.classes;
    double bestSum = std::numeric_limits<double>::max();
    std::int64_t summed = 0;
    for (std::size_t i = 0; i < cut && classes[i].length <= classes[0].length + 4.0 * solver.noise; ++i) {
        const Class& k = classes[i];
        std::int32_t order[kRouteCapacity] = {};
        order[1] = k.a;
        order[n - 1] = k.b;
        // Depth first, in enumeration order, along paths that can still be made up.
        const auto walk = [&](auto&& self, std::int32_t place, std::uint32_t set, std::int64_t left, double sum) -> bool {
            const std::int32_t at = order[place - 1];
            if (place == n - 1) {
                if (apart(line, at, k.b) != left) return true;
                const double length = sum + line.d[at][k.b] + line.d[k.b][0];
                solver.run.tour();
                if (++summed > kMostSolutionTours) return false;
                const bool earlier = std::lexicographical_compare(order, order + n, best, best + n);
                if (length < bestSum || (length == bestSum && earlier)) {
                    bestSum = length;
                    std::copy(order, order + kRouteCapacity, best);
                }
                return true;
            }
            for (std::uint32_t bits = set; bits != 0; bits &= bits - 1) {
                const std::int32_t c = lowestCity(bits);
                if (c == k.b) continue;
                const std::int64_t step = apart(line, at, c);
                if (solver.counter.paths(set, c, k.b, left - step) == 0) continue;
                order[place] = c;
                if (!self(self, place + 1, set & ~(1u << (c - 1)), left - step, sum + line.d[at][c])) return false;
            }
            return true;
        };
        if (!walk(walk, 2, line.all & ~(1u << (k.a - 1)), k.units, line.d[0][k.a])) return false;
    }
    return true;
}

}  // namespace

bool solveOffTheLine(Board& board, SolveRun& run) {
    Line line;
    if (!lineOf(board, line)) return false;
    const std::int32_t n = line.n;
    run.enterSpan(0.0, 1.0);
    run.holdBack();
    const auto refuse = [&] {
        run.dropHeld();
        return false;
    };

    // Paths counted up to four times the line's span first (a tour near the
    // optimum runs out and back about once), longer ones only where the
    // table reaches further.
    std::unordered_map<std::uint64_t, Class> found;
    for (std::int64_t units = 4 * line.span;; units *= 2) {
        line.units = std::min(units, kMostUnits);
        Solver solver(line, run);
        solver.found.swap(found);
        const double known = solver.listClasses();
        if (solver.classes.empty()) return refuse();
        run.advance(0.3);
        // Each of n + 1 additions rounds by half a unit in the last place of
        // at most the longest sum; twice that for the length itself.
        const double longest = known + line.unit * static_cast<double>(line.units);
        solver.noise = 2.0 * static_cast<double>(n + 1) * std::ldexp(longest, -52);
        Settled settled;
        const Outcome outcome = settle(solver, known, settled);
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
        ++lineSolves;
        return true;
    }
}

}  // namespace orvanta
