#include "app/app_state.h"

#include "app/controller.h"
#include "app/forced_solve.h"
#include "app/picture.h"
#include "core/board.h"
#include "core/game_clock.h"
#include "core/generator.h"
#include "files/current_document.h"

namespace orvanta {

WindowState windowState;
Board theBoard;

void resetToStartUp() {
    endForcedSolve();
    if (thePicture.pixels != nullptr || thePicture.store != nullptr) platform::releasePictureSurface(thePicture);
    thePicture = OffscreenPicture{};
    theBoard = Board();
    windowState = WindowState{};
    gameClock = GameClock{};
    mapGenerator = MapGenerator{};
    document = Document{};
}

}  // namespace orvanta
