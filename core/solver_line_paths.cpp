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
            for (std::int32_t j = 0; j < n; ++j) line.distance[i][j] = board.cityDistance(i, j);
        return true;
    }
    return false;
}

std::uint64_t PathCounter::orderingsWithPair(std::uint32_t set, std::int32_t from, std::int32_t to, std::int32_t x, std::int32_t y,
                                    std::int64_t units) {
    if (x == to || y == from || (set & bit(x)) == 0 || (set & bit(y)) == 0) return 0;
    // At either end of the ordering, the pair is an ordering of one city fewer.
    if (x == from) return orderings(set & ~bit(x), y, to, units);
    if (y == to) return orderings(set & ~bit(y), from, x, units);
    return cachedOrderings(set, from, to, x, y, units);
}

std::uint64_t PathCounter::cachedOrderings(std::uint32_t set, std::int32_t from, std::int32_t to, std::int32_t x, std::int32_t y,
                                   std::int64_t units) {
    if (units < 0 || units > line.units || (set & bit(from)) == 0 || (set & bit(to)) == 0) return 0;
    const auto id = [](std::int32_t city) { return static_cast<std::uint64_t>(city < 0 ? 31 : city); };
    const std::uint64_t key = (static_cast<std::uint64_t>(set) << 20) | (id(from) << 15) | (id(to) << 10) | (id(x) << 5) | id(y);
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() * static_cast<std::size_t>(line.units + 1) * sizeof(std::uint64_t) >= kCachedCountsBytes) cache.clear();
        it = cache.emplace(key, countByUnits(set, from, to, x, y)).first;
    }
    return it->second[static_cast<std::size_t>(units)];
}

// The count sweeps along the line, taking the set's cities in order. Its
// states: the pieces (paths) the cities taken so far make, which ends of the
// ordering are placed (kFromPlaced, kToPlaced), and for the pair x, y how far
// it is taken (PairState); each state holds its orderings by the units run so
// far. Crossing the gap to the next city adds its length once per open end.
void PathCounter::Sweep::start(std::uint32_t cities, std::int32_t orderingFrom, std::int32_t orderingTo, std::int32_t pairX,
                               std::int32_t pairY) {
    set = cities;
    from = orderingFrom;
    to = orderingTo;
    x = pairX;
    y = pairY;
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

// The states after taking city c, the next of the set along the line: each
// state's orderings, their units grown by the gap once per open end, go on
// to the states its moves reach.
void PathCounter::Sweep::take(std::int32_t c) {
    const bool last = ++taken == members;
    const std::int64_t gap = placeBefore < 0 ? 0 : line.place[c] - placeBefore;
    placeBefore = line.place[c];
    // Every gap still ahead is crossed at least once.
    const std::int64_t most = line.units - (farPlace - line.place[c]);
    std::fill(next.begin(), next.begin() + static_cast<std::ptrdiff_t>(row(mostPieces + 2, 0, 0)), 0);
    const Role role = roleOf(c);
    std::int32_t nextMostPieces = 0;
    std::int64_t nextLongest = 0;
    for (std::int32_t pieces = 0; pieces <= mostPieces; ++pieces) {
        // A step of work per few states: a count of many cities over many
        // units is long, and the run looks at its clock by steps.
        run.steps(1 + static_cast<std::int32_t>(4 * pairStates * (longest + 1) / kStatesPerStep));
        for (std::int32_t ends = 0; ends < 4; ++ends) {
            const std::int64_t open = 2 * pieces - (ends & kFromPlaced) - ((ends & kToPlaced) >> 1);
            if (open < 0) continue;  // no such state
            for (std::int32_t state = 0; state < pairStates; ++state) {
                // The end kept open for the pair's second city does not cross the gap.
                const std::int64_t shift = gap * (open - heldEnds(state));
                if (shift > most) continue;  // too long already
                const std::uint64_t* orderingsByUnits = &now[row(pieces, ends, state)];
                const std::int64_t end = std::min(longest, most - shift);
                std::int64_t first = 0;
                while (first <= end && orderingsByUnits[first] == 0) ++first;
                if (first > end) continue;  // no orderings in this state
                const Moves moves = movesFrom(role, pieces, ends, state, last);
                nextLongest = std::max(nextLongest, carry(orderingsByUnits, first, end, shift, moves));
                nextMostPieces = std::max(nextMostPieces, moves.mostPieces);
            }
        }
    }
    now.swap(next);
    mostPieces = nextMostPieces;
    longest = nextLongest;
}

PathCounter::Sweep::Role PathCounter::Sweep::roleOf(std::int32_t c) const {
    if (c == from) return Role::From;
    if (c == to) return Role::To;
    if (pair && c == (xFirst ? x : y)) return Role::FirstOfPair;
    if (pair && c == (xFirst ? y : x)) return Role::SecondOfPair;
    return Role::Other;
}

// Where the city taken goes, in its role, from one state: a piece of its
// own, at an open end of a piece, or joining two; each move with the number
// of ways it is made.
PathCounter::Sweep::Moves PathCounter::Sweep::movesFrom(Role role, std::int32_t pieces, std::int32_t ends, std::int32_t state,
                                                        bool last) const {
    Moves moves;
    const StateAt at{pieces, ends, state, last};
    // The pair's first city taken, its piece at the far end (the last piece
    // when x comes first, the first when y does).
    const bool atFarEnd = state == kFirstAtFarEnd;
    switch (role) {
        case Role::From:
            endMoves(moves, at, kFromPlaced, !xFirst && atFarEnd);
            break;
        case Role::To:
            endMoves(moves, at, kToPlaced, xFirst && atFarEnd);
            break;
        case Role::FirstOfPair:
            firstOfPairMoves(moves, at);
            break;
        case Role::SecondOfPair:
            // Next to the first: its piece extended, or joined to the one beyond.
            if (heldEnds(state) == 0) break;
            addMove(moves, at, pieces, ends, kBoth, 1);
            addMove(moves, at, pieces - 1, ends, kBoth, atFarEnd ? 0 : 1);
            break;
        case Role::Other:
            passingMoves(moves, at);
            break;
    }
    return moves;
}

void PathCounter::Sweep::addMove(Moves& moves, const StateAt& at, std::int32_t pieces, std::int32_t ends, std::int32_t state,
                                 std::int64_t ways) const {
    // One piece from `from` to `to` is the whole ordering: only at the end.
    if (ways <= 0 || (pieces == 1 && ends == kBothPlaced && !at.last)) return;
    moves.rowAfter[moves.count] = row(pieces, ends, state);
    moves.ways[moves.count] = static_cast<std::uint64_t>(ways);
    ++moves.count;
    moves.mostPieces = std::max(moves.mostPieces, pieces);
}

// The ordering's first or last city (`placed` the end it closes): a piece of
// its own at that end, or at that end of the end piece, unless the pair's
// first city holds it (`heldHere`); a piece of its own then takes the pair's
// piece off the far end.
void PathCounter::Sweep::endMoves(Moves& moves, const StateAt& at, std::int32_t placed, bool heldHere) const {
    addMove(moves, at, at.pieces + 1, at.ends | placed, heldHere ? kFirstElsewhere : at.state, 1);
    if (!heldHere) addMove(moves, at, at.pieces, at.ends | placed, at.state, at.pieces > 0 ? 1 : 0);
}

// The first of the pair: x keeps its end after it open for y (y the one
// before it for x): a piece of its own, or at that side of a piece, the far
// one or another.
void PathCounter::Sweep::firstOfPairMoves(Moves& moves, const StateAt& at) const {
    if (at.state != kNeither) return;
    const std::int64_t fromPlaced = at.ends & kFromPlaced;
    const std::int64_t toPlaced = (at.ends & kToPlaced) >> 1;
    const std::int64_t gaps = at.pieces + 1 - fromPlaced - toPlaced;
    const std::int64_t closed = xFirst ? toPlaced : fromPlaced;
    const std::int64_t farGap = closed == 0 ? 1 : 0;
    const std::int64_t farPiece = closed == 0 && at.pieces > 0 ? 1 : 0;
    addMove(moves, at, at.pieces + 1, at.ends, kFirstAtFarEnd, farGap);
    addMove(moves, at, at.pieces + 1, at.ends, kFirstElsewhere, gaps - farGap);
    addMove(moves, at, at.pieces, at.ends, kFirstAtFarEnd, farPiece);
    addMove(moves, at, at.pieces, at.ends, kFirstElsewhere, at.pieces - closed - farPiece);
}

// Any other city: a piece of its own between two, at an open end of a piece
// (not the one held for the pair), or joining two neighbouring pieces (not
// across the held end).
void PathCounter::Sweep::passingMoves(Moves& moves, const StateAt& at) const {
    const std::int64_t fromPlaced = at.ends & kFromPlaced;
    const std::int64_t toPlaced = (at.ends & kToPlaced) >> 1;
    const std::int64_t gaps = at.pieces + 1 - fromPlaced - toPlaced;
    const std::int64_t openEnds = 2 * at.pieces - fromPlaced - toPlaced - heldEnds(at.state);
    if (at.state == kFirstAtFarEnd) {
        // A piece of its own beyond the pair's piece takes that off the far end.
        addMove(moves, at, at.pieces + 1, at.ends, kFirstElsewhere, 1);
        addMove(moves, at, at.pieces + 1, at.ends, kFirstAtFarEnd, gaps - 1);
        addMove(moves, at, at.pieces, at.ends, at.state, openEnds);
        addMove(moves, at, at.pieces - 1, at.ends, at.state, at.pieces - 1);
    } else {
        addMove(moves, at, at.pieces + 1, at.ends, at.state, gaps);
        addMove(moves, at, at.pieces, at.ends, at.state, openEnds);
        addMove(moves, at, at.pieces - 1, at.ends, at.state, at.pieces - 1 - (at.state == kFirstElsewhere ? 1 : 0));
    }
}

// Adds one state's orderings of `first` to `end` units (some at `first`),
// `shift` units further on, to the states its moves reach; returns the most
// units reached.
std::int64_t PathCounter::Sweep::carry(const std::uint64_t* orderingsByUnits, std::int64_t first, std::int64_t end, std::int64_t shift,
                                       const Moves& moves) {
    std::int64_t reached = first + shift;
    std::uint64_t* const after = next.data() + shift;
    for (std::int64_t units = first; units <= end; ++units) {
        const std::uint64_t orderings = orderingsByUnits[units];
        if (orderings == 0) continue;
        reached = units + shift;
        for (std::int32_t m = 0; m < moves.count; ++m)
            after[moves.rowAfter[m] + static_cast<std::size_t>(units)] += orderings * moves.ways[m];
    }
    return reached;
}

std::vector<std::uint64_t> PathCounter::countByUnits(std::uint32_t set, std::int32_t from, std::int32_t to, std::int32_t x,
                                                     std::int32_t y) {
    run.step();
    std::vector<std::uint64_t> out(static_cast<std::size_t>(line.units + 1), 0);
    const std::int32_t members = countMembers(set);
    if (members == 1 || from == to) {
        if (members == 1 && from == to) out[0] = 1;
        return out;
    }
    Sweep sweep{line, run, now, next};
    sweep.start(set, from, to, x, y);
    for (std::int32_t k = 0; k < line.count; ++k) {
        const std::int32_t c = line.byPlace[k];
        if ((set & bit(c)) != 0) sweep.take(c);
    }
    // The orderings: one piece, both ends placed, the pair (if any) taken.
    if (sweep.mostPieces >= 1) {
        const std::uint64_t* whole = &now[sweep.row(1, kBothPlaced, sweep.pair ? kBoth : kNeither)];
        std::copy(whole, whole + out.size(), out.begin());
    }
    return out;
}

}  // namespace orvanta::line
