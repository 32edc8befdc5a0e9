// The board: the grid, its cities, the player's trip and the optimal trip.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/fixed_array.h"

namespace orvanta {

inline constexpr std::int32_t kMaxCities = 18;
inline constexpr std::int32_t kRouteCapacity = kMaxCities + 1;
inline constexpr std::int32_t kSpectrumEntries = 20;

// A grid point; stored in files as x then y, little-endian int32 each.
struct City {
    std::int32_t x;
    std::int32_t y;
};
static_assert(sizeof(City) == 8, "City is stored as 8 bytes");
static_assert(offsetof(City, y) == 4, "City stores x before y");

using Route = FixedArray<std::int32_t>;

// The shortest distinct tour lengths with the number of orderings of each.
// Stored verbatim (248 bytes) in map and game files.
struct PathSpectrum {
    std::int32_t count;
    std::int32_t reserved;
    double lengths[kSpectrumEntries];
    std::int32_t counts[kSpectrumEntries];
};
static_assert(sizeof(PathSpectrum) == 248, "PathSpectrum is a 248-byte block");
static_assert(offsetof(PathSpectrum, reserved) == 4, "PathSpectrum layout");
static_assert(offsetof(PathSpectrum, lengths) == 8, "PathSpectrum layout");
static_assert(offsetof(PathSpectrum, counts) == 168, "PathSpectrum layout");

struct Board {
    double lengthScale = 0.0;
    std::int32_t solved = 0;
    std::int32_t gridWidth = 0;
    std::int32_t gridHeight = 0;
    FixedArray<City> cities{kMaxCities};
    std::int32_t cityCount = 0;
    Route playerRoute{kRouteCapacity};
    Route solutionRoute{kRouteCapacity};
    std::int32_t playerRouteLength = 1;
    double solutionLength = 0.0;
    double playerLength = 0.0;
    PathSpectrum spectrum{};

    Board();
    Board(const Board&) = default;
    Board& operator=(const Board&) = default;

    // Sets the grid and the city count, clamped, and hands the clamped values back.
    void configureBoard(std::int32_t& width, std::int32_t& height, std::int32_t& count);
    // Euclidean distance between two cities in grid units.
    double cityDistance(std::int32_t a, std::int32_t b) const;
    void measurePlayerRoute();
    void measureSolutionRoute();
    // Adds a city at the clamped point unless the board is full or the point taken.
    std::int32_t addCity(std::int32_t x, std::int32_t y);
    // Removes one city; a negative index removes nothing.
    std::int32_t removeCity(std::int32_t index);
    bool routeContains(std::int32_t index) const;
    // One pick of the player; returns whether the route is now closed.
    bool extendPlayerRoute(std::int32_t index);
    // Profi: the optimal trip becomes the player's trip.
    void showSolutionAsRoute();
};

}  // namespace orvanta
