// Where one repaint goes: the board's place and scale and the status texts'
// places, the layouts that compute them from the client size, and the one
// conversion each way between grid points and window points, which the
// drawing and the clicks share.
#pragma once

#include <cstdint>
#include <limits>

#include "core/board.h"

namespace orvanta {

struct WindowPoint {
    std::int32_t x;
    std::int32_t y;
};

// The placement of the board for one redraw. Window y grows downward, grid y
// upward.
struct BoardLayout {
    std::int32_t originX = 0;  // window point of grid point (0, 0), bottom-left
    std::int32_t originY = 0;
    std::int32_t farX = 0;     // window point of the top-right grid point
    std::int32_t farY = 0;
    double scale = 0.0;        // window pixels per grid unit, both axes
    // Window pixels per pixel of the drawing's fixed sizes (markers, frame,
    // lines): the screen's scale where a window counts device pixels.
    double pixelScale = 1.0;
};

// The placement of the status texts: the top-left corners of their line boxes.
struct PanelLayout {
    std::int32_t left = 8;              // every line but the spectrum's counts
    std::int32_t modeLineY = 12;
    std::int32_t progressY = 40;        // the forced solve's progress, three rows from here
    std::int32_t spectrumHeaderY = 40;  // Profi: the spectrum's header, its rows below it
    std::int32_t spectrumRowHeight = 16;  // the spectrum's and the progress's rows
    std::int32_t spectrumCountX = 72;
    // The right end (exclusive) of the texts left of the board: the spectrum's
    // counts and the solve's progress, shortened where they are wider. The
    // desktops end it short of the board's frame; the small screen's panels
    // wrap, so there it has no end.
    std::int32_t columnRight = std::numeric_limits<std::int32_t>::max();
    std::int32_t gameLineY = 0;         // Game mode: the clock, the picks and the verdict
};

struct FrameLayout {
    BoardLayout board;
    PanelLayout panel;
};

// The desktops' layout: the board at 80 % of
// the limiting client dimension, centred; the game line 24 pixels above the bottom.
BoardLayout layoutBoard(const Board& board, std::int32_t clientWidth, std::int32_t clientHeight);
PanelLayout layoutPanel(std::int32_t clientWidth, std::int32_t clientHeight);
FrameLayout layoutFrame(const Board& board, std::int32_t clientWidth, std::int32_t clientHeight);

// The desktops' layout for a window that counts device pixels on a screen of
// the given scale (1.5: three device pixels for two): the board as above, the
// markers, the frame, the lines and the status texts' places scaled with it,
// each marker an odd number of pixels wide so that it is centred on its point.
// The texts' font must then keep within the limits times the scale.
PanelLayout layoutPanelAtScale(std::int32_t clientWidth, std::int32_t clientHeight, double pixelScale);
FrameLayout layoutFrameAtScale(const Board& board, std::int32_t clientWidth, std::int32_t clientHeight,
                               double pixelScale);

// A small screen's layout (the web edition on a phone), where the status texts
// stand in panels around the picture: the board fills the picture but for a
// margin that keeps the city markers whole and within a finger's reach, and
// the texts keep the desktops' places (they are not shown in the picture).
FrameLayout layoutSmallScreen(const Board& board, std::int32_t clientWidth, std::int32_t clientHeight);

// The board's frame lies this many pixels (times pixelScale) outside the
// grid's outline.
inline constexpr std::int32_t kBoardFrameMargin = 6;

// A fixed size of the drawing, in pixels at the scale of 1, in the layout's
// window pixels (rounded to the nearest).
std::int32_t scaledPixels(const BoardLayout& layout, std::int32_t pixels);

// Where grid point (gx, gy) lies in the window: x = trunc(originX + gx * scale),
// y = trunc(originY - gy * scale), each held within +-kWindowCoordinateLimit
// (draw.h) so that no grid can overflow it.
WindowPoint gridToWindow(const BoardLayout& layout, std::int32_t gx, std::int32_t gy);

// The grid point nearest to a window point, rounded half away from zero; not
// clamped into the grid (addCity does that). Values beyond the int32 range
// (a huge grid at a tiny scale) are held at its ends.
City windowToGrid(const BoardLayout& layout, std::int32_t x, std::int32_t y);

}  // namespace orvanta
