#include "support/fake_solve_services.h"

#include "app/background_solve.h"
#include "app/solve_services.h"
#include "core/solver.h"

namespace orvanta::fake {

SolveRunnerLog solveRunner;

namespace {
Board copy;
bool ended = false;  // the copy is solved and waits to be taken
}  // namespace

void resetSolveRunner() {
    solveRunner = SolveRunnerLog{};
    ended = false;
}

bool endRunningSolve() {
    if (!solveRunner.running) return false;
    copy.solved = solveExact(copy) ? 1 : 0;
    ended = true;
    collectFinishedSolve();
    return true;
}

}  // namespace orvanta::fake

namespace orvanta::platform {

using fake::solveRunner;

void startSolveThread(const Board& board) {
    ++solveRunner.starts;
    fake::copy = board;
    fake::ended = false;
    solveRunner.running = true;
}

void stopSolveThread() {
    if (!solveRunner.running) return;
    ++solveRunner.stops;
    solveRunner.running = false;
}

double solveThreadProgress() { return solveRunner.running ? solveRunner.progress : 0.0; }

bool waitForSolveThread(int) {
    if (!solveRunner.running || !solveRunner.endsWithinWait) return false;
    fake::copy.solved = solveExact(fake::copy) ? 1 : 0;
    fake::ended = true;
    return true;
}

bool takeSolvedBoard(Board& solved) {
    if (!solveRunner.running || !fake::ended) return false;
    solved = fake::copy;
    solveRunner.running = false;
    return true;
}

void endSolveThread() { stopSolveThread(); }

void postSolveEnded() {}

}  // namespace orvanta::platform
