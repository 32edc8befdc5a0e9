// The text layer over the board: the mode line, the Profi edition's list of the
// shortest tour lengths, and in Game mode the line with the clock, the picks and
// the verdict.
#pragma once

#include <cstdint>

#include "app/picture.h"
#include "core/board.h"

namespace orvanta {

// Each line is formatted into a buffer of this size (the longest is 103 bytes).
inline constexpr std::int32_t kStatusLineCapacity = 160;

namespace textColours {
inline constexpr Colour strong{80, 80, 80};
inline constexpr Colour dim{128, 128, 128};
}  // namespace textColours

// The player's length in percent of the optimum; the length itself when there
// is no positive optimum.
double lengthRatio(const Board& board);

// 5 * (21 - t) with t = trunc((ratio - 100) * -0.2): the smallest multiple of 5
// above the ratio, never below 105. Held within the int32 range for any ratio.
std::int32_t gradePercent(double ratio);

// The seconds the game line would show now: elapsedSeconds once the route has
// closed, otherwise the clock's seconds since gameStartTime. Changes nothing.
std::int32_t shownGameSeconds();

// Draws the panel; only clientHeight is used (the game line sits 24 pixels
// above the bottom). Keeps elapsedSeconds current while the game clock runs.
void drawStatusPanel(const Board& board, DrawingSurface& surface, std::int32_t clientWidth,
                     std::int32_t clientHeight);

}  // namespace orvanta
