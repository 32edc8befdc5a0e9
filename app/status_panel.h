// The text layer over the board: the mode line, the Profi edition's list of the
// shortest tour lengths, and in Game mode the line with the clock, the picks and
// the verdict.
#pragma once

#include <cstdint>

#include "app/frame.h"
#include "app/layout.h"
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

// Draws the panel of the frame where the layout puts it: the mode line, the
// forced solve's progress, the Profi spectrum, and in Game mode the game line
// with the frame's elapsedSeconds. Reads nothing but its parameters.
void drawStatusPanel(const Frame& frame, DrawingSurface& surface, const PanelLayout& layout);

}  // namespace orvanta
