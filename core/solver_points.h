// Cities on one grid point, as both exact solves use them: such cities are
// interchangeable, so the solves take them in ascending order only and let
// each such ordering stand for all orderings of the pattern of points.
#pragma once

#include <cstdint>

#include "core/board.h"

namespace orvanta {

struct SharedPoints {
    // For each city c of 1..n-1, as sets of cities 1..n-1 (city b is bit
    // b - 1): samePoint[c] the cities on its point, c included; sameBelow[c]
    // and sameAbove[c] those of them below and above c.
    std::uint32_t samePoint[kMaxCities] = {};
    std::uint32_t sameBelow[kMaxCities] = {};
    std::uint32_t sameAbove[kMaxCities] = {};
    // Orderings of cities 1..n-1 per pattern: the product of the factorials
    // of how many of them share each point (at most 17!).
    std::int64_t orderingsPerPattern = 1;
};

inline SharedPoints sharedPointsOf(const Board& board) {
    SharedPoints points;
    for (std::int32_t a = 1; a < board.cityCount; ++a) {
        std::int64_t below = 0;
        for (std::int32_t b = 1; b < board.cityCount; ++b) {
            if (board.cities[a].x != board.cities[b].x || board.cities[a].y != board.cities[b].y) continue;
            points.samePoint[a] |= 1u << (b - 1);
            if (b < a) {
                points.sameBelow[a] |= 1u << (b - 1);
                ++below;
            } else if (b > a) {
                points.sameAbove[a] |= 1u << (b - 1);
            }
        }
        // The k-th city of a point multiplies the orderings by k.
        points.orderingsPerPattern *= below + 1;
    }
    return points;
}

}  // namespace orvanta
