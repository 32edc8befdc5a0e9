// The thread a forced solve runs on, beside the window. Each front end links
// one implementation of these functions: the desktops the standard library's
// thread (solve_thread.cpp), the browser a Web Worker, the tests a fake. All
// are called on the window's thread.
#pragma once

#include "core/board.h"

namespace orvanta::platform {

// Starts solving a copy of `board` beside the window. Only one solve runs at
// a time: the caller stops the last one first. When the solve ends (solved or
// not), the front end has collectFinishedSolve() called on the window's thread.
void startSolveThread(const Board& board);

// Asks the running solve to stop and forgets it; returns at once. A result it
// may still produce is never handed over.
void stopSolveThread();

// How far the running solve has come, from 0 to 1.
double solveThreadProgress();

// Waits up to `milliseconds` for the running solve to end; whether it did.
// A front end that cannot wait returns false at once.
bool waitForSolveThread(int milliseconds);

// Hands over the ended solve's board, solved or not; false while it runs or
// when there is none.
bool takeSolvedBoard(Board& solved);

// Stops the solve and waits for its thread: before the program exits.
void endSolveThread();

// For solve_thread.cpp: asks the window's event loop to call
// collectFinishedSolve() soon. Safe to call from any thread.
void postSolveEnded();

}  // namespace orvanta::platform
