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

// The count sweeps along the line, taking the set's cities in order. Its
// states: the pieces (paths) the cities taken so far make, which ends of the
// ordering are placed (kFromPlaced, kToPlaced), and for the pair x, y how far
// it is taken (PairState); each state holds its orderings by the units run so
// far. Crossing the gap to the next city adds its length once per open end.
void PathCounter::Sweep::start(std::uint32_t cities, std::int32_t x, std::int32_t y) {
    set = cities;
    members = countMembers(set);
    pair = x >= 0;
    pairStates = pair ? 4 : 1;
    width = static_cast<std::size_t>(line.units + 1);
    for (std::uint32_t bits = set; bits != 0; bits &= bits - 1) farPlace = std::max(farPlace, line.place[lowestBit(bits)]);
    for (std::int32_t k = 0; pair && k < line.count; ++k) {
        if (line.byPlace[k] == x) xFirst = true;
        if (line.byPlace[k] == x || line.byPlace[k] == y) break;
    }
    // Only the rows of states reached are cleared and read.
    if (now.size() < row(members + 2, 0, 0)) {
        now.resize(row(members + 2, 0, 0));
        next.resize(row(members + 2, 0, 0));
    }
    std::fill(now.begin(), now.begin() + static_cast<std::ptrdiff_t>(row(1, 0, 0)), 0);
    now[row(0, 0, 0)] = 1;
}

// The states after taking city c, the next of the set along the line.
void PathCounter::Sweep::take(std::int32_t c, std::int32_t from, std::int32_t to, std::int32_t x, std::int32_t y) {
    const bool last = ++taken == members;
    const std::int64_t gap = placeBefore < 0 ? 0 : line.place[c] - placeBefore;
    placeBefore = line.place[c];
    // Every gap still ahead is crossed at least once.
    const std::int64_t most = line.units - (farPlace - line.place[c]);
    std::fill(next.begin(), next.begin() + static_cast<std::ptrdiff_t>(row(mostPieces + 2, 0, 0)), 0);
    std::int32_t nextMostPieces = 0;
    std::int64_t nextLongest = 0;
    const bool firstOfPair = pair && (xFirst ? c == x : c == y);
    const bool secondOfPair = pair && (xFirst ? c == y : c == x);
    for (std::int32_t pieces = 0; pieces <= mostPieces; ++pieces) {
        // A step of work per few states: a count of many cities over many
        // units is long, and the run looks at its clock by steps.
        run.steps(1 + static_cast<std::int32_t>(4 * pairStates * (longest + 1) / kStatesPerStep));
        for (std::int32_t ends = 0; ends < 4; ++ends) {
            const std::int64_t fromPlaced = ends & kFromPlaced;
            const std::int64_t toPlaced = (ends & kToPlaced) >> 1;
            const std::int64_t open = 2 * pieces - fromPlaced - toPlaced;
            if (open < 0) continue;  // no such state
            for (std::int32_t state = 0; state < pairStates; ++state) {
                // The end kept open for the pair's second city (its edge not
                // counted), and whether its piece is at the far end.
                const std::int64_t held = state == kFirstAtFarEnd || state == kFirstElsewhere ? 1 : 0;
                const bool atFarEnd = state == kFirstAtFarEnd;
                const std::int64_t shift = gap * (open - held);
                if (shift > most) continue;  // too long already
                const std::uint64_t* orderingsByUnits = &now[row(pieces, ends, state)];
                const std::int64_t end = std::min(longest, most - shift);
                for (std::int64_t units = 0; units <= end; ++units) {
                    const std::uint64_t orderings = orderingsByUnits[units];
                    if (orderings == 0) continue;
                    const auto unitsAfter = static_cast<std::size_t>(units + shift);
                    nextLongest = std::max(nextLongest, units + shift);
                    const auto add = [&](std::int32_t piecesAfter, std::int32_t endsAfter, std::int32_t stateAfter, std::int64_t ways) {
                        // One piece from `from` to `to` is the whole ordering: only at the end.
                        if (ways <= 0 || (piecesAfter == 1 && endsAfter == kBothPlaced && !last)) return;
                        next[row(piecesAfter, endsAfter, stateAfter) + unitsAfter] += orderings * static_cast<std::uint64_t>(ways);
                        nextMostPieces = std::max(nextMostPieces, piecesAfter);
                    };
                    const std::int64_t gaps = pieces + 1 - fromPlaced - toPlaced;
                    if (c == from) {
                        // A piece of its own, first; or at the start of the first piece,
                        // unless that start is held for x.
                        add(pieces + 1, ends | kFromPlaced, !xFirst && atFarEnd ? kFirstElsewhere : state, 1);
                        if (!(!xFirst && atFarEnd)) add(pieces, ends | kFromPlaced, state, pieces > 0 ? 1 : 0);
                    } else if (c == to) {
                        add(pieces + 1, ends | kToPlaced, xFirst && atFarEnd ? kFirstElsewhere : state, 1);
                        if (!(xFirst && atFarEnd)) add(pieces, ends | kToPlaced, state, pieces > 0 ? 1 : 0);
                    } else if (firstOfPair) {
                        // x keeps its end after it open for y (y the one before it for x):
                        // a piece of its own, or at that side of a piece, the far one or another.
                        const std::int64_t closed = xFirst ? toPlaced : fromPlaced;
                        const std::int64_t farGap = closed == 0 ? 1 : 0;
                        const std::int64_t farPiece = closed == 0 && pieces > 0 ? 1 : 0;
                        if (state != kNeither) continue;
                        add(pieces + 1, ends, kFirstAtFarEnd, farGap);
                        add(pieces + 1, ends, kFirstElsewhere, gaps - farGap);
                        add(pieces, ends, kFirstAtFarEnd, farPiece);
                        add(pieces, ends, kFirstElsewhere, pieces - closed - farPiece);
                    } else if (secondOfPair) {
                        // Next to the first: its piece extended, or joined to the one beyond.
                        if (held == 0) continue;
                        add(pieces, ends, kBoth, 1);
                        add(pieces - 1, ends, kBoth, atFarEnd ? 0 : 1);
                    } else if (atFarEnd) {
                        // A piece of its own beyond the pair's piece takes that off the far end.
                        add(pieces + 1, ends, kFirstElsewhere, 1);
                        add(pieces + 1, ends, kFirstAtFarEnd, gaps - 1);
                        add(pieces, ends, state, open - held);
                        add(pieces - 1, ends, state, pieces - 1);
                    } else {
                        add(pieces + 1, ends, state, gaps);                                          // between pieces
                        add(pieces, ends, state, open - held);                                       // at an open end
                        add(pieces - 1, ends, state, pieces - 1 - (state == kFirstElsewhere ? 1 : 0));  // joining two
                    }
                }
            }
        }
    }
    now.swap(next);
    mostPieces = nextMostPieces;
    longest = nextLongest;
}

std::vector<std::uint64_t> PathCounter::count(std::uint32_t set, std::int32_t from, std::int32_t to, std::int32_t x, std::int32_t y) {
    run.step();
    std::vector<std::uint64_t> out(static_cast<std::size_t>(line.units + 1), 0);
    const std::int32_t members = countMembers(set);
    if (members == 1 || from == to) {
        if (members == 1 && from == to) out[0] = 1;
        return out;
    }
    Sweep sweep{line, run, now, next};
    sweep.start(set, x, y);
    for (std::int32_t k = 0; k < line.count; ++k) {
        const std::int32_t c = line.byPlace[k];
        if ((set & bit(c)) != 0) sweep.take(c, from, to, x, y);
    }
    // The orderings: one piece, both ends placed, the pair (if any) taken.
    if (sweep.mostPieces >= 1) {
        const std::uint64_t* whole = &now[sweep.row(1, kBothPlaced, sweep.pair ? kBoth : kNeither)];
        std::copy(whole, whole + out.size(), out.begin());
    }
    return out;
}

}  // namespace orvanta::line
