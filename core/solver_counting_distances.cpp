// The distances of a board as the counting solve takes them: whole multiples
// of one unit, or nearly whole numbers with the drift of their sums
// (solver_counting_distances.h).
#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

#include "core/board.h"
#include "core/solver_counting_distances.h"

namespace orvanta::counting {

namespace {

// Tours of at least this many grid units could share an entry with a
// different length, and are left to the search.
constexpr std::int64_t kLengthLimit = 1000000;
// A coordinate difference beyond this cannot belong to such a board.
constexpr std::int64_t kDifferenceLimit = kLengthLimit;
// Distances further than this from a whole number are not counted.
constexpr double kNearlyWhole = 0.05;
std::uint32_t gcd(std::uint32_t a, std::uint32_t b) {
    while (b != 0) {
        const std::uint32_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

// The square-free part of a positive number: it with every square factor
// divided out. After the factors up to the cube root, what is left has at
// most two prime factors, both larger: a square, or square-free.
std::uint64_t squareFreePart(std::uint64_t value) {
    std::uint64_t part = 1;
    for (std::uint64_t p = 2; p * p * p <= value; ++p) {
        while (value % (p * p) == 0) value /= p * p;
        if (value % p == 0) {
            part *= p;
            value /= p;
        }
    }
    auto root = static_cast<std::uint64_t>(std::llround(std::sqrt(static_cast<double>(value))));
    return root * root == value ? part : part * value;
}

// The radicand r of the common unit of a board whose distances are all whole
// multiples of the square root of one square-free r: every dx² + dy² is r
// times a square, so the gcd of them all is r times a square too. 1 when
// there is no such r besides 1 (then the distances are whole or nothing).
std::uint64_t commonRadicand(const Board& board) {
    std::uint64_t all = 0;
    for (std::int32_t a = 0; a < board.cityCount; ++a) {
        for (std::int32_t b = a + 1; b < board.cityCount; ++b) {
            const std::int64_t dx = static_cast<std::int64_t>(board.cities[a].x) - board.cities[b].x;
            const std::int64_t dy = static_cast<std::int64_t>(board.cities[a].y) - board.cities[b].y;
            if (dx > kDifferenceLimit || dx < -kDifferenceLimit || dy > kDifferenceLimit || dy < -kDifferenceLimit) return 1;
            all = std::gcd(all, static_cast<std::uint64_t>(dx * dx + dy * dy));
        }
    }
    return all == 0 ? 1 : squareFreePart(all);
}

}  // namespace

// Reads the distances as whole multiples of the common unit, or as nearly
// whole ones (each within kNearlyWhole of its nearest whole number, when the
// radicand is 1) with their drift; false otherwise, or if a tour could reach
// the length limit.
std::int64_t Distances::wholeMultiple(const Board& board, std::int32_t a, std::int32_t b) {
    const std::int64_t dx = static_cast<std::int64_t>(board.cities[a].x) - board.cities[b].x;
    const std::int64_t dy = static_cast<std::int64_t>(board.cities[a].y) - board.cities[b].y;
    if (dx > kDifferenceLimit || dx < -kDifferenceLimit || dy > kDifferenceLimit || dy < -kDifferenceLimit) return -1;
    const std::int64_t square = dx * dx + dy * dy;
    if (square % static_cast<std::int64_t>(radicand) != 0) return -1;
    const std::int64_t multiple = square / static_cast<std::int64_t>(radicand);
    auto whole = static_cast<std::int64_t>(std::llround(std::sqrt(static_cast<double>(multiple))));
    while (whole * whole > multiple) --whole;
    while ((whole + 1) * (whole + 1) <= multiple) ++whole;
    const double there = board.cityDistance(a, b);
    if (there != board.cityDistance(b, a)) return -1;
    if (radicand == 1) {
        // The nearest whole number: whole or whole + 1. The solver sums
        // the board's own distances; their differences from whole
        // numbers are exact in doubles.
        if (multiple - whole * whole > (whole + 1) * (whole + 1) - multiple) ++whole;
        const double off = there - static_cast<double>(whole);
        if (std::fabs(off) > kNearlyWhole) return -1;
        near = near || off != 0.0;
    } else if (whole * whole != multiple) {
        return -1;  // not a whole multiple of the root of the radicand
    }
    exact[at(a, b)] = there;
    exact[at(b, a)] = there;
    return whole;
}

// A tour leaves every city by two edges, so the differences along it that
// lie above the whole numbers add up to at most half the sum, over the
// cities, of the two largest such differences at each (one edge taken twice
// when there are two cities); likewise below. A multiple k of the root of a
// radicand above 1 is irrational: the board's distance is k√r rounded once,
// off by at most half a unit in its last place, 2⁻⁵³ of it, either way (2⁻⁵²
// is kept).
void Distances::measureDrifts(double mostLength) {
    double above = 0.0, below = 0.0;
    for (std::int32_t a = 0; a < n; ++a) {
        double up[2] = {0.0, 0.0}, down[2] = {0.0, 0.0};
        const auto take = [](double* two, double size) {
            if (size > two[0]) {
                two[1] = two[0];
                two[0] = size;
            } else if (size > two[1]) {
                two[1] = size;
            }
        };
        for (std::int32_t b = 0; b < n; ++b) {
            if (radicand == 1) {
                const double off = boardDistance(a, b) - static_cast<double>(unitsBetween(a, b));
                take(off > 0.0 ? up : down, std::fabs(off));
            } else {
                take(up, std::ldexp(boardDistance(a, b), -52));
                take(down, std::ldexp(boardDistance(a, b), -52));
            }
        }
        above += n == 2 ? 2.0 * up[0] : up[0] + up[1];
        below += n == 2 ? 2.0 * down[0] : down[0] + down[1];
    }
    // Each of the n additions of a tour rounds by at most half a unit in
    // the last place (2^-53 of it) of a sum below the longest tour; twice
    // that is kept, and the spare half also covers the rounding of `above`
    // and `below` themselves (2n additions of numbers below them). (With a
    // radicand above 1, unitLength is rounded too: lengthsKeepApart keeps
    // a thousandth of a tolerance for the rounding of its products.)
    rounding = n * (mostLength * n + above) * 2.3e-16;
    driftAbove = 0.5 * above + rounding;
    driftBelow = 0.5 * below + rounding;
}

void Distances::countInUnits(std::int64_t most) {
    for (std::uint32_t& x : distance) {
        x /= unit;
        if (x != 0 && (shortest == 0 || x < shortest)) shortest = x;
    }
    longest = static_cast<std::uint32_t>(most) / unit * static_cast<std::uint32_t>(n);
}

bool Distances::measure(const Board& board, std::uint64_t squareFree) {
    radicand = squareFree;
    near = radicand != 1;
    shortest = 0;
    distance.assign(static_cast<std::size_t>(n) * static_cast<std::size_t>(n), 0);
    exact.assign(static_cast<std::size_t>(n) * static_cast<std::size_t>(n), 0.0);
    const double root = std::sqrt(static_cast<double>(radicand));
    std::int64_t most = 0;
    std::uint32_t common = 0;
    for (std::int32_t a = 0; a < n; ++a) {
        for (std::int32_t b = a + 1; b < n; ++b) {
            const std::int64_t whole = wholeMultiple(board, a, b);
            if (whole < 0) return false;
            if (whole > most) most = whole;
            const auto units = static_cast<std::uint32_t>(whole);
            distance[at(a, b)] = units;
            distance[at(b, a)] = units;
            common = gcd(units, common);
        }
    }
    // A tour has n edges, none longer than the longest distance.
    const double mostLength = static_cast<double>(most) * root;
    if (mostLength * n >= static_cast<double>(kLengthLimit)) return false;
    unit = common == 0 ? 1 : common;  // all cities on one point: every distance is 0
    unitLength = static_cast<double>(unit) * root;
    if (near) measureDrifts(mostLength);
    countInUnits(most);
    return true;
}

// Whole distances (or nearly whole) first, as they always were; else whole
// multiples of the root of a common radicand, cities along a slanted line.
bool Distances::measure(const Board& board) {
    if (measure(board, 1)) return true;
    const std::uint64_t common = commonRadicand(board);
    return common != 1 && measure(board, common);
}

}  // namespace orvanta::counting
