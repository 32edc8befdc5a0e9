// The search's walk, shared by its two files: solver_search.cpp walks the
// orderings and keeps its progress, solver_search_below.cpp the walks below a
// ceiling that it tries in the middle of it. Internal to the search.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "core/board.h"
#include "core/solve_run.h"
#include "core/solver_points.h"
#include "core/solver_search_subtrees.h"
#include "core/solver_search_gap.h"
#include "core/solver_search_table.h"
#include "core/solver_tally.h"

namespace orvanta::search {

// Thrown out of the plain walk when the walk below a gap has settled the board.
struct SettledBelowGap {};

// What the walk's progress estimate keeps between the readings (Search::position).
struct WalkEstimate {
    // Sampled ways down per subtree, and readings between renewals of every level.
    static constexpr std::int32_t kProbes = 4;
    static constexpr std::int32_t kRenewEvery = 64;
    // For each level k of the prefix: the city taken there when its estimate
    // was made (0 for the node being entered), the bound it was made under
    // and the nodes estimated in the subtrees of the open children after it;
    // valid above `depth`.
    std::int32_t taken[kRouteCapacity + 1] = {};
    double bound[kRouteCapacity + 1] = {};
    double later[kRouteCapacity + 1] = {};
    std::int32_t depth = 0;
    std::int64_t readings = 0;
    std::uint64_t visitedThen = 0;
    double share = 0.0;
    std::uint32_t draw = 2463534242u;
};

struct Search {
    std::int32_t n = 0;
    // distance[a * n + b] = cityDistance(a, b)
    std::vector<double> distance;
    // Shortest way from end city e through every city of the set S and back to
    // city 0, at completion[S * kRow + e - 1] (solver_search_table.h).
    // Every entry read is written first: allocated without filling.
    std::unique_ptr<float[]> completion;

    SolveRun* run = nullptr;
    PathSpectrum* spectrum = nullptr;
    // Once the table is full, a prefix whose bound lies above this cannot
    // reach it: every tour below would be dropped.
    double pruneAbove = std::numeric_limits<double>::infinity();
    std::int32_t current[kRouteCapacity] = {};
    std::int32_t best[kRouteCapacity] = {};
    double bestLength = std::numeric_limits<double>::max();

    // The cities on each city's grid point.
    SharedPoints points;
    // The length of the prefix being walked: current[1] to current[depthNow - 1].
    std::int32_t depthNow = 1;
    // Nodes of the walk visited so far, and its tours; at gapWalkAt tours the
    // walk below a gap is tried.
    std::uint64_t visited = 0;
    std::uint64_t toursWalked = 0;
    std::uint64_t gapWalkAt = 0;
    Board* solving = nullptr;
    [[gnu::noinline, gnu::cold]] void tryBelowGap();
    // How far the walk has come (see there); the estimate it keeps between readings.
    WalkEstimate estimate;
    double position();
    void reportPosition() {
        run->reportPosition([](void* search) { return static_cast<Search*>(search)->position(); }, this);
    }
    // Walk patterns of points (true) or every ordering (false).
    bool byPattern = false;
    // The orderings counted per entry.
    EntryTally* tally = nullptr;

    double distanceBetween(std::int32_t a, std::int32_t b) const { return distance[static_cast<std::size_t>(a) * n + b]; }
    float shortestCompletion(std::uint32_t set, std::int32_t end) const {
        return completion[static_cast<std::size_t>(set) * kRow + static_cast<std::size_t>(end - 1)];
    }

    std::uint32_t openChildren(const std::int32_t* prefix, std::int32_t depth, std::uint32_t remaining, double sum) const;
    double sampleSubtree(std::int32_t* prefix, std::int32_t depth, std::uint32_t remaining, double sum, std::uint32_t& draw) const;
    double nodesAhead();
    void buildCompletion();
    void evaluate(double length, std::int64_t orderings);
    void count(double length, std::int64_t orderings);
    void visit(std::int32_t depth, std::int32_t end, double sum, std::uint32_t remaining);
    void visitOnePoint(std::int32_t depth, std::int32_t end, double sum, std::uint32_t remaining);
    void walk(Board& board, bool noting);

    // The walks below a ceiling (collect): the sums of the tours up to it, in
    // order, and whether there were more than it may hold (walkBelowGap), or
    // the tours recorded (the rounds of walkBelowCeilings); visits left.
    double ceiling = 0.0;
    // The shortest tour the walk left unwalked, above the ceiling or a
    // round's full table, as far as the completion table's floats tell
    // (they may lie a little above it).
    double nextAbove = 0.0;
    std::vector<double> sums;
    std::size_t sumsLimit = 0;
    bool overflow = false;
    bool recording = false;
    std::uint64_t visitsLeft = 0;
    void collect(std::int32_t depth, std::int32_t end, double sum, std::uint32_t remaining);
    void lowerRoundLimit();
    void collectChildren(std::int32_t depth, std::int32_t end, double sum, std::uint32_t remaining, std::int32_t after);
    bool walkBelowGap(Board& board);
    void collectSumsBelow(double below, std::size_t limit);

    // Where the lengths of the tours a round records lie.
    LengthBuckets buckets;
    // The next ceiling to walk below (0 before the first turn).
    double nextCeiling = 0.0;
    // The ceiling below which, as the clusters seen so far foretell, the
    // rounds fill the table (0 while they tell nothing).
    double fillingCeiling = 0.0;
    // Set once the rounds are given up for the rest of the walk.
    bool roundsGivenUp = false;
    // Visits the rounds have taken in all, and those of the last whole round
    // and of the one before it.
    std::uint64_t roundsSpent = 0;
    double lastRoundVisits = 0.0;
    double previousRoundVisits = 0.0;
    // The span of the progress the current round reports in.
    double roundFrom = 0.0;
    double roundTo = 0.0;
    // What a round that spent its visits keeps for the next turn that walks
    // below the same ceiling (none while its ceiling is 0): its table, best
    // tour, buckets and estimate, and the node it stopped at, the end of
    // way[1..depth - 1].
    struct RoundState {
        double ceiling = 0.0;
        PathSpectrum table = {};
        std::int32_t best[kRouteCapacity] = {};
        double bestLength = 0.0;
        double nextAbove = 0.0;
        LengthBuckets buckets;
        WalkEstimate estimate;
        std::uint64_t visited = 0;
        std::int32_t way[kRouteCapacity] = {};
        std::int32_t depth = 0;
    } paused;
    // The steps of walkBelowCeilings: the next ceiling and the round's
    // budget; a round started afresh, paused into `paused` or resumed from
    // it; and one round walked.
    bool raiseCeiling(double optimum, double plainPrunesAbove, double plainNodes, std::uint64_t& budget);
    void startRound(PathSpectrum& table);
    void pauseRound(const PathSpectrum& table);
    void resumeRound(PathSpectrum& table);
    bool walkRound(PathSpectrum& table, std::uint64_t& budget);
    void resumeCollect(std::int32_t depth, std::int32_t end, double sum, std::uint32_t remaining);
    bool walkBelowCeilings(Board& board, double plainPrunesAbove, std::uint64_t allowed, double plainNodes);
    void foretell(const std::vector<LengthBuckets::Cluster>& clusters, std::int32_t entries, double above);
    double nodesBelowCeiling();
    std::uint32_t ceilingDraw = 2463534242u;
    double shortestTourBound() const;

    // Subtrees counted whole near the leaves, once the walk has taken
    // countWholeAt tours or the rounds begin (solver_search_subtrees.cpp).
    std::uint64_t countWholeAt = 0;
    CompletionGroups completionGroups;
    // Changes with every change of the table's lengths; the edges of its
    // entries, as of tableVersion forTable.
    std::uint64_t tableVersion = 1;
    struct {
        std::uint64_t forTable = 0;
        double lo[kSpectrumEntries];
        double hi[kSpectrumEntries];
    } edges;
    // The buckets a round's subtree marks, held until it is counted.
    std::size_t groupMarks[2 * kMostGroups] = {};  // up to two buckets per group
    std::int64_t countedWhole = 0;
    void startCountingWhole();
    void tableEdges();
    bool countSubtree(std::int32_t end, double sum, std::uint32_t remaining, bool round);
};

}  // namespace orvanta::search
