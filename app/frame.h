// One repaint as a value: everything the picture shows (the frame) and where it
// goes (the layout). The controller settles the program's state and gathers a
// frame from it (settleFrame, controller.h); the renderer and the status panel
// draw from the frame and the layout they are given and read no global. A test
// or another layout (a small screen) builds both by hand and draws them.
#pragma once

#include <cstdint>
#include <limits>

#include "app/app_mode.h"
#include "core/board.h"

namespace orvanta {

// Everything one redraw shows. Read-only to the drawing: the board is the
// program's, looked at through the pointer for the length of one redraw.
struct Frame {
    const Board* board = nullptr;     // the cities, the player's route, the solution and its spectrum
    AppMode mode = AppMode::Generator;
    bool routeClosed = false;         // the player's route has returned to city 0
    std::int32_t elapsedSeconds = 0;  // the game line's clock
    // A forced solve runs beside the window: the status panel shows how far it has come.
    bool solving = false;
    double solveProgress = 0.0;       // 0 to 1
    std::int32_t solveSeconds = 0;
    // The keyboard's cursor, drawn around this grid point once the keyboard
    // has been used (never in Generator mode).
    bool cursorShown = false;
    City cursor{0, 0};
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

// The desktops' layout (renderer.cpp, status_panel.cpp): the board at 80 % of
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

}  // namespace orvanta
