// The random map generator: its linear congruential sequence, the random
// boards it draws, and the boards reset or made anew from the settings.
#include "core/generator.h"

#include <cmath>

#include "core/game_clock.h"
#include "core/platform.h"
#include "core/solver.h"

namespace orvanta {

MapGenerator mapGenerator;

void RandomGenerator::configureGenerator(std::uint32_t width, bool seedFromClock) {
    if (width > 32) width = 32;
    if (width == 0) width = 1;
    const double a = std::ldexp(1.0, static_cast<int>(width) - 1);
    const double k = std::trunc(a * std::atan(1.0) * 0.125 + 0.5);
    const double m = std::trunc(a * (0.5 - std::sqrt(3.0) * (1.0 / 6.0)) + 0.5);
    multiplier = static_cast<std::uint32_t>(8.0 * k + 5.0);
    increment = static_cast<std::uint32_t>(2.0 * m + 1.0);
    bitWidth = width;
    mask = width == 32 ? 0xFFFFFFFFu : (0xFFFFFFFFu >> (32 - width));
    multiplier &= mask;
    increment &= mask;
    outputShift = width < 32 ? 32 - width : 0;
    state = seedFromClock ? (static_cast<std::uint32_t>(platform::clockSeconds()) & mask) : 1u;
}

void RandomGenerator::stepGenerator() { state = (multiplier * state + increment) & mask; }

std::int32_t RandomGenerator::drawBelow(std::int32_t n) {
    stepGenerator();
    const std::uint32_t u = state << outputShift;
    return static_cast<std::int32_t>((static_cast<std::int64_t>(u) * n) >> 32);
}

void randomCity(City& city, std::int32_t width, std::int32_t height) {
    city.x = mapGenerator.random.drawBelow(width);
    city.y = mapGenerator.random.drawBelow(height);
}

void generateCities(Board& board, bool reseed) {
    if (reseed) mapGenerator.random.state = static_cast<std::uint32_t>(platform::clockSeconds()) & mapGenerator.random.mask;
    const double minSpacing = 0.01 * static_cast<double>(board.gridWidth > board.gridHeight ? board.gridWidth : board.gridHeight);
    for (std::int32_t i = 0; i < board.cityCount; ++i) {
        bool apart = false;
        while (!apart) {
            randomCity(board.cities[i], board.gridWidth, board.gridHeight);
            apart = true;
            for (std::int32_t j = 0; j < i && apart; ++j)
                if (board.cityDistance(j, i) <= minSpacing) apart = false;
        }
    }
    board.solutionLength = 0.0;
    board.solved = 0;
    ensureSolved(board, Solve::IfAutomatic);
}

void resetBoard(Board& board) {
    board.configureBoard(mapGenerator.gridSizeSetting.width, mapGenerator.gridSizeSetting.height, mapGenerator.cityCountSetting);
    gameClock.routeClosed = false;
    gameClock.gameFinished = 0;
    gameClock.gameStartTime = platform::clockSeconds();
}

void regenerateBoard(Board& board) {
    resetBoard(board);
    generateCities(board, true);
}

}  // namespace orvanta
