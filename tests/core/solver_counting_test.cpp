// Boards whose distances are all whole numbers are solved by counting the
// orderings per length. Against the plain enumeration of tests/reference:
// the whole board byte for byte, with old contents left in the table before
// the solve, and one tour evaluated instead of all of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/solver.h"
#include "core/solver_counting.h"
#include "core/solver_counting_programme.h"
#include "core/solver_tally.h"
#include "core/spectrum_table.h"
#include "reference/reference_solver.h"
#include "support/fake_clock.h"
#include "support/boards.h"

namespace orvanta {
namespace {

// What the solves of these tests did, added up.
SolveStatistics kept;

Board boardAt(std::int32_t grid, const std::vector<City>& cities) {
    Board b = test::boardOf(grid, cities);
    EXPECT_EQ(b.cityCount, static_cast<std::int32_t>(cities.size())) << "a city was refused";
    return b;
}

// Old contents of the table, different in every slot, as a loaded file or an
// earlier solve leaves them.
void fillWithOldContents(PathSpectrum& s) {
    s.count = 13;
    s.reserved = 77;
    for (std::int32_t i = 0; i < kSpectrumEntries; ++i) {
        s.lengths[i] = 1000.5 + 3.25 * i;
        s.counts[i] = 9000 + 17 * i;
    }
}

struct Solved {
    std::int32_t entries = 0;   // spectrum count the enumeration ended with
    std::int64_t tours = 0;     // tours the solver evaluated
    std::int64_t allTours = 0;  // tours the enumeration evaluated
};

// Solves one copy with the solver and one with the enumeration and compares
// everything they leave behind.
Solved expectSameAsEnumeration(const Board& board, const std::string& what) {
    Board fast = board;
    fillWithOldContents(fast.spectrum);
    fast.solved = 0;
    Board slow = fast;

    fake::resetClock();
    kept.toursEvaluated = 0;
    const bool solved = ensureSolved(fast, Solve::Forced, &kept);
    std::int32_t slowCounter = 0;
    const reference::Outcome outcome = reference::solveExhaustive(slow, slowCounter);

    EXPECT_EQ(solved, outcome.solved) << what;
    EXPECT_EQ(fast.solved, slow.solved) << what;
    EXPECT_EQ(fast.spectrum.count, slow.spectrum.count) << what;
    for (std::int32_t i = 0; i < kSpectrumEntries; ++i) {
        EXPECT_EQ(std::memcmp(&fast.spectrum.lengths[i], &slow.spectrum.lengths[i], sizeof(double)), 0)
            << what << ": length " << i << ": " << fast.spectrum.lengths[i] << " vs " << slow.spectrum.lengths[i];
        EXPECT_EQ(fast.spectrum.counts[i], slow.spectrum.counts[i]) << what << ": count " << i;
    }
    EXPECT_EQ(std::memcmp(&fast.spectrum, &slow.spectrum, sizeof(PathSpectrum)), 0) << what;
    for (std::int32_t k = 0; k < kRouteCapacity; ++k)
        EXPECT_EQ(fast.solutionRoute[k], slow.solutionRoute[k]) << what << ": route entry " << k;
    EXPECT_EQ(std::memcmp(&fast.solutionLength, &slow.solutionLength, sizeof(double)), 0)
        << what << ": " << fast.solutionLength << " vs " << slow.solutionLength;

    Solved result;
    result.entries = slow.spectrum.count;
    result.tours = kept.toursEvaluated;
    result.allTours = outcome.toursEvaluated;
    return result;
}

using test::Draw;

// n distinct positions in [0, span), in a scrambled order.
std::vector<std::int32_t> positions(std::int32_t n, std::int32_t span, Draw& draw) {
    std::vector<std::int32_t> picked;
    while (static_cast<std::int32_t>(picked.size()) < n) {
        const std::int32_t p = draw.below(span);
        bool taken = false;
        for (std::int32_t q : picked) taken = taken || q == p;
        if (!taken) picked.push_back(p);
    }
    return picked;
}

// Two neighbouring columns of a 2 by 10000 grid: two cities near the bottom
// of one, the rest far apart up the other, listed out of order.
std::vector<City> twoColumns(std::int32_t n, std::int32_t spacing) {
    std::vector<City> cities = {{0, 3}, {0, 0}};
    const std::int32_t up = n - 2;
    for (std::int32_t i = 0; i < up; ++i) cities.push_back(City{1, spacing * (1 + (i * 3) % up)});
    return cities;
}

class SolverCounting : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetClock(0);
        kept.toursEvaluated = 0;
    }
    void TearDown() override { kept.toursEvaluated = 0; }
};

// Each board is counted, evaluating under 1/fewer of the enumeration's tours,
// and left as the enumeration leaves it; returns how many ended with a full table.
std::int32_t expectAllCounted(const std::vector<std::pair<std::string, Board>>& boards, std::int64_t fewer) {
    std::int32_t full = 0;
    for (const auto& [name, b] : boards) {
        const std::int64_t countedBefore = kept.countedSolves;
        const Solved s = expectSameAsEnumeration(b, name);
        EXPECT_EQ(kept.countedSolves, countedBefore + 1) << name << " was not counted";
        EXPECT_LT(s.tours * fewer, s.allTours) << name;
        full += s.entries == kSpectrumEntries ? 1 : 0;
    }
    return full;
}

TEST_F(SolverCounting, LinesAlongRowsAndColumnsMatchTheEnumeration) {
    Draw draw{12345};
    std::int32_t partial = 0;
    std::int32_t full = 0;
    for (std::int32_t n = 2; n <= 11; ++n) {
        for (std::int32_t grid : {11, 41, 10000}) {
            for (bool column : {false, true}) {
                // Eleven cities take the enumeration 3.6 million tours: one board per grid.
                if (n == 11 && column != (grid == 41)) continue;
                const std::int32_t across = draw.below(grid);
                std::vector<City> cities;
                for (std::int32_t p : positions(n, grid, draw)) cities.push_back(column ? City{across, p} : City{p, across});
                const std::string what = std::to_string(n) + (column ? " in a column" : " in a row") + ", grid " + std::to_string(grid);
                const Solved s = expectSameAsEnumeration(boardAt(grid, cities), what);
                EXPECT_EQ(s.tours, 1) << what;
                (s.entries < kSpectrumEntries ? partial : full) += 1;
            }
        }
    }
    // Both ends of the table are exercised: old contents showing through, and a full table.
    EXPECT_GT(partial, 5);
    EXPECT_GT(full, 5);
}

TEST_F(SolverCounting, EvenlySpacedLinesWithManyEqualTours) {
    for (std::int32_t n = 3; n <= 10; ++n) {
        if (n % 3 == 0) continue;  // i * 3 would repeat positions
        std::vector<City> cities;
        // City 0 inside the line, the others out of order.
        for (std::int32_t i = 0; i < n; ++i) cities.push_back(City{3 + 4 * ((i * 3 + n / 2) % n), 20});
        const Solved s = expectSameAsEnumeration(boardAt(41, cities), "evenly spaced " + std::to_string(n));
        EXPECT_EQ(s.tours, 1);
    }
}

TEST_F(SolverCounting, ARowAndAColumnThroughCityZero) {
    // Offsets along the row of city 0 of 5, 9 and 16 either way and along its
    // column of 12 either way: 5-12-13, 9-12-15 and 16-12-20 make every
    // distance whole.
    const City offsets[] = {{5, 0}, {0, 12}, {-9, 0}, {16, 0}, {0, -12}, {-5, 0}, {9, 0}, {-16, 0}};
    for (const auto& [grid, scale] : {std::pair<std::int32_t, std::int32_t>{41, 1}, {10000, 250}}) {
        const City centre{grid / 2, grid / 2};
        for (std::int32_t n = 3; n <= 9; ++n) {
            // City 0 at the crossing, or listed last.
            for (bool zeroInside : {true, false}) {
                std::vector<City> cities;
                for (std::int32_t i = 0; i + 1 < n; ++i) cities.push_back(City{centre.x + offsets[i].x * scale, centre.y + offsets[i].y * scale});
                cities.insert(zeroInside ? cities.begin() : cities.end(), centre);
                const std::string what = "cross of " + std::to_string(n) + (zeroInside ? " from the crossing" : "") + ", grid " + std::to_string(grid);
                const Solved s = expectSameAsEnumeration(boardAt(grid, cities), what);
                EXPECT_EQ(s.tours, 1) << what;
            }
        }
    }
}

TEST_F(SolverCounting, WholeDistancesOffTheAxes) {
    // A 6 by 8 rectangle with its centre: every distance is 3, 4, 5, 6, 8 or 10 times the scale.
    for (std::int32_t scale : {1, 4, 1111}) {
        std::vector<City> cities;
        for (const City& c : {City{0, 0}, City{3, 4}, City{6, 8}, City{0, 8}, City{6, 0}}) cities.push_back(City{1 + c.x * scale, 2 + c.y * scale});
        const Solved s = expectSameAsEnumeration(boardAt(10000, cities), "rectangle, scale " + std::to_string(scale));
        EXPECT_EQ(s.tours, 1);
    }
}

// Cities on a slanted line: every distance is a whole multiple of the
// length of the line's lattice step (a, b), the square root of a² + b², up to
// the rounding of the board's distances. Counted as whole multiples; the
// shortest tours and the first of each length are walked.
TEST_F(SolverCounting, SlantedLinesAreCountedExactly) {
    std::vector<std::pair<std::string, Board>> boards;
    const std::vector<std::int32_t> shuffled = {0, 5, 2, 7, 4, 1, 6, 3};
    boards.emplace_back("diagonal", test::boardWith(41, test::onLine({2, 2}, {3, 3}, shuffled)));
    boards.emplace_back("falling diagonal", test::boardWith(41, test::onLine({2, 38}, {4, -4}, shuffled)));
    // Uneven gaps, city 0 inside the line, a point taken twice.
    boards.emplace_back("slope 1:2, uneven", test::boardWith(41, test::onLine({5, 1}, {1, 2}, {7, 0, 3, 12, 4, 17, 9, 3, 16})));
    boards.emplace_back("slope 2:3, one point thrice", test::boardWith(41, test::onLine({1, 1}, {2, 3}, {5, 2, 2, 0, 11, 2, 8, 9, 1})));
    // √5 · 250 and √13 · 100: multiples of a step far longer than the lattice's.
    boards.emplace_back("10000 grid, (250, 500) apart", test::boardWith(10000, test::onLine({100, 50}, {250, 500}, {3, 9, 0, 14, 6, 1, 11, 17})));
    boards.emplace_back("10000 grid, (-300, 200), ten", test::boardWith(10000, test::onLine({9000, 100}, {-300, 200}, {4, 0, 9, 1, 3, 8, 2, 7, 5, 6})));
    const std::int32_t full = expectAllCounted(boards, 10);
    EXPECT_GT(full, 0);
    EXPECT_LT(full, 6);
}

TEST_F(SolverCounting, OtherBoardsAreStillSearched) {
    // Two slanted lines through city 0: multiples of √2 and of √5 share no unit.
    const std::int64_t countedBefore = kept.countedSolves;
    Solved s = expectSameAsEnumeration(boardAt(41, {{10, 10}, {13, 13}, {16, 16}, {22, 22}, {11, 12}, {13, 16}, {14, 18}, {12, 14}}), "two slopes");
    EXPECT_EQ(kept.countedSolves, countedBefore);

    // Whole distances, but tours of a million units and more: two lengths a
    // unit apart could share an entry, so the board is searched.
    Board far = boardAt(11, {{0, 0}});
    far.cityCount = 5;
    const std::int32_t xs[] = {0, 450000, 150001, 300000, 20};
    for (std::int32_t i = 0; i < 5; ++i) far.cities[i] = City{xs[i], 3};
    s = expectSameAsEnumeration(far, "far apart");
    EXPECT_EQ(s.tours, s.allTours);
}

TEST_F(SolverCounting, StorageLimitEitherGivesTheSameBoardOrLeavesItUntouched) {
    // 13 cities one column apart, city 0 in the middle: the bound has to grow
    // several times, and a tight limit makes it narrow again.
    // Nearly whole distances: with less room the walks no longer learn from
    // the kept layers which lengths can be made up, and search more.
    std::vector<City> cities;
    for (std::int32_t i = 0; i < 13; ++i) cities.push_back(City{2 + (i * 5 + 6) % 13, 30});
    for (const Board& board : {boardAt(41, cities), test::boardWith(2, 10000, twoColumns(13, 700))}) {
        Board reference = board;
        fillWithOldContents(reference.spectrum);
        const Board untouched = reference;
        SolveRun referenceRun;
        ASSERT_TRUE(solveByCounting(reference, referenceRun));
        const std::int64_t tours = referenceRun.toursEvaluated();
        std::int32_t refused = 0;
        std::int32_t solved = 0;
        for (std::size_t limit = 16 * 1024; limit <= 8 * 1024 * 1024; limit += limit / 2) {
            Board b = untouched;
            SolveRun run;
            if (solveByCounting(b, run, limit)) {
                ++solved;
                EXPECT_EQ(std::memcmp(&b.spectrum, &reference.spectrum, sizeof(PathSpectrum)), 0) << limit;
                for (std::int32_t k = 0; k < kRouteCapacity; ++k) EXPECT_EQ(b.solutionRoute[k], reference.solutionRoute[k]) << limit;
                EXPECT_EQ(run.toursEvaluated(), tours) << limit;
            } else {
                ++refused;
                EXPECT_EQ(std::memcmp(&b.spectrum, &untouched.spectrum, sizeof(PathSpectrum)), 0) << limit;
                for (std::int32_t k = 0; k < kRouteCapacity; ++k) EXPECT_EQ(b.solutionRoute[k], untouched.solutionRoute[k]) << limit;
                EXPECT_EQ(run.toursEvaluated(), 0) << limit;
            }
        }
        EXPECT_GT(refused, 0);
        EXPECT_GT(solved, 0);
    }
}

// The walks for the first tour of each length learn from the programme's
// kept layers which lengths the cities left can still make up; without them,
// the walks on two columns of 16 run past their budget and the board goes to
// the search. The kept layers take at most half the storage, so that in 11.43
// million bytes the layers being built still fit beside them; where those
// need the room anyway (15 cities in 5 million bytes), no layers are kept and
// the walks go on without them, to the same table.
TEST_F(SolverCounting, KeptLayersLetTheWalksFindTheFirstTours) {
    Board sixteen = test::boardWith(2, 10000, twoColumns(16, 700));
    SolveRun run;
    EXPECT_TRUE(solveByCounting(sixteen, run, 11'430'000));

    const Board fifteen = test::boardWith(2, 10000, twoColumns(15, 700));
    Board roomy = fifteen;
    SolveRun roomyRun;
    ASSERT_TRUE(solveByCounting(roomy, roomyRun));
    Board b = fifteen;
    SolveRun tightRun;
    ASSERT_TRUE(solveByCounting(b, tightRun, 5'000'000));
    EXPECT_EQ(std::memcmp(&b.spectrum, &roomy.spectrum, sizeof(PathSpectrum)), 0);
    for (std::int32_t k = 0; k < kRouteCapacity; ++k) EXPECT_EQ(b.solutionRoute[k], roomy.solutionRoute[k]);
}

// Distances within a thousandth or so of whole numbers: tours counted as one
// whole length differ in their last digits but share an entry, so the table
// is counted; the sums the entries keep and the solution come from walking
// the first tours of each length.
TEST_F(SolverCounting, NearlyWholeDistancesAreCountedExactly) {
    std::vector<std::pair<std::string, Board>> boards;
    for (std::int32_t n = 9; n <= 11; ++n) boards.emplace_back("two columns of " + std::to_string(n), test::boardWith(2, 10000, twoColumns(n, 1000)));
    // City 0 up the long column, and one point of it taken twice.
    std::vector<City> fromTop = twoColumns(10, 1000);
    std::swap(fromTop[0], fromTop[5]);
    boards.emplace_back("two columns from the top", test::boardWith(2, 10000, fromTop));
    std::vector<City> twice = twoColumns(9, 1100);
    twice.push_back(twice[4]);
    boards.emplace_back("two columns, a point twice", test::boardWith(2, 10000, twice));
    // Three rows a unit apart, the cities a thousand apart along them.
    std::vector<City> rows;
    for (std::int32_t i = 0; i < 10; ++i) rows.push_back(City{500 + 1000 * ((i * 7) % 10), 4000 + (i % 3 == 2 ? 1 : 0) + (i % 5 == 0 ? 1 : 0)});
    boards.emplace_back("three rows", test::boardWith(10000, 10000, rows));
    // Two rows a unit apart taken in turn: every distance lies above a whole
    // number. At 400 and 500 apart, the slanted edges at every city together
    // would lie too far above, but no tour takes them all: the range of the
    // tours' drifts is measured.
    for (std::int32_t spacing : {1000, 500, 400}) {
        std::vector<City> zigzag;
        for (std::int32_t i = 0; i < 10; ++i) zigzag.push_back(City{300 + spacing * ((i * 3) % 10), 5000 + (i * 3) % 10 % 2});
        boards.emplace_back("two rows in turn, " + std::to_string(spacing) + " apart", test::boardWith(10000, 10000, zigzag));
    }
    // Both a full table and old contents showing through.
    const std::int32_t full = expectAllCounted(boards, 20);
    EXPECT_GT(full, 0);
    EXPECT_LT(full, 9);
}

// The drifts the counting measures bound every tour's sum as the enumeration
// forms it, rounding included: on three cities (x, 1) apart, each tour takes
// every edge and so the largest differences at every city at once, and for
// these x the rounding of the last addition goes up, past them.
TEST_F(SolverCounting, DriftsBoundEveryTourSumWithItsRounding) {
    std::vector<Board> boards;
    for (std::int32_t x : {309, 316, 317, 331}) boards.push_back(test::boardWith(10000, {{0, 0}, {x, 1}, {2 * x, 0}}));
    for (std::int32_t spacing : {500, 700}) {
        std::vector<City> zigzag;
        for (std::int32_t i = 0; i < 8; ++i) zigzag.push_back(City{300 + spacing * ((i * 3) % 8), 5000 + (i * 3) % 8 % 2});
        boards.push_back(test::boardWith(10000, zigzag));
    }
    for (const Board& b : boards) {
        counting::Distances distances;
        distances.n = b.cityCount;
        ASSERT_TRUE(distances.measure(b));
        ASSERT_TRUE(distances.near);
        std::vector<std::int32_t> order(static_cast<std::size_t>(b.cityCount));
        for (std::int32_t i = 0; i < b.cityCount; ++i) order[static_cast<std::size_t>(i)] = i;
        double highest = -1.0, lowest = 1.0;
        do {
            double sum = 0.0;
            std::uint32_t units = 0;
            for (std::int32_t k = 0; k < b.cityCount; ++k) {
                const std::int32_t from = order[static_cast<std::size_t>(k)];
                const std::int32_t to = order[static_cast<std::size_t>((k + 1) % b.cityCount)];
                sum += b.cityDistance(from, to);
                units += distances.unitsBetween(from, to);
            }
            const double drift = sum - static_cast<double>(units) * distances.unitLength;
            highest = std::max(highest, drift);
            lowest = std::min(lowest, drift);
        } while (std::next_permutation(order.begin() + 1, order.end()));
        EXPECT_LE(highest, distances.driftAbove) << b.cities[1].x;
        EXPECT_GE(lowest, -distances.driftBelow) << b.cities[1].x;
    }
}

// Whether a tour of `length` goes to entry `expected` of a table holding `sums`
// (ascending), as recordLength files it.
bool filedIn(const std::vector<double>& sums, double length, std::int32_t expected) {
    return entryTaking(sums.data(), static_cast<std::int32_t>(sums.size()), length) == expected;
}

// The checks that keep whole lengths apart bite only where an entry's
// tolerance comes within a unit of the next length together with the drifts:
// tours of a third of a million units and more, drifts of a third of a unit.
// No board within the counting's limits (every distance within 0.05 of a
// whole number, no tour a million units long) gets there: its long tours are
// those of nearly straight lines, whose drifts are tiny. So they are put to
// measurements made up around their edges, and must refuse every one under
// which recordLength would file a tour of one length in another's entry.
TEST(CountingChecks, RefuseEveryMeasurementUnderWhichEntriesWouldMix) {
    counting::Distances distances;
    distances.unitLength = 1.0;
    distances.rounding = 0.0;
    std::int32_t keptApart = 0, mixed = 0;
    for (double drift = 0.30; drift < 0.70; drift += 0.0125) {
        // lengthsKeepApart: tours of 600 000 units, the tours of a length
        // spread over `drift`, half of it above the whole number.
        const std::uint32_t optimum = 600000;
        distances.longest = 600001;
        distances.driftAbove = distances.driftBelow = drift / 2;
        const double first = 600000.0 + drift / 2, next = 600001.0 - drift / 2;
        const bool apart = filedIn({first}, next, -1) && filedIn({next}, first, -1);
        EXPECT_TRUE(!counting::lengthsKeepApart(distances, optimum) || apart) << drift;

        // entriesKeepApart: the first tour of each length at its least drift;
        // 19 lengths, the first two a unit apart, or 20 (a full table, so
        // longer lengths went uncounted) three units apart.
        distances.leastDrift = 0.0;
        distances.mostDrift = drift;
        for (const std::int32_t used : {kSpectrumEntries - 1, kSpectrumEntries}) {
            std::vector<counting::LengthCount> tours;
            std::vector<double> sums;
            for (std::int32_t i = 0; i < used; ++i) {
                const auto whole = static_cast<std::uint32_t>(used == kSpectrumEntries || i == 0 ? 600000 + 3 * i : 599998 + 3 * i);
                tours.push_back(counting::LengthCount{whole, 1u});
                sums.push_back(static_cast<double>(whole));
            }
            bool right = true;
            for (std::int32_t i = 0; i < used; ++i) {
                const double whole = sums[static_cast<std::size_t>(i)];
                right = right && filedIn(sums, whole + distances.leastDrift, i) && filedIn(sums, whole + distances.mostDrift, i);
            }
            if (used == kSpectrumEntries) {
                // A longer length may come while the table has room and take
                // the last entry's tours, or fall in that entry.
                const double longer = sums.back() + 1.0;
                std::vector<double> withLonger = sums;
                withLonger.push_back(longer);
                right = right && filedIn(sums, longer, -1) && filedIn(withLonger, sums.back() + distances.mostDrift, used - 1);
            }
            const bool accepted = counting::entriesKeepApart(distances, tours, sums);
            EXPECT_TRUE(!accepted || right) << drift << ", " << used << " lengths";
            keptApart += accepted ? 1 : 0;
            mixed += right ? 0 : 1;
        }
    }
    // Measurements on both sides of the edges.
    EXPECT_GT(keptApart, 4);
    EXPECT_GT(mixed, 4);
}

// The margin of entriesKeepApart takes in the rounding of the tours' sums:
// a first tour placed so that the rounding just reaches past its entry's
// tolerance is refused, one placed just within it is kept.
TEST(CountingChecks, TheRoundingOfTheSumsWidensEveryEntrysReach) {
    counting::Distances distances;
    distances.unitLength = 1.0;
    distances.leastDrift = distances.mostDrift = 0.0;
    distances.rounding = 5e-9;
    const std::vector<counting::LengthCount> tours = {{600000u, 1u}};
    // Where the tolerance of the entry ends above the whole length with its rounding.
    const double top = 600000.0 + distances.rounding;
    double edge = top / (1.0 + 1e-6);
    while (edge + toleranceOf(edge) < top) edge = std::nextafter(edge, top);
    EXPECT_TRUE(counting::entriesKeepApart(distances, tours, {edge + 1e-9}));
    EXPECT_FALSE(counting::entriesKeepApart(distances, tours, {edge - 2e-9}));
}

// A merge whose lengths span exactly the dense table's reach goes through
// the lists: only lengths below base + kDenseSpan fit in the table.
TEST(CountingChecks, DenseMergesStayWithinTheirTable) {
    using counting::LengthCount;
    for (const std::uint32_t span : {counting::kDenseSpan - 1, counting::kDenseSpan}) {
        const LengthCount first[] = {{100, 3}, {100 + span - 40, 2}};
        const LengthCount second[] = {{60, 5}, {60 + span, 7}};
        // Whatever lies next to the table must stay as it was.
        struct {
            counting::DenseSums dense;
            std::uint64_t after = 11;
        } table;
        counting::Merge merge;
        merge.add(first, first + 2, 40, 140 + span);
        merge.add(second, second + 2, 80, 140 + span);
        std::vector<LengthCount> out;
        merge.run(140 + span, table.dense, [&](LengthCount e) { out.push_back(e); });
        ASSERT_EQ(out.size(), 3u) << span;
        EXPECT_EQ(out[0].length, 140u);
        EXPECT_EQ(out[0].count, 8u);
        EXPECT_EQ(out[1].length, 100 + span);
        EXPECT_EQ(out[2].length, 140 + span);
        EXPECT_EQ(out[2].count, 7u) << span;
        EXPECT_EQ(table.after, 11u) << span;
    }
}

TEST_F(SolverCounting, NearlyWholeButTooCloseForTheTolerance) {
    // A column spacing so short that tours counted as one whole length are
    // further apart than the tolerance, and a lattice moved by a unit here and
    // there (its diagonals are nowhere near whole): both are searched.
    std::vector<City> lattice;
    for (std::int32_t i = 0; i < 9; ++i) lattice.push_back(City{2000 + 3000 * (i % 3) + (i % 4 == 1 ? 1 : 0), 2000 + 3000 * (i / 3) + (i % 5 == 3 ? 1 : 0)});
    // Three rows a unit apart, 270 apart along them: the measured drifts fit
    // the tolerance of the shortest tour, but counted, the tours of one whole
    // length would spill over into the entry of another; only those of the
    // shortest lengths do, and they are walked one by one.
    std::vector<City> rows;
    for (std::int32_t i = 0; i < 8; ++i) rows.push_back(City{500 + 270 * ((i * 3) % 8), 4000 + i % 3});
    // A 1320 by 2 rectangle: whole sides, diagonals 0.0015 above; the rough
    // drifts reach 1.5 millionths of the shortest tour, and tours of one whole
    // length do lie further apart than its tolerance: walked, as it is short.
    // Three cities on a row and one 6 below: the measured drift range is
    // wider than the tolerance of the shortest tour, and the tours of the
    // longer lengths do not keep to one entry either: searched.
    enum class Way { Searched, ShortestWalked };
    struct Case {
        std::string name;
        Board board;
        Way way;
    };
    const Case cases[] = {{"close two columns", test::boardWith(2, 10000, twoColumns(9, 40)), Way::Searched},
                          {"moved lattice", test::boardWith(10000, 10000, lattice), Way::Searched},
                          {"three close rows", test::boardWith(10000, 10000, rows), Way::ShortestWalked},
                          {"rectangle 1320 by 2", test::boardWith(10000, {{5380, 4002}, {6700, 4000}, {5380, 4000}, {6700, 4002}}), Way::ShortestWalked},
                          {"three on a row, one below", test::boardWith(10000, {{2834, 4000}, {100, 4006}, {1467, 4006}, {2834, 4006}}),
                           Way::Searched}};
    for (const Case& c : cases) {
        const std::int64_t countedBefore = kept.countedSolves;
        const std::int64_t walkedBefore = kept.countedWithShortestWalked;
        const Solved s = expectSameAsEnumeration(c.board, c.name);
        EXPECT_EQ(kept.countedSolves - countedBefore, c.way == Way::ShortestWalked ? 1 : 0) << c.name;
        EXPECT_EQ(kept.countedWithShortestWalked - walkedBefore, c.way == Way::ShortestWalked ? 1 : 0) << c.name;
        EXPECT_GT(s.tours, 1) << c.name;
    }
}

// Tours joined from two halves are counted as the whole programme counts
// them, lengths and saturated counts alike: halves of one size (16 cities)
// and of two (15 cities, uneven gaps, out of order; 14 on a diagonal).
TEST_F(SolverCounting, ToursJoinedFromHalvesAreCountedAsInFull) {
    std::vector<std::pair<std::string, Board>> boards;
    std::vector<City> line, uneven, diagonal;
    for (std::int32_t i = 0; i < 16; ++i) line.push_back(City{2 + i, 9});
    for (std::int32_t i = 0; i < 15; ++i) uneven.push_back(City{3 + (i * 7) % 15 * 2 + (i * 7) % 15 % 4 / 3, 20});
    for (std::int32_t i = 0; i < 14; ++i) diagonal.push_back(City{1 + (i * 5) % 14 * 2, 1 + (i * 5) % 14 * 2});
    boards.emplace_back("line of 16", boardAt(41, line));
    boards.emplace_back("uneven line of 15", boardAt(41, uneven));
    boards.emplace_back("diagonal of 14", boardAt(41, diagonal));
    std::int32_t saturated = 0;
    for (const auto& [name, b] : boards) {
        SolveRun run;
        counting::Counter c(run, b.cityCount, sharedPointsOf(b), kCountingStorageLimit);
        ASSERT_TRUE(c.distances.measure(b)) << name;
        ASSERT_TRUE(c.programme.buildCompletion(c.distances, c.storage)) << name;
        const std::uint32_t bound = c.programme.optimum + 40 * c.distances.shortest;
        ASSERT_TRUE(c.programme.joinsHalves(c.storage, bound)) << name;
        std::vector<counting::LengthCount> joined, full;
        ASSERT_EQ(c.programme.count(c.distances, c.storage, run, bound, joined), counting::Programme::Run::Complete) << name;
        c.storage.keepLayers = true;  // keeping the layers needs them all
        ASSERT_FALSE(c.programme.joinsHalves(c.storage, bound));
        ASSERT_EQ(c.programme.count(c.distances, c.storage, run, bound, full), counting::Programme::Run::Complete) << name;
        ASSERT_EQ(joined.size(), full.size()) << name;
        for (std::size_t i = 0; i < full.size(); ++i) {
            EXPECT_EQ(joined[i].length, full[i].length) << name << " " << i;
            EXPECT_EQ(joined[i].count, full[i].count) << name << " " << i;
            saturated += full[i].count == counting::kCountLimit ? 1 : 0;
        }
    }
    EXPECT_GT(saturated, 0);
}

TEST_F(SolverCounting, LongEvenLineIsCountedExactly) {
    // 16 cities one unit apart, city 0 at the left end. Every tour crosses each
    // gap an even number of times, so the lengths are the even numbers from
    // 30; the shortest go out and back once, each of cities 1 to 14 on the way
    // out or on the way back: 2^14 orderings.
    std::vector<City> cities;
    for (std::int32_t i = 0; i < 16; ++i) cities.push_back(City{2 + i, 9});
    Board b = boardAt(41, cities);
    fillWithOldContents(b.spectrum);
    ASSERT_TRUE(ensureSolved(b, Solve::Forced, &kept));
    EXPECT_EQ(kept.toursEvaluated, 1);
    ASSERT_EQ(b.spectrum.count, kSpectrumEntries);
    EXPECT_EQ(b.spectrum.counts[0], 16384);
    for (std::int32_t i = 0; i < kSpectrumEntries; ++i) {
        EXPECT_EQ(b.spectrum.lengths[i], (30.0 + 2.0 * i) / 30.0) << i;
    }
    for (std::int32_t k = 0; k < 16; ++k) EXPECT_EQ(b.solutionRoute[k], k);
    EXPECT_EQ(b.solutionRoute[16], 0);
    EXPECT_EQ(b.solutionRoute[17], 0);
    EXPECT_DOUBLE_EQ(b.solutionLength, 30.0 * b.lengthScale);
}

}  // namespace
}  // namespace orvanta
