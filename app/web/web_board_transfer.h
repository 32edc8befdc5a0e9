// A board as one flat block of bytes, for the hand-over between the page and
// the solve worker (two instances of the same module, so the layout matches).
#pragma once

#include <cstdint>

#include "core/board.h"

namespace orvanta::web {

struct FlatBoard {
    double lengthScale;
    double solutionLength;
    double playerLength;
    PathSpectrum spectrum;
    std::int32_t solved;
    std::int32_t gridWidth;
    std::int32_t gridHeight;
    std::int32_t cityCount;
    std::int32_t playerRouteLength;
    City cities[kMaxCities];
    std::int32_t playerRoute[kRouteCapacity];
    std::int32_t solutionRoute[kRouteCapacity];
};

// Every field of the board, the unused slots of its arrays included: a solve's
// result depends on what the spectrum and the routes held before.
FlatBoard flatten(const Board& board);
void unflatten(const FlatBoard& flat, Board& board);

// The block both sides copy boards through.
FlatBoard& transferBlock();

}  // namespace orvanta::web
