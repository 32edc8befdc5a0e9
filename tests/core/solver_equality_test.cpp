// The pruned search against the plain enumeration kept in tests/reference:
// the same board, byte for byte, on generated, tie-heavy and near-tolerance
// boards, and never more tours than the enumeration.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "core/generator.h"
#include "core/solver.h"
#include "core/solver_line.h"
#include "core/solver_search.h"
#include "core/spectrum_table.h"
#include "reference/reference_solver.h"
#include "support/fake_clock.h"
#include "support/boards.h"

namespace orvanta {
namespace {

// What the solves of these tests did, added up.
SolveStatistics kept;

using test::boardOf;
using test::boardWith;

// Every tour length in enumeration order, summed the way both solvers sum.
std::vector<double> allTourLengths(const Board& b) {
    const int n = b.cityCount;
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) order[static_cast<std::size_t>(i)] = i;
    std::vector<double> lengths;
    do {
        double length = 0.0;
        for (int k = 0; k + 1 < n; ++k) length += b.cityDistance(order[static_cast<std::size_t>(k)], order[static_cast<std::size_t>(k + 1)]);
        lengths.push_back(length + b.cityDistance(order[static_cast<std::size_t>(n - 1)], 0));
    } while (std::next_permutation(order.begin() + 1, order.end()));
    return lengths;
}

// Every distance a whole number, and every tour well below a million units.
bool wholeDistances(const Board& b) {
    double longest = 0.0;
    for (std::int32_t i = 0; i < b.cityCount; ++i)
        for (std::int32_t j = 0; j < b.cityCount; ++j) {
            const double d = b.cityDistance(i, j);
            if (d != std::floor(d)) return false;
            longest = std::max(longest, d);
        }
    return longest * b.cityCount < 1e6;
}

// Solves one copy with the solver and one with the enumeration and compares
// everything they leave behind. Returns the tours the solver evaluated, which
// are checked against the enumeration's unless walks may be repeated.
std::int64_t expectSameAsEnumeration(const Board& board, const std::string& what, bool walkedOnce = true) {
    Board fast = board;
    Board slow = board;
    fast.solved = 0;
    slow.solved = 0;

    fake::resetClock();
    const std::int64_t toursBefore = kept.toursEvaluated;
    const std::int64_t countedBefore = kept.countedSolves;
    const std::int64_t shortestWalkedBefore = kept.countedWithShortestWalked;
    const std::int64_t wholeBefore = kept.subtreesCountedWhole;
    const std::int64_t lineBefore = kept.lineSolves;
    const bool solved = ensureSolved(fast, Solve::Forced, &kept);
    std::int32_t slowCounter = 0;
    const reference::Outcome outcome = reference::solveExhaustive(slow, slowCounter);

    EXPECT_EQ(solved, outcome.solved) << what;
    EXPECT_EQ(fast.solved, slow.solved) << what;
    EXPECT_EQ(std::memcmp(&fast.spectrum, &slow.spectrum, sizeof(PathSpectrum)), 0)
        << what << ": spectrum count " << fast.spectrum.count << " vs " << slow.spectrum.count;
    for (std::int32_t k = 0; k < kRouteCapacity; ++k)
        EXPECT_EQ(fast.solutionRoute[k], slow.solutionRoute[k]) << what << ": route entry " << k;
    EXPECT_EQ(std::memcmp(&fast.solutionLength, &slow.solutionLength, sizeof(double)), 0)
        << what << ": " << fast.solutionLength << " vs " << slow.solutionLength;

    const std::int64_t tours = kept.toursEvaluated - toursBefore;
    // The clock stands still: no solve is long enough to sleep.
    EXPECT_EQ(fake::sleepCalls, 0) << what;
    if (!walkedOnce) return tours;
    // Boards of whole distances are counted: only the solution is evaluated.
    if (wholeDistances(board)) {
        EXPECT_EQ(tours, 1) << what;
        return tours;
    }
    // Cities on a shared point let the solver count orderings without
    // evaluating them; otherwise every ordering it counts was evaluated.
    bool shared = false;
    std::int64_t orderingsPerPattern = 1;
    for (std::int32_t a = 0; a < board.cityCount; ++a) {
        // Cities besides city 0 on one point are interchangeable.
        std::int64_t below = 0;
        for (std::int32_t b = 0; b < a; ++b) {
            if (board.cities[a].x != board.cities[b].x || board.cities[a].y != board.cities[b].y) continue;
            shared = true;
            below += b > 0 ? 1 : 0;
        }
        orderingsPerPattern *= below + 1;
    }
    // Distances that are whole multiples of a unit only up to rounding are
    // counted too: the solver sums every ordering of the shortest length (one
    // per pattern of shared points) and the first ordering of each other entry
    // ... and, where only the tours of the shortest lengths split into entries
    // of their own, every one of those.
    if (kept.countedWithShortestWalked != shortestWalkedBefore) {
        EXPECT_GE(tours, slow.spectrum.counts[0]) << what;
        EXPECT_LT(tours, outcome.toursEvaluated) << what;
        return tours;
    }
    // A line with one city off it is counted per class of tours: the first
    // tour of each class is summed, and the tours of the shortest classes.
    if (kept.lineSolves != lineBefore) {
        EXPECT_LE(tours, outcome.toursEvaluated) << what;
        return tours;
    }
    if (kept.countedSolves != countedBefore && slow.spectrum.counts[0] < INT32_MAX) {
        EXPECT_EQ(tours, slow.spectrum.counts[0] / orderingsPerPattern + slow.spectrum.count - 1) << what;
        return tours;
    }
    if (slow.spectrum.count < kSpectrumEntries && !shared) {
        // The table never filled, so nothing could be skipped.
        EXPECT_EQ(tours, outcome.toursEvaluated) << what;
    } else {
        EXPECT_LE(tours, outcome.toursEvaluated) << what;
        EXPECT_GE(tours, 1) << what;
        std::int64_t counted = 0;
        for (std::int32_t i = 0; i < slow.spectrum.count; ++i) counted += slow.spectrum.counts[i];
        // Walked one by one unless subtrees were counted whole.
        if (!shared && kept.subtreesCountedWhole == wholeBefore) {
            EXPECT_GE(tours, counted) << what;
        }
    }
    return tours;
}

class SolverEquality : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetClock(0);
        kept.toursEvaluated = 0;
        mapGenerator.random.configureGenerator(32, false);
    }
    void TearDown() override {
        mapGenerator.gridSizeSetting = GridSize{11, 11};
        mapGenerator.cityCountSetting = 8;
        kept.toursEvaluated = 0;
    }
};

struct GeneratedRun {
    std::int64_t fastTours = 0;
    std::int64_t allTours = 0;
};

GeneratedRun compareGenerated(std::int32_t cities, std::int32_t seeds) {
    GeneratedRun run;
    std::int64_t factorial = 1;
    for (std::int32_t k = 2; k < cities; ++k) factorial *= k;
    for (std::int32_t grid : {11, 41, 10000}) {
        for (std::int32_t seed = 0; seed < seeds; ++seed) {
            fake::clockNow = 1'500'000'000 + seed * 7919 + cities * 131 + grid;
            mapGenerator.gridSizeSetting = GridSize{grid, grid};
            mapGenerator.cityCountSetting = cities;
            Board b;
            regenerateBoard(b);
            const std::string what = std::to_string(cities) + " cities, grid " + std::to_string(grid) + ", clock " + std::to_string(fake::clockNow);
            run.fastTours += expectSameAsEnumeration(b, what);
            run.allTours += factorial;
        }
    }
    return run;
}

TEST_F(SolverEquality, GeneratedBoardsOfTwoToEightCities) {
    for (std::int32_t cities = 2; cities <= 8; ++cities) compareGenerated(cities, 45);
}

TEST_F(SolverEquality, GeneratedBoardsOfNineAndTenCitiesNeedFarFewerTours) {
    const GeneratedRun nine = compareGenerated(9, 20);
    const GeneratedRun ten = compareGenerated(10, 5);
    // The bound must actually cut: a search that skips nothing is still exact
    // but hangs on large boards.
    EXPECT_LT(nine.fastTours * 5, nine.allTours);
    EXPECT_LT(ten.fastTours * 50, ten.allTours);
}

// Cities on the points of a w by h block, spaced and placed as given, listed
// row by row or in the order the permutation gives.
std::vector<City> block(std::int32_t w, std::int32_t h, std::int32_t spacing, City origin) {
    std::vector<City> cities;
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) cities.push_back(City{origin.x + x * spacing, origin.y + y * spacing});
    return cities;
}

TEST_F(SolverEquality, TieHeavyLatticeBoards) {
    std::vector<std::pair<std::string, Board>> boards;
    const std::pair<int, int> shapes[] = {{2, 2}, {2, 3}, {3, 2}, {2, 4}, {2, 5}, {5, 2}, {3, 3}};
    for (const auto& [w, h] : shapes) {
        const std::string name = std::to_string(w) + "x" + std::to_string(h);
        boards.emplace_back(name, boardOf(11, block(w, h, 1, {0, 0})));
        boards.emplace_back(name + " spaced", boardOf(10000, block(w, h, 1237, {4000, 17})));
        // The block listed backwards: city 0 in the opposite corner.
        std::vector<City> reversed = block(w, h, 3, {2, 5});
        std::reverse(reversed.begin(), reversed.end());
        boards.emplace_back(name + " reversed", boardOf(41, reversed));
    }
    for (std::int32_t n = 2; n <= 10; ++n) {
        boards.emplace_back("line " + std::to_string(n), boardOf(41, block(n, 1, 2, {3, 7})));
        // On the diagonal every edge is a multiple of sqrt 2, so equal tours
        // differ only by rounding.
        std::vector<City> diagonal;
        for (std::int32_t i = 0; i < n; ++i) {
            const std::int32_t step = i % 2 == 0 ? i / 2 : n - 1 - i / 2;  // 0, n-1, 1, n-2, ...
            diagonal.push_back(City{step * 3, step * 3});
        }
        boards.emplace_back("diagonal " + std::to_string(n), boardOf(41, diagonal));
    }
    // A 3 by 3 block on its side (edges of sqrt 2 and 2), with a tenth city in the middle of a side.
    std::vector<City> tilted;
    for (std::int32_t y = 0; y < 3; ++y)
        for (std::int32_t x = 0; x < 3; ++x) tilted.push_back(City{10 + x - y, 10 + x + y});
    tilted.push_back(City{14, 12});
    boards.emplace_back("tilted 3x3 and one", boardOf(41, tilted));
    // Ten and eleven of the sixteen points of a 4 by 4 block, in a scrambled order.
    const std::int32_t picks[] = {5, 0, 15, 10, 3, 12, 6, 9, 1, 14, 7};
    std::vector<City> some;
    for (std::int32_t p : picks) some.push_back(City{20 + 4 * (p % 4), 20 + 4 * (p / 4)});
    boards.emplace_back("eleven of 4x4", boardOf(41, some));
    some.pop_back();
    boards.emplace_back("ten of 4x4", boardOf(41, some));

    for (const auto& [name, b] : boards) expectSameAsEnumeration(b, name);
}

TEST_F(SolverEquality, ExtremeAndSharedPoints) {
    // A loaded file may hold any coordinates, and cities on one point.
    Board far = boardOf(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    const City extremes[] = {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MAX}, {INT32_MAX, 0},
                             {0, INT32_MIN},         {12345, -999999},      {-2000000000, 5},      {7, 2000000000},
                             {1, 1}};
    far.cityCount = 9;
    for (std::int32_t i = 0; i < 9; ++i) far.cities[i] = extremes[i];
    expectSameAsEnumeration(far, "extreme coordinates");

    Board shared = boardOf(11, {{0, 0}});
    const City points[] = {{3, 3}, {3, 3}, {8, 1}, {3, 3}, {8, 1}, {0, 9}, {3, 3}, {0, 9}};
    shared.cityCount = 8;
    for (std::int32_t i = 0; i < 8; ++i) shared.cities[i] = points[i];
    expectSameAsEnumeration(shared, "three shared points");

    // Two pairs on shared points among cities in general position: the
    // table fills, and a pair left for last is counted at once.
    Board pairs = boardOf(41, {{3, 4}, {30, 2}, {17, 25}, {8, 33}, {25, 14}, {38, 37}, {12, 9}});
    pairs.cityCount = 9;
    pairs.cities[7] = pairs.cities[2];
    pairs.cities[8] = pairs.cities[5];
    expectSameAsEnumeration(pairs, "two shared pairs");

    // Two heaps of five: few distinct lengths, so the table never fills.
    Board heaps = boardOf(11, {{0, 0}});
    heaps.cityCount = 10;
    for (std::int32_t i = 0; i < 10; ++i) heaps.cities[i] = i % 3 == 0 ? City{1, 2} : City{9, 7};
    expectSameAsEnumeration(heaps, "two heaps");

    for (std::int32_t n = 2; n <= 9; ++n) {
        Board onePoint = boardOf(11, {{0, 0}});
        onePoint.cityCount = n;
        for (std::int32_t i = 0; i < n; ++i) onePoint.cities[i] = City{4, 4};
        expectSameAsEnumeration(onePoint, "one point, " + std::to_string(n) + " cities");
        // All but city 0 on one point.
        onePoint.cities[0] = City{0, 9};
        expectSameAsEnumeration(onePoint, "all but one on a point, " + std::to_string(n) + " cities");
    }
}

TEST_F(SolverEquality, ManyCitiesOnOnePointAreCountedWithoutEnumeration) {
    struct Case {
        std::int32_t cities;
        City first;
        std::int32_t count;
    };
    // 11! orderings, and 17!, which saturates.
    const Case cases[] = {{12, {4, 4}, 39916800}, {18, {4, 4}, INT32_MAX}, {18, {0, 0}, INT32_MAX}};
    for (const Case& c : cases) {
        Board b = boardOf(11, {{0, 0}});
        b.cityCount = c.cities;
        for (std::int32_t i = 0; i < c.cities; ++i) b.cities[i] = i == 0 ? c.first : City{4, 4};
        fake::resetClock();
        kept.toursEvaluated = 0;
        ASSERT_TRUE(ensureSolved(b, Solve::Forced, &kept));
        EXPECT_EQ(kept.toursEvaluated, 1);
        ASSERT_EQ(b.spectrum.count, 1);
        EXPECT_EQ(b.spectrum.lengths[0], 1.0);
        EXPECT_EQ(b.spectrum.counts[0], c.count);
        for (std::int32_t k = 0; k < c.cities; ++k) EXPECT_EQ(b.solutionRoute[k], k);
        EXPECT_EQ(b.solutionRoute[c.cities], 0);
        EXPECT_DOUBLE_EQ(b.solutionLength, c.first.x == 4 ? 0.0 : 2.0 * 5.0 * std::sqrt(32.0));
    }
}

// The points taken `times` times each, the copies listed round the points.
std::vector<City> repeated(const std::vector<City>& points, std::int32_t times) {
    std::vector<City> cities;
    for (std::int32_t t = 0; t < times; ++t) cities.insert(cities.end(), points.begin(), points.end());
    return cities;
}

// Smaller versions of the boards that used to hang: points shared by 2 to 5
// cities, lattices with and without repeats, lines with repeats.
TEST_F(SolverEquality, SharedPointsLatticesAndLinesWithRepeats) {
    std::vector<std::pair<std::string, Board>> boards;
    boards.emplace_back("two points of 5", boardWith(41, repeated({{0, 0}, {40, 40}}, 5)));
    std::vector<City> heap = repeated({{3, 3}}, 9);
    heap.push_back(City{7, 3});
    boards.emplace_back("9 on a point and 1", boardWith(11, heap));
    boards.emplace_back("triangle of 3", boardWith(41, repeated({{0, 0}, {40, 0}, {20, 35}}, 3)));
    std::vector<City> uneven = repeated({{20, 35}, {0, 0}, {40, 0}}, 3);
    uneven.insert(uneven.begin() + 4, City{0, 0});
    uneven.push_back(City{20, 35});
    boards.emplace_back("triangle of 4, 4 and 3", boardWith(41, uneven));
    boards.emplace_back("2x2 block twice and a point", boardWith(11, [] {
                            std::vector<City> c = repeated(block(2, 2, 1, {4, 4}), 2);
                            c.push_back(City{5, 6});
                            return c;
                        }()));
    std::vector<City> lattice = block(3, 3, 1, {4, 4});
    lattice.push_back(City{5, 5});
    lattice.insert(lattice.begin() + 2, City{4, 4});
    boards.emplace_back("3x3 block and two repeats", boardWith(11, lattice));
    boards.emplace_back("2x5 block with its ends twice", boardWith(41, [] {
                            std::vector<City> c = block(5, 2, 3, {10, 10});
                            c.push_back(City{10, 10});
                            return c;
                        }()));
    boards.emplace_back("line of 5 twice", boardWith(41, repeated(block(5, 1, 4, {2, 9}), 2)));
    boards.emplace_back("diagonal of 5 twice", boardWith(41, repeated({{2, 9}, {5, 12}, {8, 15}, {11, 18}, {14, 21}}, 2)));
    std::vector<City> diagonal = repeated({{2, 2}, {5, 5}, {11, 11}, {20, 20}}, 2);
    diagonal.push_back(City{8, 8});
    boards.emplace_back("diagonal of 4 twice and one", boardWith(41, diagonal));
    // Points in general position, 2 to 5 cities on each: the table fills and
    // the search skips.
    boards.emplace_back("general points of 2 to 5",
                        boardWith(10000, {{120, 4410}, {7312, 905}, {120, 4410}, {3301, 8777}, {7312, 905}, {9050, 5123},
                                          {120, 4410}, {3301, 8777}, {120, 4410}, {120, 4410}}));
    for (const auto& [name, b] : boards) expectSameAsEnumeration(b, name);
}

// Two sides of a triangle differ by about a millionth: tours that only swap
// them have lengths that are distinct and yet within one tolerance, and
// which entry takes a length depends on the order the orderings come in.
TEST_F(SolverEquality, NearlyEqualLengthsFromSharedPoints) {
    const City a{100, 100};
    for (const City& c : {City{4526, 2125}, City{3252, 3798}, City{4932, 822}}) {
        const std::vector<City> corners = {a, City{a.x + 5000, a.y}, City{a.x + c.x, a.y + c.y}};
        {
            const Board b = boardWith(10000, repeated(corners, 3));
            PathSpectrum table{};
            for (double length : allTourLengths(b)) recordLength(table, length);
            bool close = false;
            for (std::int32_t i = 1; i < table.count; ++i) close = close || table.lengths[i] - table.lengths[i - 1] < 4e-6 * table.lengths[i];
            ASSERT_TRUE(close) << c.x;
            expectSameAsEnumeration(b, "near-equal sides " + std::to_string(c.x));
        }
    }
    // Listed so that, walking patterns of points, a length counted in one
    // entry lies within the tolerance of a new entry made just above it: the
    // later orderings of that pattern go to the new entry from there on.
    const City b{5100, 100};
    const City c1{4645, 2184};
    const City c2{4664, 2142};
    expectSameAsEnumeration(boardWith(10000, {c1, a, b, a, b, c1, a, b, c1}), "chained entries, corner first");
    expectSameAsEnumeration(boardWith(10000, {b, b, b, a, c2, a, c2, a, c2}), "chained entries, a corner three times first");
    // Points shared by two or three cities, nearly on one line: patterns
    // whose later orderings change entries several times, as an entry just
    // above is inserted or the entry holding them is pushed out.
    expectSameAsEnumeration(boardWith(10000, {{5009, 117}, {5008, 2505}, {4987, 4900}, {4983, 7326}, {4991, 9739},
                                              {5009, 117}, {5008, 2505}, {4983, 7326}, {5008, 2505}, {4983, 7326}}),
                            "five points nearly on a line");
    expectSameAsEnumeration(boardWith(10000, {{4999, 105}, {4986, 2504}, {4996, 4928}, {4994, 7336}, {4994, 7336}, {4999, 105},
                                              {4986, 2504}, {4996, 4928}}),
                            "four points nearly on a line, twice");
}

// Boards whose tours come closer to an edge of the 20th entry's tolerance
// than the rounding of any bound: mirror images of each other, one city then
// moved by a few grid units.
TEST_F(SolverEquality, ToursNextToTheEdgesOfTheLastEntry) {
    struct Case {
        const char* name;
        double edge;  // -1: lower edge of the last entry's tolerance, +1: upper edge
        std::vector<City> cities;
    };
    const Case cases[] = {
        {"just inside the top", +1, {{5000, 9497}, {2684, 110}, {7316, 110}, {4408, 2298}, {5593, 2296}, {580, 2359}, {9420, 2359}, {5000, 1558}}},
        {"just inside the top, second", +1, {{5000, 2732}, {2341, 7867}, {7659, 7867}, {1478, 7792}, {8523, 7790}, {2694, 213}, {7306, 213}, {5000, 3063}}},
        {"just above the top", +1, {{5000, 5536}, {4320, 4515}, {5680, 4515}, {371, 6768}, {9628, 6767}, {2367, 2585}, {7633, 2585}, {5000, 380}}},
        {"just above the top, second", +1, {{5000, 4226}, {776, 6554}, {9224, 6554}, {1070, 1782}, {8929, 1783}, {4226, 5582}, {5774, 5582}, {5000, 6193}}},
        {"just below the bottom", -1, {{5000, 9085}, {393, 8588}, {9607, 8587}, {2962, 387}, {7038, 387}, {2128, 4614}, {7872, 4614}, {5000, 9465}}},
        {"just below the bottom, second", -1, {{5000, 7084}, {4719, 7814}, {5281, 7814}, {2183, 271}, {7817, 271}, {1334, 5581}, {8663, 5583}, {5000, 7330}}},
        {"just inside the bottom", -1, {{5000, 7349}, {2473, 8688}, {7530, 8689}, {1185, 83}, {8815, 83}, {4452, 7396}, {5548, 7396}, {5000, 4076}}},
        {"just inside the bottom, second", -1, {{5000, 5171}, {1848, 2198}, {8152, 2198}, {417, 3396}, {9586, 3394}, {4426, 5130}, {5574, 5130}, {5000, 8763}}},
    };
    for (const Case& c : cases) {
        const Board b = boardOf(10000, c.cities);
        ASSERT_EQ(b.cityCount, 8) << c.name;
        // Check that the board has what it is here for: the table's last
        // entry, before the division, and a tour within 1e-8 of its edge.
        const std::vector<double> lengths = allTourLengths(b);
        PathSpectrum table{};
        for (double length : lengths) recordLength(table, length);
        ASSERT_EQ(table.count, kSpectrumEntries) << c.name;
        const double last = table.lengths[kSpectrumEntries - 1];
        const double edge = last + c.edge * std::fabs(1e-6 * last);
        const bool near = std::any_of(lengths.begin(), lengths.end(),
                                      [&](double l) { return l != last && std::fabs(l - edge) < 1e-8 * edge; });
        EXPECT_TRUE(near) << c.name;

        expectSameAsEnumeration(b, c.name);
        // Subtrees counted whole from the first full table on: the groups
        // next to the edges must be walked.
        searchTurns.countWholeAfter = 1;
        const std::int64_t wholeBefore = kept.subtreesCountedWhole;
        expectSameAsEnumeration(b, c.name + std::string(", counted whole"));
        EXPECT_GT(kept.subtreesCountedWhole, wholeBefore) << c.name;
        searchTurns = SearchTurns{};
    }
}

// A line of the 41-grid with two neighbouring cities moved a unit off it:
// few tours come near the shortest and the rest of the lengths lie far above
// them (at 18 cities the search takes the shortest ones alone). A row of the
// 10000 grid with one city lifted: its lengths come in bands far apart, the
// first holding thousands of tours within a few tolerances.
TEST_F(SolverEquality, LinesWithCitiesMovedOneUnit) {
    for (std::int32_t n = 9; n <= 10; ++n) {
        for (std::int32_t first = 1; first + 1 < n; first += n == 9 ? 1 : 3) {
            const Board b = boardOf(41, test::diagonalWithTwoOff(n, first));
            ASSERT_EQ(b.cityCount, n);
            expectSameAsEnumeration(b, std::to_string(n) + " cities, moved from " + std::to_string(first));
        }
    }
    for (const City spacingAndLift : {City{1, 1}, City{10, 3}}) {
        std::vector<City> row = test::closeRowCities(12, 1, spacingAndLift.x);
        row[1].y += spacingAndLift.y;
        expectSameAsEnumeration(boardWith(10000, row), "a row " + std::to_string(spacingAndLift.x) + " apart, the second city lifted " +
                                                           std::to_string(spacingAndLift.y));
    }
}

// All cities but one on one row or column: counted per class of tours (the
// two cities next to the one off the line, the length of the rest). Rows
// with one city lifted a unit make a class's entries in the order the
// classes come, two or three of them per whole length, and hand tours on
// from entry to entry; boards placed at random add cities on shared points,
// gaps of any size and the city off the line anywhere.
TEST_F(SolverEquality, LinesWithOneCityOffThemLeaveTheEnumerationsTable) {
    const std::int64_t before = kept.lineSolves;
    std::int32_t boards = 0;
    for (const City spacingAndLift : {City{70, 1}, City{100, 1}, City{4, 3}}) {
        for (const std::int32_t n : {10, 11}) {
            for (const std::int32_t lifted : {0, 1, 4, n - 1}) {
                std::vector<City> row = test::closeRowCities(n, 1, spacingAndLift.x);
                row[static_cast<std::size_t>(lifted)].y += spacingAndLift.y;
                expectSameAsEnumeration(boardWith(10000, row), std::to_string(n) + " cities " + std::to_string(spacingAndLift.x) +
                                                                   " apart, city " + std::to_string(lifted) + " lifted " +
                                                                   std::to_string(spacingAndLift.y));
                ++boards;
            }
        }
    }
    // The line is cut where the classes below fill the table and the next
    // class lies more than a tolerance above: in the first, where its table
    // fills, two class lengths stand 0.95 tolerances apart (a cut there would
    // lose the tours above that an entry below takes) and it is cut 1.9
    // tolerances apart; the second is cut 1.54 tolerances apart.
    for (const std::vector<City>& row : {std::vector<City>{{2, 0}, {6, 0}, {0, 2893}, {4, 0}, {10, 0}, {8, 0}, {12, 0}},
                                         std::vector<City>{{662, 0}, {331, 0}, {1324, 0}, {2317, 0}, {1986, 9}, {0, 0}, {993, 0}, {1655, 0}}}) {
        expectSameAsEnumeration(boardWith(10000, row), std::to_string(row.size()) + " cities cut near a tolerance");
        ++boards;
    }
    test::Draw draw{11};
    for (std::int32_t i = 0; i < 60; ++i) {
        const std::int32_t n = 8 + draw.below(3);
        const std::int32_t side = draw.below(2) == 0 ? 41 : 10000;
        const std::int32_t lineAt = draw.below(side);
        // On the large grid whole steps apart: the paths are counted in steps.
        const std::int32_t spacing = side == 41 ? 1 : 1 + draw.below(side / n);
        std::vector<City> cities;
        for (std::int32_t c = 0; c < n; ++c) cities.push_back(City{spacing * draw.below(side == 41 ? side : n), lineAt});
        cities[static_cast<std::size_t>(draw.below(n))] = City{draw.below(side), draw.below(side)};
        if (draw.below(2) == 0)
            for (City& c : cities) std::swap(c.x, c.y);
        // Those it leaves to the search may have shared points, walked twice.
        expectSameAsEnumeration(boardWith(side, cities),
                                std::to_string(n) + " cities, placed at random on the " + std::to_string(side) + " grid, board " + std::to_string(i),
                                false);
    }
    // The others make fewer than 20 entries, their cities on few points.
    EXPECT_GE(kept.lineSolves - before, boards + 50);
}

// Close rows (cities a unit apart across, taken in turn): every tour has a
// length of its own and the table's entries lie a tolerance or two apart,
// so the groups of a subtree counted whole fall next to the entries' edges
// time and again. Counted whole from the first full table on, they still
// leave the enumeration's table: the first two are boards where groups
// taken without a margin land in the wrong entry.
TEST_F(SolverEquality, CloseRowsCountedLeaveTheEnumerationsTable) {
    const auto rowFrom = [](std::int32_t n, std::int32_t period, std::int32_t spacing) {
        std::vector<City> cities;
        for (std::int32_t i = 0; i < n; ++i) cities.push_back(City{100 + spacing * i, 4000 + i % period});
        return cities;
    };
    struct Row {
        std::int32_t n, period, spacing;
    };
    const auto name = [](const Row& r) {
        return std::to_string(r.n) + " cities " + std::to_string(r.spacing) + " apart, period " + std::to_string(r.period);
    };
    const Row searched[] = {{10, 4, 548}, {11, 3, 355}, {11, 4, 420}};
    searchTurns.countWholeAfter = 1;
    const std::int64_t wholeBefore = kept.subtreesCountedWhole;
    for (const Row& r : searched) expectSameAsEnumeration(boardWith(10000 + 1000 * r.n, rowFrom(r.n, r.period, r.spacing)), name(r));
    searchTurns = SearchTurns{};
    EXPECT_GT(kept.subtreesCountedWhole - wholeBefore, 1000);

    // Further apart, only the tours of the shortest lengths make entries of
    // their own: those are walked one by one, the longer lengths counted.
    const Row counted[] = {{11, 2, 330}, {11, 2, 450}, {11, 3, 450}, {11, 3, 530}, {10, 4, 600}, {11, 4, 700}};
    const std::int64_t walkedBefore = kept.countedWithShortestWalked;
    for (const Row& r : counted) expectSameAsEnumeration(boardWith(10000 + 1000 * r.n, rowFrom(r.n, r.period, r.spacing)), name(r));
    EXPECT_EQ(kept.countedWithShortestWalked - walkedBefore, static_cast<std::int64_t>(std::size(counted)));
}

// The rounds below a raised ceiling, run from the first tour on and as long
// as they like: rows of the 10000 grid a few units apart with cities lifted,
// and close rows, whose lengths come in bands a few tolerances wide. Where
// the rounds settle a board, they leave the enumeration's table and route;
// where they cannot (too few entries below any gap), the walk goes on.
//
// Then once more with the rounds paused every thousand visits, to go on
// at the next turn where they stopped: a round taken in pieces records what
// it records in one go.
TEST_F(SolverEquality, RoundsBelowARaisedCeilingLeaveTheEnumerationsTable) {
    for (const std::uint64_t perTurn : {std::uint64_t{0}, std::uint64_t{1000}}) {
        searchTurns = SearchTurns{1, false, std::uint64_t{1} << 40};
        searchTurns.roundVisitsPerTurn = perTurn;
        const std::int64_t settledBefore = kept.solvesBelowCeilings;
        std::int32_t boards = 0;
        test::Draw draw{7};
        for (std::int32_t i = 0; i < 24; ++i) {
            const std::int32_t n = 9 + draw.below(i < 20 ? 2 : 3);
            const std::int32_t period = draw.below(4) == 0 ? 1 : 2 + draw.below(3);
            const std::int32_t spacing = period == 1 ? 5 + draw.below(120) : 100 + draw.below(500);
            std::vector<City> row = test::closeRowCities(n, period, spacing);
            for (std::int32_t lifted = period == 1 ? 1 + draw.below(2) : draw.below(2); lifted > 0; --lifted)
                row[static_cast<std::size_t>(draw.below(n))].y += 1 + draw.below(2);
            expectSameAsEnumeration(boardWith(10000, row), std::to_string(n) + " cities " + std::to_string(spacing) + " apart, period " +
                                                               std::to_string(period) + ", board " + std::to_string(i),
                                    false);
            ++boards;
        }
        searchTurns = SearchTurns{};
        // Most of them were settled by the rounds; paused, a third at least
        // (the walk ends some first).
        EXPECT_GE(kept.solvesBelowCeilings - settledBefore, perTurn == 0 ? boards / 2 : boards / 3)
            << "settled " << kept.solvesBelowCeilings - settledBefore << ", paused every " << perTurn;
    }
}

}  // namespace
}  // namespace orvanta
