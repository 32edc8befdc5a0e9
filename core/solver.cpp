#include "core/solver.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "core/edition.h"
#include "core/platform.h"

namespace orvanta {

std::int32_t throttleCounter = 0;

void throttleTour() {
    if (++throttleCounter > kThrottleTours) {
        platform::sleepMilliseconds(kThrottleSleepMs);
        throttleCounter = 0;
    }
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

// Next ordering in lexicographic order with position 0 fixed; false at the end.
bool nextOrdering(std::int32_t* p, std::int32_t n) {
    std::int32_t k = n - 1;
    while (k >= 2 && !(p[k - 1] < p[k])) --k;
    if (k < 2) return false;
    std::int32_t swapAt = k;
    for (std::int32_t j = k; j < n; ++j)
        if (p[j] > p[k - 1] && p[j] < p[swapAt]) swapAt = j;
    std::swap(p[k - 1], p[swapAt]);
    for (std::int32_t a = k, b = n - 1; a < b; ++a, --b) std::swap(p[a], p[b]);
    return true;
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
        const double t = std::fabs(1e-6 * s.lengths[i]);
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

bool solveExact(Board& board) {
    const std::int32_t n = board.cityCount;
    if (n < 2) return false;
    board.spectrum.count = 0;

    std::vector<double> matrix(static_cast<std::size_t>(n) * n, 0.0);
    for (std::int32_t i = 0; i < n; ++i)
        for (std::int32_t j = 0; j < n; ++j) matrix[static_cast<std::size_t>(i) * n + j] = board.cityDistance(i, j);
    auto dist = [&](std::int32_t a, std::int32_t b) { return matrix[static_cast<std::size_t>(a) * n + b]; };

    std::int32_t current[kRouteCapacity] = {};
    std::int32_t best[kRouteCapacity] = {};
    for (std::int32_t i = 0; i < n; ++i) current[i] = i;
    double bestLength = std::numeric_limits<double>::max();

    do {
        throttleTour();
        double length = 0.0;
        for (std::int32_t k = 0; k + 1 < n; ++k) length += dist(current[k], current[k + 1]);
        length += dist(current[n - 1], current[0]);
        recordLength(board.spectrum, length);
        if (length < bestLength) {
            std::memcpy(best, current, sizeof best);
            bestLength = length;
        }
    } while (nextOrdering(current, n));

    normaliseSpectrum(board.spectrum);
    for (std::int32_t k = 0; k < kRouteCapacity; ++k) board.solutionRoute[k] = best[k];
    board.solutionRoute[n] = board.solutionRoute[0];
    return true;
}

}  // namespace orvanta
