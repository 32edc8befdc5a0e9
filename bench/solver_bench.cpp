// Forced solves of generated, tie-heavy and degenerate boards, and the full
// enumeration of the tests for comparison. The clocks and the sleep are
// defined here: the calendar clock seeds each generated board, the solver's
// clock is the real one and its sleep really sleeps (and is counted), so the
// times include the throttle. Each solve also reports the tours it evaluated,
// its sleeps and the most memory it held at once.
//
// Boards of cities on one line have astronomically many tours of each length;
// they are counted rather than walked.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "bench/heap_meter.h"
#include "core/generator.h"
#include "core/solver.h"
#include "reference/reference_solver.h"
#include "support/boards.h"

namespace orvanta::platform {
namespace {
std::int32_t benchClock = 0;
std::int64_t benchSleeps = 0;
}  // namespace
std::int32_t clockSeconds() { return benchClock; }
std::int64_t monotonicMilliseconds() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
}
void sleepMilliseconds(std::int32_t milliseconds) {
    ++benchSleeps;
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
}  // namespace orvanta::platform

namespace orvanta {
namespace {

Board generatedBoard(std::int32_t cities, std::int32_t grid) {
    platform::benchClock = 1'700'000'000 + cities * 1000 + grid;
    mapGenerator.gridSizeSetting = GridSize{grid, grid};
    mapGenerator.cityCountSetting = cities;
    Board b;
    regenerateBoard(b);
    return b;
}

using test::boardOf;

std::vector<City> block(std::int32_t w, std::int32_t h) {
    std::vector<City> cities;
    for (std::int32_t y = 0; y < h; ++y)
        for (std::int32_t x = 0; x < w; ++x) cities.push_back(City{5 + x, 5 + y});
    return cities;
}

// Forced solves of one board, with the tours and sleeps per solve and the peak storage.
void runForcedSolves(benchmark::State& state, Board& b) {
    std::int64_t tours = 0;
    std::int64_t sleeps = 0;
    std::size_t storage = 0;
    for (auto _ : state) {
        b.solved = 0;
        SolveStatistics statistics;
        platform::benchSleeps = 0;
        const std::size_t before = heap::liveBytes;
        heap::peakBytes = heap::liveBytes;
        benchmark::DoNotOptimize(ensureSolved(b, Solve::Forced, &statistics));
        storage = heap::peakBytes - before;
        tours = statistics.toursEvaluated;
        sleeps = platform::benchSleeps;
    }
    state.counters["tours"] = static_cast<double>(tours);
    state.counters["sleeps"] = static_cast<double>(sleeps);
    state.counters["storage_MB"] = static_cast<double>(storage) / (1024.0 * 1024.0);
}

void BM_ForcedSolve(benchmark::State& state) {
    Board b = generatedBoard(static_cast<std::int32_t>(state.range(0)), static_cast<std::int32_t>(state.range(1)));
    runForcedSolves(state, b);
}
BENCHMARK(BM_ForcedSolve)
    ->ArgsProduct({{8, 11, 14, 18}, {11, 41, 10000}})
    ->Args({10, 41})
    ->Unit(benchmark::kMillisecond);

void BM_ExhaustiveReference(benchmark::State& state) {
    Board b = generatedBoard(static_cast<std::int32_t>(state.range(0)), 41);
    for (auto _ : state) {
        std::int32_t throttle = 0;  // the enumeration's own tour counter
        benchmark::DoNotOptimize(reference::solveExhaustive(b, throttle));
    }
}
BENCHMARK(BM_ExhaustiveReference)->Arg(10)->Arg(11)->Unit(benchmark::kMillisecond);

// Blocks of a grid and two rows: many tours of equal length.
struct TieBoard {
    const char* label;
    std::vector<City> cities;
};
std::vector<TieBoard> tieBoards() {
    return {{"3x3 block", block(3, 3)},
            {"3x4 block", block(3, 4)},
            {"3x6 block", block(3, 6)},
            {"4x4 block", block(4, 4)},
            {"two rows of 9", block(9, 2)}};
}

void BM_TieHeavySolve(benchmark::State& state) {
    const TieBoard tie = tieBoards()[static_cast<std::size_t>(state.range(0))];
    Board b = boardOf(41, tie.cities);
    state.SetLabel(tie.label);
    runForcedSolves(state, b);
}
BENCHMARK(BM_TieHeavySolve)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// Evenly spaced neighbours along one row of the 41 grid.
void BM_OneLine(benchmark::State& state) {
    Board b = boardOf(41, block(static_cast<std::int32_t>(state.range(0)), 1));
    runForcedSolves(state, b);
}
BENCHMARK(BM_OneLine)->DenseRange(12, 14)->Arg(18)->Unit(benchmark::kMillisecond);

// One column of the 10000 grid with uneven gaps, listed out of order: wide
// ranges of lengths with few orderings each.
void BM_OneLineUneven(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    std::vector<City> cities;
    for (std::int32_t i = 0; i < n; ++i) {
        const std::int32_t slot = (i * 11) % n;  // 0, 11, 22, ... mod n: a scrambled order
        cities.push_back(City{4321, 100 + slot * 500 + (slot * slot * 37) % 451});
    }
    Board b = boardOf(10000, cities);
    runForcedSolves(state, b);
}
BENCHMARK(BM_OneLineUneven)->DenseRange(12, 14)->Arg(18)->Unit(benchmark::kMillisecond);

// Boards of 18 cities that only a file (or, for some, the editor) makes:
// cities sharing grid points, tie-heavy blocks and one-line boards.
struct DegenerateBoard {
    const char* name;
    std::int32_t grid;
    std::vector<City> cities;
    std::int32_t width = 0;  // 0: as high as wide
};

// Each point taken `times` times, the copies listed one after another round the points.
std::vector<City> repeated(const std::vector<City>& points, std::int32_t times) {
    std::vector<City> cities;
    for (std::int32_t t = 0; t < times; ++t) cities.insert(cities.end(), points.begin(), points.end());
    return cities;
}

// `count` cities `spacing` apart along a row of the 10000 grid, city `off` lifted one unit.
std::vector<City> rowWithOneOff(std::int32_t count, std::int32_t spacing, std::int32_t off) {
    std::vector<City> cities = test::closeRowCities(count, 1, spacing);
    cities[static_cast<std::size_t>(off)].y += 1;
    return cities;
}

std::vector<DegenerateBoard> degenerateBoards() {
    std::vector<City> blockPlusTwo = block(4, 4);
    blockPlusTwo.push_back(City{9, 6});
    blockPlusTwo.push_back(City{6, 9});
    std::vector<City> line, lineOfNine;
    for (std::int32_t i = 0; i < 18; ++i) line.push_back(City{2 + 2 * i, 20});
    for (std::int32_t i = 0; i < 9; ++i) lineOfNine.push_back(City{2 + 4 * i, 20});
    std::vector<City> seventeenAndOne = repeated({{0, 0}}, 17);
    seventeenAndOne.push_back(City{7, 3});
    // Nearly one line: two neighbouring columns of a 2 by 10000 grid, or two
    // neighbouring rows of the 10000 grid taken in turn, the cities far apart
    // along them, so every distance is within a thousandth of a whole number.
    const std::vector<City> twoColumns = {{0, 3},    {0, 0},    {1, 2500}, {1, 5000}, {1, 7500}, {1, 1000},
                                          {1, 3500}, {1, 6000}, {1, 8500}, {1, 2000}, {1, 4500}, {1, 7000},
                                          {1, 500},  {1, 3000}, {1, 5500}, {1, 8000}, {1, 1500}, {1, 4000}};
    std::vector<City> twoRows, twoRowsCloser;
    for (std::int32_t i = 0; i < 18; ++i) twoRows.push_back(City{300 + 550 * ((i * 5) % 18), 5000 + (i * 5) % 18 % 2});
    // The same on a 10000 by 2 grid, 500 apart, as a fuzz target made it.
    for (std::int32_t i = 0; i < 18; ++i) twoRowsCloser.push_back(City{250 + 500 * ((i * 7) % 18), (i * 7) % 18 % 2});
    // Slanted lines: every distance a whole multiple of the length of the
    // line's shortest lattice step, the cities listed out of order, or in
    // order along the line as a user clicks them one after another.
    const auto slanted = [](std::int32_t cities, City origin, City step, bool inOrder = false) {
        std::vector<std::int32_t> at;
        for (std::int32_t i = 0; i < cities; ++i) at.push_back(inOrder ? i : (i * 5) % cities);
        return test::onLine(origin, step, at);
    };
    // The diagonal of the 41 grid in order, two neighbours moved a unit off
    // it, one each way: the counting refuses it, the search walks long.
    const auto diagonalTwoOff = [](std::int32_t first) { return test::diagonalWithTwoOff(18, first); };
    return {
        {"two_points_9x2", 41, repeated({{0, 0}, {40, 40}}, 9)},
        {"one_point_17_and_one", 11, seventeenAndOne},
        {"triangle_6x3", 41, repeated({{0, 0}, {40, 0}, {20, 35}}, 6)},
        {"block_3x3_twice", 11, repeated(block(3, 3), 2)},
        {"block_4x4_plus_two", 11, blockPlusTwo},
        {"block_3x6", 11, block(3, 6)},
        {"line_18_even", 41, line},
        {"line_9_twice", 41, repeated(lineOfNine, 2)},
        {"two_columns_2x10000", 10000, twoColumns, 2},
        {"two_rows_in_turn", 10000, twoRows},
        {"diagonal_18", 41, slanted(18, {2, 2}, {2, 2})},
        {"slope_1_2_18", 41, slanted(18, {3, 2}, {1, 2})},
        {"slope_2_3_14", 41, slanted(14, {4, 0}, {2, 3})},
        {"stepped_500_500_18", 10000, slanted(18, {250, 250}, {500, 500})},
        {"diagonal_18_in_order", 41, slanted(18, {2, 2}, {2, 2}, true)},
        {"slope_1_2_18_in_order", 41, slanted(18, {3, 2}, {1, 2}, true)},
        {"slope_2_3_14_in_order", 41, slanted(14, {4, 0}, {2, 3}, true)},
        {"stepped_500_500_18_in_order", 10000, slanted(18, {250, 250}, {500, 500}, true)},
        {"diagonal_18_two_off", 41, diagonalTwoOff(4)},
        {"diagonal_18_two_off_1_2", 41, diagonalTwoOff(1)},
        {"diagonal_18_two_off_2_3", 41, diagonalTwoOff(2)},
        {"diagonal_18_two_off_3_4", 41, diagonalTwoOff(3)},
        // Close rows from files: a row of the 10000 grid, 300 apart, the i-th
        // city lifted i mod k units (k = 2, 3, 4). Searched, and slow: from
        // seconds to many minutes a solve.
        {"close_row_k2_18", 10000, test::closeRowCities(18, 2, 300)},
        {"close_row_k3_18", 10000, test::closeRowCities(18, 3, 300)},
        {"close_row_k4_18", 10000, test::closeRowCities(18, 4, 300)},
        // 400 and 450 apart: counted, the tours of the shortest lengths
        // walked one by one.
        {"close_row_k2_18_400_apart", 10000, test::closeRowCities(18, 2, 400)},
        {"close_row_k2_18_450_apart", 10000, test::closeRowCities(18, 2, 450)},
        // A row of 17 from a file, one city lifted a unit off it: the tour
        // lengths come in bands far apart, the first holding thousands of
        // tours within a few tolerances.
        {"row_17_300_apart_first_off", 10000, rowWithOneOff(17, 300, 0)},
        {"row_17_1_apart_second_off", 10000, rowWithOneOff(17, 1, 1)},
        {"row_17_10_apart_second_off", 10000, rowWithOneOff(17, 10, 1)},
        {"row_18_10_apart_second_off", 10000, rowWithOneOff(18, 10, 1)},
        // 50 apart, the fourth lifted: the lengths come in bands a few
        // tolerances wide, the shortest tours late in the order: walked
        // below raised ceilings.
        {"row_18_50_apart_fourth_off", 10000, rowWithOneOff(18, 50, 3)},
        // The first lifted, the others on one row: the tours counted per
        // class (the two cities next to city 0, the path between them). The
        // classes of one whole length make two or three entries, in the order
        // they come. Searched, the rows 70 apart took seconds (a billion
        // nodes for 18 cities) and those 100 apart minutes.
        {"row_17_50_apart_first_off", 10000, rowWithOneOff(17, 50, 0)},
        {"row_16_70_apart_first_off", 10000, rowWithOneOff(16, 70, 0)},
        {"row_17_70_apart_first_off", 10000, rowWithOneOff(17, 70, 0)},
        {"row_18_70_apart_first_off", 10000, rowWithOneOff(18, 70, 0)},
        {"row_16_100_apart_first_off", 10000, rowWithOneOff(16, 100, 0)},
        {"row_18_100_apart_first_off", 10000, rowWithOneOff(18, 100, 0)},
        // 100 apart, the second lifted, a band to each entry: most of the
        // table's tours are counted in subtrees of whole distances within the
        // rounds.
        {"row_15_100_apart_second_off", 10000, rowWithOneOff(15, 100, 1)},
        // Files the fuzz targets made: coordinates clamped onto the corners
        // and edges of the largest grid, many cities to a point.
        {"fuzz_corners_and_edges", 10000,
         {{0, 0}, {0, 9999}, {9999, 0}, {0, 20}, {0, 9999}, {0, 0}, {0, 2}, {0, 0}, {0, 0},
          {0, 0}, {0, 0}, {0, 0}, {0, 9999}, {9999, 101}, {0, 0}, {0, 9999}, {9999, 4608}, {0, 0}}},
        {"fuzz_two_rows_10000x2", 2, twoRowsCloser, 10000},
        {"fuzz_square_corners", 10000,
         {{0, 0}, {0, 0}, {0, 0}, {0, 9999}, {0, 0}, {0, 0}, {0, 9999}, {0, 9999}, {0, 0},
          {0, 0}, {0, 9999}, {9999, 0}, {9999, 0}, {9999, 9999}, {9999, 9999}, {9999, 0}, {9999, 0}, {9999, 9999}}},
    };
}

void registerDegenerateSolves() {
    for (const DegenerateBoard& d : degenerateBoards()) {
        // A file may put cities on taken points: placed directly, as a loaded file does.
        Board b = test::boardWith(d.width != 0 ? d.width : d.grid, d.grid, d.cities);
        benchmark::RegisterBenchmark((std::string("BM_DegenerateSolve/") + d.name).c_str(),
                                     [b](benchmark::State& state) mutable { runForcedSolves(state, b); })
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) {
    // The line boards used to need this switch; they always run now, and the
    // switch is still accepted.
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i)
        if (std::string(argv[i]) != "--with-line-boards") rest.push_back(argv[i]);
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    orvanta::registerDegenerateSolves();
    if (benchmark::ReportUnrecognizedArguments(count, rest.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
