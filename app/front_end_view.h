// What a front end may read of the program's state besides the picture that
// paintWindow hands it: the mode, the board, the picture's size and where the
// board's cities lie in it. A front end shows these in its own way (the web
// page's texts and its finger aim); it never reads the program's globals.
#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "app/controller.h"
#include "app/frame.h"
#include "app/renderer.h"
#include "core/board.h"

namespace orvanta {

AppMode currentMode();

// The program's board as it stands, read-only: valid until the next input,
// command or repaint changes it.
const Board& currentBoard();

// The size of the picture the last paintWindow made: the client size it was
// asked for, also when it could not be made (0 x 0 before the first repaint).
struct PictureSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};
PictureSize currentPictureSize();

// Where the board lies in the current picture when laid out by `chooseLayout`
// (the layout the last repaint used), and each city's window point: a click
// there picks that city.
struct BoardInPicture {
    BoardLayout layout;
    std::int32_t cityCount = 0;
    WindowPoint cities[kMaxCities] = {};
};
BoardInPicture boardInPicture(LayoutChoice chooseLayout);

}  // namespace orvanta
