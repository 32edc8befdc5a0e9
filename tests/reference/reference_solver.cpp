#include "reference/reference_solver.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace orvanta::reference {

namespace {

void record(PathSpectrum& s, double length) {
    if (s.count == 0) {
        s.lengths[0] = length;
        s.counts[0] = 1;
        s.count = 1;
        return;
    }
    for (int i = s.count - 1; i >= 0; --i) {
        const double t = std::fabs(1e-6 * s.lengths[i]);
        const bool after = length > s.lengths[i] + t;
        const bool matches = !after && length >= s.lengths[i] - t;
        if (matches) {
            if (s.counts[i] < std::numeric_limits<std::int32_t>::max()) ++s.counts[i];
            return;
        }
        if (after || i == 0) {
            const int at = after ? i + 1 : 0;
            if (at == kSpectrumEntries) return;
            for (int j = kSpectrumEntries - 1; j > at; --j) {
                s.lengths[j] = s.lengths[j - 1];
                s.counts[j] = s.counts[j - 1];
            }
            s.lengths[at] = length;
            s.counts[at] = 1;
            s.count = std::min(s.count + 1, kSpectrumEntries);
            return;
        }
    }
}

}  // namespace

Outcome solveExhaustive(Board& board, std::int32_t& throttle) {
    Outcome outcome;
    const int n = board.cityCount;
    if (n < 2) return outcome;
    board.spectrum.count = 0;
    std::vector<double> matrix(static_cast<std::size_t>(n * n));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) matrix[static_cast<std::size_t>(i * n + j)] = board.cityDistance(i, j);

    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) order[static_cast<std::size_t>(i)] = i;
    std::vector<int> best = order;
    double bestLength = std::numeric_limits<double>::max();
    do {
        ++outcome.toursEvaluated;
        if (++throttle > 2000) {
            ++outcome.sleeps;
            throttle = 0;
        }
        double length = 0.0;
        for (int k = 0; k + 1 < n; ++k)
            length += matrix[static_cast<std::size_t>(order[static_cast<std::size_t>(k)] * n + order[static_cast<std::size_t>(k + 1)])];
        length += matrix[static_cast<std::size_t>(order[static_cast<std::size_t>(n - 1)] * n + order[0])];
        record(board.spectrum, length);
        if (length < bestLength) {
            bestLength = length;
            best = order;
        }
    } while (std::next_permutation(order.begin() + 1, order.end()));

    const double shortest = board.spectrum.lengths[0];
    for (int i = 0; i < board.spectrum.count; ++i)
        board.spectrum.lengths[i] = shortest == 0.0 ? 1.0 : board.spectrum.lengths[i] / shortest;
    for (int k = 0; k < kRouteCapacity; ++k) board.solutionRoute[k] = k < n ? best[static_cast<std::size_t>(k)] : 0;
    board.solutionRoute[n] = board.solutionRoute[0];
    board.solved = 1;
    board.measureSolutionRoute();
    outcome.solved = true;
    return outcome;
}

}  // namespace orvanta::reference
