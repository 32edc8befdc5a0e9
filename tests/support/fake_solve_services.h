// Test stand-in for the solve thread: the solve runs at once, on the test's
// thread, when the test says it ends.
#pragma once

#include <cstdint>

namespace orvanta::fake {

struct SolveRunnerLog {
    std::int32_t starts = 0;
    std::int32_t stops = 0;
    // Whether the next solve ends within the show-solution command's wait.
    bool endsWithinWait = true;
    // What solveThreadProgress reports while a solve runs.
    double progress = 0.0;
    bool running = false;  // started, not yet ended, stopped or taken
};

extern SolveRunnerLog solveRunner;

void resetSolveRunner();

// Ends the running solve as a front end would: solves its board and has
// collectFinishedSolve called. Returns whether one was running.
bool endRunningSolve();

}  // namespace orvanta::fake
