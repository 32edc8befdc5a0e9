// Internal to the counting solve: the board's distances as it counts them,
// whole multiples of one unit, and how far the board's own distances drift
// from those. measure() is in solver_counting_distances.cpp,
// measureDriftRange() in solver_counting_spread.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/board.h"
#include "core/solve_run.h"

namespace orvanta::counting {

struct Programme;
struct Storage;

struct Distances {
    std::int32_t n = 0;
    std::vector<std::uint32_t> distance;  // n × n, in units
    // Distances only nearly whole: each is counted as its nearest whole
    // number, and its own value (the board's distance) is kept beside it.
    bool near = false;
    std::vector<double> exact;  // n × n board distances, when near
    // No tour's length lies further than these above or below the whole
    // number it is counted as (grid units), rounding of the sums included.
    double driftAbove = 0.0;
    double driftBelow = 0.0;
    // The most by which rounding moves a tour's sum, within those drifts.
    double rounding = 0.0;
    // The least and the greatest sum of the differences from whole numbers
    // along any tour, when measured (solver_counting_spread.cpp).
    double leastDrift = 0.0;
    double mostDrift = 0.0;
    // Distances are whole multiples of √radicand (radicand square-free; 1
    // for whole numbers), counted in units of unit such multiples: one unit
    // is unitLength grid units (rounded, when the radicand is above 1).
    std::uint64_t radicand = 1;
    std::uint32_t unit = 1;               // gcd of the non-zero multiples
    double unitLength = 1.0;
    std::uint32_t longest = 0;            // no tour is longer, in units
    std::uint32_t shortest = 0;           // shortest non-zero distance, in units

    // Where the distance from a to b lies in `distance` and `exact`.
    std::size_t at(std::int32_t a, std::int32_t b) const {
        return static_cast<std::size_t>(a) * static_cast<std::size_t>(n) + static_cast<std::size_t>(b);
    }
    // The distance from a to b in units, and the board's own (kept when near).
    std::uint32_t unitsBetween(std::int32_t a, std::int32_t b) const { return distance[at(a, b)]; }
    double boardDistance(std::int32_t a, std::int32_t b) const { return exact[at(a, b)]; }

    bool measure(const Board& board);
    bool measure(const Board& board, std::uint64_t radicand);
    bool measureDriftRange(const Programme& programme, const Storage& storage, SolveRun& run);

private:
    // The steps of measure: one distance as a whole multiple of the root of
    // the radicand (-1 when it is none, nor near enough to one); the drifts
    // of the tours' sums; the distances in units.
    std::int64_t wholeMultiple(const Board& board, std::int32_t a, std::int32_t b);
    void measureDrifts(double mostLength);
    void countInUnits(std::int64_t most);
};

}  // namespace orvanta::counting
