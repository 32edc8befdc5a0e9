#include "app/forced_solve.h"

#include <cstring>

#include "app/controller.h"
#include "app/solve_services.h"
#include "core/platform.h"
#include "core/solver.h"

namespace orvanta {

namespace {

// The board the solve in flight started from; running only while it is set.
bool running = false;
Board startedFrom;
std::int32_t startedAt = 0;

// A solve's result depends on the cities and on what the table held before
// (its unused slots keep the old contents); the route is its own business.
bool sameSolveInput(const Board& a, const Board& b) {
    if (a.cityCount != b.cityCount || a.solved != b.solved) return false;
    if (std::memcmp(&a.spectrum, &b.spectrum, sizeof a.spectrum) != 0) return false;
    const std::int32_t n = a.cityCount < 0 ? 0 : (a.cityCount > kMaxCities ? kMaxCities : a.cityCount);
    for (std::int32_t i = 0; i < n; ++i)
        if (a.cities[i].x != b.cities[i].x || a.cities[i].y != b.cities[i].y) return false;
    return true;
}

// The player's trip, which a finished solve replaces in the Profi edition.
bool sameTrip(const Board& a, const Board& b) {
    if (a.playerRouteLength != b.playerRouteLength) return false;
    const std::int32_t n = a.playerRouteLength < 0 ? 0 : (a.playerRouteLength > kRouteCapacity ? kRouteCapacity : a.playerRouteLength);
    for (std::int32_t k = 0; k < n; ++k)
        if (a.playerRoute[k] != b.playerRoute[k]) return false;
    return true;
}

bool applyFinished(Board& board) {
    Board solved;
    if (!running || !platform::takeSolvedBoard(solved)) return false;
    running = false;
    if (solved.solved == 0 || !sameSolveInput(board, startedFrom)) return false;
    takeSolution(board, solved);
    board.showSolutionAsRoute();
    return true;
}

}  // namespace

bool startForcedSolve(Board& board) {
    if (board.solved) return true;
    if (running) return false;
    // Nothing to solve on fewer than two cities: as an unsolved board.
    if (board.cityCount < 2) return ensureSolved(board, Solve::Forced);
    startedFrom = board;
    startedAt = platform::clockSeconds();
    running = true;
    platform::startSolveThread(board);
    if (!platform::waitForSolveThread(kQuickSolveMilliseconds)) return false;
    return applyFinished(board);
}

void stopForcedSolve() {
    if (!running) return;
    running = false;
    platform::stopSolveThread();
}

void stopForcedSolveIfChanged(const Board& board) {
    if (running && !(sameSolveInput(board, startedFrom) && sameTrip(board, startedFrom))) stopForcedSolve();
}

bool forcedSolveRunning() { return running; }

double forcedSolveProgress() { return running ? platform::solveThreadProgress() : 0.0; }

std::int32_t forcedSolveSeconds() {
    if (!running) return 0;
    const std::int64_t seconds = static_cast<std::int64_t>(platform::clockSeconds()) - startedAt;
    return seconds < 0 ? 0 : static_cast<std::int32_t>(seconds > 999999 ? 999999 : seconds);
}

void collectFinishedSolve() {
    if (!running) return;
    applyFinished(theBoard);
    if (!running) requestRepaint();
}

void endForcedSolve() {
    running = false;
    platform::endSolveThread();
}

}  // namespace orvanta
