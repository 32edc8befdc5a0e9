// The cities of a board that lie on one row or column, all but one, and the
// orderings of them counted by the length they run along the line. Internal
// to the solver (solver_line.cpp).
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "core/board.h"
#include "core/solve_run.h"

namespace orvanta::line {

// Sets of cities as bit masks, city c as bit c (city 0 may lie on the line).
inline std::uint32_t bit(std::int32_t city) { return 1u << city; }

struct LineCities {
    std::int32_t n = 0;
    std::int32_t lifted = 0;                // the one city off the line
    std::uint32_t all = 0;                  // the cities on it
    std::int64_t place[kMaxCities] = {};    // along the line, in units from the first
    std::int32_t byPlace[kMaxCities] = {};  // the cities on it in order along it
    std::int32_t count = 0;                 // how many
    std::int64_t span = 0;                  // from the first along the line to the last
    std::int64_t units = 0;                 // the longest path counted
    double unit = 0.0;
    double distance[kMaxCities][kMaxCities] = {};  // the board's distances

    // The units an edge runs along the line; none for those of the lifted city.
    std::int64_t along(std::int32_t x, std::int32_t y) const {
        if (x == lifted || y == lifted) return 0;
        return place[x] > place[y] ? place[x] - place[y] : place[y] - place[x];
    }
};

// Whether all the board's cities but one lie on one row or column (not all
// on one point), the first such city taken as the lifted one; fills `line`.
bool lineCitiesOf(const Board& board, std::int32_t fewest, LineCities& line);

// The orderings that start at one city of a set of the line's cities, take
// all of it and end at another, by their length in units; counts per set,
// start and end kept for the next asks, within a bound of memory.
class PathCounter {
public:
    PathCounter(const LineCities& cities, SolveRun& solveRun) : line(cities), run(solveRun) {}

    // The orderings from `from` through all of `set` to `to` that run
    // `units` along the line.
    std::uint64_t orderings(std::uint32_t set, std::int32_t from, std::int32_t to, std::int64_t units) {
        return cachedOrderings(set, from, to, -1, -1, units);
    }
    // Those of them in which x comes right before y, the edge between them not counted.
    std::uint64_t orderingsWithPair(std::uint32_t set, std::int32_t from, std::int32_t to, std::int32_t x, std::int32_t y,
                                    std::int64_t units);

private:
    // One length's count, from the counts by units of the set, ends and pair
    // kept in `cache` (counted by countByUnits when not there yet).
    std::uint64_t cachedOrderings(std::uint32_t set, std::int32_t from, std::int32_t to, std::int32_t x, std::int32_t y,
                                  std::int64_t units);
    std::vector<std::uint64_t> countByUnits(std::uint32_t set, std::int32_t from, std::int32_t to, std::int32_t x, std::int32_t y);

    // A count's state, which ends of the ordering are placed: bits.
    static constexpr std::int32_t kFromPlaced = 1;
    static constexpr std::int32_t kToPlaced = 2;
    static constexpr std::int32_t kBothPlaced = 3;
    // How far the pair x, y is taken: neither; the first, its piece at the
    // far end; the first, its piece elsewhere; both.
    enum PairState : std::int32_t { kNeither = 0, kFirstAtFarEnd = 1, kFirstElsewhere = 2, kBoth = 3 };
    // The end kept open for the pair's second city, its edge not counted:
    // one while only the first of the pair is taken.
    static std::int64_t heldEnds(std::int32_t state) { return state == kFirstAtFarEnd || state == kFirstElsewhere ? 1 : 0; }
    // One count's sweep along the line (see solver_line_paths.cpp): its
    // states in `now`, by pieces, ends placed and pair state, a row of
    // orderings by units each; `next` for the states after each city.
    struct Sweep {
        const LineCities& line;
        SolveRun& run;
        std::vector<std::uint64_t>& now;
        std::vector<std::uint64_t>& next;
        std::uint32_t set = 0;
        std::int32_t from = 0;
        std::int32_t to = 0;
        std::int32_t x = -1;
        std::int32_t y = -1;
        std::int32_t members = 0;
        bool pair = false;
        std::int32_t pairStates = 1;
        std::size_t width = 0;
        std::int64_t farPlace = 0;      // the place of the set's last city
        bool xFirst = false;            // x comes before y along the line
        std::int32_t mostPieces = 0;    // the most pieces of any state
        std::int64_t longest = 0;       // the most units of any state
        std::int32_t taken = 0;         // cities taken so far
        std::int64_t placeBefore = -1;  // the place of the last taken

        // What the city taken is to the ordering.
        enum class Role { From, To, FirstOfPair, SecondOfPair, Other };
        // The states one state goes on to when a city is taken (rows of
        // `next`), and in how many ways each.
        struct Moves {
            std::size_t rowAfter[4] = {};
            std::uint64_t ways[4] = {};
            std::int32_t count = 0;
            std::int32_t mostPieces = 0;
        };

        std::size_t row(std::int32_t pieces, std::int32_t ends, std::int32_t state) const {
            return ((static_cast<std::size_t>(pieces) * 4 + static_cast<std::size_t>(ends)) * static_cast<std::size_t>(pairStates) +
                    static_cast<std::size_t>(state)) *
                   width;
        }
        void start(std::uint32_t cities, std::int32_t orderingFrom, std::int32_t orderingTo, std::int32_t pairX, std::int32_t pairY);
        void take(std::int32_t c);
        Role roleOf(std::int32_t c) const;
        Moves movesFrom(Role role, std::int32_t pieces, std::int32_t ends, std::int32_t state, bool last) const;
        // A state the moves go from, and whether the city taken is the set's last.
        struct StateAt {
            std::int32_t pieces;
            std::int32_t ends;
            std::int32_t state;
            bool last;
        };
        void addMove(Moves& moves, const StateAt& at, std::int32_t pieces, std::int32_t ends, std::int32_t state, std::int64_t ways) const;
        void endMoves(Moves& moves, const StateAt& at, std::int32_t placed, bool heldHere) const;
        void firstOfPairMoves(Moves& moves, const StateAt& at) const;
        void passingMoves(Moves& moves, const StateAt& at) const;
        std::int64_t carry(const std::uint64_t* orderingsByUnits, std::int64_t first, std::int64_t end, std::int64_t shift,
                           const Moves& moves);
    };

    const LineCities& line;
    SolveRun& run;
    std::unordered_map<std::uint64_t, std::vector<std::uint64_t>> cache;
    std::vector<std::uint64_t> now;
    std::vector<std::uint64_t> next;
};

}  // namespace orvanta::line
