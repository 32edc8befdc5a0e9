// The forced solve on the desktops' real thread: started, stopped and handed
// over from the test's thread, which plays the window's. Run under
// ThreadSanitizer as a stage of the test script.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "app/app_state.h"
#include "app/command_ids.h"
#include "app/controller.h"
#include "app/forced_solve.h"
#include "app/solve_services.h"
#include "core/generator.h"
#include "core/solver.h"
#include "support/boards.h"
#include "support/fake_clock.h"
#include "support/fake_window_services.h"

namespace orvanta {

namespace {
std::atomic<std::int32_t> endedPosts{0};
}  // namespace

// The front end's hand-over: counted here; the test's loop calls
// collectFinishedSolve as the event loop would.
void platform::postSolveEnded() { ++endedPosts; }

namespace {

using Clock = std::chrono::steady_clock;

class SolveThread : public ::testing::Test {
protected:
    void SetUp() override {
        resetToStartUp();
        fake::resetClock(1000000);
        fake::resetWindowServices();
        endedPosts = 0;
    }
    void TearDown() override { resetToStartUp(); }

    // Runs the window's side until the solve in flight ends or `limit` passes;
    // checks on the way that its progress only grows.
    void serveUntilEnded(std::chrono::seconds limit) {
        const auto until = Clock::now() + limit;
        std::int32_t seen = 0;
        double last = 0.0;
        while (forcedSolveRunning() && Clock::now() < until) {
            const double progress = forcedSolveProgress();
            EXPECT_GE(progress, last);
            EXPECT_LE(progress, 1.0);
            last = progress;
            if (endedPosts > seen) {
                seen = endedPosts;
                collectFinishedSolve();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
};

// Every look of the throttle at the clock sleeps 60 ms for real: a solve of a
// thousand steps or more no longer ends within the command's wait.
void slowDownEverySolve() {
    fake::millisecondsPerRead = 1000;
    fake::sleepsForReal = true;
}

TEST_F(SolveThread, ResultsAreThoseOfASolveInPlaceAppliedOnTheWindowsThread) {
    // A generated board ends within the wait; slowed down, it is handed over
    // later through the event loop.
    mapGenerator.cityCountSetting = 14;
    regenerateBoard(theBoard);
    const Board generated = theBoard;
    for (const bool slow : {false, true}) {
        theBoard = generated;
        theBoard.solved = 0;
        Board inPlace = theBoard;
        ASSERT_TRUE(solveExact(inPlace));
        if (slow) slowDownEverySolve();
        handleKeyRelease(key::oemPlus);
        // Slowed, it needs eight looks at the clock for its completion table
        // alone, each with a real 60 ms sleep. Whether the quick one ends
        // within the wait is left to the scheduler of a loaded machine.
        if (slow) {
            EXPECT_TRUE(forcedSolveRunning());
        }
        serveUntilEnded(std::chrono::seconds(120));
        ASSERT_FALSE(forcedSolveRunning());
        ASSERT_EQ(theBoard.solved, 1);
        EXPECT_EQ(std::memcmp(&theBoard.spectrum, &inPlace.spectrum, sizeof inPlace.spectrum), 0);
        for (std::int32_t k = 0; k < kRouteCapacity; ++k) EXPECT_EQ(theBoard.solutionRoute[k], inPlace.solutionRoute[k]);
    }
}

TEST_F(SolveThread, EscStopsASlowSolveAndItsThreadEndsAtOnce) {
    slowDownEverySolve();
    theBoard = test::diagonalWithOneAcross(14, 500, 5);
    const Board before = theBoard;
    handleKeyRelease(key::add);
    ASSERT_TRUE(forcedSolveRunning());
    // Let it get under way, then stop it from this thread.
    const auto until = Clock::now() + std::chrono::seconds(60);
    while (forcedSolveProgress() == 0.0 && Clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GT(forcedSolveProgress(), 0.0);
    handleKeyRelease(key::escape);
    EXPECT_FALSE(forcedSolveRunning());
    const auto stopped = Clock::now();
    endForcedSolve();  // waits for the thread
    EXPECT_LT(Clock::now() - stopped, std::chrono::seconds(10));
    EXPECT_EQ(endedPosts, 0);
    EXPECT_EQ(theBoard.solved, 0);
    EXPECT_EQ(std::memcmp(&theBoard.spectrum, &before.spectrum, sizeof before.spectrum), 0);

    // Started again, it is stopped by a new map and by the program's end.
    handleKeyRelease(key::add);
    ASSERT_TRUE(forcedSolveRunning());
    handleCommand(command::generator);
    EXPECT_FALSE(forcedSolveRunning());
    theBoard = before;
    handleKeyRelease(key::add);
    ASSERT_TRUE(forcedSolveRunning());
    const auto exiting = Clock::now();
    endForcedSolve();
    EXPECT_LT(Clock::now() - exiting, std::chrono::seconds(10));
    EXPECT_EQ(theBoard.solved, 0);
}

}  // namespace
}  // namespace orvanta
