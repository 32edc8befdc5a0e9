// Internal to the counting solve: its programme over (set of visited cities,
// end city) and the Counter that holds the parts of one solve: the distances
// (solver_counting_distances.h), the storage of the programme
// (solver_counting_storage.h) and the programme. The programme and the driver
// are in solver_counting.cpp; solver_counting_near.cpp handles boards whose
// distances are only nearly whole numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/bits.h"
#include "core/board.h"
#include "core/solve_run.h"
#include "core/solver_counting_distances.h"
#include "core/solver_counting_merge.h"
#include "core/solver_counting_storage.h"
#include "core/solver_points.h"

namespace orvanta::counting {

// Boards of fewer cities besides city 0 count in full; tour lengths beyond
// this many units above the optimum too.
constexpr std::int32_t kHalvesFrom = 4;
constexpr std::uint32_t kJoinSpan = std::uint32_t{1} << 16;

// The programme over (set of visited cities, end city): its sets, the
// shortest completions that bound it, and the tables it indexes and merges
// its states with. It works on the distances and in the storage it is given.
struct Programme {
    std::int32_t m = 0;  // cities besides city 0; city c is bit c - 1 of a set
    std::uint32_t full = 0;
    // Shortest way from city c through every city of rest and back to city 0,
    // at completion[rest * m + c - 1], for c outside rest.
    std::vector<std::uint32_t> completion;
    std::uint32_t optimum = 0;
    // Lengths (in units) whose tours may split into entries of their own and
    // are then walked one by one lie below this: a quarter above the
    // optimum, beyond which there are far too many to walk.
    std::uint32_t walkedBelow() const { return optimum + optimum / 4; }
    std::uint32_t binomial[kMaxCities + 1][kMaxCities + 1] = {};
    // Cities on one grid point are counted in one order only, ascending;
    // each count then stands for points.orderingsPerPattern orderings.
    SharedPoints points;
    DenseSums dense;

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

    bool buildCompletion(const Distances& distances, Storage& storage);
    enum class Run { Complete, TooLarge };
    Run count(const Distances& distances, Storage& storage, SolveRun& run, std::uint32_t bound, std::vector<LengthCount>& tours);
    // The steps of count: the sets of one city; the layer of the sets of
    // `size` cities from the one before; a state filed from its merge; the
    // tours closed with the edge back to city 0. False when storage runs out.
    bool countFirstLayer(const Distances& distances, Storage& storage, std::uint32_t bound);
    bool countLayer(const Distances& distances, Storage& storage, SolveRun& run, std::uint32_t bound, std::int32_t size,
                    std::uint32_t& setsDone, std::uint32_t setsToDo);
    bool fileState(Storage& storage, Layer& layer, Merge& merge, std::uint32_t limit);
    void closeTours(const Distances& distances, Storage& storage, std::uint32_t bound, std::vector<LengthCount>& tours);
    // Cities in the sets of the first half of a tour joined from two halves:
    // the second half's sets are as large or one smaller.
    std::int32_t firstHalf() const { return (m + 2) / 2; }
    // Whether count() builds only the layers up to the first half's and joins
    // the tours from two halves: about half the work, but its layers cannot
    // be kept, it needs a table of every length up to the bound, and it
    // counts no shared points.
    bool joinsHalves(const Storage& storage, std::uint32_t bound) const {
        return !storage.keepLayers && points.orderingsPerPattern == 1 && m >= kHalvesFrom && bound - optimum < kJoinSpan;
    }
    bool joinHalves(Storage& storage, SolveRun& run, std::uint32_t bound, std::vector<LengthCount>& tours, std::uint32_t setsDone,
                    std::uint32_t setsToDo);
    void firstShortestRoute(const Distances& distances, std::int32_t* order) const;
    // Index of the state (set, end) within its layer.
    std::size_t stateIndex(std::uint32_t set, std::int32_t end) const {
        std::size_t at = 0;
        for (std::uint32_t below = set & ((1u << (end - 1)) - 1u); below != 0; below &= below - 1) ++at;
        return static_cast<std::size_t>(rankAmongSameSize(set)) * static_cast<std::size_t>(countMembers(set)) + at;
    }
};

// One counting solve: its parts, and the run that throttles it and takes its
// progress. The steps that drive it are in solver_counting.cpp.
struct Counter {
    // For a board of n cities (2 to kMaxCities) with these cities on shared points.
    Counter(SolveRun& solveRun, std::int32_t n, const SharedPoints& points, std::size_t storageLimit);

    SolveRun* run = nullptr;
    Distances distances;
    Storage storage;
    Programme programme;
};

// For a board of nearly whole distances: whether every length the counting
// tells apart lands in an entry of its own and every tour counted as one
// length in the same entry, so that the counts hold exactly.
bool lengthsKeepApart(const Distances& distances, std::uint32_t optimum);

// For a board of nearly whole distances whose drift range is measured: whether
// the tours of a length counted (in units) may yet keep to one entry, judged
// before the sums are known ...
bool driftRangeMayKeepApart(const Distances& distances, std::uint32_t length);
// ... and whether, with the sums the entries keep, every tour counted as one
// length falls in the entry of that length and in no other, however the
// enumeration orders them.
bool entriesKeepApart(const Distances& distances, const std::vector<LengthCount>& tours, const std::vector<double>& sums);

// ... and otherwise, when only the tours of the shortest lengths may fall in
// entries of their own or in another length's entry: how many lengths those
// are, so that their tours are walked (0 when every length keeps apart, -1
// when the longer ones do not either).
std::int32_t shortLengthsToWalk(const Distances& distances, const std::vector<LengthCount>& tours, const std::vector<double>& sums);

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
// Every tour of the first `lengths` lengths counted, walked in enumeration
// order and recorded into `table` as the enumeration records it; `best`
// gets the first ordering with the smallest sum. Refused for boards with
// shared points and when the walk would take too long.
Walked shortLengthsWalked(const Counter& counter, const std::vector<LengthCount>& tours, std::int32_t lengths, PathSpectrum& table,
                          std::int32_t* best);

}  // namespace orvanta::counting
