#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "core/edition.h"
#include "core/solver.h"
#include "core/solver_line.h"
#include "core/solver_search_gap.h"
#include "core/solver_search_table.h"
#include "core/solver_tally.h"
#include "core/spectrum_table.h"
#include "reference/reference_solver.h"
#include "support/fake_clock.h"
#include "support/boards.h"

namespace orvanta {
namespace {

using test::boardOf;

void expectRoute(const Board& b, const std::vector<int>& route) {
    for (std::size_t k = 0; k < route.size(); ++k)
        EXPECT_EQ(b.solutionRoute[static_cast<std::int32_t>(k)], route[k]) << "entry " << k;
}

class Solver : public ::testing::Test {
protected:
    void SetUp() override { fake::resetClock(0); }
    SolveStatistics statistics;
};

TEST_F(Solver, FewerThanTwoCitiesAreNeverSolved) {
    for (int cities = 0; cities < 2; ++cities) {
        Board b = boardOf(11, cities ? std::vector<City>{{4, 4}} : std::vector<City>{});
        b.spectrum.count = 3;
        b.spectrum.lengths[0] = 9.0;
        EXPECT_FALSE(ensureSolved(b, Solve::Forced));
        EXPECT_EQ(b.solved, 0);
        EXPECT_EQ(b.solutionLength, 0.0);
        EXPECT_EQ(b.spectrum.count, 3);
        EXPECT_EQ(b.spectrum.lengths[0], 9.0);
    }
}

// A solve beside the window is stopped by a request from the window's thread
// or by its deadline, both read when the throttle looks at the clock.
TEST_F(Solver, AStoppedSolveLeavesTheBoardAsItWasAndProgressOnlyGrows) {
    fake::millisecondsPerRead = 1;
    Board b = test::closeRow(14, 2, 350);
    b.spectrum.count = 7;
    b.spectrum.lengths[3] = 2.5;
    b.solutionRoute[4] = 9;
    const Board before = b;
    for (const std::int64_t deadline : {0, 40, 1000}) {
        SolveRun run;
        run.stopAfter(deadline);
        EXPECT_FALSE(solveExact(b, run)) << deadline;
        EXPECT_EQ(std::memcmp(&b.spectrum, &before.spectrum, sizeof b.spectrum), 0) << deadline;
        for (std::int32_t k = 0; k < kRouteCapacity; ++k) EXPECT_EQ(b.solutionRoute[k], before.solutionRoute[k]);
        EXPECT_LT(run.progress(), 1.0);
        if (deadline == 1000) {
            EXPECT_GT(run.progress(), 0.0);  // the search's own share: the counting gave the board up at once
        }
    }
    SolveRun asked;
    asked.requestStop();
    EXPECT_FALSE(solveExact(b, asked));
    EXPECT_EQ(asked.toursEvaluated(), 0);
    EXPECT_FALSE(ensureSolved(b, Solve::IfAutomatic));

    // A run that ends reports the whole, and every reading on its way grew.
    fake::resetClock(0);
    fake::millisecondsPerRead = 1;
    Board quick = test::rowWithOneOff(10);
    SolveRun run;
    EXPECT_EQ(run.progress(), 0.0);
    ASSERT_TRUE(solveExact(quick, run));
    EXPECT_EQ(run.progress(), 1.0);
    Board same = test::rowWithOneOff(10);
    ASSERT_TRUE(solveExact(same));
    EXPECT_EQ(std::memcmp(&same.spectrum, &quick.spectrum, sizeof same.spectrum), 0);

    // Counting a row's tours looks at the clock about as often for its work
    // as the search does, once per 1024 tours (some 15 microseconds), so a
    // stop or a deadline is seen as soon. This row of 12 is counted in
    // about 15 ms on a quick machine, in some 950 looks; one look per row
    // of a count's states made it fewer than 100.
    fake::resetClock(0);
    std::vector<City> row = test::closeRowCities(12, 1, 70);
    row[0].y += 1;
    Board counted = test::boardWith(10000, row);
    ASSERT_TRUE(solveExact(counted, &statistics));
    EXPECT_EQ(statistics.lineSolves, 1);
    EXPECT_GT(fake::monotonicReads, 500);
}

// The share of the solve as the status line shows it, hundredths of a
// percent, read at every look of the throttle at the clock.
struct ShareWatch {
    static inline const SolveRun* run = nullptr;
    static inline std::int64_t shown = -1;
    static inline std::int64_t readsShown = 0;  // reads since it last changed
    static inline std::int64_t longestStall = 0;
    static inline bool wholeEarly = false;
    static void read() {
        const double share = run->progress();
        wholeEarly = wholeEarly || share >= 1.0;
        const auto now = static_cast<std::int64_t>(share * 10000.0);
        readsShown = now == shown ? readsShown + 1 : 0;
        shown = now;
        longestStall = std::max(longestStall, readsShown);
    }
    static void watch(const SolveRun& solve) {
        run = &solve;
        shown = -1;
        readsShown = longestStall = 0;
        wholeEarly = false;
        fake::onMonotonicRead = read;
    }
};

// The sanitizers slow a solve tenfold and more: there the long watch below
// is cut short, and the plain build keeps it.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// The status line moves on at least every 5 s of computing and shows the
// whole only once the solve is done. The throttle looks at the clock every
// kThrottleCheckSteps steps, taken here as a millisecond each; at 50 million
// steps a second, a quick machine's pace, 5 s are some 244,000 looks. The
// close row starts slowest: the counting refuses it at once, and the search's
// bound is loose at first.
TEST_F(Solver, ProgressMovesOnThroughASlowSolveAndReachesTheWholeOnlyAtItsEnd) {
    constexpr std::int64_t kReadsIn5s = 5 * 50'000'000 / kThrottleCheckSteps;
    fake::millisecondsPerRead = 1;
    Board slow = test::closeRow(18, 3, 400);
    SolveRun stopped;
    stopped.stopAfter(kSanitized ? 2000 : kReadsIn5s + kReadsIn5s / 4);
    ShareWatch::watch(stopped);
    EXPECT_FALSE(solveExact(slow, stopped));
    EXPECT_LE(ShareWatch::longestStall, kReadsIn5s);
    EXPECT_FALSE(ShareWatch::wholeEarly);
    // Not the counting's quarter: it did not run.
    EXPECT_LT(stopped.progress(), 0.2);
    // Nor where the counting takes the board up and gives it up within a
    // moment (the desktops' slow close row, given up in a tenth of a second):
    // its share is never shown, and the search's own share moves on. The
    // clock stands still here; the run is stopped after as many looks as
    // some 0.4 s of steps.
    fake::resetClock(0);
    static SolveRun* given = nullptr;
    static std::int64_t looks = 0;
    SolveRun soon;
    given = &soon;
    looks = 0;
    fake::onMonotonicRead = [] {
        if (++looks == 20'000) given->requestStop();
    };
    Board row = test::closeRow(16, 3, 450);
    EXPECT_FALSE(solveExact(row, soon));
    EXPECT_GT(soon.progress(), 0.0);
    EXPECT_LT(soon.progress(), 0.05);
    // A counting that runs past the moment shows its share from then on
    // (a city more: counted for a third of a second before it is given up).
    fake::resetClock(0);
    fake::millisecondsPerRead = 1;
    SolveRun later;
    later.stopAfter(2 * SolveRun::kHoldBackMs);
    Board longer = test::closeRow(17, 3, 450);
    EXPECT_FALSE(solveExact(longer, later));
    EXPECT_GT(later.progress(), 0.1);

    // A solve of many looks at the clock, to its end.
    fake::resetClock(0);
    fake::millisecondsPerRead = 1;
    Board b = test::closeRow(11, 3, 400);
    SolveRun run;
    ShareWatch::watch(run);
    ASSERT_TRUE(solveExact(b, run));
    fake::onMonotonicRead = nullptr;
    EXPECT_GT(fake::monotonicReads, 20 * SolveRun::kPositionIntervalMs);
    EXPECT_FALSE(ShareWatch::wholeEarly);
    EXPECT_EQ(run.progress(), 1.0);

    // The share keeps pace with the work: from some way into a solve on, it
    // is at least a quarter of the share of its looks at the clock taken.
    // On the close row, from a fifth on (an estimate made before the table
    // filled, of the whole tree, once held it near 2 % until the walk left
    // its first city); on a diagonal with a city moved across, which a round
    // below the ceiling foretold to fill the table settles, from two thirds on (the
    // plain walk before the round, whose share hardly moves, takes nearly
    // half the looks; the round once took a hundredth of what was left, and
    // the share stayed near 3 % to the end).
    static std::vector<double> shares;
    static SolveRun* paced = nullptr;
    const std::pair<Board, double> solves[] = {{test::closeRow(15, 4, 400), 0.2}, {test::diagonalWithOneAcross(15, 35, 1), 0.67}};
    for (const auto& [board, from] : solves) {
        fake::resetClock(0);
        fake::millisecondsPerRead = 1;
        shares.clear();
        Board solving = board;
        SolveRun walk;
        paced = &walk;
        fake::onMonotonicRead = [] { shares.push_back(paced->progress()); };
        ASSERT_TRUE(solveExact(solving, walk));
        fake::onMonotonicRead = nullptr;
        ASSERT_GT(shares.size(), 1000u);
        for (auto read = static_cast<std::size_t>(from * static_cast<double>(shares.size())); read < shares.size(); read += shares.size() / 20)
            EXPECT_GE(shares[read], 0.25 * static_cast<double>(read) / static_cast<double>(shares.size())) << read << " of " << shares.size();
    }
}

// How far a solve has come is read as the clock says; what the solve does
// must not follow: the same tours, however often its share is read (a
// reading once drew from the estimates that size the rounds).
TEST_F(Solver, TheWorkOfASolveDoesNotFollowTheClock) {
    std::int64_t tours[2] = {};
    for (const std::int64_t perRead : {0, 1}) {
        fake::resetClock(0);
        fake::millisecondsPerRead = perRead;
        Board b = test::diagonalWithOneAcross(15, 35, 4);
        SolveRun run;
        ASSERT_TRUE(solveExact(b, run));
        tours[perRead] = run.toursEvaluated();
    }
    EXPECT_EQ(tours[0], tours[1]);
}

TEST_F(Solver, TwoAndThreeCities) {
    Board two = boardOf(11, {{0, 0}, {3, 4}});
    ASSERT_TRUE(ensureSolved(two, Solve::Forced, &statistics));
    expectRoute(two, {0, 1, 0});
    EXPECT_EQ(two.spectrum.count, 1);
    EXPECT_EQ(two.spectrum.lengths[0], 1.0);
    EXPECT_EQ(two.spectrum.counts[0], 1);
    EXPECT_DOUBLE_EQ(two.solutionLength, 50.0);
    EXPECT_EQ(statistics.toursEvaluated, 1);

    Board three = boardOf(11, {{0, 0}, {3, 4}, {6, 1}});
    ASSERT_TRUE(ensureSolved(three, Solve::Forced, &statistics));
    expectRoute(three, {0, 1, 2, 0});
    EXPECT_EQ(three.spectrum.count, 1);
    EXPECT_EQ(three.spectrum.counts[0], 2);
    EXPECT_EQ(statistics.toursEvaluated, 3);
}

TEST_F(Solver, SquareOfFourKeepsTheFirstOfEqualTours) {
    Board b = boardOf(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    ASSERT_TRUE(ensureSolved(b, Solve::Forced, &statistics));
    EXPECT_EQ(b.spectrum.count, 2);
    EXPECT_EQ(b.spectrum.lengths[0], 1.0);
    EXPECT_EQ(b.spectrum.counts[0], 2);
    EXPECT_DOUBLE_EQ(b.spectrum.lengths[1], 1.2071067811865475);
    EXPECT_EQ(b.spectrum.counts[1], 4);
    expectRoute(b, {0, 1, 2, 3, 0});
    EXPECT_DOUBLE_EQ(b.solutionLength, 200.0);
    EXPECT_EQ(statistics.toursEvaluated, 6);
}

TEST_F(Solver, FiveCitiesWithACentre) {
    Board b = boardOf(11, {{0, 0}, {2, 0}, {2, 2}, {0, 2}, {1, 1}});
    ASSERT_TRUE(ensureSolved(b, Solve::Forced));
    ASSERT_EQ(b.spectrum.count, 3);
    EXPECT_EQ(b.spectrum.lengths[0], 1.0);
    EXPECT_DOUBLE_EQ(b.spectrum.lengths[1], 1.0938363213560542);
    EXPECT_DOUBLE_EQ(b.spectrum.lengths[2], 1.1876726427121087);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(b.spectrum.counts[i], 8);
    expectRoute(b, {0, 1, 2, 3, 4, 0});
}

TEST_F(Solver, SixCitiesFillTheTableWithTheTwentyShortest) {
    Board b = boardOf(41, {{0, 0}, {7, 1}, {13, 9}, {4, 17}, {22, 5}, {30, 28}});
    ASSERT_TRUE(ensureSolved(b, Solve::Forced, &statistics));
    EXPECT_EQ(b.spectrum.count, 20);
    EXPECT_EQ(b.spectrum.lengths[0], 1.0);
    for (int i = 1; i < 20; ++i) EXPECT_GT(b.spectrum.lengths[i], b.spectrum.lengths[i - 1]);
    // Once the table is full the search skips tours that cannot reach it.
    EXPECT_LT(statistics.toursEvaluated, 120);

    Board ref = boardOf(41, {{0, 0}, {7, 1}, {13, 9}, {4, 17}, {22, 5}, {30, 28}});
    std::int32_t throttle = 0;
    reference::solveExhaustive(ref, throttle);
    EXPECT_EQ(std::memcmp(&ref.spectrum, &b.spectrum, sizeof(PathSpectrum)), 0);
    for (int k = 0; k < kRouteCapacity; ++k) EXPECT_EQ(ref.solutionRoute[k], b.solutionRoute[k]);
    EXPECT_EQ(ref.solutionLength, b.solutionLength);
}

TEST(Spectrum, RecordMergesWithinTheToleranceAndKeepsTheFirstLength) {
    PathSpectrum s{};
    recordLength(s, 10.0);
    recordLength(s, 10.0 + 0.9e-5);  // within 1e-6 relative of 10
    recordLength(s, 10.0 - 0.5e-5);  // below, but within the tolerance
    EXPECT_EQ(s.count, 1);
    EXPECT_EQ(s.lengths[0], 10.0);
    EXPECT_EQ(s.counts[0], 3);
    recordLength(s, 10.0 + 2e-5);
    recordLength(s, 5.0);
    ASSERT_EQ(s.count, 3);
    EXPECT_EQ(s.lengths[0], 5.0);
    EXPECT_EQ(s.lengths[1], 10.0);
    EXPECT_EQ(s.lengths[2], 10.0 + 2e-5);
}

TEST(Spectrum, FullTableDropsLongerLengthsAndLosesItsLastEntry) {
    PathSpectrum s{};
    for (int i = 0; i < 20; ++i) recordLength(s, 100.0 + i);
    recordLength(s, 500.0);
    EXPECT_EQ(s.count, 20);
    EXPECT_EQ(s.lengths[19], 119.0);
    recordLength(s, 1.0);
    EXPECT_EQ(s.count, 20);
    EXPECT_EQ(s.lengths[0], 1.0);
    EXPECT_EQ(s.lengths[19], 118.0);
}

TEST(Spectrum, CountsSaturateInsteadOfOverflowing) {
    PathSpectrum s{};
    recordLength(s, 3.0);
    s.counts[0] = INT_MAX - 1;
    recordLength(s, 3.0);
    recordLength(s, 3.0);
    EXPECT_EQ(s.counts[0], INT_MAX);
}

// A class of tours, each within the noise of its length, must lie clear of
// every entry's edges: astride one, rounding alone would part its tours
// between two entries.
TEST(Spectrum, ClassesAstrideAnEntrysEdgeAreToldFromThoseClearOfIt) {
    const double entry = 1000.0;
    const double noise = 1e-9;
    PathSpectrum table{};
    recordLength(table, entry);
    const auto takes = [&](double length) { return entryTaking(table.lengths, table.count, length); };
    for (const double edge : {entry + toleranceOf(entry), entry - toleranceOf(entry)}) {
        // Half a noise off the edge: its lowest and highest tours fall on either side.
        const double astride = edge + 0.5 * noise;
        EXPECT_NE(takes(astride - noise), takes(astride + noise));
        EXPECT_TRUE(nearEntryEdge(astride, entry, noise));
        EXPECT_TRUE(nearEntryEdge(edge - 1.5 * noise, entry, noise));
        // Three noises off: every tour on one side, either way.
        for (const double clear : {edge + 3.0 * noise, edge - 3.0 * noise}) {
            EXPECT_EQ(takes(clear - noise), takes(clear + noise));
            EXPECT_FALSE(nearEntryEdge(clear, entry, noise));
        }
    }
}

// Tours of the 20 lengths 100, 110, ..., 290 met in a scrambled order, each
// length four times, after two longer tours and one near the 20th entry,
// `above` its tolerances over 290: the sums the walk below a ceiling takes in
// their order, and the table recording all of them builds.
struct ToursNearACut {
    std::vector<double> sums;
    PathSpectrum all{};
    double ceiling = 0.0;
    explicit ToursNearACut(double above) {
        const double near = 290.0 + above * toleranceOf(290.0);
        ceiling = 290.0 + 1.5 * toleranceOf(290.0);
        sums = {500.0, 400.0};
        for (std::int32_t round = 0; round < 4; ++round) {
            for (std::int32_t i = 0; i < 20; ++i) sums.push_back(100.0 + 10.0 * ((i * 7 + round) % 20));
            if (round == 1) sums.push_back(near);
        }
        for (double s : sums) recordLength(all, s);
    }
};

TEST(Spectrum, TableBelowAGapIsTheTableOfAllToursOnlyWhereTheGapIsWideEnough) {
    // A tour more than a tolerance above the 20th length: 290 is the cut,
    // and the table is the one of every tour, whatever came above it.
    ToursNearACut wide(1.1);
    PathSpectrum cut{};
    ASSERT_TRUE(tableBelowGap(wide.sums, wide.ceiling, cut));
    EXPECT_EQ(std::memcmp(&cut, &wide.all, sizeof cut), 0);
    // Within a tolerance: that tour counts in the entry of 290, so no cut
    // above 290 may be made, and below it the table is not full.
    ToursNearACut narrow(0.9);
    EXPECT_EQ(narrow.all.counts[19], 5);
    EXPECT_FALSE(tableBelowGap(narrow.sums, narrow.ceiling, cut));
    // Fewer than 20 lengths below every gap: no table.
    std::vector<double> nineteen;
    for (std::int32_t i = 0; i < 19; ++i) nineteen.push_back(100.0 + 10.0 * i);
    EXPECT_FALSE(tableBelowGap(nineteen, 1000.0, cut));
    // The gap's edges, one tolerance from each side.
    EXPECT_TRUE(lengthsApart(100.0, 100.0 * (1.0 + 1.01e-6)));
    EXPECT_FALSE(lengthsApart(100.0, 100.0 * (1.0 + 0.99e-6)));
    // A walk's ceiling half a tolerance above 290, the near tour above it
    // known only by a bound that overstates it by the completion table's
    // rounding: the gap ends below that tour, and no cut is made.
    std::vector<double> below;
    for (double s : narrow.sums)
        if (s <= 290.0 + 0.5 * toleranceOf(290.0)) below.push_back(s);
    const double nearBound = (290.0 + 0.9 * toleranceOf(290.0)) * (1.0 + 1.2e-6);
    EXPECT_FALSE(tableBelowGap(below, gapTop(290.0 + 0.5 * toleranceOf(290.0), nearBound), cut));
    // The next tour 30 tolerances up: the gap reaches it, and the tours below make the table.
    ASSERT_TRUE(tableBelowGap(below, gapTop(290.0 + 0.5 * toleranceOf(290.0), 290.0 * (1.0 + 3e-5)), cut));
    PathSpectrum expected{};
    for (double s : below) recordLength(expected, s);
    EXPECT_EQ(std::memcmp(&cut, &expected, sizeof cut), 0);
}

// Tour lengths marked in buckets: lengths a tolerance apart or less always
// share a cluster (one entry may take both), two and a half apart never do.
// The table settles only when full and with such a gap above its last entry's
// cluster, up to the next cluster or, past the ceiling, up to the next tour.
TEST(Spectrum, BucketsSplitOnlyAtWideGapsAndSettleTheTableAboveItsLastEntry) {
    const double t = toleranceOf(1000.0);
    LengthBuckets buckets;
    ASSERT_TRUE(buckets.reset(1000.0, 1100.0));
    for (double at : {1000.0, 1000.0 + t, 1000.0 + 2.0 * t, 1000.0 + 4.5 * t, 1050.0, 1100.0}) buckets.mark(at);
    const std::vector<LengthBuckets::Cluster> clusters = buckets.clusters();
    ASSERT_EQ(clusters.size(), 4u);
    EXPECT_LE(clusters[0].low, 1000.0);
    EXPECT_GE(clusters[0].high, 1000.0 + 2.0 * t);
    EXPECT_LT(clusters[0].high, 1000.0 + 2.5 * t);
    EXPECT_GE(clusters[3].high, 1100.0);
    EXPECT_FALSE(buckets.reset(1000.0, 1000.0 * 1e3));  // too many buckets

    PathSpectrum table{};
    for (std::int32_t i = 0; i < kSpectrumEntries; ++i) recordLength(table, i < 19 ? 900.0 + i : 1000.0 + 4.5 * t);
    ASSERT_EQ(table.count, kSpectrumEntries);
    // The last entry in the second cluster, the third far above it.
    EXPECT_TRUE(tableSettled(table, clusters, 2000.0));
    // The last entry in the last cluster: the next tour above the ceiling decides.
    PathSpectrum high = table;
    high.lengths[kSpectrumEntries - 1] = 1100.0;
    EXPECT_TRUE(tableSettled(high, clusters, 1100.0 * (1.0 + 2.5e-6)));
    EXPECT_FALSE(tableSettled(high, clusters, 1100.0 * (1.0 + 1.0e-6)));
    // Clusters within a tolerance of each other have no gap between them.
    const std::vector<LengthBuckets::Cluster> near = {{1000.0, 1000.0 + 4.5 * t}, {1000.0 + 5.2 * t, 1001.0}};
    EXPECT_FALSE(tableSettled(table, near, 2000.0));
    PathSpectrum nineteen = table;
    nineteen.count = 19;
    EXPECT_FALSE(tableSettled(nineteen, clusters, 2000.0));
}

// The tally of a walk by patterns against the table that recording every
// ordering builds. Six cities, 4 and 5 on one point: each pattern is met at its
// first ordering (4 before 5) and stands for two; `lengthOf` gives each
// pattern, by the order of its first ordering, its length.
struct PatternWalk {
    std::vector<std::vector<std::int32_t>> orderings;  // all 120, in enumeration order
    std::vector<std::int32_t> pattern;                  // the pattern of each ordering
    std::vector<std::size_t> first, second;             // each pattern's two orderings

    PatternWalk() {
        std::vector<std::int32_t> o = {0, 1, 2, 3, 4, 5};
        std::map<std::vector<std::int32_t>, std::int32_t> ids;
        do {
            std::vector<std::int32_t> key = o;
            std::replace(key.begin(), key.end(), 5, 4);
            const auto [it, added] = ids.emplace(key, static_cast<std::int32_t>(first.size()));
            if (added) first.push_back(orderings.size());
            else second.push_back(orderings.size());
            pattern.push_back(it->second);
            orderings.push_back(o);
        } while (std::next_permutation(o.begin() + 1, o.end()));
    }

    // The first pattern after 20 others whose two orderings have another
    // pattern's first ordering between them, and that pattern.
    std::pair<std::int32_t, std::int32_t> patternWithOneBetween() const {
        for (std::int32_t p = 20; p < static_cast<std::int32_t>(first.size()); ++p)
            for (std::size_t k = first[static_cast<std::size_t>(p)] + 1; k < second[static_cast<std::size_t>(p)]; ++k)
                if (first[static_cast<std::size_t>(pattern[k])] == k) return {p, pattern[k]};
        return {-1, -1};
    }

    PathSpectrum everyOrdering(const std::vector<double>& lengthOf) const {
        PathSpectrum table{};
        for (std::int32_t p : pattern) recordLength(table, lengthOf[static_cast<std::size_t>(p)]);
        return table;
    }

    PathSpectrum byPatterns(const std::vector<double>& lengthOf) const {
        const std::uint32_t samePoint[6] = {0, 1u << 0, 1u << 1, 1u << 2, (1u << 3) | (1u << 4), (1u << 3) | (1u << 4)};
        EntryTally tally(6, samePoint, 2);
        PathSpectrum table{};
        for (bool noting : {true, false}) {
            table = PathSpectrum{};
            tally.startWalk(noting);
            for (std::size_t p = 0; p < first.size(); ++p) {
                const double length = lengthOf[p];
                const std::int32_t* ordering = orderings[first[p]].data();
                std::int32_t entry = entryTaking(table.lengths, table.count, length);
                if (entry < 0) {
                    const std::int32_t lost = tally.serialToLose(table);
                    recordLength(table, length);
                    entry = entryTaking(table.lengths, table.count, length);
                    if (entry < 0) continue;
                    tally.inserted(table, entry, lost, length, ordering);
                }
                tally.counted(entry, length, 2, ordering);
            }
            tally.writeCounts(table);
            if (noting && !tally.orderingsMove()) break;
        }
        return table;
    }
};

// The completion table from each width of lanes this processor runs, against
// the definition taken row by row: every lane a search reads (an end city
// outside the row's set) the same to the last bit, at 18 cities (whose city
// 17 sits alone in the rows' last lanes) and at small boards, with distances
// that tie and cities on one point.
TEST(CompletionTable, EveryWidthGivesTheRowByRowTableBitForBit) {
    using search::kRow;
    std::uint32_t draw = 12345u;
    auto next = [&draw] {
        draw = draw * 1103515245u + 12345u;
        return draw >> 8;
    };
    for (std::int32_t n : {2, 3, 4, 5, 9, 17, 18}) {
        std::vector<float> toward(static_cast<std::size_t>(n) * kRow, 0.0f);
        for (std::int32_t c = 0; c < n; ++c)
            for (std::int32_t e = 1; e < n; ++e)
                toward[static_cast<std::size_t>(c * kRow + e - 1)] = e == c ? 0.0f : static_cast<float>(next() % 4000) * 0.37f;
        toward[static_cast<std::size_t>(1 * kRow + 1)] = 0.0f;  // cities 1 and 2 on one point
        const std::uint32_t sets = 1u << (n - 1);
        std::vector<float> expected(static_cast<std::size_t>(sets) * kRow);
        std::copy(toward.begin(), toward.begin() + kRow, expected.begin());
        for (std::uint32_t set = 1; set < sets; ++set)
            for (std::int32_t e = 1; e < n; ++e) {
                float least = std::numeric_limits<float>::infinity();
                for (std::int32_t c = 1; c < n; ++c)
                    if ((set >> (c - 1) & 1u) != 0)
                        least = std::min(least, toward[static_cast<std::size_t>(c * kRow + e - 1)] + expected[static_cast<std::size_t>((set & ~(1u << (c - 1))) * kRow) + static_cast<std::size_t>(c - 1)]);
                expected[static_cast<std::size_t>(set * kRow) + static_cast<std::size_t>(e - 1)] = least;
            }
        for (auto lanes : {search::TableLanes::Four, search::TableLanes::Eight, search::TableLanes::Sixteen}) {
            if (lanes > search::widestTableLanes()) continue;
            std::vector<float> table(static_cast<std::size_t>(sets) * kRow);
            SolveRun run;
            search::fillCompletion(table.data(), toward.data(), n, run, lanes);
            std::int64_t differing = 0;
            for (std::uint32_t set = 0; set < sets; ++set)
                for (std::int32_t e = 1; e < n; ++e) {
                    const std::size_t at = static_cast<std::size_t>(set * kRow) + static_cast<std::size_t>(e - 1);
                    if ((set >> (e - 1) & 1u) == 0 && std::memcmp(&table[at], &expected[at], sizeof(float)) != 0) ++differing;
                }
            EXPECT_EQ(differing, 0) << n << " cities, lanes " << static_cast<int>(lanes);
        }
    }
}

// A pattern's second ordering comes after an entry inserted within the
// tolerance of its length: the count follows it there, as recording every
// ordering does. The entry either overlaps the one pushed out (and no other),
// or lies above the pattern's entry with the length right at the lower edge of
// its tolerance, a millionth of the entry above the length.
TEST(EntryTally, OrderingsFollowTheEntriesInsertedAfterTheirPattern) {
    const PatternWalk walk;
    const auto [late, between] = walk.patternWithOneBetween();
    ASSERT_GE(late, 0);
    std::vector<double> lengths(walk.first.size());
    for (std::size_t p = 0; p < lengths.size(); ++p) lengths[p] = (p < 20 ? 200.0 : 400.0) + static_cast<double>(p);

    // The table is full, 219 its last entry; the late pattern goes to it,
    // and the length between pushes it out and takes the late one's second.
    const double top = 219.0, t = 219e-6;
    std::vector<double> pushOut = lengths;
    pushOut[static_cast<std::size_t>(late)] = top - 0.9 * t;
    pushOut[static_cast<std::size_t>(between)] = top - 1.15 * t;

    // The late pattern goes to 218; the length between is inserted above it,
    // the longest whose tolerance still reaches down to the late one.
    std::vector<double> edge = lengths;
    edge[19] = 250.0;
    const double held = 218.0 + 0.9 * 218e-6;
    double above = held / (1.0 - 1e-6);
    while (above - std::fabs(1e-6 * above) <= held) above = std::nextafter(above, 1e9);
    while (above - std::fabs(1e-6 * above) > held) above = std::nextafter(above, 0.0);
    edge[static_cast<std::size_t>(late)] = held;
    edge[static_cast<std::size_t>(between)] = above;

    for (const auto& [name, lengthOf] : {std::make_pair("pushed out", pushOut), std::make_pair("at the edge", edge)}) {
        const PathSpectrum expected = walk.everyOrdering(lengthOf);
        const PathSpectrum tallied = walk.byPatterns(lengthOf);
        ASSERT_EQ(expected.count, kSpectrumEntries) << name;
        EXPECT_EQ(expected.counts[19], 3) << name;  // the setting works as meant
        EXPECT_EQ(std::memcmp(&tallied, &expected, sizeof(PathSpectrum)), 0) << name;
        for (std::int32_t i = 0; i < kSpectrumEntries; ++i) EXPECT_EQ(tallied.counts[i], expected.counts[i]) << name << ", entry " << i;
    }
}

TEST_F(Solver, AllCitiesOnOnePointGiveASpectrumOfOnes) {
    Board b = boardOf(11, {{1, 1}, {2, 2}, {3, 3}});
    for (int i = 0; i < 3; ++i) b.cities[i] = City{5, 5};  // only a file can do this
    ASSERT_TRUE(ensureSolved(b, Solve::Forced));
    ASSERT_EQ(b.spectrum.count, 1);
    EXPECT_EQ(b.spectrum.lengths[0], 1.0);
    EXPECT_EQ(b.spectrum.counts[0], 2);
    EXPECT_EQ(b.solutionLength, 0.0);
}

TEST_F(Solver, ThrottleSleepsOnceForEverySecondOfComputing) {
    // A 3 by 4 block: the search looks at the clock a few dozen times along the way.
    std::vector<City> block;
    for (int i = 0; i < 12; ++i) block.push_back(City{3 + 2 * (i % 3), 4 + 2 * (i / 3)});
    const Board blockBoard = boardOf(41, block);
    Board first = blockBoard;
    ASSERT_TRUE(ensureSolved(first, Solve::Forced));
    EXPECT_EQ(fake::sleepCalls, 0);
    const std::int64_t reads = fake::monotonicReads;
    ASSERT_GT(reads, 20);

    // The same solve, computing in all for the given simulated time (each look
    // at the clock moves it on): one sleep per second, give or take a look.
    struct Case {
        std::int64_t milliseconds;
        std::int32_t leastSleeps, mostSleeps;
    };
    for (const Case& c : {Case{900, 0, 0}, Case{3500, 2, 3}, Case{12000, 10, 12}}) {
        fake::resetClock();
        fake::millisecondsPerRead = c.milliseconds / reads;
        Board b = blockBoard;
        ASSERT_TRUE(ensureSolved(b, Solve::Forced));
        EXPECT_GE(fake::sleepCalls, c.leastSleeps) << c.milliseconds;
        EXPECT_LE(fake::sleepCalls, c.mostSleeps) << c.milliseconds;
        EXPECT_EQ(fake::sleptMilliseconds, 60 * fake::sleepCalls);
        EXPECT_EQ(std::memcmp(&b.spectrum, &first.spectrum, sizeof(PathSpectrum)), 0) << c.milliseconds;
    }

    // Short solves one after another never sleep, however long they take together.
    fake::resetClock();
    fake::millisecondsPerRead = 400;
    for (int solve = 0; solve < 50; ++solve) {
        Board square = boardOf(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
        ensureSolved(square, Solve::Forced);
    }
    EXPECT_GE(fake::monotonicNow, 20000);
    EXPECT_EQ(fake::sleepCalls, 0);
}

TEST_F(Solver, SolvedBoardIsNotSolvedAgain) {
    Board b = boardOf(2, {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    ASSERT_TRUE(ensureSolved(b, Solve::Forced, &statistics));
    const std::int64_t before = statistics.toursEvaluated;
    b.spectrum.counts[0] = 77;
    EXPECT_TRUE(ensureSolved(b, Solve::IfAutomatic, &statistics));
    EXPECT_TRUE(ensureSolved(b, Solve::Forced, &statistics));
    EXPECT_EQ(statistics.toursEvaluated, before);
    EXPECT_EQ(b.spectrum.counts[0], 77);
}

TEST_F(Solver, AutomaticSolveFollowsTheEdition) {
    std::vector<City> nine;
    for (int i = 0; i < 9; ++i) nine.push_back(City{i, (i * 7) % 11});
    std::vector<City> eight(nine.begin(), nine.begin() + 8);

    Board small = boardOf(11, eight);
    Board large = boardOf(11, nine);
    EXPECT_EQ(ensureSolved(small, Solve::IfAutomatic), isProfi());
    EXPECT_EQ(small.solved, isProfi() ? 1 : 0);
    EXPECT_FALSE(ensureSolved(large, Solve::IfAutomatic));
    EXPECT_EQ(large.solutionLength, 0.0);
    EXPECT_TRUE(ensureSolved(large, Solve::Forced));
}

TEST_F(Solver, ShowSolutionAsRouteOnlyActsInProfi) {
    Board b = boardOf(11, {{0, 0}, {2, 0}, {2, 2}, {0, 2}, {1, 1}});
    ASSERT_TRUE(ensureSolved(b, Solve::Forced));
    b.extendPlayerRoute(3);
    b.showSolutionAsRoute();
    if (isProfi()) {
        EXPECT_EQ(b.playerRouteLength, 6);
        for (int k = 0; k < 6; ++k) EXPECT_EQ(b.playerRoute[k], b.solutionRoute[k]);
    } else {
        EXPECT_EQ(b.playerRouteLength, 2);
    }
}

}  // namespace
}  // namespace orvanta
