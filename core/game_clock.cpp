#include "core/game_clock.h"

#include "core/hold.h"
#include "core/platform.h"

namespace orvanta {

std::int32_t gameStartTime = 0;
std::int32_t elapsedSeconds = 0;
std::int32_t gameFinished = 0;
std::int32_t routeClosed = 0;

std::int32_t secondsSinceGameStart() {
    return holdInt32(static_cast<std::int64_t>(platform::clockSeconds()) - gameStartTime);
}

}  // namespace orvanta
