#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/edition.h"
#include "core/solver.h"
#include "reference/reference_solver.h"
#include "support/fake_clock.h"
#include "support/boards.h"

namespace orvanta {
namespace {

using test::boardOf;

void expectRoute(const Board& b, const std::vector<int>& route) {
    for (std::size_t k = 0; k < route.size(); ++k)
        EXPECT_EQ(b.solutionRoute[static_cast<std::int32_t>(k)], route[k]) << "entry " << k;
}

class Solver : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetClock(0);
        toursEvaluated = 0;
    }
};

TEST_F(Solver, FewerThanTwoCitiesAreNeverSolved) {
    for (int cities = 0; cities < 2; ++cities) {
        Board b = boardOf(11, cities ? std::vector<City>{{4, 4}} : std::vector<City>{});
        b.spectrum.count = 3;
        b.spectrum.lengths[0] = 9.0;
        EXPECT_FALSE(ensureSolved(b, true));
        EXPECT_EQ(b.solved, 0);
        EXPECT_EQ(b.solutionLength, 0.0);
        EXPECT_EQ(b.spectrum.count, 3);
        EXPECT_EQ(b.spectrum.lengths[0], 9.0);
    }
}

// A solve beside the window is stopped by a request from the window's thread
// or by its deadline, both read when the throttle looks at the clock.
TEST_F(Solver, AStoppedSolveLeavesTheBoardAsItWasAndProgressOnlyGrows) {
    fake::millisecondsPerRead = 1;
    Board b = test::rowWithOneOff(14);
    b.spectrum.count = 7;
    b.spectrum.lengths[3] = 2.5;
    b.solutionRoute[4] = 9;
    const Board before = b;
    for (const std::int64_t deadline : {0, 40, 400}) {
        SolveRun run;
        run.stopAfter(deadline);
        EXPECT_FALSE(solveExact(b, run)) << deadline;
        EXPECT_EQ(std::memcmp(&b.spectrum, &before.spectrum, sizeof b.spectrum), 0) << deadline;
        for (std::int32_t k = 0; k < kRouteCapacity; ++k) EXPECT_EQ(b.solutionRoute[k], before.solutionRoute[k]);
        EXPECT_LT(run.progress(), 1.0);
        if (deadline == 400) {
            EXPECT_GT(run.progress(), 0.25);  // past the counting, into the search
        }
    }
    SolveRun asked;
    asked.requestStop();
    EXPECT_FALSE(solveExact(b, asked));
    EXPECT_EQ(asked.toursEvaluated(), 0);
    EXPECT_FALSE(ensureSolved(b, false));

    // A run that ends reports the whole, and every reading on its way grew.
    fake::resetClock(0);
    fake::millisecondsPerRead = 1;
    Board quick = test::rowWithOneOff(10);
    SolveRun run;
    EXPECT_EQ(run.progress(), 0.0);
    ASSERT_TRUE(solveExact(quick, run));
    EXPECT_EQ(run.progress(), 1.0);
    Board same = test::rowWithOneOff(10);
    ASSERT_TRUE(solveExact(same));
    EXPECT_EQ(std::memcmp(&same.spectrum, &quick.spectrum, sizeof same.spectrum), 0);
}

TEST_F(Solver, TwoAndThreeCities) {
    Board two = boardOf(11, {{0, 0}, {3, 4}});
    ASSERT_TRUE(ensureSolved(two, true));
    expectRoute(two, {0, 1, 0});
    EXPECT_EQ(two.spectrum.count, 1);
    EXPECT_EQ(two.spectrum.lengths[0], 1.0);
    EXPECT_EQ(two.spectrum.counts[0], 1);
    EXPECT_DOUBLE_EQ(two.solutionLength, 50.0);
    EXPECT_EQ(toursEvaluated, 1);

    Board three = boardOf(11, {{0, 0}, {3, 4}, {6, 1}});
    ASSERT_TRUE(ensureSolved(three, true));
    expectRoute(three, {0, 1, 2, 0});
    EXPECT_EQ(three.spectrum.count, 1);
    EXPECT_EQ(three.spectrum.counts[0], 2);
    EXPECT_EQ(toursEvaluated, 3);
}

TEST_F(Solver, SquareOfFourKeepsTheFirstOfEqualTours) {
    Board b = boardOf(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    ASSERT_TRUE(ensureSolved(b, true));
    EXPECT_EQ(b.spectrum.count, 2);
    EXPECT_EQ(b.spectrum.lengths[0], 1.0);
    EXPECT_EQ(b.spectrum.counts[0], 2);
    EXPECT_DOUBLE_EQ(b.spectrum.lengths[1], 1.2071067811865475);
    EXPECT_EQ(b.spectrum.counts[1], 4);
    expectRoute(b, {0, 1, 2, 3, 0});
    EXPECT_DOUBLE_EQ(b.solutionLength, 200.0);
    EXPECT_EQ(toursEvaluated, 6);
}

TEST_F(Solver, FiveCitiesWithACentre) {
    Board b = boardOf(11, {{0, 0}, {2, 0}, {2, 2}, {0, 2}, {1, 1}});
    ASSERT_TRUE(ensureSolved(b, true));
    ASSERT_EQ(b.spectrum.count, 3);
    EXPECT_EQ(b.spectrum.lengths[0], 1.0);
    EXPECT_DOUBLE_EQ(b.spectrum.lengths[1], 1.0938363213560542);
    EXPECT_DOUBLE_EQ(b.spectrum.lengths[2], 1.1876726427121087);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(b.spectrum.counts[i], 8);
    expectRoute(b, {0, 1, 2, 3, 4, 0});
}

TEST_F(Solver, SixCitiesFillTheTableWithTheTwentyShortest) {
    Board b = boardOf(41, {{0, 0}, {7, 1}, {13, 9}, {4, 17}, {22, 5}, {30, 28}});
    ASSERT_TRUE(ensureSolved(b, true));
    EXPECT_EQ(b.spectrum.count, 20);
    EXPECT_EQ(b.spectrum.lengths[0], 1.0);
    for (int i = 1; i < 20; ++i) EXPECT_GT(b.spectrum.lengths[i], b.spectrum.lengths[i - 1]);
    // Once the table is full the search skips tours that cannot reach it.
    EXPECT_LT(toursEvaluated, 120);

    Board ref = boardOf(41, {{0, 0}, {7, 1}, {13, 9}, {4, 17}, {22, 5}, {30, 28}});
    std::int32_t throttle = 0;
    reference::solveExhaustive(ref, throttle);
    EXPECT_EQ(std::memcmp(&ref.spectrum, &b.spectrum, sizeof(PathSpectrum)), 0);
    for (int k = 0; k < kRouteCapacity; ++k) EXPECT_EQ(ref.solutionRoute[k], b.solutionRoute[k]);
    EXPECT_EQ(ref.solutionLength, b.solutionLength);
}

TEST(Spectrum, RecordMergesWithinTheToleranceAndKeepsTheFirstLength) {
    PathSpectrum s{};
    recordLength(s, 10.0);
    recordLength(s, 10.0 + 0.9e-5);  // within 1e-6 relative of 10
    recordLength(s, 10.0 - 0.5e-5);  // below, but within the tolerance
    EXPECT_EQ(s.count, 1);
    EXPECT_EQ(s.lengths[0], 10.0);
    EXPECT_EQ(s.counts[0], 3);
    recordLength(s, 10.0 + 2e-5);
    recordLength(s, 5.0);
    ASSERT_EQ(s.count, 3);
    EXPECT_EQ(s.lengths[0], 5.0);
    EXPECT_EQ(s.lengths[1], 10.0);
    EXPECT_EQ(s.lengths[2], 10.0 + 2e-5);
}

TEST(Spectrum, FullTableDropsLongerLengthsAndLosesItsLastEntry) {
    PathSpectrum s{};
    for (int i = 0; i < 20; ++i) recordLength(s, 100.0 + i);
    recordLength(s, 500.0);
    EXPECT_EQ(s.count, 20);
    EXPECT_EQ(s.lengths[19], 119.0);
    recordLength(s, 1.0);
    EXPECT_EQ(s.count, 20);
    EXPECT_EQ(s.lengths[0], 1.0);
    EXPECT_EQ(s.lengths[19], 118.0);
}

TEST(Spectrum, CountsSaturateInsteadOfOverflowing) {
    PathSpectrum s{};
    recordLength(s, 3.0);
    s.counts[0] = INT_MAX - 1;
    recordLength(s, 3.0);
    recordLength(s, 3.0);
    EXPECT_EQ(s.counts[0], INT_MAX);
}

TEST_F(Solver, AllCitiesOnOnePointGiveASpectrumOfOnes) {
    Board b = boardOf(11, {{1, 1}, {2, 2}, {3, 3}});
    for (int i = 0; i < 3; ++i) b.cities[i] = City{5, 5};  // only a file can do this
    ASSERT_TRUE(ensureSolved(b, true));
    ASSERT_EQ(b.spectrum.count, 1);
    EXPECT_EQ(b.spectrum.lengths[0], 1.0);
    EXPECT_EQ(b.spectrum.counts[0], 2);
    EXPECT_EQ(b.solutionLength, 0.0);
}

TEST_F(Solver, ThrottleSleepsOnceForEverySecondOfComputing) {
    // A 3 by 4 block: the search looks at the clock a few dozen times along the way.
    std::vector<City> block;
    for (int i = 0; i < 12; ++i) block.push_back(City{3 + 2 * (i % 3), 4 + 2 * (i / 3)});
    const Board blockBoard = boardOf(41, block);
    Board first = blockBoard;
    ASSERT_TRUE(ensureSolved(first, true));
    EXPECT_EQ(fake::sleepCalls, 0);
    const std::int64_t reads = fake::monotonicReads;
    ASSERT_GT(reads, 20);

    // The same solve, computing in all for the given simulated time (each look
    // at the clock moves it on): one sleep per second, give or take a look.
    struct Case {
        std::int64_t milliseconds;
        std::int32_t leastSleeps, mostSleeps;
    };
    for (const Case& c : {Case{900, 0, 0}, Case{3500, 2, 3}, Case{12000, 10, 12}}) {
        fake::resetClock();
        fake::millisecondsPerRead = c.milliseconds / reads;
        Board b = blockBoard;
        ASSERT_TRUE(ensureSolved(b, true));
        EXPECT_GE(fake::sleepCalls, c.leastSleeps) << c.milliseconds;
        EXPECT_LE(fake::sleepCalls, c.mostSleeps) << c.milliseconds;
        EXPECT_EQ(fake::sleptMilliseconds, 60 * fake::sleepCalls);
        EXPECT_EQ(std::memcmp(&b.spectrum, &first.spectrum, sizeof(PathSpectrum)), 0) << c.milliseconds;
    }

    // Short solves one after another never sleep, however long they take together.
    fake::resetClock();
    fake::millisecondsPerRead = 400;
    for (int solve = 0; solve < 50; ++solve) {
        Board square = boardOf(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
        ensureSolved(square, true);
    }
    EXPECT_GE(fake::monotonicNow, 20000);
    EXPECT_EQ(fake::sleepCalls, 0);
}

TEST_F(Solver, SolvedBoardIsNotSolvedAgain) {
    Board b = boardOf(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    ASSERT_TRUE(ensureSolved(b, true));
    const std::int64_t before = toursEvaluated;
    b.spectrum.counts[0] = 77;
    EXPECT_TRUE(ensureSolved(b, false));
    EXPECT_TRUE(ensureSolved(b, true));
    EXPECT_EQ(toursEvaluated, before);
    EXPECT_EQ(b.spectrum.counts[0], 77);
}

TEST_F(Solver, AutomaticSolveFollowsTheEdition) {
    std::vector<City> nine;
    for (int i = 0; i < 9; ++i) nine.push_back(City{i, (i * 7) % 11});
    std::vector<City> eight(nine.begin(), nine.begin() + 8);

    Board small = boardOf(11, eight);
    Board large = boardOf(11, nine);
    EXPECT_EQ(ensureSolved(small, false), isProfi());
    EXPECT_EQ(small.solved, isProfi() ? 1 : 0);
    EXPECT_FALSE(ensureSolved(large, false));
    EXPECT_EQ(large.solutionLength, 0.0);
    EXPECT_TRUE(ensureSolved(large, true));
}

TEST_F(Solver, ShowSolutionAsRouteOnlyActsInProfi) {
    Board b = boardOf(11, {{0, 0}, {2, 0}, {2, 2}, {0, 2}, {1, 1}});
    ASSERT_TRUE(ensureSolved(b, true));
    b.extendPlayerRoute(3);
    b.showSolutionAsRoute();
    if (isProfi()) {
        EXPECT_EQ(b.playerRouteLength, 6);
        for (int k = 0; k < 6; ++k) EXPECT_EQ(b.playerRoute[k], b.solutionRoute[k]);
    } else {
        EXPECT_EQ(b.playerRouteLength, 2);
    }
}

}  // namespace
}  // namespace orvanta
