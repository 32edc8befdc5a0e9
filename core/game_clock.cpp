// The game clock: whole seconds since the current game started.
#include "core/game_clock.h"

#include "core/clamp.h"
#include "core/platform.h"

namespace orvanta {

GameClock gameClock;

std::int32_t secondsSinceGameStart() {
    return clampToInt32(static_cast<std::int64_t>(platform::clockSeconds()) - gameClock.gameStartTime);
}

}  // namespace orvanta
