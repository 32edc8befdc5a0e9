// The four file commands of the menus: save and open a map or a game.
#pragma once

#include "core/board.h"

namespace orvanta {

// The four file commands; true on success. A failed or cancelled command
// changes nothing (a failed save leaves the previous file as it was).
bool saveMap(Board& board);
bool openMap(Board& board);
bool saveGame(Board& board);
bool openGame(Board& board);

}  // namespace orvanta
