// The orderings of cities on a line counted by length with one sweep along
// it: the cities are taken in order along the line, and the ordering is held
// as the pieces the cities not yet taken cut it into, in their order in the
// ordering. Each new city starts a piece, extends one at an open end, or
// joins two neighbouring pieces; the ordering's own first and last cities
// close an end for good. Every edge over the gap before the next city comes
// from an open end, so the gap counts once per open end.
//
// Where x must come right before y (their edge not counted), the first of
// them taken keeps an end open for the other alone, and the state tells whether that end's piece is the
// last (x first) or the first (y first) of the pieces, which decides whether
// a piece may still come in between.
#include "core/solver_line_paths.h"

#include <algorithm>
#include <numeric>

#include "core/bits.h"

namespace orvanta::line {

namespace {

// The counts kept at once: one per length of each set, start and end.
constexpr std::size_t kCachedCountsBytes = std::size_t{32} << 20;
// About as many of a count's states as take the time of one tour evaluated.
constexpr std::int64_t kStatesPerStep = 8;

}  // namespace

bool lineCitiesOf(const Board& board, std::int32_t fewest, LineCities& line) {
    const std::int32_t n = board.cityCount;
    if (n < fewest || n > kMaxCities) return false;
    for (std::int32_t lifted = 0; lifted < n; ++lifted) {
        const std::int32_t first = lifted == 0 ? 1 : 0;
        bool row = true;
        bool column = true;
        for (std::int32_t c = 0; c < n; ++c) {
            if (c == lifted) continue;
            row = row && board.cities[c].y == board.cities[first].y;
            column = column && board.cities[c].x == board.cities[first].x;
        }
        if (row == column) continue;  // on no line, or all on one point
        const auto along = [&](std::int32_t c) -> std::int64_t { return row ? board.cities[c].x : board.cities[c].y; };
        std::int64_t low = along(first);
        for (std::int32_t c = 0; c < n; ++c)
            if (c != lifted) low = std::min(low, along(c));
        std::int64_t step = 0;
        for (std::int32_t c = 0; c < n; ++c)
            if (c != lifted) step = std::gcd(step, along(c) - low);
        line = LineCities{};
        line.n = n;
        line.lifted = lifted;
        line.unit = static_cast<double>(step);
        for (std::int32_t c = 0; c < n; ++c) {
            if (c == lifted) continue;
            line.place[c] = (along(c) - low) / step;
            line.span = std::max(line.span, line.place[c]);
            line.all |= bit(c);
            line.byPlace[line.count++] = c;
        }
        std::sort(line.byPlace, line.byPlace + line.count, [&](std::int32_t x, std::int32_t y) {
            return line.place[x] != line.place[y] ? line.place[x] < line.place[y] : x < y;
        });
        for (std::int32_t i = 0; i < n; ++i)
            for (std::int32_t j = 0; j < n; ++j) line.d[i][j] = board.cityDistance(i, j);
        return true;
    }
    return false;
}

std::uint64_t PathCounter::adjacent(std::uint32_t set, std::int32_t from, std::int32_t to, std::int32_t x, std::int32_t y,
                                    std::int64_t units) {
    if (x == to || y == from || (set & bit(x)) == 0 || (set & bit(y)) == 0) return 0;
    // At either end of the ordering, the pair is an ordering of one city fewer.
    if (x == from) return paths(set & ~bit(x), y, to, units);
    if (y == to) return paths(set & ~bit(y), from, x, units);
    return counted(set, from, to, x, y, units);
}

std::uint64_t PathCounter::counted(std::uint32_t set, std::int32_t from, std::int32_t to, std::int32_t x, std::int32_t y,
                                   std::int64_t units) {
    if (units < 0 || units > line.units || (set & bit(from)) == 0 || (set & bit(to)) == 0) return 0;
    const auto id = [](std::int32_t city) { return static_cast<std::uint64_t>(city < 0 ? 31 : city); };
    const std::uint64_t key = (static_cast<std::uint64_t>(set) << 20) | (id(from) << 15) | (id(to) << 10) | (id(x) << 5) | id(y);
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() * static_cast<std::size_t>(line.units + 1) * sizeof(std::uint64_t) >= kCachedCountsBytes) cache.clear();
        it = cache.emplace(key, count(set, from, to, x, y)).first;
    }
    return it->second[static_cast<std::size_t>(units)];
}

std::vector<std::uint64_t> PathCounter::count(std::uint32_t set, std::int32_t from, std::int32_t to, std::int32_t x, std::int32_t y) {
    run.step();
    const auto width = static_cast<std::size_t>(line.units + 1);
    std::vector<std::uint64_t> out(width, 0);
    const std::int32_t m = countMembers(set);
    if (m == 1 || from == to) {
        if (m == 1 && from == to) out[0] = 1;
        return out;
    }
    // State: pieces j, which ends are placed (bit 0 from, bit 1 to), and for
    // the pair x, y: 0 neither taken, 1 the first taken and its piece at the
    // far end, 2 the first taken and its piece not, 3 both; then units.
    const bool pair = x >= 0;
    const std::int32_t pairStates = pair ? 4 : 1;
    const auto at = [&](std::int32_t j, std::int32_t ends, std::int32_t g) {
        return ((static_cast<std::size_t>(j) * 4 + static_cast<std::size_t>(ends)) * static_cast<std::size_t>(pairStates) +
                static_cast<std::size_t>(g)) *
               width;
    };
    // Only the rows of states reached are cleared and read.
    if (now.size() < at(m + 2, 0, 0)) {
        now.resize(at(m + 2, 0, 0));
        next.resize(at(m + 2, 0, 0));
    }
    std::fill(now.begin(), now.begin() + static_cast<std::ptrdiff_t>(at(1, 0, 0)), 0);
    now[at(0, 0, 0)] = 1;
    std::int64_t far = 0;  // the place of the set's last city
    for (std::uint32_t bits = set; bits != 0; bits &= bits - 1) far = std::max(far, line.place[lowestBit(bits)]);
    bool xFirst = false;  // x comes before y along the line
    for (std::int32_t k = 0; pair && k < line.count; ++k) {
        if (line.byPlace[k] == x) xFirst = true;
        if (line.byPlace[k] == x || line.byPlace[k] == y) break;
    }
    std::int32_t top = 0;      // the most pieces of any state
    std::int64_t longest = 0;  // the most units of any state
    std::int32_t taken = 0;
    std::int64_t before = -1;
    for (std::int32_t k = 0; k < line.count; ++k) {
        const std::int32_t c = line.byPlace[k];
        if ((set & bit(c)) == 0) continue;
        const bool last = ++taken == m;
        const std::int64_t gap = before < 0 ? 0 : line.place[c] - before;
        before = line.place[c];
        // Every gap still ahead is crossed at least once.
        const std::int64_t most = line.units - (far - line.place[c]);
        std::fill(next.begin(), next.begin() + static_cast<std::ptrdiff_t>(at(top + 2, 0, 0)), 0);
        std::int32_t nextTop = 0;
        std::int64_t nextLongest = 0;
        const bool firstOfPair = pair && (xFirst ? c == x : c == y);
        const bool secondOfPair = pair && (xFirst ? c == y : c == x);
        for (std::int32_t j = 0; j <= top; ++j) {
            // A step of work per few states: a count of many cities over many
            // units is long, and the run looks at its clock by steps.
            run.steps(1 + static_cast<std::int32_t>(4 * pairStates * (longest + 1) / kStatesPerStep));
            for (std::int32_t ends = 0; ends < 4; ++ends) {
                const std::int64_t sa = ends & 1;
                const std::int64_t sb = ends >> 1;
                const std::int64_t open = 2 * j - sa - sb;
                if (open < 0) continue;  // no such state
                for (std::int32_t g = 0; g < pairStates; ++g) {
                    // The end kept open for the pair's second city (its edge not
                    // counted), and whether its piece is at the far end.
                    const std::int64_t held = g == 1 || g == 2 ? 1 : 0;
                    const bool atFarEnd = g == 1;
                    const std::int64_t shift = gap * (open - held);
                    if (shift > most) continue;  // too long already
                    const std::uint64_t* row = &now[at(j, ends, g)];
                    const std::int64_t end = std::min(longest, most - shift);
                    for (std::int64_t r = 0; r <= end; ++r) {
                        const std::uint64_t v = row[r];
                        if (v == 0) continue;
                        const auto u = static_cast<std::size_t>(r + shift);
                        nextLongest = std::max(nextLongest, r + shift);
                        const auto add = [&](std::int32_t j2, std::int32_t ends2, std::int32_t g2, std::int64_t ways) {
                            // One piece from `from` to `to` is the whole ordering: only at the end.
                            if (ways <= 0 || (j2 == 1 && ends2 == 3 && !last)) return;
                            next[at(j2, ends2, g2) + u] += v * static_cast<std::uint64_t>(ways);
                            nextTop = std::max(nextTop, j2);
                        };
                        const std::int64_t gaps = j + 1 - sa - sb;
                        if (c == from) {
                            // A piece of its own, first; or at the start of the first piece,
                            // unless that start is held for x.
                            add(j + 1, ends | 1, !xFirst && atFarEnd ? 2 : g, 1);
                            if (!(!xFirst && atFarEnd)) add(j, ends | 1, g, j > 0 ? 1 : 0);
                        } else if (c == to) {
                            add(j + 1, ends | 2, xFirst && atFarEnd ? 2 : g, 1);
                            if (!(xFirst && atFarEnd)) add(j, ends | 2, g, j > 0 ? 1 : 0);
                        } else if (firstOfPair) {
                            // x keeps its end after it open for y (y the one before it for x):
                            // a piece of its own, or at that side of a piece, the far one or another.
                            const std::int64_t closed = xFirst ? sb : sa;
                            const std::int64_t farGap = closed == 0 ? 1 : 0;
                            const std::int64_t farPiece = closed == 0 && j > 0 ? 1 : 0;
                            if (g != 0) continue;
                            add(j + 1, ends, 1, farGap);
                            add(j + 1, ends, 2, gaps - farGap);
                            add(j, ends, 1, farPiece);
                            add(j, ends, 2, j - closed - farPiece);
                        } else if (secondOfPair) {
                            // Next to the first: its piece extended, or joined to the one beyond.
                            if (held == 0) continue;
                            add(j, ends, 3, 1);
                            add(j - 1, ends, 3, atFarEnd ? 0 : 1);
                        } else if (atFarEnd) {
                            // A piece of its own beyond the pair's piece takes that off the far end.
                            add(j + 1, ends, 2, 1);
                            add(j + 1, ends, 1, gaps - 1);
                            add(j, ends, g, open - held);
                            add(j - 1, ends, g, j - 1);
                        } else {
                            add(j + 1, ends, g, gaps);                                   // between pieces
                            add(j, ends, g, open - held);                                // at an open end
                            add(j - 1, ends, g, j - 1 - (g == 2 ? 1 : 0));               // joining two
                        }
                    }
                }
            }
        }
        now.swap(next);
        top = nextTop;
        longest = nextLongest;
    }
    if (top >= 1) std::copy(&now[at(1, 3, pair ? 3 : 0)], &now[at(1, 3, pair ? 3 : 0)] + width, out.begin());
    return out;
}

}  // namespace orvanta::line
