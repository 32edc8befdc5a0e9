#include "core/game_clock.h"

#include "core/hold.h"
#include "core/platform.h"

namespace orvanta {

GameClock gameClock;

std::int32_t secondsSinceGameStart() {
    return holdInt32(static_cast<std::int64_t>(platform::clockSeconds()) - gameClock.gameStartTime);
}

}  // namespace orvanta
