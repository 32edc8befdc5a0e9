// The plain exhaustive enumeration, kept as the yardstick for the solver in
// core/: every ordering from city 0 in lexicographic order, each one counted,
// timed by its own throttle counter and recorded in the spectrum.
#pragma once

#include <cstdint>

#include "core/board.h"

namespace orvanta::reference {

struct Outcome {
    bool solved = false;
    std::int64_t toursEvaluated = 0;
    std::int32_t sleeps = 0;
};

// Solves the board as the straightforward enumeration does, with the throttle
// counter passed in and advanced exactly as the solver advances its own.
Outcome solveExhaustive(Board& board, std::int32_t& throttle);

}  // namespace orvanta::reference
