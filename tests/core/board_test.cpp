#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "core/board.h"
#include "core/edition.h"

namespace orvanta {
namespace {

void configure(Board& b, std::int32_t w, std::int32_t h, std::int32_t n) { b.configureBoard(w, h, n); }

Board squareOfFour() {
    Board b;
    configure(b, 2, 2, 0);
    b.addCity(0, 0);
    b.addCity(1, 0);
    b.addCity(1, 1);
    b.addCity(0, 1);
    return b;
}

TEST(Board, FreshBoardIsAnEmptyTenByTenGrid) {
    Board b;
    EXPECT_EQ(b.gridWidth, 10);
    EXPECT_EQ(b.gridHeight, 10);
    EXPECT_EQ(b.cityCount, 0);
    EXPECT_DOUBLE_EQ(b.lengthScale, 100.0 / 18.0);
    EXPECT_EQ(b.playerRouteLength, 1);
    EXPECT_EQ(b.solved, 0);
    EXPECT_EQ(b.spectrum.count, 0);
    EXPECT_EQ(b.cities.capacity, 18);
    EXPECT_EQ(b.playerRoute.capacity, 19);
    EXPECT_EQ(b.solutionRoute.capacity, 19);
}

TEST(Board, ConfigureClampsAndHandsBackTheValues) {
    Board b;
    std::int32_t w = 1, h = 0, n = 50;
    b.configureBoard(w, h, n);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(n, 4);
    EXPECT_DOUBLE_EQ(b.lengthScale, 50.0);

    w = 11, h = 11, n = 25;
    b.configureBoard(w, h, n);
    EXPECT_EQ(n, 18);
    EXPECT_DOUBLE_EQ(b.lengthScale, 5.0);

    w = 41, h = 41, n = -3;
    b.configureBoard(w, h, n);
    EXPECT_EQ(n, 0);
    EXPECT_DOUBLE_EQ(b.lengthScale, 1.25);

    w = 10000, h = 10000, n = 8;
    b.configureBoard(w, h, n);
    EXPECT_EQ(n, 8);
    EXPECT_DOUBLE_EQ(b.lengthScale, 100.0 / 19998.0);
}

TEST(Board, ConfigureOfHugeGridsDoesNotOverflow) {
    Board b;
    std::int32_t w = INT_MAX, h = INT_MAX, n = INT_MAX;
    b.configureBoard(w, h, n);
    EXPECT_EQ(n, 18);
    EXPECT_GT(b.lengthScale, 0.0);
    EXPECT_DOUBLE_EQ(b.lengthScale, 100.0 / (2.0 * INT_MAX - 2.0));

    // 65536 x 65536 points would wrap to 0 in 32 bits and leave no cities.
    w = 65536, h = 65536, n = 5;
    b.configureBoard(w, h, n);
    EXPECT_EQ(n, 5);
}

TEST(Board, ConfigureResetsRoutesButKeepsStoredCoordinates) {
    Board b;
    configure(b, 11, 11, 7);
    for (int i = 0; i < 7; ++i) b.cities[i] = City{i, i + 1};
    b.playerRouteLength = 3;
    b.solved = 1;
    configure(b, 11, 11, 5);
    configure(b, 11, 11, 7);
    EXPECT_EQ(b.cities[5].x, 5);
    EXPECT_EQ(b.cities[6].y, 7);
    EXPECT_EQ(b.playerRouteLength, 1);
    EXPECT_EQ(b.solved, 0);
    EXPECT_EQ(b.solutionLength, 0.0);
}

TEST(Board, AddCityClampsRefusesDuplicatesAndAFullBoard) {
    Board b;
    configure(b, 11, 11, 0);
    EXPECT_EQ(b.addCity(-4, 12), 1);
    EXPECT_EQ(b.cities[0].x, 0);
    EXPECT_EQ(b.cities[0].y, 10);

    b.addCity(5, 5);
    b.extendPlayerRoute(1);
    b.solved = 1;
    EXPECT_EQ(b.addCity(5, 5), 2);
    EXPECT_EQ(b.solved, 1);
    EXPECT_EQ(b.playerRouteLength, 3);

    for (int i = 0; i < 16; ++i) b.addCity(i % 11, 1 + i / 11);
    ASSERT_EQ(b.cityCount, 18);
    EXPECT_EQ(b.addCity(9, 9), 18);
}

TEST(Board, RemoveCityRenumbersAndResetsTheRoute) {
    Board b;
    configure(b, 11, 11, 0);
    b.addCity(1, 1);
    b.addCity(2, 2);
    b.addCity(3, 3);
    b.extendPlayerRoute(2);
    EXPECT_EQ(b.removeCity(-1), 3);
    EXPECT_EQ(b.playerRouteLength, 2);
    EXPECT_EQ(b.removeCity(0), 2);
    EXPECT_EQ(b.cities[0].x, 2);
    EXPECT_EQ(b.cities[1].x, 3);
    EXPECT_EQ(b.cities[2].x, 3);  // the freed slot keeps its old point
    EXPECT_EQ(b.playerRouteLength, 1);
    EXPECT_EQ(b.removeCity(7), 2);  // not a city: nothing happens
}

TEST(Board, DistancesAndLengthsAreScaled) {
    Board b;
    configure(b, 11, 11, 0);
    b.addCity(0, 0);
    b.addCity(3, 4);
    EXPECT_DOUBLE_EQ(b.cityDistance(0, 1), 5.0);
    EXPECT_EQ(b.cityDistance(1, 1), 0.0);
    b.playerRoute[1] = 1;
    b.playerRouteLength = 2;
    b.measurePlayerRoute();
    EXPECT_DOUBLE_EQ(b.playerLength, 25.0);
}

TEST(Board, DistanceBetweenExtremeCoordinatesDoesNotOverflow) {
    Board b;
    b.cities[0] = City{INT_MIN, INT_MIN};
    b.cities[1] = City{INT_MAX, INT_MAX};
    const double side = 4294967295.0;
    EXPECT_DOUBLE_EQ(b.cityDistance(0, 1), std::sqrt(2.0) * side);
}

TEST(Board, PicksBuildCloseAndCutBackTheRoute) {
    Board b = squareOfFour();
    EXPECT_FALSE(b.extendPlayerRoute(1));
    EXPECT_FALSE(b.extendPlayerRoute(2));
    EXPECT_TRUE(b.extendPlayerRoute(3));
    ASSERT_EQ(b.playerRouteLength, 5);
    const int closed[] = {0, 1, 2, 3, 0};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(b.playerRoute[k], closed[k]);
    b.measurePlayerRoute();
    EXPECT_DOUBLE_EQ(b.playerLength, 200.0);

    // Route 0 2 1 3 0: picking 2 cuts back to 0 2; picking 3 drops only the return.
    b.playerRouteLength = 1;
    b.extendPlayerRoute(2);
    b.extendPlayerRoute(1);
    ASSERT_TRUE(b.extendPlayerRoute(3));
    EXPECT_FALSE(b.extendPlayerRoute(3));
    EXPECT_EQ(b.playerRouteLength, 4);
    EXPECT_FALSE(b.extendPlayerRoute(3));  // the last city of an open route: no change
    EXPECT_EQ(b.playerRouteLength, 4);
    EXPECT_FALSE(b.extendPlayerRoute(2));
    EXPECT_EQ(b.playerRouteLength, 2);
    EXPECT_FALSE(b.extendPlayerRoute(0));
    EXPECT_EQ(b.playerRouteLength, 1);
}

TEST(Board, RoutesOfTwoOneAndNoCitiesClose) {
    Board two;
    configure(two, 11, 11, 0);
    two.addCity(0, 0);
    two.addCity(3, 4);
    EXPECT_TRUE(two.extendPlayerRoute(1));
    EXPECT_EQ(two.playerRouteLength, 3);
    EXPECT_EQ(two.playerRoute[2], 0);

    Board one;
    configure(one, 11, 11, 0);
    one.addCity(2, 2);
    EXPECT_FALSE(one.extendPlayerRoute(0));

    Board none;
    EXPECT_TRUE(none.extendPlayerRoute(0));
}

TEST(Board, PickOfCityZeroAtTheStartShowsTheSolutionOnlyInProfi) {
    Board b = squareOfFour();
    const int solution[] = {0, 3, 2, 1, 0};
    for (int k = 0; k < 5; ++k) b.solutionRoute[k] = solution[k];

    EXPECT_FALSE(b.extendPlayerRoute(0));  // unsolved: nothing
    EXPECT_EQ(b.playerRouteLength, 1);

    b.solved = 1;
    const bool closed = b.extendPlayerRoute(0);
    if (isProfi()) {
        EXPECT_TRUE(closed);
        ASSERT_EQ(b.playerRouteLength, 5);
        for (int k = 0; k < 5; ++k) EXPECT_EQ(b.playerRoute[k], solution[k]);
    } else {
        EXPECT_FALSE(closed);
        EXPECT_EQ(b.playerRouteLength, 1);
    }
}

TEST(FixedArray, AssignmentCopiesTheCommonPrefixOnly) {
    FixedArray<int> small(3), large(5);
    for (int i = 0; i < 5; ++i) large[i] = 10 + i;
    small[0] = 7;
    large = small;  // copies 3, keeps the last two
    EXPECT_EQ(large[0], 7);
    EXPECT_EQ(large[1], 0);
    EXPECT_EQ(large[3], 13);
    large.release();
    EXPECT_EQ(large.items, nullptr);
    EXPECT_EQ(large.capacity, 0);
}

}  // namespace
}  // namespace orvanta
