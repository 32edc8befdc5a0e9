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
    double d[kMaxCities][kMaxCities] = {};  // the board's distances

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

    std::uint64_t paths(std::uint32_t set, std::int32_t from, std::int32_t to, std::int64_t units) {
        return counted(set, from, to, -1, -1, units);
    }
    // Those of them in which x comes right before y, the edge between them not counted.
    std::uint64_t adjacent(std::uint32_t set, std::int32_t from, std::int32_t to, std::int32_t x, std::int32_t y, std::int64_t units);

private:
    std::uint64_t counted(std::uint32_t set, std::int32_t from, std::int32_t to, std::int32_t x, std::int32_t y, std::int64_t units);
    std::vector<std::uint64_t> count(std::uint32_t set, std::int32_t from, std::int32_t to, std::int32_t x, std::int32_t y);

    const LineCities& line;
    SolveRun& run;
    std::unordered_map<std::uint64_t, std::vector<std::uint64_t>> cache;
    std::vector<std::uint64_t> now;
    std::vector<std::uint64_t> next;
};

}  // namespace orvanta::line
