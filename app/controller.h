// The controller: what every key release, menu or accelerator command and mouse
// click does to the application state and the board, and the paint handler.
// Keys and commands act at once and request a repaint; a click is only
// recorded and is applied by the next dirty repaint, once the board's layout
// for the window size is known. Before a redraw the controller settles the
// state (settleForRepaint, settleFrame) and gathers what the picture shows
// into a Frame (frame.h); painting then only draws (paintPicture, renderer.h).
#pragma once

#include <cstdint>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/frame.h"
#include "app/layout.h"
#include "app/picture.h"
#include "core/board.h"

namespace orvanta {

// The program's one picture: paintWindow fits it to the client size and draws
// into it; resetToStartUp releases it.
extern OffscreenPicture thePicture;

// Mouse buttons as recordClick takes them.
enum class MouseButton : std::int32_t { Left = 0, Right = 1 };

// ---- Input entry points, called by the front end's window procedure --------

// A key was released; `virtualKey` is a Windows virtual-key code (see
// command_ids.h). Presses, auto-repeats and typed characters are not handled.
// Besides the generator's keys, "+" and Esc, the keys of the keyboard's
// cursor (keyboard_cursor.h).
void handleKeyRelease(int virtualKey);

// A menu or accelerator command. Returns false for an identifier the program
// does not know, which the front end hands to the system's default handling.
// Commands that show a dialog (open/save, About) return only after it closed.
bool handleCommand(int commandId);

// A button press at client point (x, y), read from the cursor position when the
// press is handled. The click is stored and applied by the next repaint.
void recordClick(MouseButton button, std::int32_t x, std::int32_t y);

// The paint handler, given the current client size (a negative size counts as
// 0): settles the state for the repaint (settleForRepaint), then has
// paintPicture redraw the picture from the settled frame, or show it as it is
// when nothing was dirty; clears pictureDirty.
// Returns the picture the front end copies whole (pictureWidth x pictureHeight
// from (0, 0)) to the window at (0, 0), or null when there is nothing to copy
// (empty client area, no picture memory, no drawing surface). The front end
// calls it between the begin and end of its paint handling.
const OffscreenPicture* paintWindow(std::int32_t clientWidth, std::int32_t clientHeight);

// The same with the layout `chooseLayout` makes for the board and the client
// size (paintWindow uses layoutFrame, the desktops' layout).
using LayoutChoice = FrameLayout (*)(const Board& board, std::int32_t clientWidth, std::int32_t clientHeight);
const OffscreenPicture* paintWindow(std::int32_t clientWidth, std::int32_t clientHeight, LayoutChoice chooseLayout);

// A repaint once the state is settled: where it draws and, when the picture is
// to be redrawn, what it shows.
struct SettledRepaint {
    FrameLayout layout;
    bool redraw = false;  // draw `frame`; otherwise the picture is shown as it stands
    Frame frame;
};

// The state-changing half of paintWindow, which draws nothing:
//  1. refreshes an empty board (Generator mode: a fresh random map; Editor
//     mode: an empty board of the grid setting; Game mode: nothing);
//  2. remakes thePicture when the client size differs from the recorded one
//     (and then counts it as dirty);
//  3. if the picture has memory: lays the board out with `chooseLayout`; and if
//     it is dirty, settles the state where the board is now laid out
//     (settleFrame: the waiting click, which may start the edition's solve,
//     the player's route, the keyboard's cursor, the game clock) and gathers
//     the frame to redraw.
SettledRepaint settleForRepaint(std::int32_t clientWidth, std::int32_t clientHeight, LayoutChoice chooseLayout);

// How often the front ends' timer calls handleTimerTick: often enough that the
// shown seconds never lag a whole second.
inline constexpr int kClockCheckMilliseconds = 200;

// The front end's timer, every kClockCheckMilliseconds while the window is
// visible: repaintForSolveProgress, and when that asked for no repaint,
// repaintForGameClock. Returns whether a repaint was requested.
bool handleTimerTick();

// While a forced solve runs, requests a repaint so that its progress shows;
// returns whether it did.
bool repaintForSolveProgress();

// In Game mode with the clock running, requests a repaint when the seconds
// shown are behind the clock, so that the game line follows it; returns
// whether it did. Changes no state besides asking for the repaint.
bool repaintForGameClock();

// ---- Operations on the state and the board ----------------------------------

// invalidateWindow, then pictureDirty is raised.
void requestRepaint();

// The player's route back to city 0 alone; clears routeClosed and gameFinished.
// Leaves gameStartTime and elapsedSeconds alone.
void startPlayerRoute(Board& board);

// Generator mode and an empty board, so the next repaint makes a fresh map from
// the generator settings (a city count of 0 is raised to 1 first).
void restartGenerator(Board& board);

// Forces a solve beside the window (forced_solve.h); once solved, the
// edition may show the solution as the player's route. Works in every mode and
// keeps the mode and the game clock.
void revealSolution(Board& board);

// The index of the city whose window point (as laid out) is nearest to (x, y),
// or -1 when that one is farther than a tenth of the board's drawn width. With
// no cities the result is 0.
std::int32_t pickCity(const Board& board, const BoardLayout& layout, std::int32_t x, std::int32_t y);

// Applies the recorded click(s) with the board laid out as in the repaint in
// progress. Clears both pending flags and runs the edition's automatic solve.
void applyPendingClick(Board& board, const BoardLayout& layout);

// One pick of the player's trip, by a click or a key: city `index` extends the
// trip (extendPlayerRoute); closing it stops the game clock, opening it again
// lets the clock run on.
void pickForTrip(Board& board, std::int32_t index);

// After a click or key has been applied to the board: a solve beside the
// window stops if the cities or the trip it started from changed, and the
// edition's automatic solve runs.
void afterBoardInput(Board& board);

// What a redraw does to the state before anything is drawn, with the board laid
// out for the redraw: applies the pending click (applyPendingClick), measures
// the player's route, settles the keyboard's cursor on the board
// (keyboard_cursor.h), refreshes the game clock; then gathers the frame.
Frame settleFrame(Board& board, const BoardLayout& layout);

// The frame of the state as it stands, with nothing settled: the board, the
// mode, the clock and the forced solve's progress.
Frame currentFrame(const Board& board);

// While a game's clock runs, sets elapsedSeconds to the seconds since its
// start; the redraw calls it so that the game line and a saved game show the
// time of the last redraw. Outside Game mode and once the clock has stopped
// it changes nothing.
void refreshGameClock();

}  // namespace orvanta
