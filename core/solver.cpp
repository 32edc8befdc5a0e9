#include "core/solver.h"

#include <cmath>
#include <limits>

#include "core/edition.h"
#include "core/solver_counting.h"
#include "core/solver_line.h"
#include "core/solver_points.h"
#include "core/solver_search.h"

namespace orvanta {

std::atomic<std::int64_t> toursEvaluated{0};
std::atomic<std::int64_t> countedSolves{0};
std::atomic<std::int64_t> countedWithShortestWalked{0};

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
        ++countedSolves;
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
    toursEvaluated += run.toursEvaluated() - toursBefore;
    if (solved) run.finish();
    return solved;
}

bool solveExact(Board& board) {
    SolveRun run;
    return solveExact(board, run);
}

void takeSolution(Board& board, const Board& solved) {
    board.spectrum = solved.spectrum;
    board.solutionRoute = solved.solutionRoute;
    board.solved = solved.solved;
    board.solutionLength = 0.0;
    if (board.solved) board.measureSolutionRoute();
}

bool ensureSolved(Board& board, bool force) {
    if (board.solved) return true;
    board.solutionLength = 0.0;
    const bool automatic = kEdition == Edition::Profi && board.cityCount <= kAutoSolveLimit;
    if (force || automatic) {
        board.solved = solveExact(board) ? 1 : 0;
        if (board.solved) board.measureSolutionRoute();
    }
    return board.solved != 0;
}

namespace {

void insertAt(PathSpectrum& s, std::int32_t at, double length) {
    // The entry in the last slot has no room and is lost.
    for (std::int32_t j = kSpectrumEntries - 1; j > at; --j) {
        s.lengths[j] = s.lengths[j - 1];
        s.counts[j] = s.counts[j - 1];
    }
    s.lengths[at] = length;
    s.counts[at] = 1;
    if (s.count < kSpectrumEntries) ++s.count;
}

}  // namespace

void recordLength(PathSpectrum& s, double length) {
    if (s.count <= 0) {
        s.lengths[0] = length;
        s.counts[0] = 1;
        s.count = 1;
        return;
    }
    const std::int32_t last = s.count > kSpectrumEntries ? kSpectrumEntries - 1 : s.count - 1;
    for (std::int32_t i = last; i >= 0; --i) {
        const double t = toleranceOf(s.lengths[i]);
        if (length > s.lengths[i] + t) {
            if (i + 1 < kSpectrumEntries) insertAt(s, i + 1, length);
            return;
        }
        if (length >= s.lengths[i] - t) {
            if (s.counts[i] < std::numeric_limits<std::int32_t>::max()) ++s.counts[i];
            return;
        }
        if (i == 0) {
            insertAt(s, 0, length);
            return;
        }
    }
}

void normaliseSpectrum(PathSpectrum& s) {
    const std::int32_t n = s.count > kSpectrumEntries ? kSpectrumEntries : s.count;
    const double shortest = s.lengths[0];
    // All cities on one point: every tour has length 0 and is as long as the
    // optimum, so each entry reads 1.0 instead of dividing by zero.
    if (shortest == 0.0) {
        for (std::int32_t i = 0; i < n; ++i) s.lengths[i] = 1.0;
        return;
    }
    for (std::int32_t i = 0; i < n; ++i) s.lengths[i] /= shortest;
}

}  // namespace orvanta
