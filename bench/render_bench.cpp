// A dirty repaint of the whole picture: clear, layout, frame, 18 cities, a
// closed route through all of them and the status texts (with the spectrum list
// of the Profi edition), into the test fakes' plain picture and text recorder.
// The copy to a window is not part of it.
#include <benchmark/benchmark.h>

#include "app/app_state.h"
#include "app/controller.h"
#include "app/picture.h"
#include "core/board.h"
#include "core/game_clock.h"
#include "core/generator.h"
#include "support/fake_clock.h"
#include "support/fake_picture.h"

namespace orvanta {
namespace {

void prepareGame() {
    fake::resetClock(1000000);
    fake::resetPictureFakes();
    mapGenerator.gridSizeSetting = GridSize{10000, 10000};
    mapGenerator.cityCountSetting = kMaxCities;
    regenerateBoard(theBoard);
    // A closed route through every city in index order.
    for (std::int32_t i = 0; i < kMaxCities; ++i) theBoard.playerRoute[i] = i;
    theBoard.playerRoute[kMaxCities] = 0;
    theBoard.playerRouteLength = kMaxCities + 1;
    // A full spectrum, as if the board had been solved.
    theBoard.solved = 1;
    theBoard.solutionLength = 300.0;
    theBoard.spectrum.count = kSpectrumEntries;
    for (std::int32_t i = 0; i < kSpectrumEntries; ++i) {
        theBoard.spectrum.lengths[i] = 1.0 + 0.0123 * i;
        theBoard.spectrum.counts[i] = 2 + 2 * (i % 3);
    }
    windowState.mode = AppMode::Game;
    gameClock.routeClosed = true;
    gameClock.gameFinished = 1;
    gameClock.elapsedSeconds = 123;
}

void BM_DirtyRepaint(benchmark::State& state) {
    const auto width = static_cast<std::int32_t>(state.range(0));
    const auto height = static_cast<std::int32_t>(state.range(1));
    prepareGame();
    paintWindow(width, height);  // makes the picture
    for (auto _ : state) {
        fake::pictureLog.texts.clear();
        windowState.pictureDirty = true;
        benchmark::DoNotOptimize(paintWindow(width, height));
    }
    state.counters["texts"] = static_cast<double>(fake::pictureLog.texts.size());
}

BENCHMARK(BM_DirtyRepaint)
    ->Args({640, 480})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace orvanta

BENCHMARK_MAIN();
