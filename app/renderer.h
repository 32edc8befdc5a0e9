// Drawing of one repaint into the off-screen picture: the board (its outline,
// the Editor's dotted grid, the city markers, the player's route and the
// keyboard's cursor) and, through the status panel, the texts over it.
#pragma once

#include <cstdint>

#include "app/draw.h"
#include "app/frame.h"
#include "app/layout.h"
#include "app/picture.h"
#include "core/board.h"

namespace orvanta {

namespace colours {
inline constexpr Colour background{176, 176, 176};
inline constexpr Colour frame{192, 192, 192};
inline constexpr Colour gridDark{144, 144, 144};
inline constexpr Colour gridLight{160, 160, 160};
inline constexpr Colour visited{200, 100, 0};  // start city and cities on the route
inline constexpr Colour marker{128, 100, 255}; // outlines; fill of the last picked city
inline constexpr Colour route{128, 128, 128};
inline constexpr Colour cursor{0, 0, 0};       // the keyboard's cursor
}  // namespace colours

// The byte written over the whole pixel memory before a redraw.
inline constexpr std::uint8_t kBackgroundByte = 176;

// The player's route: solid, 1 pixel wide.
inline constexpr Pen kRoutePen{PenStyle::Solid, 1, colours::route};

// The keyboard's cursor: a square frame two pixels thick, kCursorSide wide,
// around the city marker (or the Editor's grid point), clear of the marker.
inline constexpr std::int32_t kCursorSide = 13;
void drawKeyboardCursor(DrawingSurface& surface, const BoardLayout& layout, City point);

// Draws one repaint into a picture and hands it back for the front end to copy
// whole (pictureWidth x pictureHeight from (0, 0)) to the window at (0, 0), or
// null when there is nothing to copy (no picture memory, no drawing surface).
// With a frame it redraws: clears the picture to grey, then draws the board and
// the status panel of the frame as laid out; without one (nullptr) the picture
// keeps what the last redraw left. Changes nothing but the picture. The paint
// handler that calls it is paintWindow (controller.h).
const OffscreenPicture* paintPicture(OffscreenPicture& picture, const Frame* frame, const FrameLayout& layout);

// Draws the frame's board as laid out: its outline, the grid (Editor mode),
// the cities, the player's route and, once shown, the keyboard's cursor over
// them. Reads nothing but its parameters.
void drawBoard(const Frame& frame, DrawingSurface& surface, const BoardLayout& layout);

}  // namespace orvanta
