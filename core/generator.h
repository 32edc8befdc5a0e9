// The random map generator and the settings a new board is made from.
#pragma once

#include <cstdint>

#include "core/board.h"

namespace orvanta {

// A linear congruential generator whose coefficients follow from its bit width.
struct RandomGenerator {
    std::uint32_t state = 1;
    std::uint32_t multiplier = 0;
    std::uint32_t increment = 0;
    std::uint32_t bitWidth = 0;
    std::uint32_t mask = 0;
    std::uint32_t outputShift = 0;

    explicit RandomGenerator(std::uint32_t width) { configureGenerator(width, false); }

    void configureGenerator(std::uint32_t width, bool seedFromClock);
    void stepGenerator();
    // One step scaled to 0..n-1.
    std::int32_t drawBelow(std::int32_t n);
};

struct GridSize {
    std::int32_t width;
    std::int32_t height;
};

// The generator and the settings a new board is made from, at their
// start-up values.
struct MapGenerator {
    RandomGenerator random{32};
    GridSize gridSizeSetting{11, 11};
    std::int32_t cityCountSetting = 8;
};

extern MapGenerator mapGenerator;

// Fills the city from two draws of the global generator, x first.
void randomCity(City& city, std::int32_t width, std::int32_t height);

// Places the board's cities at random, apart by more than a hundredth of the
// grid's larger side, then lets the edition solve it automatically.
void generateCities(Board& board, bool reseed);

// Configures the board from the settings (clamped back into them) and restarts
// the game clock.
void resetBoard(Board& board);

// resetBoard, then a fresh random map seeded from the clock.
void regenerateBoard(Board& board);

}  // namespace orvanta
