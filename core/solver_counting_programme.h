// Internal to the counting solve: the storage of its programme over (set of
// visited cities, end city) and the Counter that drives it. The programme and
// the driver are in solver_counting.cpp; solver_counting_near.cpp handles
// boards whose distances are only nearly whole numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/board.h"
#include "core/solver_counting.h"
#include "core/solver_counting_merge.h"
#include "core/solver_points.h"

namespace orvanta::counting {

// A table entry is an entry of the path spectrum; what a state of the
// programme keeps is a list of (length, count) pairs, kept in blocks of this
// many pairs: a state's list never straddles two.
constexpr std::size_t kBlockBits = 16;
constexpr std::size_t kBlockPairs = std::size_t{1} << kBlockBits;

// One layer of the programme: the states of all sets of one size, in the
// order of the sets' ranks and, within a set, of the end cities.
struct Layer {
    std::vector<std::uint32_t> first;  // index of the first pair of each state
    std::vector<std::uint8_t> used;    // pairs of each state
    std::vector<std::unique_ptr<LengthCount[]>> blocks;
    std::size_t filled = kBlockPairs;  // pairs taken in the last block
    std::size_t bytes = 0;

    // A pair's index packs its block (the high bits) and its place there.
    std::uint32_t nextIndex() const { return static_cast<std::uint32_t>(((blocks.size() - 1) << kBlockBits) | filled); }
    const LengthCount* list(std::size_t state) const {
        const std::uint32_t at = first[state];
        return blocks[at >> kBlockBits].get() + (at & (kBlockPairs - 1));
    }
};

// The lengths of the states of a layer, kept after the layer is done:
// state s has lengths[start[s]] to lengths[start[s + 1] - 1].
struct KeptLayer {
    std::vector<std::uint32_t> start;
    std::vector<std::uint32_t> lengths;
};

// Boards of fewer cities besides city 0 count in full; tour lengths beyond
// this many units above the optimum too.
constexpr std::int32_t kHalvesFrom = 4;
constexpr std::uint32_t kJoinSpan = std::uint32_t{1} << 16;

struct Counter {
    SolveRun* run = nullptr;
    std::int32_t n = 0;
    std::int32_t m = 0;  // cities besides city 0; city c is bit c - 1 of a set
    std::uint32_t full = 0;
    std::vector<std::uint32_t> distance;  // n × n, in units
    // Distances only nearly whole: each is counted as its nearest whole
    // number, and its own value (the board's distance) is kept beside it.
    bool near = false;
    std::vector<double> exact;  // n × n board distances, when near
    // No tour's length lies further than these above or below the whole
    // number it is counted as (grid units), rounding of the sums included.
    double driftAbove = 0.0;
    double driftBelow = 0.0;
    // The most by which rounding moves a tour's sum, within those drifts.
    double rounding = 0.0;
    // The least and the greatest sum of the differences from whole numbers
    // along any tour, when measured (solver_counting_spread.cpp).
    double leastDrift = 0.0;
    double mostDrift = 0.0;
    // Distances are whole multiples of √radicand (radicand square-free; 1
    // for whole numbers), counted in units of unit such multiples: one unit
    // is unitLength grid units (rounded, when the radicand is above 1).
    std::uint64_t radicand = 1;
    std::uint32_t unit = 1;               // gcd of the non-zero multiples
    double unitLength = 1.0;
    std::uint32_t longest = 0;            // no tour is longer, in units
    std::uint32_t shortest = 0;           // shortest non-zero distance, in units
    // Shortest way from city c through every city of rest and back to city 0,
    // at completion[rest * m + c - 1], for c outside rest.
    std::vector<std::uint32_t> completion;
    std::uint32_t optimum = 0;
    std::uint32_t binomial[kMaxCities + 1][kMaxCities + 1] = {};
    // Cities on one grid point are counted in one order only, ascending;
    // each count then stands for points.orderingsPerPattern orderings.
    SharedPoints points;
    std::size_t fixedBytes = 0;
    Layer layers[2];
    // With keepLayers, count() keeps the layers, by size of the set less one;
    // a layer that did not fit is kept empty, with no states.
    bool keepLayers = false;
    std::vector<KeptLayer> kept;
    std::size_t keptBytes = 0;
    DenseSums dense;

    std::uint32_t d(std::int32_t a, std::int32_t b) const { return distance[static_cast<std::size_t>(a) * static_cast<std::size_t>(n) + static_cast<std::size_t>(b)]; }
    std::size_t completionIndex(std::uint32_t set, std::int32_t c) const {
        return static_cast<std::size_t>(set) * static_cast<std::size_t>(m) + static_cast<std::size_t>(c - 1);
    }
    std::uint32_t rest(std::uint32_t set, std::int32_t c) const { return completion[completionIndex(set, c)]; }
    // Position of a set among the sets of its size in increasing order (the
    // combinatorial number system: the i-th lowest member at bit b passes
    // over C(b, i) smaller sets).
    std::uint32_t rankAmongSameSize(std::uint32_t set) const {
        std::uint32_t r = 0;
        std::int32_t i = 1;
        for (; set != 0; set &= set - 1, ++i) r += binomial[lowestBit(set)][i];
        return r;
    }

    double e(std::int32_t a, std::int32_t b) const { return exact[static_cast<std::size_t>(a) * static_cast<std::size_t>(n) + static_cast<std::size_t>(b)]; }

    bool measure(const Board& board);
    bool measure(const Board& board, std::uint64_t radicand);
    bool buildCompletion();
    bool measureDriftRange();
    std::size_t storageLimit = kCountingStorageLimit;
    bool fits(std::size_t extra) const { return fixedBytes + keptBytes + layers[0].bytes + layers[1].bytes + extra <= storageLimit; }
    bool startLayer(Layer& layer, std::size_t states);
    LengthCount* room(Layer& layer);
    void keepLayer(Layer& done);
    enum class Run { Complete, TooLarge };
    Run count(std::uint32_t bound, std::vector<LengthCount>& tours);
    // Cities in the sets of the first half of a tour joined from two halves:
    // the second half's sets are as large or one smaller.
    std::int32_t firstHalf() const { return (m + 2) / 2; }
    // Whether count() builds only the layers up to the first half's and joins
    // the tours from two halves: about half the work, but its layers cannot
    // be kept, it needs a table of every length up to the bound, and it
    // counts no shared points.
    bool joinsHalves(std::uint32_t bound) const {
        return !keepLayers && points.orderingsPerPattern == 1 && m >= kHalvesFrom && bound - optimum < kJoinSpan;
    }
    bool joinHalves(std::uint32_t bound, std::vector<LengthCount>& tours, std::uint32_t setsDone, std::uint32_t setsToDo);
    void firstShortestRoute(std::int32_t* order) const;
    // Index of the state (set, end) within its layer.
    std::size_t stateIndex(std::uint32_t set, std::int32_t end) const {
        std::size_t at = 0;
        for (std::uint32_t below = set & ((1u << (end - 1)) - 1u); below != 0; below &= below - 1) ++at;
        return static_cast<std::size_t>(rankAmongSameSize(set)) * static_cast<std::size_t>(countMembers(set)) + at;
    }
};

// For a board of nearly whole distances: whether every length the counting
// tells apart lands in an entry of its own and every tour counted as one
// length in the same entry, so that the counts hold exactly.
bool lengthsKeepApart(const Counter& counter);

// For a board of nearly whole distances whose drift range is measured: whether
// it may yet keep apart the lengths counted, judged before counting ...
bool driftRangeMayKeepApart(const Counter& counter);
// ... and whether, with the sums the entries keep, every tour counted as one
// length falls in the entry of that length and in no other, however the
// enumeration orders them.
bool entriesKeepApart(const Counter& counter, const std::vector<LengthCount>& tours, const std::vector<double>& sums);

// For a board of nearly whole distances, the tours that decide the table:
// for each length counted (in units), the tour sum of the first ordering in
// enumeration order counted as that length, and the first ordering with the
// smallest tour sum of all. The walks go on from the lengths whose sums are
// known (from the solution, when none are), taking at most
// `stepsForLengths` steps for the lengths: OutOfSteps when those ran out
// before the walks' own limit, Refused when the walks would take too long
// or find no tour of a length.
enum class Walked { Done, OutOfSteps, Refused };
Walked firstToursOfLengths(const Counter& counter, const std::vector<LengthCount>& tours, std::vector<double>& sums, std::int32_t* best,
                           std::int64_t stepsForLengths);

}  // namespace orvanta::counting
