// The solver's entry: picks the strategy for a board (counting, the classes
// of a row with one city off it, else the search), leaves the board as it
// was when a solve is stopped, and solves on demand or by the edition's rule.
#include "core/solver.h"

#include <cmath>
#include <limits>

#include "core/edition.h"
#include "core/solver_counting.h"
#include "core/solver_line.h"
#include "core/solver_points.h"
#include "core/solver_search.h"

namespace orvanta {

namespace {

// The choice of method: counting first, for the boards it takes, else the search.
bool solveInPlace(Board& board, SolveRun& run) {
    // Boards of whole distances have too many equal tours to walk; they are
    // counted. The counting reports its progress in the first quarter while
    // it counts, held back for a moment: a board it refuses within that
    // moment (most it refuses) leaves the whole share to the search.
    run.enterSpan(0.0, 0.25);
    run.holdBack();
    // The cities on shared points, found once for both.
    const SharedPoints points = sharedPointsOf(board);
    if (solveByCounting(board, run, points)) {
        run.note(&SolveStatistics::countedSolves);
        return true;
    }
    run.dropHeld();
    if (solveOffTheLine(board, run)) return true;
    return solveBySearch(board, run, points);
}

}  // namespace

bool solveExact(Board& board, SolveRun& run) {
    if (board.cityCount < 2) return false;
    const std::int64_t toursBefore = run.toursEvaluated();
    // A stopped solve leaves the board as it was; every write below goes to
    // the spectrum and the solution route.
    const PathSpectrum spectrum = board.spectrum;
    const Route route = board.solutionRoute;
    bool solved = false;
    try {
        solved = solveInPlace(board, run);
    } catch (const SolveStopped&) {
        board.spectrum = spectrum;
        board.solutionRoute = route;
    }
    run.note(&SolveStatistics::toursEvaluated, run.toursEvaluated() - toursBefore);
    if (solved) run.finish();
    return solved;
}

bool solveExact(Board& board, SolveStatistics* statistics) {
    SolveRun run;
    run.keepStatistics(statistics);
    return solveExact(board, run);
}

void takeSolution(Board& board, const Board& solved) {
    board.spectrum = solved.spectrum;
    board.solutionRoute = solved.solutionRoute;
    board.solved = solved.solved;
    board.solutionLength = 0.0;
    if (board.solved) board.measureSolutionRoute();
}

bool ensureSolved(Board& board, Solve request, SolveStatistics* statistics) {
    if (board.solved) return true;
    board.solutionLength = 0.0;
    const bool automatic = kEdition == Edition::Profi && board.cityCount <= kAutoSolveLimit;
    if (request == Solve::Forced || automatic) {
        board.solved = solveExact(board, statistics) ? 1 : 0;
        if (board.solved) board.measureSolutionRoute();
    }
    return board.solved != 0;
}

}  // namespace orvanta
