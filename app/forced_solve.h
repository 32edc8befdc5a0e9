// The one forced solve in flight beside the window. The show-solution command
// starts it; a solve that ends within a moment is applied before the next
// repaint, a longer one shows its progress in the status panel until it ends,
// the user stops it with Esc, or a change of the cities or the route (or the
// program's end) stops it. Its result is applied only to the board it started
// from. Everything here runs on the window's thread.
#pragma once

#include <cstdint>

#include "core/board.h"

namespace orvanta {

// How long the show-solution command waits for its solve before it lets the
// window go on and shows the progress instead.
inline constexpr int kQuickSolveMilliseconds = 200;

// Starts solving the board beside the window, unless a solve already runs.
// Returns whether the board is solved now (the solve ended within the wait).
bool startForcedSolve(Board& board);

// Stops the solve in flight, if any; the board stays as it is.
void stopForcedSolve();

// Stops the solve in flight if the board no longer holds the cities or the
// player's trip it started from; a click that changed neither leaves it running.
void stopForcedSolveIfChanged(const Board& board);

bool forcedSolveRunning();

// The solve in flight's progress, from 0 to 1, and the whole seconds it has run
// on the calendar clock. On a rare board the share moves very slowly: the
// seconds show that it goes on.
double forcedSolveProgress();
std::int32_t forcedSolveSeconds();

// Called on the window's thread once the solve ended: applies its result to
// the program's board if the board is still the one it started from, and
// requests a repaint. Does nothing when no solve ended.
void collectFinishedSolve();

// At the program's end: stops the solve and waits for its thread.
void endForcedSolve();

}  // namespace orvanta
