// Boards built for tests and benchmarks: square grids with cities put where
// the caller says.
#pragma once

#include <cstdint>
#include <vector>

#include "core/board.h"

namespace orvanta::test {

// A side-by-side board with the cities added as the editor adds them: a point
// already taken, or one off the grid, is refused.
inline Board boardOf(std::int32_t side, const std::vector<City>& cities) {
    Board b;
    std::int32_t w = side, h = side, n = 0;
    b.configureBoard(w, h, n);
    for (const City& c : cities) b.addCity(c.x, c.y);
    return b;
}

// The cities placed as given on a width-by-height grid, several on one point
// where they repeat, as only a file can place them.
inline Board boardWith(std::int32_t width, std::int32_t height, const std::vector<City>& cities) {
    Board b;
    std::int32_t w = width, h = height, n = 0;
    b.configureBoard(w, h, n);
    b.cityCount = static_cast<std::int32_t>(cities.size());
    for (std::size_t i = 0; i < cities.size(); ++i) b.cities[static_cast<std::int32_t>(i)] = cities[i];
    return b;
}

// The same on a square grid.
inline Board boardWith(std::int32_t side, const std::vector<City>& cities) { return boardWith(side, side, cities); }

// `count` cities 500 apart along the bottom row of the 10000-grid, the sixth
// lifted 3 units off it: from 14 cities on, the counting refuses it (no
// distance to the lifted city is nearly whole enough); its tours are counted
// per class of the lifted city's neighbours.
inline Board rowWithOneOff(std::int32_t count) {
    std::vector<City> cities;
    for (std::int32_t i = 0; i < count; ++i) cities.push_back(City{500 * i, i == 5 ? 3 : 0});
    return boardOf(10000, cities);
}

// `count` cities `spacing` apart along a row of the 10000-grid, the i-th
// lifted i mod `period` units: close rows that only a file makes. Distances
// across rows are only nearly whole: the counting takes the rows far enough
// apart that only the shortest lengths' tours split into entries of their
// own, and the search walks the others' tours near the optimum.
inline std::vector<City> closeRowCities(std::int32_t count, std::int32_t period, std::int32_t spacing) {
    std::vector<City> cities;
    for (std::int32_t i = 0; i < count; ++i) cities.push_back(City{spacing * i, 5000 + i % period});
    return cities;
}
inline Board closeRow(std::int32_t count, std::int32_t period, std::int32_t spacing) {
    return boardWith(10000, closeRowCities(count, period, spacing));
}

// `count` cities `spacing` apart along the diagonal of the 10000-grid, city
// `moved` a unit across: nearly every tour within reach of the table, as on
// a row with a city lifted, but not on a row, so the search walks it.
inline Board diagonalWithOneAcross(std::int32_t count, std::int32_t spacing, std::int32_t moved) {
    std::vector<City> cities;
    for (std::int32_t i = 0; i < count; ++i) cities.push_back(City{100 + spacing * i, 100 + spacing * i});
    cities[static_cast<std::size_t>(moved)].x += 1;
    return boardWith(10000, cities);
}

// `count` cities 2 units apart along the diagonal of the 41-grid, in order,
// cities `first` and `first + 1` moved one unit off it, one across and one
// up, as the editor places neighbours: most distances are whole multiples of
// the diagonal step, those of the two moved cities are not.
inline std::vector<City> diagonalWithTwoOff(std::int32_t count, std::int32_t first) {
    std::vector<City> cities;
    for (std::int32_t i = 0; i < count; ++i) cities.push_back(City{2 + 2 * i, 2 + 2 * i});
    cities[static_cast<std::size_t>(first)].x += 1;
    cities[static_cast<std::size_t>(first + 1)].y += 1;
    return cities;
}

// Deterministic draws for boards placed at random.
struct Draw {
    std::uint32_t state;
    std::int32_t below(std::int32_t n) {
        state = state * 1664525u + 1013904223u;
        return static_cast<std::int32_t>((state >> 8) % static_cast<std::uint32_t>(n));
    }
};

// Cities on the line from `origin` in lattice steps `step`, at the given
// numbers of steps (in the order given; repeats share a point).
inline std::vector<City> onLine(City origin, City step, const std::vector<std::int32_t>& at) {
    std::vector<City> cities;
    for (std::int32_t k : at) cities.push_back(City{origin.x + step.x * k, origin.y + step.y * k});
    return cities;
}

}  // namespace orvanta::test
