// The game clock and the closed-route flag, shared by the generator, the files
// and the controller.
#pragma once

#include <cstdint>

namespace orvanta {

// The clock of the game in progress, at its start-up values. A game file
// stores elapsedSeconds and gameFinished as they are.
struct GameClock {
    std::int32_t gameStartTime = 0;   // clock seconds at which the game's clock started
    std::int32_t elapsedSeconds = 0;  // seconds of the game, frozen while finished
    std::int32_t gameFinished = 0;    // the route was closed and the clock stopped
    // The player's route has come back to city 0 after visiting every city:
    // the trip is complete, and the status panel rates it against the optimum.
    bool routeClosed = false;
};

extern GameClock gameClock;

// The clock's seconds since gameClock.gameStartTime, held within the int32 range.
std::int32_t secondsSinceGameStart();

}  // namespace orvanta
