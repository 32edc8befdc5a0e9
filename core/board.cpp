// The board's own rules: grid and city count clamped, cities added and removed,
// distances, and the player's trip picked city by city.
#include "core/board.h"

#include <cmath>

#include "core/edition.h"

namespace orvanta {

Board::Board() {
    std::int32_t width = 10, height = 10, count = 0;
    configureBoard(width, height, count);
}

void Board::configureBoard(std::int32_t& width, std::int32_t& height, std::int32_t& count) {
    gridWidth = width < 2 ? 2 : width;
    gridHeight = height < 2 ? 2 : height;
    // The point count of a large grid does not fit 32 bits.
    const std::int64_t points = static_cast<std::int64_t>(gridWidth) * gridHeight;
    std::int64_t wanted = count < points ? count : points;
    if (wanted < 0) wanted = 0;
    if (wanted > kMaxCities) wanted = kMaxCities;
    cityCount = static_cast<std::int32_t>(wanted);
    lengthScale = 100.0 / (static_cast<double>(gridWidth) + static_cast<double>(gridHeight) - 2.0);
    solutionRoute[0] = 0;
    playerRoute[0] = 0;
    playerLength = 0.0;
    solutionLength = 0.0;
    playerRouteLength = 1;
    solved = 0;
    width = gridWidth;
    height = gridHeight;
    count = cityCount;
}

double Board::cityDistance(std::int32_t a, std::int32_t b) const {
    if (a == b) return 0.0;
    // Differences of int32 coordinates need 33 bits, their squares 66: use doubles,
    // which are exact for every grid the generator makes.
    const double dx = static_cast<double>(static_cast<std::int64_t>(cities[a].x) - cities[b].x);
    const double dy = static_cast<double>(static_cast<std::int64_t>(cities[a].y) - cities[b].y);
    return std::sqrt(dx * dx + dy * dy);
}

void Board::measurePlayerRoute() {
    double sum = 0.0;
    for (std::int32_t k = 0; k + 1 < playerRouteLength && k + 1 < kRouteCapacity; ++k)
        sum += cityDistance(playerRoute[k], playerRoute[k + 1]);
    playerLength = lengthScale * sum;
}

void Board::measureSolutionRoute() {
    double sum = 0.0;
    for (std::int32_t k = 0; k < cityCount && k + 1 < kRouteCapacity; ++k)
        sum += cityDistance(solutionRoute[k], solutionRoute[k + 1]);
    solutionLength = lengthScale * sum;
}

std::int32_t Board::addCity(std::int32_t x, std::int32_t y) {
    x = x < 0 ? 0 : (x > gridWidth - 1 ? gridWidth - 1 : x);
    y = y < 0 ? 0 : (y > gridHeight - 1 ? gridHeight - 1 : y);
    if (cityCount >= kMaxCities) return cityCount;
    for (std::int32_t i = 0; i < cityCount; ++i)
        if (cities[i].x == x && cities[i].y == y) return cityCount;
    cities[cityCount] = City{x, y};
    ++cityCount;
    solved = 0;
    playerRouteLength = 1;
    return cityCount;
}

std::int32_t Board::removeCity(std::int32_t index) {
    if (index < 0 || cityCount == 0 || index >= cityCount) return cityCount;
    for (std::int32_t i = index; i + 1 < cityCount; ++i) cities[i] = cities[i + 1];
    --cityCount;
    solved = 0;
    playerRouteLength = 1;
    return cityCount;
}

bool Board::routeContains(std::int32_t index) const {
    for (std::int32_t k = 0; k < playerRouteLength && k < kRouteCapacity; ++k)
        if (playerRoute[k] == index) return true;
    return false;
}

bool Board::extendPlayerRoute(std::int32_t index) {
    if (index == 0) {
        if (playerRouteLength > 1)
            playerRouteLength = 1;
        else if (solved)
            showSolutionAsRoute();
    } else if (routeContains(index)) {
        for (std::int32_t p = 1; p < cityCount; ++p) {
            if (playerRoute[p] == index) {
                playerRouteLength = p + 1;
                break;
            }
        }
    } else if (playerRouteLength < kRouteCapacity) {
        playerRoute[playerRouteLength] = index;
        ++playerRouteLength;
        if (playerRouteLength == cityCount && playerRouteLength < kRouteCapacity) {
            playerRoute[playerRouteLength] = 0;
            ++playerRouteLength;
        }
    }
    return playerRouteLength == cityCount + 1;
}

void Board::showSolutionAsRoute() {
    if constexpr (kEdition == Edition::Profi) {
        for (std::int32_t k = 0; k <= cityCount && k < kRouteCapacity; ++k) playerRoute[k] = solutionRoute[k];
        playerRouteLength = cityCount + 1;
    }
}

}  // namespace orvanta
