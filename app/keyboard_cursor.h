// Play by keyboard: a cursor that the keys move from city to city (in the
// Editor from grid point to grid point), and keys that act where it stands as
// the mouse buttons act where they click. The cursor is part of the window's
// state (app_state.h); drawing shows it from the frame.
//
//   Game       arrows: to the nearest city that way; Page Up / Page Down: to
//              the previous / next city in reading order (top row first, left
//              to right), which reaches every city; Enter or Space: the city
//              under the cursor is picked; Delete or Backspace: the trip
//              starts again from the first city, as a right click does.
//   Editor     arrows: to the next grid point that way (on a grid of more than
//              41 points a side, to the next dotted line); Page Up / Page Down
//              as in the game; Enter or Space: a city is placed under the
//              cursor; Delete or Backspace: the city nearest to it (no farther
//              than a right click reaches) is removed.
//   Generator  the arrows and Space keep their own meaning; Enter enters the
//              game as a left click does, Delete or Backspace makes a new map
//              as a right click does.
//
// While the cursor is hidden, the first key that would act where it stands
// only shows it: on the trip's last city, or in the Editor on the last city
// placed (the middle of an empty grid).
#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "core/board.h"

namespace orvanta {

// A key of the table above, released. Returns false for any other key (and
// for the arrows and Space in Generator mode), which the caller handles.
bool handleCursorKey(int virtualKey);

// Brings windowState.cursor onto the board as it stands: to the same place of a
// grid of another size, into the grid, and outside the Editor onto the city
// nearest to it. Every key and every redraw settles it first.
void settleCursor(const Board& board, AppMode mode);

// The city nearest to `from` among those strictly on the side of direction
// (dx, dy) (one of the four unit steps, y upward), scored by the distance
// along that way plus twice the distance across it; -1 when there is none.
std::int32_t cityInDirection(const Board& board, City from, std::int32_t dx, std::int32_t dy);

// The city after (or, going back, before) point `from` in reading order: the
// top row first, each row from left to right; it wraps around. -1 without cities.
std::int32_t cityInReadingOrder(const Board& board, City from, bool forward);

// The next grid point from `from` in direction (dx, dy): one grid unit on a
// side of at most 41 points, else the next of the 41 dotted lines the Editor
// draws. Returns `from` itself at the grid's edge.
City gridStep(const Board& board, City from, std::int32_t dx, std::int32_t dy);

}  // namespace orvanta
