// Random boards of 8 to 11 cities that the counting solve is built for, each
// solved by the solver and by the plain enumeration of tests/reference and
// compared byte for byte: cities on lines at any slope (evenly spaced or not,
// shuffled, points repeated, now and then one city moved off the line or a
// few moved by one unit) and cities on two to four parallel rows a unit
// apart and far apart along them (taken in turn: periods 2 to 4), in order
// along them or not, with old contents in the table. Boards the counting
// refuses are compared too: the search must give the same, half of them with
// subtrees counted whole from the first full table on. (A count refused after
// its walks adds their tours to the search's, so tours are not compared here.)
//
// solver_sweep [first seed] [boards]: the test run takes 1200 boards
// from seed 1; the target solver_sweep_long runs many more.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/solver.h"
#include "core/solver_search.h"
#include "reference/reference_solver.h"
#include "support/boards.h"
#include "support/fake_clock.h"

namespace orvanta {
namespace {

// What the solves of these tests did, added up.
SolveStatistics kept;

using test::Draw;

// Lattice steps of lines: slanted ones, whose distances are whole multiples
// of a square root, and rows, columns and 3:4 for whole distances.
constexpr City kSteps[] = {{1, 1}, {1, -1}, {1, 2}, {2, 1}, {2, 3}, {3, -2}, {1, 3}, {3, 1}, {1, 4},
                           {2, 5}, {1, 0}, {0, 1}, {3, 4}};

std::vector<City> slantedLine(std::int32_t n, Draw& draw, std::int32_t& grid) {
    const City step = kSteps[draw.below(static_cast<std::int32_t>(sizeof kSteps / sizeof kSteps[0]))];
    // Steps of the 10000 grid are a multiple of the lattice step, up to 600.
    const bool large = draw.below(2) == 0;
    const std::int32_t reach = (large ? 9000 : 36) / (std::abs(step.x) + std::abs(step.y));
    const std::int32_t scale = large ? 1 + draw.below(reach / 20) : 1;
    const std::int32_t span = reach / scale;
    const bool even = draw.below(3) == 0;
    std::vector<std::int32_t> at;
    for (std::int32_t i = 0; i < n; ++i) {
        if (i > 0 && draw.below(6) == 0) {
            at.push_back(at[static_cast<std::size_t>(draw.below(i))]);  // a point taken again
        } else {
            at.push_back(even ? i : draw.below(span < n ? n : span));
        }
    }
    for (std::int32_t i = n - 1; i > 0; --i) std::swap(at[static_cast<std::size_t>(i)], at[static_cast<std::size_t>(draw.below(i + 1))]);
    grid = large ? 10000 : 41;
    const City origin{step.x < 0 ? grid - 2 : 2, step.y < 0 ? grid - 2 : 2};
    std::vector<City> cities = test::onLine(origin, City{step.x * scale, step.y * scale}, at);
    const std::int32_t off = draw.below(8);
    if (off == 0) cities[static_cast<std::size_t>(draw.below(n))].x += 1 + draw.below(3);
    // A few cities moved one unit off the line, as the editor's neighbours are.
    for (std::int32_t moved = off == 1 ? 1 + draw.below(3) : 0; moved > 0; --moved) {
        City& c = cities[static_cast<std::size_t>(draw.below(n))];
        (draw.below(2) == 0 ? c.x : c.y) += c.x > 2 && c.y > 2 && draw.below(2) == 0 ? -1 : 1;
    }
    return cities;
}

std::vector<City> closeRows(std::int32_t n, Draw& draw, std::int32_t& grid) {
    const std::int32_t rows = 2 + draw.below(3);
    const std::int32_t spacing = 250 + draw.below(1200);
    const bool columns = draw.below(2) == 0;
    const bool inTurn = draw.below(2) == 0;
    // Listed along the rows, as a file of (s·i, i mod k) lists them, or out of order.
    const bool inOrder = draw.below(2) == 0;
    std::vector<City> cities;
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t slot = inOrder ? i : i * 7 % n;
        const std::int32_t along = 100 + spacing * slot;
        const std::int32_t across = 4000 + (inTurn ? slot % rows : draw.below(rows));
        cities.push_back(columns ? City{across, along} : City{along, across});
    }
    if (draw.below(4) == 0) cities[static_cast<std::size_t>(1 + draw.below(n - 1))] = cities[static_cast<std::size_t>(draw.below(n))];
    grid = 10000 + 1000 * n;
    return cities;
}

struct Tally {
    std::int32_t boards = 0;
    std::int32_t counted = 0;
    std::int32_t wrong = 0;
    std::int32_t countedWhole = 0;
    std::int32_t shortestWalked = 0;
};

void compare(const Board& board, const std::string& what, Draw& draw, Tally& tally) {
    Board fast = board;
    fast.spectrum.count = draw.below(kSpectrumEntries + 1);
    for (std::int32_t i = 0; i < kSpectrumEntries; ++i) {
        fast.spectrum.lengths[i] = 1.0 + draw.below(1000) / 7.0;
        fast.spectrum.counts[i] = draw.below(100000);
    }
    Board slow = fast;
    fake::resetClock();
    const std::int64_t countedBefore = kept.countedSolves;
    const std::int64_t walkedBefore = kept.countedWithShortestWalked;
    const std::int64_t wholeBefore = kept.subtreesCountedWhole;
    searchTurns.countWholeAfter = draw.below(2) == 0 ? 1 : SearchTurns{}.countWholeAfter;
    const bool solved = ensureSolved(fast, Solve::Forced, &kept);
    searchTurns = SearchTurns{};
    tally.countedWhole += kept.subtreesCountedWhole != wholeBefore ? 1 : 0;
    std::int32_t throttle = 0;
    const reference::Outcome outcome = reference::solveExhaustive(slow, throttle);
    ++tally.boards;
    tally.counted += kept.countedSolves != countedBefore ? 1 : 0;
    tally.shortestWalked += kept.countedWithShortestWalked != walkedBefore ? 1 : 0;
    const bool same = solved == outcome.solved && std::memcmp(&fast.spectrum, &slow.spectrum, sizeof(PathSpectrum)) == 0 &&
                      std::memcmp(fast.solutionRoute.items, slow.solutionRoute.items, sizeof(std::int32_t) * kRouteCapacity) == 0 &&
                      std::memcmp(&fast.solutionLength, &slow.solutionLength, sizeof(double)) == 0;
    if (same) return;
    ++tally.wrong;
    std::printf("DIFFERS: %s:", what.c_str());
    for (std::int32_t i = 0; i < board.cityCount; ++i) std::printf(" (%d,%d)", board.cities[i].x, board.cities[i].y);
    std::printf("\n");
}

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) {
    using namespace orvanta;
    const std::uint32_t first = argc > 1 ? static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 1;
    const std::int32_t boards = argc > 2 ? std::atoi(argv[2]) : 200;
    Tally tally;
    for (std::int32_t k = 0; k < boards; ++k) {
        const std::uint32_t seed = first + static_cast<std::uint32_t>(k);
        Draw draw{seed * 2654435761u};
        // Mostly 8 to 10 cities; eleven take the enumeration a second.
        const std::int32_t n = draw.below(8) == 0 ? 11 : 8 + draw.below(3);
        std::int32_t grid = 0;
        const bool line = draw.below(3) != 0;
        const std::vector<City> cities = line ? slantedLine(n, draw, grid) : closeRows(n, draw, grid);
        const std::string what = std::string(line ? "line" : "rows") + ", seed " + std::to_string(seed);
        compare(test::boardWith(grid, cities), what, draw, tally);
    }
    std::printf("%d boards, %d counted (%d with the shortest lengths walked), %d with subtrees counted whole, %d differ\n", tally.boards,
                tally.counted, tally.shortestWalked, tally.countedWhole, tally.wrong);
    // A long enough sweep has boards of each way.
    const bool exercised = boards < 100 || (tally.countedWhole > 0 && tally.shortestWalked > 0);
    return tally.wrong == 0 && tally.boards > 0 && exercised ? 0 : 1;
}
