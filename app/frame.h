// One repaint as a value: everything the picture shows. Where it goes is the
// layout beside it (layout.h). The controller settles the program's state and
// gathers a frame from it (settleFrame, controller.h); the renderer and the
// status panel draw from the frame and the layout they are given and read no
// global. A test or another layout (a small screen) builds both by hand and
// draws them.
#pragma once

#include <cstdint>

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

}  // namespace orvanta
