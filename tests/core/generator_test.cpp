#include <gtest/gtest.h>

#include <vector>

#include "core/edition.h"
#include "core/game_clock.h"
#include "core/generator.h"
#include "core/solver.h"
#include "support/fake_clock.h"

namespace orvanta {
namespace {

class Generator : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetClock(0);
        mapGenerator.random.configureGenerator(32, false);
        mapGenerator.gridSizeSetting = GridSize{11, 11};
        mapGenerator.cityCountSetting = 8;
    }
};

TEST_F(Generator, CoefficientsFollowTheWidth) {
    struct Row { std::uint32_t width, multiplier, increment, mask, shift; };
    const Row rows[] = {
        {8, 109, 55, 255, 24},
        {16, 25741, 13851, 65535, 16},
        {32, 1686629717u, 907633387u, 0xFFFFFFFFu, 0},
        {40, 1686629717u, 907633387u, 0xFFFFFFFFu, 0},
    };
    for (const Row& r : rows) {
        RandomGenerator g(r.width);
        EXPECT_EQ(g.multiplier, r.multiplier) << r.width;
        EXPECT_EQ(g.increment, r.increment) << r.width;
        EXPECT_EQ(g.mask, r.mask) << r.width;
        EXPECT_EQ(g.outputShift, r.shift) << r.width;
        EXPECT_EQ(g.state, 1u);
    }
    RandomGenerator zero(0);
    EXPECT_EQ(zero.bitWidth, 1u);
    EXPECT_EQ(zero.mask, 1u);
}

TEST_F(Generator, StatesFromOneAndTheFirstCity) {
    RandomGenerator g(32);
    const std::uint32_t expected[] = {2594263104u, 917784619u, 561129522u, 3130328453u, 4241709332u};
    for (std::uint32_t s : expected) {
        g.stepGenerator();
        EXPECT_EQ(g.state, s);
    }
    City c{};
    randomCity(c, 11, 11);
    EXPECT_EQ(c.x, 6);
    EXPECT_EQ(c.y, 2);
}

TEST_F(Generator, DrawBelowStaysInRangeAtTheExtremes) {
    RandomGenerator g(32);
    // Choose states so that the next step lands on the extremes.
    g.multiplier = 1;
    g.increment = 0;
    g.state = 0xFFFFFFFFu;
    EXPECT_EQ(g.drawBelow(11), 10);
    g.state = 0;
    EXPECT_EQ(g.drawBelow(11), 0);
}

TEST_F(Generator, ClockSecondOneBillionGivesAKnownEightCityMap) {
    fake::clockNow = 1000000000;
    Board b;
    resetBoard(b);
    generateCities(b, true);
    const City expected[] = {{9, 8}, {4, 1}, {10, 8}, {1, 10}, {0, 10}, {3, 8}, {0, 9}, {6, 9}};
    ASSERT_EQ(b.cityCount, 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(b.cities[i].x, expected[i].x) << i;
        EXPECT_EQ(b.cities[i].y, expected[i].y) << i;
    }
    EXPECT_EQ(b.solved, isProfi() ? 1 : 0);
    EXPECT_EQ(b.solutionLength > 0.0, isProfi());
}

TEST_F(Generator, ACityExactlyMinSpacingAwayIsDrawnAgain) {
    // A 10000 by 2 grid has the spacing 100. With multiplier 1 and this
    // increment the x draws are 50, 150, 250, ... and every y is 0, so the
    // second city's first draw lies exactly 100 from the first and is redrawn.
    Board b;
    mapGenerator.gridSizeSetting = GridSize{10000, 2};
    mapGenerator.cityCountSetting = 2;
    resetBoard(b);
    mapGenerator.random.multiplier = 1;
    mapGenerator.random.increment = 21474837u;
    mapGenerator.random.state = 0;
    generateCities(b, false);
    EXPECT_EQ(b.cities[0].x, 50);
    EXPECT_EQ(b.cities[0].y, 0);
    EXPECT_EQ(b.cities[1].x, 250);
    EXPECT_EQ(b.cities[1].y, 0);
}

TEST_F(Generator, ResetClampsTheSettingsAndRestartsTheClock) {
    Board b;
    fake::clockNow = 1234;
    gameClock.gameFinished = 1;
    gameClock.routeClosed = true;
    mapGenerator.gridSizeSetting = GridSize{41, 41};
    mapGenerator.cityCountSetting = 30;
    resetBoard(b);
    EXPECT_EQ(mapGenerator.cityCountSetting, 18);
    EXPECT_EQ(gameClock.gameStartTime, 1234);
    EXPECT_EQ(gameClock.gameFinished, 0);
    EXPECT_EQ(gameClock.routeClosed, 0);

    mapGenerator.gridSizeSetting = GridSize{1, 1};
    resetBoard(b);
    EXPECT_EQ(mapGenerator.gridSizeSetting.width, 2);
    EXPECT_EQ(mapGenerator.gridSizeSetting.height, 2);
    EXPECT_EQ(mapGenerator.cityCountSetting, 4);
}

TEST_F(Generator, NonSquareGridsDrawWithinTheirSides) {
    mapGenerator.gridSizeSetting = GridSize{20, 50};
    mapGenerator.cityCountSetting = 18;
    Board b;
    for (int second = 0; second < 20; ++second) {
        fake::clockNow = 5000 + second;
        regenerateBoard(b);
        for (int i = 0; i < b.cityCount; ++i) {
            EXPECT_LT(b.cities[i].x, 20);
            EXPECT_LT(b.cities[i].y, 50);
            for (int j = 0; j < i; ++j) EXPECT_GT(b.cityDistance(i, j), 0.5);
        }
    }
}

TEST_F(Generator, SameSecondGivesTheSameMap) {
    mapGenerator.gridSizeSetting = GridSize{10000, 10000};
    mapGenerator.cityCountSetting = 12;
    fake::clockNow = 777777;
    Board first, second;
    regenerateBoard(first);
    regenerateBoard(second);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(first.cities[i].x, second.cities[i].x);
        EXPECT_EQ(first.cities[i].y, second.cities[i].y);
        for (int j = 0; j < i; ++j) EXPECT_GT(first.cityDistance(i, j), 100.0);
    }
}

}  // namespace
}  // namespace orvanta
