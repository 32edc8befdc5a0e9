// The window's state between events (the mode shown, the click waiting for
// the next repaint, whether the picture must be redrawn, the title, the
// keyboard's cursor), the program's one board, and the one function that puts
// every part of the program's state back to its start-up values. The
// generator settings live in core/generator.h, the game clock in
// core/game_clock.h and the document in files/current_document.h.
#pragma once

#include <cstdint>
#include <string>

#include "app/app_mode.h"
#include "core/board.h"

namespace orvanta {

// What the window's events leave for the controller and the next repaint.
struct WindowState {
    AppMode mode = AppMode::Generator;
    // Client-area point of the last recorded click, x to the right, y downward.
    std::int32_t clickX = 0;
    std::int32_t clickY = 0;
    // A left or right button press waits to be applied by the next dirty
    // repaint (both may be set when two clicks came before one repaint).
    bool leftClickPending = false;
    bool rightClickPending = false;
    // The off-screen picture must be redrawn at the next repaint. Raised by
    // requestRepaint and by a change of the client size; cleared by every repaint.
    bool pictureDirty = false;
    // The title's text after the program's name as its Russian source
    // (" - Карта "), shown with the document's name; null for the edition's
    // words of the start. A change of language shows it again translated.
    const char* titleText = nullptr;
    // The map of the day last opened: its code and its date (YYYY-MM-DD), so
    // that a result is shared only for a trip on that very map.
    std::string dailyCode;
    std::string dailyDate;
    // The code of the map on which the player last closed a trip, and that
    // trip's length.
    std::string closedTripCode;
    double closedTripLength = 0.0;
    // The keyboard's cursor: a grid point of the board of gridWidth x
    // gridHeight given beside it (a new grid moves it to the same place on
    // the new one). Outside the Editor it stands on a city once settled
    // (keyboard_cursor.h). Shown from the first key that uses it until the
    // next mouse click, so a player of the mouse never sees it.
    bool cursorShown = false;
    City cursor{0, 0};
    std::int32_t cursorGridWidth = 0;
    std::int32_t cursorGridHeight = 0;
};

extern WindowState windowState;

// The program's one board: the one the window shows and the commands change.
extern Board theBoard;

// Puts the board, the window's state, the game clock, the generator, the document,
// the solver's statistics and the picture back to how the program starts.
// Both desktops call it before their window exists; the tests before each case.
void resetToStartUp();

}  // namespace orvanta
