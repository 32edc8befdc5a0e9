// The game clock and the closed-route flag, shared by the generator, the files
// and the controller.
#pragma once

#include <cstdint>

namespace orvanta {

extern std::int32_t gameStartTime;   // clock seconds at which the game's clock started
extern std::int32_t elapsedSeconds;  // seconds of the game, frozen while finished
extern std::int32_t gameFinished;    // the route was closed and the clock stopped
extern std::int32_t routeClosed;     // the player's route is closed

// The clock's seconds since gameStartTime, held within the int32 range.
std::int32_t secondsSinceGameStart();

}  // namespace orvanta
