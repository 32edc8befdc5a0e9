// The application state shared by the controller, the renderer and the front
// ends. The generator settings live in core/generator.h and the game clock with
// routeClosed in core/game_clock.h.
#pragma once

#include <cstdint>

namespace orvanta {

// Numbered as stored and shown: Editor 0, Generator 1, Game 2.
enum class AppMode : std::int32_t { Editor = 0, Generator = 1, Game = 2 };

// The current mode; Generator at start.
extern AppMode mode;

// Client-area point of the last recorded click, x to the right, y downward.
extern std::int32_t clickX;
extern std::int32_t clickY;

// A left or right button press waits to be applied by the next dirty repaint
// (both may be set when two clicks came before one repaint).
extern std::int32_t leftClickPending;
extern std::int32_t rightClickPending;

// The off-screen picture must be redrawn at the next repaint. Raised by
// requestRepaint and by a change of the client size; cleared by every repaint.
extern std::int32_t pictureDirty;

}  // namespace orvanta
